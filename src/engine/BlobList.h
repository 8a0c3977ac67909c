#pragma once

#include "engine/VLBlob.h"

#include <QString>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

// Copies of received attachments under fresh unique keys, so that a link in
// the chat console can still name an attachment after the message's own
// attachment object is gone. Bounded: the oldest copies go first.
class TBlobList {
public:
    static constexpr qsizetype DefaultMaxCount = 500;

    TBlobList() = default;
    TBlobList(const TBlobList&) = delete;
    TBlobList& operator=(const TBlobList&) = delete;

    // Stores a copy of an item, text or unknown attachment and returns its
    // key; other attachments are not stored and give an empty key. Only a
    // copy that is stored makes room by dropping the oldest ones.
    QString Add(const TBlob& blob);
    // Keys compare without regard to letter case.
    qsizetype IndexOf(const QString& key) const;
    TBlob* Blobs(qsizetype index) const;
    qsizetype Count() const { return static_cast<qsizetype>(items_.size()); }

    static QString NewKey();
    qsizetype MaxCount() const { return maxCount_; }
    // A capacity below 1 counts as 1.
    void SetMaxCount(qsizetype value) { maxCount_ = std::max<qsizetype>(value, 1); }

private:
    std::vector<std::pair<QString, std::unique_ptr<TBlob>>> items_;
    qsizetype maxCount_ = DefaultMaxCount;
};
