// What assistive technology sees of the friends and groups trees: the shown
// rows as tree items with their texts, states and places, the same rows as a
// table of one column, the rows after buddies change status, come and go,
// and the events when the current node and the selection change.
//
// Under the offscreen platform Qt's accessibility layer never becomes active
// (QAccessible::setActive does not change QAccessible::isActive there), so a
// listener of the test stands in for assistive technology.
#include "WaitUntil.h"

#include "app/mainform/FriendsGroupsTrees.h"
#include "app/mainform/TreeView.h"
#include "app/mainform/TreeViewAccessible.h"

#include <QAccessible>
#include <QApplication>
#include <QHash>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace {

class TreeViewAccessibleTest : public ::testing::Test {
protected:
    void SetUp() override {
        TTreeViewAccessible::SetListener([this](QAccessibleEvent* event) { Heard(event); });
        for (const char* name : {"ann", "Bob", "cy", "-dan", "-eve"}) {
            trees.AddFriend(QLatin1String(name).mid(name[0] == '-'), name[0] != '-', true);
        }
        friends.resize(240, 400);
        friends.show();
        tree = QAccessible::queryAccessibleInterface(&friends);
        ASSERT_NE(tree, nullptr);
    }
    void TearDown() override { TTreeViewAccessible::SetListener({}); }

    // As Qt's accessibility layer does, the event's row is found through
    // the view's interface.
    void Heard(QAccessibleEvent* event) {
        const char* type = event->type() == QAccessible::Focus          ? "focus"
                           : event->type() == QAccessible::SelectionAdd ? "select"
                                                                        : "deselect";
        QAccessibleInterface* row = event->accessibleInterface();
        heard << QLatin1String(type) + u' ' + row->text(QAccessible::Name);
        heardIds[heard.last()] = QAccessible::uniqueId(row);
    }

    // The rows as assistive technology reads them ("Bob selected focused"),
    // each checked against what the view shows at its row.
    QStringList Walk() const {
        QStringList rows;
        QAccessibleTableInterface* table = tree->tableInterface();
        EXPECT_EQ(tree->childCount(), friends.RowCount());
        const QPoint top = friends.viewport()->mapToGlobal(QPoint(0, 0));
        const int height = friends.RowHeight();
        QList<int> selected;
        for (int i = 0; i < tree->childCount(); ++i) {
            QAccessibleInterface* row = tree->child(i);
            if (!row) {
                ADD_FAILURE() << "no row " << i;
                continue;
            }
            const QAccessible::State state = row->state();
            EXPECT_EQ(row->role(), QAccessible::TreeItem);
            EXPECT_EQ(tree->indexOfChild(row), i);
            EXPECT_EQ(row->tableCellInterface()->rowIndex(), i);
            const QRect rect = row->rect();
            EXPECT_EQ(rect.top(), top.y() + i * height - friends.verticalScrollBar()->value());
            if (!state.invisible) {
                EXPECT_EQ(tree->childAt(rect.center().x(), rect.center().y()), row) << i;
            }
            const std::pair<bool, const char*> flags[] = {
                {state.expandable, "expandable"}, {state.expanded, "open"},
                {state.collapsed, "closed"},      {state.selected, "selected"},
                {state.focused, "focused"},       {state.invisible, "hidden"}};
            QString text = row->text(QAccessible::Name);
            for (const auto& [on, name] : flags) {
                text += on ? u' ' + QLatin1String(name) : QString();
            }
            rows << text;
            selected << (state.selected ? QList<int>{i} : QList<int>());
        }
        EXPECT_EQ(table->selectedRows(), selected);
        return rows;
    }

    TTreeView friends;
    TTreeView groups;
    TFriendsGroupsTrees trees{friends, groups};
    QAccessibleInterface* tree = nullptr;
    QStringList heard;                        // since it was last emptied
    QHash<QString, QAccessible::Id> heardIds; // the rows heard, by what was heard
};

const char* const kOnline = "Online Friends expandable open";
const char* const kOfflineClosed = "Offline Friends expandable closed";
const char* const kOfflineOpen = "Offline Friends expandable open";

// Changes one after another, and the rows read after each.
TEST_F(TreeViewAccessibleTest, RowsReadAsTheViewShowsThemThroughChanges) {
    const struct {
        const char* What;
        std::function<void()> Change;
        QStringList Rows;
    } steps[] = {
        {"Bob selected",
         [&] { friends.SelectNode(trees.FriendNode(QStringLiteral("Bob"))); },
         {kOnline, "ann", "Bob selected focused", "cy", kOfflineClosed, "Unknown"}},
        {"the offline friends opened",
         [&] { friends.SetExpanded(trees.OfflineFriendsNode(), true); },
         {kOnline, "ann", "Bob selected focused", "cy", kOfflineOpen, "dan", "eve", "Unknown"}},
        {"Bob goes offline, still selected; ann is removed",
         [&] {
             trees.AddFriend(QStringLiteral("Bob"), false, true);
             trees.RemoveFriend(QStringLiteral("ann"));
         },
         {kOnline, "cy", kOfflineOpen, "Bob selected focused", "dan", "eve", "Unknown"}},
        {"scrolled two rows down in a view of four rows",
         [&] {
             friends.resize(240, 4 * friends.RowHeight() + 2 * friends.frameWidth());
             friends.Refresh();
             friends.verticalScrollBar()->setValue(2 * friends.RowHeight());
         },
         {kOnline + QStringLiteral(" hidden"), "cy hidden", kOfflineOpen, "Bob selected focused",
          "dan", "eve", "Unknown hidden"}},
        {"the offline friends closed over the selected Bob",
         [&] {
             friends.SetExpanded(trees.OfflineFriendsNode(), false);
             friends.verticalScrollBar()->setValue(0);
         },
         {kOnline, "cy", kOfflineClosed, "Unknown"}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.What);
        step.Change();
        EXPECT_EQ(Walk(), step.Rows);
    }
}

// A buddy keeps its row's interface when it moves; the interfaces of
// removed buddies go with them. The table selects as the user does.
TEST_F(TreeViewAccessibleTest, RowInterfacesFollowTheirNodesAndTheTableSelects) {
    // Rows at first: [Online] ann Bob cy [Offline] [Unknown].
    QAccessibleInterface* bob = tree->child(2);
    const QAccessible::Id annId = QAccessible::uniqueId(tree->child(1));
    const QAccessible::Id bobId = QAccessible::uniqueId(bob);
    trees.AddFriend(QStringLiteral("Bob"), false, true);
    EXPECT_EQ(tree->indexOfChild(bob), -1); // in the closed offline root
    EXPECT_TRUE(bob->rect().isNull());
    friends.SetExpanded(trees.OfflineFriendsNode(), true);
    EXPECT_EQ(tree->child(4), bob);
    trees.RemoveFriend(QStringLiteral("ann"));
    EXPECT_EQ(QAccessible::accessibleInterface(annId), nullptr);
    EXPECT_EQ(QAccessible::accessibleInterface(bobId), bob);

    // Rows now: [Online] cy [Offline] Bob dan eve [Unknown].
    QAccessibleTableInterface* table = tree->tableInterface();
    EXPECT_TRUE(table->selectRow(2));
    EXPECT_EQ(friends.SelectedNode(), trees.OfflineFriendsNode());
    EXPECT_EQ(friends.CurrentNode(), trees.OfflineFriendsNode());
    EXPECT_FALSE(table->unselectRow(2));
    bob->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(table->selectedCells(), QList<QAccessibleInterface*>{bob});
    EXPECT_EQ(tree->focusChild(), bob);
    trees.Clear();
    EXPECT_EQ(QAccessible::accessibleInterface(bobId), nullptr);
}

// While the view has the keyboard focus, a new current node is announced
// after its selection; without the focus, only the selection is.
TEST_F(TreeViewAccessibleTest, TheCurrentNodeAndTheSelectionAreAnnounced) {
    friends.activateWindow();
    ASSERT_TRUE(WaitUntil([&] { return QApplication::activeWindow() == &friends; }));
    friends.setFocus();
    const auto node = [&](const char* name) { return trees.FriendNode(QLatin1String(name)); };
    const struct {
        const char* What;
        std::function<void()> Change;
        QStringList Heard;
    } steps[] = {
        {"ann selected", [&] { friends.SelectNode(node("ann")); }, {"select ann", "focus ann"}},
        {"a key down",
         [&] { QTest::keyClick(&friends, Qt::Key_Down); },
         {"select Bob", "deselect ann", "focus Bob"}},
        // Selected while its root is still closed: the focus names it once
        // the root opened.
        {"dan in the closed offline root",
         [&] { friends.SelectNode(node("dan")); },
         {"deselect Bob", "focus dan"}},
        {"dan removed: the next buddy takes his place",
         [&] { trees.RemoveFriend(QStringLiteral("dan")); },
         {"select eve", "deselect dan", "focus eve"}},
        {"cy selected without the focus",
         [&] {
             friends.clearFocus();
             friends.SelectNode(node("cy"));
         },
         {"select cy", "deselect eve"}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.What);
        heard.clear();
        step.Change();
        EXPECT_EQ(heard, step.Heard);
    }
    // The row announced for the removed buddy went with him.
    ASSERT_TRUE(heardIds.contains(QStringLiteral("deselect dan")));
    EXPECT_EQ(QAccessible::accessibleInterface(heardIds[QStringLiteral("deselect dan")]), nullptr);
}

} // namespace
