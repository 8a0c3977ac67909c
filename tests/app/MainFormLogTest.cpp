// The main window's chat log files: which line goes where, the start and
// stop headers, logging switched and moved at run time, failures, and the
// exception handler's errors.log line.
#include "MainFormTestSupport.h"

#include "platform/core/Exception.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <functional>
#include <utility>

namespace mainformtest {
namespace {

const char* const kFiles[] = {"groups.log", "private.log", "privgrps.log", "system.log",
                              "errors.log"};
// A header written while the window is created, before the tests fix its clock.
const QRegularExpression kStartHeader(
    QStringLiteral("^Logging started \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\r\\n"));
const QByteArray kStarted("Logging started 2024-05-06 15:07:00\r\n");
const QByteArray kStopped("Logging stopped 2024-05-06 15:07:00\r\n");

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
    QByteArray Log(const char* name, const QString& in = QString()) const {
        QFile file(QDir(in.isEmpty() ? folder : in).filePath(QString::fromLatin1(name)));
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

    QTemporaryDir logs;
    QString folder;
};

TEST_F(MainFormLogTest, EachFileHasItsFlagAndItsHeaders) {
    StoredRoot().WriteBool(QStringLiteral("LogGroup"), false);
    TMainForm& f = CreateLogging();
    EXPECT_TRUE(QDir(folder).exists());
    EXPECT_FALSE(QFile::exists(QDir(folder).filePath("groups.log"))); // no header either
    bool* flags[] = {&f.Settings.LogGroup,  &f.Settings.LogPrivate, &f.Settings.LogPrivateGroup,
                     &f.Settings.LogSystem, &f.Settings.LogError,   nullptr};
    for (int off = 0; off < 6; ++off) {
        QByteArray before[5];
        for (int i = 0; i < 5; ++i) {
            *flags[i] = i != off;
            before[i] = Log(kFiles[i]);
        }
        OneLineEach();
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(Log(kFiles[i]).size() > before[i].size(), i != off)
                << off << " off, " << kFiles[i];
        }
    }
    // System and error lines are logged as the console got them; without
    // TimestampLogging there is no time prefix.
    f.Settings.TimestampLogging = false;
    f.VLChatSystemMessage(nullptr, "Down <soon> :-)");
    f.AddErrorLine(QStringLiteral("Disconnected &amp; gone"));
    EXPECT_TRUE(
        Log("system.log").endsWith("\r\nSystem Message: Down &lt;soon&gt; <img index=\"0\">\r\n"));
    EXPECT_TRUE(Log("errors.log").endsWith("\r\nDisconnected &amp; gone\r\n"));
    const QString text = QString::fromUtf8(Log("private.log"));
    ASSERT_TRUE(kStartHeader.match(text).hasMatch());
    EXPECT_TRUE(text.endsWith("\r\n[03:07 PM]: Bob: p\r\n"));
    // The stop headers come at destruction, without time prefix.
    DestroyAndReload();
    for (const char* name : kFiles) {
        EXPECT_TRUE(Log(name).endsWith("\r\n" + kStopped)) << name;
    }
}

// The options change the settings, then the window applies them.
TEST_F(MainFormLogTest, LoggingSwitchedAndMovedAtRunTime) {
    TMainForm& f = CreateLogging(false);
    OneLineEach();
    EXPECT_FALSE(QDir(logs.filePath("new")).exists());
    const auto apply = [&](auto change) {
        TSettingsChange c;
        c.Previous = f.Settings;
        change(f.Settings);
        f.ApplySettings(c);
    };
    // Switched on and moved in one change: the files start in the new folder only.
    folder = logs.filePath(QStringLiteral("second"));
    apply([&](TMainSettings& s) {
        s.Logging = true;
        s.LoggingFolder = folder;
    });
    EXPECT_FALSE(QDir(logs.filePath("new")).exists());
    f.VLChatPrivateMessage(nullptr, "Bob", "on", nullptr);
    apply([](TMainSettings&) {}); // nothing changed: nothing written
    EXPECT_EQ(Log("private.log"), kStarted + "[03:07 PM]: Bob: on\r\n");
    // Moving them stops them in the old folder and starts them in the new.
    const QString old = folder;
    folder = logs.filePath(QStringLiteral("third"));
    apply([&](TMainSettings& s) {
        s.LoggingFolder = folder;
        s.LogPrivate = false;
    });
    EXPECT_EQ(Log("groups.log", old), kStarted + kStopped);
    EXPECT_EQ(Log("private.log", old), kStarted + "[03:07 PM]: Bob: on\r\n" + kStopped);
    EXPECT_EQ(Log("groups.log"), kStarted);
    EXPECT_TRUE(Log("private.log").isEmpty());
    apply([](TMainSettings& s) { s.Logging = false; });
    EXPECT_EQ(Log("groups.log"), kStarted + kStopped);
    f.SetLogging(false); // logging is off already: no stop header
    EXPECT_EQ(Log("groups.log"), kStarted + kStopped);

    // The files were closed: logs moved away meanwhile are started afresh.
    ASSERT_TRUE(QDir(folder).removeRecursively());
    f.Settings.Logging = true;
    f.SetLogging(true);
    f.VLChatGroupMessage(nullptr, -1, "Bob", "again", nullptr);
    EXPECT_EQ(Log("groups.log"), kStarted + "[03:07 PM]: [?] Bob: again\r\n");
}

// A log file removed, moved away with its folder, or replaced while the
// window runs: the next line makes it again, starting as a new file does.
// One that cannot be made again is reported, and starts with the next line
// that makes it.
TEST_F(MainFormLogTest, ALogFileGoneBetweenTwoLinesIsMadeAgainWithItsHeader) {
    TMainForm& f = CreateLogging();
    const QString path = QDir(folder).filePath(QStringLiteral("private.log"));
    const std::pair<const char*, std::function<bool()>> ways[] = {
        {"removed", [&] { return QFile::remove(path); }},
        {"folder moved", [&] { return QDir().rename(folder, folder + ".old"); }},
        {"replaced",
         [&] {
             QFile other(path + ".new");
             return other.open(QIODevice::WriteOnly) && QFile::remove(path) && other.rename(path);
         }},
    };
    const QByteArray after = kStarted + "[03:07 PM]: Bob: two\r\n";
    for (const auto& [what, change] : ways) {
        SCOPED_TRACE(what);
        f.VLChatPrivateMessage(nullptr, "Bob", "one", nullptr);
        ASSERT_TRUE(change());
        f.VLChatPrivateMessage(nullptr, "Bob", "two", nullptr);
        EXPECT_EQ(Log("private.log"), after);
    }
    EXPECT_TRUE(Log("private.log", folder + ".old").endsWith("[03:07 PM]: Bob: one\r\n"));
    EXPECT_TRUE(ConsoleLines().filter(QStringLiteral("Unable")).isEmpty());

    ASSERT_TRUE(QDir(folder).removeRecursively());
    QFile blocker(folder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    f.VLChatPrivateMessage(nullptr, "Bob", "lost", nullptr);
    EXPECT_EQ(ConsoleLines().filter(QStringLiteral("Unable to create directory ") + folder).size(),
              1);
    ASSERT_TRUE(QFile::remove(folder));
    f.VLChatPrivateMessage(nullptr, "Bob", "two", nullptr);
    EXPECT_EQ(Log("private.log"), after);
    // A header is a file's start itself.
    ASSERT_TRUE(QFile::remove(path));
    f.SetLogging(false);
    EXPECT_EQ(Log("private.log"), kStopped);
}

TEST_F(MainFormLogTest, AnUnwritableFolderIsReportedOnceAndMessagesStillArrive) {
    // A file where the folder's parent should be: no user can create it.
    QFile blocker(logs.filePath(QStringLiteral("new")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    TMainForm& f = CreateLogging();
    const auto reports = [&] {
        return ConsoleLines().filter(QStringLiteral("Unable to create directory")).size();
    };
    EXPECT_EQ(reports(), 1);
    EXPECT_TRUE(ConsoleLines().first().contains(
        "<font color=\"#FF0000\">Unable to create directory " + folder + "</font>"));

    f.VLChatPrivateMessage(nullptr, "Bob", "still here", nullptr);
    EXPECT_EQ(ConsoleLines().last(), Line("800080", CharLink("Bob") + ": still here</font>"));
    EXPECT_EQ(f.LastTellSender, QStringLiteral("Bob"));
    OneLineEach();
    EXPECT_EQ(reports(), 1);
}

TEST_F(MainFormLogTest, ExceptionsGoToErrorsLogUnlessDropped) {
    TMainForm& f = CreateLogging();
    const plat::ScopedExceptionHandler router(MainFormExceptionHandler());
    const QByteArray header = Log("errors.log");
    plat::HandleException(plat::EListError(QStringLiteral("List index out of bounds (8) <x>")));
    const QByteArray logged = header + "[03:07 PM]: List index out of bounds (8) &lt;x&gt;\r\n";
    EXPECT_EQ(Log("errors.log"), logged);
    const qsizetype lines = ConsoleLines().size();
    plat::HandleException(plat::Exception(QStringLiteral("Name not found for ID 39321")));
    f.Settings.LogError = false;
    plat::HandleException(plat::Exception(QStringLiteral("not logged")));
    EXPECT_EQ(ConsoleLines().size(), lines + 1);
    EXPECT_EQ(Log("errors.log"), logged);

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
