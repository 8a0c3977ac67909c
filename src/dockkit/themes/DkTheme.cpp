#include "dockkit/themes/DkTheme.h"

#include "dockkit/themes/DkNexus.h"
#include "dockkit/themes/DkThemeUtils.h"

#include "platform/gui/Metrics.h"

dk::TDkxMargins TDkxTheme::GetPartMargins(int kind) {
    switch (kind) {
    case dk::MarginToolbarItem:
        return {2, 2, 2, 2};
    case dk::MarginStatusPanel:
        return {1, 3, 1, 1};
    default:
        return {};
    }
}

void TDkxTheme::DrawViewBackground(QPainter& canvas, const plat::TRect& rect,
                                   const plat::TRect& clip, plat::TColor color, bool transparent,
                                   unsigned /*viewKind*/) {
    if (!transparent) {
        dk::FillRectColor(canvas, plat::IntersectRect(rect, clip), color);
    }
}

namespace dk {

int LookUpIntegerValue(std::span<const ThemeIntegerValue> table, int index) {
    for (const ThemeIntegerValue& entry : table) {
        if (entry.Index == index) {
            return entry.Value;
        }
    }
    return -1;
}

unsigned ItemStateFlags(const TDkxItemInfo& info) {
    unsigned flags = 0;
    if (!info.Enabled) {
        flags |= ItemStateDisabled;
    }
    if (info.HoverKind == HoverMouse) {
        flags |= ItemStateHot;
    }
    if (info.Pushed) {
        flags |= ItemStatePushed;
    }
    if (info.Selected) {
        flags |= ItemStateSelected;
    }
    return flags;
}

plat::TRect GetFloatingCaptionRect(const TDkxFloatingBorderInfo& info, bool reserveClose,
                                   bool offset) {
    plat::TRect rect(0, 0, info.ClientWidth, plat::GetSystemMetrics(plat::SM_CYSMCAPTION) - 1);
    if (reserveClose) {
        // The reserved room is the close square, as high as the band.
        rect.Right -= rect.Height();
    }
    if (offset) {
        rect.Offset(info.BorderSize.x(), info.BorderSize.y());
    }
    return rect;
}

plat::TRect GetFloatingCloseRect(const TDkxFloatingBorderInfo& info, bool offset) {
    plat::TRect rect = GetFloatingCaptionRect(info, false, offset);
    rect.Left = rect.Right - rect.Height();
    return rect;
}

int GetDragHandleSize(const TDkxToolbarInfo& info) {
    if (!info.DragHandleShown) {
        return 0;
    }
    if ((info.CloseButtonState & CloseButtonShown) != 0) {
        return 14;
    }
    switch (info.DragHandleStyle) {
    case DragHandleDouble:
        return 9;
    case DragHandleSingle:
        return 6;
    default:
        return 0;
    }
}

plat::TRect GetDragHandleCloseRect(const TDkxToolbarInfo& info) {
    const int side = GetDragHandleSize(info) - 1;
    if (side <= 0) {
        return {};
    }
    const int top = info.BorderSize.y();
    if (info.Vertical) {
        const int right = info.BorderSize.x() + info.ClientWidth;
        return {right - side, top, right, top + side};
    }
    const int left = info.BorderSize.x();
    return {left, top, left + side, top + side};
}

TDkxItemInfo PanelItemInfo(unsigned flags, bool forCaption) {
    TDkxItemInfo info;
    const bool disabled = (flags & PanelDisabled) != 0;
    const bool selected = (flags & PanelSelected) != 0;
    info.ViewKind = forCaption && (disabled || selected) ? ViewPanelClass : ViewToolbarClass;
    info.ItemOptions = ItemToolbarStyle;
    info.Enabled = !disabled;
    info.Pushed = (flags & PanelPushed) != 0;
    info.HoverKind = (flags & PanelHot) != 0 ? HoverMouse : HoverNone;
    info.Selected = selected;
    return info;
}

void DrawPanelCaption(QPainter& canvas, const plat::TRect& rect, const QString& text,
                      unsigned flags, unsigned format) {
    CurrentTheme().DrawItemCaption(canvas, rect, PanelItemInfo(flags, true), text, format, false);
}

void DrawPanelImage(QPainter& canvas, const plat::TRect& rect, const plat::ImageList* images,
                    int index, unsigned flags) {
    CurrentTheme().DrawItemImage(canvas, rect, PanelItemInfo(flags, false), images, index);
}

} // namespace dk
