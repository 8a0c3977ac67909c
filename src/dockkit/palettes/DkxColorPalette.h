#pragma once
// A tool palette that shows the colours of a colour set as framed swatches,
// with each colour's name as its cell's hint, and keeps the chosen colour.

#include "dockkit/palettes/DkxColorSet.h"
#include "dockkit/palettes/DkxToolPalette.h"

#include "platform/gui/Colors.h"

class TDkxColorPalette : public TDkxCustomToolPalette {
    Q_OBJECT
public:
    // The default set's 8 x 5 grid, hints shown, cells drawn as swatches.
    explicit TDkxColorPalette(QObject* owner = nullptr);
    ~TDkxColorPalette() override;

    plat::TColor Color() const { return color_; }
    // Stores the colour as given (a system colour stays one) and selects the
    // first cell (rows first) of the same RGB value, or none; either way
    // OnChange follows.
    void SetColor(plat::TColor value);
    // The set shown; null shows the default set. A set that goes is let go.
    TDkxCustomColorSet* ColorSet() const { return colorSet_; }
    void SetColorSet(TDkxCustomColorSet* value);
    // The set in use: ColorSet, else the default set.
    TDkxCustomColorSet& EffectiveColorSet() const;

    // The colour of the cell in the set in use.
    virtual plat::TColor GetCellColor(int col, int row) const;

    // 12 x 12 swatches.
    void DoCalcImageSize(QPainter& canvas, int& width, int& height) override;
    // A cell selected otherwise than by SetColor gives Color its colour;
    // then OnChange.
    void DoChange() override;
    // A swatch framed in the button shadow colour, filled when enabled.
    void DoDrawCellImage(QPainter& canvas, const plat::TRect& rect, int col, int row,
                         const dk::TDkxItemInfo& info) override;
    // A cell shows when it has a colour.
    void DoGetCellVisible(int col, int row, bool& visible) const override;
    // The cell's name.
    void DoGetHint(dk::PaletteCell cell, QString& hintText) const override;

private:
    void Detach();

    plat::TColor color_ = plat::clNone;
    TDkxCustomColorSet* colorSet_ = nullptr;
    bool settingColor_ = false; // inside SetColor
};
