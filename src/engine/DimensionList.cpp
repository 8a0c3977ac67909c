#include "engine/DimensionList.h"

#include "platform/core/Exception.h"

#include <QList>
#include <QtGlobal>

#include <algorithm>

namespace {

struct BuiltIn {
    const char* name;
    const char* description;
    int32_t port;
    const char* host;
};

constexpr BuiltIn kBuiltIn[] = {
    {"Ostrelian", "Torvane 1 Dimension", 7012, "chat1.vellinor.example"},
    {"Vassa", "Torvane 2 Dimension", 7012, "chat2.vellinor.example"},
    {"Kelmarch", "German Dimension", 7013, "chat3.vellinor.example"},
    {"Test Dimension", "Public Vellinor Test Dimension", 7012, "chattest.vellinor.example"},
};

QString UpperAscii(const QString& text) {
    QString result = text;
    for (QChar& c : result) {
        if (c >= u'a' && c <= u'z') {
            c = QChar(c.unicode() - (u'a' - u'A'));
        }
    }
    return result;
}

// The ports of the environment's list; empty when it is unset or not a list
// of ports.
QList<int32_t> PortOverrides() {
    QList<int32_t> ports;
    for (const QString& part :
         qEnvironmentVariable(TDimensionList::PortsOverrideVariable).split(u',')) {
        bool ok = false;
        const uint port = part.trimmed().toUInt(&ok);
        if (!ok || port == 0 || port > 65535) {
            return {};
        }
        ports.append(static_cast<int32_t>(port));
    }
    return ports;
}

} // namespace

TDimensionList::TDimensionList(TVLChatListOwner* owner) : TVLChatList(owner) {
    const QString hostOverride = qEnvironmentVariable(HostOverrideVariable);
    const QList<int32_t> portOverrides = PortOverrides();
    // The built-in ports in the order they first appear: 7012, 7013.
    QList<int32_t> ownPorts;
    for (const BuiltIn& row : kBuiltIn) {
        if (!ownPorts.contains(row.port)) {
            ownPorts.append(row.port);
        }
    }
    for (const BuiltIn& row : kBuiltIn) {
        const qsizetype slot = std::min(ownPorts.indexOf(row.port), portOverrides.size() - 1);
        Add(QString::fromUtf8(row.name), QString::fromUtf8(row.description),
            portOverrides.isEmpty() ? row.port : portOverrides[slot],
            hostOverride.isEmpty() ? QString::fromUtf8(row.host) : hostOverride);
    }
}

std::shared_ptr<TDimensionInfo> TDimensionList::Add(const QString& name, const QString& description,
                                                    int32_t port, const QString& host) {
    auto entry = std::make_shared<TDimensionInfo>();
    entry->SetName(name);
    entry->SetDescription(description);
    entry->SetHost(host);
    entry->SetPort(port);
    items_.push_back(entry);
    return entry;
}

void TDimensionList::AddInfo(std::shared_ptr<TDimensionInfo> entry) {
    if (entry != nullptr) {
        items_.push_back(std::move(entry));
    }
}

void TDimensionList::Delete(qsizetype index) {
    if (index < 0 || index >= Count()) {
        plat::ThrowListIndexError(index);
    }
    items_.erase(items_.begin() + index);
}

qsizetype TDimensionList::Remove(const TDimensionInfo* entry) {
    const qsizetype index = IndexOf(entry);
    if (index >= 0) {
        items_.erase(items_.begin() + index);
    }
    return index;
}

std::shared_ptr<TDimensionInfo> TDimensionList::Items(qsizetype index) const {
    if (index < 0 || index >= Count()) {
        plat::ThrowListIndexError(index);
    }
    return items_[static_cast<size_t>(index)];
}

qsizetype TDimensionList::IndexOf(const TDimensionInfo* entry) const {
    const auto it = std::find_if(items_.begin(), items_.end(),
                                 [&](const auto& item) { return item.get() == entry; });
    return it == items_.end() ? -1 : static_cast<qsizetype>(it - items_.begin());
}

qsizetype TDimensionList::IndexOfName(const QString& name) const {
    const QString wanted = UpperAscii(name);
    const auto it = std::find_if(items_.begin(), items_.end(), [&](const auto& item) {
        return UpperAscii(item->Name()) == wanted;
    });
    return it == items_.end() ? -1 : static_cast<qsizetype>(it - items_.begin());
}
