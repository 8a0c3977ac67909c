#include "strings/TextRoutines.h"

#include "strings/StrTokens.h"

#include <gtest/gtest.h>

#include <span>

namespace {

// A text and what two routines make of it.
struct PairRow {
    const char16_t* text;
    const char16_t* first;
    const char16_t* second;
};

void ExpectPairs(std::span<const PairRow> rows, QString (*first)(QStringView),
                 QString (*second)(QStringView)) {
    for (const PairRow& row : rows) {
        const QString text = QString::fromUtf16(row.text);
        SCOPED_TRACE(text.toStdString());
        EXPECT_EQ(first(text), QString::fromUtf16(row.first));
        EXPECT_EQ(second(text), QString::fromUtf16(row.second));
    }
}

// Every code up to 32 goes from the ends (the colour-code characters among
// them); a no-break space and what lies inside stay.
TEST(TextRoutines, TrimTakesCodesUpTo32FromTheEnds) {
    // The text, trimmed, left-trimmed.
    const PairRow rows[] = {
        {u"", u"", u""},
        {u"   ", u"", u""},
        {u"  a  b  ", u"a  b", u"a  b  "},
        {u"\x01\x1F\t\r\nx\x12\x20", u"x", u"x\x12\x20"},
        {u"\x21!\x21", u"\x21!\x21", u"\x21!\x21"},
        {u"\u00A0x\u00A0", u"\u00A0x\u00A0", u"\u00A0x\u00A0"},
    };
    ExpectPairs(rows, txt::Trim, txt::TrimLeft);
}

struct WordRow {
    const char16_t* text;
    qsizetype n;
    const char16_t* word;
};

// Tokens are split at single blanks: two blanks enclose an empty token, and
// a leading blank makes the first one empty.
TEST(TextRoutines, ExtractWordCountsTokensBetweenSingleBlanks) {
    const WordRow rows[] = {
        {u"one two three", 1, u"one"},
        {u"one two three", 3, u"three"},
        {u"one two three", 4, u""},
        {u"one two", 0, u""},
        {u"one two", -1, u""},
        {u"", 1, u""},
        {u" one", 1, u""},
        {u" one", 2, u"one"},
        {u"a  b", 2, u""},
        {u"a  b", 3, u"b"},
        {u"tab\tstays", 1, u"tab\tstays"},
    };
    for (const WordRow& row : rows) {
        const QString text = QString::fromUtf16(row.text);
        SCOPED_TRACE(text.toStdString() + " #" + std::to_string(row.n));
        EXPECT_EQ(txt::ExtractWord(text, row.n), QString::fromUtf16(row.word));
    }
}

// The word routine splits at blanks through the token routines whatever
// delimiter they had, and leaves them a blank: tabs, commas and colour codes
// stay inside words; an empty text and words past the end are empty.
TEST(TextRoutines, ExtractWordSplitsAtBlanksWhateverTheTokenDelimiterWas) {
    const WordRow rows[] = {
        {u"/tell Bob hi", 1, u"/tell"},
        {u"/tell Bob hi", 2, u"Bob"},
        {u"/tell\tBob hi", 1, u"/tell\tBob"},
        {u"/tell\tBob hi", 2, u"hi"},
        {u"\t/q a", 1, u"\t/q"},
        {u"a,b c", 1, u"a,b"},
        {u"\x10\x0c/me x", 1, u"\x10\x0c/me"},
        {u"", 1, u""},
        {u"", 2, u""},
        {u" ", 1, u""},
        {u" ", 2, u""},
        {u"   ", 3, u""},
        {u"a b", 2, u"b"},
        {u"a b", 3, u""},
        {u"a b ", 3, u""},
        {u"a b", 99, u""},
    };
    for (const WordRow& row : rows) {
        const QString text = QString::fromUtf16(row.text);
        SCOPED_TRACE(text.toStdString() + " #" + std::to_string(row.n));
        for (const QChar delimiter : {QChar(u','), QChar(u'\t'), QChar(u'b')}) {
            ASSERT_TRUE(SetDelimiter(delimiter));
            EXPECT_EQ(txt::ExtractWord(text, row.n), QString::fromUtf16(row.word));
            EXPECT_EQ(TokenStart(u"x y", 2), 3); // a blank again
        }
    }
    SetDelimiter(QChar(u','));
}

TEST(TextRoutines, CollapseSpacesLeavesNoTwoBlanksInARow) {
    const std::pair<const char16_t*, const char16_t*> rows[] = {
        {u"", u""},
        {u" ", u" "},
        {u"     ", u" "},
        {u"a b", u"a b"},
        {u"a   b    c ", u"a b c "},
        {u"\t\t a", u"\t\t a"},
    };
    for (const auto& [text, collapsed] : rows) {
        EXPECT_EQ(txt::CollapseSpaces(QString::fromUtf16(text)), QString::fromUtf16(collapsed))
            << QString::fromUtf16(text).toStdString();
    }
}

struct SplitRow {
    const char16_t* text;
    const char16_t* word;
    const char16_t* rest;
};

// The word comes off; the rest keeps the spacing typed after it.
TEST(TextRoutines, SplitFirstWordKeepsTheSpacingOfTheRest) {
    const SplitRow rows[] = {
        {u"", u"", u""},
        {u"  /away  ", u"/away", u""},
        {u"/tell Bob hi", u"/tell", u"Bob hi"},
        {u"/tell  Bob   hi there  ", u"/tell", u" Bob   hi there  "},
        {u"\x01/w x", u"\x01/w", u"x"},
        {u"  /tell Bob", u"", u"Bob"},
    };
    for (const SplitRow& row : rows) {
        QString text = QString::fromUtf16(row.text);
        SCOPED_TRACE(text.toStdString());
        EXPECT_EQ(txt::SplitFirstWord(text), QString::fromUtf16(row.word));
        EXPECT_EQ(text, QString::fromUtf16(row.rest));
    }
}

// Only a-z and A-Z change; the neighbours of the letters in the code table
// ("@[`{") and letters outside ASCII stay as they are.
TEST(TextRoutines, OnlyAsciiLettersChangeCase) {
    // The text, in upper case, in lower case.
    const PairRow rows[] = {
        {u"", u"", u""},
        {u"Quorvel", u"QUORVEL", u"quorvel"},
        {u"@AZ[`az{", u"@AZ[`AZ{", u"@az[`az{"},
        {u"\u00E9\u00C9\u00DF\u0131", u"\u00E9\u00C9\u00DF\u0131", u"\u00E9\u00C9\u00DF\u0131"},
    };
    ExpectPairs(rows, txt::AsciiUpper, txt::AsciiLower);
}

TEST(TextRoutines, SameTextAsciiIgnoresTheCaseOfAsciiLettersOnly) {
    const std::tuple<const char16_t*, const char16_t*, bool> rows[] = {
        {u"", u"", true},
        {u"Alice", u"aLICE", true},
        {u"Alice", u"Alice ", false},
        {u"Alice", u"Alicf", false},
        {u"[", u"{", false},
        {u"@", u"`", false},
        {u"\u00E9", u"\u00C9", false},
        {u"\u00E9", u"\u00E9", true},
    };
    for (const auto& [a, b, same] : rows) {
        const QString first = QString::fromUtf16(a);
        const QString second = QString::fromUtf16(b);
        EXPECT_EQ(txt::SameTextAscii(first, second), same)
            << first.toStdString() << " / " << second.toStdString();
        EXPECT_EQ(txt::SameTextAscii(second, first), same);
    }
}

} // namespace
