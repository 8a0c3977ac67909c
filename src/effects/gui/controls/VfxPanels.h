#pragma once
// The kit's windowed controls: a focusable base that can show an ancestor's
// background bitmap behind itself and draw a flat border, the panel, the
// bevelled panel and the status bar.

#include "effects/core/VfxObject.h"
#include "effects/gui/bitmaps/VfxBitmapEffectObject.h"
#include "effects/gui/bitmaps/VfxContainers.h"
#include "effects/gui/drawing/VfxBevel.h"
#include "platform/gui/Colors.h"
#include "platform/gui/Rect.h"

#include <QImage>
#include <QPoint>
#include <QWidget>

#include <functional>
#include <memory>

class QPainter;

namespace fx {

class TVfxCustomControl : public QWidget {
    Q_OBJECT
public:
    // 0 follows the application object's themes flag; 2 never themed.
    enum TThemeMode { tmFollow = 0, tmNever = 2 };

    explicit TVfxCustomControl(QWidget* parent = nullptr);

    std::function<void(TVfxCustomControl*)> OnMouseEnter;
    std::function<void(TVfxCustomControl*)> OnMouseExit;
    // Raised once the control is set up (Loaded).
    std::function<void(TVfxCustomControl*)> OnChange;

    // With the flag set the control shows what lies behind it: in mode 0 an
    // ancestor's background source, or else its parent's background; in
    // mode 1 (a see-through window) whatever is painted behind it.
    bool TransparentFlag() const { return transparent_; }
    void SetTransparentFlag(bool value);
    int TransparentMode() const { return transparentMode_; }
    void SetTransparentMode(int value);
    int ThemeMode() const { return themeMode_; }
    void SetThemeMode(int value);
    plat::TColor Color() const { return color_; }
    void SetColor(plat::TColor value);
    // The classic three-dimensional look of the frames (on by default).
    bool Ctl3D() const { return ctl3D_; }
    void SetCtl3D(bool value);

    // The kit image list the control draws from; its changes repaint.
    TVfxImageListLink& ImageList() { return imageList_; }
    // The effects the control's bitmaps are drawn through; its changes repaint.
    TVfxBitmapEffectObject& BitmapEffect() { return bitmapEffect_; }
    const TVfxBitmapEffectObject& BitmapEffect() const { return bitmapEffect_; }
    void SetBitmapEffect(const TVfxBitmapEffectObject& value) { bitmapEffect_.Assign(value); }
    // Draws the background source without the effects (off as created).
    bool SkipEffects() const { return skipEffects_; }
    void SetSkipEffects(bool value);

    bool MouseInside() const { return mouseInside_; }
    // The control holds the focus through its own enter handling.
    bool Entered() const { return entered_; }
    // A flat border: a plain frame that turns three-dimensional while the
    // control is active. Nothing in the base switches it on.
    bool FlatBorder() const { return flatBorder_; }
    void SetFlatBorder(bool value);

    // Drawn themed: only with a theme library, themes active and the theme
    // mode following them.
    bool DrawnThemed() const;

    // Called when the control is set up: raises OnChange.
    virtual void Loaded();

    // What a transparent control shows: an ancestor's background bitmap,
    // where the control's origin lies in it, and the painting of a part of
    // it. The base has none.
    virtual const QImage* BackgroundSourceBitmap() const { return nullptr; }
    virtual bool HasBackgroundSource() const { return false; }
    virtual bool PaintBackgroundPart(QPainter&, const plat::TRect&, QPoint, unsigned) const {
        return false;
    }
    virtual QPoint BackgroundSourceOffset(QPoint point) const { return point; }

    // True when the control reports itself transparent (the flag set).
    virtual bool IsTransparent() const { return transparent_; }
    virtual bool IsReadOnly() const { return false; }

protected:
    // The control paints every pixel of itself (panels): nothing behind it is
    // painted first, except while it is a see-through window.
    void SetOpaque(bool value);
    // The parent's background behind the control: a kit parent's own
    // background painting, else the brush the parent fills with.
    void PaintParentBackground(QPainter& painter);

    virtual void MouseEnter();
    virtual void MouseExit();
    // The content, drawn after the background (nothing in the base).
    virtual void PaintContent(QPainter&) {}
    virtual void PaintBackground(QPainter& painter);
    // A part of the control filled with the background source, else Color.
    void FillRectBackground(QPainter& painter, const plat::TRect& rect) const;
    // The effect object as painting uses it: drawing keeps its result.
    TVfxBitmapEffectObject& EffectForDrawing() const { return bitmapEffect_; }
    // The frames of the flat border; the active one shows while this is true.
    virtual bool ActiveFrameShown() const { return entered_; }
    virtual void DrawActiveFrame(QPainter& painter);
    virtual void DrawNormalFrame(QPainter& painter);

    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool SeeThroughWindow() const { return transparent_ && transparentMode_ == 1; }
    void UpdateOpaquePaint();

    bool transparent_ = false;
    int transparentMode_ = 0;
    bool opaque_ = false;
    int themeMode_ = tmFollow;
    plat::TColor color_ = plat::clBtnFace;
    bool ctl3D_ = true;
    bool mouseInside_ = false;
    bool entered_ = false;
    bool flatBorder_ = false;
    bool skipEffects_ = false;
    TVfxImageListLink imageList_;
    mutable TVfxBitmapEffectObject bitmapEffect_;
};

class TVfxFormShape;

// A panel: holds child controls, filled with the button face. A transparent
// panel shows the part of a background behind it: its kit control parent's
// background source, or on a form the background of the form's shape.
class TVfxCustomPanel : public TVfxCustomControl {
    Q_OBJECT
public:
    explicit TVfxCustomPanel(QWidget* parent = nullptr);

    // With the transparency flag set: under a kit control parent when that
    // has a background source; on a form holding a form shape when the
    // shape has a background.
    bool HasBackgroundSource() const override;
    // The parent's background source, or the form shape's background. While
    // an effect is set, a 24-bit copy of it.
    const QImage* BackgroundSourceBitmap() const override;
    QPoint BackgroundSourceOffset(QPoint point) const override;
    // Puts the part of the background behind rect (moved by point) onto
    // rect: copied, or with an effect set through the effect object, from its
    // kept result or a 24-bit bitmap of the panel's part of the background
    // (plus 2 each way) drawn through it. False without a background source.
    bool PaintBackgroundPart(QPainter& painter, const plat::TRect& rect, QPoint point,
                             unsigned flags) const override;

protected:
    // The panel's origin in its parent's background, frame included.
    QPoint SourceOrigin() const;
    // The kept effect result is stale at the new size.
    void resizeEvent(QResizeEvent* event) override;

private:
    // The form's shape when the panel stands on a form: the first one among
    // the form's components.
    const TVfxFormShape* FormShape() const;

    mutable QImage source24_; // the background as 24 bits, while an effect is set
    mutable qint64 source24Key_ = 0;
};

// A panel inside a bevel; aligned children stay inside the bevel.
class TVfxCustomBevelPanel : public TVfxCustomPanel {
    Q_OBJECT
public:
    explicit TVfxCustomBevelPanel(QWidget* parent = nullptr);

    TVfxBevel& Bevel() { return *bevel_; }
    const TVfxBevel& Bevel() const { return *bevel_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool ActiveFrameShown() const override;
    void DrawActiveFrame(QPainter& painter) override;
    void DrawNormalFrame(QPainter& painter) override;

private:
    void BevelChanged();

    std::unique_ptr<TVfxBevel> bevel_;
};

// A bevelled panel that labels can stand on.
class TVfxCustomStatusBar : public TVfxCustomBevelPanel {
    Q_OBJECT
public:
    using TVfxCustomBevelPanel::TVfxCustomBevelPanel;

    // How far labels on the bar move their text down.
    virtual int ExtraTextOffset() const { return 0; }
};

} // namespace fx
