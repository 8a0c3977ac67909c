#include "platform/core/Format.h"
#include "platform/core/Exception.h"

#include "Raises.h"

#include <gtest/gtest.h>

#include <limits>

using plat::Format;

TEST(Format, HexDecimalAndTextArguments) {
    const std::pair<QString, const char16_t*> cases[] = {
        // Hexadecimal is upper case; the precision is a minimum, never a cut.
        {Format("%.2x", 10), u"0A"},
        {Format("%.2x", 0x1AB), u"1AB"},
        {Format("%.8x", 0x1F), u"0000001F"},
        {Format("%x", 0xDEADBEEFu), u"DEADBEEF"},
        // Negative hexadecimal uses the argument's width, at least 32 bits.
        {Format("%x", -1), u"FFFFFFFF"},
        {Format("%x", int64_t{-1}), u"FFFFFFFFFFFFFFFF"},
        {Format("%.2x", static_cast<int8_t>(-2)), u"FFFFFFFE"},
        {Format("Name not found for ID %d", 4242), u"Name not found for ID 4242"},
        {Format("%.3d", -5), u"-005"},
        {Format("%5d|%-5d|", 42, 42), u"   42|42   |"},
        {Format("%d", std::numeric_limits<int64_t>::min()), u"-9223372036854775808"},
        {Format("%d", std::numeric_limits<uint64_t>::max()), u"18446744073709551615"},
        {Format("%u", -1), u"4294967295"},
        {Format("Packet type %s not allowed in state %s", "Ping", QStringLiteral("Logged In")),
         u"Packet type Ping not allowed in state Logged In"},
        {Format("[%.3s][%-6s]", "abcdef", "ab"), u"[abc][ab    ]"},
        {Format("%s", QByteArray("\x80 5")), u"\u20AC 5"}, // wire text
        {Format("100%% %s", "sure"), u"100% sure"},
        {Format("no specifiers"), u"no specifiers"},
        {plat::HexUpper(0, 0), u"0"},
        // Width pads on the left, or on the right after "-"; a precision cuts
        // text, "." alone cutting it to nothing.
        {Format("%s|%-4.2s|%.s|", "abc", "xyz", "q"), u"abc|xy  ||"},
        {Format("%3x|%-4u|%2d|", 255, 7u, 12345), u" FF|7   |12345|"},
        {Format("%.0d|%.0x|%08.3d", 0, 0, -4), u"0|0|    -004"},
        {Format("%X%S%D", 10, "t", 3), u"At3"},
    };
    for (const auto& [got, expected] : cases) {
        EXPECT_EQ(got, QString::fromUtf16(expected));
    }
}

TEST(Format, MismatchedOrMissingArgumentsRaise) {
    EXPECT_EQ(MessageOf<plat::EConvertError>([] { Format("%d", "text"); }),
              "Format '%d' invalid or incompatible with argument");
    EXPECT_THROW(Format("%q", 5), plat::EConvertError);
    EXPECT_THROW(Format("trailing %", 5), plat::EConvertError);
    EXPECT_EQ(MessageOf<plat::EConvertError>([] { Format("%d and %d", 1); }),
              "No argument for format '%d and %d'");
    // A specifier cut short, or a width or precision above 100000, is invalid;
    // a missing argument is found before an unknown type.
    for (const char* format : {"%5", "%-", "%.", "%100001d", "%.100001s", "%s %"}) {
        EXPECT_EQ(MessageOf<plat::EConvertError>([format] { Format(format, "a"); }),
                  QStringLiteral("Format '%1' invalid or incompatible with argument")
                      .arg(QString::fromLatin1(format)));
    }
    EXPECT_EQ(MessageOf<plat::EConvertError>([] { Format("%q"); }), "No argument for format '%q'");
    EXPECT_EQ(Format("%100000s", "").size(), 100000);
}
