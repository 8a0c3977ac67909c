#include "platform/gui/Colors.h"
#include "platform/core/Exception.h"

#include "Raises.h"

#include <gtest/gtest.h>

using namespace plat;

TEST(Colors, SystemColoursResolveThroughTheClassicTable) {
    EXPECT_EQ(ColorToRGB(clWindow), 0xFFFFFF);
    EXPECT_EQ(ColorToRGB(clBtnFace), 0xC8D0D4);
    EXPECT_EQ(ColorToRGB(clHighlight), 0x6A240A);
    // Only the low byte names the colour; unknown indexes are black.
    EXPECT_EQ(ColorToRGB(static_cast<TColor>(0xFF00000F)), 0xC8D0D4);
    EXPECT_EQ(ColorToRGB(MakeSysColor(25)), 0);
    // Plain colours, clNone and clDefault pass unchanged.
    EXPECT_EQ(ColorToRGB(0x123456), 0x123456);
    EXPECT_EQ(ColorToRGB(clNone), clNone);
    EXPECT_EQ(ColorToRGB(clDefault), clDefault);
    // Qt colours keep the channel order.
    EXPECT_EQ(ToQColor(0x563412), QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(ToQColor(clHighlight), QColor(0x0A, 0x24, 0x6A));
    EXPECT_FALSE(ToQColor(clNone).isValid());
    EXPECT_EQ(FromQColor(QColor(0x12, 0x34, 0x56)), 0x563412);
}

TEST(Colors, AnotherSchemeHoldsForItsScopeAndNests) {
    SysColorTable white = ClassicSysColors();
    white[15] = 0xFFFFFF;
    SysColorTable black = white;
    black[15] = 0;
    {
        const ScopedSysColors outer(&white);
        EXPECT_EQ(ColorToRGB(clBtnFace), 0xFFFFFF);
        EXPECT_EQ(ToQColor(clBtnFace), QColor(Qt::white));
        {
            const ScopedSysColors inner(&black);
            EXPECT_EQ(ColorToRGB(clBtnFace), 0);
        }
        EXPECT_EQ(ColorToRGB(clBtnFace), 0xFFFFFF);
    }
    EXPECT_EQ(ColorToRGB(clBtnFace), 0xC8D0D4);
    EXPECT_TRUE(SysColorBrushExists(26));
    EXPECT_FALSE(SysColorBrushExists(25));
}

TEST(Colors, NamesAndNumbersParseAndRoundTrip) {
    EXPECT_EQ(StringToColor(u"CLMONEYGREEN"), clMoneyGreen);
    EXPECT_EQ(StringToColor(u"$FF0000"), clBlue);
    EXPECT_EQ(StringToColor(u"-2147483643"), clWindow);
    EXPECT_EQ(StringToColor(u"$80000005"), clWindow);
    for (const char* bad : {"red", "", "clRed "}) {
        EXPECT_EQ(MessageOf<EConvertError>([&] { StringToColor(QString(bad)); }),
                  QString("'%1' is not a valid integer value").arg(bad));
    }
    // Names prefer identifiers and read back.
    EXPECT_EQ(ColorToString(clBtnFace), u"clBtnFace"_qs);
    EXPECT_EQ(ColorToString(0x123456), u"$00123456"_qs);
    EXPECT_EQ(ColorToString(MakeSysColor(25)), u"$80000019"_qs);
    for (const TColor c :
         {clBlack, clCream, clHighlight, clNone, clDefault, TColor(0x0A0B0C), MakeSysColor(25)}) {
        EXPECT_EQ(StringToColor(ColorToString(c)), c) << ColorToString(c).toStdString();
    }
    EXPECT_FALSE(ColorToIdent(0x010203).has_value());
    EXPECT_EQ(IdentToColor(u"clsilver"), clSilver);
    EXPECT_FALSE(IdentToColor(u"silver").has_value());
}
