#include "strings/StrTokens.h"

#include "platform/core/Cp1252.h"

#include "GoldenRows.h"

#include <gtest/gtest.h>

namespace {

// TokenStart(text, at) and GetTokenAt(text, at) with the delimiter given, on
// the text and on its code-page bytes. Rows: delimiter, text, at, start, token.
TEST(StrTokens, StartsAndTokensOfTextAndBytes) {
    for (const QStringList& row : GoldenTextRows("strings/tokens.tsv", 5)) {
        SCOPED_TRACE(row.join(u" | ").toStdString());
        const QString& text = row[1];
        const int at = row[2].toInt();
        const int start = row[3].toInt();
        ASSERT_TRUE(SetDelimiter(row[0].at(0)));
        EXPECT_EQ(TokenStart(text, at), start);
        EXPECT_EQ(GetTokenAt(text, at), row[4]);
        EXPECT_EQ(TokenStart(plat::ToCp1252(text), at), start);
        EXPECT_EQ(GetTokenAt(plat::ToCp1252(text), at), plat::ToCp1252(row[4]));
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
