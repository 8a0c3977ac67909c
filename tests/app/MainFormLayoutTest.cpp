// How the main window and the away viewer lie on the screen: the splitters
// between console and input line and between the trees, the framed panels,
// and the placement of both windows kept from one run to the next.
#include "GoldenRows.h"
#include "MainFormTestSupport.h"
#include "PlatformFakes.h"

#include "app/away/AwayMessagesForm.h"
#include "app/mainform/MainFormControls.h"
#include "console/QvConsole/QvConsole.h"
#include "controls/StateSaver.h"

#include <QAction>
#include <QLabel>
#include <QPointer>

#include <functional>
#include <vector>

namespace mainformtest {
namespace {

using plat::TRect;

// The distance of the bar from the splitter's bottom, as the settings keep it.
int Distance(const TQvSplitter& splitter) {
    return splitter.height() - splitter.Position();
}

// A row of layout/splitter-bars.txt.
using BarRow = QList<QByteArray>;

class SplitterBarTest : public MainFormTest, public ::testing::WithParamInterface<BarRow> {};

// The lower pane keeps its height when the window is resized, gives way only
// while the window has no room for it and has it back afterwards.
TEST_P(SplitterBarTest, KeepsItsDistanceFromTheBottom) {
    const BarRow& row = GetParam();
    const int stored = row[3].toInt();
    StoredRoot().WriteInteger(QString::fromLatin1(row[1]), stored);
    TMainForm& f = Create();
    const TQvSplitter& splitter = row[2] == "MainSplitter" ? *f.MainSplitter : *f.GroupSplitter;
    for (const QByteArray& step : row[4].split(' ')) {
        const int height = step.split(':')[0].toInt();
        const int distance = step.split(':')[1].toInt();
        LayOut(f, 800, height);
        if (distance > 0) {
            EXPECT_EQ(Distance(splitter), distance) << height;
            EXPECT_EQ(splitter.LowerRight()->height(), distance - 3) << height;
        } else if (distance < 0) {
            EXPECT_EQ(splitter.UpperLeft()->height(), -distance) << height;
        } else {
            EXPECT_LT(Distance(splitter), stored) << height;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Window, SplitterBarTest,
                         ::testing::ValuesIn(GoldenRows("layout/splitter-bars.txt", 5)),
                         [](const auto& info) { return info.param[0].toStdString(); });

TEST_F(MainFormTest, PanelsFrameTheConsoleTheInputLineAndTheTrees) {
    StoredRoot().WriteInteger(QStringLiteral("InputEdit_Color"), 0xC0FFFF);
    TMainForm& f = Create();
    LayOut(f, 800, 600);
    f.EnableChatControls();
    f.SetTargetLabel(QStringLiteral("Bob:"));
    ProcessPosted();
    struct Holds {
        QWidget* content;
        TQvPanel* panel;
        TQvSplitterPane* pane;
    };
    for (const Holds& h : {Holds{f.OutputMemo, f.QvPanel1, f.MainSplitter->UpperLeft()},
                           Holds{f.InputEdit, f.InputPanel, f.MainSplitter->LowerRight()},
                           Holds{f.FriendsTreeView, f.QvPanel2, f.GroupSplitter->UpperLeft()},
                           Holds{f.GroupsTreeView, f.QvPanel3, f.GroupSplitter->LowerRight()}}) {
        const std::string name = h.panel->objectName().toStdString();
        EXPECT_EQ(h.content->parentWidget(), h.panel) << name;
        EXPECT_EQ(h.panel->parentWidget(), h.pane) << name;
        // A sunken line round it: shadow left and top, highlight right and bottom.
        const QImage image = h.panel->grab().toImage();
        EXPECT_EQ(image.pixelColor(0, image.height() / 2), QColor(0x80, 0x80, 0x80)) << name;
        EXPECT_EQ(image.pixelColor(image.width() / 2, 0), QColor(0x80, 0x80, 0x80)) << name;
        EXPECT_EQ(image.pixelColor(image.width() - 1, image.height() / 2), QColor(Qt::white))
            << name;
        if (h.panel != f.InputPanel) { // the target label is left of the input line
            EXPECT_EQ(h.content->geometry(), h.panel->rect().adjusted(1, 1, -1, -1)) << name;
        }
    }
    // The target panel paints the input line's colour itself.
    EXPECT_EQ(f.TargetPanel->parentWidget(), f.InputPanel);
    EXPECT_EQ(f.TargetPanel->grab().toImage().pixelColor(0, 2), plat::ToQColor(0xC0FFFF));
    EXPECT_EQ(f.InputPanel->Color(), 0xC0FFFF);
}

// --- placement ---------------------------------------------------------------------

// A work area of 1920 x 1040; the window's design size is 760 x 540.
class PlacementTest : public MainFormTest {
protected:
    plat::Registry::Key Position(const char* form = "MainForm") {
        return *Stored().OpenKey({QString::fromLatin1(form), QStringLiteral("Position")}, true);
    }
    static QRect Bounds(const QWidget& w) { return QRect(w.pos(), w.size()); }
    static bool Maximized(const QWidget& w) {
        return w.windowState().testFlag(Qt::WindowMaximized);
    }

    FakeScreens screens{{{TRect(0, 0, 1920, 1080), TRect(0, 0, 1920, 1040)}}};
};

TEST_F(PlacementTest, WindowOpensWhereItWasStored) {
    for (const auto& row : GoldenRows("layout/placements.txt", 7)) {
        SCOPED_TRACE(row[0].constData());
        Stored().DeleteKey({QStringLiteral("MainForm")});
        plat::Registry::Key key = Position();
        for (const QByteArray& value : row[1].split(' ')) {
            const QString name = QString::fromLatin1(value.left(value.indexOf('=')));
            const QByteArray stored = value.mid(value.indexOf('=') + 1);
            if (stored.startsWith("bin:")) {
                key.WriteBinary(name, stored.mid(4));
            } else if (!name.isEmpty()) {
                key.WriteString(name, QString::fromLatin1(stored));
            }
        }
        const TMainForm& f = Create();
        EXPECT_EQ(Maximized(f), row[2] == "1");
        EXPECT_EQ(f.size(), QSize(row[3].toInt(), row[4].toInt()));
        EXPECT_EQ(QPoint(row[5] == "-1" ? -1 : f.x(), row[6] == "-1" ? -1 : f.y()),
                  QPoint(row[5].toInt(), row[6].toInt()));
        form.reset(); // never shown: nothing stored
    }
}

TEST_F(PlacementTest, ClosingStoresThePlacement) {
    TMainForm& f = Create();
    f.show();
    f.setWindowState(Qt::WindowNoState);
    f.move(30, 40);
    f.resize(640, 420);
    ProcessPosted();
    const QRect shown = Bounds(f);
    std::unique_ptr<plat::Registry> store = DestroyAndReload();
    auto key = store->OpenKey({QStringLiteral("MainForm"), QStringLiteral("Position")}, false);
    ASSERT_TRUE(key);
    EXPECT_EQ(QRect(*key->ReadInteger("Left"), *key->ReadInteger("Top"), *key->ReadInteger("Width"),
                    *key->ReadInteger("Height")),
              shown);
    EXPECT_EQ(key->ReadBool("Maximized"), false);

    // Closed maximized: only that is stored, the bounds stay for restoring.
    TMainForm& again = Create();
    EXPECT_EQ(Bounds(again), shown);
    again.show();
    again.setWindowState(Qt::WindowMaximized);
    ProcessPosted();
    again.close();
    store = DestroyAndReload();
    key = store->OpenKey({QStringLiteral("MainForm"), QStringLiteral("Position")}, false);
    EXPECT_EQ(key->ReadBool("Maximized"), true);
    EXPECT_EQ(key->ReadInteger("Width"), shown.width());
    EXPECT_EQ(key->ReadInteger("Top"), shown.top());
}

TEST_F(PlacementTest, AwayViewerKeepsItsOwnPlacement) {
    const auto viewer = [&] {
        return form->findChild<TAwayMessagesForm*>("AwayMessagesForm", Qt::FindDirectChildrenOnly);
    };
    const auto open = [&] {
        form->AddAwayMessage("Bob", "hi");
        form->AwayMessagesAction->trigger();
        return QPointer<TAwayMessagesForm>(viewer());
    };
    Create();
    QPointer<TAwayMessagesForm> first = open();
    ASSERT_TRUE(first);
    EXPECT_TRUE(Maximized(*first)); // nothing stored yet
    first->setWindowState(Qt::WindowNoState);
    first->move(100, 120);
    first->resize(420, 300);
    ProcessPosted();
    const QRect shown = Bounds(*first);
    first->CloseAction->trigger();
    ProcessPosted();
    EXPECT_TRUE(first.isNull());

    // Opened again in this run, and in the next one.
    QPointer<TAwayMessagesForm> second = open();
    EXPECT_FALSE(Maximized(*second));
    EXPECT_EQ(Bounds(*second), shown);
    const std::unique_ptr<plat::Registry> store = DestroyAndReload();
    const auto key =
        store->OpenKey({QStringLiteral("MessagesForm"), QStringLiteral("Position")}, false);
    ASSERT_TRUE(key);
    EXPECT_EQ(key->ReadInteger("Width"), 420);
    EXPECT_EQ(key->ReadBool("Maximized"), false);
    // The main window's placement is its own.
    EXPECT_FALSE(store->KeyExists({"MainForm", "Position"}));
}

} // namespace
} // namespace mainformtest
