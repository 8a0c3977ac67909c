#include "platform/gui/MulDiv.h"

#include <gtest/gtest.h>

#include <climits>

TEST(MulDiv, RoundsHalfAwayFromZeroAndAnswersMinusOneWhenItCannot) {
    const struct {
        int a, b, c, expected;
    } cases[] = {// Halves go away from zero whatever the signs.
                 {5, 2, 4, 3},
                 {-5, 2, 4, -3},
                 {5, -2, 4, -3},
                 {-5, -2, 4, 3},
                 {5, 2, -4, -3},
                 {1, 1, 2, 1},
                 {-1, 1, 2, -1},
                 {25, 13, 26, 13},
                 // Below and above the half.
                 {7, 1, 3, 2},
                 {8, 1, 3, 3},
                 {-7, 1, 3, -2},
                 {1, 1, 3, 0},
                 {0, 5, 7, 0},
                 {255, 100, 255, 100},
                 // Division by zero.
                 {1, 1, 0, -1},
                 {0, 0, 0, -1},
                 // The product needs 64 bits; the result must fit in 32.
                 {INT_MAX, INT_MAX, INT_MAX, INT_MAX},
                 {INT_MIN, INT_MIN, INT_MIN, INT_MIN},
                 {INT_MAX, INT_MAX, INT_MIN, -2147483646},
                 {INT_MIN, 1, 1, INT_MIN},
                 {INT_MIN, -1, 1, -1},
                 {INT_MAX, 2, 1, -1},
                 {INT_MIN, INT_MIN, INT_MAX, -1},
                 {65536, 32768, 1, -1},
                 {65536, -32768, 1, INT_MIN},
                 {INT_MAX, 3, 6, 1073741824},
                 {INT_MIN, 3, 6, -1073741824}};
    for (const auto& m : cases) {
        EXPECT_EQ(plat::MulDiv(m.a, m.b, m.c), m.expected) << m.a << " * " << m.b << " / " << m.c;
    }
}
