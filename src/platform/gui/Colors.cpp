#include "platform/gui/Colors.h"

#include "platform/core/Convert.h"
#include "platform/core/Exception.h"
#include "platform/core/Format.h"

#include <array>

namespace plat {

namespace {

// The classic system colour table, as $00BBGGRR. Index 25 has no colour.
constexpr SysColorTable kSysColors = {
    0xC8D0D4, // 0 scroll bar
    0xA56E3A, // 1 background
    0x6A240A, // 2 active caption
    0x808080, // 3 inactive caption
    0xC8D0D4, // 4 menu
    0xFFFFFF, // 5 window
    0x000000, // 6 window frame
    0x000000, // 7 menu text
    0x000000, // 8 window text
    0xFFFFFF, // 9 caption text
    0xC8D0D4, // 10 active border
    0xC8D0D4, // 11 inactive border
    0x808080, // 12 application work space
    0x6A240A, // 13 highlight
    0xFFFFFF, // 14 highlight text
    0xC8D0D4, // 15 button face
    0x808080, // 16 button shadow
    0x808080, // 17 grey text
    0x000000, // 18 button text
    0xC8D0D4, // 19 inactive caption text
    0xFFFFFF, // 20 button highlight
    0x404040, // 21 3D dark shadow
    0xC8D0D4, // 22 3D light
    0x000000, // 23 info text
    0xE1FFFF, // 24 info background
    0x000000, // 25 (none)
    0x800000, // 26 hot light
    0xF0CAA6, // 27 gradient active caption
    0xC0C0C0, // 28 gradient inactive caption
    0x6A240A, // 29 menu highlight
    0xC8D0D4, // 30 menu bar
};

struct IdentEntry {
    TColor value;
    const char16_t* name;
};

constexpr IdentEntry kIdents[] = {
    {clBlack, u"clBlack"},
    {clMaroon, u"clMaroon"},
    {clGreen, u"clGreen"},
    {clOlive, u"clOlive"},
    {clNavy, u"clNavy"},
    {clPurple, u"clPurple"},
    {clTeal, u"clTeal"},
    {clGray, u"clGray"},
    {clSilver, u"clSilver"},
    {clRed, u"clRed"},
    {clLime, u"clLime"},
    {clYellow, u"clYellow"},
    {clBlue, u"clBlue"},
    {clFuchsia, u"clFuchsia"},
    {clAqua, u"clAqua"},
    {clWhite, u"clWhite"},
    {clMoneyGreen, u"clMoneyGreen"},
    {clSkyBlue, u"clSkyBlue"},
    {clCream, u"clCream"},
    {clMedGray, u"clMedGray"},
    {clActiveBorder, u"clActiveBorder"},
    {clActiveCaption, u"clActiveCaption"},
    {clAppWorkSpace, u"clAppWorkSpace"},
    {clBackground, u"clBackground"},
    {clBtnFace, u"clBtnFace"},
    {clBtnHighlight, u"clBtnHighlight"},
    {clBtnShadow, u"clBtnShadow"},
    {clBtnText, u"clBtnText"},
    {clCaptionText, u"clCaptionText"},
    {clGrayText, u"clGrayText"},
    {clHighlight, u"clHighlight"},
    {clHighlightText, u"clHighlightText"},
    {clInactiveBorder, u"clInactiveBorder"},
    {clInactiveCaption, u"clInactiveCaption"},
    {clInactiveCaptionText, u"clInactiveCaptionText"},
    {clInfoBk, u"clInfoBk"},
    {clInfoText, u"clInfoText"},
    {clMenu, u"clMenu"},
    {clMenuText, u"clMenuText"},
    {clScrollBar, u"clScrollBar"},
    {cl3DDkShadow, u"cl3DDkShadow"},
    {cl3DLight, u"cl3DLight"},
    {clWindow, u"clWindow"},
    {clWindowFrame, u"clWindowFrame"},
    {clWindowText, u"clWindowText"},
    {clHotLight, u"clHotLight"},
    {clGradientActiveCaption, u"clGradientActiveCaption"},
    {clGradientInactiveCaption, u"clGradientInactiveCaption"},
    {clMenuHighlight, u"clMenuHighlight"},
    {clMenuBar, u"clMenuBar"},
    {clNone, u"clNone"},
    {clDefault, u"clDefault"},
};

} // namespace

const SysColorTable& ClassicSysColors() {
    return kSysColors;
}

TColor SysColor(int index) {
    if (index < 0 || index >= static_cast<int>(kSysColors.size())) {
        return 0;
    }
    const SysColorTable* table = ScopedSysColors::Current();
    return (table != nullptr ? *table : kSysColors)[static_cast<size_t>(index)];
}

bool SysColorBrushExists(int index) {
    return index >= 0 && index < static_cast<int>(kSysColors.size()) && index != 25;
}

TColor ColorToRGB(TColor color) {
    return color < 0 ? SysColor(color & 0xFF) : color;
}

QColor ToQColor(TColor color) {
    if (color == clNone) {
        return QColor();
    }
    const TColor rgb = ColorToRGB(color);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

TColor FromQColor(const QColor& color) {
    return RGB(color.red(), color.green(), color.blue());
}

std::optional<TColor> IdentToColor(QStringView ident) {
    for (const IdentEntry& e : kIdents) {
        if (ident.compare(QStringView(e.name), Qt::CaseInsensitive) == 0) {
            return e.value;
        }
    }
    return std::nullopt;
}

std::optional<QString> ColorToIdent(TColor color) {
    for (const IdentEntry& e : kIdents) {
        if (e.value == color) {
            return QString::fromUtf16(e.name);
        }
    }
    return std::nullopt;
}

TColor StringToColor(QStringView text) {
    if (const auto ident = IdentToColor(text)) {
        return *ident;
    }
    return StrToInt(text);
}

QString ColorToString(TColor color) {
    if (const auto ident = ColorToIdent(color)) {
        return *ident;
    }
    return QStringLiteral("$") + HexUpper(static_cast<uint32_t>(color), 8);
}

} // namespace plat
