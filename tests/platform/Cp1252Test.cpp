#include "platform/core/Cp1252.h"

#include <gtest/gtest.h>

TEST(Cp1252, EveryByteSurvivesARoundTrip) {
    QByteArray all;
    for (int b = 0; b < 256; ++b) {
        all.append(static_cast<char>(b));
    }
    const QString text = plat::FromCp1252(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(plat::ToCp1252(text), all);
}

TEST(Cp1252, HighRangeMapsToTheCodePageCharacters) {
    EXPECT_EQ(plat::FromCp1252("\x80"), QString(QChar(0x20AC)));
    EXPECT_EQ(plat::FromCp1252("\x92\x99\x9F"), QString::fromUtf16(u"\u2019\u2122\u0178"));
    EXPECT_EQ(plat::FromCp1252("\xE9t\xE9"), QString::fromUtf16(u"\u00E9t\u00E9"));
    EXPECT_EQ(plat::ToCp1252(QString::fromUtf16(u"\u20AC\u0160")), QByteArray("\x80\x8A"));
    EXPECT_EQ(plat::FromCp1252(QByteArray("a\0b", 3)).size(), 3); // NUL is kept, not a terminator
}

TEST(Cp1252, CharactersOutsideThePageBecomeQuestionMarks) {
    EXPECT_EQ(plat::ToCp1252(QString::fromUtf16(u"a\u4E2Db")), QByteArray("a?b"));
    // A character outside the basic plane is one question mark, not two.
    EXPECT_EQ(plat::ToCp1252(QString::fromUtf16(u"x\U0001F600y")), QByteArray("x?y"));
    EXPECT_EQ(plat::Cp1252Byte(0x2013), 0x96);
    EXPECT_EQ(plat::Cp1252Byte(0x0100), -1);
}
