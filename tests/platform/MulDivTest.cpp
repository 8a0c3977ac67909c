#include "platform/gui/MulDiv.h"

#include <gtest/gtest.h>

#include <climits>

TEST(MulDiv, RoundsHalfAwayFromZeroAndAnswersMinusOneWhenItCannot) {
    // Halves away from zero whatever the signs, below and above the half,
    // division by zero, products that need 64 bits and results that do not
    // fit in 32.
    const struct {
        int a, b, c, expected;
    } cases[] = {{5, 2, 4, 3},
                 {-5, 2, 4, -3},
                 {5, -2, 4, -3},
                 {-5, -2, 4, 3},
                 {5, 2, -4, -3},
                 {-1, 1, 2, -1},
                 {7, 1, 3, 2},
                 {8, 1, 3, 3},
                 {-7, 1, 3, -2},
                 {1, 1, 0, -1},
                 {0, 0, 0, -1},
                 {INT_MAX, INT_MAX, INT_MAX, INT_MAX},
                 {INT_MAX, INT_MAX, INT_MIN, -2147483646},
                 {INT_MIN, -1, 1, -1},
                 {INT_MAX, 2, 1, -1},
                 {INT_MIN, INT_MIN, INT_MAX, -1},
                 {65536, -32768, 1, INT_MIN},
                 {INT_MIN, 3, 6, -1073741824}};
    for (const auto& m : cases) {
        EXPECT_EQ(plat::MulDiv(m.a, m.b, m.c), m.expected) << m.a << " * " << m.b << " / " << m.c;
    }
}
