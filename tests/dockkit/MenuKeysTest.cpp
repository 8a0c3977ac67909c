// The menu loop driven by the keyboard: arrows, Home, End, Tab, Enter,
// Escape, Alt, F10 and accelerators in a pop-up menu and its submenus.

#include "MenuFixtures.h"

#include "dockkit/menus/DkMenuLoop.h"

#include <QApplication>

namespace {

// A menu of "&Open", "&Options", "E&xit", a disabled "&Delete", "Fish && &Chips",
// "&a&b" and "Zebra"; the keys are typed in order and Escape ends the menu
// when it is still open.
struct KeyCase {
    const char* name;
    const char* keys; // as MenuScript::Keys takes them
    const char* clicked;
    int beeps;
};
void PrintTo(const KeyCase& c, std::ostream* os) {
    *os << c.name;
}

class MenuKeys : public MenuTest, public ::testing::WithParamInterface<KeyCase> {
protected:
    MenuKeys() {
        for (const char* caption :
             {"&Open", "&Options", "E&xit", "&Delete", "Fish && &Chips", "&a&b", "Zebra"}) {
            AddItem(caption);
        }
        menu_.Items()->Items(3)->SetEnabled(false);
    }
};

TEST_P(MenuKeys, ChooseWhatTheKeysSelect) {
    const KeyCase& c = GetParam();
    script_.Keys(c.keys);
    RunMenu();
    EXPECT_EQ(ClickLog(), c.clicked);
    EXPECT_EQ(beeps_, c.beeps);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MenuKeys,
    ::testing::Values(
        KeyCase{"DownDownReturn", "vvr", "&Options", 0}, KeyCase{"Escape", "e", "", 0},
        KeyCase{"SharedAcceleratorOnlySelects", "'o'oe", "", 0},
        KeyCase{"UniqueAcceleratorExecutes", "'x", "E&xit", 0},
        KeyCase{"AcceleratorIgnoresCase", "'X", "E&xit", 0},
        KeyCase{"LastSingleAmpersandCounts", "'b", "&a&b", 0},
        KeyCase{"EarlierAmpersandDoesNot", "'ae", "", 1},
        KeyCase{"DoubledAmpersandIsText", "'c", "Fish && &Chips", 0},
        KeyCase{"FirstLetterWithoutAccelerator", "'z", "Zebra", 0},
        KeyCase{"DisabledMatchSelectsOnly", "'dre", "", 0},
        KeyCase{"UnmatchedLetterBeeps", "'qe", "", 1},
        KeyCase{"UpFromNothingTakesTheLast", "^r", "Zebra", 0},
        KeyCase{"DownWrapsRound", "vvvvvvvvr", "&Open", 0}, KeyCase{"EndAndHome", ">r", "Zebra", 0},
        KeyCase{"Home", "><r", "&Open", 0}, KeyCase{"TabAndShiftTab", "ttTr", "&Open", 0},
        KeyCase{"ReturnWithNothingSelectedEnds", "r", "", 0}, KeyCase{"AltEnds", "A", "", 0},
        KeyCase{"F10Ends", "F", "", 0}, KeyCase{"ReturnOnDisabledDoesNothing", "vvvvre", "", 0}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
