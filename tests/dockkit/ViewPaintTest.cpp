#include "ViewFixtures.h"

#include "PixelPicture.h"

#include "dockkit/items/DkItemViewer.h"
#include "dockkit/items/DkView.h"

#include "platform/gui/ImageList.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

// Paints a block half a pixel wide at x = 2, rows 0..3.
class HairlineViewer final : public FixedViewer {
public:
    using FixedViewer::FixedViewer;
    void Paint(QPainter& canvas, const plat::TRect&, bool, bool, bool) override {
        canvas.fillRect(QRectF(2, 0, 0.5, 4), Qt::black);
    }
};

class HairlineItem final : public FixedItem {
public:
    HairlineItem(QObject* owner) : FixedItem(owner, "H", 6, 4) {}
    std::unique_ptr<TDkItemViewer> CreateViewer(TDkView* view, int groupLevel) override {
        return std::make_unique<HairlineViewer>(view, this, groupLevel);
    }
};

QImage PaintView(TDkView& view, QSize size, qreal ratio, const QRegion& region = QRegion()) {
    QImage image(size * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    view.PaintWindow(painter, region.isEmpty() ? QRegion(QRect(QPoint(), size)) : region);
    return image;
}

TEST(ViewPaint, TheOffScreenImageKeepsTheWindowsPixelRatio) {
    ViewSetup s(true);
    s.root->Add(new HairlineItem(&s.owner));
    const PixelLegend legend{{qRgb(0, 0, 0), 'K'}, {plat::ToQColor(plat::clBtnFace).rgb(), '.'}};
    // At ratio 2 the half pixel is one device pixel wide: nothing was scaled.
    const QImage sharp = PaintView(*s.view, QSize(6, 4), 2.0);
    EXPECT_EQ(PixelPicture(sharp, legend, QRect(0, 0, 12, 1)), QStringList{"....K......."});
    const QImage plain = PaintView(*s.view, QSize(6, 4), 1.0);
    EXPECT_EQ(PixelPicture(plain, legend, QRect(0, 0, 6, 1)), QStringList{"..K..."});
}

TEST(ViewPaint, OnlyViewersInTheRegionArePaintedEachClippedToItsBounds) {
    ViewSetup s(true);
    s.Add("A", 4, 2, Qt::red);
    s.Add("B", 4, 2, Qt::green);
    const PixelLegend legend{{qRgb(255, 0, 0), 'R'},
                             {qRgb(0, 255, 0), 'G'},
                             {plat::ToQColor(plat::clBtnFace).rgb(), '.'},
                             {qRgb(255, 0, 255), '-'}};
    EXPECT_EQ(PixelPicture(PaintView(*s.view, QSize(8, 2), 1.0), legend),
              (QStringList{"RRRRGGGG", "RRRRGGGG"}));
    EXPECT_EQ(PixelPicture(PaintView(*s.view, QSize(8, 2), 1.0, QRegion(5, 0, 3, 2)), legend),
              (QStringList{"-----GGG", "-----GGG"}));
    // Hidden viewers paint nothing; the background shows.
    s.root->Items(0)->SetVisible(false);
    EXPECT_EQ(PixelPicture(PaintView(*s.view, QSize(8, 2), 1.0), legend),
              (QStringList{"GGGG....", "GGGG...."}));
}

TEST(ViewPaint, AMenuSeparatorIsAnEtchedLineInsetTwelvePixels) {
    ViewSetup s(false);
    s.Add("A", 40, 4, Qt::white);
    TDkSeparatorItem* sep = s.AddSeparator();
    s.Add("B", 40, 4, Qt::white);
    s.view->ValidatePositions();
    const plat::TRect r = s.Bounds(sep);
    const QImage image = PaintView(*s.view, QSize(40, r.Bottom + 4), 1.0);
    const int line = r.Top + r.Height() / 2 - 1;
    const QStringList rows = PixelPicture(image, ClassicLegend(), QRect(0, line, 40, 2));
    EXPECT_EQ(rows, (QStringList{"FFFFFFFFFFFFGGGGGGGGGGGGGGGGFFFFFFFFFFFF",
                                 "FFFFFFFFFFFFWWWWWWWWWWWWWWWWFFFFFFFFFFFF"}));
    sep->SetBlank(true);
    EXPECT_EQ(PixelPicture(PaintView(*s.view, QSize(40, r.Bottom + 4), 1.0), ClassicLegend(),
                           QRect(0, line, 40, 2)),
              (QStringList{QString(40, u'F'), QString(40, u'F')}));
}

// One toolbar button 8 x 8 with a 4 x 4 image of a 2 x 2 black square.
class ButtonPaint : public ::testing::Test {
protected:
    ButtonPaint() {
        auto* images = new plat::ImageList(4, 4, &s_.owner);
        QImage cell(4, 4, QImage::Format_ARGB32);
        cell.fill(Qt::transparent);
        for (int y = 1; y < 3; ++y) {
            for (int x = 1; x < 3; ++x) {
                cell.setPixel(x, y, qRgb(0, 0, 0));
            }
        }
        images->Add(cell);
        item_->SetImages(images);
        item_->SetImageIndex(0);
        s_.root->Add(item_);
        viewer_ = s_.view->Find(item_);
    }
    QStringList Paint(bool hot, bool pushed) {
        QImage image = BlankImage(9, 8);
        QPainter painter(&image);
        viewer_->Paint(painter, plat::TRect(0, 0, 9, 8), hot, pushed, true);
        return PixelPicture(image);
    }
    ViewSetup s_{true};
    TDkCustomItem* item_ = new TDkCustomItem(&s_.owner);
    TDkItemViewer* viewer_ = nullptr;
};

TEST_F(ButtonPaint, TheImageSitsInTheMiddleEmbossedWhenDisabledOnARaisedOrSunkenFace) {
    EXPECT_EQ(Paint(false, false),
              (QStringList{".........", ".........", ".........", "...KK....", "...KK....",
                           ".........", ".........", "........."}));
    // Hot buttons are raised; pushed ones sunken with the image shifted.
    EXPECT_EQ(Paint(true, false),
              (QStringList{"WWWWWWWWG", "W.......G", "W.......G", "W..KK...G", "W..KK...G",
                           "W.......G", "W.......G", "GGGGGGGGG"}));
    EXPECT_EQ(Paint(true, true), (QStringList{"GGGGGGGGW", "G.......W", "G.......W", "G.......W",
                                              "G...KK..W", "G...KK..W", "G.......W", "WWWWWWWWW"}));
    item_->SetEnabled(false);
    EXPECT_EQ(Paint(false, false),
              (QStringList{".........", ".........", ".........", "...GG....", "...GGW...",
                           "....WW...", ".........", "........."}));
}

} // namespace
