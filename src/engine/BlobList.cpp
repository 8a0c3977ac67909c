#include "engine/BlobList.h"

#include "platform/core/Exception.h"
#include "platform/core/Guid.h"

#include <algorithm>

namespace {

std::unique_ptr<TBlob> CopyForStore(const TBlob& blob) {
    if (const auto* item = dynamic_cast<const TItemBlob*>(&blob)) {
        auto copy = std::make_unique<TItemBlob>();
        copy->Assign(*item);
        return copy;
    }
    if (const auto* text = dynamic_cast<const TTextBlob*>(&blob)) {
        auto copy = std::make_unique<TTextBlob>();
        copy->Assign(*text);
        return copy;
    }
    if (const auto* unknown = dynamic_cast<const TUnknownBlob*>(&blob)) {
        auto copy = std::make_unique<TUnknownBlob>();
        copy->SetData(unknown->Data());
        return copy;
    }
    return nullptr;
}

} // namespace

QString TBlobList::Add(const TBlob& blob) {
    std::unique_ptr<TBlob> copy = CopyForStore(blob);
    if (copy == nullptr) {
        return QString();
    }
    while (Count() >= maxCount_) {
        items_.erase(items_.begin());
    }
    QString key = NewKey();
    items_.emplace_back(key, std::move(copy));
    return key;
}

qsizetype TBlobList::IndexOf(const QString& key) const {
    const auto it = std::find_if(items_.begin(), items_.end(), [&](const auto& item) {
        return item.first.compare(key, Qt::CaseInsensitive) == 0;
    });
    return it == items_.end() ? -1 : static_cast<qsizetype>(it - items_.begin());
}

TBlob* TBlobList::Blobs(qsizetype index) const {
    if (index < 0 || index >= Count()) {
        plat::ThrowListIndexError(index);
    }
    return items_[static_cast<size_t>(index)].second.get();
}

QString TBlobList::NewKey() {
    return plat::NewGuidString();
}
