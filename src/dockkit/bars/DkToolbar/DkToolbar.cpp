// The tool bar: its view and chevron, its properties, and how the view's
// layout becomes the window's size on a dock, floating or on a form.
#include "dockkit/bars/DkToolbar/DkToolbar.h"

#include "dockkit/bars/DkKeyRouter.h"
#include "dockkit/bars/DkToolbarActions.h"
#include "dockkit/common/DkCommon.h"
#include "dockkit/common/DkDraw.h"
#include "dockkit/docking/DkDock.h"

#include "platform/gui/Edges.h"
#include "platform/gui/ShowHint.h"
#include "platform/gui/StoredValues.h"

#include <QPainter>

#include <algorithm>
#include <utility>

namespace {

// The chevron's double arrow: right on horizontal bars, down on vertical ones.
constexpr unsigned char kChevronRight[5] = {0xCC, 0x66, 0x33, 0x66, 0xCC};
constexpr unsigned char kChevronDown[8] = {0x88, 0xD8, 0x70, 0x20, 0x88, 0xD8, 0x70, 0x20};

// Lowers the counter on the way out.
struct Raise {
    explicit Raise(int& counter) : c(counter) { ++c; }
    ~Raise() { --c; }
    Raise(const Raise&) = delete;
    Raise& operator=(const Raise&) = delete;
    int& c;
};

} // namespace

// --- The view --------------------------------------------------------------------------

TDkToolbarView::TDkToolbarView(TDkCustomToolbar* toolbar, TDkCustomItem* items)
    : TDkView(toolbar, nullptr, items, toolbar, true, false, true), toolbar_(toolbar) {
    SetBackgroundColor(plat::clBtnFace);
    // Again, now that the chevron answers.
    RecreateAllViewers();
}

void TDkToolbarView::DoUpdatePositions(QSize size) {
    toolbar_->ViewSized(size);
}

void TDkToolbarView::UpdatePositions() {
    toolbar_->RunViewLayout([this] { TDkView::UpdatePositions(); });
}

void TDkToolbarView::InvalidatePositions() {
    toolbar_->ViewPositionsInvalidated();
    TDkView::InvalidatePositions();
}

QFont TDkToolbarView::GetFont() const {
    return toolbar_->SystemFont() ? TDkView::GetFont() : toolbar_->font();
}

bool TDkToolbarView::IsMenuBarView() const {
    return toolbar_->MenuBar();
}

TDkCustomItem* TDkToolbarView::GetChevronItem() const {
    return toolbar_->ChevronItem();
}

TDkCustomItem* TDkToolbarView::GetTrailingExtraItems() const {
    return nullptr;
}

TDkCustomItem* TDkToolbarView::GetLeadingExtraItem() const {
    return nullptr;
}

int TDkToolbarView::LastLineThickness() const {
    if (!toolbar_->Docked() || toolbar_->CurrentDock() == nullptr) {
        return 0;
    }
    const QSize client = toolbar_->ClientSize();
    return toolbar_->CurrentDock()->IsVertical() ? client.width() : client.height();
}

// --- The chevron -------------------------------------------------------------------------

TDkChevronItem::TDkChevronItem(TDkCustomToolbar* toolbar)
    : TDkCustomItem(toolbar), toolbar_(toolbar) {
    SetItemStyle(ItemStyle() | dk::StyleSubmenu | dk::StyleNoAutoOpen);
    SetHint(dk::SChevronHint);
    SetLinkSubitems(toolbar->Items());
}

TDkView* TDkChevronItem::GetChevronParentView() const {
    return toolbar_->View();
}

std::unique_ptr<TDkItemViewer> TDkChevronItem::CreateViewer(TDkView* view, int groupLevel) {
    return std::make_unique<TDkChevronItemViewer>(view, this, groupLevel);
}

void TDkChevronItemViewer::CalcSize(QPainter& /*canvas*/, int& width, int& height) {
    width = dk::kChevronSize;
    height = dk::kChevronSize;
}

void TDkChevronItemViewer::Paint(QPainter& canvas, const plat::TRect& clientArea, bool isHoverItem,
                                 bool isPushed, bool /*useDisabledShadow*/) {
    if (isPushed) {
        plat::DrawEdge(canvas, clientArea.ToQRect(), plat::BDR_SUNKENOUTER, plat::BF_RECT);
    } else if (isHoverItem) {
        plat::DrawEdge(canvas, clientArea.ToQRect(), plat::BDR_RAISEDINNER, plat::BF_RECT);
    }
    const bool vertical = View()->IsVertical();
    const unsigned char* rows = vertical ? kChevronDown : kChevronRight;
    const int rowCount = vertical ? 8 : 5;
    // Two pixels from the leading edge; across, four from the top, or
    // centred in a column.
    QPoint at = vertical
                    ? QPoint(clientArea.Left + (clientArea.Width() - 5) / 2, clientArea.Top + 2)
                    : QPoint(clientArea.Left + 2, clientArea.Top + 4);
    if (isPushed) {
        at += QPoint(1, 1);
    }
    if (Item()->Enabled()) {
        dk::DrawGlyph(canvas, rows, rowCount, at, plat::clBtnText);
    } else {
        dk::DrawGlyph(canvas, rows, rowCount, at + QPoint(0, 1), plat::clBtnHighlight);
        dk::DrawGlyph(canvas, rows, rowCount, at, plat::clBtnShadow);
    }
}

// --- Construction -------------------------------------------------------------------------

TDkCustomToolbar::TDkCustomToolbar(QWidget* form) : TDkCustomToolbar(form, Parts{}) {}

TDkCustomToolbar::TDkCustomToolbar(QWidget* form, const Parts& parts)
    : TDkCustomDockableWindow(form) {
    items_ = new TDkRootItem(this);
    items_->SetParentComponent(this);
    chevron_ = parts.Chevron ? parts.Chevron(this) : new TDkChevronItem(this);
    view_ = parts.View ? parts.View(this, items_) : new TDkToolbarView(this, items_);
    ShowHintChanged();
    SetColor(plat::clBtnFace);
    setMouseTracking(true);
    dk::RequestMouseTracking(this);
    setGeometry(x(), y(), 23, 22);
    dk::RegisterToolbar(this);
    dk::JoinActionUpdates(this);
}

TDkCustomToolbar::~TDkCustomToolbar() {
    destroying_ = true;
    dk::SetShortCutToolbar(this, false);
    dk::UnregisterToolbar(this);
    dk::LeaveActionUpdates(this);
    // The view first, so that it hears nothing of the items going.
    delete view_;
    view_ = nullptr;
    delete chevron_;
    chevron_ = nullptr;
    delete items_;
    items_ = nullptr;
}

// --- Properties -----------------------------------------------------------------------------

void TDkCustomToolbar::SetMenuBar(bool value) {
    if (menuBar_ == value) {
        return;
    }
    menuBar_ = value;
    const unsigned options = view_->Options();
    view_->SetOptions(value ? options | voAccelHiding : options & ~voAccelHiding);
    view_->InvalidatePositions();
    if (!Loading()) {
        SetFullSize(value);
        SetShrinkMode(value ? dksmWrap : dksmChevron);
        SetCloseButton(!value);
        SetProcessShortCuts(value);
    }
    UpdateShortCutRegistration();
}

void TDkCustomToolbar::SetProcessShortCuts(bool value) {
    processShortCuts_ = value;
    UpdateShortCutRegistration();
}

void TDkCustomToolbar::UpdateShortCutRegistration() {
    const bool wanted = (processShortCuts_ || menuBar_) && !destroying_;
    if (wanted != registered_) {
        registered_ = wanted;
        dk::SetShortCutToolbar(this, wanted);
    }
}

void TDkCustomToolbar::SetShrinkMode(TDkShrinkMode value) {
    if (shrinkMode_ == value) {
        return;
    }
    shrinkMode_ = value;
    view_->InvalidatePositions();
    if (!Floating()) {
        // Docked, the dock arranges again after the content.
        ArrangeContent();
    }
}

void TDkCustomToolbar::SetSystemFont(bool value) {
    if (systemFont_ != value) {
        systemFont_ = value;
        view_->InvalidatePositions();
        ArrangeContent();
    }
}

void TDkCustomToolbar::SetFloatingWidth(int value) {
    value = std::max(value, 0);
    if (floatingWidth_ == value) {
        return;
    }
    floatingWidth_ = value;
    if (Floating()) {
        ArrangeContent();
    }
}

bool TDkCustomToolbar::ShowHint() const {
    return plat::ShowHint(*this);
}

void TDkCustomToolbar::SetShowHint(bool value) {
    plat::SetShowHint(*this, value);
    ShowHintChanged();
}

bool TDkCustomToolbar::ParentShowHint() const {
    return plat::ParentShowHint(*this);
}

void TDkCustomToolbar::SetParentShowHint(bool value) {
    plat::SetParentShowHint(*this, value);
    ShowHintChanged();
}

void TDkCustomToolbar::ShowHintChanged() {
    if (view_ == nullptr) {
        return;
    }
    const unsigned options = view_->Options();
    view_->SetOptions(ShowHint() ? options | voShowHints : options & ~voShowHints);
}

QString TDkCustomToolbar::ChevronHint() const {
    return chevron_->Hint();
}

void TDkCustomToolbar::SetChevronHint(const QString& value) {
    chevron_->SetHint(value);
}

plat::ImageList* TDkCustomToolbar::Images() const {
    return items_->SubMenuImages();
}

void TDkCustomToolbar::SetImages(plat::ImageList* value) {
    items_->SetSubMenuImages(value);
}

TDkCustomItem* TDkCustomToolbar::LinkSubitems() const {
    return items_->LinkSubitems();
}

void TDkCustomToolbar::SetLinkSubitems(TDkCustomItem* value) {
    items_->SetLinkSubitems(value);
}

TDkItemOptions TDkCustomToolbar::Options() const {
    return items_->Options();
}

void TDkCustomToolbar::SetOptions(TDkItemOptions value) {
    items_->SetOptions(value);
}

void TDkCustomToolbar::InitiateAction() {
    if (!updateActions_) {
        return;
    }
    std::vector<QPointer<TDkCustomItem>> items;
    TDkCustomItem* source = items_->EffectiveItem();
    items.reserve(static_cast<size_t>(source->Count()));
    for (int i = 0; i < source->Count(); ++i) {
        items.emplace_back(source->Items(i));
    }
    for (const auto& item : items) {
        if (item != nullptr) {
            item->InitiateAction();
        }
    }
}

void TDkCustomToolbar::ColorChanged() {
    if (view_ != nullptr) {
        view_->SetBackgroundColor(Color());
    }
}

// --- The view's layout and the window's size ---------------------------------------------------

int TDkCustomToolbar::EffectiveFloatingWidth() const {
    return sizing_ ? sizingWidth_ : floatingWidth_;
}

TDkCustomToolbar::ViewProperties TDkCustomToolbar::PropertiesFor(PlacementKind kind,
                                                                 const TDkDock* dock) const {
    ViewProperties p;
    switch (kind) {
    case pkFloating:
        p.Orientation = dkvoFloating;
        p.WrapOffset = EffectiveFloatingWidth();
        break;
    case pkHorizontalDock:
    case pkVerticalDock: {
        const bool vertical = kind == pkVerticalDock;
        p.Orientation = vertical ? dkvoVertical : dkvoHorizontal;
        if (dock == nullptr) {
            break;
        }
        const QSize frame = DockedFrameSizeFor(dock);
        const int frameAlong = vertical ? frame.height() : frame.width();
        if (shrinkMode_ == dksmChevron && Docked() && dock == CurrentDock()) {
            p.ChevronOffset = std::max(CurrentShrunkLength() - frameAlong, 0);
        } else if (shrinkMode_ == dksmWrap) {
            const int length = vertical ? dock->height() - dock->BoundLinesHeight()
                                        : dock->width() - dock->BoundLinesWidth();
            p.WrapOffset = std::max(length - frameAlong, 0);
        }
        break;
    }
    case pkNotDocked:
        p.Orientation = dkvoHorizontal;
        if (!AutoResize()) {
            const int length = ClientSize().width();
            if (shrinkMode_ == dksmChevron) {
                p.ChevronOffset = length;
            } else if (shrinkMode_ == dksmWrap) {
                p.WrapOffset = length;
            }
        }
        break;
    }
    return p;
}

void TDkCustomToolbar::UpdateViewProperties() {
    const ViewProperties p = PropertiesFor(Placement(), Docked() ? CurrentDock() : nullptr);
    view_->SetOrientation(p.Orientation);
    view_->SetChevronSize(dk::kChevronSize);
    view_->SetChevronOffset(p.ChevronOffset);
    view_->SetWrapOffset(p.WrapOffset);
}

void TDkCustomToolbar::LayoutView() {
    if (view_ == nullptr || destroying_) {
        return;
    }
    const bool was = std::exchange(layingOut_, true);
    struct Restore {
        bool& flag;
        bool value;
        ~Restore() { flag = value; }
    } restore{layingOut_, was};
    UpdateViewProperties();
    view_->UpdatePositions();
}

void TDkCustomToolbar::ViewSized(QSize size) {
    baseSize_ = size;
    if (!layingOut_) {
        ViewSizeChanged(size);
    }
}

void TDkCustomToolbar::RunViewLayout(const std::function<void()>& layout) {
    naturalWrap_ = -1;
    const Raise inside(insideLayout_);
    layout();
}

void TDkCustomToolbar::ViewSizeChanged(QSize size) {
    if (destroying_ || Loading()) {
        return;
    }
    if (Docked()) {
        if (TDkDock* dock = CurrentDock()) {
            dock->ArrangeRows();
        }
    } else if (AutoResize() && size != this->size()) {
        // A floating form follows in the resize event.
        resize(size);
    }
}

QSize TDkCustomToolbar::LayoutChildren(bool canMoveControls, PlacementKind kind,
                                       TDkDock* targetDock) {
    if (view_ == nullptr || destroying_) {
        return {};
    }
    if (canMoveControls) {
        LayoutView();
        return baseSize_;
    }
    const ViewProperties p = PropertiesFor(kind, targetDock);
    return view_->MeasurePositions(p.Orientation, p.WrapOffset, p.ChevronOffset, dk::kChevronSize)
        .Size;
}

QSize TDkCustomToolbar::NaturalSize() {
    if (view_ == nullptr || destroying_) {
        return {};
    }
    const ViewProperties p = PropertiesFor(Placement(), Docked() ? CurrentDock() : nullptr);
    if (naturalWrap_ != p.WrapOffset || naturalOrientation_ != p.Orientation) {
        naturalSize_ =
            view_->MeasurePositions(p.Orientation, p.WrapOffset, 0, dk::kChevronSize).Size;
        naturalWrap_ = p.WrapOffset;
        naturalOrientation_ = p.Orientation;
    }
    return naturalSize_;
}

void TDkCustomToolbar::MinShrinkLength(int& size) const {
    const TDkDock* dock = Docked() ? CurrentDock() : nullptr;
    if (dock == nullptr || view_ == nullptr) {
        return;
    }
    const bool vertical = dock->IsVertical();
    int first = 0;
    if (view_->IsVertical() == vertical) {
        for (int i = 0; i < view_->ViewerCount(); ++i) {
            const TDkItemViewer* viewer = view_->Viewers(i);
            if (viewer->Show && viewer->Item() != chevron_ &&
                !viewer->Item()->HasStyle(dk::StyleSeparator)) {
                first = vertical ? viewer->BoundsRect.Height() : viewer->BoundsRect.Width();
                break;
            }
        }
    }
    const QSize frame = DockedFrameSizeFor(dock);
    size = first + (vertical ? frame.height() : frame.width()) + dk::kChevronSize;
}

bool TDkCustomToolbar::PointOnChildControl(QPoint clientPoint) const {
    if (TDkCustomDockableWindow::PointOnChildControl(clientPoint)) {
        return true;
    }
    const TDkItemViewer* viewer = view_ != nullptr ? view_->ViewerFromPoint(clientPoint) : nullptr;
    return viewer != nullptr && !viewer->Item()->HasStyle(dk::StyleClicksTransparent);
}

void TDkCustomToolbar::resizeEvent(QResizeEvent* event) {
    TDkCustomDockableWindow::resizeEvent(event);
    // The dock, the floating frame or the form gave a new size: the view
    // follows (the chevron and the wrapping depend on it).
    if (insideLayout_ == 0 && !layingOut_) {
        LayoutView();
    }
}

void TDkCustomToolbar::ClientPaint(QPainter& painter, const QRegion& region) {
    if (view_ != nullptr) {
        view_->PaintWindow(painter, region);
    }
}

// --- Saved values -----------------------------------------------------------------------------

void TDkCustomToolbar::ReadExtraPositionValues(const dk::TDkPositionReadData& data) {
    // A width no screen could show counts as not stored.
    SetFloatingWidth(
        plat::StoredExtent(data.ReadInt(objectName(), QStringLiteral("FloatRightX"), 0), 0)
            .value_or(0));
}

void TDkCustomToolbar::WriteExtraPositionValues(const dk::TDkPositionWriteData& data) {
    data.WriteInt(objectName(), QStringLiteral("FloatRightX"), floatingWidth_);
}
