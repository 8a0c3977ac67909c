#pragma once
// A framed panel split into two panes by a bar the user can drag.

#include "controls/QvPanel/QvPanel.h"

#include "platform/gui/AlignLayout.h"

#include <cstdint>
#include <functional>

enum TOrientation { orHorizontal, orVertical };
enum TFixedPane { fpUpperLeft, fpLowerRight };
enum TSplitterStyle { ssStandard, ssGroove, ssBump };
enum THotSpotDirection { hsdMin, hsdMax };

class TQvSplitter;

// One of the two panes. Controls put into it are aligned the way forms align
// them (the pane's layout is a plat::AlignLayout). Showing or hiding a pane
// lays its splitter out again.
class TQvSplitterPane : public TQvCustomPanel {
    Q_OBJECT
public:
    explicit TQvSplitterPane(TQvSplitter* splitter);

    TQvSplitter* Splitter() const { return splitter_; }
    // Makes the control a child of the pane, aligned as given.
    void InsertControl(QWidget* control, plat::Align align = plat::Align::Client);
    plat::AlignLayout* Layout() const { return layout_; }

protected:
    bool event(QEvent* event) override;

private:
    TQvSplitter* splitter_;
    plat::AlignLayout* layout_;
};

class TQvSplitter : public TQvCustomPanel {
    Q_OBJECT
public:
    explicit TQvSplitter(QWidget* parent = nullptr);
    ~TQvSplitter() override;

    TQvSplitterPane* UpperLeft() const { return upperLeft_; }
    TQvSplitterPane* LowerRight() const { return lowerRight_; }

    TOrientation Orientation() const { return orientation_; }
    int Position() const { return position_; }
    int Percent() const { return percent_; }
    bool UsePercent() const { return usePercent_; }
    int PercentMin() const { return percentMin_; }
    int PercentMax() const { return percentMax_; }
    int MarginMin() const { return marginMin_; }
    int MarginMax() const { return marginMax_; }
    TFixedPane FixedPane() const { return fixedPane_; }
    uint16_t SplitterWidth() const { return splitterWidth_; }
    TSplitterStyle SplitterStyle() const { return splitterStyle_; }
    bool RealTimeDrag() const { return realTimeDrag_; }
    bool LockBar() const { return lockBar_; }
    bool HotSpotVisible() const { return hotSpotVisible_; }
    plat::TColor HotSpotHighlight() const { return hotSpotHighlight_; }
    THotSpotDirection HotSpotDirection() const { return hotSpotDirection_; }
    bool HotSpotIgnoreMargins() const { return hotSpotIgnoreMargins_; }
    int HotSpotSizePercent() const { return hotSpotSizePercent_; }

    void SetOrientation(TOrientation value);
    // Sets the bar position as asked from outside: the size asked for the
    // fixed pane (even one the splitter has no room for now, or one it has
    // already) becomes the size that pane returns to when the splitter grows
    // again.
    void SetPosition(int value);
    void SetPercent(int value);
    void SetUsePercent(bool value);
    void SetPercentMin(int value);
    void SetPercentMax(int value);
    void SetMarginMin(int value);
    void SetMarginMax(int value);
    void SetFixedPane(TFixedPane value);
    // At least 6 with the groove and bump styles, 7 with a visible hot spot.
    void SetSplitterWidth(uint16_t value);
    void SetSplitterStyle(TSplitterStyle value);
    void SetRealTimeDrag(bool value) { realTimeDrag_ = value; }
    void SetLockBar(bool value) { lockBar_ = value; }
    void SetHotSpotVisible(bool value);
    void SetHotSpotHighlight(plat::TColor value);
    void SetHotSpotDirection(THotSpotDirection value);
    void SetHotSpotIgnoreMargins(bool value) { hotSpotIgnoreMargins_ = value; }
    void SetHotSpotSizePercent(int value);

    // The bar and the hot spot in widget coordinates (empty while only one
    // pane is visible).
    plat::TRect BarRect() const { return barRect_; }
    plat::TRect HotSpotRect() const { return hotSpotRect_; }
    bool HotSpotClosed() const { return hotSpotClosed_; }
    bool Dragging() const { return dragging_; }
    // Where the inverted bar of a drag without RealTimeDrag is drawn.
    int DragPosition() const { return lastDrawn_; }

    // The visible panes' preferred sizes one after the other along the split,
    // with the bar between them, inside the frames: what a layout or a dock
    // holding the splitter gives it.
    QSize sizeHint() const override;

    // Sender, new position, allow (true unless the handler refuses).
    std::function<void(TQvSplitter*, int, bool&)> OnChanging;
    std::function<void(TQvSplitter*)> OnChange;
    std::function<void(TQvSplitter*)> OnHotSpotClick;
    // The docking events of the panes (each pane is a dock site when its
    // DockSite is on), with the pane as Sender.
    ctl::TGetSiteInfoEvent OnULGetSiteInfo;
    ctl::TDockOverEvent OnULDockOver;
    ctl::TDockDropEvent OnULDockDrop;
    ctl::TUnDockEvent OnULUnDock;
    ctl::TGetSiteInfoEvent OnLRGetSiteInfo;
    ctl::TDockOverEvent OnLRDockOver;
    ctl::TDockDropEvent OnLRDockDrop;
    ctl::TUnDockEvent OnLRUnDock;

protected:
    void FramesChanged() override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    friend class TQvSplitterPane;
    class TDragBar;

    // Size along the split, and that size less half the bar.
    int SplitSize() const;
    int SizePrime() const;
    int NearFrameWidth() const;
    bool BothPanesVisible() const;
    int Clamp(int position) const;
    int PercentOf(int position) const;
    int PositionOfPercent(int percent) const;
    // Stores a position (unless unchanged and not forced, or refused by
    // OnChanging); true when it was stored.
    bool ApplyPosition(int value, bool force);
    void RememberUserSize() { userFixedSize_ = fixedSize_; }
    void MarginsFromPercents();
    // What a resize keeps: the percentage, the upper or left pane's size
    // (the user's when it has room again), or the lower or right pane's.
    void KeepPercentOnResize();
    void KeepUpperLeftOnResize();
    void KeepLowerRightOnResize();
    void ClampMarginsToSize();
    void LayoutPanes();
    void UpdateHotSpotRect();
    int AlongSplit(QPoint point) const;
    void ToggleHotSpot();
    void ShowDragBar(int position);
    void UpdateCursor(QPoint point);
    void PaintBar(QPainter& painter);
    void PaintHotSpot(QPainter& painter);
    uint16_t MinimumBarWidth() const;

    TQvSplitterPane* upperLeft_ = nullptr;
    TQvSplitterPane* lowerRight_ = nullptr;
    TDragBar* dragBar_ = nullptr;

    TOrientation orientation_ = orHorizontal;
    int position_ = 100;
    int percent_ = 50;
    bool usePercent_ = false;
    int percentMin_ = 0;
    int percentMax_ = 100;
    int marginMin_ = 0;
    int marginMax_ = 0;
    TFixedPane fixedPane_ = fpUpperLeft;
    uint16_t splitterWidth_ = 4;
    TSplitterStyle splitterStyle_ = ssStandard;
    bool realTimeDrag_ = false;
    bool lockBar_ = false;
    bool hotSpotVisible_ = false;
    plat::TColor hotSpotHighlight_ = plat::clWindow;
    THotSpotDirection hotSpotDirection_ = hsdMin;
    bool hotSpotIgnoreMargins_ = true;
    int hotSpotSizePercent_ = 40;

    plat::TRect barRect_;
    plat::TRect hotSpotRect_;
    int fixedSize_ = 100;   // the fixed pane's size after the last position change
    int userFixedSize_ = 0; // the size last given to the fixed pane from outside
    bool dragging_ = false;
    int dragStart_ = 0;  // position when the drag began
    int pressPoint_ = 0; // where the press was, along the split
    int lastDrawn_ = 0;  // last position the drag reached
    bool hotSpotPressed_ = false;
    bool hotSpotClosed_ = false;
    bool hotSpotHover_ = false;
    int hotSpotPosition_ = 0; // position before the hot spot closed
    bool destroying_ = false;
};
