// Where a pop-up goes: the arithmetic of its placement on the work area.

#include "dockkit/menus/DkPopupWindow.h"

#include "dockkit/common/DkPopupAnimation.h"

#include <algorithm>

namespace dk {

namespace {

plat::TRect Area(int x, int y, const TDkPopupPositionRec& rec) {
    return plat::TRect(x, y, x + rec.W, y + rec.H);
}

// Below the work area: above the item (a submenu: ending at the item's
// bottom), else as far up as it must; never above the top.
void KeepWithinHeight(TDkPopupPositionRec& rec, bool vertical) {
    const plat::TRect& m = rec.MonitorRect;
    const plat::TRect& p = rec.ParentItemRect;
    if (rec.Y + rec.H > m.Bottom && !vertical) {
        const int above = (rec.PositionAsSubmenu ? p.Bottom + rec.NCSize.y() : p.Top) - rec.H;
        if (above >= m.Top) {
            rec.Y = above;
        }
    }
    rec.Y = std::max(std::min(rec.Y, m.Bottom - rec.H), m.Top);
}

// A submenu opens on the other side of its item where it does not fit, or
// where its menu did so (unless there is no room there). Answers whether it
// opens on the other side.
bool PlaceSubmenu(const PopupOpener& opener, TDkPopupPositionRec& rec) {
    const plat::TRect& m = rec.MonitorRect;
    const int other = (opener.Present ? rec.ParentItemRect.Left + rec.NCSize.x() : rec.X) - rec.W;
    if (rec.Opposite && other < m.Left) {
        rec.Opposite = false;
    }
    const bool opposite = rec.Opposite || rec.X + rec.W > m.Right;
    if (opposite) {
        rec.X = other;
    }
    rec.X = std::max(rec.X, m.Left);
    return opposite;
}

// How many of the opener's viewers a pop-up at (x, y) would hide.
int Covered(const PopupOpener& opener, const TDkPopupPositionRec& rec, int x, int y) {
    const plat::TRect area = Area(x, y, rec);
    return static_cast<int>(
        std::count_if(opener.ViewerRects.begin(), opener.ViewerRects.end(), [&](const auto& r) {
            return !r.IsEmpty() && plat::IntersectRect(r, area) == r;
        }));
}

bool OverlapsItem(const TDkPopupPositionRec& rec, int x, int y) {
    return !plat::IntersectRect(Area(x, y, rec), rec.ParentItemRect).IsEmpty();
}

// A drop-down or context menu stays on the work area; a drop-down moves
// above its item (beside it on a vertical tool bar) where that hides fewer
// of the opener's viewers, and off its item where it would cover it.
void PlaceDropDown(const PopupOpener& opener, TDkPopupPositionRec& rec) {
    const plat::TRect& m = rec.MonitorRect;
    const plat::TRect& p = rec.ParentItemRect;
    int& x = rec.X;
    int& y = rec.Y;
    const int w = rec.W;
    if (!opener.Present && rec.Alignment == dkpaRight && x < m.Left) {
        x += w;
    }
    if (x + w > m.Right) {
        x = opener.Present || rec.Alignment != dkpaLeft ? m.Right - w : x - w;
    }
    x = std::max(x, m.Left);
    const auto better = [&](int toX, int toY) {
        const int here = Covered(opener, rec, x, y);
        const int there = Covered(opener, rec, toX, toY);
        return there < here || (there == here && OverlapsItem(rec, x, y));
    };
    if (opener.Vertical) {
        if (p.Right + w <= m.Right && better(p.Right, y)) {
            x = p.Right;
        }
        if (OverlapsItem(rec, x, y)) {
            y = std::max(p.Bottom + rec.H <= m.Bottom ? p.Bottom : p.Top - rec.H, m.Top);
        }
        return;
    }
    const int above = p.Top - rec.H;
    if (above >= m.Top && better(x, above)) {
        y = above;
    }
    if (OverlapsItem(rec, x, y)) {
        x = std::max(p.Right + w <= m.Right ? p.Right : p.Left - w, m.Left);
    }
}

// A submenu unrolls away from its item's middle; other pop-ups from the
// sides of the item they are beyond.
unsigned AnimationDirection(const TDkPopupPositionRec& rec) {
    const plat::TRect& p = rec.ParentItemRect;
    if (rec.PositionAsSubmenu) {
        return (rec.X + (rec.X + rec.W)) / 2 < (p.Left + p.Right) / 2 ? adRightToLeft
                                                                      : adLeftToRight;
    }
    unsigned directions = 0;
    if (rec.Y >= p.Bottom) {
        directions |= adTopToBottom;
    } else if (rec.Y + rec.H <= p.Top) {
        directions |= adBottomToTop;
    }
    if (rec.X >= p.Right) {
        directions |= adLeftToRight;
    } else if (rec.X + rec.W <= p.Left) {
        directions |= adRightToLeft;
    }
    return directions;
}

} // namespace

bool ArrangePopup(const PopupOpener& opener, TDkPopupPositionRec& rec) {
    KeepWithinHeight(rec, opener.Vertical);
    bool opposite = false;
    if (rec.PositionAsSubmenu) {
        opposite = PlaceSubmenu(opener, rec);
    } else {
        PlaceDropDown(opener, rec);
    }
    rec.AnimDir = AnimationDirection(rec);
    return opposite;
}

} // namespace dk
