#pragma once
// The kit's window-less controls: mouse enter and exit, bounds changes,
// transparency, and the base label with its alignment, auto-size,
// accelerator character, 3D font, bevel and blinking.

#include "effects/gui/bitmaps/VfxBitmapEffectObject.h"
#include "effects/gui/bitmaps/VfxContainers.h"
#include "effects/gui/drawing/VfxBevel.h"
#include "effects/gui/drawing/VfxGraphics.h"
#include "effects/gui/drawing/VfxText3D.h"
#include "platform/gui/Colors.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>

class QPainter;

namespace fx {

// Flags of a bounds change.
constexpr unsigned kVfxBoundsSize = 1;
constexpr unsigned kVfxBoundsPosition = 2;

class TVfxControl : public QWidget {
    Q_OBJECT
public:
    explicit TVfxControl(QWidget* parent = nullptr);

    // Raised when the mouse enters or leaves an enabled control.
    std::function<void(TVfxControl*)> OnMouseEnter;
    std::function<void(TVfxControl*)> OnMouseExit;
    // Raised by BoundsChanged with its flags.
    std::function<void(TVfxControl*, unsigned flags)> OnBoundsChanged;

    bool MouseInControl() const { return mouseInside_; }

    // Moves and sizes the control; when the position (kVfxBoundsPosition)
    // or the size (kVfxBoundsSize) changed, BoundsChanged reports which.
    void SetBounds(int left, int top, int width, int height);

protected:
    virtual void ThemeChanged() {}
    virtual void BoundsChanged(unsigned flags);
    virtual void MouseEnter();
    virtual void MouseExit();

    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    bool mouseInside_ = false;
};

// Repaints when its settings objects change.
class TVfxBaseControl : public TVfxControl {
    Q_OBJECT
public:
    explicit TVfxBaseControl(QWidget* parent = nullptr);

    // True for controls that hold other controls (none here).
    virtual bool IsContainer() const { return false; }

    // The kit image list the control draws from; its changes repaint.
    TVfxImageListLink& ImageList() { return imageList_; }
    // The effects the control's bitmaps are drawn through; its changes repaint.
    TVfxBitmapEffectObject& BitmapEffect() { return bitmapEffect_; }
    void SetBitmapEffect(const TVfxBitmapEffectObject& value) { bitmapEffect_.Assign(value); }

protected:
    // Where owned settings objects report their changes: repaints.
    virtual void ObjectChanged() { update(); }

private:
    TVfxImageListLink imageList_;
    TVfxBitmapEffectObject bitmapEffect_;
};

// A control drawn on its parent: transparent (the parent shows through)
// unless told otherwise, then filled with Color. Created 30 x 30.
class TVfxBaseGraphicControl : public TVfxBaseControl {
    Q_OBJECT
public:
    explicit TVfxBaseGraphicControl(QWidget* parent = nullptr);

    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);
    plat::TColor Color() const { return color_; }
    void SetColor(plat::TColor value);

private:
    bool transparent_ = true;
    plat::TColor color_ = plat::clBtnFace;
};

// A label: its text (GetLabelText, the caption by default) drawn with the 3D
// font inside the bevel, placed by Alignment.
class TVfxBaseLabel : public TVfxBaseGraphicControl {
    Q_OBJECT
public:
    static constexpr uint16_t kBlinkInterval = 700;

    explicit TVfxBaseLabel(QWidget* parent = nullptr);
    ~TVfxBaseLabel() override;

    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& value);
    // The bounds follow the text's extent.
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);
    // "&" marks the accelerator (else it is an ordinary character).
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool value);
    TVfxAlignment Alignment() const { return alignment_; }
    void SetAlignment(TVfxAlignment value);
    plat::TColor FontColor() const { return fontColor_; }
    void SetFontColor(plat::TColor value);
    // The control that takes the focus when the accelerator is pressed.
    QWidget* FocusControl() const { return focusControl_; }
    void SetFocusControl(QWidget* value);

    TVfx3DCaption& Font3D() { return *font3D_; }
    const TVfx3DCaption& Font3D() const { return *font3D_; }
    TVfxBevel& Bevel() { return *bevel_; }
    const TVfxBevel& Bevel() const { return *bevel_; }

    // Blinking: the label shows and hides in turns, each phase lasting its
    // interval, on an application timer. Switching it off shows the label.
    bool Blinking() const { return blinkTimer_ != 0; }
    void SetBlinking(bool value);
    uint16_t BlinkIntervalVisible() const { return blinkIntervals_[1]; }
    uint16_t BlinkIntervalHidden() const { return blinkIntervals_[0]; }
    void SetBlinkIntervals(uint16_t visible, uint16_t hidden);
    bool VisiblePhase() const { return visiblePhase_; }

    // The accelerator key was pressed: gives the focus control the focus and
    // answers true when the label shows accelerators, is enabled, the key is
    // its caption's accelerator (letter case ignored) and the focus control
    // can take the focus. Keys reach it as the platform's dialog-character
    // message (plat::kDialogCharMessage), which the key router sends.
    bool DialogChar(QChar key);

    // The text drawn.
    virtual QString GetLabelText() const { return caption_; }

protected:
    virtual void FontChanged();
    // With AutoSize: the size of the text measured as it is drawn.
    virtual void AdjustBounds();
    // The format flags the text is drawn and measured with.
    virtual unsigned TextFormat() const;
    // Asks for a repaint.
    virtual void Invalidate() { update(); }
    void ObjectChanged() override;

    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

    void DrawLabel(QPainter& painter);

private:
    void BlinkTick();

    QString caption_;
    bool autoSize_ = true;
    bool wordWrap_ = false;
    bool showAccelChar_ = true;
    TVfxAlignment alignment_ = agTopLeft;
    plat::TColor fontColor_ = plat::clWindowText;
    QPointer<QWidget> focusControl_;
    std::unique_ptr<TVfx3DCaption> font3D_;
    std::unique_ptr<TVfxBevel> bevel_;
    uint16_t blinkTimer_ = 0;
    uint16_t blinkIntervals_[2] = {kBlinkInterval, kBlinkInterval}; // hidden, visible
    bool visiblePhase_ = true;
};

} // namespace fx
