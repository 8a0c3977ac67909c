// Drop shadows: the alpha of the strips, their arrangement around a pop-up
// and the item that opened it, and the strip windows.
#include "dockkit/themes/DkShadows.h"

#include "GoldenPicture.h"
#include "PlatformFakes.h"

#include <QPainter>

#include <gtest/gtest.h>

using namespace plat;
using dk::ShadowStrip;

namespace {

std::vector<int> AlphaRow(const QImage& buffer, int y) {
    std::vector<int> row;
    for (int x = 0; x < buffer.width(); ++x) {
        row.push_back(qAlpha(buffer.pixel(x, y)));
    }
    return row;
}

std::vector<int> AlphaColumn(const QImage& buffer, int x) {
    std::vector<int> column;
    for (int y = 0; y < buffer.height(); ++y) {
        column.push_back(qAlpha(buffer.pixel(x, y)));
    }
    return column;
}

QImage Horz(int w, int h, int sides) {
    QImage buffer(w, h, QImage::Format_ARGB32_Premultiplied);
    dk::FillHorzShadowBuffer(buffer, sides);
    return buffer;
}

QImage Vert(int w, int h, int sides) {
    QImage buffer(w, h, QImage::Format_ARGB32_Premultiplied);
    dk::FillVertShadowBuffer(buffer, sides);
    return buffer;
}

std::vector<int> Repeat(std::vector<int> head, int value, int count, std::vector<int> tail) {
    head.insert(head.end(), static_cast<size_t>(count), value);
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

} // namespace

TEST(ShadowBuffers, AHorizontalStripFadesDownwardsAndAtItsCorners) {
    const QImage both = Horz(20, 4, 3);
    EXPECT_EQ(AlphaRow(both, 0), Repeat({63, 127, 191}, 255, 14, {191, 127, 63}));
    EXPECT_EQ(AlphaRow(both, 1), Repeat({31, 95, 159}, 191, 14, {159, 95, 31}));
    EXPECT_EQ(AlphaRow(both, 3), Repeat({0, 0, 31}, 63, 14, {31, 0, 0}));
    // One side only: the other end is cut square.
    EXPECT_EQ(AlphaRow(Horz(8, 4, dk::ShadowStartSide), 0), Repeat({63, 127, 191}, 255, 5, {}));
    EXPECT_EQ(AlphaRow(Horz(8, 4, dk::ShadowEndSide), 0), Repeat({}, 255, 5, {191, 127, 63}));
    EXPECT_EQ(AlphaRow(Horz(8, 4, 0), 2), Repeat({}, 127, 8, {}));
    // The colour channels stay black.
    EXPECT_EQ(both.pixel(10, 0) & 0xFFFFFFu, 0u);
}

TEST(ShadowBuffers, ANarrowStripSharesItsLengthBetweenTheCorners) {
    EXPECT_EQ(AlphaRow(Horz(6, 4, 3), 0), (std::vector<int>{63, 127, 191, 191, 127, 63}));
    // One corner that does not fit takes the whole length: its outer part.
    EXPECT_EQ(AlphaRow(Horz(3, 4, dk::ShadowStartSide), 0), (std::vector<int>{63, 127, 191}));
    EXPECT_EQ(AlphaRow(Horz(3, 4, dk::ShadowEndSide), 0), (std::vector<int>{191, 127, 63}));
}

TEST(ShadowBuffers, AVerticalStripFadesRightwardsAndAtItsTop) {
    const QImage strip = Vert(4, 12, dk::ShadowStartSide);
    for (int y = 4; y < 12; ++y) {
        EXPECT_EQ(AlphaRow(strip, y), (std::vector<int>{255, 191, 127, 63})) << y;
    }
    EXPECT_EQ(AlphaColumn(strip, 0), Repeat({63, 127, 191}, 255, 9, {}));
    EXPECT_EQ(AlphaRow(strip, 0), (std::vector<int>{63, 31, 0, 0}));
    EXPECT_EQ(AlphaColumn(Vert(4, 12, 3), 0), Repeat({63, 127, 191}, 255, 6, {191, 127, 63}));
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

struct StripCase {
    const char* name;
    TRect r1;
    TRect r2;
    std::vector<ShadowStrip> strips;
};

class ShadowArrangement : public ::testing::TestWithParam<StripCase> {};

TEST_P(ShadowArrangement, FollowsTheOutlineOfBothRectangles) {
    EXPECT_EQ(dk::ShadowStrips(GetParam().r1, GetParam().r2, 4), GetParam().strips);
}

INSTANTIATE_TEST_SUITE_P(
    Shadows, ShadowArrangement,
    ::testing::Values(
        StripCase{"nothing", TRect(), TRect(), {}},
        StripCase{"alone",
                  TRect(100, 100, 200, 300),
                  TRect(),
                  {{TRect(104, 300, 204, 304), true, 3}, {TRect(200, 104, 204, 300), false, 1}}},
        StripCase{"item_alone",
                  TRect(),
                  TRect(100, 100, 200, 300),
                  {{TRect(104, 300, 204, 304), true, 3}, {TRect(200, 104, 204, 300), false, 1}}},
        // A drop-down below a narrower item at the same left edge: the
        // pop-up's bottom strip fades at both outside corners; its right
        // strip fades at its top; the item's right strip starts faded and
        // ends square on the pop-up.
        StripCase{"below",
                  TRect(10, 30, 110, 90),
                  TRect(10, 10, 40, 30),
                  {{TRect(14, 90, 114, 94), true, 3},
                   {TRect(110, 34, 114, 90), false, 1},
                   {TRect(40, 14, 44, 30), false, 1}}},
        // The same right edge: one straight right shadow, no fade where they meet.
        StripCase{"below_flush",
                  TRect(10, 30, 40, 90),
                  TRect(10, 10, 40, 30),
                  {{TRect(14, 90, 44, 94), true, 3},
                   {TRect(40, 30, 44, 90), false, 0},
                   {TRect(40, 14, 44, 30), false, 1}}},
        // Opened upwards: the pop-up's bottom strip starts square beside the
        // item; the item's right strip starts below it.
        StripCase{"above",
                  TRect(10, 10, 110, 70),
                  TRect(10, 70, 40, 90),
                  {{TRect(40, 70, 114, 74), true, 2},
                   {TRect(14, 90, 44, 94), true, 3},
                   {TRect(110, 14, 114, 70), false, 1},
                   {TRect(40, 74, 44, 90), false, 0}}},
        // A submenu to the right, top edges aligned: the item's bottom strip
        // runs square into the pop-up.
        StripCase{"right",
                  TRect(40, 10, 140, 90),
                  TRect(10, 10, 40, 30),
                  {{TRect(44, 90, 144, 94), true, 3},
                   {TRect(14, 30, 40, 34), true, 1},
                   {TRect(140, 14, 144, 90), false, 1}}},
        // A submenu to the left: the pop-up's right strip shows only below the item.
        StripCase{"left",
                  TRect(10, 10, 60, 90),
                  TRect(60, 10, 90, 30),
                  {{TRect(14, 90, 64, 94), true, 3},
                   {TRect(60, 30, 94, 34), true, 2},
                   {TRect(60, 34, 64, 90), false, 0},
                   {TRect(90, 14, 94, 30), false, 1}}}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Windows ---------------------------------------------------------------------------

TEST(Shadows, StripsAreSolidAndHalfAsThickWithoutBlending) {
    // The offscreen platform cannot raise the strips and says so each time.
    static QtMessageHandler previous = nullptr;
    previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& text) {
            if (!text.contains(u"does not support")) {
                previous(type, context, text);
            }
        });
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
    qInstallMessageHandler(previous);
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
