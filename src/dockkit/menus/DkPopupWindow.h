#pragma once
// The window of every submenu, drop-down and context menu: a top-level tool
// window without caption that hosts one view of the subitems of the item
// that opened it, with a three-pixel frame, scroll arrows for menus taller
// than the screen, and fading or sliding in as the desktop asks.

#include "dockkit/items/DkItem/DkItem.h"
#include "dockkit/items/DkView/DkView.h"

#include "platform/gui/Colors.h"
#include "platform/gui/Rect.h"

#include <QPointer>
#include <QWidget>

#include <vector>

// Where a new pop-up goes; its opener fills it in and the item's
// GetPopupPosition adjusts it.
struct TDkPopupPositionRec {
    bool PositionAsSubmenu = false;
    TDkPopupAlignment Alignment = dkpaLeft;
    // Submenus open towards the other side (inherited from the parent view).
    bool Opposite = false;
    plat::TRect MonitorRect;    // the work area the pop-up stays in
    plat::TRect ParentItemRect; // the opening viewer on the screen
    QPoint NCSize;              // the window's frame
    int X = 0;
    int Y = 0;
    int W = 0;
    int H = 0;
    unsigned AnimDir = 0; // dk::adRightToLeft ...
    bool PlaySound = false;
};

namespace dk {

// How long a pop-up takes to fade or slide in.
constexpr int kPopupAnimationMs = 150;

// What the placement of a pop-up knows of the view it opens from.
struct PopupOpener {
    bool Present = false;  // a view opens it (else it opens at a point)
    bool Vertical = false; // a vertical tool bar
    // A drop-down's opener: its shown viewers on the screen.
    std::vector<plat::TRect> ViewerRects;
};

// The placement's arithmetic: keeps the pop-up in the work area, opens a
// submenu on the other side where it does not fit, moves a drop-down above
// or beside its item where that covers fewer of the opener's viewers, and
// picks the side the animation comes from. Answers whether a submenu opened
// on the other side.
bool ArrangePopup(const PopupOpener& opener, TDkPopupPositionRec& rec);

// The kit's placement of a pop-up from the view it opens from (null: at a
// point); a submenu that opens on the other side marks its pop-up view so
// that its own submenus follow.
void PlacePopup(TDkView* parentView, TDkView* popupView, TDkPopupPositionRec& rec);

} // namespace dk

// The view of a pop-up window: measures with the window's font.
class TDkPopupView : public TDkView {
    Q_OBJECT
public:
    using TDkView::TDkView;
    QFont GetFont() const override;
    // The pop-up window paints the background (TDkPopupWindow::PaintViewBackground).
    void PaintBackground(QPainter& canvas, const QRect& area) override;
};

class TDkPopupWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kFrameSize = 3;

    // A hidden pop-up for the subitems of `item`, in the parent view's font
    // (the menu font without one).
    TDkPopupWindow(TDkView* parentView, TDkCustomItem* item, bool customizing);
    // Closes the view's pop-ups and ends the window's animation first.
    ~TDkPopupWindow() override;

    TDkPopupView* View() const { return view_; }
    TDkView* ParentView() const { return parentView_; }
    unsigned AnimationDirection() const { return animationDirection_; }
    void SetAnimationDirection(unsigned value) { animationDirection_ = value; }
    plat::TColor Color() const { return color_; }
    void SetColor(plat::TColor value);
    // Takes the font the pop-up shows in: the parent view's, or the kit's
    // menu font without one (which the desktop may have changed since the
    // window was made).
    void TakeFont();

    // Showing goes through the desktop's menu animation setting: with it, a
    // pop-up that opens with nothing selected fades or slides in (and gets
    // notification 2 when done), else it shows at once (notification 3).
    void setVisible(bool visible) override;

protected:
    // The frame in the non-client ring.
    virtual void PaintFrame(QPainter& painter);
    // The scroll arrow bands (client coordinates).
    virtual void PaintScrollArrows(QPainter& painter);
    // Paints over the view's background colour in the area (client
    // coordinates); nothing by default.
    virtual void PaintViewBackground(QPainter& canvas, const QRect& area);
    friend class TDkPopupView;

    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    // Accepts: the application quits only when every window closes.
    void closeEvent(QCloseEvent* event) override;

private:
    QPointer<TDkView> parentView_;
    TDkPopupView* view_ = nullptr;
    unsigned animationDirection_ = 0;
    plat::TColor color_ = plat::clMenu;
};
