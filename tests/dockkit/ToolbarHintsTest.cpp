// Tool tips of a bar's buttons: shown through the application's hint
// machinery while the bar's ShowHint is on, which a bar takes from its form
// (docked) or from its floating frame unless it was given its own.
#include "ToolTips.h"
#include "ToolbarFixtures.h"

#include "platform/gui/ShowHint.h"

#include <string>
#include <vector>

namespace {

// What the application's hint machinery shows when the pointer rests on the
// item: the tip's text, or empty when none is shown.
std::string TipOver(TDkCustomToolbar* bar, const TDkCustomItem* item) {
    bar->View()->ValidatePositions();
    const TDkItemViewer* viewer = bar->View()->Find(item);
    const QPoint local = bar->ClientOrigin() + viewer->BoundsRect.ToQRect().center();
    return ToolTipAt(bar, local).toStdString();
}

class ToolbarHints : public ToolbarTest {
public:
    ~ToolbarHints() override { HideToolTipNow(); }

protected:
    ToolbarHints() {
        bar_ = AddBar("Bar", f_.top, 0);
        cut_ = AddButton(bar_, "Cut");
        cut_->SetHint(QStringLiteral("Cut|Cuts the selection to the clipboard"));
        plain_ = AddButton(bar_, "Plain");
        f_.Settle();
    }

    TDkToolbar* bar_ = nullptr;
    FixedItem* cut_ = nullptr;
    FixedItem* plain_ = nullptr;
};

TEST_F(ToolbarHints, FollowTheFormsShowHintAsItChanges) {
    EXPECT_EQ(TipOver(bar_, cut_), "") << "a form shows no hints until told";
    EXPECT_FALSE(bar_->View()->Options() & voShowHints);

    plat::SetShowHint(f_.form, true);
    EXPECT_TRUE(bar_->ShowHint());
    EXPECT_TRUE(bar_->View()->Options() & voShowHints) << "the menu loop reads the view's option";
    EXPECT_EQ(TipOver(bar_, cut_), "Cut") << "the short part of the hint";
    EXPECT_EQ(TipOver(bar_, plain_), "") << "an item without a hint shows none";

    plat::SetShowHint(f_.form, false);
    EXPECT_EQ(TipOver(bar_, cut_), "");
}

TEST_F(ToolbarHints, ABarBuiltAfterTheFormSaidSoShowsThemToo) {
    plat::SetShowHint(f_.form, true);
    TDkToolbar* late = AddBar("Late", f_.top, 0);
    FixedItem* item = AddButton(late, "Away");
    item->SetHint(QStringLiteral("Set Yourself Away"));
    late->SetDockRow(1);
    f_.Settle();
    EXPECT_EQ(TipOver(late, item), "Set Yourself Away");
}

TEST_F(ToolbarHints, AFloatingBarShowsThemInItsFrameAndItsOwnValueWins) {
    bar_->SetFloatingPosition({300, 200});
    bar_->ToggleDockedFloating();
    f_.Settle();
    ASSERT_TRUE(bar_->Floating());
    EXPECT_EQ(TipOver(bar_, cut_), "Cut") << "the floating frame shows hints";

    bar_->SetShowHint(false);
    EXPECT_FALSE(bar_->ParentShowHint());
    EXPECT_EQ(TipOver(bar_, cut_), "") << "the bar's own value, once set";
    bar_->ToggleDockedFloating();
    plat::SetShowHint(f_.form, true);
    EXPECT_EQ(TipOver(bar_, cut_), "") << "and it no longer follows the form";

    bar_->SetParentShowHint(true);
    EXPECT_EQ(TipOver(bar_, cut_), "Cut");
}

// A drop-down's button loses its hint as the drop-down opens, and nothing
// brings it back over the drop-down: neither the loop following the pointer
// onto the button nor the pointer resting there. An item of the drop-down
// shows its own hint; closed, the button has its hint again.
TEST_F(ToolbarHints, AnOpenDropDownKeepsItsButtonsHintAwayUntilThePointerRestsOnAnItem) {
    plat::SetShowHint(f_.form, true);
    FixedItem* color = AddMenu(bar_, "Color", {"Red"});
    color->SetHint(QStringLiteral("Select Color"));
    TDkCustomItem* red = color->Items(0);
    red->SetHint(QStringLiteral("Red"));
    red->SetOptions(red->Options() | dkoShowHint);
    f_.Settle();
    ASSERT_EQ(TipOver(bar_, color), "Select Color");

    const QPoint button = CenterOf(bar_, color);
    std::vector<std::string> seen;
    const auto note = [&seen](const char* when, const QString& tip) {
        seen.push_back(std::string(when) + ": " + tip.toStdString());
    };
    script_.Then([&] { SendMouse(QEvent::MouseButtonRelease, button); })
        .Then([&] { note("opened", ShownToolTip()); })
        .Then([&] { MoveMouse(button + QPoint(1, 0)); })
        .Then([&] { note("onto the button", ShownToolTip()); })
        .Then([&] { note("resting on the button", QString::fromStdString(TipOver(bar_, color))); })
        .Then([&] { MoveMouse(PopupCenterOf(red)); })
        .Then([&] { note("onto its item", ShownToolTip()); })
        .Keys("e");
    script_.Start();
    PressAt(button);
    EXPECT_TRUE(script_.AllRun());
    EXPECT_EQ(seen, (std::vector<std::string>{"opened: ", "onto the button: ",
                                              "resting on the button: ", "onto its item: Red"}));
    EXPECT_EQ(TipOver(bar_, color), "Select Color") << "closed, the button says it again";
}

TEST_F(ToolbarHints, TheChevronSaysMoreButtons) {
    plat::SetShowHint(f_.form, true);
    for (int i = 0; i < 20; ++i) {
        AddButton(bar_, "More");
    }
    f_.form.resize(200, 400);
    f_.Settle();
    ASSERT_TRUE(bar_->View()->Find(bar_->ChevronItem())->Show);
    EXPECT_EQ(TipOver(bar_, bar_->ChevronItem()), "More Buttons");
}

} // namespace
