#include "strings/StrTokens.h"

#include <gtest/gtest.h>

namespace {

// Sets the delimiter for one test and puts the start-up comma back.
struct DelimiterScope {
    explicit DelimiterScope(QChar delimiter) { EXPECT_TRUE(SetDelimiter(delimiter)); }
    ~DelimiterScope() { SetDelimiter(QChar(u',')); }
};

} // namespace

TEST(StrTokens, CommaSeparatesUntilChanged) {
    EXPECT_EQ(TokenStart(u"a,bc,d", 2), 3);
    EXPECT_EQ(GetTokenAt(u"a,bc,d", 4), u"bc"_qs);
    EXPECT_EQ(TokenStart(u"a b", 2), 0);
    EXPECT_FALSE(SetDelimiter(QChar(0)));
    EXPECT_EQ(TokenStart(u"a,bc,d", 3), 6); // still the comma
}

TEST(StrTokens, BlankSeparatedWords) {
    DelimiterScope blank(QChar(u' '));
    const QString text = u"one  two"_qs;
    EXPECT_EQ(TokenStart(text, 1), 1);
    EXPECT_EQ(GetTokenAt(text, 1), u"one"_qs);
    EXPECT_EQ(TokenStart(text, 2), 5);
    EXPECT_EQ(GetTokenAt(text, 5), QString()); // two blanks enclose an empty token
    EXPECT_EQ(TokenStart(text, 3), 6);
    EXPECT_EQ(GetTokenAt(text, 6), u"two"_qs);
    EXPECT_EQ(GetTokenAt(text, 8), u"two"_qs); // from inside the token
    EXPECT_EQ(TokenStart(text, 4), 0);
}

TEST(StrTokens, OutOfRangeAsksGiveNothing) {
    EXPECT_EQ(TokenStart(u"", 1), 0);
    EXPECT_EQ(TokenStart(u"", 2), 0);
    EXPECT_EQ(TokenStart(u"a", 0), 0);
    EXPECT_EQ(TokenStart(u"a", -3), 0);
    EXPECT_EQ(TokenStart(u"a,", 2), 3); // past the end: no token there
    EXPECT_EQ(GetTokenAt(u"a,", 3), QString());
    EXPECT_EQ(GetTokenAt(u"a,b", 0), QString());
    EXPECT_EQ(GetTokenAt(u"a,b", -1), QString());
    EXPECT_EQ(GetTokenAt(u"", 1), QString());
}

TEST(StrTokens, BytesUseTheDelimitersCodePageByte) {
    EXPECT_EQ(GetTokenAt("ab,cd", 4), QByteArray("cd"));
    {
        DelimiterScope euro(QChar(0x20AC));
        EXPECT_EQ(TokenStart("ab\x80"
                             "cd",
                             2),
                  4);
        EXPECT_EQ(GetTokenAt("ab\x80"
                             "cd",
                             1),
                  QByteArray("ab"));
        EXPECT_EQ(TokenStart(u"ab\u20ACcd", 2), 4);
    }
    {
        DelimiterScope foreign(QChar(0x4E2D)); // no byte of the code page
        EXPECT_EQ(TokenStart("ab?cd", 2), 0);
        EXPECT_EQ(GetTokenAt("ab?cd", 4), QByteArray("ab?cd"));
        EXPECT_EQ(TokenStart(u"ab\u4E2Dcd", 2), 4);
    }
}
