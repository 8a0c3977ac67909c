#include "platform/core/FormatDateTime.h"

#include "GoldenRows.h"

#include <gtest/gtest.h>

// Rows: format, the time (on Tuesday, 5 March 2024), what it gives.
TEST(FormatDateTime, PicturesLiteralsMarkersAndTheDefault) {
    for (const QStringList& row : GoldenTextRows("platform/date-time.tsv", 3)) {
        const QTime time = QTime::fromString(row[1], u"hh:mm:ss.zzz");
        EXPECT_EQ(plat::FormatDateTime(row[0], QDateTime(QDate(2024, 3, 5), time)), row[2])
            << row.join(u" | ").toStdString();
    }
}
