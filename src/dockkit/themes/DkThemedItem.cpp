#include "dockkit/themes/DkThemedItem.h"

#include "dockkit/items/DkView/DkView.h"
#include "dockkit/menus/DkPopupWindow.h"
#include "dockkit/themes/DkNexus.h"
#include "dockkit/themes/DkThemedPopup.h"
#include "dockkit/themes/DkThemedViewer.h"

#include <algorithm>
#include <cstdlib>

namespace dk {

void ScaleItemFont(QFont& font, TDkxFontSize size) {
    if (size == dkxfNormal) {
        return;
    }
    // A pixel size counts as that many points, as a negative size would.
    const int current = font.pointSize() > 0 ? font.pointSize() : std::abs(font.pixelSize());
    const int scaled = size == dkxfSmaller ? current * 7 / 8 : current * 9 / 8;
    font.setPointSize(std::max(scaled, 1));
}

void PlaceThemedPopup(TDkCustomItem* item, TDkView* parentView, TDkPopupWindow* popupWindow,
                      TDkPopupPositionRec& rec) {
    const bool join = CurrentTheme().GetBooleanValue(ValueJoinPopups);
    const bool dropDown = join && !rec.PositionAsSubmenu && parentView != nullptr;
    if (join && rec.PositionAsSubmenu) {
        // The pop-up's outer edge starts at the item's right edge and top.
        rec.X += rec.NCSize.x();
        rec.Y += rec.NCSize.y();
        rec.NCSize = QPoint(0, 0);
    } else if (dropDown) {
        // The pop-up overlaps the item's edge by a pixel.
        rec.NCSize = QPoint(0, 0);
        plat::TRect& itemRect = rec.ParentItemRect;
        const int oldRight = itemRect.Right;
        --itemRect.Right;
        if (rec.X == oldRight) {
            --rec.X;
        }
        if (rec.X + rec.W <= itemRect.Left) {
            ++rec.X;
        }
        const int oldBottom = itemRect.Bottom;
        --itemRect.Bottom;
        if (rec.Y == oldBottom) {
            --rec.Y;
        }
        if (rec.Y + rec.H <= itemRect.Top) {
            ++rec.Y;
        }
        --rec.W;
        --rec.H;
    }
    item->TDkCustomItem::GetPopupPosition(parentView, popupWindow, rec);
    if (dropDown) {
        ++rec.W;
        ++rec.H;
    }
}

} // namespace dk

// --- TDkxCustomItem ---------------------------------------------------------------------

TDkxCustomItem::TDkxCustomItem(QObject* owner) : TDkCustomItem(owner) {}

void TDkxCustomItem::SetFontSize(TDkxFontSize value) {
    if (fontSize_ != value) {
        fontSize_ = value;
        Change(true);
    }
}

void TDkxCustomItem::SetLayout(TDkxItemLayout value) {
    if (layout_ != value) {
        layout_ = value;
        Change(true);
    }
}

void TDkxCustomItem::SetMinHeight(int value) {
    if (minHeight_ != value) {
        minHeight_ = value;
        Change(true);
    }
}

void TDkxCustomItem::SetMinWidth(int value) {
    if (minWidth_ != value) {
        minWidth_ = value;
        Change(true);
    }
}

void TDkxCustomItem::SetStretch(bool value) {
    SetItemStyle(value ? ItemStyle() | dk::StyleStretch
                       : static_cast<dk::ItemStyle>(ItemStyle() & ~dk::StyleStretch));
}

std::unique_ptr<TDkItemViewer> TDkxCustomItem::CreateViewer(TDkView* view, int groupLevel) {
    return std::make_unique<TDkxItemViewer>(view, this, groupLevel);
}

TDkPopupWindow* TDkxCustomItem::CreatePopupWindow(TDkView* parentView, TDkCustomItem* shownItem,
                                                  bool customizing) {
    return new TDkxPopupWindow(parentView, shownItem, customizing);
}

void TDkxCustomItem::GetPopupPosition(TDkView* parentView, TDkPopupWindow* popupWindow,
                                      TDkPopupPositionRec& rec) {
    dk::PlaceThemedPopup(this, parentView, popupWindow, rec);
    if (parentView != nullptr &&
        dk::IsViewKind(dk::GetViewKind(parentView->Window()), dk::ViewEditPopup)) {
        rec.PlaySound = false;
    }
}

// --- TDkxSubmenuItem ---------------------------------------------------------------------

TDkxSubmenuItem::TDkxSubmenuItem(QObject* owner) : TDkxCustomItem(owner) {
    SetItemStyle(ItemStyle() | dk::StyleSubmenu);
}

void TDkxSubmenuItem::SetDropdownCombo(bool value) {
    if (value == DropdownCombo()) {
        return;
    }
    SetItemStyle(value ? ItemStyle() | dk::StyleCombo
                       : static_cast<dk::ItemStyle>(ItemStyle() & ~dk::StyleCombo));
    Change(true);
}

TDkPopupWindow* TDkxSubmenuItem::CreatePopup(TDkView* parentView, TDkItemViewer* parentViewer,
                                             bool positionAsSubmenu, bool selectFirstItem,
                                             bool customizing, QPoint popupPoint,
                                             TDkPopupAlignment alignment) {
    return TDkxCustomItem::CreatePopup(parentView, parentViewer, positionAsSubmenu,
                                       selectFirstItem || alwaysSelectFirst_, customizing,
                                       popupPoint, alignment);
}

// --- TDkxSeparatorItem, TDkxRootItem --------------------------------------------------------

void TDkxSeparatorItem::SetSize(int value) {
    value = std::max(value, -1);
    if (size_ != value) {
        size_ = value;
        Change(true);
    }
}

std::unique_ptr<TDkItemViewer> TDkxSeparatorItem::CreateViewer(TDkView* view, int groupLevel) {
    return std::make_unique<TDkxSeparatorItemViewer>(view, this, groupLevel);
}

TDkPopupWindow* TDkxRootItem::CreatePopupWindow(TDkView* parentView, TDkCustomItem* shownItem,
                                                bool customizing) {
    return new TDkxPopupWindow(parentView, shownItem, customizing);
}
