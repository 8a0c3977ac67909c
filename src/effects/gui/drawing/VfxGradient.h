#pragma once

#include "effects/core/VfxObject.h"
#include "platform/gui/Colors.h"
#include "platform/gui/Rect.h"

#include <QString>

#include <vector>

class QPainter;

namespace fx {

enum TVfxGradientStyle {
    gstHorizontal,
    gstVertical,
    gstSquare,
    gstElliptic,
    gstTopLeft,
    gstTopRight,
    gstBottomLeft,
    gstBottomRight,
    gstTopLeftDiagonal,
    gstTopRightDiagonal
};

// Appends n entries running from colour a to colour b (system colours are
// resolved first) to table: entry i has each channel a + MulDiv(i, b - a,
// n - 1). Starting a table clears it and appends entries 0 .. n - 1;
// continuing one appends 1 .. n - 1 (entry 0 repeats the end of the ramp
// before). n counts modulo 256; a ramp of one entry is colour a alone.
void VfxColorRamp(std::vector<plat::TColor>& table, plat::TColor a, plat::TColor b, int n,
                  bool start);

// A colour ramp and how it fills a rectangle. The colour table is rebuilt on
// every change: with TwoColors one ramp of ColorCount entries from Color to
// EndColor; otherwise, with at least two colours in ColorList, a ramp of
// ColorCount div (number of list colours) entries for each consecutive pair.
class TVfxGradient : public TVfxObject {
public:
    static constexpr int kMinColors = 2;
    static constexpr int kMaxColors = 236;

    explicit TVfxGradient(QObject* owner = nullptr);

    plat::TColor Color() const { return color_; }
    void SetColor(plat::TColor value) { SetValue(color_, value); }
    // 2 .. 236; values outside are brought inside.
    int ColorCount() const { return colorCount_; }
    void SetColorCount(int value);
    TVfxGradientStyle Style() const { return style_; }
    void SetStyle(TVfxGradientStyle value) { SetValue(style_, value); }
    plat::TColor EndColor() const { return endColor_; }
    void SetEndColor(plat::TColor value) { SetValue(endColor_, value); }
    // Palettes do not exist on true-colour displays: kept as a setting.
    bool PaletteRealize() const { return paletteRealize_; }
    void SetPaletteRealize(bool value) { SetValue(paletteRealize_, value); }
    bool TwoColors() const { return twoColors_; }
    void SetTwoColors(bool value) { SetValue(twoColors_, value); }
    // The colours of the multi-colour mode.
    const std::vector<plat::TColor>& ColorList() const { return colorList_; }
    void SetColorList(std::vector<plat::TColor> value) { SetValue(colorList_, std::move(value)); }

    // The computed ramp, RGB values.
    const std::vector<plat::TColor>& ColorTable() const { return table_; }

    void Assign(const TVfxGradient& source);
    // "vertical, Col: 16, 2 col mode", "square, Col: 12, mult. col mode", ...
    QString Description() const override;

    // Fills rect. Horizontal and vertical styles paint one band per entry
    // (entry i from MulDiv(i, size, N) to MulDiv(i + 1, size, N)); the other
    // styles paint shapes from the last entry (outermost) to the first.
    void Paint(QPainter& painter, const plat::TRect& rect) const;

    void Change() override;

private:
    void BuildTable();

    plat::TColor color_ = plat::clBlue;
    int colorCount_ = 16;
    TVfxGradientStyle style_ = gstVertical;
    plat::TColor endColor_ = plat::clBlack;
    bool paletteRealize_ = false;
    bool twoColors_ = true;
    std::vector<plat::TColor> colorList_;
    std::vector<plat::TColor> table_;
};

} // namespace fx
