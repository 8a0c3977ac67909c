// Themed pop-ups and floating windows: their border, colour and frame from
// the theme, the theme's own shadows, joined placement, and a theme switch
// while menus and floating windows are open, with the message order. Drop
// shadows: the alpha of the strips, their arrangement around a pop-up and the
// item that opened it, and the strip windows.

#include "dockkit/docking/DkDockablePanel.h"
#include "dockkit/docking/DkThemedFloatingParent.h"
#include "dockkit/themes/DkShadows.h"
#include "dockkit/themes/DkThemedItem.h"
#include "dockkit/themes/DkThemedPopup.h"

#include "DataRows.h"
#include "DockFixtures.h"
#include "GoldenPicture.h"
#include "KitThemeFixtures.h"
#include "MenuFixtures.h"
#include "PlatformFakes.h"
#include "ThemeFixtures.h"

#include "platform/gui/ImageList.h"
#include "platform/gui/KitMessage.h"

#include <QCoreApplication>
#include <QPainter>

#include <gtest/gtest.h>

#include <memory>

using namespace plat;
using dk::ShadowStrip;

namespace {

// A themed menu of three image items.
struct ThemedMenu {
    ThemedMenu() {
        images = new ImageList(16, 16, &owner);
        QImage cell(16, 16, QImage::Format_ARGB32);
        cell.fill(Qt::black);
        images->Add(cell);
        root = new TDkxRootItem(&owner);
        root->SetSubMenuImages(images);
        for (int i = 0; i < 3; ++i) {
            auto* item = new TDkxItem(&owner);
            item->SetImageIndex(0);
            root->Add(item);
        }
    }
    std::unique_ptr<TDkxPopupWindow> Open() {
        auto window = std::make_unique<TDkxPopupWindow>(nullptr, root, false);
        window->View()->UpdatePositions();
        return window;
    }
    static QImage Picture(QWidget& window) {
        QImage image(window.size(), QImage::Format_RGB32);
        window.render(&image);
        return image;
    }

    QObject owner;
    ImageList* images;
    TDkxRootItem* root;
};

class JoinedPlacement : public ::testing::Test {
protected:
    JoinedPlacement() {
        bar.setGeometry(100, 50, 200, 22);
        view = new TDkView(&bar, nullptr, &root, &bar, true, false, false);
    }
    TDkPopupPositionRec DropDown() const {
        TDkPopupPositionRec rec;
        rec.MonitorRect = TRect(0, 0, 1024, 768);
        rec.ParentItemRect = TRect(100, 50, 123, 72);
        rec.NCSize = QPoint(3, 3);
        rec.X = 100;
        rec.Y = 72;
        rec.W = 80;
        rec.H = 60;
        return rec;
    }

    FakeScreens screens{{{TRect(0, 0, 1024, 768), TRect(0, 0, 1024, 768)}}};
    KitThemes themes;
    QWidget bar;
    TDkRootItem root;
    TDkView* view = nullptr;
    TDkxItem item;
};

} // namespace

TEST_F(JoinedPlacement, FlatDropDownsOverlapTheirItemByAPixelAndKeepTheirSize) {
    TDkPopupPositionRec rec = DropDown();
    item.GetPopupPosition(view, nullptr, rec);
    EXPECT_EQ(rec.Y, 72) << "the Default theme does not join";
    EXPECT_EQ(rec.NCSize, QPoint(3, 3));

    themes.Select("Flat");
    rec = DropDown();
    item.GetPopupPosition(view, nullptr, rec);
    EXPECT_EQ(rec.X, 100);
    EXPECT_EQ(rec.Y, 71);
    EXPECT_EQ(rec.W, 80);
    EXPECT_EQ(rec.H, 60);
    EXPECT_EQ(rec.NCSize, QPoint(0, 0));
}

TEST_F(JoinedPlacement, FlatSubmenusStartAtTheItemsEdge) {
    themes.Select("Flat");
    TDkPopupPositionRec rec = DropDown();
    rec.PositionAsSubmenu = true;
    rec.X = 123 - 3;
    rec.Y = 50 - 3;
    item.GetPopupPosition(view, nullptr, rec);
    EXPECT_EQ(rec.X, 123);
    EXPECT_EQ(rec.Y, 50);
    EXPECT_EQ(rec.NCSize, QPoint(0, 0));
}

// --- A theme switch with menus and floating windows open -----------------------------------------

namespace {

class OpenWindowsSwitch : public ::testing::Test {
protected:
    OpenWindowsSwitch() {
        panel = new TDkxDockablePanel(&f.form);
        panel->setObjectName(QStringLiteral("Panel"));
        panel->SetFloatingPosition(QPoint(500, 300));
        panel->SetFloatingState(true);
        popup = menu.Open();
        popup->move(200, 200);
        popup->show();
        themes.nexus->AddThemeListener(&listener);
    }

    KitThemes themes;
    DockForm f;
    TDkxDockablePanel* panel = nullptr;
    ThemedMenu menu;
    std::unique_ptr<TDkxPopupWindow> popup;
    QStringList log;
    MessageLogger listener{QStringLiteral("L"), log};
};

} // namespace

TEST_F(OpenWindowsSwitch, EveryOpenWindowHearsInOrderAndTakesTheNewLook) {
    KitMessageTap panelTap(panel, QStringLiteral("Panel"), log);
    KitMessageTap popupTap(popup.get(), QStringLiteral("Popup"), log);
    auto* form = qobject_cast<TDkxFloatingWindowParent*>(panel->FloatingParent());
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(Px(ThemedMenu::Picture(*form), 0, 0), 0xD4D0C8u);
    EXPECT_EQ(popup->Shadows(), nullptr) << "the Default theme leaves shadows to the desk";

    themes.Select("Flat");
    EXPECT_EQ(log, QStringList({"Panel:1257", "Popup:1257", "L:1259", "Panel:1258", "Popup:1258"}));
    // The open menu: the new border, colour and frame, sized to its rows
    // again, with the Flat theme's shadows.
    EXPECT_EQ(popup->contentsMargins(), QMargins(2, 2, 2, 2));
    EXPECT_EQ(popup->Color(), Rgb(0xF9F8F7));
    popup->View()->ValidatePositions();
    const QImage picture = ThemedMenu::Picture(*popup);
    EXPECT_EQ(Px(picture, 0, 0), 0x666666u);
    ASSERT_NE(popup->Shadows(), nullptr);
    EXPECT_GT(popup->Shadows()->Count(), 0);
    // The floating panel's form and the panel itself.
    EXPECT_EQ(Px(ThemedMenu::Picture(*form), 0, 0), 0x666666u);
    EXPECT_EQ(panel->EffectiveColor(), Rgb(0xF9F8F7));

    log.clear();
    themes.Select("Default");
    EXPECT_EQ(log.size(), 5);
    EXPECT_EQ(popup->contentsMargins(), QMargins(3, 3, 3, 3));
    EXPECT_EQ(popup->Color(), clMenu);
    EXPECT_EQ(popup->Shadows(), nullptr);
    // An item shown as a tool box makes a tool box pop-up.
    auto* box = new TDkxSubmenuItem(&menu.owner);
    box->SetToolBoxPopup(true);
    TDkxPopupWindow toolBox(nullptr, box, false);
    EXPECT_EQ(toolBox.ViewKind(), dk::ViewToolBoxPopup);
}

TEST_F(OpenWindowsSwitch, FlatPopupsCastTheirShadowsWhenShownAndDropThemWhenHidden) {
    themes.Select("Flat");
    popup->hide();
    EXPECT_EQ(popup->Shadows(), nullptr);
    popup->show();
    ASSERT_NE(popup->Shadows(), nullptr);
    // Moved while shown: the shadows follow, the right strip along the new
    // right edge.
    popup->move(260, 240);
    ASSERT_NE(popup->Shadows(), nullptr);
    int rightmost = 0;
    for (int i = 0; i < popup->Shadows()->Count(); ++i) {
        rightmost = std::max(rightmost, popup->Shadows()->Strip(i)->geometry().left());
    }
    EXPECT_EQ(rightmost, 260 + popup->width());
    popup->hide();
    EXPECT_EQ(popup->Shadows(), nullptr);
}

// --- Drop shadows ------------------------------------------------------------------------------

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
