#include "platform/core/Format.h"
#include "platform/core/Exception.h"

#include "Raises.h"

#include <gtest/gtest.h>

#include <limits>

using plat::Format;

TEST(Format, HexadecimalIsUpperCaseWithMinimumDigits) {
    EXPECT_EQ(Format("%.2x", 10), u"0A");
    EXPECT_EQ(Format("%.2x", 0x1AB), u"1AB"); // precision is a minimum, never a cut
    EXPECT_EQ(Format("%.8x", 0xDEADBEEFu), u"DEADBEEF");
    EXPECT_EQ(Format("%.8x", 0x1F), u"0000001F");
    EXPECT_EQ(Format("%x", 255), u"FF");
}

TEST(Format, NegativeHexUsesTheArgumentWidth) {
    EXPECT_EQ(Format("%x", -1), u"FFFFFFFF");
    EXPECT_EQ(Format("%x", int64_t{-1}), u"FFFFFFFFFFFFFFFF");
    EXPECT_EQ(Format("%.2x", static_cast<int8_t>(-2)), u"FFFFFFFE");
}

TEST(Format, DecimalSignsPaddingAndExtremes) {
    EXPECT_EQ(Format("Name not found for ID %d", 4242), u"Name not found for ID 4242");
    EXPECT_EQ(Format("%.3d", -5), u"-005");
    EXPECT_EQ(Format("%5d|", 42), u"   42|");
    EXPECT_EQ(Format("%-5d|", 42), u"42   |");
    EXPECT_EQ(Format("%d", std::numeric_limits<int64_t>::min()), u"-9223372036854775808");
    EXPECT_EQ(Format("%d", std::numeric_limits<uint64_t>::max()), u"18446744073709551615");
    EXPECT_EQ(Format("%u", -1), u"4294967295");
}

TEST(Format, TextArguments) {
    EXPECT_EQ(Format("Packet type %s not allowed in state %s", "Ping", QStringLiteral("Logged In")),
              u"Packet type Ping not allowed in state Logged In");
    EXPECT_EQ(Format("[%.3s]", "abcdef"), u"[abc]");
    EXPECT_EQ(Format("[%-6s]", "ab"), u"[ab    ]");
    EXPECT_EQ(Format("%s", QByteArray("\x80 5")), QString::fromUtf8("\u20AC 5")); // wire text
    EXPECT_EQ(Format("100%% %s", "sure"), u"100% sure");
    EXPECT_EQ(Format("no specifiers"), u"no specifiers");
}

TEST(Format, MismatchedOrMissingArgumentsRaise) {
    EXPECT_EQ(MessageOf<plat::EConvertError>([] { Format("%d", "text"); }),
              "Format '%d' invalid or incompatible with argument");
    EXPECT_THROW(Format("%q", 5), plat::EConvertError);
    EXPECT_THROW(Format("trailing %", 5), plat::EConvertError);
    EXPECT_EQ(MessageOf<plat::EConvertError>([] { Format("%d and %d", 1); }),
              "No argument for format '%d and %d'");
    EXPECT_EQ(plat::HexUpper(0, 0), u"0");
}
