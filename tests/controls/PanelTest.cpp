#include "controls/QvPanel.h"

#include "PixelPicture.h"

#include <QApplication>
#include <QEnterEvent>
#include <QPaintEvent>
#include <QPainter>

#include <gtest/gtest.h>

#include <functional>

using namespace plat;

namespace {

QImage paint(QWidget& widget) {
    QImage image = BlankImage(widget.width(), widget.height());
    // Only what the widget paints itself: no window background.
    widget.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    return image;
}

struct PanelCase {
    const char* name;
    int width;
    int height;
    std::function<void(TQvCustomPanel&)> setUp;
    QStringList picture;
};

void PrintTo(const PanelCase& c, std::ostream* os) {
    *os << c.name;
}

std::function<void(TQvCustomPanel&)> outer(TFrameStyle style, TSides sides = sdAllSides) {
    return [=](TQvCustomPanel& p) {
        p.SetBorderOuter(style);
        p.SetBorderSides(sides);
    };
}

class PanelFrames : public ::testing::TestWithParam<PanelCase> {};

TEST_P(PanelFrames, PaintEveryPixel) {
    const PanelCase& c = GetParam();
    TQvPanel panel;
    panel.resize(c.width, c.height);
    c.setUp(panel);
    EXPECT_EQ(PixelPicture(paint(panel)), c.picture);
}

// Legend: W highlight, F face (and 3D light), G shadow, K black.
INSTANTIATE_TEST_SUITE_P(
    Styles, PanelFrames,
    ::testing::Values(
        PanelCase{"RaisedByDefault",
                  6,
                  6,
                  [](TQvCustomPanel&) {},
                  {"FFFFFK", "FWWWGK", "FWFFGK", "FWFFGK", "FGGGGK", "KKKKKK"}},
        PanelCase{
            "ButtonUp", 5, 5, outer(fsButtonUp), {"FFFFK", "FWWGK", "FWFGK", "FGGGK", "KKKKK"}},
        PanelCase{"Lowered", 5, 5, outer(fsLowered), {"GGGGW", "GKKFW", "GKFFW", "GFFFW", "WWWWW"}},
        PanelCase{
            "ButtonDown", 5, 5, outer(fsButtonDown), {"KKKKW", "KGGFW", "KGFFW", "KFFFW", "WWWWW"}},
        PanelCase{"Groove", 5, 5, outer(fsGroove), {"GGGGW", "GWWGW", "GWFGW", "GGGGW", "WWWWW"}},
        PanelCase{"Bump", 5, 5, outer(fsBump), {"WWWWG", "WGGWG", "WGFWG", "WWWWG", "GGGGG"}},
        PanelCase{"FlatInItsColour",
                  4,
                  4,
                  [](TQvCustomPanel& p) {
                      p.SetBorderOuter(fsFlat);
                      p.SetFlatColor(clBtnShadow);
                  },
                  {"GGGG", "GFFG", "GFFG", "GGGG"}},
        PanelCase{"StatusOnlyAtTheBottom",
                  5,
                  4,
                  outer(fsStatus, sdBottom),
                  {"FFFFF", "FFFFF", "FFFFF", "WWWWW"}},
        PanelCase{"StatusTwoLinesDeep",
                  6,
                  6,
                  [](TQvCustomPanel& p) {
                      p.SetBorderOuter(fsStatus);
                      p.SetBevelWidth(2);
                  },
                  {"GGGGGW", "GGGGWW", "GGFFWW", "GGFFWW", "GWWWWW", "WWWWWW"}},
        PanelCase{"PopupInItsOwnColours",
                  4,
                  4,
                  [](TQvCustomPanel& p) {
                      p.SetBorderOuter(fsPopup);
                      p.SetBorderHighlight(clBlack);
                      p.SetBorderShadow(clBtnShadow);
                  },
                  {"KKKG", "KFFG", "KFFG", "GGGG"}},
        PanelCase{"BandInsideTheOuterFrame",
                  7,
                  7,
                  [](TQvCustomPanel& p) {
                      p.SetBorderOuter(fsFlat);
                      p.SetBorderWidth(2);
                      p.SetBorderColor(clBtnHighlight);
                  },
                  {"KKKKKKK", "KWWWWWK", "KWWWWWK", "KWWFWWK", "KWWWWWK", "KWWWWWK", "KKKKKKK"}},
        PanelCase{"InnerInsideOuter",
                  6,
                  6,
                  [](TQvCustomPanel& p) {
                      p.SetBorderOuter(fsStatus);
                      p.SetBorderInner(fsPopup);
                  },
                  {"GGGGGW", "GWWWGW", "GWFFGW", "GWFFGW", "GGGGGW", "WWWWWW"}},
        PanelCase{"FrameLinesOutsideEverything",
                  5,
                  5,
                  [](TQvCustomPanel& p) {
                      p.SetFrameSides(sdLeft | sdTop);
                      p.SetBorderOuter(fsStatus);
                      p.SetBorderSides(sdRight | sdBottom);
                  },
                  {"KKKKK", "KFFFW", "KFFFW", "KFFFW", "KWWWW"}},
        PanelCase{"NoFrameAtAll", 3, 2, outer(fsNone), {"FFF", "FFF"}}));

TEST(PanelFrames, ChildrenSitInsideTheFrames) {
    TQvPanel panel;
    panel.resize(50, 40);
    panel.SetFrameSides(sdLeft);
    panel.SetBorderOuter(fsRaised);
    panel.SetBorderWidth(3);
    panel.SetBorderInner(fsStatus);
    panel.SetBevelWidth(2);
    panel.SetBorderSides(sdLeft | sdTop);
    EXPECT_EQ(panel.contentsMargins(), QMargins(1 + 2 + 3 + 2, 2 + 3 + 2, 0, 0));
    EXPECT_EQ(panel.ClientRect(), TRect(8, 7, 50, 40));
}

// The caption's rows: the first and last row holding a pixel of the colour.
std::pair<int, int> rowsOf(const QImage& image, QRgb color) {
    int first = -1;
    int last = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if ((image.pixel(x, y) & 0xFFFFFF) == (color & 0xFFFFFF)) {
                if (first < 0) {
                    first = y;
                }
                last = y;
                break;
            }
        }
    }
    return {first, last};
}

class PanelCaption : public ::testing::Test {
protected:
    PanelCaption() {
        panel_.resize(80, 60);
        panel_.SetBorderOuter(fsNone);
        panel_.SetCaption(QStringLiteral("Hg"));
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(12);
        font.setStyleStrategy(QFont::NoAntialias);
        panel_.setFont(font);
    }
    TQvPanel panel_;
};

TEST_F(PanelCaption, SitsWhereTheVerticalAlignmentSays) {
    const QRgb black = 0x000000;
    panel_.SetAlignmentVertical(avTop);
    const auto top = rowsOf(paint(panel_), black);
    panel_.SetAlignmentVertical(avCenter);
    const auto center = rowsOf(paint(panel_), black);
    panel_.SetAlignmentVertical(avBottom);
    const auto bottom = rowsOf(paint(panel_), black);
    ASSERT_GE(top.first, 0);
    EXPECT_LT(top.first, 6);
    EXPECT_GT(bottom.second, 60 - 8);
    EXPECT_LE(bottom.second, 60 - 2); // ends one pixel above the bottom
    const int middle = (center.first + center.second) / 2;
    EXPECT_NEAR(middle, 30, 4);
}

TEST_F(PanelCaption, DisabledIsEmbossedInGreyAndHighlight) {
    panel_.setEnabled(false);
    const QImage image = paint(panel_);
    EXPECT_EQ(rowsOf(image, 0x000000).first, -1);
    const auto grey = rowsOf(image, 0x808080);
    const auto light = rowsOf(image, 0xFFFFFF);
    ASSERT_GE(grey.first, 0);
    EXPECT_EQ(light.first, grey.first + 1);
}

TEST_F(PanelCaption, EmptyCaptionLeavesOnlyTheBackground) {
    panel_.SetCaption(QString());
    const QImage image = paint(panel_);
    const QStringList rows = PixelPicture(image);
    for (const QString& row : rows) {
        EXPECT_EQ(row, QString(80, QLatin1Char('F')));
    }
}

TEST(PanelEnabled, ChildrenFollowThePanelBothWays) {
    TQvPanel panel;
    QWidget child(&panel);
    child.setEnabled(false);
    panel.setEnabled(false);
    EXPECT_FALSE(child.isEnabled());
    panel.setEnabled(true);
    EXPECT_TRUE(child.isEnabled());
}

// A panel that notes what it was asked to paint.
struct PaintProbe : TQvPanel {
    using TQvPanel::TQvPanel;
    void paintEvent(QPaintEvent* event) override {
        painted += event->region();
        TQvPanel::paintEvent(event);
    }
    QRegion painted;
};

TEST(PanelRepaint, WithoutFullRepaintOnlyTheMovedFrameIsPaintedAgain) {
    QWidget host;
    host.resize(300, 200);
    PaintProbe panel(&host);
    panel.resize(100, 50);
    panel.SetCaption(QStringLiteral("x"));
    host.show();
    for (const bool full : {true, false}) {
        panel.SetFullRepaint(full);
        panel.resize(100, 50);
        QApplication::processEvents();
        panel.painted = QRegion();
        panel.resize(120, 50);
        QApplication::processEvents();
        // The raised frame is two pixels deep: its old place and the new strip.
        EXPECT_EQ(panel.painted, full ? QRegion(0, 0, 120, 50) : QRegion(98, 0, 22, 50));
    }
}

TEST(OpaquePanel, PaintsAllOfItselfInItsColour) {
    QWidget parent;
    TQvOpaquePanel panel(&parent);
    panel.resize(4, 3);
    panel.SetColor(clBtnShadow);
    EXPECT_TRUE(panel.testAttribute(Qt::WA_OpaquePaintEvent));
    EXPECT_EQ(PixelPicture(paint(panel)), QStringList({"GGGG", "GGGG", "GGGG"}));
}

} // namespace
