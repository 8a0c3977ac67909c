#pragma once
// Containers of numbered resources: bitmap, image, string and wave lists,
// the component holding one of each, and their files.
//
// Container stream: u32 count; with offsets, count u32 absolute stream
// positions of the records; then the item records. Container file: a short
// string signature of 8 characters, then the stream with offsets.

#include "effects/core/VfxObject.h"
#include "effects/core/VfxUtils.h"
#include "effects/gui/bitmaps/VfxListItems.h"
#include "platform/gui/Colors.h"
#include "platform/gui/Rect.h"

#include <QIODevice>
#include <QImage>
#include <QPointer>
#include <QString>
#include <QVector>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QPainter;

namespace fx {

class TVfxBaseContainer;

// Learns of a container's changes while registered with it.
class TVfxChangeLink {
public:
    TVfxChangeLink() = default;
    TVfxChangeLink(const TVfxChangeLink&) = delete;
    TVfxChangeLink& operator=(const TVfxChangeLink&) = delete;
    // Unregisters from its container.
    virtual ~TVfxChangeLink();

    TVfxBaseContainer* Sender() const { return sender_; }
    std::function<void(TVfxChangeLink*)> OnChange;
    virtual void Change();

private:
    friend class TVfxBaseContainer;
    TVfxBaseContainer* sender_ = nullptr;
};

// A component whose changes reach its registered links first, then its own
// OnChange (held back while updating).
class TVfxBaseContainer : public TVfxCustomComponent {
    Q_OBJECT
public:
    using TVfxCustomComponent::TVfxCustomComponent;
    // Every link's Sender becomes none.
    ~TVfxBaseContainer() override;

    void RegisterChanges(TVfxChangeLink& link);
    void UnRegisterChanges(TVfxChangeLink& link);
    void Change() override;

private:
    std::vector<TVfxChangeLink*> links_;
};

// The types of container files.
enum TVfxContainerType {
    ctImageList = 0,
    ctBitmapList = 1,
    ctWaveList = 2,
    ctStringList = 3,
    ctGlyphList = 4,
    ctRichTextList = 5,
    ctUnknown = 6
};
// "VFXIML30", "VFXBML30", "VFXWVL30", "VFXSLL30", "VFXGLL50", "VFXRTL50".
extern const std::array<const char*, 6> kVfxContainerSignatures;
// "iml", "bmp", "wav", "txt", "*", "rtf", with the dot when asked.
QString VfxContainerExtension(int type, bool withDot);

// A list of items of one class.
class TVfxCustomContainer : public TVfxBaseContainer {
    Q_OBJECT
public:
    explicit TVfxCustomContainer(int type, QObject* owner = nullptr);
    ~TVfxCustomContainer() override;

    int Type() const { return type_; }
    bool DefaultCompressed() const { return defaultCompressed_; }
    void SetDefaultCompressed(bool value) { defaultCompressed_ = value; }
    // Where empty bitmap items look their bitmap up: 0 nowhere; 1 entry Ident
    // of the bitmap-list file FileName in the DirectoryKind folder; 2 and 3
    // program resources (none here); 4 the bitmap file of the folder, the
    // first three characters of FileName, Ident and ".bmp".
    int StorageMode() const { return storageMode_; }
    void SetStorageMode(int value) { storageMode_ = value; }
    TVfxPathPrefix DirectoryKind() const { return directoryKind_; }
    void SetDirectoryKind(TVfxPathPrefix value) { directoryKind_ = value; }
    const QString& FileName() const { return fileName_; }
    void SetFileName(const QString& value) { fileName_ = value; }

    virtual int Count() const { return static_cast<int>(items_.size()); }
    virtual bool IsEmpty() const { return items_.empty(); }
    // The item, or null for an index out of range.
    virtual TVfxListItem* GetItem(int index) const;

    // Appends an item (a new one of the list's class when none is given),
    // compressed as DefaultCompressed says, and notifies.
    TVfxListItem& AddItem(std::unique_ptr<TVfxListItem> item = nullptr);
    void Clear();

    // Reads a container stream. Everything is read before the items are
    // replaced: a damaged stream raises and leaves the container as it was.
    virtual void ReadContainer(QIODevice& stream, bool withOffsets);
    virtual void WriteContainer(QIODevice& stream, bool withOffsets) const;
    // The container file: signature, then the stream with offsets. A file
    // of another type raises Exception "Cannot open file %s: " + name.
    void LoadFromStream(QIODevice& stream, const QString& name = QString());
    void SaveToStream(QIODevice& stream) const;
    void LoadFromFile(const QString& fileName);
    void SaveToFile(const QString& fileName) const;

    // The same class: the settings and a copy of every item.
    virtual void Assign(const TVfxCustomContainer& source);

    // Raised when an item changes.
    std::function<void(TVfxCustomContainer*, TVfxListItem*)> OnItemChange;

    // A new item of the list's class.
    virtual std::unique_ptr<TVfxListItem> NewItem() = 0;

private:
    std::vector<std::unique_ptr<TVfxListItem>> ReadItems(QIODevice& stream, bool withOffsets);

    int type_;
    bool defaultCompressed_ = false;
    int storageMode_ = 0;
    TVfxPathPrefix directoryKind_ = ppProgram;
    QString fileName_;

protected:
    std::vector<std::unique_ptr<TVfxListItem>> items_;
};

// Containers of images, drawn and queried by list index and image index.
// Queries out of range answer 0, false or white ($FFFFFF).
class TVfxCustomImageList : public TVfxCustomContainer {
    Q_OBJECT
public:
    using TVfxCustomContainer::TVfxCustomContainer;

    TVfxSavePixelFormat DefaultPixelFormat() const { return defaultPixelFormat_; }
    void SetDefaultPixelFormat(TVfxSavePixelFormat value) { defaultPixelFormat_ = value; }

    // The image an entry draws from; null when there is none.
    virtual const QImage* Canvas(int list) = 0;
    virtual plat::TRect ImageRect(int list, int image) = 0;
    // The width (which 0) or height (which 1) of an entry's images.
    virtual int ImageSize(int list, int which) = 0;
    // -1 for a list index out of range.
    virtual int ImageCount(int list) = 0;
    virtual bool ImagePresent(int list, int image) = 0;
    // target becomes a copy of the image.
    virtual bool CopyImage(int list, int image, QImage& target) = 0;
    virtual bool Masked(int list) = 0;
    virtual QVector<QRgb> Palette(int list) = 0;
    virtual plat::TColor TransparentColor(int list, int image) = 0;
    virtual plat::TColor PixelColor(int list, int image, int x, int y) = 0;
    virtual void Draw(QPainter& painter, int x, int y, int list, int image) = 0;
    // Into rect, leaving the image's transparent pixels out.
    virtual void DrawTransparent(QPainter& painter, const plat::TRect& rect, int list, int image,
                                 uint16_t flags) = 0;
    // Into rect with the drawing routines' flags and colour.
    virtual void DrawStyled(QPainter& painter, const plat::TRect& rect, int list, int image,
                            uint16_t flags, plat::TColor color) = 0;

    void Assign(const TVfxCustomContainer& source) override;

private:
    TVfxSavePixelFormat defaultPixelFormat_ = spfDefault;
};

class TVfxBitmapList : public TVfxCustomImageList {
    Q_OBJECT
public:
    explicit TVfxBitmapList(QObject* owner = nullptr);
    TVfxBitmapListItem* Item(int index) const;
    std::unique_ptr<TVfxListItem> NewItem() override;

    const QImage* Canvas(int list) override;
    plat::TRect ImageRect(int list, int image) override;
    int ImageSize(int list, int which) override;
    int ImageCount(int list) override;
    bool ImagePresent(int list, int image) override;
    bool CopyImage(int list, int image, QImage& target) override;
    bool Masked(int) override { return false; }
    QVector<QRgb> Palette(int list) override;
    plat::TColor TransparentColor(int list, int image) override;
    plat::TColor PixelColor(int list, int image, int x, int y) override;
    void Draw(QPainter& painter, int x, int y, int list, int image) override;
    void DrawTransparent(QPainter& painter, const plat::TRect& rect, int list, int image,
                         uint16_t flags) override;
    void DrawStyled(QPainter& painter, const plat::TRect& rect, int list, int image, uint16_t flags,
                    plat::TColor color) override;
};

class TVfxImageList : public TVfxCustomImageList {
    Q_OBJECT
public:
    explicit TVfxImageList(QObject* owner = nullptr);
    TVfxImageListItem* Item(int index) const;
    std::unique_ptr<TVfxListItem> NewItem() override;

    const QImage* Canvas(int list) override;
    plat::TRect ImageRect(int list, int image) override;
    int ImageSize(int list, int which) override;
    int ImageCount(int list) override;
    bool ImagePresent(int list, int image) override;
    bool CopyImage(int list, int image, QImage& target) override;
    bool Masked(int list) override;
    QVector<QRgb> Palette(int list) override;
    plat::TColor TransparentColor(int list, int image) override;
    plat::TColor PixelColor(int list, int image, int x, int y) override;
    void Draw(QPainter& painter, int x, int y, int list, int image) override;
    void DrawTransparent(QPainter& painter, const plat::TRect& rect, int list, int image,
                         uint16_t flags) override;
    void DrawStyled(QPainter& painter, const plat::TRect& rect, int list, int image, uint16_t flags,
                    plat::TColor color) override;
};

class TVfxWaveList : public TVfxCustomContainer {
    Q_OBJECT
public:
    explicit TVfxWaveList(QObject* owner = nullptr);
    TVfxWaveListItem* Item(int index) const;
    std::unique_ptr<TVfxListItem> NewItem() override;
};

class TVfxStringList : public TVfxCustomContainer {
    Q_OBJECT
public:
    explicit TVfxStringList(QObject* owner = nullptr);
    TVfxStringListItem* Item(int index) const;
    std::unique_ptr<TVfxListItem> NewItem() override;
};

// One list of each kind.
class TVfxContainer : public TVfxBaseContainer {
    Q_OBJECT
public:
    explicit TVfxContainer(QObject* owner = nullptr);
    ~TVfxContainer() override;

    TVfxBitmapList& BitmapList() { return *bitmapList_; }
    TVfxImageList& ImageList() { return *imageList_; }
    TVfxWaveList& WaveList() { return *waveList_; }
    TVfxStringList& StringList() { return *stringList_; }

private:
    std::unique_ptr<TVfxBitmapList> bitmapList_;
    std::unique_ptr<TVfxImageList> imageList_;
    std::unique_ptr<TVfxWaveList> waveList_;
    std::unique_ptr<TVfxStringList> stringList_;
};

// A control's link to a kit image list and the entry it draws: the owner
// hears of every change of the list, and the link forgets a list that is
// destroyed.
class TVfxImageListLink {
public:
    explicit TVfxImageListLink(std::function<void()> changed);

    TVfxCustomImageList* ImageList() const { return list_; }
    void SetImageList(TVfxCustomImageList* list);
    int ListIndex() const { return listIndex_; }
    void SetListIndex(int value);

private:
    std::function<void()> changed_;
    QPointer<TVfxCustomImageList> list_;
    TVfxChangeLink link_;
    int listIndex_ = 0;
};

// The process's default container (four empty lists at start).
TVfxContainer& VfxDefaultContainer();
// "VFXBML30" and "VFXIML30" name the default container's bitmap and image
// lists; other names none.
TVfxCustomImageList* ListFromName(const QString& name);
// The name of those two lists; empty for any other.
QString ListName(const TVfxCustomContainer* list);
bool IsDefaultList(const TVfxCustomContainer* list);

// The type of a container file by its signature (ctUnknown when none fits),
// its item count and, when asked, its offset table (known types only).
int ReadContainerIndex(const QString& fileName, uint32_t& count,
                       std::vector<uint32_t>* offsets = nullptr);
int ReadContainerIndex(QIODevice& stream, uint32_t& count, std::vector<uint32_t>* offsets);
// Reads entry index of a container file of the type into item. The offset
// table is read from the file unless given. A file of another type raises
// Exception "Cannot open file %s: " + name; an index or offset outside the
// file the stream read error.
void LoadItemFromFile(const QString& fileName, int type, const std::vector<uint32_t>* offsets,
                      TVfxListItem& item, int index);
void LoadBitmapFromContainerFile(const QString& fileName, int index, QImage& bitmap);

} // namespace fx
