#include "effects/gui/controls/VfxPanels.h"

#include "effects/core/VfxThemes.h"
#include "effects/gui/application/VfxApplication.h"
#include "effects/gui/regions/VfxFormShape.h"
#include "platform/core/Guarded.h"
#include "platform/gui/Edges.h"

#include <QEnterEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

namespace fx {

using plat::TRect;

TVfxCustomControl::TVfxCustomControl(QWidget* parent)
    : QWidget(parent), imageList_([this] { update(); }), bitmapEffect_(this) {
    bitmapEffect_.OnChange = [this](TVfxObject*) { update(); };
    resize(100, 40);
    setFocusPolicy(Qt::ClickFocus);
}

void TVfxCustomControl::SetSkipEffects(bool value) {
    if (skipEffects_ != value) {
        skipEffects_ = value;
        update();
    }
}

void TVfxCustomControl::SetTransparentFlag(bool value) {
    if (transparent_ != value) {
        transparent_ = value;
        UpdateOpaquePaint();
        update();
    }
}

void TVfxCustomControl::SetTransparentMode(int value) {
    if (transparentMode_ != value) {
        transparentMode_ = value;
        UpdateOpaquePaint();
        update();
    }
}

void TVfxCustomControl::SetOpaque(bool value) {
    opaque_ = value;
    UpdateOpaquePaint();
}

void TVfxCustomControl::UpdateOpaquePaint() {
    setAttribute(Qt::WA_OpaquePaintEvent, opaque_ && !SeeThroughWindow());
}

void TVfxCustomControl::SetThemeMode(int value) {
    if (themeMode_ != value) {
        themeMode_ = value;
        update();
    }
}

void TVfxCustomControl::SetColor(plat::TColor value) {
    if (color_ != value) {
        color_ = value;
        update();
    }
}

void TVfxCustomControl::SetCtl3D(bool value) {
    if (ctl3D_ != value) {
        ctl3D_ = value;
        update();
    }
}

void TVfxCustomControl::SetFlatBorder(bool value) {
    if (flatBorder_ != value) {
        flatBorder_ = value;
        update();
    }
}

bool TVfxCustomControl::DrawnThemed() const {
    return VfxThemeLibrary().Loaded() && themeMode_ == tmFollow && VfxApplication().ThemesActive();
}

void TVfxCustomControl::Loaded() {
    if (OnChange) {
        OnChange(this);
    }
}

void TVfxCustomControl::MouseEnter() {
    if (OnMouseEnter) {
        OnMouseEnter(this);
    }
    mouseInside_ = true;
}

void TVfxCustomControl::MouseExit() {
    mouseInside_ = false;
    update(); // back to the normal frame unless entered
    if (OnMouseExit) {
        OnMouseExit(this);
    }
}

void TVfxCustomControl::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    plat::Guarded([&] { MouseEnter(); });
}

void TVfxCustomControl::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    plat::Guarded([&] { MouseExit(); });
}

void TVfxCustomControl::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    entered_ = true;
    update();
}

void TVfxCustomControl::focusOutEvent(QFocusEvent* event) {
    entered_ = false;
    update();
    QWidget::focusOutEvent(event);
}

void TVfxCustomControl::FillRectBackground(QPainter& painter, const TRect& rect) const {
    if (IsTransparent() && PaintBackgroundPart(painter, rect, QPoint(0, 0), 0)) {
        return;
    }
    painter.fillRect(rect.ToQRect(), plat::ToQColor(color_));
}

void TVfxCustomControl::PaintBackground(QPainter& painter) {
    if (SeeThroughWindow()) {
        return; // what lies behind is painted before the control
    }
    // A transparent control shows the part of an ancestor's background
    // bitmap behind it, or without one its parent's background.
    if (IsTransparent()) {
        if (!PaintBackgroundPart(painter, TRect(rect()), QPoint(0, 0), 0)) {
            PaintParentBackground(painter);
        }
        return;
    }
    painter.fillRect(rect(), plat::ToQColor(color_));
}

void TVfxCustomControl::PaintParentBackground(QPainter& painter) {
    QWidget* parent = parentWidget();
    if (auto* kitParent = qobject_cast<TVfxCustomControl*>(parent)) {
        painter.save();
        painter.translate(-pos());
        painter.setClipRect(geometry(), Qt::IntersectClip);
        kitParent->PaintBackground(painter);
        painter.restore();
        return;
    }
    if (parent == nullptr) {
        painter.fillRect(rect(), plat::ToQColor(color_)); // a window of its own
        return;
    }
    painter.save();
    painter.setBrushOrigin(-pos());
    painter.fillRect(rect(), parent->palette().brush(parent->backgroundRole()));
    painter.restore();
}

namespace {

void DrawThemeBorder(const QWidget& widget, QPainter& painter, bool mouseInside, bool readOnly) {
    QStyleOptionFrame option;
    option.initFrom(&widget);
    option.lineWidth = 1;
    if (widget.hasFocus()) {
        option.state |= QStyle::State_HasFocus;
    }
    if (mouseInside) {
        option.state |= QStyle::State_MouseOver;
    }
    if (readOnly) {
        option.state |= QStyle::State_ReadOnly;
    }
    widget.style()->drawPrimitive(QStyle::PE_FrameLineEdit, &option, &painter, &widget);
}

} // namespace

void TVfxCustomControl::DrawActiveFrame(QPainter& painter) {
    if (DrawnThemed()) {
        DrawThemeBorder(*this, painter, mouseInside_, IsReadOnly());
        return;
    }
    const int w = width();
    const int h = height();
    if (ctl3D_) {
        plat::FrameRect(painter, TRect(1, 1, w, h), plat::clWindowFrame);
        plat::FrameRect(painter, TRect(0, 0, w - 1, h - 1), plat::clBtnFace);
        TRect r(0, 0, w, h);
        plat::DrawEdge(painter, r, plat::BDR_SUNKENOUTER, plat::BF_ADJUST | plat::BF_RECT);
    } else {
        plat::FrameRect(painter, TRect(0, 0, w, h), plat::clWindowFrame);
    }
}

void TVfxCustomControl::DrawNormalFrame(QPainter& painter) {
    if (DrawnThemed()) {
        DrawThemeBorder(*this, painter, mouseInside_, IsReadOnly());
        return;
    }
    TRect r(rect());
    plat::FrameRect(painter, r, plat::clBtnFace);
    if (ctl3D_) {
        r.Inflate(-1, -1);
        plat::FrameRect(painter, r, plat::clBtnFace);
    }
}

void TVfxCustomControl::paintEvent(QPaintEvent*) {
    plat::Guarded([&] {
        QPainter painter(this);
        PaintBackground(painter);
        PaintContent(painter);
        if (flatBorder_) {
            if (ActiveFrameShown()) {
                DrawActiveFrame(painter);
            } else if (!hasFocus() && !mouseInside_) {
                DrawNormalFrame(painter);
            }
        }
    });
}

TVfxCustomPanel::TVfxCustomPanel(QWidget* parent) : TVfxCustomControl(parent) {
    SetColor(plat::clBtnFace);
    SetOpaque(true);
}

const TVfxFormShape* TVfxCustomPanel::FormShape() const {
    const QWidget* form = parentWidget();
    if (form == nullptr || !form->isWindow()) {
        return nullptr;
    }
    return form->findChild<const TVfxFormShape*>(QString(), Qt::FindDirectChildrenOnly);
}

bool TVfxCustomPanel::HasBackgroundSource() const {
    if (const auto* kitParent = qobject_cast<const TVfxCustomControl*>(parentWidget())) {
        return TransparentFlag() && kitParent->HasBackgroundSource();
    }
    const TVfxFormShape* shape = FormShape();
    return shape != nullptr && TransparentFlag() && shape->HasBackground();
}

const QImage* TVfxCustomPanel::BackgroundSourceBitmap() const {
    if (!HasBackgroundSource()) {
        return nullptr;
    }
    const auto* kitParent = qobject_cast<const TVfxCustomControl*>(parentWidget());
    const QImage* source = kitParent != nullptr ? kitParent->BackgroundSourceBitmap()
                                                : FormShape()->BackgroundBitmap();
    if (source == nullptr || !BitmapEffect().Active()) {
        return source;
    }
    // The effect path works on 24 bits; the source itself stays as it is.
    if (source->format() == QImage::Format_BGR888) {
        return source;
    }
    if (source24_.isNull() || source24Key_ != source->cacheKey()) {
        source24_ = source->convertToFormat(QImage::Format_BGR888);
        source24Key_ = source->cacheKey();
    }
    return &source24_;
}

QPoint TVfxCustomPanel::BackgroundSourceOffset(QPoint point) const {
    if (!HasBackgroundSource()) {
        return TVfxCustomControl::BackgroundSourceOffset(point);
    }
    return SourceOrigin() + point;
}

// The frame is painted inside the control here: the client area is the whole
// control, so nothing is added for a frame.
QPoint TVfxCustomPanel::SourceOrigin() const {
    const auto* kitParent = qobject_cast<const TVfxCustomControl*>(parentWidget());
    return kitParent != nullptr ? kitParent->BackgroundSourceOffset(pos()) : pos();
}

bool TVfxCustomPanel::PaintBackgroundPart(QPainter& painter, const TRect& rect, QPoint point,
                                          unsigned) const {
    const QImage* background = BackgroundSourceBitmap();
    if (background == nullptr || background->isNull()) {
        return false;
    }
    const QPoint origin = SourceOrigin();
    const TRect area(origin.x(), origin.y(), origin.x() + width(), origin.y() + height());
    const TVfxBitmapEffectObject& effect = BitmapEffect();
    if (!effect.Active() || SkipEffects()) {
        TRect part = rect;
        part.Offset(area.Left + point.x(), area.Top + point.y());
        painter.drawImage(rect.ToQRect(), *background, part.ToQRect());
        return true;
    }
    // Within the panel's own part of the background, drawn through the
    // effects (or taken from what the effect object kept of the last time).
    TRect part = rect;
    part.Offset(point.x(), point.y());
    if (const QImage* kept = effect.CachedResult()) {
        painter.drawImage(rect.ToQRect(), *kept, part.ToQRect());
        return true;
    }
    QImage drawn(area.Width() + 2, area.Height() + 2, QImage::Format_BGR888);
    drawn.fill(Qt::white);
    EffectForDrawing().Draw(*background, TVfxRect{area.Left, area.Top, area.Right, area.Bottom},
                            TVfxRect{0, 0, area.Width(), area.Height()}, drawn);
    painter.drawImage(rect.ToQRect(), drawn, part.ToQRect());
    return true;
}

void TVfxCustomPanel::resizeEvent(QResizeEvent* event) {
    TVfxCustomControl::resizeEvent(event);
    BitmapEffect().MarkBufferStale();
}

TVfxCustomBevelPanel::TVfxCustomBevelPanel(QWidget* parent)
    : TVfxCustomPanel(parent), bevel_(std::make_unique<TVfxBevel>(this)) {
    bevel_->SetThemed(DrawnThemed());
    bevel_->OnChange = [this](TVfxObject*) { plat::Guarded([&] { BevelChanged(); }); };
    BevelChanged();
}

void TVfxCustomBevelPanel::BevelChanged() {
    // Children laid out by the panel stay inside the bevel.
    const TRect outer(0, 0, 1000, 1000);
    const TRect inner = bevel_->InnerRect(outer);
    setContentsMargins(inner.Left, inner.Top, outer.Right - inner.Right,
                       outer.Bottom - inner.Bottom);
    update();
}

void TVfxCustomBevelPanel::paintEvent(QPaintEvent*) {
    plat::Guarded([&] {
        QPainter painter(this);
        PaintBackground(painter);
        if (!(FlatBorder() && !ActiveFrameShown())) {
            bevel_->DrawBevel(painter, TRect(rect()), false);
        }
        PaintContent(painter);
        if (FlatBorder()) {
            if (ActiveFrameShown()) {
                DrawActiveFrame(painter);
            } else if (!hasFocus() && !MouseInside()) {
                DrawNormalFrame(painter);
            }
        }
    });
}

bool TVfxCustomBevelPanel::ActiveFrameShown() const {
    return Entered() || MouseInside();
}

void TVfxCustomBevelPanel::DrawActiveFrame(QPainter& painter) {
    if (bevel_->Mode() == bmWindows) {
        TVfxCustomPanel::DrawActiveFrame(painter);
        return;
    }
    bevel_->DrawBevel(painter, TRect(rect()), true);
}

void TVfxCustomBevelPanel::DrawNormalFrame(QPainter& painter) {
    if (bevel_->Mode() == bmWindows) {
        TVfxCustomPanel::DrawNormalFrame(painter);
        return;
    }
    const int e = bevel_->BorderExtent();
    const int e2 = bevel_->SecondExtent();
    const int w = width();
    const int h = height();
    FillRectBackground(painter, TRect(0, 0, w, e));
    FillRectBackground(painter, TRect(0, e, e, h));
    FillRectBackground(painter, TRect(e, h - e2 - 1, w, h));
    FillRectBackground(painter, TRect(w - e2, e, w, h - e2));
}

} // namespace fx
