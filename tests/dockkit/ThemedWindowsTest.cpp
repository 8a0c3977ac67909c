// Themed pop-ups and floating windows: their border, colour and frame from
// the theme, the theme's own shadows, joined placement, and a theme switch
// while menus and floating windows are open, with the message order.
#include "dockkit/docking/DkDockablePanel.h"
#include "dockkit/docking/DkThemedFloatingParent.h"
#include "dockkit/themes/DkThemedItem.h"
#include "dockkit/themes/DkThemedPopup.h"

#include "DockFixtures.h"
#include "KitThemeFixtures.h"
#include "ThemeFixtures.h"

#include "platform/gui/ImageList.h"
#include "platform/gui/KitMessage.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <memory>

using namespace plat;

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
