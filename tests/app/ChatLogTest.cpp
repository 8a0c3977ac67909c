// The chat log lines and the writer of the log files.
#include "GoldenRows.h"

#include "app/log/ChatLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <functional>

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
// each line is on disk at once.
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

    // A line after the file was moved away does not follow it: it goes to
    // the file made again at the path.
    ASSERT_TRUE(QFile::rename(Path("a/b/system.log"), Path("a/b/moved.log")));
    ASSERT_TRUE(writer.Append("system.log", "2\r\n").Written);
    EXPECT_EQ(Contents(Path("a/b/moved.log")), QByteArray("old\r\n1\r\n"));
    EXPECT_EQ(Contents(Path("a/b/system.log")), QByteArray("2\r\n"));

    // Closing, or another folder, opens the files again.
    writer.Close();
    ASSERT_TRUE(writer.Append("system.log", "3\r\n").Written);
    EXPECT_EQ(Contents(Path("a/b/system.log")), QByteArray("2\r\n3\r\n"));
    writer.SetFolder(Path("c/d/"));
    ASSERT_TRUE(writer.Append("system.log", "4\r\n").Written);
    EXPECT_EQ(Contents(Path("c/d/system.log")), QByteArray("4\r\n"));
    EXPECT_EQ(Contents(Path("a/b/system.log")), QByteArray("2\r\n3\r\n"));
}

// Whatever happened to a file between two of its lines, the second line is
// in the file its path names then; a file made again starts with the header
// (asked for only then), unless the line comes without one.
TEST_F(ChatLogWriterTest, AFileGoneSinceItsLastLineIsMadeAgainWithTheHeader) {
    struct Row {
        const char* what;
        std::function<bool(const QString& file)> change;
        bool withHeader;
        QByteArray expected;      // the path's file after the second and third lines
        QByteArray movedExpected; // file + ".moved" afterwards; empty: absent
    };
    const auto moveAway = [](const QString& file) { return QFile::rename(file, file + ".moved"); };
    const Row rows[] = {
        {"untouched", [](const QString&) { return true; }, true, "1\r\n2\r\n3\r\n", {}},
        {"removed",
         [](const QString& file) { return QFile::remove(file); },
         true,
         "H\r\n2\r\n3\r\n",
         {}},
        {"moved away", moveAway, true, "H\r\n2\r\n3\r\n", "1\r\n"},
        {"replaced",
         [&](const QString& file) {
             QFile other(file);
             return moveAway(file) && other.open(QIODevice::WriteOnly) && other.write("new\r\n");
         },
         true, "new\r\nH\r\n2\r\n3\r\n", "1\r\n"},
        {"folder removed",
         [](const QString& file) { return QFileInfo(file).dir().removeRecursively(); },
         true,
         "H\r\n2\r\n3\r\n",
         {}},
        // The same file, emptied: nothing to start again.
        {"emptied",
         [](const QString& file) { return QFile(file).resize(0); },
         true,
         "2\r\n3\r\n",
         {}},
        // A header line starts a file made again itself.
        {"removed, no header",
         [](const QString& file) { return QFile::remove(file); },
         false,
         "2\r\n3\r\n",
         {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        writer.SetFolder(Path(QString::fromLatin1(row.what)));
        const QString file = Path(QString::fromLatin1(row.what) + "/x.log");
        int headers = 0;
        const TChatLogWriter::THeader header = [&headers] {
            ++headers;
            return QByteArray("H\r\n");
        };
        const TChatLogWriter::THeader given = row.withHeader ? header : TChatLogWriter::THeader();
        ASSERT_TRUE(writer.Append("x.log", "1\r\n", given).Written);
        ASSERT_TRUE(row.change(file));
        for (const QByteArray line : {"2\r\n", "3\r\n"}) {
            const TLogAppend result = writer.Append("x.log", line, given);
            EXPECT_TRUE(result.Written);
            EXPECT_EQ(result.Report, QString());
        }
        EXPECT_EQ(Contents(file), row.expected);
        EXPECT_EQ(headers, row.expected.count("H\r\n"));
        EXPECT_EQ(Contents(file + ".moved"),
                  row.movedExpected.isEmpty() ? QByteArray("<missing>") : row.movedExpected);
    }
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
