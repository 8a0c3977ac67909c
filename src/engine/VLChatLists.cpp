#include "engine/VLChatLists.h"

#include "platform/core/Clock.h"
#include "platform/core/Cp1252.h"
#include "platform/core/Exception.h"
#include "platform/core/Format.h"

#include <algorithm>

namespace {

template <typename Vector>
void CheckIndex(const Vector& items, qsizetype index) {
    if (index < 0 || index >= static_cast<qsizetype>(items.size())) {
        plat::ThrowListIndexError(index);
    }
}

// Names are wire bytes; they compare without regard to case on their decoded text.
QString FoldChatName(QByteArrayView name) {
    return plat::FromCp1252(name).toCaseFolded();
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

const TNameList::Entry* TNameList::find(const QString& folded) const {
    const auto it = std::find_if(entries_.begin(), entries_.end(),
                                 [&](const Entry& e) { return e.folded == folded; });
    return it == entries_.end() ? nullptr : &*it;
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
    entries_.push_back(Entry{name, std::move(folded), id});
}

int32_t TNameList::IdOf(const QByteArray& name) {
    Pending pending{FoldChatName(name)};
    if (const Entry* e = find(pending.folded)) {
        return e->id;
    }
    TVLChatListOwner* owner = Owner();
    if (owner == nullptr) {
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
        if (const Entry* e = find(pending.folded)) {
            return e->id;
        }
        if (pending.answeredUnknown || !owner->IsLoggedIn() || plat::MonotonicMs() >= deadline) {
            return -1;
        }
        owner->WaitForName(deadline);
    }
}

QByteArray TNameList::NameOf(int32_t id) const {
    const auto it =
        std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.id == id; });
    if (it == entries_.end()) {
        throw plat::Exception(plat::Format("Name not found for ID %d", id));
    }
    return it->name;
}

// --- TFriendList -----------------------------------------------------------

qsizetype TFriendList::IndexOf(const QByteArray& name) const {
    const QString folded = FoldChatName(name);
    const auto it = std::find_if(items_.begin(), items_.end(),
                                 [&](const Item& item) { return item.folded == folded; });
    return it == items_.end() ? -1 : static_cast<qsizetype>(it - items_.begin());
}

void TFriendList::Update(const QByteArray& name, bool online, bool dataFlag) {
    // The local reference keeps the entry alive through the event, whatever
    // the handlers do to the list; nothing here touches the list afterwards.
    const auto entry = std::make_shared<TFriendInfo>(name, online, dataFlag);
    const qsizetype index = IndexOf(name);
    if (index < 0) {
        items_.push_back(Item{FoldChatName(name), entry});
        if (Owner() != nullptr) {
            Owner()->FireFriendAdd(entry);
        }
    } else {
        items_[static_cast<size_t>(index)].info = entry;
        if (Owner() != nullptr) {
            Owner()->FireFriendStatusChange(entry);
        }
    }
}

void TFriendList::Remove(const QByteArray& name) {
    const qsizetype index = IndexOf(name);
    if (index < 0) {
        return;
    }
    const std::shared_ptr<TFriendInfo> entry = items_[static_cast<size_t>(index)].info;
    items_.erase(items_.begin() + index);
    if (Owner() != nullptr) {
        Owner()->FireFriendRemove(entry);
    }
}

std::shared_ptr<TFriendInfo> TFriendList::Items(qsizetype index) const {
    CheckIndex(items_, index);
    return items_[static_cast<size_t>(index)].info;
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

qsizetype TGroupList::IndexOfId(const TGroupId& id) const {
    const QString key = KeyOfId(id);
    const auto it = std::find_if(items_.begin(), items_.end(), [&](const Item& item) {
        return item.key.compare(key, Qt::CaseInsensitive) == 0;
    });
    return it == items_.end() ? -1 : static_cast<qsizetype>(it - items_.begin());
}

qsizetype TGroupList::IndexOfName(const QByteArray& name) const {
    const auto it = std::find_if(items_.begin(), items_.end(),
                                 [&](const Item& item) { return item.info->Name() == name; });
    return it == items_.end() ? -1 : static_cast<qsizetype>(it - items_.begin());
}

void TGroupList::Update(const TGroupId& id, const QByteArray& name, int32_t flags) {
    auto entry = std::make_shared<const TGroupInfo>(name, flags);
    const qsizetype index = IndexOfId(id);
    if (index < 0) {
        items_.push_back(Item{KeyOfId(id), std::move(entry)});
    } else {
        items_[static_cast<size_t>(index)].info = std::move(entry);
    }
    if (Owner() != nullptr) {
        Owner()->FireGroupListChange();
    }
}

TGroupId TGroupList::GroupId(qsizetype index) const {
    CheckIndex(items_, index);
    // Two hexadecimal digits per byte, first byte first.
    const QString& key = items_[static_cast<size_t>(index)].key;
    TGroupId id{};
    for (size_t i = 0; i < id.size(); ++i) {
        id[i] = static_cast<uint8_t>(key.mid(static_cast<qsizetype>(i) * 2, 2).toUInt(nullptr, 16));
    }
    return id;
}

std::shared_ptr<const TGroupInfo> TGroupList::Items(qsizetype index) const {
    CheckIndex(items_, index);
    return items_[static_cast<size_t>(index)].info;
}
