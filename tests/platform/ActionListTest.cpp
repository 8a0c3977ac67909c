// A form's action list: the first action of a key decides, after its update
// step; a disabled or hidden one leaves the key alone.
#include "platform/gui/ActionList.h"

#include <QAction>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using Result = plat::TActionList::ShortCutResult;

constexpr plat::TShortCut kCtrlY = plat::ShortCut('Y', plat::scCtrl);

struct ListCase {
    const char* Name;
    // Undo (Ctrl+Y) and Redo (Ctrl+Y, then Ctrl+Shift+Z) in this order.
    bool UndoEnabled;
    bool UndoVisible;
    bool RedoEnabled;
    // What the update step does to the action it is given: "" nothing,
    // "enable", "disable", "delete".
    const char* Update;
    plat::TShortCut Key;
    Result Expected;
    // The actions that ran, and the actions the update step was given.
    const char* Ran;
    const char* Updated;
};

void PrintTo(const ListCase& c, std::ostream* os) {
    *os << c.Name;
}

class ActionListKeys : public ::testing::TestWithParam<ListCase> {};

TEST_P(ActionListKeys, TheFirstActionOfTheKeyDecidesOnceUpdated) {
    const ListCase& c = GetParam();
    QWidget form;
    auto* list = new plat::TActionList(&form);
    std::string ran;
    std::string updated;
    const auto make = [&](const char* name, std::initializer_list<QKeySequence> keys) {
        auto* action = new QAction(QString::fromLatin1(name), list);
        action->setShortcuts(QList<QKeySequence>(keys));
        QObject::connect(action, &QAction::triggered, list, [&ran, name] { ran += name; });
        return action;
    };
    QAction* undo = make("Undo", {QKeySequence(Qt::CTRL | Qt::Key_Y)});
    QAction* redo = make("Redo", {QKeySequence(Qt::CTRL | Qt::Key_Y),
                                  QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    undo->setEnabled(c.UndoEnabled);
    undo->setVisible(c.UndoVisible);
    redo->setEnabled(c.RedoEnabled);
    const std::string update = c.Update;
    list->OnUpdate = [&](plat::TActionList* sender, QAction* action) {
        EXPECT_EQ(sender, list);
        updated += action->text().toStdString();
        if (update == "enable") {
            action->setEnabled(true);
        } else if (update == "disable") {
            action->setEnabled(false);
        } else if (update == "delete") {
            delete action;
        }
    };

    EXPECT_EQ(list->HandleShortCut(c.Key), c.Expected);
    EXPECT_EQ(ran, c.Ran);
    EXPECT_EQ(updated, c.Updated);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ActionListKeys,
    ::testing::Values(ListCase{"EnabledRuns", true, true, false, "", kCtrlY, Result::Executed,
                               "Undo", "Undo"},
                      ListCase{"DisabledFirstMatchStopsTheSearch", false, true, true, "", kCtrlY,
                               Result::Disabled, "", "Undo"},
                      ListCase{"HiddenCountsAsDisabled", true, false, true, "", kCtrlY,
                               Result::Disabled, "", "Undo"},
                      ListCase{"UpdateEnablesBeforeTheDecision", false, true, false, "enable",
                               kCtrlY, Result::Executed, "Undo", "Undo"},
                      ListCase{"UpdateDisablesBeforeTheDecision", true, true, false, "disable",
                               kCtrlY, Result::Disabled, "", "Undo"},
                      ListCase{"ActionGoneInTheUpdate", true, true, false, "delete", kCtrlY,
                               Result::Disabled, "", "Undo"},
                      ListCase{"SecondShortCutOfAnAction", false, true, true, "",
                               plat::ShortCut('Z', plat::scCtrl | plat::scShift), Result::Executed,
                               "Redo", "Redo"},
                      ListCase{"KeyOfNoAction", true, true, true, "",
                               plat::ShortCut('Z', plat::scCtrl), Result::NoMatch, "", ""},
                      ListCase{"NoKey", true, true, true, "", 0, Result::NoMatch, "", ""}),
    [](const auto& info) { return std::string(info.param.Name); });

// The keys are looked up for every key typed: an action that comes, goes or
// changes its shortcut counts from the next key on.
TEST(ActionList, ActionsThatComeGoOrChangeTheirShortCutCountAtOnce) {
    QWidget form;
    auto* list = new plat::TActionList(&form);
    auto* copy = new QAction(list);
    copy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    const plat::TShortCut ctrlC = plat::ShortCut('C', plat::scCtrl);
    const plat::TShortCut ctrlK = plat::ShortCut('K', plat::scCtrl);
    EXPECT_EQ(list->FindShortCut(ctrlC), copy);
    copy->setEnabled(false); // no change of keys
    EXPECT_EQ(list->FindShortCut(ctrlC), copy);
    copy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    EXPECT_EQ(list->FindShortCut(ctrlC), nullptr);
    EXPECT_EQ(list->FindShortCut(ctrlK), copy);
    auto* other = new QAction(list);
    other->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    EXPECT_EQ(list->FindShortCut(ctrlC), other);
    delete copy;
    EXPECT_EQ(list->FindShortCut(ctrlK), nullptr);
    EXPECT_EQ(list->FindShortCut(ctrlC), other);
}

TEST(ActionList, ListsOfAFormAreItsOwnInTheOrderTheyWereMade) {
    QWidget form;
    auto* first = new plat::TActionList(&form);
    auto* child = new QWidget(&form);
    new plat::TActionList(child); // a child's list is not the form's
    auto* second = new plat::TActionList(&form);
    EXPECT_EQ(plat::ActionListsOf(&form), (std::vector<plat::TActionList*>{first, second}));
    EXPECT_TRUE(plat::ActionListsOf(nullptr).empty());

    auto* a = new QAction(first);
    new QObject(first); // not an action
    auto* b = new QAction(first);
    EXPECT_EQ(first->Actions(), (QList<QAction*>{a, b}));
    delete a;
    EXPECT_EQ(first->Actions(), QList<QAction*>{b});
}

} // namespace
