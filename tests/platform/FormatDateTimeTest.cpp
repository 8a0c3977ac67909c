#include "platform/core/FormatDateTime.h"

#include <gtest/gtest.h>

using plat::FormatDateTime;

namespace {

// Tuesday, 5 March 2024, 15:07:09.045
const QDateTime kAfternoon(QDate(2024, 3, 5), QTime(15, 7, 9, 45));

QString At(QStringView format, QTime time = kAfternoon.time()) {
    return FormatDateTime(format, QDateTime(kAfternoon.date(), time));
}

TEST(FormatDateTime, TimePicturesAndMinutesAfterAnHour) {
    EXPECT_EQ(At(u"[hh:nn]"), QStringLiteral("[15:07]"));
    EXPECT_EQ(At(u"h:n:s"), QStringLiteral("15:7:9"));
    EXPECT_EQ(At(u"hh:mm"), QStringLiteral("15:07"));
    EXPECT_EQ(At(u"h m"), QStringLiteral("15 7"));
    EXPECT_EQ(At(u"mm"), QStringLiteral("03"));
    EXPECT_EQ(At(u"z zzz"), QStringLiteral("45 045"));
    EXPECT_EQ(At(u"t|tt"), QStringLiteral("15:07|15:07:09"));
}

TEST(FormatDateTime, TwelveHourMarkers) {
    EXPECT_EQ(At(u"[hh:nn AMPM]: "), QStringLiteral("[03:07 PM]: "));
    EXPECT_EQ(At(u"h am/pm", QTime(9, 5)), QStringLiteral("9 am"));
    EXPECT_EQ(At(u"h AM/PM"), QStringLiteral("3 PM"));
    EXPECT_EQ(At(u"h a/p", QTime(0, 30)), QStringLiteral("12 a"));
    EXPECT_EQ(At(u"hh ampm", QTime(12, 0)), QStringLiteral("12 PM"));
}

TEST(FormatDateTime, DatePicturesLiteralsAndTheDefault) {
    EXPECT_EQ(At(u"dddd, mmmm d yyyy"), QStringLiteral("Tuesday, March 5 2024"));
    EXPECT_EQ(At(u"ddd dd mmm yy"), QStringLiteral("Tue 05 Mar 24"));
    EXPECT_EQ(At(u"'hh' \"nn\" hh"), QStringLiteral("hh nn 15"));
    EXPECT_EQ(At(u"c"), QStringLiteral("2024-03-05 15:07:09"));
    EXPECT_EQ(At(u"", QTime(0, 0)), QStringLiteral("2024-03-05"));
}

} // namespace
