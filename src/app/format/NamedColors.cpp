#include "app/format/NamedColors.h"

#include <array>
#include <cstdint>

namespace {

struct TNamedColor {
    const char* Name;
    uint32_t Rgb; // 0xRRGGBB
};

constexpr std::array<TNamedColor, kNamedColorColumns * kNamedColorRows> kNamedColors{{
    {"Black", 0x000000},      {"Grey", 0xDFDFD7},      {"White", 0xFFFFFF},
    {"Ivory", 0xFFFFCF},      {"Cream", 0xFFE7A6},     {"Olive", 0x9E9D20},
    {"Tan", 0xCFAD41},        {"Wheat", 0xDFDF41},     {"Goldenrod", 0xFFFF41},
    {"Yellow", 0xFFFF00},     {"Lime", 0x00F700},      {"Lawn Green", 0x00EF00},
    {"Green", 0x00DF41},      {"Sea Green", 0x61E78E}, {"Hunter", 0x61AD61},
    {"Forest", 0x00A551},     {"Cyan", 0x00FFFF},      {"Sky", 0x30D7FF},
    {"Slate Blue", 0x9ED7DF}, {"Lavender", 0x8EB5FF},  {"Periwinkle", 0x9C9CFF},
    {"Blue", 0x0000FF},       {"Fuchsia", 0xFF00FF},   {"Magenta", 0xFF009E},
    {"Red", 0xFF0000},
}};

} // namespace

TNamedColorCell NamedColorAt(int column, int row) {
    const int index = row * kNamedColorColumns + column;
    if (column < 0 || column >= kNamedColorColumns || index < 0 ||
        index >= static_cast<int>(kNamedColors.size())) {
        return {QStringLiteral("Unknown"), 0};
    }
    const TNamedColor& entry = kNamedColors[static_cast<size_t>(index)];
    return {QString::fromLatin1(entry.Name),
            plat::RGB((entry.Rgb >> 16) & 0xFF, (entry.Rgb >> 8) & 0xFF, entry.Rgb & 0xFF)};
}
