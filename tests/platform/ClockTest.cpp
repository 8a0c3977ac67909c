#include "platform/core/Clock.h"

#include <gtest/gtest.h>

TEST(Clock, ManualClocksReplaceTheSystemClockNestAndWrapTheTickCount) {
    const int64_t before = plat::MonotonicMs();
    EXPECT_GT(before, 0);
    {
        plat::ManualClock outer(5000);
        EXPECT_EQ(plat::MonotonicMs(), 5000);
        outer.Advance(3300);
        EXPECT_EQ(plat::MonotonicMs(), 8300);
        {
            plat::ManualClock inner(1);
            EXPECT_EQ(plat::MonotonicMs(), 1);
        }
        EXPECT_EQ(plat::MonotonicMs(), 8300);
    }
    EXPECT_GE(plat::MonotonicMs(), before);

    // The tick count wraps at 32 bits.
    plat::ManualClock clock(0x1'0000'0005);
    EXPECT_EQ(plat::TickCount(), 5u);
    // Elapsed time across the wrap is the unsigned difference.
    const uint32_t earlier = 0xFFFFF000u;
    clock.Set(0x1'0000'F000);
    EXPECT_EQ(plat::TickCount() - earlier, 0x10000u);
}
