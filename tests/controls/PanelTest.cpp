#include "controls/QvPanel/QvPanel.h"

#include "GoldenRows.h"
#include "PixelPicture.h"

#include "platform/gui/AlignLayout.h"

#include <QApplication>
#include <QPaintEvent>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <vector>

using namespace plat;

namespace {

// What the widget paints itself (no window background), as rows of letters
// joined by '/'. Legend: W highlight, F face, G shadow, K black.
QString picture(QWidget& widget) {
    QImage image = BlankImage(widget.width(), widget.height());
    widget.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    return PixelPicture(image).join(u'/');
}

// Sides written as letters l t r b.
TSides SidesOf(const QString& letters) {
    TSides sides = 0;
    for (const QChar c : letters) {
        sides |= c == u'l' ? sdLeft : c == u't' ? sdTop : c == u'r' ? sdRight : sdBottom;
    }
    return sides;
}

TEST(PanelFrames, PaintEveryPixel) {
    const QStringList styles = {"none",       "flat",   "groove",   "bump",   "lowered",
                                "buttondown", "raised", "buttonup", "status", "popup"};
    const std::map<QString, TColor> colors = {{"face", clBtnFace},
                                              {"highlight", clBtnHighlight},
                                              {"shadow", clBtnShadow},
                                              {"black", clBlack}};
    for (const QStringList& row : GoldenTextRows("controls/panel-frames.tsv", 3)) {
        TQvPanel panel;
        panel.resize(row[0].section(u'x', 0, 0).toInt(), row[0].section(u'x', 1).toInt());
        const std::map<QString, std::function<void(const QString&)>> settings = {
            {"outer",
             [&](const QString& v) { panel.SetBorderOuter(TFrameStyle(styles.indexOf(v))); }},
            {"inner",
             [&](const QString& v) { panel.SetBorderInner(TFrameStyle(styles.indexOf(v))); }},
            {"sides", [&](const QString& v) { panel.SetBorderSides(SidesOf(v)); }},
            {"frames", [&](const QString& v) { panel.SetFrameSides(SidesOf(v)); }},
            {"bevel", [&](const QString& v) { panel.SetBevelWidth(v.toInt()); }},
            {"border", [&](const QString& v) { panel.SetBorderWidth(v.toInt()); }},
            {"color", [&](const QString& v) { panel.SetBorderColor(colors.at(v)); }},
            {"highlight", [&](const QString& v) { panel.SetBorderHighlight(colors.at(v)); }},
            {"shadow", [&](const QString& v) { panel.SetBorderShadow(colors.at(v)); }},
            {"flat", [&](const QString& v) { panel.SetFlatColor(colors.at(v)); }}};
        for (const QString& setting : row[1].split(u' ')) {
            settings.at(setting.section(u'=', 0, 0))(setting.section(u'=', 1));
        }
        EXPECT_EQ(picture(panel), row[2]) << row.join(u" | ").toStdString();
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
    EXPECT_NEAR((center.first + center.second) / 2.0, 30, 4);

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

namespace {

// --- Docking: caption strips, the rotated font, Locked -----------------------------------

// A docked control of one colour with its caption.
struct DockedClient : QWidget {
    DockedClient(const char* title, QColor color) {
        setWindowTitle(QString::fromLatin1(title));
        setAutoFillBackground(true);
        QPalette p = palette();
        p.setColor(QPalette::Window, color);
        setPalette(p);
    }
};

// A: the active caption, c: the clients' colour; everything else (the text
// on the strip, drawn smooth) is '?'.
QStringList DockPicture(QWidget& panel, QRect region) {
    QImage image = BlankImage(panel.width(), panel.height());
    panel.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    const PixelLegend legend{{ToQColor(clActiveCaption).rgb(), 'A'}, {qRgb(0, 128, 0), 'c'}};
    return PixelPicture(image, legend, region);
}

// The bounding box of the pixels of the strip that are not its colour.
QRect TextBox(QWidget& panel, QRect strip) {
    QImage image = BlankImage(panel.width(), panel.height());
    panel.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    QRect box;
    for (int y = strip.top(); y <= strip.bottom(); ++y) {
        for (int x = strip.left(); x <= strip.right(); ++x) {
            if (image.pixel(x, y) != ToQColor(clActiveCaption).rgb()) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

TEST(PanelDocking, ClientsSitUnderCaptionStripsThirteenPixelsDeep) {
    TQvPanel panel;
    panel.SetBorderOuter(fsNone);
    panel.resize(60, 50);
    panel.SetDockSite(true);
    DockedClient tools("Tools", QColor(0, 128, 0));
    DockedClient chat("Chat", QColor(0, 128, 0));
    ASSERT_TRUE(ctl::ManualDock(&tools, &panel));
    ASSERT_TRUE(ctl::ManualDock(&chat, &panel));
    EXPECT_EQ(panel.DockClients(), (std::vector<QWidget*>{&tools, &chat}));
    EXPECT_EQ(ctl::HostDockSite(&chat), &panel);
    EXPECT_EQ(panel.DockCaptionRect(&tools), TRect(0, 0, 60, 13));
    EXPECT_EQ(tools.geometry(), QRect(0, 13, 60, 12));
    EXPECT_EQ(panel.DockCaptionRect(&chat), TRect(0, 25, 60, 38));
    EXPECT_EQ(chat.geometry(), QRect(0, 38, 60, 12));
    // Left of the text and right of it the strip is the caption colour; the
    // client starts right below it.
    const QString strip = QStringLiteral("A/").repeated(13) + QStringLiteral("c");
    EXPECT_EQ(DockPicture(panel, QRect(0, 0, 1, 14)).join(u'/'), strip);
    EXPECT_EQ(DockPicture(panel, QRect(59, 25, 1, 14)).join(u'/'), strip);
    const QRect text = TextBox(panel, QRect(0, 0, 60, 13));
    EXPECT_FALSE(text.isEmpty()) << "the caption is written";
    EXPECT_GE(text.left(), 1);
    EXPECT_GT(text.width(), text.height()) << "it runs along the strip";

    panel.SetShowDockClientCaptions(false);
    EXPECT_EQ(tools.geometry(), QRect(0, 0, 60, 25));
    EXPECT_EQ(panel.DockCaptionRect(&tools), TRect());
    EXPECT_EQ(DockPicture(panel, QRect(0, 0, 2, 2)).join(u'/'), QStringLiteral("cc/cc"));
}

TEST(PanelDocking, OnAPanelAlignedToTheTopTheStripsRunDownTheClientsLeftSides) {
    QWidget form;
    form.resize(80, 100);
    auto* layout = new plat::AlignLayout(&form);
    auto* panel = new TQvPanel(&form);
    panel->SetBorderOuter(fsNone);
    panel->resize(80, 60);
    layout->AddWidget(panel, plat::Align::Top);
    layout->activate();
    panel->SetDockSite(true);
    ASSERT_TRUE(panel->DockCaptionsVertical());
    DockedClient tools("Tools", QColor(0, 128, 0));
    ASSERT_TRUE(ctl::ManualDock(&tools, panel));
    EXPECT_EQ(panel->DockCaptionRect(&tools), TRect(0, 0, 13, 60));
    EXPECT_EQ(tools.geometry(), QRect(13, 0, 67, 60));
    EXPECT_EQ(DockPicture(*panel, QRect(0, 0, 14, 2)).join(u'/'),
              QStringLiteral("AAAAAAAAAAAAAc/AAAAAAAAAAAAAc"));
    const QRect text = TextBox(*panel, QRect(0, 0, 13, 60));
    EXPECT_FALSE(text.isEmpty());
    EXPECT_GT(text.height(), text.width()) << "the rotated text runs down the strip";
    EXPECT_EQ(text.bottom(), 58) << "from the strip's bottom, upwards";
}

TEST(RotatedFont, TakesTheFacesHeightAndStyleAndTheAngle) {
    const struct {
        bool bold, italic, underline, strikeOut, fixed;
    } rows[] = {{true, false, false, false, false},
                {false, true, true, false, false},
                {false, false, false, true, true}};
    for (const auto& row : rows) {
        QFont font(QStringLiteral("Verdana"), 8);
        font.setBold(row.bold);
        font.setItalic(row.italic);
        font.setUnderline(row.underline);
        font.setStrikeOut(row.strikeOut);
        font.setFixedPitch(row.fixed);
        const ctl::TRotatedFont rotated = ctl::CreateRotatedFont(font, 900);
        EXPECT_EQ(rotated.Escapement, 900);
        EXPECT_EQ(rotated.Font.family(), font.family());
        EXPECT_EQ(rotated.Font.pointSizeF(), 8.0);
        EXPECT_EQ(rotated.Font.weight(), row.bold ? QFont::Bold : QFont::Normal);
        EXPECT_EQ(rotated.Font.italic(), row.italic);
        EXPECT_EQ(rotated.Font.underline(), row.underline);
        EXPECT_EQ(rotated.Font.strikeOut(), row.strikeOut);
        EXPECT_EQ(rotated.Font.fixedPitch(), row.fixed);
    }
    // A demi-bold face counts as not bold.
    QFont demi;
    demi.setWeight(QFont::DemiBold);
    EXPECT_EQ(ctl::CreateRotatedFont(demi, 0).Font.weight(), QFont::Normal);
}

} // namespace
