#include "platform/core/Convert.h"
#include "platform/core/Exception.h"

#include "GoldenRows.h"
#include "Raises.h"

#include <gtest/gtest.h>

#include <limits>

using plat::StrToInt;
using plat::StrToInt64;
using plat::TryStrToInt;

// Decimal and hexadecimal with signs and two's complement; malformed and
// out-of-range texts refused.
TEST(Convert, IntegersReadOrRefused) {
    for (const QStringList& row : GoldenTextRows("platform/integers.tsv", 2)) {
        SCOPED_TRACE(row.join(u" | ").toStdString());
        if (row[1] == u"refused") {
            EXPECT_FALSE(TryStrToInt(row[0]).has_value());
        } else {
            EXPECT_EQ(StrToInt(row[0]), row[1].toInt());
        }
    }
    EXPECT_EQ(StrToInt64(u"-9223372036854775808"), std::numeric_limits<int64_t>::min());
    EXPECT_EQ(StrToInt64(u"$FFFFFFFFFFFFFFFF"), -1);
    EXPECT_EQ(MessageOf<plat::EConvertError>([] { StrToInt(u"12a"); }),
              "'12a' is not a valid integer value");
    EXPECT_THROW(StrToInt64(u"9223372036854775808"), plat::EConvertError);
}
