#pragma once
// A view shows the effective subitems of one item inside one window: it owns
// one viewer per item, follows the item tree through its notifications, lays
// the viewers out in rows or columns (wrapping, a chevron for what does not
// fit, scrolling for pop-ups taller than the screen) and paints them through
// an off-screen image of the window's device pixel ratio.

#include "dockkit/common/DkTimers.h"
#include "dockkit/items/DkCommand.h"
#include "dockkit/items/DkItem/DkItem.h"
#include "dockkit/items/DkViewArrange.h"

#include "platform/gui/Colors.h"
#include "platform/gui/Rect.h"

#include <QEvent>
#include <QFont>
#include <QImage>
#include <QMargins>
#include <QObject>
#include <QPointer>
#include <QRegion>
#include <QSize>

#include <memory>
#include <vector>

class QPainter;
class QWidget;
class TDkItemViewer;
class TDkPopupWindow;

enum TDkViewOrientation { dkvoHorizontal, dkvoVertical, dkvoFloating };

// What a view is doing; several at once.
enum TDkViewState : unsigned {
    vsModal = 0x01, // a menu loop runs for this view
    vsMouseInWindow = 0x02,
    vsShownOnce = 0x04,      // a pop-up has been shown
    vsOppositeSide = 0x08,   // submenus open towards the other side
    vsMouseUpPending = 0x10, // the next button release only ends a press
    vsAccelsVisible = 0x20,  // accelerators are underlined (keyboard use)
    vsDropDownMode = 0x40,   // moving across a menu bar opens each pop-up
    vsClosing = 0x80,
};

// The view's timers: a submenu opening or closing after the menu show delay,
// and a long pop-up scrolling while the pointer rests on an arrow.
enum class TDkViewTimer { Open, Close, ScrollUp, ScrollDown };

// What EnterToolbarLoop starts with.
enum TDkToolbarLoopOption : unsigned {
    tloInitialMouseDown = 0x01, // a press on the selected viewer
    tloDropDown = 0x02,         // the selected item's pop-up opens at once
    tloSelectFirst = 0x04,      // with its first item selected
};

// View options.
enum TDkViewOption : unsigned {
    voAccelHiding = 0x01, // underline accelerators only after keyboard use
    voShowHints = 0x02,
};

class TDkView : public QObject {
    Q_OBJECT
public:
    // Shows the subitems of parentItem (or of its LinkSubitems) in `window`.
    TDkView(QObject* owner, TDkView* parentView, TDkCustomItem* parentItem, QWidget* window,
            bool isToolbar, bool customizing, bool usePriorityList);
    ~TDkView() override;
    TDkView(const TDkView&) = delete;
    TDkView& operator=(const TDkView&) = delete;

    // --- Structure ---
    TDkView* ParentView() const { return parentView_; }
    TDkCustomItem* ParentItem() const { return parentItem_; }
    // The item whose subitems are shown.
    TDkCustomItem* CurrentRoot() const { return currentRoot_; }
    QWidget* Window() const { return window_; }
    bool IsToolbar() const { return isToolbar_; }
    bool IsPopup() const { return !isToolbar_; }
    void SetIsToolbar(bool value);
    bool Customizing() const { return customizing_; }
    TDkViewOrientation Orientation() const { return orientation_; }
    void SetOrientation(TDkViewOrientation value);
    bool IsVertical() const { return orientation_ == dkvoVertical; }

    int ViewerCount() const { return static_cast<int>(viewers_.size()); }
    TDkItemViewer* Viewers(int index) const { return viewers_[static_cast<size_t>(index)].get(); }
    int IndexOf(const TDkItemViewer* viewer) const;
    // The viewer of the item; raises EDkItemError "An item viewer associated
    // the specified item could not be found" when the view shows none.
    TDkItemViewer* Find(const TDkCustomItem* item) const;
    int LeadingSpecialCount() const { return leadingCount_; }
    int TrailingSpecialCount() const { return trailingCount_; }
    // Builds every viewer anew. The constructor builds them once; a subclass
    // with a chevron or extra items calls this again at the end of its own
    // constructor, when its overrides answer.
    void RecreateAllViewers();
    // Viewers in most-recently-used order (only with a priority list).
    const std::vector<TDkItemViewer*>& PriorityList() const { return priority_; }

    // --- Layout parameters ---
    int ChevronOffset() const { return chevronOffset_; }
    int ChevronSize() const { return chevronSize_; }
    void SetChevronOffset(int value);
    void SetChevronSize(int value);
    int WrapOffset() const { return wrapOffset_; }
    void SetWrapOffset(int value);
    int MaxHeight() const { return maxHeight_; }
    void SetMaxHeight(int value);
    int ScrollOffset() const { return scrollOffset_; }
    void SetScrollOffset(int value);
    bool ShowUpArrow() const { return showUpArrow_; }
    bool ShowDownArrow() const { return showDownArrow_; }
    TDkView* ChevronParentView() const { return chevronParentView_; }
    void SetChevronParentView(TDkView* value);
    const plat::TRect& MonitorRect() const { return monitorRect_; }
    void SetMonitorRect(const plat::TRect& value) { monitorRect_ = value; }
    plat::TColor BackgroundColor() const { return backgroundColor_; }
    void SetBackgroundColor(plat::TColor value);
    // The cross size of the last layout.
    int BaseSize() const { return baseSize_; }
    // Lines (rows or columns) of the last layout.
    int LineCount() const { return lineCount_; }
    unsigned Options() const { return options_; }
    void SetOptions(unsigned value) { options_ = value; }

    // --- Layout ---
    void BeginUpdate();
    void EndUpdate();
    bool Updating() const { return updateCount_ > 0; }
    bool PositionsValid() const { return positionsValid_; }
    // Marks the layout stale and the whole window for repaint.
    virtual void InvalidatePositions();
    // Lays out again when stale.
    void ValidatePositions();
    // Lays out, sizes the window and repaints it when the layout moved.
    virtual void UpdatePositions();

    // The result of one layout.
    struct Layout {
        QSize Size;
        int Lines = 1;
        bool Changed = false;
    };
    // Lays the viewers out with the given orientation, wrap offset and
    // chevron; stores the result in the viewers. With canMoveControls the
    // controls of control items follow their viewers and the chevron's
    // enabled state follows what it hides.
    Layout CalculatePositions(bool canMoveControls, TDkViewOrientation orientation, int wrapOffset,
                              int chevronOffset, int chevronSize);
    // The size and lines such a layout would have; the viewers and the view
    // stay as they are.
    Layout MeasurePositions(TDkViewOrientation orientation, int wrapOffset, int chevronOffset,
                            int chevronSize);

    // --- Extension points ---
    // Sizes the window to fit a client area of the given size.
    virtual void DoUpdatePositions(QSize size);
    virtual TDkCustomItem* GetChevronItem() const { return nullptr; }
    // (4, 2, 4, 1) floating, else none.
    virtual QMargins GetMargins(TDkViewOrientation orientation) const;
    virtual TDkCustomItem* GetTrailingExtraItems() const { return nullptr; }
    virtual TDkCustomItem* GetLeadingExtraItem() const { return nullptr; }
    virtual QFont GetFont() const;
    // The thickness the line of an unwrapped layout takes at least (a docked
    // tool bar's row); 0 for none.
    virtual int LastLineThickness() const { return 0; }
    // Paints over the background colour of the area (window client
    // coordinates) before the viewers; nothing by default.
    virtual void PaintBackground(QPainter& canvas, const QRect& area);

    // --- Painting ---
    // The first shown viewer holding the point (window client coordinates).
    TDkItemViewer* ViewerFromPoint(QPoint point);
    void InvalidateViewer(TDkItemViewer* viewer);
    // Paints the viewers that meet the region, the selected one last.
    void DrawSubitems(QPainter& canvas, const QRegion& region);
    // Paints background and viewers into an off-screen image of the target's
    // device pixel ratio and copies it to the target (a window's paint).
    void PaintWindow(QPainter& target, const QRegion& region);
    // Whether captions underline their accelerators.
    bool AcceleratorsShown() const;
    // Keyboard use asks for accelerators; viewers with one repaint when that
    // changes what is shown.
    void SetAcceleratorsVisible(bool value);

    // --- Selection and the menu loop's state ---
    unsigned State() const { return state_; }
    bool HasState(TDkViewState flag) const { return (state_ & flag) != 0; }
    void SetState(TDkViewState flag, bool on);
    TDkItemViewer* Selected() const { return selected_; }
    // Changes the selection: the old viewer is left, the new one entered, and
    // viewers that redraw on selection change repaint.
    void Select(TDkItemViewer* viewer);
    bool MouseOverSelected() const { return mouseOverSelected_; }
    void SetMouseOverSelected(bool value);
    // Whether the selected viewer holds the mouse (a button is down on it).
    bool ViewerCapture() const { return viewerCapture_; }
    void SetViewerCapture(bool value);
    TDkItemViewer* OpenViewer() const { return openViewer_; }
    TDkView* OpenView() const { return openView_; }
    QWidget* OpenWindow() const { return openWindow_; }
    // Whether the viewer's pop-up is open: its hint would cover it.
    bool PopupOpenFor(const TDkItemViewer* viewer) const {
        return viewer != nullptr && viewer == openViewer_ && openWindow_ != nullptr;
    }
    // Records the pop-up a viewer opened (the pop-up layer calls this).
    void SetOpenPopup(TDkItemViewer* viewer, TDkView* view, QWidget* window);
    // Closes the open pop-up and those it opened.
    void CloseChildPopups();
    // Stops the open and close timers and, when the selection is not the
    // viewer whose pop-up is open, closes the child pop-ups and opens the
    // selected item's pop-up when it is enabled and has a submenu (as a
    // submenu unless this is a tool bar). Answers whether the selection's
    // pop-up is open.
    virtual bool OpenChildPopup(bool selectFirst);
    // The nearest tool bar view at or above this one.
    TDkView* NearestToolbarView();
    // Whether this is a menu bar's view: its titles stay selected for the
    // keys once their menus close.
    virtual bool IsMenuBarView() const { return false; }
    // The view the running menu loop belongs to: this one or the nearest
    // parent in a loop; null outside a loop.
    TDkView* LoopView();
    // Ends the running loop with nothing to do, or with a click on the item.
    // Called from outside the loop's own input (a timer, a queued call), the
    // loop is woken by a ModalWakeEvent and ends at once.
    void EndModal();
    void EndModalWithItem(TDkCustomItem* item, bool playSound);
    void EndModalWithAction(const TDkDoneAction& action);
    bool ModalEnded() const { return modalEnded_; }
    const TDkDoneAction& DoneAction() const { return doneAction_; }
    void ResetModal();
    // The event posted to the loop's view that makes the loop look whether it
    // has ended.
    static QEvent::Type ModalWakeEvent();
    // Using an item moves its viewer to the front of the priority order.
    void NotifyViewerUsed(TDkItemViewer* viewer);

    // --- Selection by keys and pointer (inside and outside the menu loop) ---
    // The next selectable viewer (shown or hidden by the chevron, its item
    // visible and selectable) after `from` (before the first when null),
    // cyclically; null after a full circle.
    TDkItemViewer* NextSelectable(TDkItemViewer* from, bool goForward);
    // The first selectable viewer, passing over items that ask not to be
    // selected first unless all do.
    TDkItemViewer* FirstSelectable();
    // Enter on the selection: opens its pop-up, else ends the loop with its
    // item as the command (or with nothing for an item that cannot be chosen).
    void ExecuteSelected();
    // Scrolls a long pop-up so that the selection shows whole.
    void ScrollSelectedIntoView();
    // Scrolls a long pop-up by one hidden item.
    void Scroll(bool down);
    // The next viewer (after the selection, wrapping) whose caption's
    // accelerator, or first letter when it has none, is the character;
    // enabled items before disabled ones. Unique when no other viewer
    // matches; a disabled match never is. With primaryOnly first letters do
    // not count.
    TDkItemViewer* FindAccelerator(QChar key, bool& unique, bool primaryOnly = false);
    // The menu loop's key handling: arrows, Home, End, Tab, Enter, Escape,
    // Alt, F10 and F1 (Escape closes one level; a tool bar's drop-down goes
    // with the bar's loop, a menu bar's leaves its title selected). A
    // handled key is set to 0. The view may be closed (and
    // deleted) by the key; callers hold it in a QPointer.
    virtual void KeyDown(int& key, Qt::KeyboardModifiers shift);
    // Moves the selection after the pointer (screen coordinates).
    void UpdateSelectionFromMouse(QPoint point, bool mouseDown);
    // Hot tracking from the deepest open view up to this one: selections,
    // the submenu timers or drop-down opening, and the scroll timers.
    void TrackMouse(QPoint point, bool mouseDown);
    // Whether the point (screen coordinates) lies on the view's window.
    bool PointInWindow(QPoint point) const;
    // The point in the window's client coordinates (where viewer bounds are).
    QPoint ClientFromScreen(QPoint point) const;
    // The deepest open pop-up view below this one (this one when none is open).
    TDkView* DeepestOpenView();

    void StartTimer(TDkViewTimer timer, int intervalMs);
    void KillTimer(TDkViewTimer timer);
    bool TimerRunning(TDkViewTimer timer) const;
    // What a timer does when due.
    virtual void TimerElapsed(TDkViewTimer timer);

    // A tool bar's own menu loop (options: TDkToolbarLoopOption); nothing
    // when the view is no tool bar or its loop runs already.
    void EnterToolbarLoop(unsigned options);

private:
    Layout RunLayout(bool canMoveControls, bool store, TDkViewOrientation orientation,
                     int wrapOffset, int chevronOffset, int chevronSize);
    // The layout's input: each viewer's flags, and the sizes of those that
    // show (a viewer its item wants recreated is measured anew, and replaced
    // with canMoveControls).
    std::vector<dk::ViewerEntry> LayoutEntries() const;
    void MeasureViewers(std::vector<dk::ViewerEntry>& entries, const std::vector<bool>& shown,
                        bool canMoveControls);
    // Into the viewers (and their controls); answers whether any moved or
    // changed what it shows.
    bool ApplyPlacements(const std::vector<dk::ViewerPlacement>& placements, bool canMoveControls);
    void PlaceControl(TDkItemViewer* viewer);
    static void ItemNotification(void* data, TDkCustomItem* sender, bool relayed,
                                 dk::ItemNotification kind, TDkCustomItem* item, int index);
    void RootNotification(TDkCustomItem* sender, dk::ItemNotification kind, TDkCustomItem* item,
                          int index);
    void ParentItemNotification(dk::ItemNotification kind);
    void AttachRoot();
    void DetachItems();
    void AddViewers(std::vector<std::unique_ptr<TDkItemViewer>>& into, TDkCustomItem* item,
                    int groupLevel, int depth);
    void InsertItemViewers(TDkCustomItem* item, int index);
    void DeleteItemViewers(TDkCustomItem* item);
    void ReplaceItemViewers(TDkCustomItem* item);
    void InvalidateItem(TDkCustomItem* item);
    void ImagesChanged();
    void ForgetViewer(const TDkItemViewer* viewer);
    bool LoadingItems() const;
    void DrawViewer(QPainter& canvas, TDkItemViewer* viewer, const QRegion& region,
                    const QFont& font);

    QPointer<TDkView> parentView_;
    TDkCustomItem* parentItem_ = nullptr;
    TDkCustomItem* currentRoot_ = nullptr;
    QPointer<QWidget> window_;
    bool isToolbar_;
    bool customizing_;
    bool usePriorityList_;
    TDkViewOrientation orientation_ = dkvoHorizontal;
    std::vector<std::unique_ptr<TDkItemViewer>> viewers_;
    std::vector<TDkItemViewer*> priority_;
    int leadingCount_ = 0;
    int trailingCount_ = 0;
    int chevronOffset_ = 0;
    int chevronSize_ = 0;
    int wrapOffset_ = 0;
    int maxHeight_ = 0;
    int scrollOffset_ = 0;
    bool showUpArrow_ = false;
    bool showDownArrow_ = false;
    QPointer<TDkView> chevronParentView_;
    plat::TRect monitorRect_;
    plat::TColor backgroundColor_ = plat::clDefault;
    int baseSize_ = 0;
    int lineCount_ = 1;
    unsigned options_ = 0;
    unsigned state_ = 0;
    int updateCount_ = 0;
    bool positionsValid_ = false;
    TDkItemViewer* selected_ = nullptr;
    bool mouseOverSelected_ = false;
    bool viewerCapture_ = false;
    TDkItemViewer* openViewer_ = nullptr;
    QPointer<TDkView> openView_;
    QPointer<QWidget> openWindow_;
    bool modalEnded_ = false;
    bool modalWakePosted_ = false;
    TDkDoneAction doneAction_;
    QMetaObject::Connection parentDestroyed_;
    QMetaObject::Connection rootDestroyed_;
    QImage buffer_; // the off-screen image of the last paint
    dk::KitTimer openTimer_;
    dk::KitTimer closeTimer_;
    dk::KitTimer scrollUpTimer_;
    dk::KitTimer scrollDownTimer_;

    dk::KitTimer& Timer(TDkViewTimer timer);
    const dk::KitTimer& Timer(TDkViewTimer timer) const;
    void TimerFired(TDkViewTimer timer);
    void MoveToolbarSelection(bool forward);
    void CloseThisLevel();
    // The menu loop's keys, one by one.
    void SelectAndShow(TDkItemViewer* viewer);
    // Opens the selection's pop-up with its first item selected; moving
    // across the tool bar then opens each pop-up.
    void OpenAsDropDown();
    void HorizontalArrowKey(bool left);
    void EscapeKey();
    void HelpKey();
    // Hot tracking of one view of the chain: a new selection opens its
    // pop-up (a tool bar's at once in drop-down mode, a menu's after the
    // menu show delay); the pointer in the window (`in`) on a scroll arrow
    // band (y in client coordinates) scrolls.
    void FollowSelection(TDkItemViewer* before, bool isLoopView);
    void ScrollAtArrows(bool in, int y);
};
