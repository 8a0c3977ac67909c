#include "effects/core/VfxIniCtrl.h"
#include "effects/core/VfxThemes.h"
#include "effects/gui/application/VfxApplication.h"
#include "effects/gui/application/VfxDisplayInfo.h"

#include "PixelPicture.h"
#include "Raises.h"
#include "WaitUntil.h"

#include <QCoreApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QScreen>

#include <gtest/gtest.h>

#include <map>
#include <vector>

using namespace fx;

namespace {

TEST(TimerPool, ItemsFireOnTheTicksTheirIntervalSpans) {
    TVfxTimerPool pool(nullptr, 50);
    std::map<uint16_t, std::vector<int>> fired; // the ticks each item fired on
    pool.OnTimer = [&](TVfxTimerPool* p, uint16_t id, uint32_t) {
        fired[id].push_back(int(p->TickCounter()));
    };
    pool.Register(1, 250);
    pool.Register(2, 1000);
    pool.Register(3, 50);
    for (int tick = 0; tick < 41; ++tick) {
        pool.Tick();
    }
    EXPECT_EQ(fired[1], (std::vector<int>{0, 5, 10, 15, 20, 25, 30, 35, 40}));
    EXPECT_EQ(fired[2], (std::vector<int>{0, 20, 40}));
    EXPECT_EQ(fired[3].size(), 41u);
}

TEST(TimerPool, RefusesDuplicatesAndIncompatibleIntervals) {
    TVfxTimerPool pool(nullptr, 50);
    pool.Register(7, 100);
    EXPECT_EQ(MessageOf<plat::EListError>([&] { pool.Register(7, 100); }),
              "List index out of bounds (%d)");
    for (const uint16_t interval : {uint16_t(120), uint16_t(25), uint16_t(0)}) {
        EXPECT_EQ(MessageOf([&] { pool.Register(8, interval); }),
                  "Interval not compatible with MinInterval property!")
            << interval;
    }
    EXPECT_EQ(pool.Count(), 1);
}

TEST(TimerPool, RepeatLimitDisablesAndCountersReset) {
    TVfxTimerPool pool(nullptr, 50);
    std::vector<uint32_t> counters;
    pool.OnTimer = [&](TVfxTimerPool*, uint16_t, uint32_t counter) { counters.push_back(counter); };
    TVfxTimerItem& item = pool.Register(1, 50);
    item.SetRepeatLimit(3);
    for (int i = 0; i < 6; ++i) {
        pool.Tick();
    }
    EXPECT_EQ(counters, (std::vector<uint32_t>{1, 2, 3}));
    EXPECT_FALSE(item.Enabled());
    EXPECT_FALSE(pool.Running());
    pool.SetEnabled(item, true);
    EXPECT_EQ(item.Counter(), 0u);
    EXPECT_TRUE(pool.Running());
    // an interval that is no multiple is ignored
    pool.SetInterval(item, 200);
    pool.SetInterval(item, 75);
    EXPECT_EQ(item.TicksPerFiring(), 4u);
}

TEST(TimerPool, AHandlerMayRemoveItsOwnItemAndNestedTicksAreDropped) {
    TVfxTimerPool pool(nullptr, 50);
    int firstCalls = 0;
    int secondCalls = 0;
    pool.Register(1, 50, [&](void*) {
        ++firstCalls;
        pool.Tick(); // nested: dropped
        pool.Remove(1);
    });
    int data = 42;
    pool.Register(
        2, 50, [&](void* d) { secondCalls += *static_cast<int*>(d); }, &data);
    pool.Tick();
    pool.Tick();
    EXPECT_EQ(firstCalls, 1);
    EXPECT_EQ(secondCalls, 84);
    EXPECT_EQ(pool.TickCounter(), 2u);
}

TEST(TimerPool, TheQtTimerDrivesTheTicks) {
    TVfxTimerPool pool(nullptr, 1);
    int fired = 0;
    pool.Register(1, 1, [&](void*) { ++fired; });
    EXPECT_TRUE(WaitUntil([&] { return fired >= 3; }));
}

TEST(Application, TwoHundredFiftyTimersThenNoneAndARefusedOneKeepsItsSlot) {
    TVfxApplication app;
    std::vector<uint16_t> ids;
    ids.reserve(TVfxApplication::kTimerSlots);
    for (int i = 0; i < TVfxApplication::kTimerSlots; ++i) {
        ids.push_back(app.AddTimer(100));
    }
    EXPECT_EQ(ids.front(), 0xFD01);
    EXPECT_EQ(ids.back(), 0xFD00 + 250);
    EXPECT_EQ(app.AddTimer(100), 0);
    EXPECT_EQ(app.FreeTimerSlots(), 0);
    app.RemoveTimer(0xFD07);
    EXPECT_EQ(app.AddTimer(100), 0xFD07);

    // A timer the pool refuses keeps its slot free.
    TVfxApplication other;
    EXPECT_EQ(other.AddTimer(120), 0); // not a multiple of 50
    EXPECT_EQ(other.FreeTimerSlots(), TVfxApplication::kTimerSlots);
    EXPECT_EQ(other.TimerPool().Count(), 0);
    EXPECT_EQ(other.AddTimer(100), 0xFD01);
}

TEST(DisplayInfo, ColourDepthOfTheScreenAndTheProgramsVersionStrings) {
    TVfxDisplaySystemInfo display;
    const QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(display.ColorDepth(), uint32_t(screen->depth()));
    EXPECT_EQ(VfxGetInfo(itColorDepth, 0, u"", display), QString::number(screen->depth() & 0xFF));
    VfxHostSystemInfo().SetVersionLookup(
        [](QStringView name) { return QStringLiteral("v:") + name.toString(); });
    EXPECT_EQ(VfxGetInfo(itProgVersion, 0, u"", display), QStringLiteral("v:ProductVersion"));
    VfxHostSystemInfo().SetVersionLookup({});
    EXPECT_EQ(VfxGetInfo(itProgVersion, 0, u"", display), QString());
}

TEST(Application, ASecondObjectOfTheSameNameSeesTheFirst) {
    const QString name = QStringLiteral("effgui-test-%1").arg(QCoreApplication::applicationPid());
    TVfxApplication first(nullptr, name);
    EXPECT_FALSE(first.PrevInstance());
    TVfxApplication second(nullptr, name);
    EXPECT_TRUE(second.PrevInstance());
}

TEST(Application, PatternIsACheckerboardRebuiltPerColour) {
    TVfxApplication app;
    const QImage& red = app.PatternBitmap(plat::clRed);
    ASSERT_EQ(red.size(), QSize(8, 8));
    const PixelLegend legend{{0xFFFFFFFF, 'W'}, {0xFFFF0000, 'R'}};
    EXPECT_EQ(PixelPicture(red, legend).join(u'/') + u'/',
              QStringLiteral("WRWRWRWR/RWRWRWRW/").repeated(4));
    const qint64 key = red.cacheKey();
    EXPECT_EQ(app.PatternBitmap(plat::clRed).cacheKey(), key);
    EXPECT_EQ(app.PatternBitmap(plat::clBlue).pixel(7, 0), qRgb(0, 0, 255));
}

class OneOfAKind : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
};

TEST(OneInstance, ASecondComponentOnAFormIsRefused) {
    QDialog form;
    auto* first = new OneOfAKind(&form);
    EXPECT_NO_THROW(VfxCheckOneInstance(*first));
    auto* second = new OneOfAKind(&form);
    EXPECT_EQ(MessageOf<VfxEOneInstError>([&] { VfxCheckOneInstance(*second); }),
              "OneOfAKind:\rAlready one OneOfAKind control in this project!");
    QObject notAForm;
    EXPECT_EQ(MessageOf<VfxEOneInstError>([&] { VfxCheckOneInstance(*new OneOfAKind(&notAForm)); }),
              "OneOfAKind:\rInvalid owner (<>TForm) or second instance on a form");
}

} // namespace

#include "ApplicationTest.moc"
