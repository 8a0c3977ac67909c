#include "effects/gui/controls/VfxInfoLabel.h"

#include "EffectsGuiSupport.h"
#include "EffectsTestSupport.h"
#include "Raises.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

using namespace fx;

namespace {

// Counts the repaints it asks for.
class CountingLabel : public TVfxInformationLabel {
public:
    using TVfxInformationLabel::TVfxInformationLabel;
    int invalidated = 0;

protected:
    void Invalidate() override {
        ++invalidated;
        TVfxInformationLabel::Invalidate();
    }
};

class InformationLabel : public ::testing::Test, public KitFixture {};

TEST_F(InformationLabel, SeparatorsBetweenCaptionAndValue) {
    TVfxInformationLabel label;
    label.SetInfo(itProcessorCont32);
    const QString value = VfxGetInfo(itProcessorCont32, 0, u"");
    for (const QStringList& row : GoldenTextRows("effects/label-separators.tsv", 5)) {
        label.SetInsertColon(int8_t(row[0].toInt()));
        label.SetInsertTabs(int8_t(row[1].toInt()));
        label.SetUseStandardCaption(row[2] == u"1");
        label.SetCaption(row[3]);
        EXPECT_EQ(label.GetLabelText(),
                  QString(row[4]).replace(QStringLiteral("\\t"), QStringLiteral("\t")) + value)
            << row.join(u" | ").toStdString();
    }
}

TEST(NumberMasks, PlaceDigitsFromTheRight) {
    for (const QStringList& row : GoldenTextRows("effects/number-masks.tsv", 3)) {
        EXPECT_EQ(VfxApplyNumberFormat(row[0], row[1]), row[2]) << row.join(u" | ").toStdString();
    }
}

TEST_F(InformationLabel, MaskOnlyForNumericItems) {
    TVfxInformationLabel label;
    label.SetUseStandardCaption(false);
    label.SetInsertTabs(0);
    label.SetNumberFormat(QStringLiteral("0,000"));
    label.SetInfo(itMemSize);
    label.SetDividerValue(1048576);
    EXPECT_EQ(label.GetLabelText(), QStringLiteral("24,103"));
    label.SetInfo(itDOSVersion);
    EXPECT_EQ(label.GetLabelText(), QStringLiteral("Wi,n32")); // as the mask says
    label.SetInfo(itPlatform32);
    EXPECT_EQ(label.GetLabelText(), QStringLiteral("(Unknown)"));
}

TEST_F(InformationLabel, TimerFollowsTheItemAndNoTimerLeftIsAnError) {
    const int freeBefore = app.FreeTimerSlots();
    {
        TVfxInformationLabel label;
        EXPECT_EQ(app.FreeTimerSlots(), freeBefore - 1);
        TVfxTimerItem* timer = app.Timer(label.TimerId());
        ASSERT_NE(timer, nullptr);
        const auto state = [&] { return std::pair(timer->Enabled(), int(timer->Interval())); };
        EXPECT_EQ(state(), std::pair(false, 1000));
        label.SetInfo(itNumLock);
        EXPECT_EQ(state(), std::pair(true, 250));
        label.SetInfo(itCurrentDateTime);
        EXPECT_EQ(state(), std::pair(true, 1000));
        label.SetInfo(itMemSize);
        EXPECT_FALSE(timer->Enabled());
        EXPECT_FALSE(app.TimerPool().Running());
    }
    EXPECT_EQ(app.FreeTimerSlots(), freeBefore);
    while (app.AddTimer(100) != 0) {
    }
    EXPECT_EQ(MessageOf<EOutOfResources>([] { TVfxInformationLabel label; }),
              "Not enough timers available");
}

TEST_F(InformationLabel, LockKeyRepaintsOnlyWhenItsStateChanged) {
    CountingLabel label;
    label.SetInfo(itNumLock);
    label.SetUseStandardCaption(false);
    label.SetInsertTabs(0);
    info.locks[TVfxLockKey::NumLock] = {false, false, false, true};
    EXPECT_EQ(label.GetLabelText(), QStringLiteral("Off")); // as painted
    label.invalidated = 0;
    Ticks(15); // three firings at 250 ms: Off, Off, On
    EXPECT_EQ(label.invalidated, 1);
    EXPECT_EQ(label.GetLabelText(), QStringLiteral("On"));
    label.invalidated = 0;
    Ticks(5);
    EXPECT_EQ(label.invalidated, 0);
}

} // namespace
