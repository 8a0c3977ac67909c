// The chat commands: the table against the usage texts, and each word of
// every command typed into the input line against what it does.
#include "GoldenRows.h"
#include "MainFormTestSupport.h"

#include "app/mainform/ChatCommands.h"
#include "app/mainform/MainFormControls.h"

#include <QLabel>
#include <QRegularExpression>

#include <set>
#include <span>
#include <utility>

namespace mainformtest {
namespace {

QStringList Words(const TChatCommand& command) {
    return QStringList{QLatin1String(command.Name)} +
           QString::fromLatin1(command.Aliases).split(u' ', Qt::SkipEmptyParts);
}

TEST(ChatCommandTable, RowsMatchTheUsageTextsAndEachWordFindsItsOwnRow) {
    const std::vector<QStringList> rows = GoldenTextRows("input/commands.txt", 3);
    const std::span<const TChatCommand> commands = ChatCommands();
    ASSERT_EQ(commands.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const TChatCommand& command = commands[i];
        SCOPED_TRACE(rows[i].join(u" | ").toStdString());
        EXPECT_EQ(QLatin1String(command.Name), rows[i][0]);
        EXPECT_EQ(QLatin1String(command.Aliases), rows[i][1]);
        EXPECT_EQ(QLatin1String(command.Usage), rows[i][2]);
        EXPECT_NE(command.Handler, nullptr);
        for (const QString& word : Words(command)) {
            EXPECT_EQ(FindChatCommand(word), &command) << word.toStdString();
        }
    }
    // The parser upper-cases the word first; parts and blanks name nothing.
    for (const char* word : {"", "tell", "TEL", "TELLS", "W WI", " T", "AWAY "}) {
        EXPECT_EQ(FindChatCommand(QString::fromLatin1(word)), nullptr) << '"' << word << '"';
    }
}

// What typing one line did.
class ChatCommandTest : public LoggedInTest {
protected:
    struct Before {
        qsizetype lines;
        QString target;
        std::size_t boxes;
        qsizetype service;
    };
    Before Now() const {
        return {ConsoleLines().size(), form->TargetLabel->text(), boxes.size(), serverLog.size()};
    }
    // The console's lines after `from` as plain text, without the time.
    QStringList PlainLines(qsizetype from) const {
        static const QRegularExpression time(QStringLiteral("<noselect>.*</noselect>"));
        static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
        static const std::pair<const char*, const char*> entities[] = {
            {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&nbsp;", " "}, {"&amp;", "&"}};
        QStringList plain;
        for (QString text : ConsoleLines().mid(from)) {
            text.remove(time).remove(tag);
            for (const auto& [entity, character] : entities) {
                text.replace(QLatin1String(entity), QLatin1String(character));
            }
            plain << text;
        }
        return plain;
    }
    // Waits for the service records the row expects, so that none turns up
    // in the next row.
    QString Trace(const Before& before, qsizetype serviceRecords) {
        ProcessPosted();
        WaitUntil([&] { return serverLog.size() >= before.service + serviceRecords; });
        QStringList trace;
        if (ConsoleLines().size() < before.lines) {
            trace << QStringLiteral("console cleared");
        } else {
            trace << PlainLines(before.lines);
        }
        if (form->TargetLabel->text() != before.target) {
            trace << QStringLiteral("target: ") + form->TargetLabel->text();
        }
        for (const QString& box : BoxTexts(boxes).mid(qsizetype(before.boxes))) {
            trace << QStringLiteral("box: ") + box;
        }
        for (const QString& record : serverLog.mid(before.service)) {
            trace << QStringLiteral("service: ") + record;
        }
        return trace.join(QStringLiteral(" | "));
    }
};

TEST_F(ChatCommandTest, EveryWordOfEveryCommandDoesWhatItsRowSays) {
    form->LastTellSender = QStringLiteral("Bob");
    std::set<std::pair<const TChatCommand*, QString>> typed;
    for (const QList<QByteArray>& row : GoldenRows("input/command-rows.txt", 2)) {
        const QString line = QString::fromUtf8(row[0]);
        const QString expected = QString::fromUtf8(row[1]);
        const Before before = Now();
        Enter(line);
        EXPECT_EQ(Trace(before, expected.count(QLatin1String("service: "))), expected)
            << line.toStdString();
        const QString word = line.section(u' ', 0, 0).mid(1).toUpper();
        if (const TChatCommand* command = FindChatCommand(word)) {
            typed.insert({command, word});
        }
    }
    for (const TChatCommand& command : ChatCommands()) {
        for (const QString& word : Words(command)) {
            EXPECT_EQ(typed.count({&command, word}), 1u) << "no row types " << word.toStdString();
        }
    }
}

} // namespace
} // namespace mainformtest
