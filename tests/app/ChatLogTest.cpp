// The chat log lines and the writer of the log files.
#include "GoldenRows.h"

#include "app/log/ChatLog.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QDateTime At(int hour, int minute, int second = 0) {
    return QDateTime(QDate(2024, 5, 6), QTime(hour, minute, second));
}

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

TEST(ChatLogLineTest, PrefixHeaderAndLine) {
    EXPECT_EQ(LogTimePrefix(At(15, 7)), QStringLiteral("[03:07 PM]: "));
    EXPECT_EQ(LogTimePrefix(At(0, 5)), QStringLiteral("[12:05 AM]: "));
    EXPECT_EQ(LogTimePrefix(At(12, 0)), QStringLiteral("[12:00 PM]: "));
    EXPECT_EQ(LogHeader(true, At(15, 7, 9)), QStringLiteral("Logging started 2024-05-06 15:07:09"));
    EXPECT_EQ(LogHeader(false, At(0, 0)), QStringLiteral("Logging stopped 2024-05-06 00:00:00"));
    EXPECT_EQ(FormatLogLine(u"Bob: hi", true, At(15, 7)), QByteArray("[03:07 PM]: Bob: hi\r\n"));
    EXPECT_EQ(FormatLogLine(QStringLiteral("Ren\u00e9e: \u20ac"), false, At(1, 0)),
              QByteArray("Ren\xc3\xa9"
                         "e: \xe2\x82\xac\r\n"));
}

// One message, one line: a received text cannot start lines of its own.
TEST(ChatLogLineTest, LineBreaksInsideTheTextBecomeSpaces) {
    for (const auto& row : GoldenRows("log/line-breaks.txt", 2)) {
        EXPECT_EQ(FormatLogLine(QString::fromUtf8(row[0]), false, At(1, 0)), row[1] + "\r\n")
            << row[0].constData();
    }
}

class ChatLogWriterTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString Path(const QString& relative) const { return dir.filePath(relative); }

    QTemporaryDir dir;
    TChatLogWriter writer;
};

// Folders are made as needed; a file from an earlier run keeps its lines;
// each line is on disk at once, from the file opened first.
TEST_F(ChatLogWriterTest, AppendsToFilesOpenedOnce) {
    QDir(dir.path()).mkpath("a/b");
    QFile earlier(Path("a/b/system.log"));
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("old\r\n");
    earlier.close();
    writer.SetFolder(Path("a/b")); // no trailing separator
    ASSERT_TRUE(writer.Append("system.log", "1\r\n").Written);
    EXPECT_EQ(Contents(Path("a/b/system.log")), QByteArray("old\r\n1\r\n"));
    ASSERT_TRUE(writer.Append("private.log", "p\r\n").Written);
    EXPECT_EQ(Contents(Path("a/b/private.log")), QByteArray("p\r\n"));

    // The file stays open: a line after the file was moved away follows it.
    ASSERT_TRUE(QFile::rename(Path("a/b/system.log"), Path("a/b/moved.log")));
    ASSERT_TRUE(writer.Append("system.log", "2\r\n").Written);
    EXPECT_EQ(Contents(Path("a/b/moved.log")), QByteArray("old\r\n1\r\n2\r\n"));
    EXPECT_FALSE(QFile::exists(Path("a/b/system.log")));

    // Closing, or another folder, opens the files again.
    writer.Close();
    ASSERT_TRUE(writer.Append("system.log", "3\r\n").Written);
    EXPECT_EQ(Contents(Path("a/b/system.log")), QByteArray("3\r\n"));
    writer.SetFolder(Path("c/d/"));
    ASSERT_TRUE(writer.Append("system.log", "4\r\n").Written);
    EXPECT_EQ(Contents(Path("c/d/system.log")), QByteArray("4\r\n"));
    EXPECT_EQ(Contents(Path("a/b/system.log")), QByteArray("3\r\n"));
}

// Failures never raise and are told once: a folder that cannot be made,
// a file that cannot be opened, an empty folder.
TEST_F(ChatLogWriterTest, FailuresAreReportedOnceUntilALineIsWrittenAgain) {
    writer.SetFolder(QString());
    EXPECT_EQ(writer.Append("errors.log", "x\r\n").Report, "Unable to create directory");

    // A file where a parent folder should be stops everybody, root included.
    QFile blocker(Path("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    writer.SetFolder(Path("blocker/logs"));
    EXPECT_EQ(writer.Append("private.log", "a\r\n").Report,
              "Unable to create directory " + Path("blocker/logs"));
    for (const char* name : {"private.log", "groups.log", "errors.log"}) {
        const TLogAppend next = writer.Append(name, "b\r\n");
        EXPECT_FALSE(next.Written);
        EXPECT_EQ(next.Report, QString()) << name;
    }

    // The folder can be made now; a file that cannot be opened is news, and
    // stays quiet between the good lines of another file.
    ASSERT_TRUE(QFile::remove(Path("blocker")));
    ASSERT_TRUE(QDir(dir.path()).mkpath("blocker/logs/groups.log"));
    EXPECT_TRUE(writer.Append("private.log", "c\r\n").Written);
    EXPECT_TRUE(writer.Append("groups.log", "d\r\n")
                    .Report.startsWith("Unable to open the log file " +
                                       Path("blocker/logs/groups.log") + ": "));
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(writer.Append("private.log", "e\r\n").Written);
        EXPECT_EQ(writer.Append("groups.log", "f\r\n").Report, QString());
    }
    EXPECT_EQ(Contents(Path("blocker/logs/private.log")), QByteArray("c\r\ne\r\ne\r\n"));
    // Logging turned off and on again reports it afresh.
    writer.Close();
    EXPECT_NE(writer.Append("groups.log", "g\r\n").Report, QString());
}

} // namespace
