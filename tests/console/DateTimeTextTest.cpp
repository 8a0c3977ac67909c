#include "console/DateTimeText.h"

#include <gtest/gtest.h>

namespace {

const QDateTime kAfternoon(QDate(2024, 3, 7), QTime(15, 7, 9, 45));
const QDateTime kMorning(QDate(2024, 12, 25), QTime(0, 5, 0));

QString fmt(const char16_t* picture, const QDateTime& when = kAfternoon) {
    return FormatDateTime(QStringView(picture), when);
}

} // namespace

TEST(DateTimeText, TimePicturesAndMinutesAfterHours) {
    EXPECT_EQ(fmt(u"[hh:nn]"), u"[15:07]"_qs);
    EXPECT_EQ(fmt(u"h:n:s"), u"15:7:9"_qs);
    EXPECT_EQ(fmt(u"hh:mm:ss.zzz"), u"15:07:09.045"_qs); // "mm" after an hour is minutes
    EXPECT_EQ(fmt(u"hh mm"), u"15 07"_qs);
    EXPECT_EQ(fmt(u"mm/dd hh"), u"03-07 15"_qs); // before an hour "mm" is the month
    EXPECT_EQ(fmt(u"[hh:nn AMPM]"), u"[03:07 PM]"_qs);
    EXPECT_EQ(fmt(u"h:nn am/pm", kMorning), u"12:05 am"_qs);
    EXPECT_EQ(fmt(u"h:nn A/P"), u"3:07 P"_qs);
    EXPECT_EQ(fmt(u"t"), u"15:07"_qs);
    EXPECT_EQ(fmt(u"tt"), u"15:07:09"_qs);
}

TEST(DateTimeText, DatePicturesLiteralsAndTheDefault) {
    EXPECT_EQ(fmt(u"yyyy/mm/dd"), u"2024-03-07"_qs);
    EXPECT_EQ(fmt(u"d.m.yy"), u"7.3.24"_qs);
    EXPECT_EQ(fmt(u"ddd dddd mmm mmmm"), u"Thu Thursday Mar March"_qs);
    EXPECT_EQ(fmt(u"ddddd"), u"2024-03-07"_qs);
    EXPECT_EQ(fmt(u"dddddd"), u"Thursday, 7 March 2024"_qs);
    EXPECT_EQ(fmt(u"'at' hh \"o'clock\""), u"at 15 o'clock"_qs);
    EXPECT_EQ(fmt(u"'unclosed"), u"unclosed"_qs);
    EXPECT_EQ(fmt(u"[x]"), u"[x]"_qs);
    EXPECT_EQ(fmt(u""), u"2024-03-07 15:07:09"_qs);
    EXPECT_EQ(fmt(u"c", QDateTime(QDate(2024, 1, 2), QTime(0, 0))), u"2024-01-02"_qs);
}
