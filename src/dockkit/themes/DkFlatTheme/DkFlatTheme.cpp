// The Flat theme's colour cache, item states, glyph strip, metrics and
// values; its painters are in DkFlatPaint.cpp.
#include "dockkit/themes/DkFlatTheme/DkFlatTheme.h"

#include "dockkit/themes/DkNexus.h"
#include "dockkit/themes/DkThemePaint.h"
#include "dockkit/themes/DkThemeUtils.h"

#include "platform/gui/ImageList.h"

#include <QImage>

#include <memory>

using plat::TColor;

namespace {

// --- The glyph strip -----------------------------------------------------------------

// Four 16 x 16 monochrome images on white: image 0 the close cross (the
// panel's 7 x 6 cross at (4, 5)); the others stay empty.
constexpr int kGlyphSize = 16;
constexpr int kGlyphCount = 4;

struct GlyphStrip {
    std::unique_ptr<plat::ImageList> list;
    int users = 0;
};

GlyphStrip& Strip() {
    static GlyphStrip strip;
    return strip;
}

std::unique_ptr<plat::ImageList> MakeGlyphs() {
    QImage bits(kGlyphSize * kGlyphCount, kGlyphSize, QImage::Format_RGB32);
    bits.fill(Qt::white);
    for (int row = 0; row < 6; ++row) {
        for (int x = 0; x < 8; ++x) {
            if ((dk::kPanelCloseGlyph[row] & (0x80 >> x)) != 0) {
                bits.setPixel(4 + x, 5 + row, qRgb(0, 0, 0));
            }
        }
    }
    auto list = std::make_unique<plat::ImageList>(kGlyphSize, kGlyphSize);
    list->AddMasked(bits, plat::clWhite);
    return list;
}

// --- The colour cache ------------------------------------------------------------------

TColor Mix(TColor a, TColor b, int w) {
    return dk::MixColorsScaled(a, b, w);
}

TColor Contrast(TColor color, TColor background, int threshold) {
    dk::EnsureContrast(color, background, threshold);
    return color;
}

void SetState(std::array<TColor, dk::kFlatColorCount>& c, int first, int state, TColor fill,
              TColor text, TColor frame) {
    const int index = first + 3 * state;
    const auto at = static_cast<size_t>(index);
    c[at] = fill;
    c[at + 1] = text;
    c[at + 2] = frame;
}

void FillLowColor(std::array<TColor, dk::kFlatColorCount>& c) {
    using namespace plat;
    using namespace dk;
    c[fcMenuBarBack] = clBtnFace;
    c[fcToolbarBack] = clBtnFace;
    c[fcPopupBack] = clWindow;
    c[fcPanelBack] = clWindow;
    c[fcPopupFrame] = clBtnText;
    c[fcSeparator] = clBtnShadow;
    c[fcCaptionBack] = clBtnShadow;
    c[fcCaptionText] = clBtnHighlight;
    c[fcDragHandle] = clBtnShadow;
    c[fcFace] = clBtnShadow;
    c[fcFaceLine] = clBtnHighlight;
    c[fcPanelFrame] = clBtnShadow;
    c[fcPanelCaptionBack] = clBtnFace;
    c[fcPanelCaptionText] = clBtnText;
    c[fcStatusFrame] = clBtnShadow;
    c[fcStatusBack] = clBtnFace;
    c[fcStatusGrip] = clBtnText;
    const int menu = dk::fcMenuStates;
    SetState(c, menu, dk::fmsNormal, clNone, clWindowText, clNone);
    SetState(c, menu, dk::fmsDisabled, clNone, clGrayText, clNone);
    SetState(c, menu, dk::fmsHot, clWindow, clWindowText, clHighlight);
    SetState(c, menu, dk::fmsDisabledHot, clWindow, clGrayText, clHighlight);
    const int bar = dk::fcToolbarStates;
    SetState(c, bar, dk::ftsNormal, clNone, clBtnText, clNone);
    SetState(c, bar, dk::ftsDisabled, clNone, clBtnShadow, clNone);
    SetState(c, bar, dk::ftsChecked, clWindow, clWindowText, clHighlight);
    SetState(c, bar, dk::ftsPushed, clHighlight, clHighlightText, clHighlight);
    SetState(c, bar, dk::ftsHot, clWindow, clWindowText, clHighlight);
    SetState(c, bar, dk::ftsDisabledHot, clWindow, clBtnShadow, clHighlight);
    SetState(c, bar, dk::ftsCheckedHot, clHighlight, clHighlightText, clHighlight);
    SetState(c, bar, dk::ftsDropDownOpen, clBtnFace, clBtnText, c[dk::fcPopupFrame]);
    c[dk::fcBorder] = clBtnText;
    c[dk::fcStatusPanel] = clBtnShadow;
    c[dk::fcStatusPanelLast] = clBtnShadow;
    c[dk::fcHotShade] = clBtnFace;
    c[dk::fcCheckBack] = clBtnShadow;
}

void FillMixedStates(std::array<TColor, dk::kFlatColorCount>& c, TColor t, TColor p, TColor hot,
                     TColor lightShadow);

void FillMixed(std::array<TColor, dk::kFlatColorCount>& c) {
    using namespace plat;
    using namespace dk;
    c[fcMenuBarBack] = clBtnFace;
    const TColor t = Mix(clWindow, clBtnFace, 165);
    c[fcToolbarBack] = t;
    const TColor p = Mix(clBtnFace, clWindow, 143);
    c[fcPopupBack] = p;
    c[fcPanelBack] = p;
    c[fcPopupFrame] = Contrast(Mix(clBtnText, clBtnShadow, 20), p, 100);
    const TColor hot = Contrast(Mix(clHighlight, clWindow, 30), t, 50);
    const TColor lightShadow = Mix(clBtnShadow, clWindow, 90);
    c[fcSeparator] = Contrast(Mix(clBtnText, clBtnShadow, 15), t, 120);
    c[fcCaptionBack] = clBtnShadow;
    c[fcCaptionText] = Contrast(clBtnHighlight, clBtnShadow, 180);
    c[fcDragHandle] = c[fcSeparator];
    c[fcFace] = clBtnFace;
    c[fcFaceLine] = Contrast(lightShadow, clBtnFace, 120);
    c[fcPanelFrame] = clBtnShadow;
    c[fcPanelCaptionBack] = clBtnFace;
    c[fcPanelCaptionText] = clBtnText;
    c[fcStatusFrame] = clBtnShadow;
    c[fcStatusBack] = clBtnFace;
    c[fcStatusGrip] = Contrast(lightShadow, clBtnFace, 120);
    FillMixedStates(c, t, p, hot, lightShadow);
    // Every colour as the display shows it (the nearest colour is the colour
    // itself on every display here).
    for (TColor& entry : c) {
        if (entry != clNone) {
            entry = plat::ColorToRGB(entry);
        }
    }
}

// The state tables and the entries after them, mixed from the tool bar
// colour t, the pop-up colour p and the hot fill.
void FillMixedStates(std::array<TColor, dk::kFlatColorCount>& c, TColor t, TColor p, TColor hot,
                     TColor lightShadow) {
    using namespace plat;
    const int bar = dk::fcToolbarStates;
    const TColor normalText = Contrast(clBtnText, t, 180);
    SetState(c, bar, dk::ftsNormal, clNone, normalText, clNone);
    SetState(c, bar, dk::ftsDisabled, clNone, Contrast(lightShadow, t, 80), clNone);
    SetState(c, bar, dk::ftsChecked,
             Contrast(Mix(clHighlight, Mix(clBtnFace, clWindow, 50), 10), t, 5), normalText,
             clHighlight);
    SetState(c, bar, dk::ftsPushed, Mix(clHighlight, clWindow, 50), clHighlightText, clHighlight);
    const TColor hotText = Contrast(clMenuText, hot, 180);
    const TColor hotFrame = Contrast(clHighlight, t, 100);
    SetState(c, bar, dk::ftsHot, hot, hotText, hotFrame);
    SetState(c, bar, dk::ftsDisabledHot, hot, lightShadow, clHighlight);
    const TColor checkedHot = Contrast(Mix(clHighlight, clWindow, 50), t, 30);
    SetState(c, bar, dk::ftsCheckedHot, checkedHot, Contrast(clHighlightText, checkedHot, 180),
             Contrast(clHighlight, checkedHot, 100));
    SetState(c, bar, dk::ftsDropDownOpen, t, normalText, c[dk::fcPopupFrame]);

    const int menu = dk::fcMenuStates;
    const TColor grayText = Mix(clGrayText, clWindow, 70);
    SetState(c, menu, dk::fmsNormal, clNone, Contrast(clWindowText, p, 180), clNone);
    SetState(c, menu, dk::fmsDisabled, clNone, Contrast(grayText, p, 80), clNone);
    SetState(c, menu, dk::fmsHot, hot, hotText, hotFrame);
    SetState(c, menu, dk::fmsDisabledHot, p, grayText, clHighlight);

    c[dk::fcBorder] = Contrast(Mix(clBtnShadow, clWindow, 75), t, 85);
    const TColor panel = Contrast(Mix(clBtnShadow, clWindow, 70), t, 50);
    c[dk::fcStatusPanel] = panel;
    c[dk::fcStatusPanelLast] = panel;
    c[dk::fcHotShade] = Mix(clBlack, hot, 25);
    c[dk::fcCheckBack] = Contrast(Mix(clWindow, clBtnFace, 30), clBtnFace, 30);
}

} // namespace

TDkxFlatTheme::TDkxFlatTheme() {
    GlyphStrip& strip = Strip();
    if (strip.users++ == 0) {
        strip.list = MakeGlyphs();
    }
    colors_.fill(plat::clNone);
}

TDkxFlatTheme::~TDkxFlatTheme() {
    GlyphStrip& strip = Strip();
    if (--strip.users == 0) {
        strip.list.reset();
    }
}

const plat::ImageList* TDkxFlatTheme::Glyphs() {
    return Strip().list.get();
}

int TDkxFlatTheme::GlyphUsers() {
    return Strip().users;
}

void TDkxFlatTheme::Prepare() {
    colors_.fill(plat::clNone);
    if (dk::KitValues().LoColor) {
        FillLowColor(colors_);
    } else {
        FillMixed(colors_);
    }
}

// --- Item states -------------------------------------------------------------------

int TDkxFlatTheme::ToolbarState(const dk::TDkxItemInfo& info) {
    if (!info.Enabled) {
        return info.HoverKind == dk::HoverKeyboard ? dk::ftsDisabledHot : dk::ftsDisabled;
    }
    if (info.DropDownOpen) {
        return dk::ftsDropDownOpen;
    }
    if (info.Pushed) {
        return dk::ftsPushed;
    }
    if (info.Selected) {
        return info.IsHot() ? dk::ftsCheckedHot : dk::ftsChecked;
    }
    return info.IsHot() ? dk::ftsHot : dk::ftsNormal;
}

int TDkxFlatTheme::MenuState(const dk::TDkxItemInfo& info) {
    if (!info.Enabled) {
        return info.HoverKind == dk::HoverKeyboard ? dk::fmsDisabledHot : dk::fmsDisabled;
    }
    return info.IsHot() ? dk::fmsHot : dk::fmsNormal;
}

bool TDkxFlatTheme::UsesMenuTable(const dk::TDkxItemInfo& info) {
    return (info.ViewKind & dk::ViewPopupClass) != 0 && !info.Has(dk::ItemToolbarStyle);
}

dk::FlatStateColors TDkxFlatTheme::StateColors(int firstEntry, int state) const {
    const int index = firstEntry + 3 * state;
    const auto at = static_cast<size_t>(index);
    return {colors_[at], colors_[at + 1], colors_[at + 2]};
}

dk::FlatStateColors TDkxFlatTheme::ItemColors(const dk::TDkxItemInfo& info) const {
    if (UsesMenuTable(info)) {
        return StateColors(dk::fcMenuStates, MenuState(info));
    }
    dk::FlatStateColors colors = StateColors(dk::fcToolbarStates, ToolbarState(info));
    if (dk::IsViewKind(info.ViewKind, dk::ViewToolbarClass | dk::ViewOpaque)) {
        if (colors.Fill == plat::clNone) {
            colors.Fill = colors_[dk::fcToolbarBack];
        }
        if (info.Selected) {
            colors.Frame = plat::clWindowFrame;
        } else if (colors.Frame == plat::clNone) {
            colors.Frame = plat::clBtnShadow;
        }
    }
    return colors;
}

// --- Metrics and colours ------------------------------------------------------------

QPoint TDkxFlatTheme::GetImageShift(QPainter& /*canvas*/, const dk::TDkxItemInfo& /*info*/,
                                    const plat::ImageList* /*images*/) {
    return {0, 0};
}

TColor TDkxFlatTheme::GetItemBackColor(const dk::TDkxItemInfo& info) {
    const TColor fill = ItemColors(info).Fill;
    return fill != plat::clNone ? fill : GetViewBackColor(info.ViewKind);
}

TColor TDkxFlatTheme::GetImageBackColor(const dk::TDkxItemInfo& info) {
    const TColor fill = StateColors(dk::fcToolbarStates, ToolbarState(info)).Fill;
    return fill != plat::clNone ? fill : GetViewBackColor(info.ViewKind);
}

int TDkxFlatTheme::GetPopupShadowStyle() {
    return dk::PopupShadowOwnFramingItem;
}

QPoint TDkxFlatTheme::GetViewBorderSize(unsigned viewKind) {
    if ((viewKind & dk::ViewToolbarClass) != 0) {
        return (viewKind & dk::ViewFloating) != 0 ? QPoint(3, 3) : QPoint(2, 2);
    }
    if ((viewKind & dk::ViewPopupClass) != 0) {
        return dk::IsViewKind(viewKind, dk::ViewEditPopup) ? QPoint(1, 1) : QPoint(2, 2);
    }
    if ((viewKind & dk::ViewPanelClass) != 0) {
        return {2, 2};
    }
    return {0, 0};
}

TColor TDkxFlatTheme::GetViewBackColor(unsigned viewKind) {
    if ((viewKind & dk::ViewToolbarClass) != 0) {
        return dk::IsViewKind(viewKind, dk::ViewMenuBar) ? colors_[dk::fcMenuBarBack]
                                                         : colors_[dk::fcToolbarBack];
    }
    if ((viewKind & dk::ViewPopupClass) != 0) {
        return dk::IsViewKind(viewKind, dk::ViewEditPopup) ? plat::clWindow
                                                           : colors_[dk::fcPopupBack];
    }
    if ((viewKind & dk::ViewPanelClass) != 0) {
        return colors_[dk::fcPanelBack];
    }
    return plat::clBtnFace;
}

dk::TDkxMargins TDkxFlatTheme::GetViewMargins(unsigned /*viewKind*/) {
    return {};
}

// --- Values ---------------------------------------------------------------------------

int TDkxFlatTheme::GetIntegerValue(int index) {
    using namespace dk;
    // No separator size: tool bar separators take the kit's own.
    static constexpr ThemeIntegerValue kValues[] = {
        {ValueSplitArrowWidth, 12},   {ValueDropDownArrowWidth, 8}, {ValueDropDownArrowSpace, 3},
        {ValueMenuItemVertMargin, 3}, {ValueMenuItemHorzMargin, 1}, {ValueMenuImageGapBefore, 0},
        {ValueMenuImageGapAfter, 8},  {ValueMenuItemExtraWidth, 3}, {ValueMenuSeparatorSize, 3},
        {ValueMenuMetric36, 2},       {ValueMenuMetric37, 2},       {ValueMetric40, 6},
        {ValueEditFrame, 1},          {ValueEditMetric61, 2},       {ValueEditMetric62, 2},
        {ValueEditMetric64, 0},       {ValueEditMetric65, 14},
    };
    return LookUpIntegerValue(kValues, index);
}

bool TDkxFlatTheme::GetBooleanValue(int index) {
    return index == dk::ValueJoinPopups || index == dk::ValueOption3;
}
