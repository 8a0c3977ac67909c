#include "dockkit/palettes/DkxColorPalette.h"

#include "dockkit/themes/DkThemeUtils.h"

#include <QScopeGuard>

#include <algorithm>

namespace {

constexpr int kSwatchSize = 12;

} // namespace

TDkxColorPalette::TDkxColorPalette(QObject* owner) : TDkxCustomToolPalette(owner) {
    SetColCount(dk::DefaultColorSet().ColCount());
    SetRowCount(dk::DefaultColorSet().RowCount());
    SetOptions(Options() | dkoShowHint);
    SetPaletteOptions(PaletteOptions() | tpoCustomImages);
}

TDkxColorPalette::~TDkxColorPalette() {
    Detach();
}

TDkxCustomColorSet& TDkxColorPalette::EffectiveColorSet() const {
    return colorSet_ != nullptr ? *colorSet_ : dk::DefaultColorSet();
}

void TDkxColorPalette::Detach() {
    if (colorSet_ != nullptr) {
        colorSet_->RemovePalette(this);
        colorSet_ = nullptr;
    }
}

void TDkxColorPalette::SetColorSet(TDkxCustomColorSet* value) {
    if (value == colorSet_) {
        return;
    }
    Detach();
    colorSet_ = value;
    if (value != nullptr) {
        // The set's destructor hands every palette on this list back to the
        // default set.
        value->AddPalette(this);
    }
    const TDkxCustomColorSet& set = EffectiveColorSet();
    SetColCount(set.ColCount());
    SetRowCount(set.RowCount());
    Change(true);
}

void TDkxColorPalette::SetColor(plat::TColor value) {
    color_ = value;
    // The cell only shows the colour: the value given stays, so that a
    // system colour keeps following the system.
    settingColor_ = true;
    const auto reset = qScopeGuard([this] { settingColor_ = false; });
    const plat::TColor wanted = dk::ComparableColor(value);
    for (int row = 0; row < RowCount(); ++row) {
        for (int col = 0; col < ColCount(); ++col) {
            if (dk::ComparableColor(GetCellColor(col, row)) == wanted) {
                SetSelectedCell(col, row);
                return;
            }
        }
    }
    SetSelectedCell(-1, -1);
}

plat::TColor TDkxColorPalette::GetCellColor(int col, int row) const {
    return EffectiveColorSet().GetColor(col, row);
}

void TDkxColorPalette::DoCalcImageSize(QPainter& /*canvas*/, int& width, int& height) {
    width = kSwatchSize;
    height = kSwatchSize;
}

void TDkxColorPalette::DoChange() {
    // The field, not SetColor: that would select the cell and come back here.
    const dk::PaletteCell cell = SelectedCell();
    if (!settingColor_ && !cell.IsNone()) {
        color_ = GetCellColor(cell.Col, cell.Row);
    }
    TDkxCustomToolPalette::DoChange();
}

void TDkxColorPalette::DoDrawCellImage(QPainter& canvas, const plat::TRect& rect, int col, int row,
                                       const dk::TDkxItemInfo& info) {
    plat::TRect swatch = rect;
    dk::FrameRectColor(canvas, swatch, plat::clBtnShadow, true);
    if (info.Enabled) {
        dk::FillRectColor(canvas, swatch, GetCellColor(col, row));
    }
}

void TDkxColorPalette::DoGetCellVisible(int col, int row, bool& visible) const {
    visible = GetCellColor(col, row) != plat::clNone;
}

void TDkxColorPalette::DoGetHint(dk::PaletteCell cell, QString& hintText) const {
    hintText = EffectiveColorSet().GetName(cell.Col, cell.Row);
}
