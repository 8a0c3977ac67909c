// The chat log lines and the writer of the log files.
#include "app/ChatLog.h"

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

TEST(ChatLogLineTest, TimePrefixCountsTwelveHours) {
    EXPECT_EQ(LogTimePrefix(At(15, 7)), QStringLiteral("[03:07 PM]: "));
    EXPECT_EQ(LogTimePrefix(At(0, 5)), QStringLiteral("[12:05 AM]: "));
    EXPECT_EQ(LogTimePrefix(At(12, 0)), QStringLiteral("[12:00 PM]: "));
    EXPECT_EQ(LogTimePrefix(At(11, 59)), QStringLiteral("[11:59 AM]: "));
}

TEST(ChatLogLineTest, HeadersCarryDateAndTimeWithSeconds) {
    EXPECT_EQ(LogHeader(true, At(15, 7, 9)), QStringLiteral("Logging started 2024-05-06 15:07:09"));
    EXPECT_EQ(LogHeader(false, At(0, 0)), QStringLiteral("Logging stopped 2024-05-06 00:00:00"));
}

TEST(ChatLogLineTest, LinesAreUtf8WithCrLf) {
    EXPECT_EQ(FormatLogLine(u"Bob: hi", true, At(15, 7)), QByteArray("[03:07 PM]: Bob: hi\r\n"));
    EXPECT_EQ(FormatLogLine(u"Bob: hi", false, At(15, 7)), QByteArray("Bob: hi\r\n"));
    EXPECT_EQ(FormatLogLine(QStringLiteral("Ren\u00e9e: \u20ac"), false, At(1, 0)),
              QByteArray("Ren\xc3\xa9"
                         "e: \xe2\x82\xac\r\n"));
}

class ChatLogWriterTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString Path(const QString& relative) const { return dir.filePath(relative); }

    QTemporaryDir dir;
    TChatLogWriter writer;
};

TEST_F(ChatLogWriterTest, CreatesTheFolderAndAppendsToExistingFiles) {
    writer.SetFolder(Path("a/b/c")); // no trailing separator
    ASSERT_TRUE(writer.Append("private.log", "one\r\n").Written);
    EXPECT_EQ(Contents(Path("a/b/c/private.log")), QByteArray("one\r\n"));

    // A file from an earlier run keeps its lines.
    QFile earlier(Path("a/b/c/groups.log"));
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("old\r\n");
    earlier.close();
    ASSERT_TRUE(writer.Append("groups.log", "new\r\n").Written);
    EXPECT_EQ(Contents(Path("a/b/c/groups.log")), QByteArray("old\r\nnew\r\n"));
}

TEST_F(ChatLogWriterTest, EachLineIsOnDiskAtOnceFromTheFileOpenedFirst) {
    writer.SetFolder(Path("logs/"));
    ASSERT_TRUE(writer.Append("system.log", "1\r\n").Written);
    EXPECT_EQ(Contents(Path("logs/system.log")), QByteArray("1\r\n"));
    ASSERT_TRUE(writer.Append("system.log", "2\r\n").Written);
    EXPECT_EQ(Contents(Path("logs/system.log")), QByteArray("1\r\n2\r\n"));

    // The file stays open: a line after the file was moved away follows it.
    ASSERT_TRUE(QFile::rename(Path("logs/system.log"), Path("logs/moved.log")));
    ASSERT_TRUE(writer.Append("system.log", "3\r\n").Written);
    EXPECT_EQ(Contents(Path("logs/moved.log")), QByteArray("1\r\n2\r\n3\r\n"));
    EXPECT_FALSE(QFile::exists(Path("logs/system.log")));

    // Closing, or another folder, opens the files again.
    writer.Close();
    ASSERT_TRUE(writer.Append("system.log", "4\r\n").Written);
    EXPECT_EQ(Contents(Path("logs/system.log")), QByteArray("4\r\n"));
    writer.SetFolder(Path("other"));
    ASSERT_TRUE(writer.Append("system.log", "5\r\n").Written);
    EXPECT_EQ(Contents(Path("other/system.log")), QByteArray("5\r\n"));
    EXPECT_EQ(Contents(Path("logs/system.log")), QByteArray("4\r\n"));
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
