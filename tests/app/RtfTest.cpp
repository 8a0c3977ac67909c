// Rich text of text references: what the editor holds survives a write and a
// read; foreign and hostile files are read without losing text.
#include "GoldenRows.h"

#include "app/format/ColorCodes.h"
#include "app/rtf/Rtf.h"

#include <QFile>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

// The text of a document with the formatting a reference keeps: each change
// of colour or style is marked "[#rrggbb b i u]" ("[]" for the default),
// paragraphs end with "|".
QString Runs(const QTextDocument& document) {
    QString out;
    QString current;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin()) {
            out += u'|';
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            QStringList key;
            if (format.foreground().style() != Qt::NoBrush) {
                key << "#" + QString::number(format.foreground().color().rgb() & 0xFFFFFF, 16)
                                 .rightJustified(6, u'0');
            }
            for (const auto& [on, mark] : {std::pair{format.fontWeight() >= QFont::Bold, "b"},
                                           {format.fontItalic(), "i"},
                                           {format.fontUnderline(), "u"}}) {
                if (on) {
                    key << mark;
                }
            }
            if (key.join(u' ') != current) {
                current = key.join(u' ');
                out += "[" + current + "]";
            }
            out += it.fragment().text();
        }
    }
    return out;
}

// The text of a document, paragraphs joined by "|".
QString Text(const QTextDocument& document) {
    QStringList blocks;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        blocks.append(block.text());
    }
    return blocks.join(u'|');
}

QTextCharFormat Format(std::optional<QRgb> color, bool bold = false, bool italic = false,
                       bool underline = false) {
    QTextCharFormat format;
    if (color) {
        format.setForeground(QColor::fromRgb(*color));
    }
    if (bold) {
        format.setFontWeight(QFont::Bold);
    }
    format.setFontItalic(italic);
    format.setFontUnderline(underline);
    return format;
}

// The text read from the bytes, or with styles, its runs.
QString Read(QByteArrayView bytes, bool styles = false) {
    QTextDocument document;
    rtf::Read(bytes, document);
    return styles ? Runs(document) : Text(document);
}

QByteArray DataFile(const char* name) {
    QFile file(QStringLiteral(QV_TEST_DATA_DIR "/rtf/") + QLatin1String(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

bool HasConverter(const char* name) {
    return QStringDecoder(name).isValid();
}

// The 25 colours of the font colour palette.
constexpr QRgb kPalette[] = {0x000000, 0xDFDFD7, 0xFFFFFF, 0xFFFFCF, 0xFFE7A6, 0x9E9D20, 0xCFAD41,
                             0xDFDF41, 0xFFFF41, 0xFFFF00, 0x00F700, 0x00EF00, 0x00DF41, 0x61E78E,
                             0x61AD61, 0x00A551, 0x00FFFF, 0x30D7FF, 0x9ED7DF, 0x8EB5FF, 0x9C9CFF,
                             0x0000FF, 0xFF00FF, 0xFF009E, 0xFF0000};

} // namespace

TEST(RtfRoundTrip, EveryPaletteColourStyleAndCharacterSurvives) {
    QTextDocument document;
    QTextCursor cursor(&document);
    for (const QRgb rgb : kPalette) {
        cursor.insertText(QStringLiteral("c%1 ").arg(rgb, 6, 16), Format(rgb));
        cursor.insertText(QStringLiteral("d "), Format(std::nullopt)); // back to the default
    }
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("Name:\tSword"), Format(std::nullopt, true));
    cursor.insertText(QStringLiteral(" italic"), Format(0xFF0000, false, true));
    cursor.insertText(QStringLiteral(" under"), Format(std::nullopt, false, false, true));
    cursor.insertText(QStringLiteral(" all"), Format(0x9C9CFF, true, true, true));
    cursor.insertBlock();
    // Escapes, code page 1252, other characters, a line break in a paragraph.
    cursor.insertText(QString::fromUtf8("a\\b{c}d é€ ‘q’ Жж 中 😀 x") + QChar::LineSeparator +
                          QStringLiteral("second line ;"),
                      Format(std::nullopt));
    cursor.insertBlock();
    cursor.insertBlock(); // an empty paragraph at the end is part of the text

    const QByteArray bytes = rtf::Write(document);
    EXPECT_TRUE(bytes.startsWith("{\\rtf1\\ansi\\ansicpg1252"));
    EXPECT_TRUE(bytes.endsWith("}\r\n"));
    EXPECT_TRUE(bytes.contains("{\\colortbl ;\\red0\\green0\\blue0;"));
    EXPECT_TRUE(bytes.contains("\\red255\\green0\\blue0;"));
    EXPECT_TRUE(bytes.contains("\\cf0 d ")); // the default colour is the automatic one
    EXPECT_TRUE(bytes.contains("Name:\\tab Sword"));
    EXPECT_TRUE(bytes.contains("a\\\\b\\{c\\}d \\'e9\\'80"));
    for (const char c : bytes) {
        EXPECT_TRUE(c == '\r' || c == '\n' || (c >= 0x20 && c < 0x7F)) << int(c);
    }

    QTextDocument read;
    rtf::Read(bytes, read);
    EXPECT_EQ(Text(read), Text(document));
    EXPECT_EQ(Runs(read), Runs(document));
    EXPECT_EQ(read.blockCount(), 5);
    EXPECT_FALSE(read.isUndoAvailable());

    // What a message carries of it: the colour codes of the table colours.
    const auto encode = [](const QTextDocument& d) {
        return EncodeColors(ColoredCharacters(d, plat::clBlack), plat::clBlack, false);
    };
    EXPECT_EQ(encode(read), encode(document));
    EXPECT_TRUE(encode(read).contains(QStringLiteral("\x10\x0C"
                                                     "cff0000 \x12"
                                                     "d ")));
}

// The colour table holds each colour once, in the order of first use, and
// every run names its colour by its place there.
TEST(RtfWrite, EachColourIsInTheTableOnceInTheOrderOfFirstUse) {
    QTextDocument document;
    QTextCursor cursor(&document);
    for (const auto& [text, color] : {std::pair<const char*, std::optional<QRgb>>{"r1", 0xFF0000},
                                      {"d", std::nullopt},
                                      {"b1", 0x0000FF},
                                      {"r2", 0xFF0000},
                                      {"g", 0x00FF00},
                                      {"b2", 0x0000FF}}) {
        cursor.insertText(QLatin1String(text), Format(color));
    }
    const QByteArray bytes = rtf::Write(document);
    EXPECT_TRUE(bytes.contains("{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;"
                               "\\red0\\green255\\blue0;}"))
        << bytes.constData();
    EXPECT_TRUE(bytes.contains("\\cf1 r1\\cf0 d\\cf2 b1\\cf1 r2\\cf3 g\\cf2 b2"))
        << bytes.constData();
}

TEST(RtfRoundTrip, ParagraphCountIsKept) {
    for (const QString& text : {QString(), QStringLiteral("a"), QStringLiteral("a\n"),
                                QStringLiteral("\n\n"), QStringLiteral("a\n\nb")}) {
        QTextDocument document;
        document.setPlainText(text);
        QTextDocument read;
        rtf::Read(rtf::Write(document), read);
        EXPECT_EQ(read.toPlainText(), text);
        EXPECT_EQ(read.blockCount(), document.blockCount()) << text.toStdString();
    }
}

TEST(RtfRead, FilesEscapesCodePagesControlWordsAndBrokenStructure) {
    for (const auto& row : GoldenRows("rtf/reads.txt", 4)) {
        SCOPED_TRACE(row[0].toStdString());
        if (!row[1].isEmpty() && !HasConverter(row[1].constData())) {
            continue; // no converter for that code page here
        }
        const QByteArray bytes = row[0].startsWith('@') ? DataFile(row[0].mid(1).data()) : row[0];
        EXPECT_EQ(Read(bytes, row[2] == "1"), QString::fromUtf8(row[3]));
    }
}

// Nesting far beyond the limit: the text stays, formatting from the deep
// groups ends with them; a control word of any length is one word.
TEST(RtfRead, HostileStructureKeepsTheText) {
    EXPECT_EQ(Read("{\\rtf1 {\\i a" + QByteArray(100000, '{') + "\\b deep" +
                       QByteArray(100000, '}') + "b}c}",
                   true),
              "[i]a[b i]deep[i]b[]c");
    EXPECT_EQ(Read("{\\rtf1 \\" + QByteArray(5000, 'q') + " x}"), QStringLiteral("x"));
}

TEST(RtfRead, BytesThatAreNotRtfAreText) {
    EXPECT_FALSE(rtf::IsRtf("hello"));
    EXPECT_FALSE(rtf::IsRtf("{\\rt"));
    EXPECT_TRUE(rtf::IsRtf("\xEF\xBB\xBF \r\n{\\rtf1}"));
    EXPECT_EQ(Read(""), QString());

    // Reading replaces the content but keeps the document's default font.
    QTextDocument document;
    document.setDefaultFont(QFont(QStringLiteral("Serif"), 13));
    document.setPlainText(QStringLiteral("old"));
    rtf::Read("new", document);
    EXPECT_EQ(Text(document), QStringLiteral("new"));
    EXPECT_EQ(document.defaultFont().pointSize(), 13);
    EXPECT_FALSE(document.isUndoAvailable());
}
