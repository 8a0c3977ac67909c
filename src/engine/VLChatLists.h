#pragma once

#include "engine/FlatIndex.h"
#include "engine/VLChatPacket.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

class TFriendInfo;

// What the engine's lists need from the chat component that owns them. The
// component implements it; tests use a fake.
class TVLChatListOwner {
public:
    virtual ~TVLChatListOwner() = default;

    // Buddy and group events. The entry handed over stays valid for the whole
    // call, even when a handler changes or clears the list meanwhile; the
    // owner forwards it to its bound event, if any.
    virtual void FireFriendAdd(const std::shared_ptr<TFriendInfo>& entry) = 0;
    virtual void FireFriendStatusChange(const std::shared_ptr<TFriendInfo>& entry) = 0;
    virtual void FireFriendRemove(const std::shared_ptr<TFriendInfo>& entry) = 0;
    virtual void FireGroupListChange() = 0;

    // Sends "Name Lookup" for the name directly. Raises when the current state
    // does not allow it; the exception reaches the caller of TNameList::IdOf.
    virtual void SendNameLookup(const QByteArray& name) = 0;

    // Runs the event loop (packets, timers, user input) until the owner has
    // handed a name to TNameList::Add ("Client Name", "Lookup Result", an
    // answer of -1 included), has left the Logged In state or is shutting
    // down, or plat::MonotonicMs() has reached deadlineMs. Returning
    // early is harmless: the caller looks again and waits again. The owner
    // must not be destroyed while this runs (destroy it through deleteLater).
    virtual void WaitForName(int64_t deadlineMs) = 0;

    // True while a name lookup can still be answered: logged in, connected and
    // not shutting down.
    virtual bool IsLoggedIn() const = 0;
};

// Base of the engine's lists: knows the chat component that owns it (not
// owned; may be null for a list that fires nothing and sends nothing).
class TVLChatList {
public:
    explicit TVLChatList(TVLChatListOwner* owner) : owner_(owner) {}
    virtual ~TVLChatList() = default;
    TVLChatList(const TVLChatList&) = delete;
    TVLChatList& operator=(const TVLChatList&) = delete;

    TVLChatListOwner* Owner() const { return owner_; }

private:
    TVLChatListOwner* owner_;
};

// ---------------------------------------------------------------------------

class TCharInfo {
public:
    TCharInfo(QByteArray name, int32_t level, bool online)
        : name_(std::move(name)), level_(level), online_(online) {}
    const QByteArray& Name() const { return name_; }
    int32_t Level() const { return level_; }
    bool Online() const { return online_; }

private:
    QByteArray name_;
    int32_t level_;
    bool online_;
};

// The account's characters, in the order the server listed them.
class TCharList : public TVLChatList {
public:
    using TVLChatList::TVLChatList;

    void Add(const QByteArray& name, int32_t level, bool online);
    qsizetype Count() const { return static_cast<qsizetype>(items_.size()); }
    std::shared_ptr<const TCharInfo> Items(qsizetype index) const;
    void Clear() { items_.clear(); }

private:
    std::vector<std::shared_ptr<const TCharInfo>> items_;
};

// ---------------------------------------------------------------------------

// Character names and their 32-bit identifiers, in arrival order. Duplicates
// are kept; lookups find the first. The identifier -1 means "no such
// character" and is never stored. Both lookups take constant time: beside the
// ordered entries, an index holds the first entry of each name (compared
// without regard to case on the decoded text) and of each identifier.
class TNameList : public TVLChatList {
public:
    static constexpr int64_t NameLookupTimeoutMs = 10000;
    // The longest name a "Lookup Result" (an identifier and the name as text)
    // can carry within the receive limit.
    static constexpr qsizetype MaxLookupName = kMaxIncomingBody - 4 - 2;

    using TVLChatList::TVLChatList;

    void Add(const QByteArray& name, int32_t id);
    // The identifier of a name. An unknown name is asked of the server and
    // waited for, at most NameLookupTimeoutMs; no answer, an answer of -1 or
    // leaving the Logged In state gives -1. A name longer than MaxLookupName
    // is not asked for: no answer could name it.
    int32_t IdOf(const QByteArray& name);
    // Raises "Name not found for ID %d" for an identifier not in the list.
    QByteArray NameOf(int32_t id) const;
    qsizetype Count() const { return static_cast<qsizetype>(entries_.size()); }
    void Clear();

private:
    struct Entry {
        QByteArray name;
        int32_t id;
    };
    // A lookup that IdOf is waiting for; lookups nest when a wait dispatches
    // a handler that looks up another name.
    struct Pending {
        QString folded;
        bool answeredUnknown = false;
    };

    // The first entry of an identifier, its name kept at hand: every message
    // received looks one up.
    struct FirstOfId {
        int32_t id = 0;
        QByteArray name;
    };

    const Entry* Find(const QString& folded) const;

    std::vector<Entry> entries_;
    QHash<QString, qsizetype> firstOfName_; // folded name -> first entry
    TFlatIndex<FirstOfId> firstOfId_;
    std::vector<Pending*> pending_;
};

// ---------------------------------------------------------------------------

class TFriendInfo {
public:
    TFriendInfo(QByteArray name, bool online, bool dataFlag)
        : name_(std::move(name)), online_(online), dataFlag_(dataFlag) {}
    const QByteArray& Name() const { return name_; }
    bool Online() const { return online_; }
    bool DataFlag() const { return dataFlag_; }

private:
    QByteArray name_;
    bool online_;
    bool dataFlag_;
};

// The buddy list, one entry per name (compared without regard to case on the
// decoded text), in the order the buddies were added. Changes fire the
// owner's buddy events. An index from name to position makes lookups and
// updates take constant time; a removal costs time in proportion to the list.
class TFriendList : public TVLChatList {
public:
    using TVLChatList::TVLChatList;

    // Adds the buddy (OnFriendAdd) or replaces its entry with a new one
    // holding the given values (OnFriendStatusChange).
    void Update(const QByteArray& name, bool online, bool dataFlag);
    // Takes the buddy out and fires OnFriendRemove; absent names are ignored.
    void Remove(const QByteArray& name);
    qsizetype IndexOf(const QByteArray& name) const;
    qsizetype Count() const { return static_cast<qsizetype>(items_.size()); }
    std::shared_ptr<TFriendInfo> Items(qsizetype index) const;
    void Clear();

private:
    qsizetype IndexOfHashed(const QByteArray& name, const QString& folded, size_t hash) const;

    std::vector<std::shared_ptr<TFriendInfo>> items_;
    TFlatIndex<qsizetype> positions_; // by the hash of the folded name
};

// ---------------------------------------------------------------------------

class TGroupInfo {
public:
    // The flags value that mutes a group.
    static constexpr int32_t MutedFlags = 0x01010000;

    TGroupInfo(QByteArray name, int32_t flags) : name_(std::move(name)), flags_(flags) {}
    const QByteArray& Name() const { return name_; }
    int32_t Flags() const { return flags_; }
    bool Muted() const { return (flags_ & MutedFlags) == MutedFlags; }

private:
    QByteArray name_;
    int32_t flags_;
};

// The public groups, keyed by their 5-byte identifier written as ten
// upper-case hexadecimal digits, in the order they were announced. Indexes
// from identifier and from name (the first group of a name) to position make
// both lookups take constant time.
class TGroupList : public TVLChatList {
public:
    using TVLChatList::TVLChatList;

    // Adds or replaces the group's entry, then fires OnGroupListChange.
    void Update(const TGroupId& id, const QByteArray& name, int32_t flags);
    static QString KeyOfId(const TGroupId& id);
    qsizetype IndexOfId(const TGroupId& id) const;
    // Exact, case-sensitive comparison of the names.
    qsizetype IndexOfName(const QByteArray& name) const;
    TGroupId GroupId(qsizetype index) const;
    qsizetype Count() const { return static_cast<qsizetype>(items_.size()); }
    std::shared_ptr<const TGroupInfo> Items(qsizetype index) const;
    void Clear();

private:
    struct Item {
        TGroupId id;
        std::shared_ptr<const TGroupInfo> info;
    };
    static uint64_t IdValue(const TGroupId& id);

    std::vector<Item> items_;
    QHash<uint64_t, qsizetype> positionOfId_;  // identifier -> index in items_
    QHash<QByteArray, qsizetype> firstOfName_; // name -> first index with it
};
