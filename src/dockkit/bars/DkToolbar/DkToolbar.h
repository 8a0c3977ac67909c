#pragma once
// Tool bars and the menu bar: a dockable window showing an item tree in a
// view of its own. It sizes itself for docks and floating frames from the
// view's layout, hides what does not fit behind a chevron (whose pop-up lists
// the hidden items) or wraps it onto more rows, takes ordinary child controls
// as control items, tracks the hot item outside the menu loop, opens its
// items from the keyboard (Alt, Alt with a letter, F10, accelerators), and
// when asked executes the shortcuts of its items for its form. A floating
// tool bar is resized in steps, one per number of rows it can have.

#include "dockkit/docking/DkDockableWindow/DkDockableWindow.h"
#include "dockkit/items/DkItem/DkItem.h"
#include "dockkit/items/DkItemViewer.h"
#include "dockkit/items/DkView/DkView.h"

#include <QSize>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QKeyEvent;
class TDkCustomToolbar;

// The view a tool bar shows its items in.
class TDkToolbarView : public TDkView {
    Q_OBJECT
public:
    TDkToolbarView(TDkCustomToolbar* toolbar, TDkCustomItem* items);
    TDkCustomToolbar* Toolbar() const { return toolbar_; }

    void DoUpdatePositions(QSize size) override;
    void UpdatePositions() override;
    void InvalidatePositions() override;
    QFont GetFont() const override;
    bool IsMenuBarView() const override;
    TDkCustomItem* GetChevronItem() const override;
    TDkCustomItem* GetTrailingExtraItems() const override;
    TDkCustomItem* GetLeadingExtraItem() const override;
    int LastLineThickness() const override;

private:
    TDkCustomToolbar* toolbar_;
};

// The chevron: the button at the end of a tool bar that shows the items the
// bar has no room for in a pop-up.
class TDkChevronItem : public TDkCustomItem {
    Q_OBJECT
public:
    explicit TDkChevronItem(TDkCustomToolbar* toolbar);
    TDkCustomToolbar* Toolbar() const { return toolbar_; }
    TDkView* GetChevronParentView() const override;
    std::unique_ptr<TDkItemViewer> CreateViewer(TDkView* view, int groupLevel) override;

private:
    TDkCustomToolbar* toolbar_;
};

// The chevron's plain look: a double arrow, raised when hot, sunken when pushed.
class TDkChevronItemViewer : public TDkItemViewer {
public:
    using TDkItemViewer::TDkItemViewer;
    void CalcSize(QPainter& canvas, int& width, int& height) override;
    void Paint(QPainter& canvas, const plat::TRect& clientArea, bool isHoverItem, bool isPushed,
               bool useDisabledShadow) override;
};

namespace dk {

// The chevron's length along the tool bar.
constexpr int kChevronSize = 12;

// One layout a floating tool bar can be resized to.
struct ResizeStep {
    QSize Size; // the client size (later the floating frame's size)
    int Rows = 1;
};

// The layouts a floating tool bar has between its natural width and
// `minWidth`: `layout(width)` lays it out wrapping at that width (0: no
// wrapping). The first entry is the unwrapped layout; then, trying ever
// smaller widths, each layout that fits the width it was given is recorded,
// replacing the last entry when that has as many rows, so that each row count
// keeps its narrowest layout. The next width tried is one below the smaller
// of the width given and the width that came out, so the walk always ends.
std::vector<ResizeStep> BuildResizeSteps(const std::function<ResizeStep(int width)>& layout,
                                         int minWidth);

// How a drag on one edge of a floating tool bar picks its step.
class ResizeStepTracker {
public:
    // `steps` are frame sizes; `horizontal` for a drag that changes the width
    // (left and right edges, and the corners); `start` is the frame's size
    // at the press.
    ResizeStepTracker(std::vector<ResizeStep> steps, bool horizontal, QSize start);

    const std::vector<ResizeStep>& Steps() const { return steps_; }
    int Snap() const { return snap_; }
    // The step for a requested size along the dragged axis.
    const ResizeStep& Track(int request);
    // Whether that step is the one-row layout.
    bool SingleRow(const ResizeStep& step) const;

private:
    int Along(const ResizeStep& step) const;

    std::vector<ResizeStep> steps_; // largest first along the axis
    bool horizontal_;
    int start_;
    int snap_ = 12;
    int lastSide_ = 0;
    bool changed_ = false;
};

} // namespace dk

class TDkCustomToolbar : public TDkCustomDockableWindow {
    Q_OBJECT
public:
    // A tool bar of `form` (its parent until it is docked or floats).
    explicit TDkCustomToolbar(QWidget* form);
    ~TDkCustomToolbar() override;

    // The items the bar shows (owned).
    TDkRootItem* Items() const { return items_; }
    TDkChevronItem* ChevronItem() const { return chevron_; }
    TDkToolbarView* View() const { return view_; }

    // --- Properties ---
    // A menu bar: full size, wrapping, no close button, shortcuts processed,
    // accelerators underlined only after keyboard use, Alt and F10 open it.
    bool MenuBar() const { return menuBar_; }
    void SetMenuBar(bool value);
    // The bar executes its items' shortcuts for its form.
    bool ProcessShortCuts() const { return processShortCuts_; }
    void SetProcessShortCuts(bool value);
    TDkShrinkMode ShrinkMode() const { return shrinkMode_; }
    void SetShrinkMode(TDkShrinkMode value);
    // The kit's menu font rather than the bar's own font.
    bool SystemFont() const { return systemFont_; }
    void SetSystemFont(bool value);
    // Whether InitiateAction updates the items' actions.
    bool UpdateActions() const { return updateActions_; }
    void SetUpdateActions(bool value) { updateActions_ = value; }
    // The width a floating bar wraps at; 0 for its natural width.
    int FloatingWidth() const { return floatingWidth_; }
    void SetFloatingWidth(int value);
    // Whether the bar shows its items' hints as tool tips: its own value once
    // set, else (ParentShowHint) its form's, or a floating bar's frame's.
    bool ShowHint() const;
    void SetShowHint(bool value);
    bool ParentShowHint() const;
    void SetParentShowHint(bool value);
    // The hint of the item under the mouse (never stored).
    const QString& Hint() const { return hint_; }
    // The chevron item's hint; "More Buttons|" by default.
    QString ChevronHint() const;
    void SetChevronHint(const QString& value);
    // The root item's SubMenuImages, LinkSubitems and Options.
    plat::ImageList* Images() const;
    void SetImages(plat::ImageList* value);
    TDkCustomItem* LinkSubitems() const;
    void SetLinkSubitems(TDkCustomItem* value);
    TDkItemOptions Options() const;
    void SetOptions(TDkItemOptions value);
    // The view's cross size of its last layout.
    QSize BaseSize() const { return baseSize_; }

    // --- What the view tells the bar ---
    // The view laid its items out at that size: the base size, and the bar's
    // own size unless the bar is laying the view out itself.
    void ViewSized(QSize size);
    // The view's positions are to be worked out again: so is the natural size.
    void ViewPositionsInvalidated() { naturalWrap_ = -1; }
    // Runs the view's layout; controls the bar holds that move meanwhile are
    // the layout's doing, not the user's.
    void RunViewLayout(const std::function<void()>& layout);

    // (the key, handled): asked first whether a key is one of the bar's
    // shortcuts; handled starts false.
    std::function<void(const QKeyEvent& key, bool& handled)> OnShortCut;

    // --- Keys ---
    // Opens an item from the keyboard: with a null key the first selectable
    // item is highlighted, else the item with that accelerator (only "&"
    // accelerators with requirePrimaryAccel). A unique match without a
    // submenu is clicked, one with a submenu opened with its first item
    // selected; a shared match is highlighted (in a menu bar). Answers
    // whether anything was done.
    bool KeyboardOpen(QChar key, bool requirePrimaryAccel);
    // OnShortCut, then the items' shortcuts (handled by OnShortCut counts as
    // clicked).
    dk::ShortCutMatch MatchShortCut(const QKeyEvent& key);
    bool IsShortCut(const QKeyEvent& key);
    // Updates the actions of the bar's items (when UpdateActions).
    void InitiateAction();

    // --- The dockable window's parts ---
    QSize LayoutChildren(bool canMoveControls, PlacementKind kind, TDkDock* targetDock) override;
    QSize NaturalSize() override;
    void MinShrinkLength(int& size) const override;
    TDkShrinkMode ShrinkBehaviour() const override { return shrinkMode_; }
    bool PointOnChildControl(QPoint clientPoint) const override;
    void ReadExtraPositionValues(const dk::TDkPositionReadData& data) override;
    void WriteExtraPositionValues(const dk::TDkPositionWriteData& data) override;
    void SizingBegin(int edge) override;
    void SizingTrack(plat::TRect& rect, const plat::TRect& startRect) override;
    void SizingApply() override;
    void SizingEnd() override;
    bool TakesMenuEvents() const override { return menuBar_; }
    bool DialogKey(int key, Qt::KeyboardModifiers shift) override;
    bool DialogChar(QChar ch) override;
    bool SysKeyMenu(int key) override;

    // Gives every child control without a control item one, in child order,
    // then finishes loading.
    void Loaded();
    // The resize steps of a floating resize in progress (frame sizes).
    const std::vector<dk::ResizeStep>* ResizeSteps() const;

protected:
    // The parts a descendant makes of its own kind: the chevron item (made
    // once the items exist) and the view (made last). An empty part is the
    // plain one.
    struct Parts {
        std::function<TDkChevronItem*(TDkCustomToolbar* toolbar)> Chevron;
        std::function<TDkToolbarView*(TDkCustomToolbar* toolbar, TDkRootItem* items)> View;
    };
    TDkCustomToolbar(QWidget* form, const Parts& parts);

    void ClientPaint(QPainter& painter, const QRegion& region) override;
    void ColorChanged() override;
    void NcMouseMove(int hit, QPoint globalPos) override;
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void childEvent(QChildEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The view's orientation, chevron and wrap offsets for a placement.
    struct ViewProperties {
        TDkViewOrientation Orientation = dkvoHorizontal;
        int ChevronOffset = 0;
        int WrapOffset = 0;
    };
    ViewProperties PropertiesFor(PlacementKind kind, const TDkDock* dock) const;
    void UpdateViewProperties();
    // The view's show-hints option follows ShowHint.
    void ShowHintChanged();
    // Lays the view out where the bar is now, leaving the bar's size alone.
    void LayoutView();
    // The view's layout asks for a new size of the bar.
    void ViewSizeChanged(QSize size);
    int EffectiveFloatingWidth() const;
    void UpdateShortCutRegistration();
    void HotTrack(QPoint globalPos, bool updateHint);
    void EnsureControlItem(QWidget* control);
    void RemoveControlItems(const QObject* control);
    void ScheduleArrange();

    TDkRootItem* items_ = nullptr;
    TDkChevronItem* chevron_ = nullptr;
    TDkToolbarView* view_ = nullptr;
    QSize baseSize_;
    int insideLayout_ = 0;
    bool layingOut_ = false; // the bar lays its view out: its size stays
    Qt::Edges sizingEdges_;
    int floatingWidth_ = 0;
    bool menuBar_ = false;
    bool processShortCuts_ = false;
    bool registered_ = false;
    TDkShrinkMode shrinkMode_ = dksmChevron;
    bool systemFont_ = true;
    bool updateActions_ = true;
    QString hint_;
    bool destroying_ = false;
    bool arrangePosted_ = false;
    // A floating resize in progress.
    std::unique_ptr<dk::ResizeStepTracker> sizing_;
    int sizingWidth_ = 0;
    // The natural size last measured, and for which layout.
    QSize naturalSize_;
    TDkViewOrientation naturalOrientation_ = dkvoHorizontal;
    int naturalWrap_ = -1;
};

// The plain tool bar.
class TDkToolbar : public TDkCustomToolbar {
    Q_OBJECT
public:
    using TDkCustomToolbar::TDkCustomToolbar;
};
