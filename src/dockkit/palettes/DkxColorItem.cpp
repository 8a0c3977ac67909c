#include "dockkit/palettes/DkxColorItem.h"

#include "dockkit/themes/DkThemeUtils.h"

#include "platform/gui/Edges.h"

namespace {

constexpr int kToolbarSwatch = 12;
constexpr int kMenuSwatch = 16;
constexpr int kMenuInset = 2;

} // namespace

void TDkxColorItem::SetColor(plat::TColor value) {
    if (color_ != value) {
        color_ = value;
        Change(false);
    }
}

std::unique_ptr<TDkItemViewer> TDkxColorItem::CreateViewer(TDkView* view, int groupLevel) {
    return std::make_unique<TDkxColorItemViewer>(view, this, groupLevel);
}

QSize TDkxColorItemViewer::ImageSize() const {
    const int side = IsToolbarStyle() ? kToolbarSwatch : kMenuSwatch;
    return {side, side};
}

bool TDkxColorItemViewer::ThemedImageShown() const {
    return ImageShownByDisplayMode();
}

void TDkxColorItemViewer::DoDrawImage(QPainter& canvas, const plat::TRect& imageRect,
                                      const dk::TDkxItemInfo& info) {
    plat::TRect r = imageRect;
    if (dk::IsViewKind(info.ViewKind, dk::ViewToolBoxPopup)) {
        // Painting happens in the item's own coordinates: x = 0 is its left.
        const int width = r.Width();
        r.Left = (BoundsRect.Width() - width) / 2;
        r.Right = r.Left + width;
    }
    if (!info.Enabled) {
        r.Right += 1;
        r.Bottom += 1;
        plat::DrawEdge(canvas, r, plat::EDGE_ETCHED, plat::BF_RECT);
        return;
    }
    if (!IsToolbarStyle()) {
        r.Inflate(-kMenuInset, -kMenuInset);
    }
    const plat::TColor color = static_cast<const TDkxColorItem*>(Item())->Color();
    if (color == plat::clNone) {
        return;
    }
    dk::FrameRectColor(canvas, r, plat::clBtnShadow, true);
    dk::FillRectColor(canvas, r, color);
}
