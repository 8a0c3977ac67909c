#include "platform/gui/MulDiv.h"

#include "GoldenRows.h"

#include <gtest/gtest.h>

TEST(MulDiv, RoundsHalfAwayFromZeroAndAnswersMinusOneWhenItCannot) {
    for (const QList<QByteArray>& row : GoldenRows("platform/mul-div.tsv", 4)) {
        EXPECT_EQ(plat::MulDiv(row[0].toInt(), row[1].toInt(), row[2].toInt()), row[3].toInt())
            << row.join(" | ").constData();
    }
}
