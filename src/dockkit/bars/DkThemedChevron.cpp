#include "dockkit/bars/DkThemedChevron.h"

#include "dockkit/themes/DkNexus.h"
#include "dockkit/themes/DkThemedItem.h"

// --- The chevron item ---------------------------------------------------------------------

std::unique_ptr<TDkItemViewer> TDkxChevronItem::CreateViewer(TDkView* view, int groupLevel) {
    return std::make_unique<TDkxChevronItemViewer>(view, this, groupLevel);
}

TDkPopupWindow* TDkxChevronItem::CreatePopupWindow(TDkView* parentView, TDkCustomItem* shownItem,
                                                   bool customizing) {
    return new TDkxChevronPopupWindow(parentView, shownItem, customizing);
}

void TDkxChevronItem::GetPopupPosition(TDkView* parentView, TDkPopupWindow* popupWindow,
                                       TDkPopupPositionRec& rec) {
    dk::PlaceThemedPopup(this, parentView, popupWindow, rec);
}

// --- Its viewer ---------------------------------------------------------------------------

void TDkxChevronItemViewer::CalcSize(QPainter& /*canvas*/, int& width, int& height) {
    width = dk::kChevronSize;
    height = dk::kChevronSize;
}

void TDkxChevronItemViewer::Paint(QPainter& canvas, const plat::TRect& clientArea, bool isHoverItem,
                                  bool isPushed, bool /*useDisabledShadow*/) {
    dk::CurrentTheme().DrawChevronGlyph(canvas, clientArea, ItemInfo(isHoverItem, isPushed));
}

// --- Its pop-up ---------------------------------------------------------------------------

TDkxChevronPopupWindow::TDkxChevronPopupWindow(TDkView* parentView, TDkCustomItem* item,
                                               bool customizing)
    : TDkxPopupWindow(parentView, item, customizing) {
    // The base took the plain pop-up's look: this one is of its own kind.
    ApplyTheme();
}

unsigned TDkxChevronPopupWindow::ViewKind() const {
    return dk::ViewChevronPopup;
}

void TDkxChevronPopupWindow::setVisible(bool visible) {
    if (visible && !isVisible()) {
        // The opener gave the plain chevron pop-up's colour meanwhile.
        SetColor(dk::CurrentTheme().GetViewBackColor(ViewKind()));
    }
    TDkxPopupWindow::setVisible(visible);
}
