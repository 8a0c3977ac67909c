// Colour arithmetic of the themed layer, at its extremes and with the
// classic system colours.
#include "dockkit/themes/DkThemeUtils.h"

#include "DataRows.h"

#include "platform/core/Guarded.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <map>

using namespace plat;

namespace {

// Writes RRGGBB as the TColor 0x00BBGGRR.
constexpr TColor Rgb(uint32_t rrggbb) {
    return dk::SwapRedBlue(static_cast<TColor>(rrggbb));
}

// A colour of colour-mixing.txt.
TColor ColorOf(const QString& field) {
    const std::map<QString, TColor> system{
        {"face", clBtnFace}, {"window", clWindow}, {"text", clBtnText}, {"highlight", clHighlight}};
    return system.count(field) != 0 ? system.at(field) : Rgb(field.toUInt(nullptr, 16));
}

} // namespace

TEST(ThemeColors, MixShiftAndContrastAsTheRowsSay) {
    for (const QStringList& row : DataRows("colour-mixing.txt", 5)) {
        SCOPED_ROW(row);
        const TColor a = ColorOf(row[1]);
        const int n = row[3].toInt();
        const TColor expected = ColorOf(row[4]);
        if (row[0] == "blend") {
            EXPECT_EQ(dk::BlendColors(a, ColorOf(row[2]), n), expected);
            EXPECT_EQ(dk::BlendColorsNearest(a, ColorOf(row[2]), n), expected);
        } else if (row[0] == "scaled") {
            EXPECT_EQ(dk::MixColorsScaled(a, ColorOf(row[2]), n), expected);
        } else if (row[0] == "shift") {
            EXPECT_EQ(dk::ShiftColor(a, n), expected);
        } else {
            TColor color = a;
            dk::EnsureContrast(color, ColorOf(row[2]), n);
            EXPECT_EQ(color, expected);
        }
    }
}

TEST(ThemeColors, AWeightBeyondAByteIsReportedAndTakenAsTheNearestEnd) {
    std::vector<std::string> reports;
    {
        const ScopedExceptionHandler scope(
            [&](const std::exception& e) { reports.emplace_back(e.what()); });
        EXPECT_EQ(dk::BlendColors(clWhite, clBlack, 256), Rgb(0xFEFEFE));
        EXPECT_EQ(dk::BlendColors(clWhite, clBlack, -5), Rgb(0x000000));
    }
    EXPECT_EQ(reports, (std::vector<std::string>{"Assertion failure", "Assertion failure"}));
}

TEST(ThemeColors, LuminanceDarknessAndDistanceWorkOnResolvedChannels) {
    EXPECT_EQ(dk::ColorLuminance(clBtnFace), 208);
    EXPECT_EQ(dk::ColorLuminance(clHighlight), 35);
    EXPECT_FALSE(dk::IsDarkColor(Rgb(0x646464), 100));
    EXPECT_TRUE(dk::IsDarkColor(Rgb(0x636363), 100));
    EXPECT_TRUE(dk::IsDarkColor(clHighlight, 100));
    EXPECT_EQ(dk::SwapRedBlue(0x00112233), 0x00332211);
    EXPECT_NEAR(dk::ColorDistance(clWhite, clBlack), 440.851f, 0.001f);
    EXPECT_NEAR(dk::ColorDistance(Rgb(0xB6BDD2), Rgb(0xDBD8D1)), 50.058f, 0.001f);
    EXPECT_FLOAT_EQ(dk::ColorDistance(clBtnFace, Rgb(0xD4D0C8)), 0.0f);
}

TEST(ThemeColors, TheContrastStepFallsBackToTheNearestPointOfTheLine) {
    using V = std::array<float, 3>;
    const auto expectNear = [](const V& got, const V& want) {
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_TRUE(std::isfinite(got[i]));
            EXPECT_NEAR(got[i], want[i], 0.01f) << i;
        }
    };
    // The point at distance 20 from b, towards the origin.
    expectNear(dk::ContrastPoint({100, 0, 0}, {50, 10, 0}, 20), {50 - std::sqrt(300.0f), 0, 0});
    // The line passes 60 from b, or just out of reach as rounding can leave
    // it: the projection is the nearest point.
    expectNear(dk::ContrastPoint({100, 0, 0}, {50, 60, 0}, 10), {50, 0, 0});
    expectNear(dk::ContrastPoint({100, 0, 0}, {50, 10.0001f, 0}, 10), {50, 0, 0});
    // A colour at the origin has no direction: it stays there.
    expectNear(dk::ContrastPoint({0, 0, 0}, {5, 5, 5}, 100), {0, 0, 0});
}
