#include "effects/gui/controls/VfxControls.h"

#include "effects/gui/application/VfxApplication.h"
#include "effects/gui/controls/VfxPanels.h"
#include "platform/core/Guarded.h"
#include "platform/gui/AccelText.h"
#include "platform/gui/KitMessage.h"

#include <QEnterEvent>
#include <QPainter>

namespace fx {

using plat::TRect;

TVfxControl::TVfxControl(QWidget* parent) : QWidget(parent) {}

void TVfxControl::SetBounds(int left, int top, int width, int height) {
    const QRect before = geometry();
    setGeometry(left, top, width, height);
    const QRect after = geometry();
    unsigned flags = 0;
    if (after.topLeft() != before.topLeft()) {
        flags |= kVfxBoundsPosition;
    }
    if (after.size() != before.size()) {
        flags |= kVfxBoundsSize;
    }
    if (flags != 0) {
        BoundsChanged(flags);
    }
}

void TVfxControl::BoundsChanged(unsigned flags) {
    if (OnBoundsChanged) {
        OnBoundsChanged(this, flags);
    }
}

void TVfxControl::MouseEnter() {
    if (isEnabled() && OnMouseEnter) {
        OnMouseEnter(this);
    }
}

void TVfxControl::MouseExit() {
    if (isEnabled() && OnMouseExit) {
        OnMouseExit(this);
    }
}

void TVfxControl::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    mouseInside_ = true;
    plat::Guarded([&] { MouseEnter(); });
}

void TVfxControl::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    mouseInside_ = false;
    plat::Guarded([&] { MouseExit(); });
}

void TVfxControl::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ThemeChange || event->type() == QEvent::StyleChange) {
        plat::Guarded([&] { ThemeChanged(); });
    }
}

TVfxBaseControl::TVfxBaseControl(QWidget* parent)
    : TVfxControl(parent), imageList_([this] { plat::Guarded([&] { ObjectChanged(); }); }),
      bitmapEffect_(this) {
    bitmapEffect_.OnChange = [this](TVfxObject*) { plat::Guarded([&] { ObjectChanged(); }); };
}

TVfxBaseGraphicControl::TVfxBaseGraphicControl(QWidget* parent) : TVfxBaseControl(parent) {
    resize(30, 30);
}

void TVfxBaseGraphicControl::SetTransparent(bool value) {
    if (transparent_ != value) {
        transparent_ = value;
        update();
    }
}

void TVfxBaseGraphicControl::SetColor(plat::TColor value) {
    if (color_ != value) {
        color_ = value;
        update();
    }
}

TVfxBaseLabel::TVfxBaseLabel(QWidget* parent)
    : TVfxBaseGraphicControl(parent), font3D_(std::make_unique<TVfx3DCaption>(this)),
      bevel_(std::make_unique<TVfxBevel>(this)) {
    font3D_->OnChange = [this](TVfxObject*) { plat::Guarded([&] { ObjectChanged(); }); };
    bevel_->OnChange = [this](TVfxObject*) { plat::Guarded([&] { ObjectChanged(); }); };
}

TVfxBaseLabel::~TVfxBaseLabel() {
    if (blinkTimer_ != 0) {
        VfxApplication().RemoveTimer(blinkTimer_);
    }
}

void TVfxBaseLabel::SetCaption(const QString& value) {
    if (caption_ == value) {
        return;
    }
    caption_ = value;
    AdjustBounds();
    Invalidate();
}

void TVfxBaseLabel::SetAutoSize(bool value) {
    if (autoSize_ != value) {
        autoSize_ = value;
        AdjustBounds();
    }
}

void TVfxBaseLabel::SetWordWrap(bool value) {
    if (wordWrap_ != value) {
        wordWrap_ = value;
        AdjustBounds();
        Invalidate();
    }
}

void TVfxBaseLabel::SetShowAccelChar(bool value) {
    if (showAccelChar_ != value) {
        showAccelChar_ = value;
        AdjustBounds();
        Invalidate();
    }
}

void TVfxBaseLabel::SetAlignment(TVfxAlignment value) {
    if (alignment_ != value) {
        alignment_ = value;
        Invalidate();
    }
}

void TVfxBaseLabel::SetFontColor(plat::TColor value) {
    if (fontColor_ != value) {
        fontColor_ = value;
        Invalidate();
    }
}

void TVfxBaseLabel::SetFocusControl(QWidget* value) {
    focusControl_ = value;
}

void TVfxBaseLabel::SetBlinking(bool value) {
    TVfxApplication& app = VfxApplication();
    if (value == Blinking()) {
        return;
    }
    if (value) {
        blinkTimer_ = app.AddTimer(blinkIntervals_[0],
                                   [this](void*) { plat::Guarded([&] { BlinkTick(); }); });
        if (blinkTimer_ == 0) {
            throw EOutOfResources(QStringLiteral("Not enough timers available"));
        }
        return;
    }
    app.RemoveTimer(blinkTimer_);
    blinkTimer_ = 0;
    visiblePhase_ = true;
    Invalidate();
}

void TVfxBaseLabel::SetBlinkIntervals(uint16_t visible, uint16_t hidden) {
    blinkIntervals_[1] = visible;
    blinkIntervals_[0] = hidden;
}

void TVfxBaseLabel::BlinkTick() {
    visiblePhase_ = !visiblePhase_;
    VfxApplication().SetInterval(blinkTimer_, blinkIntervals_[visiblePhase_ ? 1 : 0]);
    Invalidate();
}

bool TVfxBaseLabel::DialogChar(QChar key) {
    const QChar accel = plat::AcceleratorCharOf(caption_);
    if (!showAccelChar_ || focusControl_.isNull() || !isEnabled() || accel.isNull() ||
        accel.toUpper() != key.toUpper()) {
        return false;
    }
    if (!focusControl_->isEnabled() || focusControl_->focusPolicy() == Qt::NoFocus) {
        return false;
    }
    focusControl_->setFocus(Qt::ShortcutFocusReason);
    return true;
}

bool TVfxBaseLabel::event(QEvent* event) {
    // The accelerator comes from the window's key router as a dialog character.
    if (plat::KitMessageEvent* message = plat::KitMessageEvent::From(event);
        message != nullptr && message->Msg() == plat::kDialogCharMessage) {
        plat::Guarded(
            [&] { message->Result = DialogChar(QChar(char16_t(message->WParam))) ? 1 : 0; });
        return true;
    }
    return TVfxBaseGraphicControl::event(event);
}

void TVfxBaseLabel::changeEvent(QEvent* event) {
    TVfxBaseGraphicControl::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        plat::Guarded([&] { FontChanged(); });
    } else if (event->type() == QEvent::EnabledChange) {
        Invalidate();
    }
}

void TVfxBaseLabel::FontChanged() {
    AdjustBounds();
    Invalidate();
}

void TVfxBaseLabel::ObjectChanged() {
    AdjustBounds();
    Invalidate();
}

unsigned TVfxBaseLabel::TextFormat() const {
    return plat::DT_EXPANDTABS | (wordWrap_ ? plat::DT_WORDBREAK : 0u);
}

void TVfxBaseLabel::AdjustBounds() {
    if (!autoSize_) {
        return;
    }
    TRect r(0, 0, wordWrap_ ? width() : 0, 0);
    VfxMeasureCaption(GetLabelText(), font3D_.get(), r, TextFormat(), bevel_->BorderExtent(),
                      showAccelChar_, wordWrap_, font());
    resize(r.Width(), r.Height());
}

void TVfxBaseLabel::DrawLabel(QPainter& painter) {
    const TRect client(rect());
    if (!Transparent()) {
        painter.fillRect(rect(), plat::ToQColor(Color()));
    }
    const TRect inner = bevel_->DrawBevel(painter, client, Transparent());
    if (!visiblePhase_) {
        return;
    }
    const QString text = GetLabelText();
    const unsigned format = TextFormat() | (showAccelChar_ ? 0u : plat::DT_NOPREFIX);
    TRect box = VfxAlignedTextRect(alignment_, text, font3D_.get(), format, showAccelChar_,
                                   wordWrap_, font(), inner);
    if (auto* bar = qobject_cast<const TVfxCustomStatusBar*>(parentWidget())) {
        box.Offset(0, bar->ExtraTextOffset());
    }
    // The measured box holds a one-pixel margin around the text.
    box.Offset(1, 1);
    painter.setFont(font());
    TVfxTextLook look;
    look.FontColor = fontColor_;
    look.BackColor = Color();
    look.Enabled = isEnabled();
    VfxDraw3DText(painter, text, box, format, font3D_.get(), look);
}

void TVfxBaseLabel::paintEvent(QPaintEvent*) {
    plat::Guarded([&] {
        QPainter painter(this);
        DrawLabel(painter);
    });
}

} // namespace fx
