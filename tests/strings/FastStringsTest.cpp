#include "strings/FastStrings.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>

namespace {

// Random text over a small alphabet, so that matches and near-matches are frequent.
QString RandomText(std::mt19937& rng, QStringView alphabet, int maxLength) {
    QString text;
    const int length = std::uniform_int_distribution<int>(0, maxLength)(rng);
    for (int i = 0; i < length; ++i) {
        text += alphabet[std::uniform_int_distribution<qsizetype>(0, alphabet.size() - 1)(rng)];
    }
    return text;
}

} // namespace

TEST(FastReplace, ReplacesLeftToRightWithoutOverlap) {
    EXPECT_EQ(FastReplace("aaa", "aa", "b", true), QByteArray("ba"));
    EXPECT_EQ(FastReplace("abababa", "aba", "X", true), QByteArray("XbX"));
    EXPECT_EQ(FastReplace("xx-xx", "xx", "", true), QByteArray("-"));
    EXPECT_EQ(FastReplace(u"\tone\t", u"\t", u"    ", true), u"    one    "_qs);
}

TEST(FastReplace, CaseInsensitiveKeepsTheTextBetweenMatches) {
    EXPECT_EQ(FastReplace("Abc abc", "ABC", "x", false), QByteArray("x x"));
    EXPECT_EQ(FastReplace("Abc abc", "ABC", "x", true), QByteArray("Abc abc"));
    EXPECT_EQ(FastReplace(u"\u00C9t\u00E9 D\u00E9", u"\u00E9", u"e", false), u"ete De"_qs);
}

TEST(FastReplace, EmptyInputs) {
    EXPECT_EQ(FastReplace("abc", "", "x", true), QByteArray("abc"));
    EXPECT_EQ(FastReplace(u"abc", u"", u"x", false), u"abc"_qs);
    EXPECT_TRUE(FastReplace("", "a", "x", true).isEmpty());
    EXPECT_TRUE(FastReplace(u"", u"", u"x", true).isEmpty());
}

TEST(FastReplace, AgreesWithQtOnRandomText) {
    std::mt19937 rng(7);
    for (int round = 0; round < 2000; ++round) {
        const QString source = RandomText(rng, u"ab\u0161\u0261", 40);
        QString find = RandomText(rng, u"ab\u0161\u0261", 4);
        if (find.isEmpty()) {
            find = u"a"_qs;
        }
        const QString replace = RandomText(rng, u"xyz", 6);
        const QString expected = QString(source).replace(find, replace);
        ASSERT_EQ(FastReplace(source, find, replace, true), expected)
            << source.toStdString() << " / " << find.toStdString();
        ASSERT_EQ(FastReplace(source.toLatin1(), find.toLatin1(), replace.toLatin1(), true),
                  QString(source.toLatin1())
                      .replace(QString(find.toLatin1()), QString(replace.toLatin1()))
                      .toLatin1());
    }
}

TEST(FastPos, FindsTheFirstMatchAtOrAfterTheStart) {
    EXPECT_EQ(FastPos("abcabc", "bc", 1), 2);
    EXPECT_EQ(FastPos("abcabc", "bc", 3), 5);
    EXPECT_EQ(FastPos("abcabc", "bc", 6), 0);
    EXPECT_EQ(FastPos("abcabc", "c", 6), 6);
    EXPECT_EQ(FastPos("", "a", 1), 0);
    EXPECT_EQ(FastPos("abc", "a", 1000), 0);
    EXPECT_EQ(FastPos(QByteArrayView("abcabc").first(4), "cab", 1), 0); // a window of the buffer
    EXPECT_EQ(FastPos(u"x\u0161a", u"a", 1), 3); // shares the low byte with 'a'
}

TEST(FastPos, RejectsEmptyPatternsAndStartsBelowOne) {
    try {
        FastPos("abc", "", 1);
        FAIL() << "no exception";
    } catch (const EFastStringsError& e) {
        EXPECT_EQ(e.Message(), u"BufferLen is 0");
    }
    EXPECT_THROW(FastPosNoCase(u"abc", u"", 1), EFastStringsError);
    try {
        FastPos("abc", "a", 0);
        FAIL() << "no exception";
    } catch (const std::logic_error& e) {
        EXPECT_NE(std::string(e.what()).find("FastStrings.cpp, line "), std::string::npos)
            << e.what();
    }
    EXPECT_THROW(SmartPos(u"a", u"abc", false, -5, true), std::logic_error);
}

TEST(FastPos, CaseFoldingFollowsTheCodePage) {
    EXPECT_EQ(FastPosNoCase("xx\xE9t\xE9", "\xC9T", 1), 3);
    EXPECT_EQ(FastPosNoCase("\x9A\x9C\x9E\xFF", "\x8A\x8C\x8E\x9F", 1), 1);
    EXPECT_EQ(FastPosNoCase("\xDF\xB5\xF7", "\xDF\xB5\xD7", 1), 0); // F7 is no letter
    // The same rules on Unicode text: ÿ and Ÿ, š and Š, œ and Œ fold together.
    EXPECT_EQ(FastPosNoCase(u"-\u0178\u0160\u0152", u"\u00FF\u0161\u0153", 1), 2);
    EXPECT_EQ(FastPosBackNoCase(u"\u00C9t\u00C9", u"\u00E9", 0), 3);
    // Letters outside the code page are compared as they are.
    EXPECT_EQ(FastPosNoCase(u"\u0100", u"\u0101", 1), 0);
    EXPECT_EQ(FastPosNoCase(u"\u0101", u"\u0101", 1), 1);
}

TEST(FastPos, AgreesWithQtOnRandomText) {
    std::mt19937 rng(11);
    for (int round = 0; round < 3000; ++round) {
        const QString source = RandomText(rng, u"abAB\u0161\u0160\u0261", 30);
        const QString pattern = RandomText(rng, u"abAB\u0161\u0160\u0261", 4);
        if (pattern.isEmpty()) {
            continue;
        }
        const qsizetype start = std::uniform_int_distribution<qsizetype>(1, 32)(rng);
        ASSERT_EQ(FastPos(source, pattern, start), source.indexOf(pattern, start - 1) + 1);
        ASSERT_EQ(FastPosNoCase(source, pattern, start),
                  source.indexOf(pattern, start - 1, Qt::CaseInsensitive) + 1);
        const qsizetype last = source.size() - pattern.size() + 1;
        const qsizetype from = start >= last ? last - 1 : start - 1;
        const qsizetype back = last < 1 ? 0 : source.lastIndexOf(pattern, from) + 1;
        ASSERT_EQ(FastPosBack(source, pattern, start), back);
        ASSERT_EQ(FastPos(source.toLatin1(), pattern.toLatin1(), start),
                  source.toLatin1().indexOf(pattern.toLatin1(), start - 1) + 1);
    }
}

TEST(FastPosBack, SearchesFromTheStartOrTheEnd) {
    EXPECT_EQ(FastPosBack("abcb", "b", 0), 4);
    EXPECT_EQ(FastPosBack("abcb", "b", 3), 2);
    EXPECT_EQ(FastPosBack("abcb", "b", 1), 0);
    EXPECT_EQ(FastPosBack("abcb", "cb", 99), 3); // too close to the end: from the end
    EXPECT_EQ(FastPosBack("abcb", "", 0), 0);
    EXPECT_EQ(FastPosBack("ab", "abc", 0), 0);
    EXPECT_EQ(FastPosBack("abcb", "b", -1), 0);
    EXPECT_EQ(FastPosBackNoCase("aBcB", "b", 0), 4);
}

TEST(SmartPos, ChoosesTheSearchByCaseAndDirection) {
    EXPECT_EQ(SmartPos("b", "abcb"), 2);
    EXPECT_EQ(SmartPos("b", "abcb", true, 1, false), 0); // the default start looks at 1 only
    EXPECT_EQ(SmartPos("b", "abcb", true, 0, false), 4);
    EXPECT_EQ(SmartPos("B", "abcb", true, 1, true), 0);
    EXPECT_EQ(SmartPos("B", "abcb", false, 1, true), 2);
    EXPECT_EQ(SmartPos(u"B", u"abcb", false, 0, false), 4);
    EXPECT_EQ(SmartPos(u"", u"abc", true, 0, false), 0);
}
