#pragma once

#include "platform/core/ScopedOverride.h"

#include <QColor>
#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>
#include <optional>

namespace plat {

// A colour value: $00BBGGRR when not negative. A negative value names a system
// colour by its low byte and is resolved through the fixed classic colour
// table before any arithmetic, so that drawing is the same on every machine.
using TColor = int32_t;

constexpr TColor MakeSysColor(int index) {
    return static_cast<TColor>(0x80000000u | static_cast<uint32_t>(index));
}

// "Nothing is drawn" / "no colour set". Never resolved.
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clLtGray = 0xC0C0C0;
constexpr TColor clDkGray = 0x808080;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clMedGray = 0xA4A0A0;

constexpr TColor clScrollBar = MakeSysColor(0);
constexpr TColor clBackground = MakeSysColor(1);
constexpr TColor clActiveCaption = MakeSysColor(2);
constexpr TColor clInactiveCaption = MakeSysColor(3);
constexpr TColor clMenu = MakeSysColor(4);
constexpr TColor clWindow = MakeSysColor(5);
constexpr TColor clWindowFrame = MakeSysColor(6);
constexpr TColor clMenuText = MakeSysColor(7);
constexpr TColor clWindowText = MakeSysColor(8);
constexpr TColor clCaptionText = MakeSysColor(9);
constexpr TColor clActiveBorder = MakeSysColor(10);
constexpr TColor clInactiveBorder = MakeSysColor(11);
constexpr TColor clAppWorkSpace = MakeSysColor(12);
constexpr TColor clHighlight = MakeSysColor(13);
constexpr TColor clHighlightText = MakeSysColor(14);
constexpr TColor clBtnFace = MakeSysColor(15);
constexpr TColor clBtnShadow = MakeSysColor(16);
constexpr TColor clGrayText = MakeSysColor(17);
constexpr TColor clBtnText = MakeSysColor(18);
constexpr TColor clInactiveCaptionText = MakeSysColor(19);
constexpr TColor clBtnHighlight = MakeSysColor(20);
constexpr TColor cl3DDkShadow = MakeSysColor(21);
constexpr TColor cl3DLight = MakeSysColor(22);
constexpr TColor clInfoText = MakeSysColor(23);
constexpr TColor clInfoBk = MakeSysColor(24);
constexpr TColor clHotLight = MakeSysColor(26);
constexpr TColor clGradientActiveCaption = MakeSysColor(27);
constexpr TColor clGradientInactiveCaption = MakeSysColor(28);
constexpr TColor clMenuHighlight = MakeSysColor(29);
constexpr TColor clMenuBar = MakeSysColor(30);

// The system colours by index ($00BBGGRR); index 25 has no colour.
using SysColorTable = std::array<TColor, 31>;
// The fixed classic table every machine draws with.
const SysColorTable& ClassicSysColors();
// Another scheme for a scope (a test of a high-contrast desk, for instance);
// every resolution of a system colour reads it while it is in force.
struct SysColorTableTag;
using ScopedSysColors = ScopedOverride<const SysColorTable*, SysColorTableTag>;

// The RGB value ($00BBGGRR) of a system colour index of the table in force;
// unknown indexes give black.
TColor SysColor(int index);
// Whether the desk has a brush for the index (every index of the table but 25).
bool SysColorBrushExists(int index);

// Resolves a system colour to its RGB value; other values pass unchanged
// (clNone and clDefault included: callers check for them first).
TColor ColorToRGB(TColor color);

// The resolved colour as a Qt colour (opaque). clNone gives an invalid QColor.
QColor ToQColor(TColor color);
// An opaque Qt colour as a TColor.
TColor FromQColor(const QColor& color);

constexpr int GetRValue(TColor rgb) {
    return rgb & 0xFF;
}
constexpr int GetGValue(TColor rgb) {
    return (rgb >> 8) & 0xFF;
}
constexpr int GetBValue(TColor rgb) {
    return (rgb >> 16) & 0xFF;
}
constexpr TColor RGB(int r, int g, int b) {
    return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

// Colour identifiers ("clRed", "clWindow", ...), compared without regard to case.
std::optional<TColor> IdentToColor(QStringView ident);
// The identifier of a value that has one ("clRed" for $0000FF).
std::optional<QString> ColorToIdent(TColor color);

// An identifier, or an integer as the runtime reads it (decimal, "$" or "0x"
// hexadecimal, negative values for system colours). Anything else raises
// EConvertError "'%s' is not a valid integer value".
TColor StringToColor(QStringView text);
// The identifier when the value has one, else "$" and eight upper-case hex digits.
QString ColorToString(TColor color);

} // namespace plat
