#include "controls/QvPanel.h"

#include "PixelPicture.h"

#include <QApplication>
#include <QPaintEvent>

#include <gtest/gtest.h>

using namespace plat;

namespace {

// What the widget paints itself (no window background), as rows of letters
// joined by '/'. Legend: W highlight, F face, G shadow, K black.
QString picture(QWidget& widget) {
    QImage image = BlankImage(widget.width(), widget.height());
    widget.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    return PixelPicture(image).join(u'/');
}

// Settings of a panel that differ from the defaults.
struct Look {
    TFrameStyle outer = fsRaised, inner = fsNone;
    TSides sides = sdAllSides, frameSides = 0;
    int bevelWidth = 1, borderWidth = 0;
    TColor borderColor = clBtnFace, highlight = clBtnHighlight, shadow = clBtnShadow,
           flat = clBlack;
};

TEST(PanelFrames, PaintEveryPixel) {
    const struct {
        int width, height;
        Look look;
        const char* picture;
    } cases[] = {
        {6, 6, {.outer = fsRaised}, "FFFFFK/FWWWGK/FWFFGK/FWFFGK/FGGGGK/KKKKKK"},
        {5, 5, {.outer = fsButtonUp}, "FFFFK/FWWGK/FWFGK/FGGGK/KKKKK"},
        {5, 5, {.outer = fsLowered}, "GGGGW/GKKFW/GKFFW/GFFFW/WWWWW"},
        {5, 5, {.outer = fsGroove}, "GGGGW/GWWGW/GWFGW/GGGGW/WWWWW"},
        {4, 4, {.outer = fsFlat, .flat = clBtnShadow}, "GGGG/GFFG/GFFG/GGGG"},
        {5, 4, {.outer = fsStatus, .sides = sdBottom}, "FFFFF/FFFFF/FFFFF/WWWWW"},
        {6, 6, {.outer = fsStatus, .bevelWidth = 2}, "GGGGGW/GGGGWW/GGFFWW/GGFFWW/GWWWWW/WWWWWW"},
        {4,
         4,
         {.outer = fsPopup, .highlight = clBlack, .shadow = clBtnShadow},
         "KKKG/KFFG/KFFG/GGGG"},
        // a band inside the outer frame
        {7,
         7,
         {.outer = fsFlat, .borderWidth = 2, .borderColor = clBtnHighlight},
         "KKKKKKK/KWWWWWK/KWWWWWK/KWWFWWK/KWWWWWK/KWWWWWK/KKKKKKK"},
        {6, 6, {.outer = fsStatus, .inner = fsPopup}, "GGGGGW/GWWWGW/GWFFGW/GWFFGW/GGGGGW/WWWWWW"},
        // frame lines outside everything
        {5,
         5,
         {.outer = fsStatus, .sides = sdRight | sdBottom, .frameSides = sdLeft | sdTop},
         "KKKKK/KFFFW/KFFFW/KFFFW/KWWWW"},
        {3, 2, {.outer = fsNone}, "FFF/FFF"},
    };
    for (const auto& c : cases) {
        TQvPanel panel;
        panel.resize(c.width, c.height);
        panel.SetBorderOuter(c.look.outer);
        panel.SetBorderInner(c.look.inner);
        panel.SetBorderSides(c.look.sides);
        panel.SetFrameSides(c.look.frameSides);
        panel.SetBevelWidth(c.look.bevelWidth);
        panel.SetBorderWidth(c.look.borderWidth);
        panel.SetBorderColor(c.look.borderColor);
        panel.SetBorderHighlight(c.look.highlight);
        panel.SetBorderShadow(c.look.shadow);
        panel.SetFlatColor(c.look.flat);
        EXPECT_EQ(picture(panel), QLatin1String(c.picture)) << c.look.outer;
    }
    QWidget parent;
    TQvOpaquePanel opaque(&parent);
    opaque.resize(4, 3);
    opaque.SetColor(clBtnShadow);
    EXPECT_TRUE(opaque.testAttribute(Qt::WA_OpaquePaintEvent));
    EXPECT_EQ(picture(opaque), QStringLiteral("GGGG/GGGG/GGGG"));
}

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

// The first and last row holding a pixel of the letter.
std::pair<int, int> rowsOf(const QString& picture, QChar letter) {
    const QStringList rows = picture.split(u'/');
    int first = -1;
    int last = -1;
    for (int y = 0; y < rows.size(); ++y) {
        if (rows[y].contains(letter)) {
            first = first < 0 ? y : first;
            last = y;
        }
    }
    return {first, last};
}

TEST(PanelCaption, SitsWhereTheVerticalAlignmentSaysAndIsEmbossedWhenDisabled) {
    TQvPanel panel;
    panel.resize(80, 60);
    panel.SetBorderOuter(fsNone);
    panel.SetCaption(QStringLiteral("Hg"));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    font.setStyleStrategy(QFont::NoAntialias);
    panel.setFont(font);

    panel.SetAlignmentVertical(avTop);
    const auto top = rowsOf(picture(panel), u'K');
    panel.SetAlignmentVertical(avBottom);
    const auto bottom = rowsOf(picture(panel), u'K');
    panel.SetAlignmentVertical(avCenter);
    const auto center = rowsOf(picture(panel), u'K');
    ASSERT_GE(top.first, 0);
    EXPECT_LT(top.first, 6);
    EXPECT_GT(bottom.second, 60 - 8);
    EXPECT_LE(bottom.second, 60 - 2); // ends one pixel above the bottom
    EXPECT_NEAR((center.first + center.second) / 2, 30, 4);

    panel.setEnabled(false);
    const QString disabled = picture(panel);
    EXPECT_EQ(rowsOf(disabled, u'K').first, -1);
    ASSERT_GE(rowsOf(disabled, u'G').first, 0);
    EXPECT_EQ(rowsOf(disabled, u'W').first, rowsOf(disabled, u'G').first + 1);
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

} // namespace
