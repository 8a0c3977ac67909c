#include "strings/FastStrings.h"

#include "platform/core/Cp1252.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>

namespace {

// Random text over letters that fold in the code page (é É, ÿ Ÿ, š Š), signs
// that do not (÷ ×, ß, µ), and š, whose low byte is that of 'a'; matches and
// near-matches are frequent.
QString RandomText(std::mt19937& rng, int maxLength) {
    static const QString alphabet =
        u"abAB\u00E9\u00C9\u00FF\u0178\u0161\u0160\u00F7\u00D7\u00DF\u00B5"_qs;
    QString text;
    const int length = std::uniform_int_distribution<int>(0, maxLength)(rng);
    for (int i = 0; i < length; ++i) {
        text += alphabet[std::uniform_int_distribution<qsizetype>(0, alphabet.size() - 1)(rng)];
    }
    return text;
}

// Every search and replace against Qt's own, and the byte forms against the
// text forms on the code page's encoding of the same text.
TEST(FastStrings, AgreeWithQtAndWithTheirByteFormsOnRandomText) {
    std::mt19937 rng(11);
    for (int round = 0; round < 3000; ++round) {
        const QString s = RandomText(rng, 30);
        const QString p = RandomText(rng, 4);
        if (p.isEmpty()) {
            continue;
        }
        const QString r = RandomText(rng, 6);
        const QByteArray sb = plat::ToCp1252(s), pb = plat::ToCp1252(p), rb = plat::ToCp1252(r);
        const qsizetype start = std::uniform_int_distribution<qsizetype>(0, 32)(rng);
        const qsizetype last = s.size() - p.size() + 1;
        const qsizetype from = start >= last ? -1 : start - 1; // -1: from the end
        SCOPED_TRACE(s.toStdString() + " / " + p.toStdString() + " @" + std::to_string(start));
        for (const bool cs : {true, false}) {
            const Qt::CaseSensitivity qcs = cs ? Qt::CaseSensitive : Qt::CaseInsensitive;
            const qsizetype back = last < 1 ? 0 : s.lastIndexOf(p, from, qcs) + 1;
            const qsizetype forward = start < 1 ? -1 : s.indexOf(p, start - 1, qcs) + 1;
            ASSERT_EQ(cs ? FastPosBack(s, p, start) : FastPosBackNoCase(s, p, start), back) << cs;
            ASSERT_EQ(cs ? FastPosBack(sb, pb, start) : FastPosBackNoCase(sb, pb, start), back);
            ASSERT_EQ(SmartPos(p, s, cs, start, false), back);
            ASSERT_EQ(SmartPos(pb, sb, cs, start, false), back);
            if (start >= 1) {
                ASSERT_EQ(cs ? FastPos(s, p, start) : FastPosNoCase(s, p, start), forward) << cs;
                ASSERT_EQ(cs ? FastPos(sb, pb, start) : FastPosNoCase(sb, pb, start), forward);
                ASSERT_EQ(SmartPos(p, s, cs, start, true), forward);
                ASSERT_EQ(SmartPos(pb, sb, cs, start, true), forward);
            }
            const QString replaced = QString(s).replace(p, r, qcs);
            ASSERT_EQ(FastReplace(s, p, r, cs), replaced) << cs;
            ASSERT_EQ(FastReplace(sb, pb, rb, cs), plat::ToCp1252(replaced)) << cs;
        }
    }
}

TEST(FastStrings, EdgeCases) {
    // Empty inputs replace nothing.
    EXPECT_EQ(FastReplace("abc", "", "x", true), QByteArray("abc"));
    EXPECT_EQ(FastReplace(u"abc", u"", u"x", false), u"abc"_qs);
    EXPECT_TRUE(FastReplace("", "a", "x", true).isEmpty());
    EXPECT_TRUE(FastReplace(u"", u"", u"x", true).isEmpty());
    // A view searches only its window; letters outside the code page do not fold.
    EXPECT_EQ(FastPos(QByteArrayView("abcabc").first(4), "cab", 1), 0);
    EXPECT_EQ(FastPos("abc", "a", 1000), 0);
    EXPECT_EQ(FastPosNoCase(u"\u0100", u"\u0101", 1), 0);
    EXPECT_EQ(FastPosBack("abcb", "", 0), 0);
    EXPECT_EQ(FastPosBack("abcb", "b", -1), 0);
    EXPECT_EQ(SmartPos("b", "abcb"), 2);
    EXPECT_EQ(SmartPos("b", "abcb", true, 1, false), 0); // the default start looks at 1 only

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
        EXPECT_NE(std::string(e.what()).find("FastStrings.cpp, line "), std::string::npos);
    }
    EXPECT_THROW(SmartPos(u"a", u"abc", false, -5, true), std::logic_error);
}

} // namespace
