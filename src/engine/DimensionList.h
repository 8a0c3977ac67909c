#pragma once

#include "engine/VLChatLists.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

// One chat server of the game.
class TDimensionInfo {
public:
    const QString& Name() const { return name_; }
    void SetName(const QString& value) { name_ = value; }
    const QString& Description() const { return description_; }
    void SetDescription(const QString& value) { description_ = value; }
    const QString& Host() const { return host_; }
    void SetHost(const QString& value) { host_ = value; }
    // The connection uses the low 16 bits.
    int32_t Port() const { return port_; }
    void SetPort(int32_t value) { port_ = value; }
    // 0 for new entries; the application marks the entries present at start-up with 1.
    int32_t Tag() const { return tag_; }
    void SetTag(int32_t value) { tag_ = value; }

private:
    QString name_;
    QString description_;
    QString host_;
    int32_t port_ = 0;
    int32_t tag_ = 0;
};

// The chat servers to choose from; starts with the four built-in ones.
//
// Entries are shared: an engine keeps the entry it connected with, and that
// entry stays valid (with its values) when the list is edited or cleared.
class TDimensionList : public TVLChatList {
public:
    // Replaces the host of every built-in dimension when set.
    static constexpr const char* HostOverrideVariable = "QUORVEL_DIMENSION_HOST";
    // Replaces the ports of the built-in dimensions when set to a
    // comma-separated list of ports (1 to 65535): the first takes the place
    // of 7012, the second that of 7013, the last one given for those beyond
    // the list. Anything that is not such a list is ignored.
    static constexpr const char* PortsOverrideVariable = "QUORVEL_DIMENSION_PORTS";

    explicit TDimensionList(TVLChatListOwner* owner);

    std::shared_ptr<TDimensionInfo> Add(const QString& name, const QString& description,
                                        int32_t port, const QString& host);
    void AddInfo(std::shared_ptr<TDimensionInfo> entry);
    void Delete(qsizetype index);
    // Takes the entry out; returns its former index or -1.
    qsizetype Remove(const TDimensionInfo* entry);
    void Clear() { items_.clear(); }

    qsizetype Count() const { return static_cast<qsizetype>(items_.size()); }
    std::shared_ptr<TDimensionInfo> Items(qsizetype index) const;
    qsizetype IndexOf(const TDimensionInfo* entry) const;
    // Compares after upper-casing the ASCII letters of both names.
    qsizetype IndexOfName(const QString& name) const;

private:
    std::vector<std::shared_ptr<TDimensionInfo>> items_;
};
