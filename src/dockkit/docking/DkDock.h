#pragma once
// A dock: the bar along one edge of a form that holds dockable windows (tool
// bars, dockable panels) in rows. It keeps the windows that belong to it,
// arranges the shown ones into rows whenever something changes, sizes itself
// across to the rows it needs, paints an optional shared background and draws
// bound lines on chosen edges. The form places it with the align layout.

#include "dockkit/common/DkNcWidget.h"
#include "dockkit/common/DkTexts.h"
#include "dockkit/docking/DkDockRows.h"

#include "platform/gui/AlignLayout.h"
#include "platform/gui/Colors.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <vector>

class TDkCustomDockableWindow;

// Raised for an operation the control does not allow in its state.
PLAT_DECLARE_EXCEPTION(EInvalidOperation, TDkException);

enum TDkDockPosition { dpTop, dpBottom, dpLeft, dpRight };
// A set of dock positions.
using TDkDockPositions = unsigned;
constexpr TDkDockPositions DockPositionBit(TDkDockPosition position) {
    return 1u << static_cast<unsigned>(position);
}
constexpr TDkDockPositions AllDockPositions = 0xF;

// The edges of a dock that carry a one-pixel bound line.
using TDkDockBoundLines = unsigned;
constexpr TDkDockBoundLines blTop = 0x1;
constexpr TDkDockBoundLines blBottom = 0x2;
constexpr TDkDockBoundLines blLeft = 0x4;
constexpr TDkDockBoundLines blRight = 0x8;

// Where a dockable window is.
enum PlacementKind { pkNotDocked, pkFloating, pkHorizontalDock, pkVerticalDock };

// A picture shared by docks and the windows on them. Listeners are told when
// it changes.
class TDkBasicBackground : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Paints the part of the picture in `rect` (the form's client coordinates
    // of the painter's origin are the caller's business).
    virtual void PaintBackground(QPainter& painter, const QRect& rect) = 0;
    // Palettes mean nothing in true colour: 0.
    virtual int BackgroundPalette() { return 0; }
    virtual void AddChangeListener(const void* listener, std::function<void()> changed) = 0;
    virtual void SystemColorsChanged() = 0;
    virtual void RemoveChangeListener(const void* listener) = 0;
    virtual bool HasBackground() = 0;
};

class TDkDock : public dk::DkNcWidget {
    Q_OBJECT
public:
    // A dock at the position; it joins the parent's align layout when the
    // parent has one. A dockable window or another dock cannot be the parent
    // (EInvalidOperation).
    explicit TDkDock(QWidget* parent, TDkDockPosition position = dpTop);
    ~TDkDock() override;
    TDkDock(const TDkDock&) = delete;
    TDkDock& operator=(const TDkDock&) = delete;

    // --- Properties ---
    bool AllowDrag() const { return allowDrag_; }
    void SetAllowDrag(bool value);
    TDkBasicBackground* Background() const { return background_; }
    void SetBackground(TDkBasicBackground* value);
    bool BackgroundOnToolbars() const { return backgroundOnToolbars_; }
    void SetBackgroundOnToolbars(bool value);
    TDkDockBoundLines BoundLines() const { return boundLines_; }
    void SetBoundLines(TDkDockBoundLines value);
    plat::TColor Color() const { return color_; }
    void SetColor(plat::TColor value);
    bool FixAlign() const { return fixAlign_; }
    void SetFixAlign(bool value);
    bool LimitToOneRow() const { return limitToOneRow_; }
    void SetLimitToOneRow(bool value);
    TDkDockPosition Position() const { return position_; }
    // EInvalidOperation "Cannot change Position of a TDkDock if it already
    // contains controls" while it holds child widgets.
    void SetPosition(TDkDockPosition value);
    bool IsVertical() const { return position_ == dpLeft || position_ == dpRight; }
    static plat::Align AlignOf(TDkDockPosition position);

    // Moves the dock to another parent, with the parent check of construction.
    void SetParentControl(QWidget* parent);

    // (dock, inserting, window): a window became or stopped being shown here.
    std::function<void(TDkDock*, bool, TDkCustomDockableWindow*)> OnInsertRemoveBar;
    // (dock, window, accept): asked during a drag before the dock takes the
    // window; accept starts true.
    std::function<void(TDkDock*, TDkCustomDockableWindow*, bool&)> OnRequestDock;

    // --- Background ---
    virtual void PaintDockBackground(QPainter& painter, const QRect& rect);
    virtual bool HasDockBackground() const;

    // --- Loading: arrangement waits until Loaded ---
    void BeginLoading() { loading_ = true; }
    void Loaded();
    bool Loading() const { return loading_; }
    // The dock is being destroyed: its windows no longer report to it.
    bool Destroying() const { return destroying_; }

    // --- Arrangement ---
    void LockArrangement();
    void UnlockArrangement();
    // Arranges the shown windows in rows and sizes the dock (deferred while
    // locked or loading).
    void ArrangeRows();

    // --- Membership (the dockable windows keep these up to date) ---
    void UpdateDockMembership(bool insert, TDkCustomDockableWindow* window);
    void UpdateVisibleMembership(TDkCustomDockableWindow* window, bool forceRemove);
    int DockWindowCount() const { return static_cast<int>(dockList_.size()); }
    TDkCustomDockableWindow* DockWindows(int index) const;
    int VisibleWindowCount() const { return static_cast<int>(visibleList_.size()); }
    TDkCustomDockableWindow* VisibleWindows(int index) const;
    bool HoldsWindow(const TDkCustomDockableWindow* window) const;

    // --- Rows, for dragging and sizing ---
    // Copies every shown window's arranged row and position into its DockRow
    // and DockPos.
    void StoreEffectivePositions();
    // The highest DockRow (or arranged row) of the dock's windows; -1 without.
    int HighestRow(bool effective) const;
    struct RowThickness {
        int Thickness = 0;
        bool HasFullSize = false;
    };
    // The thickness of an arranged row across the dock.
    RowThickness RowThicknessOf(int row) const;
    // The row at a cross offset (client coordinates); one past the highest
    // row beyond all rows.
    int RowAtOffset(int offset) const;

    // --- The drag loop's hold on the dock ---
    TDkCustomDockableWindow* DraggedWindow() const { return draggedWindow_; }
    void SetDraggedWindow(TDkCustomDockableWindow* window) { draggedWindow_ = window; }
    bool RowPushMode() const { return rowPush_; }
    void SetRowPushMode(bool value) { rowPush_ = value; }
    bool CommitPositions() const { return commit_; }
    void SetCommitPositions(bool value) { commit_ = value; }
    bool DraggedSqueezed() const { return squeezed_; }
    void SetDraggedSqueezed(bool value) { squeezed_ = value; }

    // --- Keys the form passes on ---
    // Offers a dialog key, a dialog character or the system-menu key to each
    // window of the dock that takes menu events and floats, shows and is
    // enabled (a docked one gets them as a control of the form); true at the
    // first that handles it.
    bool DialogKey(int key, Qt::KeyboardModifiers shift);
    bool DialogChar(QChar ch);
    bool SysKeyMenu(int key);

    // The non-client sizes the bound lines take (one pixel per line).
    int BoundLinesWidth() const;
    int BoundLinesHeight() const;

protected:
    QMargins CalcNcMargins() const override;
    void NcPaint(QPainter& painter) override;
    void ClientPaint(QPainter& painter, const QRegion& region) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    static void CheckParent(QWidget* parent);
    void BackgroundChanged();
    void RepaintWithWindows();
    void RemoveDestroyed();
    int Length() const;
    // The steps of ArrangeRows: the dock's size across its rows, its windows
    // in the dock's order, the shown ones as the row arithmetic takes them,
    // and one row's windows placed (answering the row's thickness).
    void SetThickness(int across);
    std::vector<TDkCustomDockableWindow*> WindowsInDockOrder() const;
    std::vector<dk::DockRowWindow>
    RowWindows(const std::vector<TDkCustomDockableWindow*>& shown) const;
    int PlaceRow(int row, int offset, const std::vector<TDkCustomDockableWindow*>& shown,
                 const std::vector<dk::DockRowWindow>& input, const dk::DockRowResult& result);
    // The floating windows taking menu events, in the dock's order.
    std::vector<QPointer<TDkCustomDockableWindow>> FloatingMenuWindows() const;

    bool allowDrag_ = true;
    QPointer<TDkBasicBackground> background_;
    bool backgroundOnToolbars_ = true;
    TDkDockBoundLines boundLines_ = 0;
    plat::TColor color_ = plat::clBtnFace;
    bool fixAlign_ = false;
    bool limitToOneRow_ = false;
    TDkDockPosition position_ = dpTop;

    std::vector<QPointer<TDkCustomDockableWindow>> dockList_;
    std::vector<QPointer<TDkCustomDockableWindow>> visibleList_;
    int lockCount_ = 0;
    bool arrangePending_ = false;
    bool loading_ = false;
    bool destroying_ = false;
    int arrangedLength_ = -1;
    QPointer<TDkCustomDockableWindow> draggedWindow_;
    bool rowPush_ = false;
    bool commit_ = false;
    bool squeezed_ = false;
};
