// Colour arithmetic of the themed layer, at its extremes and with the
// classic system colours.
#include "dockkit/themes/DkThemeUtils.h"

#include "platform/core/Guarded.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

using namespace plat;

namespace {

// Writes RRGGBB as the TColor 0x00BBGGRR.
constexpr TColor Rgb(uint32_t rrggbb) {
    return dk::SwapRedBlue(static_cast<TColor>(rrggbb));
}

struct MixCase {
    TColor c1;
    TColor c2;
    int w;
    TColor expected;
};

} // namespace

TEST(ThemeColors, BlendingDividesBy256AndResolvesSystemColours) {
    const MixCase cases[] = {
        {clWhite, clBlack, 255, Rgb(0xFEFEFE)},
        {clWhite, clBlack, 0, Rgb(0x000000)},
        {clBlack, clWhite, 0, Rgb(0xFEFEFE)},
        // Red and blue share one product; green has its own.
        {clRed, clBlue, 128, Rgb(0x7F007E)},
        {Rgb(0x00FF00), Rgb(0xFF00FF), 1, Rgb(0xFD00FD)},
        {clBtnFace, clWindow, 64, Rgb(0xF3F2F0)},
    };
    for (const MixCase& c : cases) {
        EXPECT_EQ(dk::BlendColors(c.c1, c.c2, c.w), c.expected) << std::hex << c.c1 << " " << c.c2;
        EXPECT_EQ(dk::BlendColorsNearest(c.c1, c.c2, c.w), c.expected);
    }
    // A weight beyond a byte is reported and taken as the nearest end.
    std::vector<std::string> reports;
    {
        const ScopedExceptionHandler scope(
            [&](const std::exception& e) { reports.emplace_back(e.what()); });
        EXPECT_EQ(dk::BlendColors(clWhite, clBlack, 256), Rgb(0xFEFEFE));
        EXPECT_EQ(dk::BlendColors(clWhite, clBlack, -5), Rgb(0x000000));
    }
    EXPECT_EQ(reports, (std::vector<std::string>{"Assertion failure", "Assertion failure"}));
}

TEST(ThemeColors, ScaledMixingSwitchesToPerMilleAtAHundredAndKeepsChannelsApart) {
    const MixCase cases[] = {
        {clWhite, clBlack, 50, Rgb(0x808080)},        {clWhite, clBlack, 99, Rgb(0xFCFCFC)},
        {clWhite, clBlack, 100, Rgb(0x1A1A1A)},       {clWhite, clBlack, 165, Rgb(0x2A2A2A)},
        {clWhite, clBlack, 2000, Rgb(0xFFFFFF)},      {clBlack, clWhite, 2000, Rgb(0x000000)},
        {clBlack, Rgb(0x00FF00), -50, Rgb(0x00FF00)},
    };
    for (const MixCase& c : cases) {
        EXPECT_EQ(dk::MixColorsScaled(c.c1, c.c2, c.w), c.expected) << "w " << c.w;
    }
}

TEST(ThemeColors, ShiftLuminanceAndDarknessWorkOnResolvedChannels) {
    EXPECT_EQ(dk::ShiftColor(clBlack, 32), Rgb(0x202020));
    EXPECT_EQ(dk::ShiftColor(Rgb(0x0AC8FF), -300), Rgb(0x000000));
    EXPECT_EQ(dk::ShiftColor(Rgb(0x0AC8FF), 100), Rgb(0x6EFFFF));
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

TEST(ThemeColors, ContrastMovesAColourJustFarEnoughFromItsBackground) {
    struct Case {
        TColor color;
        TColor background;
        int threshold;
        TColor expected;
    };
    const Case cases[] = {
        // Already far enough: only resolved.
        {clBtnText, Rgb(0xDBD8D1), 180, Rgb(0x000000)},
        // Just above the threshold (50.058 > 50): unchanged.
        {Rgb(0xB6BDD2), Rgb(0xDBD8D1), 50, Rgb(0xB6BDD2)},
        // Moved towards black.
        {Rgb(0x8D8D8D), clBtnFace, 120, Rgb(0x8B8B8B)},
        // Too light to darken enough: moved towards white.
        {Rgb(0xE1DED9), clBtnFace, 30, Rgb(0xE4E2DD)},
        {clBtnFace, clBtnFace, 50, Rgb(0xB7B3AC)},
        // Black on black goes light (twice the threshold on so dark a
        // background); white on white goes dark.
        {clBlack, clBlack, 100, Rgb(0x747474)},
        {clWhite, clWhite, 100, Rgb(0xC5C5C5)},
    };
    for (const Case& c : cases) {
        TColor color = c.color;
        dk::EnsureContrast(color, c.background, c.threshold);
        EXPECT_EQ(color, c.expected) << std::hex << c.color << " on " << c.background;
    }
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
