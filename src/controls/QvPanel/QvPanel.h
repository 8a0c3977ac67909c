#pragma once
// Panels: the framed panel that the splitter and the main window's panels are
// made of, and the opaque panel.

#include "controls/FrameDrawing.h"
#include "controls/QvPanel/DockDrag.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <vector>

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
    // Docked controls show caption strips.
    bool ShowDockClientCaptions() const { return showDockClientCaptions_; }
    // A locked panel keeps its place: it is no tool control, one that a
    // form's embedded object may cover with tool bars of its own.
    bool Locked() const { return locked_; }
    bool IsToolControl() const { return !locked_; }
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
    void SetShowDockClientCaptions(bool value);
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

    // --- Docking (QvPanelDocking.cpp) ---
    // Controls can be docked here: dropped by a drag of their caption strip
    // or put here with ctl::ManualDock. They are laid out one after the
    // other, each under its caption strip (13 pixels, the control's window
    // title), or beside it when the panel is aligned to the top or bottom
    // of its parent.
    bool DockSite() const { return dockSite_; }
    void SetDockSite(bool value);
    // The docked controls in docking order.
    std::vector<QWidget*> DockClients() const;
    // A docked control's caption strip; empty without caption strips.
    plat::TRect DockCaptionRect(const QWidget* client) const;
    // The strips run down the clients' left sides.
    bool DockCaptionsVertical() const;

    ctl::TGetSiteInfoEvent OnGetSiteInfo;
    ctl::TDockOverEvent OnDockOver;
    ctl::TDockDropEvent OnDockDrop;
    ctl::TUnDockEvent OnUnDock;

    // What a drag asks of the site, and what it does there. The influence
    // rectangle starts as the panel's screen rectangle, CanDock and Accept as
    // true; the events may change them.
    void GetSiteInfo(QWidget* client, QRect& influence, QPoint mousePos, bool& canDock);
    bool DockOver(ctl::TDragDockObject& source, TDragState state);
    // Takes the control in, lays it out, then fires OnDockDrop.
    void DockDrop(ctl::TDragDockObject& source);
    // The control leaves for newTarget (null: it floats) unless OnUnDock
    // refuses; true when it left.
    bool UnDock(QWidget* client, TQvCustomPanel* newTarget);

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
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void childEvent(QChildEvent* event) override;

private:
    plat::TRect DrawFrame(QPainter& painter, plat::TRect rect, TFrameStyle style) const;
    void UpdateStaticContents();
    void LayoutDockClients();
    void PaintDockCaptions(QPainter& painter);
    void ForgetDockClient(const QObject* client);
    const QWidget* DockClientAt(QPoint point) const;

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
    bool dockSite_ = false;
    struct DockClient {
        QPointer<QWidget> control;
        plat::TRect strip;
    };
    std::vector<DockClient> dockClients_;
    QPointer<QWidget> pressedClient_; // a press on its strip may start a drag
    QPoint pressPoint_;
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
