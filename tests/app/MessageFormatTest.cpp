// Console lines of every message kind, escaping, emoticons, links and
// attachments in received text.
#include "GoldenRows.h"

#include "app/format/ColorCodes.h"
#include "app/format/MessageFormat.h"

#include "console/MarkupParser.h"
#include "engine/BlobList.h"
#include "engine/VLBlob.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <functional>
#include <map>
#include <set>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kStamp =
    QStringLiteral("<noselect><font color=\"#808080\">[15:07]</font>&nbsp;</noselect><indent>");
const QString kBob =
    QStringLiteral("<a name=\"charlink\" params=\"Bob\" hint=\"Query Bob\">Bob</a>");

class MessageFormatTest : public ::testing::Test {
protected:
    MessageFormatTest() {
        f.Now = [] { return QDateTime(QDate(2024, 5, 1), QTime(15, 7, 42)); };
        f.ReceivedAttachments = &store;
        settings.OutputMemo.Color = plat::clWhite;
    }
    TMainSettings settings;
    TMessageFormatter f{settings};
    TBlobList store;
};

// What the console makes of a line: its chunks, its text and its links.
struct Shown {
    TChunkList chunks;
    QString text;
    std::vector<TLinkChunkData> links;
};

Shown show(const QString& markup) {
    Shown shown{ParseMarkup(markup, TParseOptions{cwsLeave, false}), {}, {}};
    for (const TConsoleChunk& c : shown.chunks.Chunks) {
        if (c.Kind == ckText || c.Kind == ckSpace) {
            shown.text += c.Kind == ckText ? shown.chunks.TextOf(c) : u" ";
        } else if (c.Kind == ckLinkOpen) {
            shown.links.push_back(shown.chunks.LinkOf(c));
        }
    }
    return shown;
}

} // namespace

TEST(EscapeText, EntitiesUrlsAndEmoticons) {
    for (const auto& row : GoldenRows("format/escapes.txt", 3)) {
        EXPECT_EQ(EscapeText(QString::fromLatin1(row[0]), row[1] == "1"),
                  QString::fromLatin1(row[2]))
            << row[0].data();
    }
}

TEST(Emoticons, TableMatchesThePublishedList) {
    // "image text text ..." per line, in table order.
    QStringList expected;
    for (const auto& row : GoldenRows("format/emoticons.txt", 1)) {
        const QList<QByteArray> fields = row[0].split(' ');
        for (qsizetype i = 1; i < fields.size(); ++i) {
            expected << QString::fromLatin1(fields[0] + ' ' + fields[i]);
        }
    }
    QStringList actual;
    for (const TEmoticon& e : EmoticonTable) {
        actual << QString::number(e.Image) + u' ' + e.Text.toString();
    }
    EXPECT_EQ(actual, expected);
    EXPECT_EQ(EmoticonText(9), ":'-(");
    EXPECT_EQ(EmoticonText(12), QString());
}

TEST_F(MessageFormatTest, LineWriterTimestampBlock) {
    EXPECT_EQ(f.ConsoleLine(u"x", plat::clRed, true), kStamp + "<font color=\"#FF0000\">x</font>");
    EXPECT_EQ(f.ConsoleLine(u"x", plat::clRed, false), "<font color=\"#FF0000\">x</font>");
    settings.TimestampIndent = false;
    settings.TimestampColor = plat::RGB(0x12, 0xAB, 0xEF);
    settings.TimestampFormat = QStringLiteral("hh:nn:ss '<&>'");
    EXPECT_EQ(f.ConsoleLine(u"x", plat::clBlack, true),
              "<noselect><font color=\"#12ABEF\">15:07:42 &lt;&amp;&gt;</font>&nbsp;</noselect>"
              "<font color=\"#000000\">x</font>");
    settings.TimestampChat = false;
    settings.TimestampIndent = true;
    EXPECT_EQ(f.ConsoleLine(u"x", plat::clWindowText, true), "<font color=\"#000000\">x</font>");
}

TEST_F(MessageFormatTest, EveryKindOfLineMatchesItsTemplate) {
    const QString kRed = QStringLiteral("\x10\x0C");
    const QChar kEnd = EndCode;
    const std::map<QString, std::function<TChatLine()>> kinds = {
        {"tell", [&] { return f.TellReceived(u"Bob", u"hi", nullptr); }},
        {"tell-lines", [&] { return f.TellReceived(u"Bob", u"a\r\nb\rc", nullptr); }},
        {"sent", [&] { return f.TellSent(u"Bob", kRed + "abc" + kEnd + "def", nullptr); }},
        {"group", [&] { return f.GroupMessage(u"OOC"_s, u"Bob", u"a & b <c> :-)", nullptr); }},
        {"group-shopping", [&] { return f.GroupMessage(u"Shopping 1-50"_s, u"Bob", u"x", {}); }},
        {"group-seeking", [&] { return f.GroupMessage(u"seeking team"_s, u"Bob", u"x", {}); }},
        {"group-unknown", [&] { return f.GroupMessage(std::nullopt, u"Bob", u"x", nullptr); }},
        {"private-group", [&] { return f.PrivateGroupMessage(u"Alice", u"Bob", u"yo", nullptr); }},
        {"join", [&] { return f.PrivateGroupJoin(u"Alice", u"Bob"); }},
        {"kick", [&] { return f.PrivateGroupKick(u"Alice"); }},
        {"leave", [&] { return f.PrivateGroupLeave(u"Alice", u"Bob"); }},
        {"join-marks", [&] { return f.PrivateGroupJoin(u"A<1>", u"B&%2"); }},
        {"leave-marks", [&] { return f.PrivateGroupLeave(u"%1", u"<%2>"); }},
        {"kick-marks", [&] { return f.PrivateGroupKick(u"A<%1>"); }},
        {"system", [&] { return f.ServerSystemMessage(u"<Server> restarts :D"); }},
        {"error", [&] { return f.ErrorLine(u"Connected to Vellinor chat server"); }},
    };
    size_t checked = 0;
    for (const auto& row : GoldenRows("format/lines.txt", 4)) {
        SCOPED_TRACE(row[0].constData());
        ASSERT_TRUE(kinds.count(QString::fromLatin1(row[0])));
        const TChatLine line = kinds.at(QString::fromLatin1(row[0]))();
        QString markup = QString::fromUtf8(row[1]);
        EXPECT_EQ(line.Markup, markup.replace("{P}", kStamp).replace("{Bob}", kBob));
        EXPECT_EQ(ChatLogFileName(line.Log), QString::fromLatin1(row[2]));
        EXPECT_EQ(line.LogText, QString::fromUtf8(row[3]));
        // The console reads it, and no colour code is left to show.
        Shown shown;
        EXPECT_NO_THROW(shown = show(line.Markup));
        EXPECT_FALSE(shown.text.contains(QRegularExpression("[\\x10-\\x12]")));
        ++checked;
    }
    EXPECT_EQ(checked, kinds.size());
}

// The settings are read at each line.
TEST_F(MessageFormatTest, LinksCanBeTurnedOffAndTheConsoleColourIsAvoided) {
    settings.LinkNames = false;
    EXPECT_TRUE(f.TellReceived(u"Bob", u"hi", nullptr)
                    .Markup.endsWith("<font color=\"#800080\">Bob: hi</font></font>"));
    // Black text on a black console would vanish: the line's colour instead.
    settings.OutputMemo.Color = plat::clBlack;
    EXPECT_TRUE(f.TellReceived(u"Bob", u"\x10\x0Bx", nullptr)
                    .Markup.contains("</font><font color=\"#800080\">x"));
    EXPECT_EQ(f.PrivCharLink(u"Bob", u"Alice"), "Bob");
    EXPECT_TRUE(f.PublicLink(u"OOC").startsWith("<a name=\"publiclink\""));
    settings.LinkGroups = false;
    EXPECT_EQ(f.PublicLink(u"OOC"), "OOC");
    EXPECT_EQ(f.PrivateLink(u"A&B"), "A&amp;B");
}

TEST_F(MessageFormatTest, RemoteTextCannotInjectMarkup) {
    // Names, group names and texts from the server with markup characters.
    const QString evil = QStringLiteral("Eve\" name=\"x\"><b>&");
    const std::vector<TChatLine> lines = {
        f.GroupMessage(QStringLiteral("<hr>G&\"roup"), evil, u"<a name=\"x\">&lt</a><br>", nullptr),
        f.PrivateGroupMessage(u"P\">", evil, u"<img index=\"1\">", nullptr),
        f.PrivateGroupJoin(u"<blink>", evil),
        f.TellReceived(evil, u"&nbsp<font color=\"#FF0000\">", nullptr),
    };
    for (const TChatLine& line : lines) {
        SCOPED_TRACE(line.Markup.toStdString());
        const Shown shown = show(line.Markup);
        // Only what the templates make: text, fonts, name links and the
        // timestamp block.
        const std::set<TChunkKind> allowed = {ckTimestamp, ckText,      ckSpace,    ckIndentOpen,
                                              ckFontOpen,  ckFontClose, ckLinkOpen, ckLinkClose};
        for (const TConsoleChunk& c : shown.chunks.Chunks) {
            EXPECT_TRUE(allowed.count(c.Kind)) << int(c.Kind);
        }
        for (const TLinkChunkData& l : shown.links) {
            EXPECT_NE(l.Name, "x");
        }
        EXPECT_TRUE(shown.text.contains("Eve\" name=\"x\"><b>&"));
    }
    EXPECT_TRUE(show(lines[0].Markup).text.contains("<a name=\"x\">&lt</a><br>"));
    EXPECT_EQ(show(lines[3].Markup).links.at(0).Params, "Eve name=x<b&");
    EXPECT_EQ(lines[0].LogText, "[<hr>G&\"roup] " + evil + ": <a name=\"x\">&lt</a><br>");
}

TEST_F(MessageFormatTest, TextReferenceIsStoredAndLinked) {
    TTextBlob blob;
    blob.SetText("Sword:\tgood");
    const TChatLine line = f.TellReceived(u"Bob", u"see \x11Sword\x12! and \x11Shield\x12.", &blob);
    ASSERT_EQ(store.Count(), 1);
    const std::vector<TLinkChunkData> found = show(line.Markup).links;
    ASSERT_EQ(found.size(), 2u); // the sender link and the reference
    EXPECT_EQ(found[1].Name, "reflink");
    EXPECT_EQ(found[1].Hint, "Display reference");
    EXPECT_EQ(store.IndexOf(found[1].Params), 0);
    EXPECT_EQ(dynamic_cast<TTextBlob*>(store.Blobs(0))->Text(), "Sword:\tgood");
    // Only the first span links; the second is shown in the reference colour.
    EXPECT_TRUE(line.Markup.contains(
        ": see <a name=\"reflink\" hint=\"Display reference\" params=\"" + found[1].Params +
        "\">Sword</a>! and </font><font "
        "color=\"#9C9CFF\">Shield</font><font "
        "color=\"#800080\">.</font></font>"));
    EXPECT_EQ(line.LogText, "Bob: see Sword! and Shield.");

    // Without a span, or with the end before the start, nothing is stored.
    TItemBlob item;
    f.TellReceived(u"Bob", u"no title", &item);
    f.TellReceived(u"Bob", u"\x12x\x11y", &item);
    EXPECT_EQ(store.Count(), 1);

    // Tan and wheat codes hold the characters of the title's marks; they
    // must not be taken for them.
    const QString tinted =
        f.TellReceived(u"Bob", u"\x10\x11tan \x10\x12wheat \x11T\x12", &item).Markup;
    EXPECT_TRUE(tinted.contains("<font color=\"#CFAD41\">tan </font><font "
                                "color=\"#DFDF41\">wheat <a name=\"reflink\""));
    EXPECT_TRUE(tinted.contains("\">T</a></font></font>"));
}

TEST_F(MessageFormatTest, VoiceAttachmentSound) {
    QTemporaryDir game;
    ASSERT_TRUE(game.isValid());
    const QString folder = game.path() + "/cd_image/sound/sfx/player/";
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString wav = folder + "female_hello_01.wav";
    ASSERT_TRUE(QFile(wav).open(QIODevice::WriteOnly));
    settings.VLDirectory = game.path();

    TVoiceBlob voice;
    voice.SetGender("female");
    voice.SetText2("hello");
    const TChatLine line = f.TellReceived(u"Bob", u"\x11x\x12 hi", &voice);
    EXPECT_EQ(line.SoundFile, wav);
    EXPECT_FALSE(line.Markup.contains("reflink")); // no link, nothing stored
    EXPECT_EQ(store.Count(), 0);

    settings.PlaySounds = false;
    EXPECT_EQ(f.TellReceived(u"Bob", u"hi", &voice).SoundFile, QString());
    settings.PlaySounds = true;
    voice.SetText2("bye"); // no such file
    EXPECT_EQ(f.TellReceived(u"Bob", u"hi", &voice).SoundFile, QString());
    // A text leading out of the sound folder finds nothing, even when the
    // file it names exists.
    voice.SetText2("../../../../cd_image/sound/sfx/player/female_hello");
    voice.SetGender(QByteArray());
    EXPECT_EQ(f.TellReceived(u"Bob", u"hi", &voice).SoundFile, QString());
}

namespace {

// The text of a line with the colour each piece is shown in, as the
// console's one stack of font and link levels gives it: a font or a link
// opens a level (a link shows in the link colour, "{a}"), a close returns to
// the level below, and a link's close only while a link is open. "{RRGGBB}"
// or "{a}" stands where the colour changes.
QString ColouredText(const TChunkList& chunks) {
    QString result;
    QString current = QStringLiteral("{console}");
    QString shown;
    QStringList levels;
    int links = 0;
    const auto close = [&] {
        if (!levels.isEmpty()) {
            current = levels.takeLast();
        }
    };
    for (const TConsoleChunk& c : chunks.Chunks) {
        if (c.Kind == ckFontOpen) {
            levels << current;
            const plat::TColor color = TChunkList::FontOf(c).Color;
            current = color == plat::clNone ? current : "{" + ColorToHex(color) + "}";
        } else if (c.Kind == ckLinkOpen) {
            levels << current;
            current = QStringLiteral("{a}");
            ++links;
        } else if (c.Kind == ckFontClose || (c.Kind == ckLinkClose && links > 0)) {
            links -= c.Kind == ckLinkClose ? 1 : 0;
            close();
        } else if (c.Kind == ckText || c.Kind == ckSpace) {
            result += current == shown ? QString() : current;
            shown = current;
            result += c.Kind == ckText ? chunks.TextOf(c).toString() : QStringLiteral(" ");
        }
    }
    return result;
}

} // namespace

// Reference marks beside each other and beside colour spans: the markup
// stays balanced, with at most one link, from the first start mark to the
// first end mark after it, and every colour span ends where its end code is.
TEST_F(MessageFormatTest, ReferenceMarksNeverLeaveALinkOpen) {
    settings.TimestampChat = false;
    TTextBlob text;
    text.SetText("ref");
    TItemBlob item;
    const std::map<QByteArray, const TBlob*> attachments = {
        {"text", &text}, {"item", &item}, {"none", nullptr}};
    for (const auto& row : GoldenRows("format/reference-marks.txt", 5)) {
        SCOPED_TRACE((row[0].toHex(' ') + " " + row[1]).constData());
        ASSERT_TRUE(attachments.count(row[1]));
        const bool linked = !row[2].isEmpty();
        const qsizetype storedBefore = store.Count();
        const Shown shown = show(
            f.TellReceived(u"Bob", QString::fromLatin1(row[0]), attachments.at(row[1])).Markup);
        int open = 0;
        int reflinks = 0;
        QString title;
        for (const TConsoleChunk& chunk : shown.chunks.Chunks) {
            if (chunk.Kind == ckLinkOpen) {
                EXPECT_EQ(open++, 0) << "a link inside a link";
                reflinks += shown.chunks.LinkOf(chunk).Name == u"reflink";
            } else if (chunk.Kind == ckLinkClose) {
                EXPECT_EQ(open--, 1) << "a close without an open link";
            } else if (chunk.Kind == ckText && open && reflinks) {
                title += shown.chunks.TextOf(chunk);
            }
        }
        EXPECT_EQ(open, 0);
        EXPECT_EQ(reflinks, linked ? 1 : 0);
        EXPECT_EQ(title, QString::fromLatin1(row[2]));
        EXPECT_EQ(store.Count(), storedBefore + (linked ? 1 : 0));
        EXPECT_EQ(shown.text, "Bob: " + QString::fromLatin1(row[3]));
        EXPECT_EQ(ColouredText(shown.chunks), QString::fromLatin1(row[4]));
    }
}

TEST_F(MessageFormatTest, TheTimeStampFollowsEveryChangeOfTimeFormatAndZone) {
    // Lines of one second share their stamp's text; each row must show its own.
    QDateTime now;
    f.Now = [&] { return now; };
    settings.TimestampIndent = false;
    const qint64 t0 = QDateTime(QDate(2024, 5, 1), QTime(15, 7, 42), Qt::UTC).toMSecsSinceEpoch();
    struct Row {
        qint64 utcMs;
        int offset;
        const char* format;
        const char* stamp;
    };
    for (const Row& row : {
             Row{t0, 0, "hh:nn:ss", "15:07:42"},
             Row{t0 + 999, 0, "hh:nn:ss", "15:07:42"},
             Row{t0 + 1000, 0, "hh:nn:ss", "15:07:43"},
             Row{t0 + 1000, 3600, "hh:nn:ss", "16:07:43"}, // the zone changed
             Row{t0 + 1000, 3600, "hh:nn", "16:07"},       // the format changed
             Row{t0 + 1000, 3600, "ss.zzz", "43.000"},
             Row{t0 + 1001, 3600, "ss.zzz", "43.001"}, // milliseconds within the second
             Row{t0 + 1002, 3600, "ss.ZZZ", "43.002"},
             Row{t0 + 1003, 3600, "ss.ZZZ", "43.003"},
         }) {
        now = QDateTime::fromMSecsSinceEpoch(row.utcMs, Qt::OffsetFromUTC, row.offset);
        settings.TimestampFormat = QString::fromLatin1(row.format);
        EXPECT_EQ(f.ConsoleLine(u"x", plat::clRed, true),
                  QStringLiteral("<noselect><font color=\"#808080\">%1</font>&nbsp;</noselect>"
                                 "<font color=\"#FF0000\">x</font>")
                      .arg(QString::fromLatin1(row.stamp)))
            << row.format << " at " << row.utcMs;
    }
}
