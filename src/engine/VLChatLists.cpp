#include "engine/VLChatLists.h"

#include "platform/core/Clock.h"
#include "platform/core/Cp1252.h"
#include "platform/core/Exception.h"
#include "platform/core/Format.h"

namespace {

template <typename Vector>
void CheckIndex(const Vector& items, qsizetype index) {
    if (index < 0 || index >= static_cast<qsizetype>(items.size())) {
        plat::ThrowListIndexError(index);
    }
}

// Names are wire bytes; they compare without regard to case on their decoded
// text, up to a NUL: a received name ends at its first one, so a name asked
// for with a NUL comes back as the part before it.
QString FoldChatName(QByteArrayView name) {
    const qsizetype nul = name.indexOf('\0');
    return plat::FromCp1252(nul < 0 ? name : name.first(nul)).toCaseFolded();
}

size_t HashOf(const QString& folded) {
    return qHash(folded, QHashSeed::globalSeed());
}

size_t HashOf(int32_t id) {
    return qHash(id, QHashSeed::globalSeed());
}

} // namespace

// --- TCharList -------------------------------------------------------------

void TCharList::Add(const QByteArray& name, int32_t level, bool online) {
    items_.push_back(std::make_shared<const TCharInfo>(name, level, online));
}

std::shared_ptr<const TCharInfo> TCharList::Items(qsizetype index) const {
    CheckIndex(items_, index);
    return items_[static_cast<size_t>(index)];
}

// --- TNameList -------------------------------------------------------------

const TNameList::Entry* TNameList::Find(const QString& folded) const {
    const auto it = firstOfName_.constFind(folded);
    return it == firstOfName_.cend() ? nullptr : &entries_[static_cast<size_t>(*it)];
}

void TNameList::Add(const QByteArray& name, int32_t id) {
    QString folded = FoldChatName(name);
    if (id == -1) {
        // "No such character": ends a wait for that name, but is not kept, so
        // that a later lookup asks the server again.
        for (Pending* p : pending_) {
            if (p->folded == folded) {
                p->answeredUnknown = true;
            }
        }
        return;
    }
    const auto index = static_cast<qsizetype>(entries_.size());
    entries_.push_back(Entry{name, id});
    // The first entry of a name or an identifier stays the one found.
    if (!firstOfName_.contains(folded)) {
        firstOfName_.insert(folded, index);
    }
    const size_t hash = HashOf(id);
    if (firstOfId_.Find(hash, [id](const FirstOfId& e) { return e.id == id; }) == nullptr) {
        firstOfId_.Insert(hash, FirstOfId{id, name});
    }
}

void TNameList::Clear() {
    entries_.clear();
    firstOfName_.clear();
    firstOfId_.Clear();
}

int32_t TNameList::IdOf(const QByteArray& name) {
    Pending pending{FoldChatName(name)};
    if (const Entry* e = Find(pending.folded)) {
        return e->id;
    }
    TVLChatListOwner* owner = Owner();
    if (owner == nullptr || name.size() > MaxLookupName) {
        return -1;
    }

    struct Registration {
        std::vector<Pending*>& list;
        Pending* item;
        ~Registration() { std::erase(list, item); }
    } registration{pending_, &pending};
    pending_.push_back(&pending);

    owner->SendNameLookup(name);
    const int64_t deadline = plat::MonotonicMs() + NameLookupTimeoutMs;
    for (;;) {
        // The list may have changed in any way during the wait: look again.
        if (const Entry* e = Find(pending.folded)) {
            return e->id;
        }
        if (pending.answeredUnknown || !owner->IsLoggedIn() || plat::MonotonicMs() >= deadline) {
            return -1;
        }
        owner->WaitForName(deadline);
    }
}

QByteArray TNameList::NameOf(int32_t id) const {
    const FirstOfId* first =
        firstOfId_.Find(HashOf(id), [id](const FirstOfId& e) { return e.id == id; });
    if (first == nullptr) {
        throw plat::Exception(plat::Format("Name not found for ID %d", id));
    }
    return first->name;
}

// --- TFriendList -----------------------------------------------------------

qsizetype TFriendList::IndexOfHashed(const QByteArray& name, const QString& folded,
                                     size_t hash) const {
    const qsizetype* found = positions_.Find(hash, [&](qsizetype position) {
        const QByteArray& listed = items_[static_cast<size_t>(position)]->Name();
        return listed == name || FoldChatName(listed) == folded;
    });
    return found ? *found : -1;
}

qsizetype TFriendList::IndexOf(const QByteArray& name) const {
    const QString folded = FoldChatName(name);
    return IndexOfHashed(name, folded, HashOf(folded));
}

void TFriendList::Update(const QByteArray& name, bool online, bool dataFlag) {
    // The local reference keeps the entry alive through the event, whatever
    // the handlers do to the list; nothing here touches the list afterwards.
    const auto entry = std::make_shared<TFriendInfo>(name, online, dataFlag);
    const QString folded = FoldChatName(name);
    const size_t hash = HashOf(folded);
    const qsizetype index = IndexOfHashed(name, folded, hash);
    if (index < 0) {
        positions_.Insert(hash, static_cast<qsizetype>(items_.size()));
        items_.push_back(entry);
        if (Owner() != nullptr) {
            Owner()->FireFriendAdd(entry);
        }
    } else {
        items_[static_cast<size_t>(index)] = entry;
        if (Owner() != nullptr) {
            Owner()->FireFriendStatusChange(entry);
        }
    }
}

void TFriendList::Remove(const QByteArray& name) {
    const QString folded = FoldChatName(name);
    const size_t hash = HashOf(folded);
    const qsizetype index = IndexOfHashed(name, folded, hash);
    if (index < 0) {
        return;
    }
    const std::shared_ptr<TFriendInfo> entry = items_[static_cast<size_t>(index)];
    items_.erase(items_.begin() + index);
    positions_.Erase(hash, [index](qsizetype position) { return position == index; });
    // The buddies behind it move up by one.
    positions_.ForEach([index](qsizetype& position) {
        if (position > index) {
            --position;
        }
    });
    if (Owner() != nullptr) {
        Owner()->FireFriendRemove(entry);
    }
}

std::shared_ptr<TFriendInfo> TFriendList::Items(qsizetype index) const {
    CheckIndex(items_, index);
    return items_[static_cast<size_t>(index)];
}

void TFriendList::Clear() {
    items_.clear();
    positions_.Clear();
}

// --- TGroupList ------------------------------------------------------------

QString TGroupList::KeyOfId(const TGroupId& id) {
    QString key;
    key.reserve(static_cast<qsizetype>(id.size()) * 2);
    for (const uint8_t byte : id) {
        key += plat::HexUpper(byte, 2);
    }
    return key;
}

// The identifier as a number: two identifiers are equal when their keys are.
uint64_t TGroupList::IdValue(const TGroupId& id) {
    uint64_t value = 0;
    for (const uint8_t byte : id) {
        value = (value << 8) | byte;
    }
    return value;
}

qsizetype TGroupList::IndexOfId(const TGroupId& id) const {
    return positionOfId_.value(IdValue(id), -1);
}

qsizetype TGroupList::IndexOfName(const QByteArray& name) const {
    return firstOfName_.value(name, -1);
}

void TGroupList::Update(const TGroupId& id, const QByteArray& name, int32_t flags) {
    auto entry = std::make_shared<const TGroupInfo>(name, flags);
    const qsizetype index = IndexOfId(id);
    if (index < 0) {
        const auto added = static_cast<qsizetype>(items_.size());
        items_.push_back(Item{id, std::move(entry)});
        positionOfId_.insert(IdValue(id), added);
        if (!firstOfName_.contains(name)) {
            firstOfName_.insert(name, added);
        }
    } else {
        const QByteArray oldName = items_[static_cast<size_t>(index)].info->Name();
        items_[static_cast<size_t>(index)].info = std::move(entry);
        if (oldName != name) {
            // A renamed group: its old name now belongs to the next group that
            // has it, if any; its new name is its own unless an earlier group has it.
            if (firstOfName_.value(oldName, -1) == index) {
                firstOfName_.remove(oldName);
                for (auto next = static_cast<size_t>(index) + 1; next < items_.size(); ++next) {
                    if (items_[next].info->Name() == oldName) {
                        firstOfName_.insert(oldName, static_cast<qsizetype>(next));
                        break;
                    }
                }
            }
            const qsizetype first = firstOfName_.value(name, -1);
            if (first < 0 || first > index) {
                firstOfName_.insert(name, index);
            }
        }
    }
    if (Owner() != nullptr) {
        Owner()->FireGroupListChange();
    }
}

TGroupId TGroupList::GroupId(qsizetype index) const {
    CheckIndex(items_, index);
    return items_[static_cast<size_t>(index)].id;
}

std::shared_ptr<const TGroupInfo> TGroupList::Items(qsizetype index) const {
    CheckIndex(items_, index);
    return items_[static_cast<size_t>(index)].info;
}

void TGroupList::Clear() {
    items_.clear();
    positionOfId_.clear();
    firstOfName_.clear();
}
