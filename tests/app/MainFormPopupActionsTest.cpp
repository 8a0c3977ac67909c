// The actions behind the pop-up menus of buddies, groups and console links:
// twelve actions of the window's action list, each with its caption and
// image, and every item of the seven menus bound to one of them, showing
// its image.
#include "KitDriving.h"
#include "MainFormTestSupport.h"

#include "dockkit/items/DkActionLink.h"
#include "dockkit/items/DkItem/DkItem.h"
#include "dockkit/menus/DkMenuLoop.h"
#include "dockkit/themes/DkThemedPopup.h"
#include "dockkit/themes/DkThemedViewer.h"
#include "platform/gui/ActionList.h"

#include <QAction>

namespace mainformtest {
namespace {

using PopupActionsTest = MainFormTest;

QAction* ActionNamed(const TMainForm& f, const QString& name) {
    for (QAction* action : f.ActionList1->Actions()) {
        if (action->objectName() == name) {
            return action;
        }
    }
    return nullptr;
}

TEST_F(PopupActionsTest, TwelveActionsOfTheWindowWithTheirCaptionsAndImages) {
    TMainForm& f = Create();
    const struct {
        const char* name;
        const char* caption;
        int image;
    } rows[] = {
        {"WhoisAction", "Whois", 0},
        {"AcceptAction", "Accept Buddy", 1},
        {"RemoveAction", "Remove Buddy", 2},
        {"QueryGroupAction", "Query", 3},
        {"QueryCharAction", "Query", 3},
        {"MuteAction", "Mute Group", 4},
        {"UnMuteAction", "Listen to Group", 5},
        {"AddFriendAction", "Add Buddy", 1},
        {"InviteAction", "Invite Player", 24},
        {"LeavePrivAction", "Leave Private Group", 2},
        {"KickCharAction", "Kick Player", 25},
        {"KickAllAction", "Kick All Players", 25},
    };
    for (const auto& row : rows) {
        const QAction* action = ActionNamed(f, QString::fromLatin1(row.name));
        ASSERT_NE(action, nullptr) << row.name;
        EXPECT_EQ(action->text(), QString::fromLatin1(row.caption)) << row.name;
        EXPECT_EQ(dk::ActionImageIndex(*action), row.image) << row.name;
        EXPECT_FALSE(action->icon().isNull()) << row.name;
        EXPECT_TRUE(action->isEnabled() && action->isVisible()) << row.name;
    }
}

// Each item of a menu as "name=action:image", "-" for a separator.
QStringList MenuItems(const TDkxPopupMenu* menu) {
    QStringList items;
    for (int i = 0; i < menu->Items()->Count(); ++i) {
        const TDkCustomItem* item = menu->Items()->Items(i);
        if (item->HasStyle(dk::StyleSeparator)) {
            items << QStringLiteral("-");
            continue;
        }
        const QAction* action = item->Action();
        items << item->objectName() + u'=' +
                     (action != nullptr ? action->objectName() : QStringLiteral("none")) + u':' +
                     QString::number(item->ImageIndex());
    }
    return items;
}

TEST_F(PopupActionsTest, EveryItemOfTheSevenMenusShowsItsActionAndItsImage) {
    TMainForm& f = Create();
    f.show();
    ProcessPosted();
    const struct {
        TDkxPopupMenu* menu;
        const char* items;
    } rows[] = {
        {f.OnPopupMenu, "Query=QueryCharAction:3 Invite=InviteAction:24 - Whois=WhoisAction:0 - "
                        "Remove=RemoveAction:2"},
        {f.OffPopupMenu, "Whois=WhoisAction:0 - Remove=RemoveAction:2"},
        {f.UnPopupMenu, "Query=QueryCharAction:3 Invite=InviteAction:24 - Whois=WhoisAction:0 - "
                        "Accept=AcceptAction:1 Remove=RemoveAction:2"},
        {f.CharPopupMenu, "Query=QueryCharAction:3 Invite=InviteAction:24 - Whois=WhoisAction:0 - "
                          "Add=AddFriendAction:1 Accept=AcceptAction:1 Remove=RemoveAction:2"},
        {f.PrivCharPopupMenu,
         "Query=QueryCharAction:3 Invite=InviteAction:24 Kick=KickCharAction:25 - "
         "Whois=WhoisAction:0 - Add=AddFriendAction:1 Accept=AcceptAction:1 "
         "Remove=RemoveAction:2"},
        {f.PubPopupMenu, "Query=QueryGroupAction:3 - Mute=MuteAction:4 Listen=UnMuteAction:5"},
        {f.PrivPopupMenu,
         "Query=QueryGroupAction:3 Leave=LeavePrivAction:2 KickAll=KickAllAction:25 - "
         "Mute=MuteAction:4 Listen=UnMuteAction:5"},
    };
    int bound = 0;
    for (const auto& row : rows) {
        const std::string menu = row.menu->objectName().toStdString();
        const QStringList items = MenuItems(row.menu);
        EXPECT_EQ(items.join(u' '), QString::fromLatin1(row.items)) << menu;
        bound += static_cast<int>(items.size() - items.count(QStringLiteral("-")));
        EXPECT_EQ(row.menu->Images(), f.MenuImages) << menu;

        // Open, each item draws its image.
        QStringList withoutImage;
        kittest::Later([&] {
            for (int i = 0; i < row.menu->Items()->Count(); ++i) {
                const TDkCustomItem* item = row.menu->Items()->Items(i);
                const auto* viewer = dynamic_cast<TDkxItemViewer*>(kittest::ViewerOf(item));
                if (item->Action() != nullptr &&
                    (viewer == nullptr || !viewer->ThemedImageShown() ||
                     viewer->ImageSize() != QSize(16, 16))) {
                    withoutImage << item->objectName();
                }
            }
            kittest::EndMenus();
        });
        row.menu->Popup(20, 20);
        ProcessPosted();
        EXPECT_EQ(withoutImage, QStringList()) << menu;
    }
    EXPECT_EQ(bound, 32);
}

} // namespace
} // namespace mainformtest
