#include "dockkit/palettes/DkxToolPalette.h"

#include "dockkit/items/DkView/DkView.h"
#include "dockkit/themes/DkNexus.h"

#include "platform/gui/ImageList.h"

#include <QPainter>
#include <QWidget>

#include <algorithm>

namespace {

constexpr int kDefaultImageSize = 16;
constexpr int kCellPadding = 6;
constexpr int kMinItemSize = 8;

uint8_t CountOf(int value) {
    return static_cast<uint8_t>(std::clamp(value, 0, 255));
}

} // namespace

// --- The palette item ------------------------------------------------------------------

TDkxCustomToolPalette::TDkxCustomToolPalette(QObject* owner) : TDkxCustomItem(owner) {
    SetOptions(Options() | dkoToolbarStyle);
}

TDkxCustomToolPalette::~TDkxCustomToolPalette() = default;

std::unique_ptr<TDkItemViewer> TDkxCustomToolPalette::CreateViewer(TDkView* view, int groupLevel) {
    return std::make_unique<TDkxToolViewer>(view, this, groupLevel);
}

void TDkxCustomToolPalette::SetColCount(int value) {
    const uint8_t count = CountOf(value);
    if (colCount_ != count) {
        colCount_ = count;
        Change(true);
    }
}

void TDkxCustomToolPalette::SetRowCount(int value) {
    const uint8_t count = CountOf(value);
    if (rowCount_ != count) {
        rowCount_ = count;
        Change(true);
    }
}

void TDkxCustomToolPalette::SetPaletteOptions(TDkxToolPaletteOptions value) {
    if (paletteOptions_ != value) {
        paletteOptions_ = value;
        Change(false);
    }
}

void TDkxCustomToolPalette::SetSelectedCell(int col, int row) {
    selected_ = {col, row};
    Change(true);
    DoChange();
}

bool TDkxCustomToolPalette::CellVisible(int col, int row, const plat::ImageList* images) const {
    if (col < 0 || col >= colCount_ || row < 0 || row >= rowCount_) {
        return false;
    }
    if ((paletteOptions_ & tpoCustomImages) == 0 && images != nullptr &&
        row * colCount_ + col >= images->Count()) {
        return false;
    }
    bool visible = true;
    DoGetCellVisible(col, row, visible);
    return visible;
}

void TDkxCustomToolPalette::DoCalcCellSize(QPainter& /*canvas*/, int& /*width*/, int& /*height*/) {}

void TDkxCustomToolPalette::DoCalcImageSize(QPainter& canvas, int& width, int& height) {
    if (OnCalcImageSize) {
        OnCalcImageSize(this, canvas, width, height);
    }
}

bool TDkxCustomToolPalette::DoCellClick(int col, int row) {
    bool allowChange = true;
    if (OnCellClick) {
        OnCellClick(this, col, row, allowChange);
    }
    return allowChange;
}

void TDkxCustomToolPalette::DoChange() {
    if (OnChange) {
        OnChange(this);
    }
}

void TDkxCustomToolPalette::DoDrawCellImage(QPainter& canvas, const plat::TRect& rect, int col,
                                            int row, const dk::TDkxItemInfo& info) {
    if (OnDrawCellImage) {
        OnDrawCellImage(this, canvas, rect, col, row, info.Selected, info.IsHot(), info.Enabled);
    }
}

void TDkxCustomToolPalette::DoGetCellVisible(int col, int row, bool& visible) const {
    if (OnGetCellVisible) {
        OnGetCellVisible(const_cast<TDkxCustomToolPalette*>(this), col, row, visible);
    }
}

void TDkxCustomToolPalette::DoGetHint(dk::PaletteCell cell, QString& hintText) const {
    if (OnGetCellHint) {
        OnGetCellHint(const_cast<TDkxCustomToolPalette*>(this), cell.Col, cell.Row, hintText);
    }
}

void TDkxCustomToolPalette::HandleClickCell(int col, int row) {
    if (DoCellClick(col, row) && (paletteOptions_ & tpoNoAutoSelect) == 0) {
        SetSelectedCell(col, row);
    }
}

// --- The viewer -------------------------------------------------------------------------

TDkxToolViewer::TDkxToolViewer(TDkView* view, TDkxCustomToolPalette* palette, int groupLevel)
    : TDkxItemViewer(view, palette, groupLevel) {}

TDkxCustomToolPalette* TDkxToolViewer::Palette() const {
    return static_cast<TDkxCustomToolPalette*>(Item());
}

void TDkxToolViewer::CalcSize(QPainter& canvas, int& width, int& height) {
    TDkxCustomToolPalette* palette = Palette();
    const plat::ImageList* images = GetImageList();
    int w = images != nullptr ? images->Width() : kDefaultImageSize;
    int h = images != nullptr ? images->Height() : kDefaultImageSize;
    palette->DoCalcImageSize(canvas, w, h);
    imageWidth_ = w;
    imageHeight_ = h;
    palette->DoCalcCellSize(canvas, w, h);
    cellWidth_ = w + kCellPadding;
    cellHeight_ = h + kCellPadding;
    cols_ = palette->ColCount();
    rows_ = palette->RowCount();
    width = std::max(cellWidth_ * cols_, kMinItemSize);
    height = std::max(cellHeight_ * rows_, kMinItemSize);
}

plat::TRect TDkxToolViewer::CellRect(const plat::TRect& bounds, int col, int row) const {
    if (!Palette()->Stretch() || cols_ <= 0 || rows_ <= 0) {
        const int left = bounds.Left + col * cellWidth_;
        const int top = bounds.Top + row * cellHeight_;
        return {left, top, left + cellWidth_, top + cellHeight_};
    }
    const int w = bounds.Width();
    const int h = bounds.Height();
    return {w * col / cols_ + bounds.Left, h * row / rows_ + bounds.Top,
            w * (col + 1) / cols_ + bounds.Left, h * (row + 1) / rows_ + bounds.Top};
}

bool TDkxToolViewer::CellVisible(dk::PaletteCell cell) const {
    return !cell.IsNone() && Palette()->CellVisible(cell.Col, cell.Row, GetImageList());
}

dk::PaletteCell TDkxToolViewer::HitTest(QPoint point) const {
    const int w = BoundsRect.Width();
    const int h = BoundsRect.Height();
    // Nothing outside the viewer (a division would fold the row or column
    // before the first into it), nor on a grid without room.
    if (point.x() < 0 || point.y() < 0 || point.x() >= w || point.y() >= h) {
        return {};
    }
    dk::PaletteCell cell;
    if (Palette()->Stretch()) {
        cell = {point.x() * cols_ / w, point.y() * rows_ / h};
    } else {
        if (cellWidth_ <= 0 || cellHeight_ <= 0) {
            return {};
        }
        cell = {point.x() / cellWidth_, point.y() / cellHeight_};
    }
    return CellVisible(cell) ? cell : dk::PaletteCell{};
}

void TDkxToolViewer::Paint(QPainter& canvas, const plat::TRect& clientArea, bool isHoverItem,
                           bool /*isPushed*/, bool /*useDisabledShadow*/) {
    TDkxCustomToolPalette* palette = Palette();
    TDkView* view = View();
    const plat::ImageList* images = GetImageList();
    dk::TDkxItemInfo info;
    info.ViewKind = dk::GetViewKind(view->Window());
    info.Enabled = palette->Enabled() || view->Customizing();
    info.ImageShown = true;
    info.ImageWidth = imageWidth_;
    info.ImageHeight = imageHeight_;
    uint8_t hotKind = dk::HoverMouse;
    if (!palette->Enabled()) {
        hotKind = view->MouseOverSelected() ? dk::HoverNone : dk::HoverKeyboard;
    }
    TDkxTheme& theme = dk::CurrentTheme();
    const dk::PaletteCell selected = palette->SelectedCell();
    for (int row = 0; row < rows_; ++row) {
        for (int col = 0; col < cols_; ++col) {
            if (!palette->CellVisible(col, row, images)) {
                continue;
            }
            const dk::PaletteCell cell{col, row};
            const bool hot = isHoverItem && cell == hot_;
            info.HoverKind = hot ? hotKind : dk::HoverNone;
            info.Pushed = mouseDown_ && cell == hot_;
            info.Selected = cell == selected;
            const plat::TRect r = CellRect(clientArea, col, row);
            theme.DrawButtonFace(canvas, r, info);
            const int left = (r.Left + r.Right - imageWidth_) / 2;
            const int top = (r.Top + r.Bottom - imageHeight_) / 2;
            const plat::TRect image(left, top, left + imageWidth_, top + imageHeight_);
            if ((palette->PaletteOptions() & tpoCustomImages) == 0) {
                theme.DrawItemImage(canvas, image, info, images, row * cols_ + col);
            }
            palette->DoDrawCellImage(canvas, image, col, row, info);
        }
    }
}

void TDkxToolViewer::InvalidateCell(dk::PaletteCell cell) {
    QWidget* window = View()->Window();
    if (cell.IsNone() || window == nullptr || !Show) {
        return;
    }
    const plat::TRect r = CellRect(BoundsRect, cell.Col, cell.Row);
    window->update(r.ToQRect().translated(window->contentsRect().topLeft()));
}

void TDkxToolViewer::SetHotCell(dk::PaletteCell cell) {
    if (cell == hot_) {
        return;
    }
    InvalidateCell(hot_);
    InvalidateCell(cell);
    hot_ = cell;
}

void TDkxToolViewer::MouseMove(int x, int y) {
    SetHotCell(HitTest(QPoint(x, y)));
}

void TDkxToolViewer::MouseDown(bool doubleClick, int x, int y, bool& mouseDownOnMenu) {
    mouseDown_ = true;
    MouseMove(x, y);
    TDkxItemViewer::MouseDown(doubleClick, x, y, mouseDownOnMenu);
}

void TDkxToolViewer::MouseUp(int x, int y, bool mouseWasDownOnMenu) {
    mouseDown_ = false;
    const dk::PaletteCell cell = HitTest(QPoint(x, y));
    if (!cell.IsNone()) {
        Palette()->HandleClickCell(cell.Col, cell.Row);
        TDkxItemViewer::MouseUp(x, y, mouseWasDownOnMenu);
        return;
    }
    // Between or beside the cells nothing is chosen: the menu stays open,
    // only a tool bar's own loop ends.
    TDkView* view = View();
    view->SetViewerCapture(false);
    view->InvalidateViewer(this);
    if (view == view->LoopView() && view->IsToolbar()) {
        view->EndModal();
    }
}

namespace {

bool NavigationKey(int key) {
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_End:
    case Qt::Key_Home:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        return true;
    default:
        return false;
    }
}

// Where a navigation key moves from the cell in a palette of cols x rows:
// left and right wrap to the row before or after.
dk::PaletteCell MovedCell(dk::PaletteCell cell, int key, int cols, int rows) {
    switch (key) {
    case Qt::Key_PageUp:
        cell.Row = 0;
        break;
    case Qt::Key_PageDown:
        cell.Row = rows - 1;
        break;
    case Qt::Key_End:
        cell.Col = cols - 1;
        break;
    case Qt::Key_Home:
        cell.Col = 0;
        break;
    case Qt::Key_Left:
        if (--cell.Col < 0) {
            cell.Col = cols - 1;
            --cell.Row;
        }
        break;
    case Qt::Key_Right:
        if (++cell.Col >= cols) {
            cell.Col = 0;
            ++cell.Row;
        }
        break;
    case Qt::Key_Up:
        --cell.Row;
        break;
    case Qt::Key_Down:
        ++cell.Row;
        break;
    default:
        break;
    }
    return cell;
}

} // namespace

void TDkxToolViewer::KeyDown(int& key, Qt::KeyboardModifiers shift) {
    if (!NavigationKey(key)) {
        TDkxItemViewer::KeyDown(key, shift);
        return;
    }
    dk::PaletteCell old;
    if (CellVisible(hot_)) {
        old = hot_;
    } else if (CellVisible(Palette()->SelectedCell())) {
        old = Palette()->SelectedCell();
    }
    dk::PaletteCell cell = old;
    if (old.IsNone()) {
        // Nowhere yet: the first navigation key starts at the first cell.
        cell = {0, 0};
    } else if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (CellVisible(hot_)) {
            Palette()->HandleClickCell(hot_.Col, hot_.Row);
        }
    } else {
        cell = MovedCell(cell, key, cols_, rows_);
    }
    if (cell == old || !CellVisible(cell)) {
        return;
    }
    key = 0;
    hot_ = cell;
    View()->InvalidateViewer(this);
}

void TDkxToolViewer::Entering(TDkItemViewer* previous) {
    TDkxItemViewer::Entering(previous);
    if (!View()->IsPopup() || previous == nullptr || previous == this) {
        return;
    }
    hot_ = {};
    if (previous->IndexInView() < IndexInView()) {
        hot_ = {0, 0};
        return;
    }
    hot_ = {cols_ - 1, rows_ - 1};
    while (!CellVisible(hot_) && hot_.Col > 0) {
        --hot_.Col;
    }
}

QString TDkxToolViewer::GetHint(QPoint point, plat::TRect& rect) const {
    const dk::PaletteCell cell = HitTest(point);
    if (cell.IsNone()) {
        rect = plat::TRect();
        return {};
    }
    rect = CellRect(plat::TRect(0, 0, BoundsRect.Width(), BoundsRect.Height()), cell.Col, cell.Row);
    QString hint;
    Palette()->DoGetHint(cell, hint);
    return hint;
}
