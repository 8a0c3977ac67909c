#include "controls/QvPanel/QvPanel.h"

#include "platform/core/Guarded.h"
#include "platform/gui/AccelText.h"

#include <QEnterEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>

#include <algorithm>

using plat::TColor;
using plat::TRect;

TQvCustomPanel::TQvCustomPanel(QWidget* parent) : QWidget(parent) {
    FramesChanged();
}

TQvCustomPanel::~TQvCustomPanel() {
    ctl::RegisterDockSite(this, false);
}

void TQvCustomPanel::SetAlignmentVertical(TAlignmentVertical value) {
    alignmentVertical_ = value;
    update();
}

void TQvCustomPanel::SetBorderColor(TColor value) {
    borderColor_ = value;
    update();
}

void TQvCustomPanel::SetBorderInner(TFrameStyle value) {
    borderInner_ = value;
    FramesChanged();
}

void TQvCustomPanel::SetBorderOuter(TFrameStyle value) {
    borderOuter_ = value;
    FramesChanged();
}

void TQvCustomPanel::SetBorderSides(TSides value) {
    borderSides_ = value & sdAllSides;
    FramesChanged();
}

void TQvCustomPanel::SetBorderHighlight(TColor value) {
    borderHighlight_ = value;
    update();
}

void TQvCustomPanel::SetBorderShadow(TColor value) {
    borderShadow_ = value;
    update();
}

void TQvCustomPanel::SetFlatColor(TColor value) {
    flatColor_ = value;
    update();
}

void TQvCustomPanel::SetFrameSides(TSides value) {
    frameSides_ = value & sdAllSides;
    FramesChanged();
}

void TQvCustomPanel::SetBorderWidth(int value) {
    borderWidth_ = std::max(value, 0);
    FramesChanged();
}

void TQvCustomPanel::SetBevelWidth(int value) {
    bevelWidth_ = std::max(value, 0);
    FramesChanged();
}

void TQvCustomPanel::SetAlignment(Qt::Alignment value) {
    alignment_ = value & Qt::AlignHorizontal_Mask;
    update();
}

void TQvCustomPanel::SetFullRepaint(bool value) {
    fullRepaint_ = value;
    UpdateStaticContents();
}

void TQvCustomPanel::SetColor(TColor value) {
    color_ = value;
    update();
}

void TQvCustomPanel::SetFontColor(TColor value) {
    fontColor_ = value;
    update();
}

void TQvCustomPanel::SetCaption(const QString& value) {
    caption_ = value;
    UpdateStaticContents();
    update();
}

int TQvCustomPanel::FrameDepth(TSide side) const {
    int depth = (frameSides_ & side) ? 1 : 0;
    if (borderSides_ & side) {
        depth += ctl::FrameStyleWidth(borderOuter_, bevelWidth_) + borderWidth_ +
                 ctl::FrameStyleWidth(borderInner_, bevelWidth_);
    }
    return depth;
}

TRect TQvCustomPanel::ClientRect() const {
    return {FrameDepth(sdLeft), FrameDepth(sdTop), width() - FrameDepth(sdRight),
            height() - FrameDepth(sdBottom)};
}

void TQvCustomPanel::FramesChanged() {
    setContentsMargins(FrameDepth(sdLeft), FrameDepth(sdTop), FrameDepth(sdRight),
                       FrameDepth(sdBottom));
    LayoutDockClients();
    update();
}

void TQvCustomPanel::UpdateStaticContents() {
    // Only the strips a size change uncovers are painted again (resizeEvent).
    setAttribute(Qt::WA_StaticContents, !fullRepaint_ && !caption_.isEmpty());
}

TRect TQvCustomPanel::DrawFrame(QPainter& painter, TRect rect, TFrameStyle style) const {
    switch (style) {
    case fsNone:
        return rect;
    case fsFlat:
        return ctl::DrawBevel(painter, rect, flatColor_, borderSides_, 1, flatColor_);
    case fsPopup:
        return ctl::DrawBevel(painter, rect, borderHighlight_, borderSides_, bevelWidth_,
                              borderShadow_);
    case fsStatus:
        return ctl::DrawBevel(painter, rect, borderShadow_, borderSides_, bevelWidth_,
                              borderHighlight_);
    default:
        return ctl::DrawBorder(painter, rect, style, borderSides_);
    }
}

TRect TQvCustomPanel::PaintPanel(QPainter& painter) {
    TRect rect(0, 0, width(), height());
    rect = ctl::DrawSides(painter, rect, plat::clBlack, frameSides_, plat::clBlack);
    rect = DrawFrame(painter, rect, borderOuter_);
    if (borderWidth_ > 0) {
        rect =
            ctl::DrawBevel(painter, rect, borderColor_, borderSides_, borderWidth_, borderColor_);
    }
    rect = DrawFrame(painter, rect, borderInner_);
    if (!rect.IsEmpty() && color_ != plat::clNone) {
        painter.fillRect(rect.ToQRect(), plat::ToQColor(color_));
    }
    DrawCaption(painter, rect);
    return rect;
}

void TQvCustomPanel::DrawCaption(QPainter& painter, const TRect& rect) {
    if (caption_.isEmpty()) {
        return;
    }
    unsigned format = plat::DT_WORDBREAK | plat::DT_EXPANDTABS | plat::DT_VCENTER;
    if (alignment_ & Qt::AlignRight) {
        format |= plat::DT_RIGHT;
    } else if (alignment_ & Qt::AlignHCenter) {
        format |= plat::DT_CENTER;
    }
    painter.setFont(font());
    TRect area = rect;
    area.Offset(1, 0);
    TRect measured = area;
    plat::DrawText(painter, caption_, measured, format | plat::DT_CALCRECT);
    const int textHeight = measured.Height();
    int top = area.Top;
    switch (alignmentVertical_) {
    case avCenter:
        top = area.Top + (area.Height() - textHeight) / 2;
        break;
    case avBottom:
        top = area.Bottom - textHeight - 1;
        break;
    case avTop:
        break;
    }
    TRect textRect(area.Left, top, area.Right, top + textHeight);
    if (!isEnabled()) {
        TRect shadow = textRect;
        shadow.Offset(1, 1);
        painter.setPen(plat::ToQColor(plat::clBtnHighlight));
        plat::DrawText(painter, caption_, shadow, format);
        painter.setPen(plat::ToQColor(plat::clGrayText));
    } else {
        painter.setPen(plat::ToQColor(fontColor_));
    }
    plat::DrawText(painter, caption_, textRect, format);
}

void TQvCustomPanel::paintEvent(QPaintEvent* /*event*/) {
    plat::Guarded([&] {
        QPainter painter(this);
        PaintPanel(painter);
        PaintDockCaptions(painter);
    });
}

void TQvCustomPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    plat::Guarded([this] { LayoutDockClients(); });
    if (!testAttribute(Qt::WA_StaticContents)) {
        return;
    }
    // The frames on the right and at the bottom moved: repaint those strips
    // at their old and new places.
    const QSize old = event->oldSize();
    const QSize now = event->size();
    if (old.width() != now.width()) {
        const int from = std::max(0, std::min(old.width(), now.width()) - FrameDepth(sdRight));
        update(QRect(from, 0, now.width() - from, now.height()));
    }
    if (old.height() != now.height()) {
        const int from = std::max(0, std::min(old.height(), now.height()) - FrameDepth(sdBottom));
        update(QRect(0, from, now.width(), now.height() - from));
    }
}

void TQvCustomPanel::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        // Children follow the panel both ways, also those disabled on their own.
        const bool enabled = isEnabled();
        for (QObject* child : children()) {
            if (auto* widget = qobject_cast<QWidget*>(child); widget && !widget->isWindow()) {
                widget->setEnabled(enabled);
            }
        }
        update();
    }
}

void TQvCustomPanel::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    plat::Guarded([&] {
        if (OnMouseEnter) {
            OnMouseEnter(this);
        }
    });
}

void TQvCustomPanel::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    plat::Guarded([&] {
        if (OnMouseLeave) {
            OnMouseLeave(this);
        }
    });
}

TQvOpaquePanel::TQvOpaquePanel(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TQvOpaquePanel::SetColor(TColor value) {
    color_ = value;
    update();
}

void TQvOpaquePanel::paintEvent(QPaintEvent* event) {
    plat::Guarded([&] {
        QPainter painter(this);
        painter.fillRect(event->rect(), plat::ToQColor(color_));
    });
}
