#include "dockkit/common/DkCommon.h"
#include "dockkit/common/DkDraw.h"

#include "PixelPicture.h"

#include "platform/gui/AccelText.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

namespace {

struct CaptionRow {
    const char* name;
    const char* caption;
    unsigned format;
};

// A caption drawn into the box that menus and tool bars measure for it.
QImage DrawnInMeasuredBox(const QFont& font, const QString& caption, unsigned format, int slack) {
    QImage image = BlankImage(240, 30);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QFontMetrics metrics(font, &image);
    const int width = dk::MeasureTextWidth(metrics, caption, (format & plat::DT_NOPREFIX) == 0);
    // The room to spare goes where the alignment keeps the text in place.
    const int before = (format & plat::DT_RIGHT) != 0    ? slack
                       : (format & plat::DT_CENTER) != 0 ? slack / 2
                                                         : 0;
    dk::DrawCaption(painter, caption, plat::TRect(50 - before, 5, 50 + width + slack - before, 25),
                    format);
    return image;
}

class CaptionInItsBox : public testing::TestWithParam<CaptionRow> {};

// The box is as wide as the measured text: a caption whose accelerator
// breaks a kerned pair ("&To") must still end inside it, so drawing it in a
// box with room to spare paints exactly the same pixels.
TEST_P(CaptionInItsBox, IsDrawnWholeInTheWidthItWasMeasuredAt) {
    const CaptionRow& row = GetParam();
    // (A serif face's first glyph may reach left of its origin; the box's
    // left edge clips that as the platform's does, so sans faces only.)
    for (const int points : {8, 9, 11, 14}) {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPointSize(points);
        const QString caption = QString::fromUtf8(row.caption);
        EXPECT_EQ(PixelPicture(DrawnInMeasuredBox(font, caption, row.format, 0)),
                  PixelPicture(DrawnInMeasuredBox(font, caption, row.format, 40)))
            << points << " points";
    }
}

constexpr unsigned kMenu = plat::DT_SINGLELINE | plat::DT_VCENTER;

INSTANTIATE_TEST_SUITE_P(
    Rows, CaptionInItsBox,
    testing::Values(CaptionRow{"KernedPairAfterTheAccelerator", "&Toolbars", kMenu},
                    CaptionRow{"KernedPairBeforeTheAccelerator", "T&oolbars", kMenu},
                    CaptionRow{"AcceleratorsHidden", "&Toolbars", kMenu | plat::DT_HIDEPREFIX},
                    CaptionRow{"DoubledAmpersand", "&Friends && Groups", kMenu},
                    CaptionRow{"Centred", "&Edit", kMenu | plat::DT_CENTER},
                    CaptionRow{"RightAligned", "Wa&ter", kMenu | plat::DT_RIGHT},
                    CaptionRow{"NoPrefix", "To & Fro", kMenu | plat::DT_NOPREFIX}),
    [](const testing::TestParamInfo<CaptionRow>& info) { return info.param.name; });

// The columns of the image that hold any pixel other than the blank.
std::pair<int, int> InkedColumns(const QImage& image) {
    const QRgb blank = BlankImage(1, 1).pixel(0, 0);
    int first = image.width();
    int last = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != blank) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
        }
    }
    return {first, last};
}

// Captions are shaped once and kept: the same text in another size, or with
// its accelerator on another letter, is drawn as itself, not as the kept one.
TEST(DrawCaption, ACaptionDrawnAgainInAnotherSizeOrAcceleratorIsDrawnAsItself) {
    QFont font(QStringLiteral("DejaVu Sans"));
    for (const int points : {8, 14, 8, 20}) {
        font.setPointSize(points);
        const QImage image = DrawnInMeasuredBox(font, QStringLiteral("Toolbars"), kMenu, 0);
        const QFontMetrics metrics(font, &image);
        const int width = metrics.horizontalAdvance(QStringLiteral("Toolbars"));
        const auto [first, last] = InkedColumns(image);
        EXPECT_GE(last - first + 1, width * 9 / 10) << points << " points";
    }
    font.setPointSize(11);
    const QImage onT = DrawnInMeasuredBox(font, QStringLiteral("&Toolbars"), kMenu, 0);
    const QImage onO = DrawnInMeasuredBox(font, QStringLiteral("T&oolbars"), kMenu, 0);
    EXPECT_NE(PixelPicture(onT), PixelPicture(onO)) << "the underline moves with the accelerator";
}

} // namespace
