// The friends and groups trees against the local chat service: buddies by
// status, public groups and muting, private-group invitations, the user's
// own private group, and the pop-up menus of the tree nodes.
#include "MainFormTreesTestSupport.h"

namespace mainformtest {
namespace {

using Trees = TreesTest;

TEST_F(Trees, BuddiesFollowTheirStatusAndTheMenus) {
    // At login: permanent buddies offline, sorted without regard to case;
    // one that is not permanent under "Unknown".
    EXPECT_EQ(Children(form->OnlineFriendsNode()), QStringList());
    EXPECT_EQ(Children(form->OfflineFriendsNode()), QStringList({"bea:4", "Bob:4", "Cara:4"}));
    EXPECT_EQ(Children(form->UnknownFriendsNode()), QStringList({"Dan:4"}));
    // Neither root opens by itself.
    EXPECT_FALSE(form->OfflineFriendsNode()->isExpanded());
    EXPECT_FALSE(form->UnknownFriendsNode()->isExpanded());
    EXPECT_TRUE(form->ExpandOnlineFriends);

    // Roots opened by hand. A buddy that is not permanent and offline
    // cannot be queried or invited.
    TTreeView* tree = form->FriendsTreeView;
    form->OfflineFriendsNode()->setExpanded(true);
    form->UnknownFriendsNode()->setExpanded(true);
    Click(tree, TextOf(tree, Child(form->UnknownFriendsNode(), "Dan")), Qt::RightButton);
    EXPECT_EQ(Shown(), QStringList({"Whois Dan", "Accept Dan", "Remove Dan"}));
    CloseMenu();

    TVLChat bob;
    TVLChat dan;
    ASSERT_TRUE(LogIn(bob, "bob"));
    ASSERT_TRUE(LogIn(dan, "dan"));
    ASSERT_TRUE(WaitUntil([&] { return form->OnlineFriendsNode()->childCount() == 1; }));
    ASSERT_TRUE(
        WaitUntil([&] { return Children(form->UnknownFriendsNode()) == QStringList{"Dan:3"}; }));
    EXPECT_EQ(Children(form->OnlineFriendsNode()), QStringList({"Bob:3"}));
    EXPECT_EQ(Children(form->OfflineFriendsNode()), QStringList({"bea:4", "Cara:4"}));
    // The first online buddy opens its root once.
    EXPECT_TRUE(form->OnlineFriendsNode()->isExpanded());
    EXPECT_FALSE(form->ExpandOnlineFriends);

    // An online buddy offers everything; choosing Remove asks the server.
    Click(tree, TextOf(tree, Child(form->OnlineFriendsNode(), "Bob")), Qt::RightButton);
    EXPECT_EQ(form->PopupName, QStringLiteral("Bob"));
    EXPECT_EQ(Shown(), QStringList({"Query Bob", "Invite Bob", "Whois Bob", "Remove Bob"}));
    Choose(QStringLiteral("Remove"));
    ASSERT_TRUE(WaitForLog(QStringLiteral("buddy remove Kara - Bob")));
    ASSERT_TRUE(WaitUntil([&] { return form->OnlineFriendsNode()->childCount() == 0; }));

    // An offline buddy: Whois and Remove only.
    Click(tree, TextOf(tree, Child(form->OfflineFriendsNode(), "Cara")), Qt::RightButton);
    EXPECT_EQ(Shown(), QStringList({"Whois Cara", "Remove Cara"}));
    CloseMenu();

    // Online, a buddy that is not permanent can be queried; Accept makes it
    // permanent.
    Click(tree, TextOf(tree, Child(form->UnknownFriendsNode(), "Dan")), Qt::RightButton);
    EXPECT_EQ(Shown(),
              QStringList({"Query Dan", "Invite Dan", "Whois Dan", "Accept Dan", "Remove Dan"}));
    Choose(QStringLiteral("Accept"));
    ASSERT_TRUE(WaitForLog(QStringLiteral("buddy add Kara + Dan")));
    ASSERT_TRUE(
        WaitUntil([&] { return Children(form->OnlineFriendsNode()) == QStringList{"Dan:3"}; }));
    EXPECT_EQ(Children(form->UnknownFriendsNode()), QStringList());
    dan.Disconnect();
    ASSERT_TRUE(WaitUntil([&] { return form->OnlineFriendsNode()->childCount() == 0; }));
    EXPECT_EQ(Children(form->OfflineFriendsNode()), QStringList({"bea:4", "Cara:4", "Dan:4"}));

    // A double click on a buddy queries it; on a root it does nothing.
    DoubleClick(tree, Child(form->OfflineFriendsNode(), "Cara"));
    EXPECT_EQ(Target(), QStringLiteral("Cara:"));
    EXPECT_EQ(form->TargetKind, tkCharacter);
    DoubleClick(tree, form->UnknownFriendsNode());
    EXPECT_EQ(form->TargetName, QStringLiteral("Cara"));
}

TEST_F(Trees, PublicGroupsAreMutedByTheirIconsAndMenus) {
    QTreeWidgetItem* root = form->PublicGroupsNode();
    EXPECT_EQ(Children(root), QStringList({"General:7", "Newcomers:7", "Trade:8"}));
    EXPECT_TRUE(root->isExpanded());
    EXPECT_FALSE(form->ExpandPublicGroups);

    // A click on a muted group's icon unmutes it at once; the server agrees.
    TTreeView* tree = form->GroupsTreeView;
    QTreeWidgetItem* trade = Child(root, "Trade");
    Click(tree, IconOf(tree, trade));
    EXPECT_EQ(TMainForm::NodeImage(trade), 7);
    ASSERT_TRUE(WaitForLog(QStringLiteral("unmute Kara Trade")));
    ASSERT_TRUE(WaitUntil([&] { return !form->VLChat->GroupList().Items(1)->Muted(); }));
    EXPECT_EQ(TMainForm::NodeImage(trade), 7);

    // A click on the text changes nothing; nor does a press on one node
    // released on the icon of another.
    QTreeWidgetItem* general = Child(root, "General");
    Click(tree, TextOf(tree, general));
    Mouse(tree->viewport(), QEvent::MouseButtonPress, TextOf(tree, trade), Qt::LeftButton);
    Mouse(tree->viewport(), QEvent::MouseButtonRelease, IconOf(tree, general), Qt::LeftButton);
    EXPECT_EQ(TMainForm::NodeImage(general), 7);
    Click(tree, IconOf(tree, general));
    EXPECT_EQ(TMainForm::NodeImage(general), 8);
    ASSERT_TRUE(WaitForLog(QStringLiteral("mute Kara General")));

    // The menu offers Listen for a muted group, Mute for a listening one.
    ASSERT_TRUE(WaitUntil([&] { return form->VLChat->GroupList().Items(0)->Muted(); }));
    Click(tree, TextOf(tree, general), Qt::RightButton);
    EXPECT_EQ(form->PopupGroup, QStringLiteral("General"));
    EXPECT_EQ(Shown(), QStringList({"Query General", "Listen to General"}));
    Choose(QStringLiteral("Listen"));
    ASSERT_TRUE(WaitUntil([&] { return serverLog.count("unmute Kara General") == 1; }));
    ASSERT_TRUE(WaitUntil([&] { return TMainForm::NodeImage(general) == 7; }));
    Click(tree, TextOf(tree, general), Qt::RightButton);
    EXPECT_EQ(Shown(), QStringList({"Query General", "Mute General"}));
    Choose(QStringLiteral("Query"));
    EXPECT_EQ(Target(), QStringLiteral("General:"));
    EXPECT_EQ(form->TargetKind, tkPublicGroup);

    DoubleClick(tree, Child(root, "Newcomers"));
    EXPECT_EQ(form->TargetName, QStringLiteral("Newcomers"));
    // Roots open no menu.
    Click(tree, TextOf(tree, root), Qt::RightButton);
    EXPECT_EQ(OpenMenu(), nullptr);
}

TEST_F(Trees, InvitationsAreAnsweredAndPrivateGroupsMutedLeftAndKicked) {
    TVLChat bob;
    ASSERT_TRUE(LogIn(bob, "bob"));
    std::vector<plat::MsgBoxRequest> asked;
    plat::MsgResult answer = plat::MsgResult::No;
    plat::ScopedMsgBoxHandler box([&](const plat::MsgBoxRequest& r) {
        asked.push_back(r);
        return answer;
    });

    // Declined: nothing joins.
    ASSERT_TRUE(bob.PrivateGroupInvite("Kara"));
    ASSERT_TRUE(WaitUntil([&] { return asked.size() == 1; }));
    EXPECT_EQ(asked[0].Kind, plat::MsgKind::Confirmation);
    EXPECT_EQ(asked[0].Buttons, plat::MsgButtons::YesNo);
    EXPECT_EQ(asked[0].Text, QStringLiteral("You have been invited to join the private chat "
                                            "group \nBob.  Would you like to join?"));
    EXPECT_EQ(form->PrivateGroupsNode()->childCount(), 0);

    // Accepted: the service sees the join and the group listens.
    answer = plat::MsgResult::Yes;
    ASSERT_TRUE(bob.PrivateGroupInvite("Kara"));
    ASSERT_TRUE(WaitForLog(QStringLiteral("join Kara -> Bob")));
    EXPECT_EQ(serverLog.filter(QStringLiteral("join Kara")).size(), 1);
    EXPECT_EQ(Children(form->PrivateGroupsNode()), QStringList({"Bob:7"}));
    EXPECT_TRUE(form->PrivateGroupsNode()->isExpanded());
    ASSERT_TRUE(WaitUntil([&] { return ConsoleLines().last().contains("Kara joined"); }));

    // Muted from its menu: its lines are no longer shown.
    TTreeView* tree = form->GroupsTreeView;
    QTreeWidgetItem* group = Child(form->PrivateGroupsNode(), "Bob");
    Click(tree, TextOf(tree, group), Qt::RightButton);
    EXPECT_EQ(Shown(), QStringList({"Query Bob", "Leave Bob", "Mute Bob"}));
    Choose(QStringLiteral("Mute"));
    EXPECT_EQ(TMainForm::NodeImage(group), 8);
    TVLChat cara;
    ASSERT_TRUE(LogIn(cara, "cara"));
    ASSERT_TRUE(bob.PrivateGroupInvite("Cara"));
    ASSERT_TRUE(WaitForLog(QStringLiteral("invite Bob -> Cara")));
    ASSERT_TRUE(cara.PrivateGroupJoin("Bob"));
    ASSERT_TRUE(WaitForLog(QStringLiteral("join Cara -> Bob")));
    ASSERT_TRUE(bob.SendPrivateGroupMessage("Bob", "hidden"));
    ASSERT_TRUE(bob.SendPrivateMessage("Kara", "after"));
    ASSERT_TRUE(WaitUntil([&] { return ConsoleLines().last().contains("after"); }));
    EXPECT_TRUE(ConsoleLines().filter("hidden").isEmpty());
    EXPECT_TRUE(ConsoleLines().filter("Cara joined").isEmpty());
    // Listening again by its icon.
    Click(tree, IconOf(tree, group));
    EXPECT_EQ(TMainForm::NodeImage(group), 7);

    // Leaving another character's group tells the server nothing; the
    // group stops being the target.
    form->QueryPrivateGroup(QStringLiteral("bob"));
    EXPECT_EQ(Target(), QStringLiteral("bob:"));
    Click(tree, TextOf(tree, group), Qt::RightButton);
    Choose(QStringLiteral("Leave"));
    EXPECT_EQ(form->PrivateGroupsNode()->childCount(), 0);
    EXPECT_EQ(form->TargetKind, tkNone);
    EXPECT_EQ(Target(), QString());
    ASSERT_TRUE(bob.SendPrivateGroupMessage("Bob", "gone"));
    ASSERT_TRUE(bob.SendPrivateMessage("Kara", "after 2"));
    ASSERT_TRUE(WaitUntil([&] { return ConsoleLines().last().contains("after 2"); }));
    EXPECT_TRUE(ConsoleLines().filter("gone").isEmpty());
    EXPECT_TRUE(serverLog.filter(QStringLiteral("leave Kara")).isEmpty());
    EXPECT_TRUE(server.PrivateGroupMembers(QStringLiteral("Bob")).contains("Kara"));

    // Joined again, then kicked: the node goes.
    ASSERT_TRUE(bob.PrivateGroupKick("Kara"));
    ASSERT_TRUE(WaitForLog(QStringLiteral("kick Bob -> Kara")));
    ASSERT_TRUE(bob.PrivateGroupInvite("Kara"));
    ASSERT_TRUE(WaitUntil([&] { return form->PrivateGroupsNode()->childCount() == 1; }));
    ASSERT_TRUE(bob.PrivateGroupKick("Kara"));
    ASSERT_TRUE(WaitUntil([&] { return form->PrivateGroupsNode()->childCount() == 0; }));
    EXPECT_TRUE(ConsoleLines().last().contains("You have been kicked from the private group Bob."));
}

TEST_F(Trees, OwnPrivateGroupInvitesKicksAndEnds) {
    TVLChat bob;
    ASSERT_TRUE(LogIn(bob, "bob"));
    bob.OnPrivateGroupInvite = [](TVLChat* chat, const QByteArray& group) {
        chat->PrivateGroupJoin(group);
    };
    TTreeView* friends = form->FriendsTreeView;
    ASSERT_TRUE(WaitUntil([&] { return form->OnlineFriendsNode()->childCount() == 1; }));

    // Kick All needs the own group's node: without it nothing is sent.
    form->KickAll();
    form->KickCharacter(QStringLiteral("Bob"));

    Click(friends, TextOf(friends, Child(form->OnlineFriendsNode(), "Bob")), Qt::RightButton);
    Choose(QStringLiteral("Invite"));
    ASSERT_TRUE(WaitForLog(QStringLiteral("invite Kara -> Bob")));
    EXPECT_EQ(Children(form->PrivateGroupsNode()), QStringList({"Kara:7"}));
    ASSERT_TRUE(WaitForLog(QStringLiteral("join Bob -> Kara")));
    EXPECT_TRUE(serverLog.filter(QStringLiteral("kick")).isEmpty());

    // The own group's menu offers Kick All; querying it makes it the target.
    TTreeView* groups = form->GroupsTreeView;
    QTreeWidgetItem* own = Child(form->PrivateGroupsNode(), "Kara");
    Click(groups, TextOf(groups, own), Qt::RightButton);
    EXPECT_EQ(Shown(), QStringList({"Query Kara", "Leave Kara", "Kick All Players", "Mute Kara"}));
    Choose(QStringLiteral("Query"));
    EXPECT_EQ(form->TargetKind, tkPrivateGroup);
    EXPECT_EQ(Target(), QStringLiteral("Kara:"));

    // Leaving the own group kicks everyone and clears the target.
    Click(groups, TextOf(groups, own), Qt::RightButton);
    Choose(QStringLiteral("Leave"));
    ASSERT_TRUE(WaitForLog(QStringLiteral("kick all Kara")));
    EXPECT_EQ(server.PrivateGroupMembers(QStringLiteral("Kara")), QStringList());
    EXPECT_EQ(form->PrivateGroupsNode()->childCount(), 0);
    EXPECT_EQ(Target(), QString());

    // Emptied by a disconnect, the trees expand again on their first child.
    form->Disconnect();
    ASSERT_TRUE(WaitUntil([&] { return form->VLChat->State() == csDisconnected; }));
    EXPECT_EQ(form->PublicGroupsNode()->childCount(), 0);
    EXPECT_TRUE(form->ExpandPublicGroups);
    EXPECT_TRUE(form->ExpandOnlineFriends);
}

} // namespace
} // namespace mainformtest
