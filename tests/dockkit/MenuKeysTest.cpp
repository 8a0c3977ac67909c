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
    const char* keys; // letters type themselves; see Press() for the rest
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

// "v" Down, "^" Up, "<" Home, ">" End, "t" Tab, "T" Shift+Tab, "r" Return,
// "e" Escape, "A" Alt, "F" F10, "R" Right, "L" Left; a character after "'"
// types it.
std::vector<std::function<void()>> KeySteps(const char* keys) {
    std::vector<std::function<void()>> steps;
    const auto key = [&](int k, Qt::KeyboardModifiers m = Qt::NoModifier, QString text = {}) {
        steps.emplace_back([=] { SendKey(k, m, text); });
    };
    while (*keys != 0) {
        switch (const char k = *keys++) {
        case 'v':
            key(Qt::Key_Down);
            break;
        case '^':
            key(Qt::Key_Up);
            break;
        case '<':
            key(Qt::Key_Home);
            break;
        case '>':
            key(Qt::Key_End);
            break;
        case 't':
            key(Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
            break;
        case 'T':
            key(Qt::Key_Backtab, Qt::ShiftModifier);
            break;
        case 'r':
            key(Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
            break;
        case 'e':
            key(Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1b"));
            break;
        case 'A':
            key(Qt::Key_Alt, Qt::AltModifier);
            break;
        case 'F':
            key(Qt::Key_F10);
            break;
        case 'R':
            key(Qt::Key_Right);
            break;
        case 'L':
            key(Qt::Key_Left);
            break;
        case '\'':
            steps.emplace_back([ch = QChar::fromLatin1(*keys++)] { TypeChar(ch); });
            break;
        default:
            ADD_FAILURE() << "unknown key " << k;
        }
    }
    return steps;
}

TEST_P(MenuKeys, ChooseWhatTheKeysSelect) {
    const KeyCase& c = GetParam();
    for (auto& step : KeySteps(c.keys)) {
        script_.Then(step);
    }
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
