// Clicks on the console's links against the local chat service: names and
// groups become the target or open their menus, web links reach the
// desktop only as web addresses, reference links show their attachment.
#include "MainFormTreesTestSupport.h"

#include "app/TextRefForm.h"
#include "engine/VLBlob.h"

#include <QDesktopServices>
#include <QTextEdit>
#include <QUrl>

namespace mainformtest {
namespace {

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QStringList opened;
public Q_SLOTS:
    void open(const QUrl& url) { opened << url.toString(); }
};

class Links : public TreesTest {
protected:
    void SetUp() override {
        TreesTest::SetUp();
        ASSERT_TRUE(LogIn(bob, "bob"));
        for (const char* scheme : kSchemes) {
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &urls, "open");
        }
    }
    void TearDown() override {
        for (const char* scheme : kSchemes) {
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
        }
        TreesTest::TearDown();
    }
    bool WaitForLine(const char* text) {
        return WaitUntil([&] { return ConsoleLines().last().contains(QLatin1String(text)); });
    }
    // After a right click the console forgets the hovered link.
    bool RightClick(const QString& name, const QString& params) {
        const bool found = ClickLink(name, params, Qt::RightButton);
        ProcessPosted();
        EXPECT_FALSE(form->OutputMemo->LinkInformation().Valid);
        return found;
    }

    // The attachment key of the reference link in the newest line.
    QString NewestRefKey() const {
        const QString line = ConsoleLines().last();
        const qsizetype at =
            line.indexOf(QLatin1String("params=\""), line.indexOf(QLatin1String("\"reflink\""))) +
            8;
        return line.mid(at, line.indexOf(u'"', at) - at);
    }

    static constexpr const char* kSchemes[] = {"http", "https", "file", "ftp", "mailto"};
    UrlCatcher urls;
    TVLChat bob;
};

TEST_F(Links, CharacterLinksQueryOrOfferWhatSuitsTheName) {
    // A permanent buddy.
    ASSERT_TRUE(bob.SendPrivateMessage("Kara", "hi"));
    ASSERT_TRUE(WaitForLine("hi"));
    ASSERT_TRUE(ClickLink("charlink", "Bob", Qt::LeftButton));
    EXPECT_EQ(Target(), QStringLiteral("Bob:"));
    EXPECT_EQ(form->TargetKind, tkCharacter);
    ASSERT_TRUE(RightClick("charlink", "Bob"));
    EXPECT_EQ(Shown(), QStringList({"Query Bob", "Invite Bob", "Whois Bob", "Remove Bob"}));
    CloseMenu();

    // A buddy that is not permanent, then a stranger who is added.
    TVLChat dan;
    TVLChat cara;
    ASSERT_TRUE(LogIn(dan, "dan"));
    ASSERT_TRUE(dan.SendPrivateMessage("Kara", "from dan"));
    ASSERT_TRUE(WaitForLine("from dan"));
    ASSERT_TRUE(RightClick("charlink", "Dan"));
    EXPECT_EQ(Shown(), QStringList({"Query Dan", "Invite Dan", "Whois Dan", "Accept Dan"}));
    CloseMenu();
    form->VLChat->RemoveFriend("Cara");
    ASSERT_TRUE(WaitForLog(QStringLiteral("buddy remove Kara - Cara")));
    ASSERT_TRUE(LogIn(cara, "cara"));
    ASSERT_TRUE(cara.SendPrivateMessage("Kara", "from cara"));
    ASSERT_TRUE(WaitForLine("from cara"));
    ASSERT_TRUE(RightClick("charlink", "Cara"));
    EXPECT_EQ(Shown(), QStringList({"Query Cara", "Invite Cara", "Whois Cara", "Add Cara"}));
    Choose(QStringLiteral("Add"));
    ASSERT_TRUE(WaitForLog(QStringLiteral("buddy add Kara + Cara")));
    ASSERT_TRUE(WaitUntil([&] { return form->OnlineFriendsNode()->childCount() == 2; }));

    // One's own name: Query and Whois only.
    form->VLChat->SendGroupMessage("General", "mine");
    ASSERT_TRUE(WaitForLine("mine"));
    ASSERT_TRUE(RightClick("charlink", "Kara"));
    EXPECT_EQ(Shown(), QStringList({"Query Kara", "Whois Kara"}));
    CloseMenu();
}

TEST_F(Links, PrivateGroupLinksKnowTheOwnGroup) {
    bob.OnPrivateGroupInvite = [](TVLChat* chat, const QByteArray& group) {
        chat->PrivateGroupJoin(group);
    };
    form->InviteCharacter(QStringLiteral("Bob"));
    ASSERT_TRUE(WaitForLog(QStringLiteral("join Bob -> Kara")));
    ASSERT_TRUE(bob.SendPrivateGroupMessage("Kara", "in yours"));
    ASSERT_TRUE(WaitForLine("in yours"));

    ASSERT_TRUE(RightClick("privatelink", "Kara"));
    EXPECT_EQ(Shown(), QStringList({"Query Kara", "Leave Kara", "Kick All Players", "Mute Kara"}));
    CloseMenu();
    ASSERT_TRUE(ClickLink("privatelink", "Kara", Qt::LeftButton));
    EXPECT_EQ(form->TargetKind, tkPrivateGroup);
    EXPECT_EQ(Target(), QStringLiteral("Kara:"));

    // The character, not the text with the group, becomes the target.
    ASSERT_TRUE(ClickLink("privcharlink", "Bob,Kara", Qt::LeftButton));
    EXPECT_EQ(Target(), QStringLiteral("Bob:"));
    ASSERT_TRUE(RightClick("privcharlink", "Bob,Kara"));
    EXPECT_EQ(form->PopupCharGroup, QStringLiteral("Kara"));
    EXPECT_EQ(Shown(), QStringList({"Query Bob", "Kick Bob", "Whois Bob", "Remove Bob"}));
    Choose(QStringLiteral("Kick"));
    ASSERT_TRUE(WaitForLog(QStringLiteral("kick Kara -> Bob")));

    // In another character's group: Invite instead of Kick; without a node
    // the group has neither Mute nor Listen.
    form->AddPrivateGroupNode(QStringLiteral("Bob"));
    ASSERT_TRUE(bob.PrivateGroupInvite("Kara"));
    ASSERT_TRUE(WaitForLog(QStringLiteral("invite Bob -> Kara")));
    ASSERT_TRUE(form->VLChat->PrivateGroupJoin("Bob"));
    ASSERT_TRUE(bob.SendPrivateGroupMessage("Bob", "in his"));
    ASSERT_TRUE(WaitForLine("in his"));
    ASSERT_TRUE(RightClick("privcharlink", "Bob,Bob"));
    EXPECT_EQ(Shown(), QStringList({"Query Bob", "Invite Bob", "Whois Bob", "Remove Bob"}));
    CloseMenu();
    form->RemovePrivateGroupNode(QStringLiteral("Bob"));
    form->PopupGroup = QStringLiteral("Bob");
    form->PrivPopupMenuPopup();
    EXPECT_FALSE(form->PrivPopupMenu->FindItem("Mute")->Visible());
    EXPECT_FALSE(form->PrivPopupMenu->FindItem("Listen")->Visible());
}

TEST_F(Links, PublicGroupLinksListenAgainWhenQueried) {
    form->VLChat->SendGroupMessage("Trade", "selling");
    ASSERT_TRUE(WaitForLine("selling"));
    ASSERT_TRUE(RightClick("publiclink", "Trade"));
    EXPECT_EQ(Shown(), QStringList({"Query Trade", "Listen to Trade"}));
    CloseMenu();
    ASSERT_TRUE(ClickLink("publiclink", "Trade", Qt::LeftButton));
    EXPECT_EQ(form->TargetKind, tkPublicGroup);
    EXPECT_EQ(Target(), QStringLiteral("Trade:"));
    ASSERT_TRUE(WaitForLog(QStringLiteral("unmute Kara Trade")));
}

TEST_F(Links, WebLinksOpenOnlyWebAddresses) {
    const auto add = [&](const char* markup) {
        form->AddConsoleLine(QString::fromLatin1(markup), plat::clNavy, true);
    };
    add("Information for <a name=\"charurl\" hint=\"bio\" params=\"http://site.test/c\">Bob</a>");
    ASSERT_TRUE(ClickLink("charurl", "http://site.test/c", Qt::LeftButton));
    // A right click opens neither a page nor a menu.
    ASSERT_TRUE(ClickLink("charurl", "http://site.test/c", Qt::RightButton));
    EXPECT_EQ(OpenMenu(), nullptr);
    add("Member of <a name=\"GuildURL\" hint=\"roster\" params=\"https://site.test/o\">G</a>");
    ASSERT_TRUE(ClickLink("GuildURL", "https://site.test/o", Qt::LeftButton));
    add("<a name=\"charurl\" params=\"file:///etc/passwd\">local</a>");
    ASSERT_TRUE(ClickLink("charurl", "file:///etc/passwd", Qt::LeftButton));
    EXPECT_EQ(urls.opened, QStringList({"http://site.test/c", "https://site.test/o"}));

    // An address found in a received line is opened by the console alone.
    ASSERT_TRUE(bob.SendPrivateMessage("Kara", "see http://x.test/a"));
    ASSERT_TRUE(WaitForLine("see"));
    ASSERT_TRUE(ClickLink("URL", "http://x.test/a", Qt::LeftButton));
    EXPECT_EQ(urls.opened.mid(2), QStringList({"http://x.test/a"}));
}

TEST_F(Links, ReferenceLinksShowTheirAttachment) {
    const QByteArray oldSite = qgetenv("QUORVEL_SITE");
    qputenv("QUORVEL_SITE", "http://items.test/");
    TItemBlob item;
    item.SetId2(0xFFFFFFFFu);
    ASSERT_TRUE(bob.SendPrivateMessage("Kara", "look \x11Sword\x12!", &item));
    ASSERT_TRUE(WaitForLine("look"));
    ASSERT_EQ(form->ReceivedAttachments.Count(), 1);
    const QString key = NewestRefKey();
    ASSERT_TRUE(ClickLink("reflink", key, Qt::LeftButton));
    EXPECT_EQ(urls.opened, QStringList({"http://items.test/items/showitem.asp?VLID=4294967295"}));
    qputenv("QUORVEL_SITE", oldSite);

    // A text reference opens the one viewer, tabs shown as blanks.
    TTextBlob text;
    text.SetText("Sword:\tgood");
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(bob.SendPrivateMessage("Kara", "read \x11Sword\x12", &text));
        ASSERT_TRUE(WaitUntil([&] { return ConsoleLines().last().contains("read"); }));
        ASSERT_TRUE(ClickLink("reflink", NewestRefKey(), Qt::LeftButton));
    }
    const auto viewers = form->findChildren<TTextRefForm*>(QStringLiteral("TextRefForm"));
    ASSERT_EQ(viewers.size(), 1);
    EXPECT_TRUE(viewers[0]->isVisible());
    EXPECT_EQ(viewers[0]->RefMemo->toPlainText(), QStringLiteral("Sword: good"));
    viewers[0]->close();

    // An attachment of no known kind.
    TUnknownBlob unknown;
    unknown.SetData("\x07zz");
    std::vector<plat::MsgBoxRequest> asked;
    plat::ScopedMsgBoxHandler box([&](const plat::MsgBoxRequest& r) {
        asked.push_back(r);
        return plat::MsgResult::Ok;
    });
    ASSERT_TRUE(bob.SendPrivateMessage("Kara", "odd \x11thing\x12", &unknown));
    ASSERT_TRUE(WaitForLine("odd"));
    ASSERT_TRUE(ClickLink("reflink", NewestRefKey(), Qt::LeftButton));
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].Kind, plat::MsgKind::Plain);
    EXPECT_EQ(asked[0].Text, QStringLiteral("Unknown"));

    // A key no longer stored does nothing.
    form->ReceivedAttachments.SetMaxCount(1);
    ASSERT_TRUE(bob.SendPrivateMessage("Kara", "new \x11one\x12", &unknown));
    ASSERT_TRUE(WaitForLine("new"));
    form->ShowReference(key);
    EXPECT_EQ(urls.opened.size(), 1);
    EXPECT_EQ(asked.size(), 1u);
}

} // namespace
} // namespace mainformtest

#include "MainFormLinksTest.moc"
