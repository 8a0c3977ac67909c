// Drop shadows: the alpha of the strips, their arrangement around a pop-up
// and the item that opened it, and the strip windows.
#include "dockkit/themes/DkShadows.h"

#include "GoldenPicture.h"
#include "MenuFixtures.h"
#include "PlatformFakes.h"

#include <QPainter>

#include <gtest/gtest.h>

using namespace plat;
using dk::ShadowStrip;

namespace {

// The alpha of a row of a horizontal strip ('H'), or of a row ('V') or a
// column ('C') of a vertical one, run-length coded: "63 255*3 0".
std::string Alphas(char kind, QSize size, int sides, int line) {
    QImage buffer(size, QImage::Format_ARGB32_Premultiplied);
    if (kind == 'H') {
        dk::FillHorzShadowBuffer(buffer, sides);
    } else {
        dk::FillVertShadowBuffer(buffer, sides);
    }
    EXPECT_EQ(buffer.pixel(size.width() / 2, 0) & 0xFFFFFFu, 0u) << "the colour stays black";
    const bool column = kind == 'C';
    std::string text;
    for (int i = 0, count = 1; i < (column ? size.height() : size.width()); i += count) {
        const auto at = [&](int k) {
            return qAlpha(column ? buffer.pixel(line, k) : buffer.pixel(k, line));
        };
        count = 1;
        while (i + count < (column ? size.height() : size.width()) && at(i + count) == at(i)) {
            ++count;
        }
        text += (text.empty() ? "" : " ") + std::to_string(at(i)) +
                (count > 1 ? "*" + std::to_string(count) : "");
    }
    return text;
}

} // namespace

TEST(ShadowBuffers, StripsFadeOutwardsAndAtTheCornersTheirSidesAsk) {
    const int start = dk::ShadowStartSide;
    const int end = dk::ShadowEndSide;
    const struct {
        char kind;
        QSize size;
        int sides;
        int line;
        const char* alphas;
    } cases[] = {
        // A bottom strip fades downwards and at the corners its sides ask
        // for; a side without fading is cut square.
        {'H', {20, 4}, 3, 0, "63 127 191 255*14 191 127 63"},
        {'H', {20, 4}, 3, 3, "0*2 31 63*14 31 0*2"},
        {'H', {8, 4}, start, 0, "63 127 191 255*5"},
        {'H', {8, 4}, end, 0, "255*5 191 127 63"},
        {'H', {8, 4}, 0, 2, "127*8"},
        // Too short for both corners: they share the length; for one, its
        // outer part.
        {'H', {6, 4}, 3, 0, "63 127 191*2 127 63"},
        {'H', {3, 4}, end, 0, "191 127 63"},
        // A right strip fades rightwards and at its top.
        {'V', {4, 12}, start, 4, "255 191 127 63"},
        {'V', {4, 12}, start, 0, "63 31 0*2"},
        {'C', {4, 12}, start, 0, "63 127 191 255*9"},
        {'C', {4, 12}, 3, 0, "63 127 191 255*6 191 127 63"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Alphas(c.kind, c.size, c.sides, c.line), c.alphas)
            << c.kind << " " << c.size.width() << "x" << c.size.height() << " sides " << c.sides
            << " line " << c.line;
    }
    // Degenerate sizes are left alone.
    QImage empty;
    dk::FillVertShadowBuffer(empty, 3);
    dk::FillHorzShadowBuffer(empty, 3);
    EXPECT_TRUE(empty.isNull());
}

TEST(ShadowBuffers, StripsMatchTheirGoldenPicture) {
    // The four strips of a pop-up opened below a narrower item, drawn at
    // their places: corners must meet without seams.
    const TRect popup(2, 6, 22, 16);
    const TRect item(2, 1, 10, 6);
    QImage picture(28, 22, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.fillRect(popup.ToQRect(), QColor(0xD4, 0xD0, 0xC8));
    painter.fillRect(item.ToQRect(), QColor(0x80, 0x80, 0x80));
    for (const ShadowStrip& strip : dk::ShadowStrips(popup, item, 4)) {
        QImage buffer(strip.Bounds.Width(), strip.Bounds.Height(),
                      QImage::Format_ARGB32_Premultiplied);
        if (strip.Horizontal) {
            dk::FillHorzShadowBuffer(buffer, strip.Sides);
        } else {
            dk::FillVertShadowBuffer(buffer, strip.Sides);
        }
        painter.drawImage(strip.Bounds.Left, strip.Bounds.Top, buffer);
    }
    painter.end();
    EXPECT_TRUE(
        MatchesGolden(picture, QStringLiteral(QV_TEST_DATA_DIR "/dockkit/shadow-strips.txt")));
}

// --- Arrangement ---------------------------------------------------------------------

namespace {

// Each strip as "left,top-right,bottom" with "H" or "V" and its sides.
std::string Describe(const std::vector<ShadowStrip>& strips) {
    std::string text;
    for (const ShadowStrip& s : strips) {
        const TRect& r = s.Bounds;
        text += (text.empty() ? "" : " ") + std::to_string(r.Left) + "," + std::to_string(r.Top) +
                "-" + std::to_string(r.Right) + "," + std::to_string(r.Bottom) +
                (s.Horizontal ? "H" : "V") + std::to_string(s.Sides);
    }
    return text;
}

} // namespace

TEST(ShadowArrangement, FollowsTheOutlineOfBothRectangles) {
    using R = TRect;
    const struct {
        TRect popup;
        TRect item;
        const char* strips;
    } cases[] = {
        {R(), R(), ""},
        {R(100, 100, 200, 300), R(), "104,300-204,304H3 200,104-204,300V1"},
        {R(), R(100, 100, 200, 300), "104,300-204,304H3 200,104-204,300V1"},
        // A drop-down below a narrower item at the same left edge: the
        // pop-up's bottom strip fades at both outside corners, its right
        // strip at its top; the item's right strip ends square on the pop-up.
        {R(10, 30, 110, 90), R(10, 10, 40, 30), "14,90-114,94H3 110,34-114,90V1 40,14-44,30V1"},
        // The same right edge: one straight right shadow.
        {R(10, 30, 40, 90), R(10, 10, 40, 30), "14,90-44,94H3 40,30-44,90V0 40,14-44,30V1"},
        // Opened upwards: the pop-up's bottom strip starts square beside the
        // item; the item's right strip starts below it.
        {R(10, 10, 110, 70), R(10, 70, 40, 90),
         "40,70-114,74H2 14,90-44,94H3 110,14-114,70V1 40,74-44,90V0"},
        // A submenu to the right, top edges aligned: the item's bottom strip
        // runs square into the pop-up.
        {R(40, 10, 140, 90), R(10, 10, 40, 30), "44,90-144,94H3 14,30-40,34H1 140,14-144,90V1"},
        // To the left: the pop-up's right strip shows only below the item.
        {R(10, 10, 60, 90), R(60, 10, 90, 30),
         "14,90-64,94H3 60,30-94,34H2 60,34-64,90V0 90,14-94,30V1"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Describe(dk::ShadowStrips(c.popup, c.item, 4)), c.strips);
    }
}

// --- Windows ---------------------------------------------------------------------------

TEST(Shadows, StripsAreSolidAndHalfAsThickWithoutBlending) {
    const QuietPlatform quiet; // it cannot raise the strips and says so each time
    for (const auto& [layered, noBlending] :
         {std::pair{false, false}, std::pair{true, true}, std::pair{true, false}}) {
        FakeSystemParameters desk;
        desk.Answers.LayeredWindows = layered;
        const bool blended = layered && !noBlending;
        QWidget popup;
        auto shadows = std::make_unique<dk::TShadows>(TRect(100, 100, 200, 300), TRect(), 4, 64,
                                                      noBlending, &popup);
        ASSERT_EQ(shadows->Count(), 2);
        const int size = blended ? 4 : 2;
        EXPECT_EQ(TRect(shadows->Strip(0)->geometry()),
                  TRect(100 + size, 300, 200 + size, 300 + size));
        EXPECT_EQ(TRect(shadows->Strip(1)->geometry()), TRect(200, 100 + size, 200 + size, 300));
        const QPointer<dk::TShadow> strip = shadows->Strip(0);
        EXPECT_EQ(strip->Style(), blended ? dk::ShadowLayered : dk::ShadowSolid);
        EXPECT_EQ(strip->testAttribute(Qt::WA_TranslucentBackground), blended);
        EXPECT_TRUE(strip->isVisible() && strip->isWindow() && strip->SaveBits());
        EXPECT_TRUE(strip->windowFlags().testFlag(Qt::WindowTransparentForInput));
        shadows->SetSaveBits(false);
        EXPECT_FALSE(strip->SaveBits());
        // Freeing the set closes its strips, also after one went before.
        delete shadows->Strip(1);
        shadows.reset();
        EXPECT_TRUE(strip.isNull());
    }
}

TEST(Shadows, ASolidStripPaintsTheButtonShadowAndABlendedOneItsAlpha) {
    FakeSystemParameters desk;
    desk.Answers.LayeredWindows = true;
    QImage picture(8, 4, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::white);
    dk::THorzShadow(TRect(0, 0, 8, 4), 3, true, 64).render(&picture);
    EXPECT_EQ(picture.pixel(0, 0), 0xFF808080u);
    EXPECT_EQ(picture.pixel(7, 3), 0xFF808080u);
    picture.fill(Qt::white);
    dk::THorzShadow(TRect(0, 0, 8, 4), 3, false, 255).render(&picture);
    // Full opacity over white: 255 - alpha of the strip's pixel.
    EXPECT_EQ(qRed(picture.pixel(4, 0)), 0);
    EXPECT_EQ(qRed(picture.pixel(4, 2)), 128);
    EXPECT_EQ(qRed(picture.pixel(0, 0)), 255 - 63);
}
