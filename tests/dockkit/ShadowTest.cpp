// Drop shadows: the alpha of the strips, their arrangement around a pop-up
// and the item that opened it, and the strip windows.
#include "dockkit/themes/DkShadows.h"

#include "DataRows.h"
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
    static_assert(dk::ShadowStartSide == 1 && dk::ShadowEndSide == 2);
    for (const QStringList& row : DataRows("shadow-alphas.txt", 5)) {
        SCOPED_ROW(row);
        const QStringList size = row[1].split(u'x');
        EXPECT_EQ(Alphas(row[0].at(0).toLatin1(), QSize(size[0].toInt(), size[1].toInt()),
                         row[2].toInt(), row[3].toInt()),
                  row[4].toStdString());
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
    const auto rect = [](const QString& text) {
        const QStringList n = text.split(u',');
        return n.size() < 4 ? TRect()
                            : TRect(n[0].toInt(), n[1].toInt(), n[2].toInt(), n[3].toInt());
    };
    for (const QStringList& row : DataRows("shadow-arrangement.txt", 3)) {
        SCOPED_ROW(row);
        EXPECT_EQ(Describe(dk::ShadowStrips(rect(row[0]), rect(row[1]), 4)), row[2].toStdString());
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
