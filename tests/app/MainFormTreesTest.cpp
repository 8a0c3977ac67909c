// The friends and groups trees against the local chat service: buddies by
// status, public groups and muting, private-group invitations, the own
// private group, and the pop-up menus of the nodes.
#include "MainFormTreesTestSupport.h"

namespace mainformtest {
namespace {

using Trees = TreesTest;

TEST_F(Trees, BuddiesFollowTheirStatusAndTheirMenus) {
    // Offline at login, sorted without regard to case; neither root opens.
    EXPECT_EQ(Children(form->Trees().OfflineFriendsNode()),
              QStringList({"bea:4", "Bob:4", "Cara:4"}));
    EXPECT_EQ(Children(form->Trees().UnknownFriendsNode()), QStringList({"Dan:4"}));
    EXPECT_FALSE(form->Trees().OfflineFriendsNode()->isExpanded());
    EXPECT_FALSE(form->Trees().UnknownFriendsNode()->isExpanded());
    form->Trees().OfflineFriendsNode()->setExpanded(true);
    form->Trees().UnknownFriendsNode()->setExpanded(true);
    TTreeView* tree = form->FriendsTreeView;
    RightClick(tree, Child(form->Trees().UnknownFriendsNode(), "Dan"));
    EXPECT_EQ(Shown(), QStringList({"Whois Dan", "Accept Dan", "Remove Dan"}));
    RightClick(tree, Child(form->Trees().OfflineFriendsNode(), "Cara"));
    EXPECT_EQ(Shown(), QStringList({"Whois Cara", "Remove Cara"}));

    TVLChat bob;
    TVLChat dan;
    ASSERT_TRUE(LogIn(bob, "bob"));
    ASSERT_TRUE(LogIn(dan, "dan"));
    ASSERT_TRUE(WaitUntil([&] {
        return Children(form->Trees().UnknownFriendsNode()) == QStringList{"Dan:3"} &&
               Children(form->Trees().OnlineFriendsNode()) == QStringList{"Bob:3"};
    }));
    EXPECT_EQ(Children(form->Trees().OfflineFriendsNode()), QStringList({"bea:4", "Cara:4"}));
    EXPECT_TRUE(form->Trees().OnlineFriendsNode()->isExpanded());

    RightClick(tree, Child(form->Trees().OnlineFriendsNode(), "Bob"));
    EXPECT_EQ(form->PopupName, QStringLiteral("Bob"));
    EXPECT_EQ(Shown(), QStringList({"Query Bob", "Invite Bob", "Whois Bob", "Remove Bob"}));
    Choose("Remove");
    ASSERT_TRUE(WaitForLog("buddy remove Kara - Bob"));
    ASSERT_TRUE(WaitUntil([&] { return form->Trees().OnlineFriendsNode()->childCount() == 0; }));

    // Online, a buddy that is not permanent can be queried; Accept makes
    // it permanent.
    RightClick(tree, Child(form->Trees().UnknownFriendsNode(), "Dan"));
    EXPECT_EQ(Shown(),
              QStringList({"Query Dan", "Invite Dan", "Whois Dan", "Accept Dan", "Remove Dan"}));
    Choose("Accept");
    ASSERT_TRUE(WaitForLog("buddy add Kara + Dan"));
    ASSERT_TRUE(WaitUntil([&] { return form->Trees().OnlineFriendsNode()->childCount() == 1; }));
    EXPECT_EQ(Children(form->Trees().UnknownFriendsNode()), QStringList());

    Mouse(tree->viewport(), QEvent::MouseButtonDblClick,
          TextOf(tree, Child(form->Trees().OfflineFriendsNode(), "Cara")));
    EXPECT_EQ(Target(), QStringLiteral("Cara:"));
}

TEST_F(Trees, PublicGroupsAreMutedByTheirIconsAndMenus) {
    QTreeWidgetItem* root = form->Trees().PublicGroupsNode();
    EXPECT_EQ(Children(root), QStringList({"General:7", "Newcomers:7", "Trade:8"}));
    EXPECT_TRUE(root->isExpanded());

    // The icon of a muted group: listening at once, the server agrees.
    TTreeView* tree = form->GroupsTreeView;
    QWidget* view = tree->viewport();
    QTreeWidgetItem* trade = Child(root, "Trade");
    Click(view, IconOf(tree, trade));
    EXPECT_EQ(TFriendsGroupsTrees::NodeImage(trade), 7);
    ASSERT_TRUE(WaitForLog("unmute Kara Trade"));
    ASSERT_TRUE(WaitUntil([&] { return !form->VLChat->GroupList().Items(1)->Muted(); }));
    EXPECT_EQ(TFriendsGroupsTrees::NodeImage(trade), 7);

    // Not the text, nor a press on one node released on another's icon.
    QTreeWidgetItem* general = Child(root, "General");
    Click(view, TextOf(tree, general));
    Mouse(view, QEvent::MouseButtonPress, TextOf(tree, trade));
    Mouse(view, QEvent::MouseButtonRelease, IconOf(tree, general));
    EXPECT_EQ(TFriendsGroupsTrees::NodeImage(general), 7);
    Click(view, IconOf(tree, general));
    EXPECT_EQ(TFriendsGroupsTrees::NodeImage(general), 8);
    ASSERT_TRUE(WaitUntil([&] { return form->VLChat->GroupList().Items(0)->Muted(); }));

    RightClick(tree, general);
    EXPECT_EQ(Shown(), QStringList({"Query General", "Listen to General"}));
    Choose("Listen");
    ASSERT_TRUE(WaitUntil([&] { return TFriendsGroupsTrees::NodeImage(general) == 7; }));
    RightClick(tree, general);
    EXPECT_EQ(Shown(), QStringList({"Query General", "Mute General"}));
    Choose("Query");
    EXPECT_EQ(Target(), QStringLiteral("General:"));
    EXPECT_EQ(form->Target().Kind(), tkPublicGroup);
    Mouse(view, QEvent::MouseButtonDblClick, TextOf(tree, Child(root, "Newcomers")));
    EXPECT_EQ(Target(), QStringLiteral("Newcomers:"));
}

TEST_F(Trees, InvitationsAreAnsweredAndPrivateGroupsMutedLeftAndKicked) {
    TVLChat bob;
    TVLChat cara;
    ASSERT_TRUE(LogIn(bob, "bob"));
    ASSERT_TRUE(LogIn(cara, "cara"));
    std::vector<plat::MsgBoxRequest> asked;
    plat::MsgResult answer = plat::MsgResult::No;
    plat::ScopedMsgBoxHandler box([&](const plat::MsgBoxRequest& r) {
        asked.push_back(r);
        return answer;
    });
    // What Kara's console shows once Bob's tell has arrived.
    const auto shownBefore = [&](const char* tell) {
        EXPECT_TRUE(bob.SendPrivateMessage("Kara", tell));
        EXPECT_TRUE(WaitForLine(QLatin1String(tell)));
        return ConsoleLines().join(u'\n');
    };

    ASSERT_TRUE(bob.PrivateGroupInvite("Kara"));
    ASSERT_TRUE(WaitUntil([&] { return asked.size() == 1; }));
    EXPECT_EQ(asked[0].Buttons, plat::MsgButtons::YesNo);
    EXPECT_EQ(asked[0].Text, QStringLiteral("You have been invited to join the private chat "
                                            "group \nBob.  Would you like to join?"));
    answer = plat::MsgResult::Yes;
    ASSERT_TRUE(bob.PrivateGroupInvite("Kara"));
    ASSERT_TRUE(WaitForLog("join Kara -> Bob"));
    EXPECT_EQ(serverLog.filter(QStringLiteral("join Kara")).size(), 1);
    EXPECT_EQ(Children(form->Trees().PrivateGroupsNode()), QStringList({"Bob:7"}));
    EXPECT_TRUE(form->Trees().PrivateGroupsNode()->isExpanded());

    // Muted: neither joins nor messages are shown.
    TTreeView* tree = form->GroupsTreeView;
    QTreeWidgetItem* group = Child(form->Trees().PrivateGroupsNode(), "Bob");
    RightClick(tree, group);
    EXPECT_EQ(Shown(), QStringList({"Query Bob", "Leave Bob", "Mute Bob"}));
    Choose("Mute");
    EXPECT_EQ(TFriendsGroupsTrees::NodeImage(group), 8);
    ASSERT_TRUE(bob.PrivateGroupInvite("Cara"));
    ASSERT_TRUE(WaitForLog("invite Bob -> Cara"));
    ASSERT_TRUE(cara.PrivateGroupJoin("Bob"));
    ASSERT_TRUE(WaitForLog("join Cara -> Bob"));
    ASSERT_TRUE(bob.SendPrivateGroupMessage("Bob", "hidden"));
    QString shown = shownBefore("after");
    EXPECT_FALSE(shown.contains("hidden") || shown.contains("Cara joined"));
    Click(tree->viewport(), IconOf(tree, group));
    EXPECT_EQ(TFriendsGroupsTrees::NodeImage(group), 7);

    // Leaving another's group sends nothing and ends it as the target.
    form->QueryPrivateGroup(QStringLiteral("bob"));
    RightClick(tree, group);
    Choose("Leave");
    EXPECT_EQ(form->Trees().PrivateGroupsNode()->childCount(), 0);
    EXPECT_EQ(form->Target().Kind(), tkNone);
    EXPECT_EQ(Target(), QString());
    ASSERT_TRUE(bob.SendPrivateGroupMessage("Bob", "gone"));
    EXPECT_FALSE(shownBefore("after 2").contains("gone"));
    EXPECT_TRUE(serverLog.filter(QStringLiteral("leave Kara")).isEmpty());

    // Joined again, then kicked: the node goes with the kick line.
    ASSERT_TRUE(bob.PrivateGroupKick("Kara"));
    ASSERT_TRUE(bob.PrivateGroupInvite("Kara"));
    ASSERT_TRUE(WaitUntil([&] { return form->Trees().PrivateGroupsNode()->childCount() == 1; }));
    ASSERT_TRUE(bob.PrivateGroupKick("Kara"));
    ASSERT_TRUE(WaitUntil([&] { return form->Trees().PrivateGroupsNode()->childCount() == 0; }));
    EXPECT_TRUE(ConsoleLines().last().contains("You have been kicked from the private group Bob."));
}

TEST_F(Trees, OwnPrivateGroupInvitesAndEnds) {
    TVLChat bob;
    ASSERT_TRUE(LogIn(bob, "bob"));
    bob.OnPrivateGroupInvite = [](TVLChat* chat, const QByteArray& group) {
        chat->PrivateGroupJoin(group);
    };
    ASSERT_TRUE(WaitUntil([&] { return form->Trees().OnlineFriendsNode()->childCount() == 1; }));
    // Without the own group's node, kicks send nothing.
    form->KickAll();
    form->KickCharacter(QStringLiteral("Bob"));

    RightClick(form->FriendsTreeView, Child(form->Trees().OnlineFriendsNode(), "Bob"));
    Choose("Invite");
    ASSERT_TRUE(WaitForLog("join Bob -> Kara"));
    EXPECT_EQ(Children(form->Trees().PrivateGroupsNode()), QStringList({"Kara:7"}));
    EXPECT_TRUE(serverLog.filter(QStringLiteral("kick")).isEmpty());

    TTreeView* tree = form->GroupsTreeView;
    QTreeWidgetItem* own = Child(form->Trees().PrivateGroupsNode(), "Kara");
    RightClick(tree, own);
    EXPECT_EQ(Shown(), QStringList({"Query Kara", "Leave Kara", "Kick All Players", "Mute Kara"}));
    Choose("Query");
    EXPECT_EQ(form->Target().Kind(), tkPrivateGroup);

    // Leaving the own group kicks everyone and clears the target.
    RightClick(tree, own);
    Choose("Leave");
    ASSERT_TRUE(WaitForLog("kick all Kara"));
    EXPECT_EQ(server.PrivateGroupMembers(QStringLiteral("Kara")), QStringList());
    EXPECT_EQ(form->Trees().PrivateGroupsNode()->childCount(), 0);
    EXPECT_EQ(Target(), QString());
}

} // namespace
} // namespace mainformtest
