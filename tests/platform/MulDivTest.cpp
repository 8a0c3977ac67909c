#include "platform/gui/MulDiv.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

struct MulDivCase {
    int a;
    int b;
    int c;
    int expected;
};

void PrintTo(const MulDivCase& m, std::ostream* os) {
    *os << m.a << " * " << m.b << " / " << m.c;
}

class MulDivTest : public ::testing::TestWithParam<MulDivCase> {};

TEST_P(MulDivTest, RoundsHalfAwayFromZeroAndAnswersMinusOneWhenItCannot) {
    const MulDivCase& m = GetParam();
    EXPECT_EQ(plat::MulDiv(m.a, m.b, m.c), m.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MulDivTest,
    ::testing::Values(
        // Halves go away from zero whatever the signs.
        MulDivCase{5, 2, 4, 3}, MulDivCase{-5, 2, 4, -3}, MulDivCase{5, -2, 4, -3},
        MulDivCase{-5, -2, 4, 3}, MulDivCase{5, 2, -4, -3}, MulDivCase{1, 1, 2, 1},
        MulDivCase{-1, 1, 2, -1}, MulDivCase{25, 13, 26, 13},
        // Below and above the half.
        MulDivCase{7, 1, 3, 2}, MulDivCase{8, 1, 3, 3}, MulDivCase{-7, 1, 3, -2},
        MulDivCase{1, 1, 3, 0}, MulDivCase{0, 5, 7, 0}, MulDivCase{255, 100, 255, 100},
        // Division by zero.
        MulDivCase{1, 1, 0, -1}, MulDivCase{0, 0, 0, -1},
        // The product needs 64 bits; the result must fit in 32.
        MulDivCase{INT_MAX, INT_MAX, INT_MAX, INT_MAX},
        MulDivCase{INT_MIN, INT_MIN, INT_MIN, INT_MIN},
        MulDivCase{INT_MAX, INT_MAX, INT_MIN, -2147483646}, MulDivCase{INT_MIN, 1, 1, INT_MIN},
        MulDivCase{INT_MIN, -1, 1, -1}, MulDivCase{INT_MAX, 2, 1, -1},
        MulDivCase{INT_MIN, INT_MIN, INT_MAX, -1}, MulDivCase{65536, 32768, 1, -1},
        MulDivCase{65536, -32768, 1, INT_MIN}, MulDivCase{INT_MAX, 3, 6, 1073741824},
        MulDivCase{INT_MIN, 3, 6, -1073741824}));

} // namespace
