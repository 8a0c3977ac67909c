#pragma once
// The common base of tool bars and dockable panels: a window that lives on a
// dock or floats in a small tool window of its own, moves between the two by
// dragging or by a double click, is sized by dragging its floating frame, has
// a close button, and hides while floating when its form is hidden or the
// application is inactive. It paints its docked frame and drag handle in the
// widget's non-client ring.
//
// A descendant says how big its content is (NaturalSize, LayoutChildren) and
// may shrink, wrap, limit its client size or add saved values of its own.

#include "dockkit/common/DkHooks.h"
#include "dockkit/common/DkNcWidget.h"
#include "dockkit/docking/DkDock.h"
#include "dockkit/docking/DkFloatingWindowParent.h"
#include "dockkit/docking/DkPositionData.h"

#include "platform/gui/Colors.h"
#include "platform/gui/Rect.h"

#include <QPointer>
#include <QString>

#include <functional>
#include <vector>

enum TDkBorderStyle { bsNone, bsSingle };
enum TDkDockMode { dmCanFloat, dmCannotFloat, dmCannotFloatOrChangeDocks };
enum TDkDragHandleStyle { dhDouble, dhNone, dhSingle };
enum TDkFloatingMode { fmOnTopOfParentForm, fmOnTopOfAllForms };

class TDkCustomDockableWindow : public dk::DkNcWidget {
    Q_OBJECT
public:
    explicit TDkCustomDockableWindow(QWidget* parent = nullptr);
    ~TDkCustomDockableWindow() override;
    TDkCustomDockableWindow(const TDkCustomDockableWindow&) = delete;
    TDkCustomDockableWindow& operator=(const TDkCustomDockableWindow&) = delete;

    // --- Properties ---
    bool ActivateParent() const { return activateParent_; }
    void SetActivateParent(bool value) { activateParent_ = value; }
    bool AutoResize() const { return autoResize_; }
    void SetAutoResize(bool value);
    TDkBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TDkBorderStyle value);
    bool CloseButton() const { return closeButton_; }
    void SetCloseButton(bool value);
    bool CloseButtonWhenDocked() const { return closeButtonWhenDocked_; }
    void SetCloseButtonWhenDocked(bool value);
    TDkDock* CurrentDock() const { return currentDock_; }
    // Docks the window there; null puts it on its parent form.
    void SetCurrentDock(TDkDock* dock);
    TDkDock* DefaultDock() const { return defaultDock_; }
    void SetDefaultDock(TDkDock* dock) { defaultDock_ = dock; }
    TDkDockPositions DockableTo() const { return dockableTo_; }
    void SetDockableTo(TDkDockPositions value) { dockableTo_ = value; }
    TDkDockMode DockMode() const { return dockMode_; }
    void SetDockMode(TDkDockMode value) { dockMode_ = value; }
    int DockPos() const { return dockPos_; }
    void SetDockPos(int value);
    int DockRow() const { return dockRow_; }
    void SetDockRow(int value);
    TDkDragHandleStyle DragHandleStyle() const { return dragHandleStyle_; }
    void SetDragHandleStyle(TDkDragHandleStyle value);
    TDkFloatingMode FloatingMode() const { return floatingMode_; }
    void SetFloatingMode(TDkFloatingMode value);
    bool FullSize() const { return fullSize_; }
    void SetFullSize(bool value);
    bool HideWhenInactive() const { return hideWhenInactive_; }
    void SetHideWhenInactive(bool value);
    TDkDock* LastDock() const { return lastDock_; }
    void SetLastDock(TDkDock* dock);
    bool Resizable() const { return resizable_; }
    void SetResizable(bool value);
    bool ShowCaption() const { return showCaption_; }
    void SetShowCaption(bool value);
    bool SmoothDrag() const { return smoothDrag_; }
    void SetSmoothDrag(bool value) { smoothDrag_ = value; }
    bool Stretch() const { return stretch_; }
    void SetStretch(bool value);
    bool UseLastDock() const { return useLastDock_; }
    void SetUseLastDock(bool value);
    plat::TColor Color() const { return color_; }
    void SetColor(plat::TColor value);
    // The floating caption's text.
    QString Caption() const { return windowTitle(); }
    void SetCaption(const QString& value);

    // Whether the window is meant to show; the showing rules may still hide it.
    bool Visible() const { return visible_; }
    void setVisible(bool visible) override;

    // --- Events ---
    std::function<void(TDkCustomDockableWindow*)> OnClose;
    std::function<void(TDkCustomDockableWindow*, bool& canClose)> OnCloseQuery;
    std::function<void(TDkCustomDockableWindow*)> OnDockChanged;
    // (window, floating, the dock it goes to)
    std::function<void(TDkCustomDockableWindow*, bool, TDkDock*)> OnDockChanging;
    std::function<void(TDkCustomDockableWindow*, bool, TDkDock*)> OnDockChangingHidden;
    std::function<void(TDkCustomDockableWindow*)> OnMove;
    std::function<void(TDkCustomDockableWindow*)> OnRecreated;
    std::function<void(TDkCustomDockableWindow*)> OnRecreating;
    std::function<void(TDkCustomDockableWindow*)> OnVisibleChanged;
    std::function<void(TDkCustomDockableWindow*)> OnResize;

    // --- Where it is ---
    bool Docked() const { return docked_; }
    bool Floating() const { return floating_; }
    PlacementKind Placement() const;
    static PlacementKind PlacementFor(const TDkDock* dock);
    TDkFloatingWindowParent* FloatingParent() const { return floatingForm_; }
    // The form the window belongs to (the one holding its docks).
    QWidget* ParentForm() const { return parentForm_; }
    // The row and position of the last arrangement; -1 when not placed.
    int EffectiveRow() const { return effectiveRow_; }
    int EffectivePos() const { return effectivePos_; }
    // The floating form's top-left corner on the screen.
    QPoint FloatingPosition() const { return floatingPos_; }
    void SetFloatingPosition(QPoint value);
    // The length the dock shrank the window to; 0 when not shrunk.
    int CurrentShrunkLength() const { return shrunkLength_; }
    // Forms besides the parent form whose docks may take the window.
    void AddDockForm(QWidget* form);
    void RemoveDockForm(QWidget* form);
    // Every floating window of the process.
    static const std::vector<TDkCustomDockableWindow*>& FloatingWindows();
    // The order the windows were made in (saved positions go in this order).
    quint64 CreationSerial() const { return serial_; }

    // --- Operations ---
    // The one way the window changes parent: a dock, a floating form, a plain
    // widget (its form) or none. Fires the dock-change events, keeps the
    // docks' lists and the floating list, and lays the content out.
    void SetParentControl(QWidget* newParent);
    // Floats the window in a floating form of its parent form, or puts it
    // back on that form.
    void SetFloatingState(bool floating);
    // Floating: docks to the last dock, else to the default dock at the front
    // of the first row. Docked and allowed to float: floats on screen.
    void ToggleDockedFloating();
    // Asks OnCloseQuery; when allowed hides the window and fires OnClose.
    void Close();
    // Moves the floating form into the work area of its monitor; with the
    // flag only when no part of it is inside.
    void KeepOnScreen(bool onlyIfFullyOffscreen);
    // Lays the content out and takes its size (deferred while locked).
    void ArrangeContent();
    // Whether the window may show now.
    bool ShowingAllowed() const;
    // Shows or hides the window (and its floating form) by the rules.
    void UpdateShowing();
    void BeginLoading() { loading_ = true; }
    void Loaded();
    bool Loading() const { return loading_; }

    // The drag loop (press at `globalPos`) and the floating sizing loop (edge
    // 0 left .. 7 bottom-right, as the sizing hit codes less 10).
    void RunDragLoop(QPoint globalPos);
    void RunSizingLoop(int edge, QPoint globalPos);

    // --- Sizes ---
    // The drag handle's size across the handle.
    int DragHandleSize() const;
    // The floating frame's border on each side.
    virtual QSize FloatingBorderSize() const;
    // The non-client size the window has on that dock: 4 x 4, plus the drag
    // handle along the dock when the dock allows dragging; (0, 0) without dock.
    virtual QSize DockedFrameSizeFor(const TDkDock* dock) const;
    QSize DockedFrameSize() const { return DockedFrameSizeFor(docked_ ? currentDock_ : nullptr); }
    // The floating form's non-client size: borders and caption.
    virtual QSize FloatingFrameSize() const;

    // --- What a descendant supplies ---
    // The client size of the content for a placement; with canMoveControls
    // the children are placed too.
    virtual QSize LayoutChildren(bool canMoveControls, PlacementKind kind, TDkDock* targetDock) = 0;
    // The client size of the content where the window is now, at its full
    // length (the dock works out the shrinking).
    virtual QSize NaturalSize() = 0;
    // Whether a client point is on a child that takes the press itself.
    virtual bool PointOnChildControl(QPoint clientPoint) const;
    virtual bool ChildLetsDragThrough(QWidget* child) const;
    virtual plat::TRect DockedCloseButtonBounds(bool vertical) const;
    // How far the window may shrink along the dock (size starts at the full
    // length); nothing by default.
    virtual void MinShrinkLength(int& size) const;
    // Client size limits; 0 for no maximum.
    virtual void ClientSizeLimits(int& minWidth, int& minHeight, int& maxWidth,
                                  int& maxHeight) const;
    virtual TDkShrinkMode ShrinkBehaviour() const { return dksmNone; }
    // The client size changes other than by the window's own layout.
    virtual void ClientSizeChanging(int newWidth, int newHeight);
    virtual void FireDockChangingHidden(bool floating, TDkDock* dockingTo);
    // Makes the floating form (the floating-form class of the window).
    virtual TDkFloatingWindowParent* CreateFloatingForm(QWidget* parentForm);
    // Raises when the window refuses to go into the container.
    virtual void ValidateContainer(QWidget* container) const;
    // Whether the floating form takes the keyboard focus.
    virtual bool FloatingFormAcceptsFocus() const { return true; }
    virtual void SizingBegin(int edge);
    virtual void SizingTrack(plat::TRect& rect, const plat::TRect& startRect);
    virtual void SizingApply();
    virtual void SizingEnd();
    virtual void ReadExtraPositionValues(const dk::TDkPositionReadData& data);
    virtual void ExtraPositionValuesRead();
    // Once every window of the form has its stored place and the docks are
    // arranged again: what depends on the room the other windows left.
    virtual void PositionsLoaded();
    virtual void WriteExtraPositionValues(const dk::TDkPositionWriteData& data);
    // Paints the docked frame, handle and close button.
    virtual void PaintFrameArea(QPainter& painter);
    // Its steps: the dock's background or the window's face, the grip lines,
    // the close button.
    void PaintDockedBackground(QPainter& painter, TDkDock& dock);
    void PaintDragHandle(QPainter& painter, bool vertical);
    void PaintDockedCloseButton(QPainter& painter, bool vertical);

    // --- Keys the form passes on ---
    // Whether the window takes menu events (a menu bar does): a dock offers
    // such a window, while it floats, the keys below as well.
    virtual bool TakesMenuEvents() const { return false; }
    // A key no control of the form took (Alt, Escape, ...); true when handled.
    virtual bool DialogKey(int key, Qt::KeyboardModifiers shift);
    // A character no control of the form took; true when handled.
    virtual bool DialogChar(QChar ch);
    // The system-menu key: Alt with a character, or 0 for Alt alone and
    // F10; true when handled.
    virtual bool SysKeyMenu(int key);

    // Whether the docked close button or the floating caption shows its
    // inactive look.
    bool InactiveCaption() const { return inactiveCaption_; }
    void SetInactiveCaption(bool value);
    // The docked close button's state: the pointer over it, a press held on it.
    bool CloseButtonHot() const { return closeHot_; }
    bool CloseButtonPressed() const { return closePressed_; }

    // Whether the window would go to that dock (allowed position, the dock
    // allows dragging, and the window's own check passes).
    bool AcceptsDock(TDkDock* dock) const;

    // 2000 on the docked frame and handle, 2001 on the docked close button.
    int NcHitTest(QPoint pos) const override;

    // --- The docking machinery's side: what its dock, its floating form and
    // the drag and sizing loops ask of the window and tell it ---
    // The window is being destroyed: docks leave it out of their rows.
    bool Destroying() const { return destroying_; }
    // DockRow and DockPos together, without arranging the dock (the caller
    // arranges it, or keeps an arrangement's result).
    void SetDockPlace(int row, int pos);
    // The drag loop asks for a row of its own before DockRow.
    bool NewRowBefore() const { return newRowBefore_; }
    void SetNewRowBefore(bool value) { newRowBefore_ = value; }
    // The dock's last arrangement placed the window there.
    void SetEffectivePlace(int row, int pos);
    // The dock gives the window its length along the dock: `shrunk`, or 0
    // for its full length. Answers the window's size across the dock;
    // `laidOut` tells that the content was laid out for a new length and
    // is to be arranged once the window has its bounds.
    int TakeShrunkLength(int shrunk, TDkDock* dock, bool& laidOut);
    // Sets the geometry without telling ClientSizeChanging.
    void SetBoundsLocked(const QRect& bounds);
    // The dock changed what the docked frame holds (the drag handle).
    void DockFrameChanged() { FrameChanged(); }
    // The dock or the floating form is going: the window forgets it.
    void DockDestroyed(TDkDock* dock);
    void FloatingFormDestroyed(TDkFloatingWindowParent* form);
    // The floating form moved: the floating position follows.
    void FloatingFormMoved(TDkFloatingWindowParent* form);
    // The floating frame's corners size in both directions.
    bool CornerSizing() const { return cornerSizing_; }
    // On one monitor the sizing loop keeps the cursor on the screen.
    bool ConfinesCursor() const { return confineCursor_; }
    // The forms added by AddDockForm.
    const std::vector<QPointer<QWidget>>& DockForms() const { return dockForms_; }
    // While a smooth drag runs, a floating form the window leaves is kept
    // for its return; FreeKeptForm lets it go when the window did not come
    // back to it.
    void SetSmoothDragging(bool value) { smoothDragging_ = value; }
    void FreeKeptForm();
    // The floating form takes the bounds (screen coordinates) and the window
    // the client size inside it; the content is laid out once, after both.
    void SetFloatingBounds(const QRect& formBounds, QSize clientSize);

protected:
    QMargins CalcNcMargins() const override;
    void NcPaint(QPainter& painter) override;
    void ClientPaint(QPainter& painter, const QRegion& region) override;
    void NcLButtonDown(int hit, QPoint globalPos) override;
    void NcLButtonDblClk(int hit, QPoint globalPos) override;
    void NcMouseMove(int hit, QPoint globalPos) override;
    void NcMouseLeave() override;
    std::optional<Qt::CursorShape> NcCursor(int hit, QPoint pos) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // A close by the window system or QWidget::close() goes the way of Close:
    // asked first, then hidden with OnClose.
    void closeEvent(QCloseEvent* event) override;

    // Color changed.
    virtual void ColorChanged() {}
    // The window has moved to a dock, a floating form or its form (the new
    // place is in force, the content not laid out yet).
    virtual void PlacementChanged() {}

    // Raised while the content must not be laid out; the last unlock lays
    // it out when that was asked for meanwhile. The content is laid out
    // with the shrunk length the dock gave (CurrentShrunkLength).
    void LockContent() { ++contentLock_; }
    void UnlockContent();

private:
    static void HookProc(dk::KitHookMessage& message);
    void ApplyShowing(bool show);
    void RunCloseButtonLoop();
    void SetCloseButtonState(bool hot, bool pressed);
    void PlaceFloatingForm();
    // The steps of SetParentControl: leaving the old dock, taking the new
    // parent and its state, letting the old floating form go (kept while a
    // smooth drag may come back to it) and joining the new dock or the
    // floating windows.
    // With the docks' arrangement, the content and the showing held.
    void ChangeParent(QWidget* newParent, TDkDock* newDock, TDkFloatingWindowParent* newForm);
    void LeaveDock(TDkDock* oldDock);
    void TakeParent(QWidget* newParent, TDkDock* newDock, TDkFloatingWindowParent* newForm);
    void ReleaseFloatingForm(TDkFloatingWindowParent* oldForm);
    void JoinNewPlace(TDkDock* newDock, TDkFloatingWindowParent* newForm);
    // The floating form takes the window's size plus its frame.
    void SyncFloatingForm();
    bool CanDrag() const;
    void RearrangeDock();

    // Properties.
    bool activateParent_ = true;
    bool autoResize_ = true;
    TDkBorderStyle borderStyle_ = bsSingle;
    bool closeButton_ = true;
    bool closeButtonWhenDocked_ = false;
    QPointer<TDkDock> currentDock_;
    QPointer<TDkDock> defaultDock_;
    TDkDockPositions dockableTo_ = AllDockPositions;
    TDkDockMode dockMode_ = dmCanFloat;
    int dockPos_ = -1;
    int dockRow_ = 0;
    TDkDragHandleStyle dragHandleStyle_ = dhSingle;
    TDkFloatingMode floatingMode_ = fmOnTopOfParentForm;
    bool fullSize_ = false;
    bool hideWhenInactive_ = true;
    QPointer<TDkDock> lastDock_;
    bool resizable_ = true;
    bool showCaption_ = true;
    bool smoothDrag_ = true;
    bool stretch_ = false;
    bool useLastDock_ = true;
    plat::TColor color_ = plat::clBtnFace;
    bool visible_ = true;

    // State.
    bool docked_ = false;
    bool floating_ = false;
    int effectiveRow_ = -1;
    int effectivePos_ = 0;
    bool newRowBefore_ = false; // the drag loop asks for a row of its own
    int shrunkLength_ = 0;
    int lastCrossSize_ = 0; // across the dock, at its last placement
    QPoint floatingPos_;
    QPointer<TDkFloatingWindowParent> floatingForm_;
    QPointer<TDkFloatingWindowParent> keptForm_;
    QPointer<QWidget> parentForm_;
    std::vector<QPointer<QWidget>> dockForms_;
    bool closeHot_ = false;
    bool closePressed_ = false;
    bool inactiveCaption_ = false;
    bool smoothDragging_ = false;
    int contentLock_ = 0;
    bool contentPending_ = false;
    int dockChangeLock_ = 0;
    int hiddenLock_ = 0;
    int sizingLock_ = 0;
    QSize lockedSize_;     // set under the sizing lock, its resize event not seen yet
    int showingApply_ = 0; // the window itself shows or hides
    bool loading_ = false;
    bool destroying_ = false;
    bool cornerSizing_ = true;
    bool confineCursor_ = true;
    quint64 serial_ = 0;
};
