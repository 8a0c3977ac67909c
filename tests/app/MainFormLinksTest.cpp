// Clicks on the console's links against the local chat service: names and
// groups become the target or open their menus, web links reach the
// desktop only as web addresses, reference links show their attachment.
#include "MainFormTreesTestSupport.h"

#include "app/refs/TextRefForm.h"
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
    bool Tell(TVLChat& from, const char* text, const TBlob* blob = nullptr) {
        return from.SendPrivateMessage("Kara", text, blob) &&
               WaitForLine(QString::fromLatin1(text).section(u'\x11', 0, 0));
    }
    // A right click on a link: afterwards the console forgets the link.
    bool RightClick(const QString& name, const QString& params) {
        const bool found = ClickLink(name, params, Qt::RightButton);
        EXPECT_FALSE(form->OutputMemo->LinkInformation().Valid);
        return found;
    }
    // The attachment key of the reference link in the newest line.
    QString NewestRefKey() const {
        const QString line = ConsoleLines().last();
        const qsizetype at =
            line.indexOf(QLatin1String("params=\""), line.indexOf(QLatin1String("reflink"))) + 8;
        return line.mid(at, line.indexOf(u'"', at) - at);
    }

    static constexpr const char* kSchemes[] = {"http", "https", "file", "ftp"};
    UrlCatcher urls;
    TVLChat bob;
};

TEST_F(Links, CharacterLinksQueryOrOfferWhatSuitsTheName) {
    ASSERT_TRUE(Tell(bob, "hi"));
    ASSERT_TRUE(ClickLink("charlink", "Bob", Qt::LeftButton));
    EXPECT_EQ(Target(), QStringLiteral("Bob:"));
    EXPECT_EQ(form->Target().Kind(), tkCharacter);
    ASSERT_TRUE(RightClick("charlink", "Bob"));
    EXPECT_EQ(Shown(), QStringList({"Query Bob", "Invite Bob", "Whois Bob", "Remove Bob"}));

    TVLChat dan;
    TVLChat eve;
    ASSERT_TRUE(LogIn(dan, "dan"));
    ASSERT_TRUE(Tell(dan, "from dan"));
    ASSERT_TRUE(RightClick("charlink", "Dan"));
    EXPECT_EQ(Shown(), QStringList({"Query Dan", "Invite Dan", "Whois Dan", "Accept Dan"}));
    ASSERT_TRUE(LogIn(eve, "eve"));
    ASSERT_TRUE(Tell(eve, "from eve"));
    ASSERT_TRUE(RightClick("charlink", "Eve"));
    EXPECT_EQ(Shown(), QStringList({"Query Eve", "Invite Eve", "Whois Eve", "Add Eve"}));
    Choose("Add");
    ASSERT_TRUE(WaitForLog("buddy add Kara + Eve"));

    // One's own name: Query and Whois only.
    form->VLChat->SendGroupMessage("General", "mine");
    ASSERT_TRUE(WaitForLine("mine"));
    ASSERT_TRUE(RightClick("charlink", "Kara"));
    EXPECT_EQ(Shown(), QStringList({"Query Kara", "Whois Kara"}));

    // A muted public group: Listen; queried, it listens again.
    form->VLChat->SendGroupMessage("Trade", "selling");
    ASSERT_TRUE(WaitForLine("selling"));
    ASSERT_TRUE(RightClick("publiclink", "Trade"));
    EXPECT_EQ(Shown(), QStringList({"Query Trade", "Listen to Trade"}));
    ASSERT_TRUE(ClickLink("publiclink", "Trade", Qt::LeftButton));
    EXPECT_EQ(form->Target().Kind(), tkPublicGroup);
    ASSERT_TRUE(WaitForLog("unmute Kara Trade"));
}

TEST_F(Links, PrivateGroupLinksKnowTheOwnGroup) {
    bob.OnPrivateGroupInvite = [](TVLChat* chat, const QByteArray& group) {
        chat->PrivateGroupJoin(group);
    };
    form->InviteCharacter(QStringLiteral("Bob"));
    ASSERT_TRUE(WaitForLog("join Bob -> Kara"));
    ASSERT_TRUE(bob.SendPrivateGroupMessage("Kara", "in yours"));
    ASSERT_TRUE(WaitForLine("in yours"));

    ASSERT_TRUE(RightClick("privatelink", "Kara"));
    EXPECT_EQ(Shown(), QStringList({"Query Kara", "Leave Kara", "Kick All Players", "Mute Kara"}));
    ASSERT_TRUE(ClickLink("privatelink", "Kara", Qt::LeftButton));
    EXPECT_EQ(form->Target().Kind(), tkPrivateGroup);
    // The character, not the text with the group, becomes the target.
    ASSERT_TRUE(ClickLink("privcharlink", "Bob,Kara", Qt::LeftButton));
    EXPECT_EQ(Target(), QStringLiteral("Bob:"));
    ASSERT_TRUE(RightClick("privcharlink", "Bob,Kara"));
    EXPECT_EQ(Shown(), QStringList({"Query Bob", "Kick Bob", "Whois Bob", "Remove Bob"}));
    Choose("Kick");
    ASSERT_TRUE(WaitForLog("kick Kara -> Bob"));

    // In another's group: Invite instead of Kick; a group without a node
    // offers neither Mute nor Listen.
    form->AddPrivateGroupNode(QStringLiteral("Bob"));
    ASSERT_TRUE(bob.PrivateGroupInvite("Kara"));
    ASSERT_TRUE(WaitForLog("invite Bob -> Kara"));
    ASSERT_TRUE(form->VLChat->PrivateGroupJoin("Bob"));
    ASSERT_TRUE(bob.SendPrivateGroupMessage("Bob", "in his"));
    ASSERT_TRUE(WaitForLine("in his"));
    ASSERT_TRUE(RightClick("privcharlink", "Bob,Bob"));
    EXPECT_EQ(Shown(), QStringList({"Query Bob", "Invite Bob", "Whois Bob", "Remove Bob"}));
    form->RemovePrivateGroupNode(QStringLiteral("Bob"));
    ASSERT_TRUE(RightClick("privatelink", "Bob"));
    EXPECT_EQ(Shown(), QStringList({"Query Bob", "Leave Bob"}));
}

TEST_F(Links, WebLinksOpenOnlyWebAddresses) {
    const auto add = [&](const char* markup) {
        form->AddConsoleLine(QString::fromLatin1(markup), plat::clNavy, true);
    };
    add("Information for <a name=\"charurl\" params=\"http://site.test/c\">Bob</a>");
    ASSERT_TRUE(ClickLink("charurl", "http://site.test/c", Qt::LeftButton));
    add("Member of <a name=\"GuildURL\" params=\"https://site.test/o\">G</a>");
    ASSERT_TRUE(ClickLink("GuildURL", "https://site.test/o", Qt::LeftButton));
    add("<a name=\"charurl\" params=\"file:///etc/passwd\">local</a>");
    ASSERT_TRUE(ClickLink("charurl", "file:///etc/passwd", Qt::LeftButton));
    EXPECT_EQ(urls.opened, QStringList({"http://site.test/c", "https://site.test/o"}));

    // An address found in a received line is opened by the console alone.
    ASSERT_TRUE(Tell(bob, "see http://x.test/a"));
    ASSERT_TRUE(ClickLink("URL", "http://x.test/a", Qt::LeftButton));
    EXPECT_EQ(urls.opened.mid(2), QStringList({"http://x.test/a"}));
}

TEST_F(Links, ReferenceLinksShowTheirAttachment) {
    const QByteArray site = qgetenv("QUORVEL_SITE");
    qputenv("QUORVEL_SITE", "http://items.test/");
    TItemBlob item;
    item.SetId2(0xFFFFFFFFu);
    ASSERT_TRUE(Tell(bob, "look \x11Sword\x12!", &item));
    const QString itemKey = NewestRefKey();
    ASSERT_TRUE(ClickLink("reflink", itemKey, Qt::LeftButton));
    EXPECT_EQ(urls.opened, QStringList({"http://items.test/items/showitem.asp?VLID=4294967295"}));
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

    std::vector<plat::MsgBoxRequest> asked;
    plat::ScopedMsgBoxHandler box([&](const plat::MsgBoxRequest& r) {
        asked.push_back(r);
        return plat::MsgResult::Ok;
    });
    TUnknownBlob unknown;
    unknown.SetData("\x07zz");
    ASSERT_TRUE(Tell(bob, "odd \x11thing\x12", &unknown));
    ASSERT_TRUE(ClickLink("reflink", NewestRefKey(), Qt::LeftButton));
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].Kind, plat::MsgKind::Plain);
    EXPECT_EQ(asked[0].Text, QStringLiteral("Unknown"));

    // A key dropped from the store does nothing.
    form->ReceivedAttachments.SetMaxCount(1);
    ASSERT_TRUE(Tell(bob, "last \x11one\x12", &unknown));
    form->ShowReference(itemKey);
    EXPECT_EQ(urls.opened.size(), 1);
    EXPECT_EQ(asked.size(), 1u);
}

} // namespace
} // namespace mainformtest

#include "MainFormLinksTest.moc"
