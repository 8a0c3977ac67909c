// The friends and groups trees and the console's links against the local
// chat service: buddies by status, groups muted by their icons, private
// groups, the pop-up menus of nodes and links, web links that reach the
// desktop only as web addresses, reference links that show their attachment.
#include "KitDriving.h"
#include "MainFormTestSupport.h"

#include "app/mainform/MainFormControls.h"
#include "app/refs/TextRefForm.h"
#include "console/QvConsole/QvConsole.h"
#include "dockkit/items/DkView/DkView.h"
#include "dockkit/menus/DkMenuLoop.h"
#include "engine/VLBlob.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QTextEdit>

namespace mainformtest {
namespace {

using Trees = TFriendsGroupsTrees;

void Mouse(QWidget* target, QEvent::Type type, QPoint pos,
           Qt::MouseButton button = Qt::LeftButton) {
    const bool held = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick;
    QMouseEvent event(type, QPointF(pos), target->mapToGlobal(QPointF(pos)), button,
                      held ? Qt::MouseButtons(button) : Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}
void Click(QWidget* target, QPoint pos, Qt::MouseButton button = Qt::LeftButton) {
    Mouse(target, QEvent::MouseButtonPress, pos, button);
    Mouse(target, QEvent::MouseButtonRelease, pos, button);
}
QPoint TextOf(TTreeView* tree, TTreeNode* node) {
    return {tree->NodeIconRect(node).right() + 12, tree->NodeRect(node).center().y()};
}
QPoint IconOf(TTreeView* tree, TTreeNode* node) {
    return tree->NodeIconRect(node).center();
}
TTreeNode* Child(const TTreeNode* root, const char* name) {
    for (int i = 0; i < root->ChildCount(); ++i) {
        if (root->Child(i)->Text() == QLatin1String(name)) {
            return root->Child(i);
        }
    }
    return nullptr;
}

// Shown and logged in as Kara, with Bob online; web addresses are caught.
class TreesTest : public MainFormTest {
protected:
    void SetUp() override {
        MainFormTest::SetUp();
        StartService();
        Create();
        ShowAndActivate();
        ASSERT_TRUE(LogInWindow());
        ASSERT_TRUE(WaitUntil([&] { return trees().PublicGroupsNode()->ChildCount() == 3; }));
        ASSERT_TRUE(LogIn(bob, "bob"));
        ASSERT_TRUE(WaitUntil([&] { return trees().OnlineFriendsNode()->ChildCount() == 1; }));
    }
    TFriendsGroupsTrees& trees() { return form->Trees(); }
    bool WaitForLine(const QString& text) {
        return WaitUntil([&] { return ConsoleLines().last().contains(text); });
    }
    bool Tell(TVLChat& from, const char* text, const TBlob* blob = nullptr) {
        return from.SendPrivateMessage("Kara", text, blob) &&
               WaitForLine(QString::fromLatin1(text).section(u'\x11', 0, 0));
    }
    // What the menu that `open` opens shows: the captions of its shown
    // items. With a choice that item is clicked then (its command runs once
    // the menu has closed), else the menu is closed.
    QStringList MenuShown(const std::function<void()>& open, const char* choice) {
        QStringList shown;
        bool chosen = false;
        kittest::Later([&] {
            for (const QString& caption : kittest::OpenMenuCaptions()) {
                shown << caption;
            }
            const TDkView* view = dk::RunningMenuLoopView();
            TDkCustomItem* item = view != nullptr && choice != nullptr
                                      ? view->ParentItem()->findChild<TDkCustomItem*>(
                                            QLatin1String(choice), Qt::FindDirectChildrenOnly)
                                      : nullptr;
            if (const std::optional<QPoint> at = kittest::CenterOf(item)) {
                chosen = true;
                kittest::ClickAt(*at);
            } else {
                kittest::EndMenus();
            }
        });
        open();
        ProcessPosted();
        EXPECT_EQ(chosen, choice != nullptr) << (choice ? choice : "");
        return shown;
    }
    // The menu a right click on the node opens.
    QStringList MenuOf(TTreeView* tree, TTreeNode* node, const char* choice = nullptr) {
        return MenuShown([&] { Click(tree->viewport(), TextOf(tree, node), Qt::RightButton); },
                         choice);
    }
    // Moves the mouse along the newest console line until it is over the
    // link and clicks there.
    bool ClickLink(const QString& name, const QString& params, Qt::MouseButton button) {
        QWidget* view = form->OutputMemo->viewport();
        for (int x = 0; x < view->width(); x += 2) {
            const QPoint pos(x, form->OutputMemo->ClientHeight() - 4);
            Mouse(view, QEvent::MouseMove, pos, Qt::NoButton);
            const TLinkInformation link = form->OutputMemo->LinkInformation();
            if (link.Valid && link.Name == name && link.Params == params) {
                Click(view, pos, button);
                ProcessPosted();
                return true;
            }
        }
        return false;
    }
    // The menu of a link; the console forgets the link it showed as hovered.
    QStringList LinkMenu(const QString& name, const QString& params, const char* choice = nullptr) {
        QStringList shown = MenuShown(
            [&] { EXPECT_TRUE(ClickLink(name, params, Qt::RightButton)) << name.toStdString(); },
            choice);
        EXPECT_FALSE(form->OutputMemo->LinkInformation().Valid);
        return shown;
    }
    QString Target() const {
        return form->TargetPanel->isVisible() ? form->TargetLabel->text() : QString();
    }
    // The attachment key of the reference link in the newest line.
    QString NewestRefKey() const {
        const QString line = ConsoleLines().last();
        const qsizetype at =
            line.indexOf(QLatin1String("params=\""), line.indexOf(QLatin1String("reflink"))) + 8;
        return line.mid(at, line.indexOf(u'"', at) - at);
    }

    UrlCatcher urls;
    TVLChat bob;
};

TEST_F(TreesTest, BuddiesFollowTheirStatusAndTheirMenus) {
    // Sorted without regard to case; the offline friends do not open.
    EXPECT_EQ(Children(trees().OfflineFriendsNode()), QStringList({"bea:4", "Cara:4"}));
    EXPECT_EQ(Children(trees().UnknownFriendsNode()), QStringList({"Dan:4"}));
    EXPECT_EQ(Children(trees().OnlineFriendsNode()), QStringList({"Bob:3"}));
    EXPECT_FALSE(form->FriendsTreeView->IsExpanded(trees().OfflineFriendsNode()));
    EXPECT_TRUE(form->FriendsTreeView->IsExpanded(trees().OnlineFriendsNode()));
    form->FriendsTreeView->SetExpanded(trees().OfflineFriendsNode(), true);
    form->FriendsTreeView->SetExpanded(trees().UnknownFriendsNode(), true);
    TTreeView* tree = form->FriendsTreeView;
    EXPECT_EQ(MenuOf(tree, Child(trees().UnknownFriendsNode(), "Dan")),
              QStringList({"Whois Dan", "Accept Dan", "Remove Dan"}));
    EXPECT_EQ(MenuOf(tree, Child(trees().OfflineFriendsNode(), "Cara")),
              QStringList({"Whois Cara", "Remove Cara"}));
    EXPECT_EQ(MenuOf(tree, Child(trees().OnlineFriendsNode(), "Bob"), "Remove"),
              QStringList({"Query Bob", "Invite Bob", "Whois Bob", "Remove Bob"}));
    ASSERT_TRUE(WaitForLog("buddy remove Kara - Bob"));
    ASSERT_TRUE(WaitUntil([&] { return trees().OnlineFriendsNode()->ChildCount() == 0; }));

    // Online, a buddy that is not permanent can be queried; Accept makes it permanent.
    TVLChat dan;
    ASSERT_TRUE(LogIn(dan, "dan"));
    ASSERT_TRUE(
        WaitUntil([&] { return Children(trees().UnknownFriendsNode()) == QStringList{"Dan:3"}; }));
    EXPECT_EQ(MenuOf(tree, Child(trees().UnknownFriendsNode(), "Dan"), "Accept"),
              QStringList({"Query Dan", "Invite Dan", "Whois Dan", "Accept Dan", "Remove Dan"}));
    ASSERT_TRUE(WaitForLog("buddy add Kara + Dan"));
    ASSERT_TRUE(WaitUntil([&] { return trees().UnknownFriendsNode()->ChildCount() == 0; }));
    Mouse(tree->viewport(), QEvent::MouseButtonDblClick,
          TextOf(tree, Child(trees().OfflineFriendsNode(), "Cara")));
    EXPECT_EQ(Target(), QStringLiteral("Cara:"));
}

// A buddy going offline keeps its node, which moves to the offline friends
// with its selection.
TEST_F(TreesTest, ABuddyKeepsItsNodeAndSelectionWhenItsStatusChanges) {
    TTreeView* tree = form->FriendsTreeView;
    TTreeNode* node = trees().FriendNode(QStringLiteral("bob"));
    ASSERT_NE(node, nullptr);
    Click(tree->viewport(), TextOf(tree, node));
    ASSERT_EQ(tree->SelectedNode(), node);
    bob.Disconnect();
    ASSERT_TRUE(WaitUntil([&] { return trees().OnlineFriendsNode()->ChildCount() == 0; }));
    EXPECT_EQ(Children(trees().OfflineFriendsNode()), QStringList({"bea:4", "Bob:4", "Cara:4"}));
    EXPECT_EQ(trees().FriendNode(QStringLiteral("Bob")), node);
    EXPECT_EQ(tree->SelectedNode(), node);
    EXPECT_EQ(tree->CurrentNode(), node);
}

TEST_F(TreesTest, PublicGroupsAreMutedByTheirIconsAndMenus) {
    TTreeNode* root = trees().PublicGroupsNode();
    EXPECT_EQ(Children(root), QStringList({"General:7", "Newcomers:7", "Trade:8"}));
    // The icon of a muted group: listening at once, the server agrees.
    TTreeView* tree = form->GroupsTreeView;
    QWidget* view = tree->viewport();
    TTreeNode* trade = Child(root, "Trade");
    Click(view, IconOf(tree, trade));
    EXPECT_EQ(Trees::NodeImage(trade), 7);
    ASSERT_TRUE(WaitForLog("unmute Kara Trade"));
    ASSERT_TRUE(WaitUntil([&] { return !form->VLChat->GroupList().Items(1)->Muted(); }));
    EXPECT_EQ(Trees::NodeImage(trade), 7);

    // Not the text, nor a press on one node released on another's icon.
    TTreeNode* general = Child(root, "General");
    Click(view, TextOf(tree, general));
    Mouse(view, QEvent::MouseButtonPress, TextOf(tree, trade));
    Mouse(view, QEvent::MouseButtonRelease, IconOf(tree, general));
    EXPECT_EQ(Trees::NodeImage(general), 7);
    Click(view, IconOf(tree, general));
    EXPECT_EQ(Trees::NodeImage(general), 8);
    ASSERT_TRUE(WaitUntil([&] { return form->VLChat->GroupList().Items(0)->Muted(); }));

    EXPECT_EQ(MenuOf(tree, general, "Listen"), QStringList({"Query General", "Listen to General"}));
    ASSERT_TRUE(WaitUntil([&] { return Trees::NodeImage(general) == 7; }));
    EXPECT_EQ(MenuOf(tree, general, "Query"), QStringList({"Query General", "Mute General"}));
    EXPECT_EQ(Target(), QStringLiteral("General:"));
    EXPECT_EQ(form->Target().Kind(), tkPublicGroup);
    Mouse(view, QEvent::MouseButtonDblClick, TextOf(tree, Child(root, "Newcomers")));
    EXPECT_EQ(Target(), QStringLiteral("Newcomers:"));
}

TEST_F(TreesTest, InvitationsAreAnsweredAndPrivateGroupsMutedLeftAndKicked) {
    TVLChat cara;
    ASSERT_TRUE(LogIn(cara, "cara"));
    // What Kara's console shows once Bob's tell has arrived.
    const auto shownBefore = [&](const char* tell) {
        EXPECT_TRUE(bob.SendPrivateMessage("Kara", tell));
        EXPECT_TRUE(WaitForLine(QLatin1String(tell)));
        return ConsoleLines().join(u'\n');
    };
    boxAnswer = plat::MsgResult::No;
    ASSERT_TRUE(bob.PrivateGroupInvite("Kara"));
    ASSERT_TRUE(WaitUntil([&] { return boxes.size() == 1; }));
    EXPECT_EQ(boxes[0].Buttons, plat::MsgButtons::YesNo);
    EXPECT_EQ(boxes[0].Text, QStringLiteral("You have been invited to join the private chat "
                                            "group \nBob.  Would you like to join?"));
    boxAnswer = plat::MsgResult::Yes;
    ASSERT_TRUE(bob.PrivateGroupInvite("Kara"));
    ASSERT_TRUE(WaitForLog("join Kara -> Bob"));
    EXPECT_EQ(serverLog.filter(QStringLiteral("join Kara")).size(), 1);
    EXPECT_EQ(Children(trees().PrivateGroupsNode()), QStringList({"Bob:7"}));
    EXPECT_TRUE(form->GroupsTreeView->IsExpanded(trees().PrivateGroupsNode()));

    // Muted: neither joins nor messages are shown.
    TTreeView* tree = form->GroupsTreeView;
    TTreeNode* group = Child(trees().PrivateGroupsNode(), "Bob");
    EXPECT_EQ(MenuOf(tree, group, "Mute"), QStringList({"Query Bob", "Leave Bob", "Mute Bob"}));
    EXPECT_EQ(Trees::NodeImage(group), 8);
    ASSERT_TRUE(bob.PrivateGroupInvite("Cara"));
    ASSERT_TRUE(WaitForLog("invite Bob -> Cara"));
    ASSERT_TRUE(cara.PrivateGroupJoin("Bob"));
    ASSERT_TRUE(WaitForLog("join Cara -> Bob"));
    ASSERT_TRUE(bob.SendPrivateGroupMessage("Bob", "hidden"));
    const QString shown = shownBefore("after");
    EXPECT_FALSE(shown.contains("hidden") || shown.contains("Cara joined"));
    Click(tree->viewport(), IconOf(tree, group));
    EXPECT_EQ(Trees::NodeImage(group), 7);
    // In another's group its owner is invited, not kicked.
    ASSERT_TRUE(bob.SendPrivateGroupMessage("Bob", "in his"));
    ASSERT_TRUE(WaitForLine("in his"));
    EXPECT_EQ(LinkMenu("privcharlink", "Bob,Bob"),
              QStringList({"Query Bob", "Invite Bob", "Whois Bob", "Remove Bob"}));

    // Leaving another's group sends nothing and ends it as the target; a
    // group without a node offers neither Mute nor Listen.
    form->QueryPrivateGroup(QStringLiteral("bob"));
    MenuOf(tree, group, "Leave");
    EXPECT_EQ(trees().PrivateGroupsNode()->ChildCount(), 0);
    EXPECT_EQ(form->Target().Kind(), tkNone);
    EXPECT_EQ(Target(), QString());
    EXPECT_EQ(LinkMenu("privatelink", "Bob"), QStringList({"Query Bob", "Leave Bob"}));
    ASSERT_TRUE(bob.SendPrivateGroupMessage("Bob", "gone"));
    EXPECT_FALSE(shownBefore("after 2").contains("gone"));
    EXPECT_TRUE(serverLog.filter(QStringLiteral("leave Kara")).isEmpty());

    // Joined again, then kicked: the node goes with the kick line.
    ASSERT_TRUE(bob.PrivateGroupKick("Kara"));
    ASSERT_TRUE(bob.PrivateGroupInvite("Kara"));
    ASSERT_TRUE(WaitUntil([&] { return trees().PrivateGroupsNode()->ChildCount() == 1; }));
    ASSERT_TRUE(bob.PrivateGroupKick("Kara"));
    ASSERT_TRUE(WaitUntil([&] { return trees().PrivateGroupsNode()->ChildCount() == 0; }));
    EXPECT_TRUE(ConsoleLines().last().contains("You have been kicked from the private group Bob."));
}

TEST_F(TreesTest, CharacterLinksQueryOrOfferWhatSuitsTheName) {
    ASSERT_TRUE(Tell(bob, "hi"));
    ASSERT_TRUE(ClickLink("charlink", "Bob", Qt::LeftButton));
    EXPECT_EQ(Target(), QStringLiteral("Bob:"));
    EXPECT_EQ(form->Target().Kind(), tkCharacter);
    EXPECT_EQ(LinkMenu("charlink", "Bob"),
              QStringList({"Query Bob", "Invite Bob", "Whois Bob", "Remove Bob"}));
    TVLChat dan;
    TVLChat eve;
    ASSERT_TRUE(LogIn(dan, "dan"));
    ASSERT_TRUE(Tell(dan, "from dan"));
    EXPECT_EQ(LinkMenu("charlink", "Dan"),
              QStringList({"Query Dan", "Invite Dan", "Whois Dan", "Accept Dan"}));
    ASSERT_TRUE(LogIn(eve, "eve"));
    ASSERT_TRUE(Tell(eve, "from eve"));
    EXPECT_EQ(LinkMenu("charlink", "Eve", "Add"),
              QStringList({"Query Eve", "Invite Eve", "Whois Eve", "Add Eve"}));
    ASSERT_TRUE(WaitForLog("buddy add Kara + Eve"));
    // One's own name: Query and Whois only.
    form->VLChat->SendGroupMessage("General", "mine");
    ASSERT_TRUE(WaitForLine("mine"));
    EXPECT_EQ(LinkMenu("charlink", "Kara"), QStringList({"Query Kara", "Whois Kara"}));
    // A muted public group: Listen; queried, it listens again.
    form->VLChat->SendGroupMessage("Trade", "selling");
    ASSERT_TRUE(WaitForLine("selling"));
    EXPECT_EQ(LinkMenu("publiclink", "Trade"), QStringList({"Query Trade", "Listen to Trade"}));
    ASSERT_TRUE(ClickLink("publiclink", "Trade", Qt::LeftButton));
    EXPECT_EQ(form->Target().Kind(), tkPublicGroup);
    ASSERT_TRUE(WaitForLog("unmute Kara Trade"));
}

TEST_F(TreesTest, TheOwnPrivateGroupInvitesKicksAndEnds) {
    bob.OnPrivateGroupInvite = [](TVLChat* chat, const QByteArray& group) {
        chat->PrivateGroupJoin(group);
    };
    // Without the own group's node, kicks send nothing.
    form->KickAll();
    form->KickCharacter(QStringLiteral("Bob"));
    MenuOf(form->FriendsTreeView, Child(trees().OnlineFriendsNode(), "Bob"), "Invite");
    ASSERT_TRUE(WaitForLog("join Bob -> Kara"));
    EXPECT_EQ(Children(trees().PrivateGroupsNode()), QStringList({"Kara:7"}));
    EXPECT_TRUE(serverLog.filter(QStringLiteral("kick")).isEmpty());
    TTreeView* tree = form->GroupsTreeView;
    TTreeNode* own = Child(trees().PrivateGroupsNode(), "Kara");
    EXPECT_EQ(MenuOf(tree, own),
              QStringList({"Query Kara", "Leave Kara", "Kick All Players", "Mute Kara"}));

    ASSERT_TRUE(bob.SendPrivateGroupMessage("Kara", "in yours"));
    ASSERT_TRUE(WaitForLine("in yours"));
    EXPECT_EQ(LinkMenu("privatelink", "Kara"),
              QStringList({"Query Kara", "Leave Kara", "Kick All Players", "Mute Kara"}));
    ASSERT_TRUE(ClickLink("privatelink", "Kara", Qt::LeftButton));
    EXPECT_EQ(form->Target().Kind(), tkPrivateGroup);
    // The character, not the text with the group, becomes the target.
    ASSERT_TRUE(ClickLink("privcharlink", "Bob,Kara", Qt::LeftButton));
    EXPECT_EQ(Target(), QStringLiteral("Bob:"));
    EXPECT_EQ(LinkMenu("privcharlink", "Bob,Kara", "Kick"),
              QStringList({"Query Bob", "Kick Bob", "Whois Bob", "Remove Bob"}));
    ASSERT_TRUE(WaitForLog("kick Kara -> Bob"));

    // Leaving the own group kicks everyone and clears the target.
    form->QueryPrivateGroup(QStringLiteral("kara"));
    ASSERT_TRUE(bob.PrivateGroupJoin("Kara"));
    MenuOf(tree, own, "Leave");
    ASSERT_TRUE(WaitForLog("kick all Kara"));
    EXPECT_EQ(server->PrivateGroupMembers(QStringLiteral("Kara")), QStringList());
    EXPECT_EQ(trees().PrivateGroupsNode()->ChildCount(), 0);
    EXPECT_EQ(Target(), QString());
}

TEST_F(TreesTest, WebLinksOpenOnlyWebAddresses) {
    for (const char* link :
         {"charurl\" params=\"http://site.test/c", "GuildURL\" params=\"https://site.test/o",
          "charurl\" params=\"file:///etc/passwd"}) {
        const QString markup = QString::fromLatin1(link);
        form->AddConsoleLine("<a name=\"" + markup + "\">x</a>", plat::clNavy, true);
        ASSERT_TRUE(
            ClickLink(markup.section(u'"', 0, 0), markup.section(u'"', 2, 2), Qt::LeftButton));
    }
    EXPECT_EQ(urls.Opened, QStringList({"http://site.test/c", "https://site.test/o"}));
    // An address found in a received line is opened by the console alone.
    ASSERT_TRUE(Tell(bob, "see http://x.test/a"));
    ASSERT_TRUE(ClickLink("URL", "http://x.test/a", Qt::LeftButton));
    EXPECT_EQ(urls.Opened.mid(2), QStringList({"http://x.test/a"}));
}

TEST_F(TreesTest, ReferenceLinksShowTheirAttachment) {
    const QByteArray site = qgetenv("QUORVEL_SITE");
    qputenv("QUORVEL_SITE", "http://items.test/");
    TItemBlob item;
    item.SetId2(0xFFFFFFFFu);
    ASSERT_TRUE(Tell(bob, "look \x11Sword\x12!", &item));
    const QString itemKey = NewestRefKey();
    ASSERT_TRUE(ClickLink("reflink", itemKey, Qt::LeftButton));
    EXPECT_EQ(urls.Opened, QStringList({"http://items.test/items/showitem.asp?VLID=4294967295"}));
    qputenv("QUORVEL_SITE", site);

    // Text references share one viewer; tabs show as blanks.
    TTextBlob text;
    text.SetText("Sword:\tgood");
    for (const char* line : {"read \x11one\x12", "more \x11two\x12"}) {
        ASSERT_TRUE(Tell(bob, line, &text));
        ASSERT_TRUE(ClickLink("reflink", NewestRefKey(), Qt::LeftButton));
    }
    const auto viewers = form->findChildren<TTextRefForm*>(QStringLiteral("TextRefForm"));
    ASSERT_EQ(viewers.size(), 1);
    EXPECT_TRUE(viewers[0]->isVisible());
    EXPECT_EQ(viewers[0]->RefMemo->toPlainText(), QStringLiteral("Sword: good"));
    viewers[0]->close();

    TUnknownBlob unknown;
    unknown.SetData("\x07zz");
    ASSERT_TRUE(Tell(bob, "odd \x11thing\x12", &unknown));
    ASSERT_TRUE(ClickLink("reflink", NewestRefKey(), Qt::LeftButton));
    EXPECT_EQ(BoxTexts(boxes), QStringList{"Plain: Unknown"});
    // A key dropped from the store does nothing.
    form->ReceivedAttachments.SetMaxCount(1);
    ASSERT_TRUE(Tell(bob, "last \x11one\x12", &unknown));
    form->ShowReference(itemKey);
    EXPECT_EQ(urls.Opened.size(), 1);
    EXPECT_EQ(boxes.size(), 1u);
}

} // namespace
} // namespace mainformtest
