#include "effects/gui/bitmaps/VfxContainers.h"

#include "effects/core/VfxStreams.h"
#include "effects/gui/drawing/VfxGraphics.h"

#include <QFile>
#include <QPainter>

#include <algorithm>

namespace fx {

using plat::TColor;
using plat::TRect;

// --- change links ---

TVfxChangeLink::~TVfxChangeLink() {
    if (sender_ != nullptr) {
        sender_->UnRegisterChanges(*this);
    }
}

void TVfxChangeLink::Change() {
    if (OnChange) {
        OnChange(this);
    }
}

TVfxBaseContainer::~TVfxBaseContainer() {
    for (TVfxChangeLink* link : links_) {
        link->sender_ = nullptr;
    }
}

void TVfxBaseContainer::RegisterChanges(TVfxChangeLink& link) {
    if (link.sender_ != nullptr && link.sender_ != this) {
        link.sender_->UnRegisterChanges(link);
    }
    if (std::find(links_.begin(), links_.end(), &link) == links_.end()) {
        links_.push_back(&link);
    }
    link.sender_ = this;
}

void TVfxBaseContainer::UnRegisterChanges(TVfxChangeLink& link) {
    links_.erase(std::remove(links_.begin(), links_.end(), &link), links_.end());
    if (link.sender_ == this) {
        link.sender_ = nullptr;
    }
}

void TVfxBaseContainer::Change() {
    // A link's handler may unregister links: walk a copy.
    const std::vector<TVfxChangeLink*> links = links_;
    for (TVfxChangeLink* link : links) {
        if (std::find(links_.begin(), links_.end(), link) != links_.end()) {
            link->Change();
        }
    }
    TVfxCustomComponent::Change();
}

// --- signatures ---

const std::array<const char*, 6> kVfxContainerSignatures = {"VFXIML30", "VFXBML30", "VFXWVL30",
                                                            "VFXSLL30", "VFXGLL50", "VFXRTL50"};

QString VfxContainerExtension(int type, bool withDot) {
    static const std::array<const char*, 6> extensions = {"iml", "bmp", "wav", "txt", "*", "rtf"};
    if (type < 0 || type >= int(extensions.size())) {
        return {};
    }
    const QString extension = QString::fromLatin1(extensions[type]);
    return withDot ? QStringLiteral(".") + extension : extension;
}

namespace {

[[noreturn]] void ThrowWrongFile(const QString& name) {
    throw Exception(QStringLiteral("Cannot open file %s: ") + name);
}

// The type of the signature at the stream's position (ctUnknown when none).
int ReadSignature(QIODevice& stream) {
    uint8_t signature[9];
    VfxReadBuffer(stream, signature, 9);
    for (int type = 0; type < int(kVfxContainerSignatures.size()); ++type) {
        if (signature[0] == 8 &&
            std::equal(signature + 1, signature + 9, kVfxContainerSignatures[type])) {
            return type;
        }
    }
    return ctUnknown;
}

void WriteSignature(QIODevice& stream, int type) {
    VfxWriteShortString(stream, QString::fromLatin1(kVfxContainerSignatures[type]));
}

} // namespace

// --- containers ---

TVfxCustomContainer::TVfxCustomContainer(int type, QObject* owner)
    : TVfxBaseContainer(owner), type_(type) {}

TVfxCustomContainer::~TVfxCustomContainer() = default;

TVfxListItem* TVfxCustomContainer::GetItem(int index) const {
    if (index < 0 || index >= Count()) {
        return nullptr;
    }
    return items_[size_t(index)].get();
}

TVfxListItem& TVfxCustomContainer::AddItem(std::unique_ptr<TVfxListItem> item) {
    if (!item) {
        item = NewItem();
        item->compressed_ = defaultCompressed_;
    }
    item->container_ = this;
    items_.push_back(std::move(item));
    Change();
    return *items_.back();
}

void TVfxCustomContainer::Clear() {
    items_.clear();
    Change();
}

std::vector<std::unique_ptr<TVfxListItem>> TVfxCustomContainer::ReadItems(QIODevice& stream,
                                                                          bool withOffsets) {
    const uint32_t count = VfxReadCardinal(stream);
    // Every record takes at least its flag byte, every offset four bytes.
    const qint64 remaining = VfxRemaining(stream);
    if (remaining >= 0 && uint64_t(count) * (withOffsets ? 5 : 1) > uint64_t(remaining)) {
        VfxThrowReadError();
    }
    if (withOffsets) {
        VfxReadBytes(stream, qint64(count) * 4);
    }
    std::vector<std::unique_ptr<TVfxListItem>> items;
    for (uint32_t i = 0; i < count; ++i) {
        std::unique_ptr<TVfxListItem> item = NewItem();
        item->container_ = nullptr; // not in the list yet: no item notices
        item->ReadItem(stream);
        item->container_ = this;
        items.push_back(std::move(item));
    }
    return items;
}

void TVfxCustomContainer::ReadContainer(QIODevice& stream, bool withOffsets) {
    std::vector<std::unique_ptr<TVfxListItem>> items = ReadItems(stream, withOffsets);
    BeginUpdate();
    items_ = std::move(items);
    EndUpdate(true);
}

void TVfxCustomContainer::WriteContainer(QIODevice& stream, bool withOffsets) const {
    VfxWriteInteger(stream, Count());
    const qint64 table = stream.pos();
    if (withOffsets) {
        VfxWriteBuffer(stream, QByteArray(qsizetype(Count()) * 4, '\0'));
    }
    std::vector<uint32_t> offsets;
    for (const auto& item : items_) {
        offsets.push_back(uint32_t(stream.pos()));
        item->WriteItem(stream);
    }
    if (withOffsets) {
        const qint64 end = stream.pos();
        if (!stream.seek(table)) {
            VfxThrowWriteError();
        }
        for (const uint32_t offset : offsets) {
            VfxWriteInteger(stream, int32_t(offset));
        }
        if (!stream.seek(end)) {
            VfxThrowWriteError();
        }
    }
}

void TVfxCustomContainer::LoadFromStream(QIODevice& stream, const QString& name) {
    if (ReadSignature(stream) != type_) {
        ThrowWrongFile(name);
    }
    ReadContainer(stream, true);
}

void TVfxCustomContainer::SaveToStream(QIODevice& stream) const {
    WriteSignature(stream, type_);
    WriteContainer(stream, true);
}

void TVfxCustomContainer::LoadFromFile(const QString& fileName) {
    QFile file(fileName);
    VfxOpenFile(file, false);
    LoadFromStream(file, fileName);
}

void TVfxCustomContainer::SaveToFile(const QString& fileName) const {
    QFile file(fileName);
    VfxOpenFile(file, true);
    SaveToStream(file);
}

void TVfxCustomContainer::Assign(const TVfxCustomContainer& source) {
    if (source.metaObject() != metaObject()) {
        throw plat::EConvertError(QStringLiteral("Cannot assign a %1 to a %2")
                                      .arg(QLatin1String(source.metaObject()->className()),
                                           QLatin1String(metaObject()->className())));
    }
    BeginUpdate();
    items_.clear();
    defaultCompressed_ = source.defaultCompressed_;
    for (const auto& from : source.items_) {
        std::unique_ptr<TVfxListItem> item = NewItem();
        item->container_ = this;
        item->Assign(*from);
        items_.push_back(std::move(item));
    }
    EndUpdate(true);
}

void TVfxCustomImageList::Assign(const TVfxCustomContainer& source) {
    TVfxCustomContainer::Assign(source); // raises for another class
    defaultPixelFormat_ = static_cast<const TVfxCustomImageList&>(source).defaultPixelFormat_;
}

// --- bitmap list ---

TVfxBitmapList::TVfxBitmapList(QObject* owner) : TVfxCustomImageList(ctBitmapList, owner) {}

std::unique_ptr<TVfxListItem> TVfxBitmapList::NewItem() {
    auto item = std::make_unique<TVfxBitmapListItem>(this);
    item->SetSavePixelFormat(DefaultPixelFormat());
    return item;
}

TVfxBitmapListItem* TVfxBitmapList::Item(int index) const {
    return static_cast<TVfxBitmapListItem*>(GetItem(index));
}

namespace {

constexpr TColor kWhite = 0xFFFFFF;

const QImage* BitmapOf(TVfxBitmapList& list, int index) {
    TVfxBitmapListItem* item = list.Item(index);
    if (item == nullptr) {
        return nullptr;
    }
    const QImage& bitmap = item->Bitmap();
    return bitmap.isNull() ? nullptr : &bitmap;
}

} // namespace

const QImage* TVfxBitmapList::Canvas(int list) {
    return BitmapOf(*this, list);
}

TRect TVfxBitmapList::ImageRect(int list, int) {
    const QImage* bitmap = BitmapOf(*this, list);
    return bitmap != nullptr ? TRect(0, 0, bitmap->width(), bitmap->height()) : TRect();
}

int TVfxBitmapList::ImageSize(int list, int which) {
    const QImage* bitmap = BitmapOf(*this, list);
    if (bitmap == nullptr) {
        return 0;
    }
    return which == 0 ? bitmap->width() : bitmap->height();
}

int TVfxBitmapList::ImageCount(int list) {
    if (Item(list) == nullptr) {
        return -1;
    }
    return BitmapOf(*this, list) != nullptr ? 1 : 0;
}

bool TVfxBitmapList::ImagePresent(int list, int) {
    return BitmapOf(*this, list) != nullptr;
}

bool TVfxBitmapList::CopyImage(int list, int, QImage& target) {
    const QImage* bitmap = BitmapOf(*this, list);
    if (bitmap == nullptr) {
        return false;
    }
    target = *bitmap;
    return true;
}

QVector<QRgb> TVfxBitmapList::Palette(int list) {
    const QImage* bitmap = BitmapOf(*this, list);
    return bitmap != nullptr ? bitmap->colorTable() : QVector<QRgb>();
}

TColor TVfxBitmapList::TransparentColor(int list, int) {
    const QImage* bitmap = BitmapOf(*this, list);
    return bitmap != nullptr ? VfxTransparentColorOf(*bitmap) : kWhite;
}

TColor TVfxBitmapList::PixelColor(int list, int, int x, int y) {
    const QImage* bitmap = BitmapOf(*this, list);
    if (bitmap == nullptr || !bitmap->valid(x, y)) {
        return kWhite;
    }
    return plat::FromQColor(QColor(bitmap->pixel(x, y)));
}

void TVfxBitmapList::Draw(QPainter& painter, int x, int y, int list, int) {
    if (const QImage* bitmap = BitmapOf(*this, list)) {
        TRect reported;
        VfxDrawBitmap(painter, VfxBounds(x, y, bitmap->width(), bitmap->height()), *bitmap,
                      reported, plat::clNone, 0);
    }
}

void TVfxBitmapList::DrawTransparent(QPainter& painter, const TRect& rect, int list, int,
                                     uint16_t flags) {
    if (const QImage* bitmap = BitmapOf(*this, list)) {
        VfxDrawBitmapClipped(painter, rect, *bitmap, flags | VFX_DF_TRANSPARENT, 0,
                             VfxTransparentColorOf(*bitmap));
    }
}

void TVfxBitmapList::DrawStyled(QPainter& painter, const TRect& rect, int list, int, uint16_t flags,
                                TColor color) {
    if (const QImage* bitmap = BitmapOf(*this, list)) {
        VfxDrawBitmapClipped(painter, rect, *bitmap, flags, 0, color);
    }
}

// --- image list ---

TVfxImageList::TVfxImageList(QObject* owner) : TVfxCustomImageList(ctImageList, owner) {}

std::unique_ptr<TVfxListItem> TVfxImageList::NewItem() {
    auto item = std::make_unique<TVfxImageListItem>(this);
    item->SetSavePixelFormat(DefaultPixelFormat());
    return item;
}

TVfxImageListItem* TVfxImageList::Item(int index) const {
    return static_cast<TVfxImageListItem*>(GetItem(index));
}

namespace {

// The item when the image is one of it.
TVfxImageListItem* ImageItem(const TVfxImageList& list, int index, int image) {
    TVfxImageListItem* item = list.Item(index);
    return item != nullptr && image >= 0 && image < item->Count() ? item : nullptr;
}

} // namespace

const QImage* TVfxImageList::Canvas(int list) {
    const TVfxImageListItem* item = Item(list);
    return item != nullptr && !item->ImageStrip().isNull() ? &item->ImageStrip() : nullptr;
}

TRect TVfxImageList::ImageRect(int list, int image) {
    const TVfxImageListItem* item = ImageItem(*this, list, image);
    return item != nullptr ? item->ImageRect(image) : TRect();
}

int TVfxImageList::ImageSize(int list, int which) {
    const TVfxImageListItem* item = Item(list);
    if (item == nullptr) {
        return 0;
    }
    return which == 0 ? item->Width() : item->Height();
}

int TVfxImageList::ImageCount(int list) {
    const TVfxImageListItem* item = Item(list);
    return item != nullptr ? item->Count() : -1;
}

bool TVfxImageList::ImagePresent(int list, int image) {
    return ImageItem(*this, list, image) != nullptr;
}

bool TVfxImageList::CopyImage(int list, int image, QImage& target) {
    const TVfxImageListItem* item = ImageItem(*this, list, image);
    if (item == nullptr) {
        return false;
    }
    target = item->ImageStrip().copy(item->ImageRect(image).ToQRect());
    return true;
}

bool TVfxImageList::Masked(int list) {
    const TVfxImageListItem* item = Item(list);
    return item != nullptr && item->Masked();
}

QVector<QRgb> TVfxImageList::Palette(int list) {
    const TVfxImageListItem* item = Item(list);
    return item != nullptr ? item->ImageStrip().colorTable() : QVector<QRgb>();
}

TColor TVfxImageList::TransparentColor(int list, int image) {
    const TVfxImageListItem* item = ImageItem(*this, list, image);
    if (item == nullptr) {
        return kWhite;
    }
    const TRect r = item->ImageRect(image);
    return plat::FromQColor(QColor(item->ImageStrip().pixel(r.Left, item->Height() - 1)));
}

TColor TVfxImageList::PixelColor(int list, int image, int x, int y) {
    const TVfxImageListItem* item = ImageItem(*this, list, image);
    if (item == nullptr || x < 0 || y < 0 || x >= item->Width() || y >= item->Height()) {
        return kWhite;
    }
    return plat::FromQColor(QColor(item->ImageStrip().pixel(item->ImageRect(image).Left + x, y)));
}

void TVfxImageList::Draw(QPainter& painter, int x, int y, int list, int image) {
    if (const TVfxImageListItem* item = ImageItem(*this, list, image)) {
        item->Draw(painter, x, y, image);
    }
}

void TVfxImageList::DrawTransparent(QPainter& painter, const TRect& rect, int list, int image,
                                    uint16_t flags) {
    DrawStyled(painter, rect, list, image, flags, TransparentColor(list, image));
}

void TVfxImageList::DrawStyled(QPainter& painter, const TRect& rect, int list, int image,
                               uint16_t flags, TColor color) {
    const TVfxImageListItem* item = ImageItem(*this, list, image);
    if (item == nullptr) {
        return;
    }
    const TRect part = item->ImageRect(image);
    if (item->Masked()) {
        VfxDrawAreaClipped(painter, rect, &item->ImageStrip(), part, flags | VFX_DF_MASKED, 0,
                           color, &item->MaskStrip());
    } else {
        VfxDrawAreaClipped(painter, rect, &item->ImageStrip(), part, flags | VFX_DF_TRANSPARENT, 0,
                           TransparentColor(list, image), nullptr);
    }
}

// --- wave and string lists ---

TVfxWaveList::TVfxWaveList(QObject* owner) : TVfxCustomContainer(ctWaveList, owner) {}

std::unique_ptr<TVfxListItem> TVfxWaveList::NewItem() {
    return std::make_unique<TVfxWaveListItem>(this);
}

TVfxWaveListItem* TVfxWaveList::Item(int index) const {
    return static_cast<TVfxWaveListItem*>(GetItem(index));
}

TVfxStringList::TVfxStringList(QObject* owner) : TVfxCustomContainer(ctStringList, owner) {}

std::unique_ptr<TVfxListItem> TVfxStringList::NewItem() {
    return std::make_unique<TVfxStringListItem>(this);
}

TVfxStringListItem* TVfxStringList::Item(int index) const {
    return static_cast<TVfxStringListItem*>(GetItem(index));
}

// --- the container of four lists ---

TVfxContainer::TVfxContainer(QObject* owner)
    : TVfxBaseContainer(owner), bitmapList_(std::make_unique<TVfxBitmapList>()),
      imageList_(std::make_unique<TVfxImageList>()), waveList_(std::make_unique<TVfxWaveList>()),
      stringList_(std::make_unique<TVfxStringList>()) {
    // A list's change is the container's change. (Mirroring a designed
    // container into the default one belongs to design time, which does not
    // exist here.)
    const auto forward = [this](TVfxCustomComponent*) { Change(); };
    bitmapList_->OnChange = forward;
    imageList_->OnChange = forward;
    waveList_->OnChange = forward;
    stringList_->OnChange = forward;
}

TVfxContainer::~TVfxContainer() {
    bitmapList_->OnChange = nullptr;
    imageList_->OnChange = nullptr;
    waveList_->OnChange = nullptr;
    stringList_->OnChange = nullptr;
}

TVfxImageListLink::TVfxImageListLink(std::function<void()> changed) : changed_(std::move(changed)) {
    link_.OnChange = [this](TVfxChangeLink*) { changed_(); };
}

void TVfxImageListLink::SetImageList(TVfxCustomImageList* list) {
    if (list_ == list) {
        return;
    }
    if (!list_.isNull()) {
        list_->UnRegisterChanges(link_);
    }
    list_ = list;
    if (list != nullptr) {
        list->RegisterChanges(link_);
    }
    changed_();
}

void TVfxImageListLink::SetListIndex(int value) {
    if (listIndex_ != value) {
        listIndex_ = value;
        changed_();
    }
}

TVfxContainer& VfxDefaultContainer() {
    static TVfxContainer container;
    return container;
}

TVfxCustomImageList* ListFromName(const QString& name) {
    if (name == QLatin1String(kVfxContainerSignatures[ctBitmapList])) {
        return &VfxDefaultContainer().BitmapList();
    }
    if (name == QLatin1String(kVfxContainerSignatures[ctImageList])) {
        return &VfxDefaultContainer().ImageList();
    }
    return nullptr;
}

QString ListName(const TVfxCustomContainer* list) {
    if (list == &VfxDefaultContainer().BitmapList()) {
        return QLatin1String(kVfxContainerSignatures[ctBitmapList]);
    }
    if (list == &VfxDefaultContainer().ImageList()) {
        return QLatin1String(kVfxContainerSignatures[ctImageList]);
    }
    return {};
}

bool IsDefaultList(const TVfxCustomContainer* list) {
    return !ListName(list).isEmpty();
}

// --- container files ---

int ReadContainerIndex(QIODevice& stream, uint32_t& count, std::vector<uint32_t>* offsets) {
    const int type = ReadSignature(stream);
    count = VfxReadCardinal(stream);
    if (type != ctUnknown && offsets != nullptr) {
        const qint64 remaining = VfxRemaining(stream);
        if (remaining >= 0 && uint64_t(count) * 4 > uint64_t(remaining)) {
            VfxThrowReadError();
        }
        offsets->clear();
        offsets->reserve(count);
        for (uint32_t i = 0; i < count; ++i) {
            offsets->push_back(VfxReadCardinal(stream));
        }
    }
    return type;
}

int ReadContainerIndex(const QString& fileName, uint32_t& count, std::vector<uint32_t>* offsets) {
    QFile file(fileName);
    VfxOpenFile(file, false);
    return ReadContainerIndex(file, count, offsets);
}

void LoadItemFromFile(const QString& fileName, int type, const std::vector<uint32_t>* offsets,
                      TVfxListItem& item, int index) {
    QFile file(fileName);
    VfxOpenFile(file, false);
    std::vector<uint32_t> read;
    if (offsets == nullptr) {
        uint32_t count = 0;
        if (ReadContainerIndex(file, count, &read) != type) {
            ThrowWrongFile(fileName);
        }
        offsets = &read;
    }
    if (index < 0 || size_t(index) >= offsets->size() || (*offsets)[size_t(index)] >= file.size() ||
        !file.seek((*offsets)[size_t(index)])) {
        VfxThrowReadError();
    }
    item.ReadItem(file);
}

void LoadBitmapFromContainerFile(const QString& fileName, int index, QImage& bitmap) {
    TVfxBitmapListItem item;
    LoadItemFromFile(fileName, ctBitmapList, nullptr, item, index);
    bitmap = item.StoredBitmap();
}

} // namespace fx
