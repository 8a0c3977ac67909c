// Screens, metrics and system parameters: the rules over the monitors, and
// the installed fakes taking over from the desktop while they live.
#include "platform/gui/Metrics.h"
#include "platform/gui/Screens.h"
#include "platform/gui/SystemParams.h"

#include "PlatformFakes.h"

#include <QGuiApplication>
#include <QScreen>

#include <gtest/gtest.h>

using namespace plat;

namespace {

const ScreenArea kLeft{TRect(0, 0, 800, 600), TRect(0, 0, 800, 570)};
const ScreenArea kRight{TRect(800, 0, 1824, 768), TRect(800, 0, 1824, 740)};

struct MonitorCase {
    const char* what;
    TRect probe; // a one-pixel rectangle stands for a point
    bool expectRight;
};

TEST(Screens, MonitorsAnswerTheHoldingOrNearestOne) {
    const FakeScreens screens({kLeft, kRight});
    const MonitorCase cases[] = {
        {"point on the left", TRect(10, 10, 11, 11), false},
        {"point on the right", TRect(900, 700, 901, 701), true},
        {"point past the right edge", TRect(2000, 100, 2001, 101), true},
        {"point left of everything", TRect(-50, 300, -49, 301), false},
        {"point under the left one", TRect(400, 700, 401, 701), false},
        {"rectangle mostly on the right", TRect(700, 0, 1000, 100), true},
        {"rectangle mostly on the left", TRect(500, 0, 900, 100), false},
        {"rectangle above both, nearer the right", TRect(1500, -300, 1600, -200), true},
    };
    for (const MonitorCase& c : cases) {
        const ScreenArea& expected = c.expectRight ? kRight : kLeft;
        EXPECT_EQ(screens.RectForRect(c.probe, false), expected.Bounds) << c.what;
        EXPECT_EQ(screens.RectForRect(c.probe, true), expected.WorkArea) << c.what;
        if (c.probe.Width() == 1 && c.probe.Height() == 1) {
            EXPECT_EQ(screens.RectForPoint(QPoint(c.probe.Left, c.probe.Top), true),
                      expected.WorkArea)
                << c.what;
        }
    }
    EXPECT_EQ(screens.PrimaryRect(true), kLeft.WorkArea);
    EXPECT_EQ(screens.Count(), 2);
    // One monitor answers itself, none answers empty.
    FakeScreens one({kRight});
    EXPECT_EQ(one.RectForPoint(QPoint(-5000, 0), false), kRight.Bounds);
    one.SetAreas({});
    EXPECT_EQ(one.RectForPoint(QPoint(1, 1), true), TRect());
}

TEST(DesktopServices, FakesReplaceTheDesktopWhileTheyLiveAndNest) {
    const QRect real = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), real.width());
    EXPECT_EQ(GetSystemMetrics(SM_CYSMCAPTION), 16);
    {
        const FakeScreens outer({kLeft, kRight});
        EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), 2);
        EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
        {
            const FakeScreens inner({kRight});
            FakeMetrics metrics;
            metrics.Set(SM_CYSMCAPTION, 20);
            EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
            EXPECT_EQ(GetSystemMetrics(SM_CYSMCAPTION), 20);
            EXPECT_EQ(GetSystemMetrics(9999), 0);
        }
        EXPECT_EQ(CurrentScreens().Count(), 2);
        EXPECT_EQ(GetSystemMetrics(SM_CYSMCAPTION), 16);
    }
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), real.height());

    FakeSystemParameters params;
    params.Answers.ApplicationActive = false;
    params.Answers.MenuShowDelay = 0;
    EXPECT_EQ(&CurrentSystemParameters(), &params);
    EXPECT_EQ(CurrentSystemParameters().MenuShowDelay(), 0);
    EXPECT_FALSE(CurrentSystemParameters().ApplicationActive());
}

} // namespace
