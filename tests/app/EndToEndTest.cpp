// Two main windows and the local chat service in one process: a tell, a
// group message and a private-group message travel from Demochar's window to
// Testchar's and arrive in its console and its log files. Each window logs
// in through its File menu; the messages are sent with the engine
// operations the window's input line uses.
#include "KitDriving.h"
#include "MainFormTestSupport.h"

#include "dockkit/bars/DkThemedToolbar.h"
#include "dockkit/items/DkItem/DkItem.h"

#include "console/QvConsole/QvConsole.h"

#include <QDir>
#include <QFile>

namespace mainformtest {
namespace {

const QByteArray kStartHeader("Logging started 2024-05-06 15:07:00\r\n");

QStringList Lines(const TMainForm& f) {
    QStringList lines;
    for (const TMessageNode* line = f.OutputMemo->FirstLine(); line; line = line->Next) {
        lines << line->Text;
    }
    return lines;
}

bool Shows(const TMainForm& f, const QString& line) {
    return WaitUntil([&] { return Lines(f).contains(line); });
}

QString Link(const char* name, const QString& params, const QString& text) {
    return QStringLiteral("<a name=\"%1\" params=\"%2\" hint=\"Query %3\">%3</a>")
        .arg(QLatin1String(name), params, text);
}

class EndToEndTest : public MainFormTest {
protected:
    void SetUp() override {
        MainFormTest::SetUp();
        ASSERT_TRUE(logs.isValid());
        StartService();
        demo = &Create();
        other = std::make_unique<TMainForm>();
        other->Formatter().Now = demo->Formatter().Now;
        test = other.get();
        ASSERT_TRUE(LogInAs(*demo, "Demochar"));
        ASSERT_TRUE(LogInAs(*test, "Testchar"));
    }
    void TearDown() override {
        other.reset();
        MainFormTest::TearDown();
    }

    // Logging into a folder of the character's own, then the login dialog
    // and the character choice answered.
    bool LogInAs(TMainForm& f, const char* character) {
        f.Settings.Logging = true;
        f.Settings.LoggingFolder = logs.filePath(QString::fromLatin1(character));
        f.SetLogging(true);
        loginAnswer = LoginAnswer{QStringLiteral("Local"), QStringLiteral("demo"),
                                  QStringLiteral("demo"), false};
        characterAnswer = QString::fromLatin1(character);
        // "File", "Connect" with the mouse; the command runs once the menu
        // has closed.
        f.show();
        ProcessPosted();
        TDkCustomItem* file = f.MenuBar->Items()->Items(0);
        EXPECT_EQ(file->Caption(), QStringLiteral("&File"));
        TDkCustomItem* connect = file->findChild<TDkCustomItem*>(QStringLiteral("ConnectAction"));
        EXPECT_TRUE(kittest::ChooseByMouse({file, connect}));
        const bool in = WaitUntil([&] { return f.VLChat->State() == csLoggedIn; });
        f.VLChat->SetFloodProtection(false);
        return in;
    }
    QByteArray Log(const char* character, const char* file) const {
        QFile f(logs.filePath(QString::fromLatin1(character) + u'/' + QLatin1String(file)));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir logs;
    std::unique_ptr<TMainForm> other;
    TMainForm* demo = nullptr;
    TMainForm* test = nullptr;
};

TEST_F(EndToEndTest, MessagesReachTheOtherWindowsConsoleAndLogs) {
    // A tell with a red word: decoded in the console, plain in the log.
    ASSERT_TRUE(demo->VLChat->SendPrivateMessage("Testchar", "hi & <you> \x10\x0C"
                                                             "red\x12!"));
    EXPECT_TRUE(
        Shows(*test, Line("800080", CharLink("Demochar") + ": hi &amp; &lt;you&gt; </font><font "
                                                           "color=\"#FF0000\">red</font><font "
                                                           "color=\"#800080\">!</font>")));
    EXPECT_EQ(test->LastTellSender, QStringLiteral("Demochar"));
    EXPECT_EQ(Log("Testchar", "private.log"),
              kStartHeader + "[03:07 PM]: Demochar: hi & <you> red!\r\n");

    // A public group message reaches every member, the sender included.
    demo->VLChat->SendGroupMessage("General", "all :-)");
    const QString group =
        Line("008000", "[" + Link("publiclink", "General", "General") + "] " +
                           CharLink("Demochar") + ": all <img index=\"0\"></font>");
    EXPECT_TRUE(Shows(*test, group));
    EXPECT_TRUE(Shows(*demo, group));
    for (const char* character : {"Testchar", "Demochar"}) {
        EXPECT_EQ(Log(character, "groups.log"),
                  kStartHeader + "[03:07 PM]: [General] Demochar: all :-)\r\n")
            << character;
    }

    // The private group of Demochar: invited, joined by answering Yes, a message.
    const BoxAnswerer join; // confirmations answered Yes
    demo->InviteCharacter(QStringLiteral("Testchar"));
    const QString joined = Line("808000", "Testchar joined the private group Demochar.");
    EXPECT_TRUE(Shows(*demo, joined));
    EXPECT_TRUE(Shows(*test, joined));
    ASSERT_TRUE(demo->VLChat->SendPrivateGroupMessage("Demochar", "yo"));
    EXPECT_TRUE(
        Shows(*test, Line("008080", "[" + Link("privatelink", "Demochar", "Demochar") + "] " +
                                        Link("privcharlink", "Demochar,Demochar", "Demochar") +
                                        ": yo</font>")));
    EXPECT_EQ(Log("Testchar", "privgrps.log"),
              kStartHeader + "[03:07 PM]: Testchar joined the private group Demochar.\r\n"
                             "[03:07 PM]: [Demochar] Demochar: yo\r\n");

    // Nothing went wrong on either side; each window's connect line is its
    // only error line.
    for (const char* character : {"Testchar", "Demochar"}) {
        EXPECT_EQ(Log(character, "errors.log"),
                  kStartHeader + "[03:07 PM]: Connected to Vellinor chat server\r\n")
            << character;
        EXPECT_EQ(Log(character, "system.log"), kStartHeader) << character;
    }
}

} // namespace
} // namespace mainformtest
