#pragma once
// Panels: the framed panel that the splitter and the main window's panels are
// made of, and the opaque panel.

#include "controls/FrameDrawing.h"

#include <QWidget>

#include <functional>

enum TAlignmentVertical { avTop, avCenter, avBottom };

// A panel that draws configurable frames on chosen sides (one-pixel lines,
// outer frame, a band, inner frame), then its background and its caption.
// Children are laid out inside the frames: the contents margins follow the
// frame depth on each side.
class TQvCustomPanel : public QWidget {
    Q_OBJECT
public:
    explicit TQvCustomPanel(QWidget* parent = nullptr);
    ~TQvCustomPanel() override;

    TFrameStyle BorderOuter() const { return borderOuter_; }
    TFrameStyle BorderInner() const { return borderInner_; }
    TSides BorderSides() const { return borderSides_; }
    int BorderWidth() const { return borderWidth_; }
    plat::TColor BorderColor() const { return borderColor_; }
    plat::TColor BorderHighlight() const { return borderHighlight_; }
    plat::TColor BorderShadow() const { return borderShadow_; }
    plat::TColor FlatColor() const { return flatColor_; }
    int BevelWidth() const { return bevelWidth_; }
    TSides FrameSides() const { return frameSides_; }
    // Qt::AlignLeft, Qt::AlignRight or Qt::AlignHCenter.
    Qt::Alignment Alignment() const { return alignment_; }
    TAlignmentVertical AlignmentVertical() const { return alignmentVertical_; }
    bool ShowDockClientCaptions() const { return showDockClientCaptions_; }
    bool Locked() const { return locked_; }
    bool FullRepaint() const { return fullRepaint_; }
    plat::TColor Color() const { return color_; }
    plat::TColor FontColor() const { return fontColor_; }
    const QString& Caption() const { return caption_; }

    virtual void SetAlignmentVertical(TAlignmentVertical value);
    virtual void SetBorderColor(plat::TColor value);
    virtual void SetBorderInner(TFrameStyle value);
    virtual void SetBorderOuter(TFrameStyle value);
    virtual void SetBorderSides(TSides value);
    virtual void SetBorderHighlight(plat::TColor value);
    virtual void SetBorderShadow(plat::TColor value);
    virtual void SetFlatColor(plat::TColor value);
    virtual void SetFrameSides(TSides value);
    void SetBorderWidth(int value);
    void SetBevelWidth(int value);
    void SetAlignment(Qt::Alignment value);
    void SetShowDockClientCaptions(bool value) { showDockClientCaptions_ = value; }
    void SetLocked(bool value) { locked_ = value; }
    void SetFullRepaint(bool value);
    void SetColor(plat::TColor value);
    void SetFontColor(plat::TColor value);
    void SetCaption(const QString& value);

    // The depth of everything drawn on one side (frame line, outer frame,
    // band and inner frame).
    int FrameDepth(TSide side) const;
    // What the frames leave of the panel.
    plat::TRect ClientRect() const;

    // Fired when the mouse enters or leaves the panel.
    std::function<void(TQvCustomPanel*)> OnMouseEnter;
    std::function<void(TQvCustomPanel*)> OnMouseLeave;

protected:
    // Draws the frames, the background and the caption; returns the rectangle
    // inside the frames.
    plat::TRect PaintPanel(QPainter& painter);
    // Draws the caption in the rectangle the frames left.
    virtual void DrawCaption(QPainter& painter, const plat::TRect& rect);
    // The frames changed: new contents margins and a repaint.
    virtual void FramesChanged();

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    plat::TRect DrawFrame(QPainter& painter, plat::TRect rect, TFrameStyle style) const;
    void UpdateStaticContents();

    TFrameStyle borderOuter_ = fsRaised;
    TFrameStyle borderInner_ = fsNone;
    TSides borderSides_ = sdAllSides;
    int borderWidth_ = 0;
    plat::TColor borderColor_ = plat::clBtnFace;
    plat::TColor borderHighlight_ = plat::clBtnHighlight;
    plat::TColor borderShadow_ = plat::clBtnShadow;
    plat::TColor flatColor_ = plat::clBlack;
    int bevelWidth_ = 1;
    TSides frameSides_ = 0;
    Qt::Alignment alignment_ = Qt::AlignHCenter;
    TAlignmentVertical alignmentVertical_ = avCenter;
    bool showDockClientCaptions_ = true;
    bool locked_ = false;
    bool fullRepaint_ = true;
    plat::TColor color_ = plat::clBtnFace;
    plat::TColor fontColor_ = plat::clWindowText;
    QString caption_;
};

// The framed panel as forms place it.
class TQvPanel : public TQvCustomPanel {
    Q_OBJECT
public:
    using TQvCustomPanel::TQvCustomPanel;
};

// A plain panel that paints all of itself in its colour, never its parent's
// background behind it.
class TQvOpaquePanel : public QWidget {
    Q_OBJECT
public:
    explicit TQvOpaquePanel(QWidget* parent = nullptr);

    plat::TColor Color() const { return color_; }
    void SetColor(plat::TColor value);
    // Painting is always buffered here; kept for the forms that set it.
    bool DoubleBuffered() const { return doubleBuffered_; }
    void SetDoubleBuffered(bool value) { doubleBuffered_ = value; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    plat::TColor color_ = plat::clBtnFace;
    bool doubleBuffered_ = false;
};
