#include "strings/StrTokens.h"

#include "platform/core/Cp1252.h"

#include <gtest/gtest.h>

namespace {

// TokenStart(text, at) and GetTokenAt(text, at) with the delimiter given, on
// the text and on its code-page bytes.
struct TokenCase {
    char16_t delimiter;
    const char16_t* text;
    int at;
    int start;
    const char16_t* token;
};

TEST(StrTokens, StartsAndTokensOfTextAndBytes) {
    const TokenCase cases[] = {
        {u',', u"a,bc,d", 2, 3, u""},
        {u',', u"a,bc,d", 3, 6, u"bc"},
        {u',', u"a,bc,d", 4, 0, u"bc"},
        {u',', u"a b", 2, 0, u"a b"},
        // Two blanks enclose an empty token.
        {u' ', u"one  two", 1, 1, u"one"},
        {u' ', u"one  two", 2, 5, u"one"},
        {u' ', u"one  two", 3, 6, u"one"},
        {u' ', u"one  two", 4, 0, u""},
        {u' ', u"one  two", 5, 0, u""},
        {u' ', u"one  two", 6, 0, u"two"},
        {u' ', u"one  two", 8, 0, u"two"},
        // Asks out of range give nothing.
        {u',', u"", 1, 0, u""},
        {u',', u"", 2, 0, u""},
        {u',', u"a", 0, 0, u""},
        {u',', u"a", -3, 0, u""},
        {u',', u"a,", 2, 3, u""},
        {u',', u"a,", 3, 0, u""},
        {u',', u"a,b", -1, 0, u""},
        // Bytes use the delimiter's code-page byte.
        {u'\u20AC', u"ab\u20ACcd", 1, 1, u"ab"},
        {u'\u20AC', u"ab\u20ACcd", 2, 4, u"ab"},
    };
    for (const TokenCase& c : cases) {
        const QString text = QString::fromUtf16(c.text);
        SCOPED_TRACE(text.toStdString() + " @" + std::to_string(c.at));
        ASSERT_TRUE(SetDelimiter(QChar(c.delimiter)));
        EXPECT_EQ(TokenStart(text, c.at), c.start);
        EXPECT_EQ(GetTokenAt(text, c.at), QString::fromUtf16(c.token));
        EXPECT_EQ(TokenStart(plat::ToCp1252(text), c.at), c.start);
        EXPECT_EQ(GetTokenAt(plat::ToCp1252(text), c.at), plat::ToCp1252(c.token));
    }
    // A delimiter without a code-page byte splits no bytes; no delimiter at
    // all is refused, and the last one stays.
    ASSERT_TRUE(SetDelimiter(QChar(0x4E2D)));
    EXPECT_EQ(TokenStart("ab?cd", 2), 0);
    EXPECT_EQ(GetTokenAt("ab?cd", 4), QByteArray("ab?cd"));
    EXPECT_FALSE(SetDelimiter(QChar(0)));
    EXPECT_EQ(TokenStart(u"a\u4E2Db", 2), 3);
    SetDelimiter(QChar(u','));
}

} // namespace
