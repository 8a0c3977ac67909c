#include "platform/core/Convert.h"
#include "platform/core/Exception.h"

#include "Raises.h"

#include <gtest/gtest.h>

#include <climits>
#include <limits>

using plat::StrToInt;
using plat::StrToInt64;
using plat::TryStrToInt;

TEST(Convert, DecimalAndHexadecimalWithSignsAndTwosComplement) {
    const std::pair<const char16_t*, int> cases[] = {{u"123", 123},
                                                     {u"   42", 42},
                                                     {u"-5", -5},
                                                     {u"+7", 7},
                                                     {u"007", 7},
                                                     {u"$ff", 255},
                                                     {u"0x10", 16},
                                                     {u"x1f", 31},
                                                     {u"$FFFFFFFF", -1},
                                                     {u"2147483647", INT_MAX},
                                                     {u"-2147483648", INT_MIN},
                                                     {u"$80000000", INT_MIN}};
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(StrToInt(text), value) << QString::fromUtf16(text).toStdString();
    }
    EXPECT_EQ(StrToInt64(u"-9223372036854775808"), std::numeric_limits<int64_t>::min());
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
