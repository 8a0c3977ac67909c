// The friends and groups trees' view under many changes: the rows it shows
// and paints, what it keeps (order, images, expansion, selection) through a
// burst of changes, what it paints again afterwards, and its keys and clicks.
#include "MainFormTestSupport.h"

#include "app/mainform/FriendsGroupsTrees.h"
#include "app/mainform/MainFormControls.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <map>
#include <random>

namespace {

using mainformtest::Children;
using Trees = TFriendsGroupsTrees;

// What the view shows from its top, row by row: "[caption]" for a root,
// "name:image" for a child.
QStringList ShownRows(const TTreeView& tree) {
    QStringList rows;
    const int height = tree.RowHeight();
    for (int y = height / 2; y < tree.viewport()->height(); y += height) {
        const TTreeNode* node = tree.NodeAt(QPoint(tree.viewport()->width() / 2, y));
        if (!node) {
            break;
        }
        rows << (node->Parent() ? node->Text() + u':' + QString::number(node->Image())
                                : u'[' + node->Text() + u']');
    }
    return rows;
}

// Counts the paints of a widget.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int Count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        Count += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

class TreeViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (TTreeView* tree : {&friends, &groups}) {
            tree->resize(240, 900);
            tree->show();
        }
    }
    void OpenAll() {
        for (TTreeNode* root :
             {trees.OnlineFriendsNode(), trees.OfflineFriendsNode(), trees.UnknownFriendsNode()}) {
            friends.SetExpanded(root, true);
        }
    }
    TTreeNode* Node(const char* name) const { return trees.FriendNode(QLatin1String(name)); }

    TTreeView friends;
    TTreeView groups;
    TFriendsGroupsTrees trees{friends, groups};
};

// Status changes, removals and names coming back in other letter case, in no
// order: each root holds and shows what a sorted list would, every node with
// the image of its status, painted with that image's icon.
TEST_F(TreeViewTest, AStormOfChangesKeepsTheRootsSortedAndTheImagesRight) {
    OpenAll();
    struct Expected {
        QString Name;
        int Root;
        bool Online;
    };
    std::map<QString, Expected> expected; // folded name -> buddy
    std::mt19937 random(5);
    const char* const names[] = {"al",  "Al",  "bo",  "BO",  "cy",  "dee", "Dee",
                                 "eve", "fay", "gus", "hal", "ike", "jo",  "Jo",
                                 "kim", "lu",  "max", "ned", "oz",  "pam"};
    for (int step = 0; step < 4000; ++step) {
        const QString name = QLatin1String(names[random() % std::size(names)]);
        if (random() % 5 == 0) {
            trees.RemoveFriend(name);
            expected.erase(name.toCaseFolded());
            continue;
        }
        const bool online = random() % 2 == 0;
        const bool permanent = random() % 4 != 0;
        trees.AddFriend(name, online, permanent);
        expected[name.toCaseFolded()] = {name, permanent ? (online ? 0 : 1) : 2, online};
    }
    QStringList rows;
    for (int root = 0; root < 3; ++root) {
        rows << u'[' + friends.Root(root)->Text() + u']';
        QStringList children;
        for (const auto& [key, buddy] : expected) {
            if (buddy.Root == root) {
                children << buddy.Name +
                                (buddy.Online ? QStringLiteral(":3") : QStringLiteral(":4"));
            }
        }
        std::sort(children.begin(), children.end(), [](const QString& a, const QString& b) {
            const int order = QString::compare(a, b, Qt::CaseInsensitive);
            return order < 0 || (order == 0 && a < b);
        });
        EXPECT_EQ(Children(friends.Root(root)), children) << root;
        rows += children;
    }
    EXPECT_EQ(ShownRows(friends), rows);

    // The painted icon is the one of the node's image: a green or a grey head.
    const QImage painted = friends.viewport()->grab().toImage();
    int checked = 0;
    for (const auto& [key, buddy] : expected) {
        const QRect icon = friends.NodeIconRect(trees.FriendNode(buddy.Name));
        const QColor head = painted.pixelColor(icon.topLeft() + QPoint(8, 4));
        EXPECT_EQ(head, buddy.Online ? QColor(0x2E, 0xA0, 0x3C) : QColor(0xA0, 0xA0, 0xA0))
            << buddy.Name.toStdString();
        ++checked;
    }
    EXPECT_GT(checked, 5);
}

// One burst, as one event-loop turn hands it over; then what is selected
// and current, and which roots are open.
struct BurstRow {
    const char* What;
    std::vector<const char*> Changes; // "+name" online, "-name" offline, "xname" removed
    const char* Selected;             // text of the selected and current node
    const char* Root;                 // its root
};

void PrintTo(const BurstRow& row, std::ostream* out) {
    *out << row.What;
}

class TreeBurstTest : public TreeViewTest, public ::testing::WithParamInterface<BurstRow> {};

TEST_P(TreeBurstTest, SelectionAndExpansionLastThroughABurst) {
    for (const char* name : {"ada", "kim", "mia", "nia", "zed"}) {
        trees.AddFriend(QLatin1String(name), false, true);
    }
    trees.AddFriend(QStringLiteral("bob"), true, true);
    // The user closed the online friends and opened the offline ones.
    friends.SetExpanded(trees.OnlineFriendsNode(), false);
    friends.SetExpanded(trees.OfflineFriendsNode(), true);
    friends.SelectNode(Node("mia"));
    for (const char* change : GetParam().Changes) {
        const QString name = QLatin1String(change + 1);
        if (change[0] == 'x') {
            trees.RemoveFriend(name);
        } else {
            trees.AddFriend(name, change[0] == '+', true);
        }
    }
    const TTreeNode* selected = friends.SelectedNode();
    ASSERT_NE(selected, nullptr);
    EXPECT_EQ(selected, friends.CurrentNode());
    EXPECT_EQ(selected, Node(GetParam().Selected));
    EXPECT_EQ(selected->Parent()->Text(), QLatin1String(GetParam().Root));
    EXPECT_FALSE(friends.IsExpanded(trees.OnlineFriendsNode()));
    EXPECT_TRUE(friends.IsExpanded(trees.OfflineFriendsNode()));
    EXPECT_FALSE(friends.IsExpanded(trees.UnknownFriendsNode()));
    // Shown and painted after the burst (with sanitizers: nothing of a
    // removed node is touched).
    friends.Refresh();
    const QImage painted = friends.viewport()->grab().toImage();
    const TTreeNode* offline = trees.OfflineFriendsNode();
    int checked = 0;
    for (int i = 0; i < offline->ChildCount(); ++i) {
        if (offline->Child(i) == selected) {
            continue; // drawn blended with the selection
        }
        const QRect icon = friends.NodeIconRect(offline->Child(i));
        EXPECT_EQ(painted.pixelColor(icon.topLeft() + QPoint(8, 4)), QColor(0xA0, 0xA0, 0xA0))
            << "a grey head for " << offline->Child(i)->Text().toStdString();
        ++checked;
    }
    EXPECT_GT(checked, 0);
    const QStringList rows = ShownRows(friends);
    EXPECT_EQ(rows.first(), QStringLiteral("[Online Friends]"));
    EXPECT_EQ(rows.size(), 3 + trees.OfflineFriendsNode()->ChildCount());
}

INSTANTIATE_TEST_SUITE_P(
    Bursts, TreeBurstTest,
    ::testing::Values(BurstRow{"others come before and after",
                               {"-abe", "-lou", "-zoe", "+cy", "-al"},
                               "mia",
                               "Offline Friends"},
                      BurstRow{"neighbours go and come back",
                               {"xkim", "xnia", "-kim", "+ada", "-ada"},
                               "mia",
                               "Offline Friends"},
                      BurstRow{"the selected buddy comes online",
                               {"-abe", "+mia", "-cy"},
                               "mia",
                               "Online Friends"},
                      BurstRow{"the selected buddy goes online and back",
                               {"+mia", "-mia", "-ab"},
                               "mia",
                               "Offline Friends"},
                      // The item view makes the next node current and selected.
                      BurstRow{"the selected buddy is removed mid-burst",
                               {"-abe", "xmia", "-zoe", "+kim"},
                               "nia",
                               "Offline Friends"}),
    [](const ::testing::TestParamInfo<BurstRow>& info) {
        QString name = QLatin1String(info.param.What);
        name.remove(u' ').remove(u'-');
        return name.toStdString();
    });

// The shown rows are painted again when a change reaches them (shifts them,
// or changes one), and not for a change below them or no change at all.
TEST_F(TreeViewTest, OnlyChangesThatReachTheShownRowsPaintThemAgain) {
    friends.resize(240, friends.RowHeight() * 6);
    for (int i = 0; i < 100; ++i) {
        trees.AddFriend(QStringLiteral("b%1").arg(i, 3, 10, QChar(u'0')), true, i % 10 != 9);
    }
    friends.SetExpanded(trees.UnknownFriendsNode(), true);
    const struct {
        const char* Name;
        bool Online;
        bool Permanent;
        int ShownFrom; // the first shown row
        bool Painted;
    } rows[] = {
        {"b050", false, true, 0, false},  // from far below to the closed root
        {"b050", true, true, 0, false},   // and back
        {"b002", false, true, 0, true},   // out of the shown rows
        {"b001", true, false, 0, true},   // out of the shown rows to "Unknown"
        {"b099", false, false, 0, false}, // an image far below
        {"b000", true, true, 0, false},   // no change at all
        {"b0000", true, true, 0, true},   // a new one at the top
        {"b0001", true, true, 20, true},  // a new one above: the shown rows move
        {"b023", false, true, 20, true},  // one of the shown rows goes
        {"b080", false, true, 20, false}, // one below goes
    };
    PaintCounter paints(friends.viewport());
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        friends.Refresh();
        friends.verticalScrollBar()->setValue(row.ShownFrom * friends.RowHeight());
        QApplication::processEvents();
        const int before = paints.Count;
        trees.AddFriend(QLatin1String(row.Name), row.Online, row.Permanent);
        friends.Refresh();
        QApplication::processEvents();
        EXPECT_EQ(paints.Count > before, row.Painted);
        EXPECT_EQ(friends.verticalScrollBar()->maximum(),
                  friends.RowCount() * friends.RowHeight() - friends.viewport()->height());
    }
}

// Wherever the view is scrolled, a point shows the node of its row and a
// node's rectangle holds the points that show it.
TEST_F(TreeViewTest, RowsMapToNodesWhereverTheViewIsScrolled) {
    OpenAll();
    for (int i = 0; i < 60; ++i) {
        trees.AddFriend(QStringLiteral("n%1").arg(i, 2, 10, QChar(u'0')), i % 3 != 0, i % 5 != 0);
    }
    friends.resize(240, friends.RowHeight() * 7 + 3);
    friends.Refresh();
    std::vector<const TTreeNode*> all;
    for (int root = 0; root < 3; ++root) {
        all.push_back(friends.Root(root));
        for (int i = 0; i < friends.Root(root)->ChildCount(); ++i) {
            all.push_back(friends.Root(root)->Child(i));
        }
    }
    ASSERT_EQ(static_cast<int>(all.size()), friends.RowCount());
    const int height = friends.RowHeight();
    for (const int offset : {0, 1, height - 1, 7 * height + 5, 30 * height, 60 * height}) {
        friends.verticalScrollBar()->setValue(offset);
        const int value = friends.verticalScrollBar()->value();
        for (int y = 0; y < friends.viewport()->height(); y += 3) {
            const size_t row = static_cast<size_t>((y + value) / height);
            const TTreeNode* shown = friends.NodeAt(QPoint(30, y));
            ASSERT_EQ(shown, row < all.size() ? all[row] : nullptr) << offset << " " << y;
            if (shown) {
                const QRect rect = friends.NodeRect(shown);
                EXPECT_TRUE(rect.contains(rect.center().x(), y)) << offset << " " << y;
            }
        }
    }
}

// Keys and clicks open and close the roots and move the current node as in
// any tree.
TEST_F(TreeViewTest, KeysAndClicksOpenCloseAndMoveLikeATree) {
    for (const char* name : {"Bob", "bea", "Cara"}) {
        trees.AddFriend(QLatin1String(name), true, true);
    }
    trees.AddFriend(QStringLiteral("Dan"), false, true);
    // Rows at first: [Online] bea Bob Cara [Offline] (Dan, closed) [Unknown].
    const struct {
        Qt::Key Key;
        const char* Current;
        bool OnlineOpen;
        bool OfflineOpen;
    } rows[] = {
        {Qt::Key_Down, "bea", true, false},
        {Qt::Key_End, "Unknown", true, false},
        {Qt::Key_Up, "Offline Friends", true, false},
        {Qt::Key_Right, "Offline Friends", true, true},
        {Qt::Key_Right, "Dan", true, true},
        {Qt::Key_Left, "Offline Friends", true, true},
        {Qt::Key_Left, "Offline Friends", true, false},
        {Qt::Key_Home, "Online Friends", true, false},
        {Qt::Key_Minus, "Online Friends", false, false},
        {Qt::Key_Down, "Offline Friends", false, false},
        {Qt::Key_Plus, "Offline Friends", false, true},
        {Qt::Key_Up, "Online Friends", false, true},
    };
    friends.SelectNode(trees.OnlineFriendsNode());
    for (const auto& row : rows) {
        QTest::keyClick(&friends, row.Key);
        ASSERT_NE(friends.CurrentNode(), nullptr);
        EXPECT_EQ(friends.CurrentNode()->Text(), QLatin1String(row.Current)) << row.Key;
        EXPECT_EQ(friends.IsExpanded(trees.OnlineFriendsNode()), row.OnlineOpen) << row.Key;
        EXPECT_EQ(friends.IsExpanded(trees.OfflineFriendsNode()), row.OfflineOpen) << row.Key;
    }
    // Letters typed together find the next shown node that starts with them;
    // a letter typed again on its own goes on to the next one.
    friends.SetExpanded(trees.OnlineFriendsNode(), true);
    QTest::keyClicks(&friends, QStringLiteral("ca"));
    EXPECT_EQ(friends.CurrentNode(), Node("Cara"));
    const int interval = QApplication::keyboardInputInterval();
    QApplication::setKeyboardInputInterval(0);
    QStringList found;
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(&friends, Qt::Key_B);
        found << friends.CurrentNode()->Text();
    }
    QApplication::setKeyboardInputInterval(interval);
    EXPECT_EQ(found, QStringList({"bea", "Bob", "bea"}));

    // A click on a root's branch opens or closes it without selecting it; a
    // double click on a root does the same.
    QWidget* view = friends.viewport();
    TTreeNode* offline = trees.OfflineFriendsNode();
    const QPoint branch(2, friends.NodeRect(offline).center().y());
    QTest::mouseClick(view, Qt::LeftButton, {}, branch);
    EXPECT_FALSE(friends.IsExpanded(offline));
    EXPECT_EQ(friends.CurrentNode(), Node("bea"));
    const QPoint rootCentre = friends.NodeRect(offline).center();
    QTest::mouseDClick(view, Qt::LeftButton, {}, rootCentre);
    // QTest sends the double click alone and then counts the button as held:
    // the release a real double click ends with lets the next test's mouse
    // moves be moves, not drags.
    QTest::mouseRelease(view, Qt::LeftButton, {}, rootCentre);
    EXPECT_TRUE(friends.IsExpanded(offline));
    EXPECT_EQ(friends.SelectedNode(), offline);
}

// A larger font makes taller rows, and the nodes are found in them.
TEST_F(TreeViewTest, AFontChangeResizesTheRows) {
    trees.AddFriend(QStringLiteral("Bob"), true, true);
    const int before = friends.RowHeight();
    plat::ColoredFont font = friends.Font();
    font.font.setPixelSize(3 * QFontMetrics(font.font).height());
    friends.SetFont(font);
    const int after = friends.RowHeight();
    EXPECT_GT(after, before + QFontMetrics(friends.font()).height() / 2);
    const QRect bob = friends.NodeRect(Node("Bob"));
    EXPECT_EQ(bob.height(), after);
    EXPECT_EQ(bob.top(), after);
    EXPECT_EQ(friends.NodeAt(bob.center()), Node("Bob"));
}

} // namespace
