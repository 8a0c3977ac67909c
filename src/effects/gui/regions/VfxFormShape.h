#pragma once
// A form given the shape of a region: the form's mask, its background
// painted with a fill or the mask's border bitmap, the region's shadow and
// border on top, and dragging by any free spot of the form.
//
// Frames and captions belong to the window manager here, so the frame and
// caption sizes of the shape arithmetic are 0: the region covers the whole
// form, and hiding the caption makes the form frameless. On X11 the mask
// shapes the window. Elsewhere the window system keeps the window
// rectangular; that is said once per process. On Wayland the mask is not
// set at all (it would only stop input), on the other platforms (offscreen)
// it is kept by the form and clips its painting.

#include "effects/core/VfxObject.h"
#include "effects/gui/bitmaps/VfxContainers.h"
#include "effects/gui/drawing/VfxFillObject.h"
#include "effects/gui/regions/VfxRegion.h"
#include "platform/core/ScopedOverride.h"
#include "platform/gui/Rect.h"

#include <QImage>
#include <QPoint>
#include <QPointer>
#include <QRegion>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

class QMouseEvent;
class QPainter;

namespace fx {

enum TVfxShapeSupport {
    ssShaped,   // the window system shapes the window by its mask
    ssRecorded, // the form keeps the mask, the window stays rectangular
    ssIgnored   // no mask is set; the window stays rectangular
};
// What the running platform does with a top-level form's mask.
TVfxShapeSupport VfxShapeSupport();

// Where the one notice that shaping falls back goes. The process's notice
// reports through qInfo; tests put their own in place.
struct TVfxShapeNotice {
    bool Said = false;
    std::function<void(const QString&)> Report;
};
struct VfxShapeNoticeTag;
using ScopedVfxShapeNotice = plat::ScopedOverride<TVfxShapeNotice*, VfxShapeNoticeTag>;

class TVfxFormShape : public TVfxWndProcComponent {
    Q_OBJECT
public:
    // form owns the component; its events are seen once Loaded is called.
    explicit TVfxFormShape(QWidget* form);
    ~TVfxFormShape() override;

    QWidget* Form() const { return form_; }

    TVfxBorderRegion& Region() { return *region_; }
    const TVfxBorderRegion& Region() const { return *region_; }
    void SetRegion(const TVfxBorderRegion& value) { region_->Assign(value); }
    // Off: the form is frameless. A change shapes the form again.
    bool ShowFormCaption() const { return showFormCaption_; }
    void SetShowFormCaption(bool value);
    // A press on a free spot of the form moves it.
    bool FormDragable() const { return formDragable_; }
    void SetFormDragable(bool value) { formDragable_ = value; }
    // With rsBitmap, the mask's border bitmap is the background.
    bool UseRgnBitmap() const { return useRgnBitmap_; }
    void SetUseRgnBitmap(bool value);
    TVfxFillObject& FillObject() { return *fill_; }
    const TVfxFillObject& FillObject() const { return *fill_; }
    void SetFillObject(const TVfxFillObject& value) { fill_->Assign(value); }
    // The list the sfBitmapList fill takes image (ListIndex, ImageIndex) from.
    TVfxCustomImageList* ImageList() const { return imageList_.ImageList(); }
    void SetImageList(TVfxCustomImageList* value) { imageList_.SetImageList(value); }
    int ListIndex() const { return listIndex_; }
    void SetListIndex(int value) { listIndex_ = value; }
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int value) { imageIndex_ = value; }
    // "Internal": the stored name of a default-container list (else empty).
    QString InternalName() const { return ListName(ImageList()); }
    void ReadInternalName(const QString& name) { SetImageList(ListFromName(name)); }

    // The mask's border bitmap (UseRgnBitmap and rsBitmap), else the fill's
    // buffer (a fill set), else none.
    const QImage* BackgroundBitmap() const;
    bool HasBackground() const { return BackgroundBitmap() != nullptr; }

    // The region the form was last given, in form coordinates.
    const QRegion& WindowRegion() const { return windowRegion_; }
    // The shape rectangle of the last shaping.
    const plat::TRect& ShapeRect() const { return shapeRect_; }

    // Shapes the form: the region of Shape for the form's rectangle grown by
    // a pixel on every side, united with itself moved by the shadow depth
    // when there is a shadow; a minimized form keeps no region. With rsBitmap
    // the form first takes the border bitmap's size plus the shadow depth.
    // Nothing before Loaded, nor while disabled (a form shaped before is
    // given its rectangle and frame back).
    void ApplyShape();
    // Hooks the form and shapes it when enabled.
    void Loaded(QObject* target = nullptr) override;
    // The change notice, then ApplyShape.
    void Change() override;

protected:
    bool WndProc(QObject* target, QEvent* event) override;

private:
    void PaintBackground(QPainter& painter);
    void SetFrameless(bool frameless);
    void Unshape();
    bool StartDrag(QMouseEvent& event);

    QPointer<QWidget> form_;
    std::unique_ptr<TVfxBorderRegion> region_;
    std::unique_ptr<TVfxFillObject> fill_;
    TVfxImageListLink imageList_;
    bool showFormCaption_ = true;
    bool formDragable_ = true;
    bool useRgnBitmap_ = true;
    int listIndex_ = 0;
    int imageIndex_ = 0;
    bool loaded_ = false;
    bool applying_ = false;
    bool shaped_ = false;
    bool madeFrameless_ = false;
    QImage buffer_;
    QRegion windowRegion_;
    plat::TRect shapeRect_;
    // a drag the window system would not take: moved by hand
    bool dragging_ = false;
    QPoint dragStart_;
    QPoint formStart_;
};

} // namespace fx
