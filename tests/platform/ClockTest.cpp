#include "platform/core/Clock.h"

#include <ctime>

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

namespace {

// A wall clock and a zone that the test moves; the zone counts its lookups.
struct FakeTime {
    int64_t utcMs = 0;
    int lookups = 0;
    std::function<int(int64_t)> offsetAt = [](int64_t) { return 0; };

    plat::LocalClock Clock() {
        return plat::LocalClock([this] { return utcMs; },
                                [this](int64_t second) {
                                    ++lookups;
                                    return offsetAt(second);
                                });
    }
};

QString Shown(const QDateTime& t) {
    return t.toString(u"yyyy-MM-dd hh:mm:ss.zzz");
}

} // namespace

TEST(LocalClock, TheZoneIsAskedOncePerSecondOfUtcTime) {
    FakeTime fake;
    fake.utcMs = 1'700'000'000'000; // 2023-11-14 22:13:20 UTC
    fake.offsetAt = [](int64_t) { return 3600; };
    plat::LocalClock clock = fake.Clock();
    for (int ms = 0; ms < 1000; ms += 10) {
        fake.utcMs = 1'700'000'000'000 + ms;
        EXPECT_EQ(clock.Now().offsetFromUtc(), 3600);
    }
    EXPECT_EQ(fake.lookups, 1);
    fake.utcMs = 1'700'000'001'000;
    EXPECT_EQ(Shown(clock.Now()), "2023-11-14 23:13:21.000");
    EXPECT_EQ(fake.lookups, 2);
    // A clock set back is a new second too.
    fake.utcMs = 1'699'999'999'999;
    EXPECT_EQ(Shown(clock.Now()), "2023-11-14 23:13:19.999");
    EXPECT_EQ(fake.lookups, 3);
}

TEST(LocalClock, OffsetChangesShowAtTheirFirstMillisecond) {
    // Summer time starts at 01:00 UTC (02:00 becomes 03:00); the machine's
    // zone is switched to one 9 hours ahead in the middle of a second.
    constexpr int64_t kChange = 1'711'846'800; // 2024-03-31 01:00:00 UTC
    bool otherZone = false;
    FakeTime fake;
    fake.offsetAt = [&](int64_t second) {
        if (otherZone) {
            return 9 * 3600;
        }
        return second < kChange ? 3600 : 7200;
    };
    plat::LocalClock clock = fake.Clock();
    struct Step {
        int64_t utcMs;
        bool otherZone;
        const char* local;
    };
    for (const Step& step : {
             Step{kChange * 1000 - 1001, false, "2024-03-31 01:59:58.999"},
             Step{kChange * 1000 - 1, false, "2024-03-31 01:59:59.999"},
             Step{kChange * 1000, false, "2024-03-31 03:00:00.000"},
             Step{kChange * 1000 + 400, false, "2024-03-31 03:00:00.400"},
             // The zone changed: the second already read keeps its offset ...
             Step{kChange * 1000 + 500, true, "2024-03-31 03:00:00.500"},
             // ... and the next one has the new zone.
             Step{kChange * 1000 + 1000, true, "2024-03-31 10:00:01.000"},
         }) {
        fake.utcMs = step.utcMs;
        otherZone = step.otherZone;
        EXPECT_EQ(Shown(clock.Now()), step.local) << step.utcMs;
    }
    // Before 1970 a second starts at its lower millisecond as well.
    fake.utcMs = -1;
    otherZone = false;
    EXPECT_EQ(Shown(clock.Now()), "1970-01-01 00:59:59.999");
    fake.utcMs = -1000;
    const int lookups = fake.lookups;
    EXPECT_EQ(Shown(clock.Now()), "1970-01-01 00:59:59.000");
    EXPECT_EQ(fake.lookups, lookups);
}

TEST(LocalClock, TheSystemZoneIsReadAfreshAndAgreesWithTheToolkit) {
    const QByteArray saved = qgetenv("TZ");
    const bool hadZone = qEnvironmentVariableIsSet("TZ");
    struct Restore {
        QByteArray value;
        bool set;
        ~Restore() {
            if (set) {
                qputenv("TZ", value);
            } else {
                qunsetenv("TZ");
            }
            tzset();
        }
    } restore{saved, hadZone};
    // A rule-based zone needs no zone files: 5 hours behind UTC, 4 in summer
    // (from the second Sunday of March, 2024-03-10 07:00 UTC).
    qputenv("TZ", "EST5EDT,M3.2.0,M11.1.0");
    EXPECT_EQ(plat::SystemZoneOffset(1'710'053'999), -5 * 3600);
    EXPECT_EQ(plat::SystemZoneOffset(1'710'054'000), -4 * 3600);
    qputenv("TZ", "JST-9");
    EXPECT_EQ(plat::SystemZoneOffset(1'710'054'000), 9 * 3600);
    plat::LocalClock system;
    const QDateTime now = system.Now();
    EXPECT_EQ(now.offsetFromUtc(), 9 * 3600);
    EXPECT_EQ(now.offsetFromUtc(), QDateTime::currentDateTime().offsetFromUtc());
}
