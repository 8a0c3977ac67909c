// The game's colour codes: decoding, encoding, stripping.
#include "app/format/ColorCodes.h"

#include <QFile>
#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>

namespace {

const plat::TColor kRgbRed = plat::RGB(255, 0, 0);
const plat::TColor kNoRow = plat::RGB(1, 2, 3);
const QString kRed = QStringLiteral("\x10\x0C");
const QString kEnd = QString(EndCode);
const QString kRef = QString(ReferenceCode);

std::vector<TColoredChar>
colored(std::initializer_list<std::pair<const char*, plat::TColor>> runs) {
    std::vector<TColoredChar> result;
    for (const auto& [text, color] : runs) {
        for (const char* p = text; *p != 0; ++p) {
            result.push_back({QChar(*p), color});
        }
    }
    return result;
}

} // namespace

TEST(ColorCodes, EveryRowOfThePublishedTableBothWays) {
    // Rows as "row RRGGBB code-bytes..." in tests/data/format.
    QFile file(QStringLiteral(QV_TEST_DATA_DIR "/format/color-codes.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    std::vector<std::pair<QString, QString>> rows; // hex, code
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        QString code;
        for (qsizetype i = 2; !line.startsWith('#') && i < fields.size(); ++i) {
            code += QChar(fields[i].toInt(nullptr, 16));
        }
        if (!code.isEmpty()) {
            rows.emplace_back(QString::fromLatin1(fields[1]), code);
        }
    }
    ASSERT_EQ(rows.size(), ColorCodeTable.size());
    for (const auto& [hex, code] : rows) {
        SCOPED_TRACE(hex.toStdString());
        const uint v = hex.toUInt(nullptr, 16);
        const plat::TColor color = plat::RGB(int(v >> 16), int(v >> 8), int(v));
        EXPECT_EQ(DecodeColorCodes(code, plat::clGreen, kNoRow),
                  "</font><font color=\"#" + hex + "\">");
        EXPECT_EQ(StripColorCodes("a" + code + "b" + kEnd + "c"), "abc");
        // Colours shared by several rows encode as the first of them.
        const QString& rowHex = hex; // a name of its own: lambdas do not capture bindings
        const auto first = std::find_if(rows.begin(), rows.end(),
                                        [&](const auto& r) { return r.first == rowHex; });
        EXPECT_EQ(ColorCode(color), first->second);
        EXPECT_EQ(EncodeColors(colored({{"x", color}}), kNoRow, false), first->second + "x");
        EXPECT_EQ(ColorOfCode(code), color);
    }
    EXPECT_EQ(ColorCode(kNoRow), QString());
    EXPECT_EQ(ColorOfCode(u"\x10\x0A"), 0);
}

TEST(ColorCodes, DecodingSpansAndBackground) {
    const QString text = "\x10\x0B"
                         "black" +
                         kEnd + "plain";
    EXPECT_EQ(DecodeColorCodes(text, plat::clGreen, plat::clWhite),
              "</font><font color=\"#000000\">black</font><font color=\"#008000\">plain");
    // Black on a black console would vanish: the message colour is used.
    EXPECT_EQ(DecodeColorCodes(text, plat::clGreen, plat::clBlack),
              "</font><font color=\"#008000\">black</font><font color=\"#008000\">plain");
    // The default console background is a system colour (white).
    EXPECT_EQ(DecodeColorCodes(u"\x10\x0Fw", plat::clPurple, plat::clWindow),
              "</font><font color=\"#800080\">w");
    // A span left open; an end code without a span.
    EXPECT_EQ(DecodeColorCodes(kRed + "open", plat::clGreen, plat::clWhite),
              "</font><font color=\"#FF0000\">open");
    EXPECT_EQ(DecodeColorCodes("a" + kEnd + "b", plat::clNavy, plat::clWhite),
              "a</font><font color=\"#000080\">b");
    // Tan and wheat end in the characters of the reference and end codes and
    // are read before them.
    EXPECT_EQ(DecodeColorCodes(u"\x10\x11t\x10\x12w", plat::clGreen, plat::clWhite),
              "</font><font color=\"#CFAD41\">t</font><font color=\"#DFDF41\">w");
    EXPECT_EQ(StripColorCodes(u"\x10\x11t\x11r\x12"), "tr");
}

TEST(ColorCodes, EncodingBothModes) {
    const plat::TColor def = plat::clWindowText; // black once resolved
    // Normal: red letters then default text give the red code, the letters,
    // the end code and the rest, with nothing after the last character; a
    // colour outside the table is ignored.
    EXPECT_EQ(EncodeColors(colored({{"abc", kRgbRed}, {"def", plat::clBlack}}), def, false),
              kRed + "abc" + kEnd + "def");
    EXPECT_EQ(EncodeColors(colored({{"a", kRgbRed}, {"b", kNoRow}, {"c", kRgbRed}}), def, false),
              kRed + "abc");
    // Reference: only the reference colour counts, and an open span is closed.
    const plat::TColor ref = ColorOfCode(kRef);
    EXPECT_EQ(ref, plat::RGB(0x9C, 0x9C, 0xFF));
    EXPECT_EQ(EncodeColors(colored({{"a", kRgbRed}, {"Sw", ref}, {"!", plat::clBlack}}), def, true),
              "a" + kRef + "Sw" + kEnd + "!");
    EXPECT_EQ(EncodeColors(colored({{"see ", def}, {"Sw", ref}}), def, true),
              "see " + kRef + "Sw" + kEnd);
    EXPECT_EQ(EncodeColors(colored({{"S", ref}, {"x", kRgbRed}, {"y", def}}), def, true),
              kRef + "Sx" + kEnd + "y");
}

TEST(ColorCodes, RichTextCharacters) {
    QTextDocument document;
    QTextCursor cursor(&document);
    QTextCharFormat red;
    red.setForeground(QColor(255, 0, 0));
    cursor.insertText(QStringLiteral("abc"), red);
    cursor.insertText(QStringLiteral("de"), QTextCharFormat());
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("f"), QTextCharFormat());
    EXPECT_EQ(EncodeColors(ColoredCharacters(document, plat::clBlue), plat::clBlue, false),
              kRed + "abc" + kEnd + "de\r\nf");
}
