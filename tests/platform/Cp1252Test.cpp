#include "platform/core/Cp1252.h"

#include <gtest/gtest.h>

TEST(Cp1252, EveryByteSurvivesARoundTripAndOthersBecomeQuestionMarks) {
    QByteArray all;
    for (int b = 0; b < 256; ++b) {
        all.append(static_cast<char>(b));
    }
    const QString text = plat::FromCp1252(all);
    ASSERT_EQ(text.size(), 256); // NUL is kept, not a terminator
    EXPECT_EQ(plat::ToCp1252(text), all);
    // The high range maps to the code page's characters.
    EXPECT_EQ(text.mid(0x80, 1) + text.mid(0x92, 1) + text.mid(0x99, 1) + text.mid(0x9F, 1) +
                  text.mid(0xE9, 1),
              QString::fromUtf16(u"\u20AC\u2019\u2122\u0178\u00E9"));
    // A character outside the basic plane is one question mark, not two.
    EXPECT_EQ(plat::ToCp1252(QString::fromUtf16(u"a\u4E2Db\U0001F600y")), QByteArray("a?b?y"));
    EXPECT_EQ(plat::Cp1252Byte(0x2013), 0x96);
    EXPECT_EQ(plat::Cp1252Byte(0x0100), -1);
}
