// The main window's chat log files: which line goes where, the start and
// stop headers, logging switched at run time, failures, and the exception
// handler's errors.log line.
#include "MainFormTestSupport.h"

#include "platform/core/Exception.h"
#include "platform/core/Guarded.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace mainformtest {
namespace {

const char* const kFiles[] = {"groups.log", "private.log", "privgrps.log", "system.log",
                              "errors.log"};
// A header written while the window is created, before the tests fix its clock.
const QRegularExpression kStartHeader(
    QStringLiteral("^Logging started \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\r\\n"));
const QByteArray kStopHeader("Logging stopped 2024-05-06 15:07:00\r\n");

QString Codes(const char* text) {
    QString s = QString::fromLatin1(text);
    return s.replace(u'^', QChar(0x10)).replace(u'$', QChar(0x12));
}

class MainFormLogTest : public MainFormTest {
protected:
    void SetUp() override {
        MainFormTest::SetUp();
        ASSERT_TRUE(logs.isValid());
        folder = logs.filePath(QStringLiteral("new/sub")); // absent so far
    }

    // Creates the window with logging into `folder` (on unless told).
    TMainForm& CreateLogging(bool logging = true) {
        StoredRoot().WriteBool(QStringLiteral("Logging"), logging);
        StoredRoot().WriteString(QStringLiteral("LoggingFolder"), folder);
        return Create();
    }
    QByteArray Log(const char* name) const {
        QFile file(QDir(folder).filePath(QString::fromLatin1(name)));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // One line for each file, in file order.
    void OneLineEach() {
        form->VLChatGroupMessage(nullptr, -1, "Bob", "g", nullptr);
        form->VLChatPrivateMessage(nullptr, "Bob", "p", nullptr);
        form->AddPrivateGroupNode(QStringLiteral("Alice")); // a group that is shown
        form->VLChatPrivateGroupMessage(nullptr, "Alice", "Bob", "pg", nullptr);
        form->VLChatSystemMessage(nullptr, "s");
        form->AddErrorLine(QStringLiteral("e"));
    }
    int ReportLines() const {
        return int(ConsoleLines().filter(QStringLiteral("Unable to create directory")).size());
    }

    QTemporaryDir logs;
    QString folder;
};

TEST_F(MainFormLogTest, HeadersFramePrefixedLinesOfEachFile) {
    StoredRoot().WriteBool(QStringLiteral("LogGroup"), false);
    TMainForm& f = CreateLogging();
    EXPECT_TRUE(QDir(folder).exists());
    EXPECT_FALSE(QFile::exists(QDir(folder).filePath("groups.log")));
    f.Settings.LogGroup = true; // from now on

    f.VLChatGroupMessage(nullptr, -1, "Bob", "a & b <c> :-)", nullptr);
    f.VLChatPrivateMessage(nullptr, "Bob",
                           Codes("^\x0B"
                                 "black$plain")
                               .toLatin1(),
                           nullptr);
    f.ShowLine(f.Formatter().TellSent(u"Bob",
                                      Codes("^\x0C"
                                            "red$"),
                                      nullptr));
    f.AddPrivateGroupNode(QStringLiteral("Alice")); // a group that is shown
    f.VLChatPrivateGroupMessage(nullptr, "Alice", "Bob", "yo", nullptr);
    f.VLChatPrivateGroupJoin(nullptr, "Alice", "Cara");
    f.VLChatPrivateGroupLeave(nullptr, "Alice", "Cara");
    f.VLChatPrivateGroupKick(nullptr, "Alice");
    f.VLChatSystemMessage(nullptr, "Down <soon> :-)");
    f.AddErrorLine(QStringLiteral("Disconnected &amp; gone"));
    f.Settings.TimestampLogging = false;
    f.VLChatPrivateMessage(nullptr, "Bob", "plain", nullptr);

    // Message lines are raw text without colour codes; system and error
    // lines are what the console got.
    EXPECT_EQ(Log("groups.log"), "[03:07 PM]: [?] Bob: a & b <c> :-)\r\n");
    const QByteArray expected[] = {
        "[03:07 PM]: Bob: blackplain\r\n[03:07 PM]: To [Bob]: red\r\nBob: plain\r\n",
        "[03:07 PM]: [Alice] Bob: yo\r\n[03:07 PM]: Cara joined the private group Alice.\r\n"
        "[03:07 PM]: Cara left the private group Alice.\r\n"
        "[03:07 PM]: You have been kicked from the private group Alice.\r\n",
        "[03:07 PM]: System Message: Down &lt;soon&gt; <img index=\"0\">\r\n",
        "[03:07 PM]: Disconnected &amp; gone\r\n"};
    for (int i = 1; i < 5; ++i) {
        const QString text = QString::fromUtf8(Log(kFiles[i]));
        const auto header = kStartHeader.match(text);
        ASSERT_TRUE(header.hasMatch()) << kFiles[i];
        EXPECT_EQ(text.mid(header.capturedLength()).toUtf8(), expected[i - 1]) << kFiles[i];
    }

    // The stop headers come at destruction, without time prefix.
    f.Settings.TimestampLogging = true;
    DestroyAndReload();
    for (const char* name : kFiles) {
        EXPECT_TRUE(Log(name).endsWith("\r\n" + kStopHeader)) << name;
    }
}

TEST_F(MainFormLogTest, EachFlagKeepsItsFileOnly) {
    TMainForm& f = CreateLogging();
    for (int off = 0; off < 5; ++off) {
        f.Settings.LogGroup = off != 0;
        f.Settings.LogPrivate = off != 1;
        f.Settings.LogPrivateGroup = off != 2;
        f.Settings.LogSystem = off != 3;
        f.Settings.LogError = off != 4;
        QByteArray before[5];
        for (int i = 0; i < 5; ++i) {
            before[i] = Log(kFiles[i]);
        }
        OneLineEach();
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(Log(kFiles[i]).size() > before[i].size(), i != off)
                << kFiles[off] << " off, " << kFiles[i];
        }
    }
}

TEST_F(MainFormLogTest, LoggingSwitchedAtRunTime) {
    TMainForm& f = CreateLogging(false);
    OneLineEach();
    EXPECT_FALSE(QDir(logs.filePath("new")).exists());

    // The options page stores the new state, then calls SetLogging with it.
    f.Settings.Logging = true;
    f.SetLogging(true);
    f.VLChatPrivateMessage(nullptr, "Bob", "on", nullptr);
    EXPECT_EQ(Log("private.log"), "Logging started 2024-05-06 15:07:00\r\n[03:07 PM]: Bob: on\r\n");
    f.Settings.Logging = false;
    f.SetLogging(false); // logging is off already: no stop header
    f.VLChatPrivateMessage(nullptr, "Bob", "off", nullptr);
    EXPECT_EQ(Log("private.log"), "Logging started 2024-05-06 15:07:00\r\n[03:07 PM]: Bob: on\r\n");

    // The files were closed: logs moved away meanwhile are started afresh.
    ASSERT_TRUE(QDir(logs.filePath("new")).removeRecursively());
    f.Settings.Logging = true;
    f.SetLogging(true);
    f.VLChatPrivateMessage(nullptr, "Bob", "again", nullptr);
    EXPECT_EQ(Log("private.log"),
              "Logging started 2024-05-06 15:07:00\r\n[03:07 PM]: Bob: again\r\n");
}

TEST_F(MainFormLogTest, AnUnwritableFolderIsReportedOnceAndMessagesStillArrive) {
    // A file where the folder's parent should be: no user can create it.
    QFile blocker(logs.filePath(QStringLiteral("new")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    TMainForm& f = CreateLogging();
    EXPECT_EQ(ReportLines(), 1);
    EXPECT_TRUE(ConsoleLines().first().contains(
        "<font color=\"#FF0000\">Unable to create directory " + folder + "</font>"));

    f.VLChatPrivateMessage(nullptr, "Bob", "still here", nullptr);
    EXPECT_EQ(ConsoleLines().last(), Line("800080", CharLink("Bob") + ": still here</font>"));
    EXPECT_EQ(f.LastTellSender, QStringLiteral("Bob"));
    OneLineEach();
    EXPECT_EQ(ReportLines(), 1);
}

class RouterScope {
public:
    RouterScope() : previous_(RouteExceptionsToMainForm()) {}
    ~RouterScope() { plat::SetExceptionHandler(std::move(previous_)); }

private:
    plat::ExceptionHandler previous_;
};

TEST_F(MainFormLogTest, ExceptionsGoToErrorsLogUnlessDropped) {
    TMainForm& f = CreateLogging();
    RouterScope router;
    const QByteArray header = Log("errors.log");
    plat::HandleException(plat::EListError(QStringLiteral("List index out of bounds (8) <x>")));
    EXPECT_EQ(ConsoleLines().last(), Line("FF0000", "List index out of bounds (8) &lt;x&gt;"));
    EXPECT_EQ(Log("errors.log"), header + "[03:07 PM]: List index out of bounds (8) &lt;x&gt;\r\n");

    const qsizetype lines = ConsoleLines().size();
    plat::HandleException(plat::Exception(QStringLiteral("error NAME NOT FOUND FOR ID 39321")));
    EXPECT_EQ(ConsoleLines().size(), lines);
    f.Settings.LogError = false;
    plat::HandleException(plat::Exception(QStringLiteral("not logged")));
    EXPECT_EQ(ConsoleLines().size(), lines + 1);
    EXPECT_EQ(Log("errors.log"), header + "[03:07 PM]: List index out of bounds (8) &lt;x&gt;\r\n");

    // errors.log itself failing: one report, and the handler never raises.
    f.Settings.LogError = true;
    folder = logs.filePath(QStringLiteral("broken"));
    ASSERT_TRUE(QDir().mkpath(folder + "/errors.log"));
    f.Settings.LoggingFolder = folder;
    plat::HandleException(plat::Exception(QStringLiteral("first")));
    plat::HandleException(plat::Exception(QStringLiteral("second")));
    const QStringList tail = ConsoleLines().mid(lines + 1);
    ASSERT_EQ(tail.size(), 3);
    EXPECT_EQ(tail[0], Line("FF0000", "first"));
    EXPECT_TRUE(tail[1].contains("Unable to open the log file " + folder + "/errors.log: "));
    EXPECT_EQ(tail[2], Line("FF0000", "second"));
}

} // namespace
} // namespace mainformtest
