#include "platform/core/FormatDateTime.h"

#include <gtest/gtest.h>

TEST(FormatDateTime, PicturesLiteralsMarkersAndTheDefault) {
    const QTime afternoon(15, 7, 9, 45); // on Tuesday, 5 March 2024
    const struct {
        const char16_t* format;
        QTime time;
        const char* expected;
    } cases[] = {
        {u"[hh:nn]", afternoon, "[15:07]"},
        {u"h:n:s", afternoon, "15:7:9"},
        {u"hh:mm", afternoon, "15:07"}, // minutes after an hour
        {u"mm", afternoon, "03"},
        {u"z zzz", afternoon, "45 045"},
        {u"t|tt", afternoon, "15:07|15:07:09"},
        {u"[hh:nn AMPM]: ", afternoon, "[03:07 PM]: "},
        {u"h am/pm", QTime(9, 5), "9 am"},
        {u"h a/p", QTime(0, 30), "12 a"},
        {u"hh ampm", QTime(12, 0), "12 PM"},
        {u"dddd, mmmm d yyyy", afternoon, "Tuesday, March 5 2024"},
        {u"ddd dd mmm yy", afternoon, "Tue 05 Mar 24"},
        {u"'hh' \"nn\" hh", afternoon, "hh nn 15"},
        {u"c", afternoon, "2024-03-05 15:07:09"},
        {u"", QTime(0, 0), "2024-03-05"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(plat::FormatDateTime(c.format, QDateTime(QDate(2024, 3, 5), c.time)),
                  QString(c.expected))
            << QString::fromUtf16(c.format).toStdString();
    }
}
