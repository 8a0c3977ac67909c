// The game's colour codes: decoding, encoding, stripping.
#include "GoldenRows.h"

#include "app/format/ColorCodes.h"

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
    std::vector<std::pair<QString, QString>> rows; // hex, code
    for (const auto& row : GoldenRows("format/color-codes.txt", 1)) {
        const QList<QByteArray> fields = row[0].split(' ');
        QString code;
        for (qsizetype i = 2; i < fields.size(); ++i) {
            code += QChar(fields[i].toInt(nullptr, 16));
        }
        rows.emplace_back(QString::fromLatin1(fields[1]), code);
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
    for (const auto& row : GoldenRows("format/color-decoding.txt", 4)) {
        const QString text = QString::fromLatin1(row[0]);
        EXPECT_EQ(DecodeColorCodes(text, plat::StringToColor(QString::fromLatin1(row[1])),
                                   plat::StringToColor(QString::fromLatin1(row[2]))),
                  QString::fromLatin1(row[3]))
            << row[0].toHex(' ').data() << " on " << row[2].data();
    }
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
