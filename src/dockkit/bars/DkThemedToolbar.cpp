#include "dockkit/bars/DkThemedToolbar.h"

#include "dockkit/bars/DkThemedChevron.h"
#include "dockkit/docking/DkThemedFloatingParent.h"
#include "dockkit/themes/DkNexus.h"

#include <QChildEvent>
#include <QPainter>

namespace {

// Paints the dock's picture over `area` (the painter's coordinates, whose
// origin is `origin` in the bar) when the dock shows one on its bars.
bool PaintDockPicture(QPainter& painter, const TDkCustomDockableWindow& bar, QPoint origin,
                      const QRect& area) {
    TDkDock* dock = bar.Docked() ? bar.CurrentDock() : nullptr;
    if (dock == nullptr || !dock->BackgroundOnToolbars() || !dock->HasDockBackground()) {
        return false;
    }
    // The picture lines up across docks and bars: its origin is the form's.
    const QPoint offset = bar.mapTo(bar.window(), origin);
    painter.save();
    painter.translate(-offset);
    dock->PaintDockBackground(painter, area.translated(offset));
    painter.restore();
    return true;
}

} // namespace

// --- The view ------------------------------------------------------------------------------

const TDkxToolbar* TDkxToolbarView::ThemedBar() const {
    return qobject_cast<const TDkxToolbar*>(Toolbar());
}

QMargins TDkxToolbarView::GetMargins(TDkViewOrientation orientation) const {
    const TDkxToolbar* bar = ThemedBar();
    if (bar == nullptr) {
        return TDkToolbarView::GetMargins(orientation);
    }
    // A layout for a dock measured while floating is the docked kind's.
    PlacementKind placement = bar->Placement();
    if (orientation == dkvoFloating) {
        placement = pkFloating;
    } else if (placement == pkFloating) {
        placement = orientation == dkvoVertical ? pkVerticalDock : pkHorizontalDock;
    }
    const unsigned kind = bar->ViewKindFor(placement);
    const dk::TDkxMargins m = dk::CurrentTheme().GetViewMargins(kind);
    return {m.Left, m.Top, m.Right, m.Bottom};
}

void TDkxToolbarView::PaintBackground(QPainter& canvas, const QRect& area) {
    const TDkxToolbar* bar = ThemedBar();
    if (bar == nullptr) {
        return;
    }
    const bool transparent = PaintDockPicture(canvas, *bar, bar->ClientOrigin(), area);
    const QSize client = bar->ClientSize();
    dk::CurrentTheme().DrawViewBackground(
        canvas, plat::TRect(0, 0, client.width(), client.height()), plat::TRect(area),
        bar->EffectiveColor(), transparent, bar->ViewKind());
}

// --- Construction --------------------------------------------------------------------------

TDkxToolbar::TDkxToolbar(QWidget* form)
    : TDkCustomToolbar(form, Parts{[](TDkCustomToolbar* bar) { return new TDkxChevronItem(bar); },
                                   [](TDkCustomToolbar* bar, TDkRootItem* items) {
                                       return new TDkxToolbarView(bar, items);
                                   }}) {
    dk::AddThemedWindow(this);
    UpdateEffectiveColor(true);
}

TDkxToolbar::~TDkxToolbar() {
    dk::RemoveThemedWindow(this);
}

// --- Properties ------------------------------------------------------------------------------

void TDkxToolbar::SetColor(plat::TColor value) {
    if (color_ != value) {
        color_ = value;
        UpdateEffectiveColor(true);
        update();
    }
}

void TDkxToolbar::SetItemTransparency(TDkxItemTransparency value) {
    if (itemTransparency_ != value) {
        itemTransparency_ = value;
        update();
    }
}

void TDkxToolbar::SetMenuBar(bool value) {
    TDkCustomToolbar::SetMenuBar(value);
    UpdateEffectiveColor(false);
    update();
}

// --- Kind and colour -------------------------------------------------------------------------

unsigned TDkxToolbar::ViewKindFor(PlacementKind placement) const {
    unsigned kind = MenuBar() ? dk::ViewMenuBar : dk::ViewToolbar;
    if (placement == pkFloating) {
        kind |= dk::ViewFloating;
        if (Resizable()) {
            kind |= dk::ViewResizable;
        }
    }
    if (itemTransparency_ == itDisable ||
        (itemTransparency_ == itAuto && placement == pkNotDocked)) {
        kind |= dk::ViewOpaque;
    }
    return kind;
}

void TDkxToolbar::UpdateEffectiveColor(bool passOn) {
    plat::TColor color = color_;
    if (color == plat::clNone) {
        color = Placement() == pkNotDocked && parentWidget() != nullptr
                    ? dk::GetEffectiveColor(parentWidget())
                    : dk::CurrentTheme().GetViewBackColor(ViewKind());
    }
    const bool changed = color != effectiveColor_;
    effectiveColor_ = color;
    // The plain bar's colour is what its view and frame show.
    TDkCustomToolbar::SetColor(color);
    if (changed || passOn) {
        dk::PassParentColorToChildren(this, color);
    }
}

void TDkxToolbar::PlacementChanged() {
    UpdateEffectiveColor(false);
    update();
}

// --- Frame -----------------------------------------------------------------------------------

dk::TDkxToolbarInfo TDkxToolbar::InfoFor(const TDkDock* dock) const {
    dk::TDkxToolbarInfo info;
    info.Window = const_cast<TDkxToolbar*>(this);
    info.ViewKind = dock != nullptr ? ViewKindFor(PlacementFor(dock)) : ViewKind();
    info.Vertical = dock != nullptr && dock->IsVertical();
    info.DragHandleShown = dock != nullptr && dock->AllowDrag();
    info.BorderStyle = BorderStyle() == bsSingle ? dk::BorderSingle : dk::BorderNone;
    info.BorderSize = dk::CurrentTheme().GetViewBorderSize(info.ViewKind);
    const QSize client = ClientSize();
    info.ClientWidth = client.width();
    info.ClientHeight = client.height();
    // The dockable window numbers its handle styles as the theme does.
    info.DragHandleStyle = static_cast<int>(DragHandleStyle());
    if (info.DragHandleShown && CloseButtonWhenDocked()) {
        info.CloseButtonState = dk::CloseButtonShown;
        if (CloseButtonPressed()) {
            info.CloseButtonState |= dk::CloseButtonPushed;
        } else if (CloseButtonHot()) {
            info.CloseButtonState |= dk::CloseButtonHot;
        }
    }
    return info;
}

void TDkxToolbar::FillToolbarInfo(dk::TDkxToolbarInfo& info) const {
    info = InfoFor(Docked() ? CurrentDock() : nullptr);
}

QSize TDkxToolbar::FloatingBorderSize() const {
    const QPoint border = dk::CurrentTheme().GetViewBorderSize(ViewKindFor(pkFloating));
    return {border.x(), border.y()};
}

QSize TDkxToolbar::DockedFrameSizeFor(const TDkDock* dock) const {
    if (dock == nullptr) {
        return {0, 0};
    }
    const dk::TDkxToolbarInfo info = InfoFor(dock);
    const int handle = dk::GetDragHandleSize(info);
    QSize size(2 * info.BorderSize.x(), 2 * info.BorderSize.y());
    if (info.Vertical) {
        size.rheight() += handle;
    } else {
        size.rwidth() += handle;
    }
    return size;
}

QMargins TDkxToolbar::CalcNcMargins() const {
    if (!Docked() || CurrentDock() == nullptr) {
        return {};
    }
    const dk::TDkxToolbarInfo info = InfoFor(CurrentDock());
    const int handle = dk::GetDragHandleSize(info);
    const int x = info.BorderSize.x();
    const int y = info.BorderSize.y();
    return info.Vertical ? QMargins(x, y + handle, x, y) : QMargins(x + handle, y, x, y);
}

plat::TRect TDkxToolbar::DockedCloseButtonBounds(bool vertical) const {
    dk::TDkxToolbarInfo info = InfoFor(Docked() ? CurrentDock() : nullptr);
    info.Vertical = vertical;
    info.DragHandleShown = true;
    if (CloseButtonWhenDocked()) {
        info.CloseButtonState |= dk::CloseButtonShown;
    }
    return dk::GetDragHandleCloseRect(info);
}

TDkFloatingWindowParent* TDkxToolbar::CreateFloatingForm(QWidget* parentForm) {
    return new TDkxFloatingWindowParent(parentForm);
}

void TDkxToolbar::PaintFrameArea(QPainter& painter) {
    if (!Docked() || CurrentDock() == nullptr) {
        return;
    }
    if (!PaintDockPicture(painter, *this, QPoint(), rect())) {
        painter.fillRect(rect(), plat::ToQColor(effectiveColor_));
    }
    dk::TDkxToolbarInfo info;
    FillToolbarInfo(info);
    painter.save();
    painter.setBrush(plat::ToQColor(effectiveColor_));
    dk::CurrentTheme().DrawToolbarFrame(painter, plat::TRect(rect()), info);
    painter.restore();
}

// --- Theme and messages ------------------------------------------------------------------------

void TDkxToolbar::ThemeChanging() {
    if (!themeLocked_) {
        themeLocked_ = true;
        LockContent();
    }
}

void TDkxToolbar::ThemeChanged() {
    UpdateEffectiveColor(true);
    // Borders, margins and item sizes are the new theme's.
    FrameChanged();
    View()->InvalidatePositions();
    if (TDkFloatingWindowParent* form = FloatingParent()) {
        form->UpdateFrame();
        form->update();
    }
    if (themeLocked_) {
        themeLocked_ = false;
        UnlockContent();
    }
    ArrangeContent();
    update();
}

bool TDkxToolbar::event(QEvent* event) {
    if (dk::AnswerThemeMessage(*this, event)) {
        return true;
    }
    switch (event->type()) {
    case QEvent::ChildAdded:
    case QEvent::ChildPolished:
        // Nothing else gives a child its parent's colour: with a colour of
        // the bar's own as well.
        dk::PassParentColor(qobject_cast<QWidget*>(static_cast<QChildEvent*>(event)->child()),
                            effectiveColor_);
        break;
    case QEvent::PaletteChange:
        // On a form the bar shows its parent's colour.
        if (color_ == plat::clNone && Placement() == pkNotDocked) {
            UpdateEffectiveColor(false);
        }
        break;
    default:
        break;
    }
    return TDkCustomToolbar::event(event);
}
