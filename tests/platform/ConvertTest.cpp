#include "platform/core/Convert.h"
#include "platform/core/Exception.h"

#include "Raises.h"

#include <gtest/gtest.h>

using plat::StrToInt;
using plat::StrToInt64;
using plat::TryStrToInt;

TEST(Convert, DecimalWithLeadingSpacesAndSigns) {
    EXPECT_EQ(StrToInt(u"123"), 123);
    EXPECT_EQ(StrToInt(u"   42"), 42);
    EXPECT_EQ(StrToInt(u"-5"), -5);
    EXPECT_EQ(StrToInt(u"+7"), 7);
    EXPECT_EQ(StrToInt(u"007"), 7);
    EXPECT_EQ(StrToInt(u"2147483647"), 2147483647);
    EXPECT_EQ(StrToInt(u"-2147483648"), -2147483647 - 1);
    EXPECT_EQ(StrToInt64(u"-9223372036854775808"), std::numeric_limits<int64_t>::min());
}

TEST(Convert, HexadecimalPrefixesAndTwosComplement) {
    EXPECT_EQ(StrToInt(u"$FF"), 255);
    EXPECT_EQ(StrToInt(u"$ff"), 255);
    EXPECT_EQ(StrToInt(u"0x10"), 16);
    EXPECT_EQ(StrToInt(u"x1f"), 31);
    EXPECT_EQ(StrToInt(u"$FFFFFFFF"), -1);
    EXPECT_EQ(StrToInt(u"$80000000"), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(StrToInt64(u"$FFFFFFFFFFFFFFFF"), -1);
}

TEST(Convert, RejectsMalformedAndOutOfRange) {
    for (const char16_t* bad : {u"", u" ", u"12a", u"42 ", u"$", u"$-5", u"$ 5", u"- 5", u"0x",
                                u"2147483648", u"-2147483649", u"$100000000", u"1.5", u"\u0663"}) {
        EXPECT_FALSE(TryStrToInt(bad).has_value()) << QString::fromUtf16(bad).toStdString();
    }
    EXPECT_EQ(MessageOf<plat::EConvertError>([] { StrToInt(u"12a"); }),
              "'12a' is not a valid integer value");
    EXPECT_THROW(StrToInt64(u"9223372036854775808"), plat::EConvertError);
}
