// Screens, metrics and system parameters: the rules over the monitors, and
// the installed fakes taking over from the desktop while they live.
#include "platform/gui/Metrics.h"
#include "platform/gui/Screens.h"
#include "platform/gui/SystemParams.h"

#include "GoldenRows.h"
#include "PlatformFakes.h"

#include <QGuiApplication>
#include <QScreen>

#include <gtest/gtest.h>

using namespace plat;

namespace {

const ScreenArea kLeft{TRect(0, 0, 800, 600), TRect(0, 0, 800, 570)};
const ScreenArea kRight{TRect(800, 0, 1824, 768), TRect(800, 0, 1824, 740)};

TEST(Screens, MonitorsAnswerTheHoldingOrNearestOne) {
    const FakeScreens screens({kLeft, kRight});
    for (const QStringList& row : GoldenTextRows("platform/monitor-probes.tsv", 6)) {
        SCOPED_TRACE(row.join(u" | ").toStdString());
        const TRect probe(row[1].toInt(), row[2].toInt(), row[3].toInt(), row[4].toInt());
        const ScreenArea& expected = row[5] == u"right" ? kRight : kLeft;
        EXPECT_EQ(screens.RectForRect(probe, false), expected.Bounds);
        EXPECT_EQ(screens.RectForRect(probe, true), expected.WorkArea);
        if (probe.Width() == 1 && probe.Height() == 1) {
            EXPECT_EQ(screens.RectForPoint(QPoint(probe.Left, probe.Top), true), expected.WorkArea);
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
