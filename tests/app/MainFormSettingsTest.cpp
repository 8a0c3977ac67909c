// Settings put into the main window's controls when it is created, and taken
// back from them when it is destroyed; the stand-ins for bars, docks and
// splitters behind their interfaces.
#include "MainFormTestSupport.h"

#include "app/kit/Kit.h"
#include "app/mainform/MainFormControls.h"
#include "app/options/Settings.h"
#include "console/QvConsole.h"

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QToolBar>
#include <QWheelEvent>
#include <QWidget>

namespace mainformtest {
namespace {

// Shows the window at a size and returns the main splitter's height.
int LayOut(TMainForm& f, int width, int height) {
    f.show();
    f.setWindowState(Qt::WindowNoState);
    f.resize(width, height);
    ProcessPosted();
    return f.MainSplitter->Height();
}

TEST_F(MainFormTest, SplitterValuesAreDistancesOfTheBarFromTheBottom) {
    plat::Registry::Key root = StoredRoot();
    root.WriteInteger(QStringLiteral("MainSplitterPosition"), 76);
    root.WriteInteger(QStringLiteral("GroupSplitterPosition"), 150);
    TMainForm& f = Create();

    // The lower pane keeps its height whatever the window does.
    for (const int height : {500, 700, 420}) {
        const int splitter = LayOut(f, 800, height);
        EXPECT_EQ(f.MainSplitter->Position(), splitter - 76) << height;
    }
    f.MainSplitter->Widget()->resize(f.MainSplitter->Widget()->width(), 427);
    EXPECT_EQ(f.MainSplitter->Position(), 351);
    EXPECT_EQ(f.GroupSplitter->Height() - f.GroupSplitter->Position(), 150);

    // A bar the user moved is saved as its new distance.
    LayOut(f, 800, 600);
    f.MainSplitter->SetPosition(f.MainSplitter->Height() - 200);
    const auto saved = DestroyAndReload();
    const auto root2 = saved->OpenKey({}, false);
    EXPECT_EQ(root2->ReadInteger(QStringLiteral("MainSplitterPosition")), 200);
    EXPECT_EQ(root2->ReadInteger(QStringLiteral("GroupSplitterPosition")), 150);
}

TEST_F(MainFormTest, FontsAndColoursGoToTheirControlsAndComeBackUnchanged) {
    plat::Registry::Key root = StoredRoot();
    root.WriteInteger(QStringLiteral("OutputMemo_FontCharSet"), 0);
    root.WriteString(QStringLiteral("OutputMemo_FontName"), QStringLiteral("DejaVu Sans"));
    root.WriteInteger(QStringLiteral("OutputMemo_FontSize"), 11);
    root.WriteBool(QStringLiteral("OutputMemo_FontBold"), true);
    root.WriteInteger(QStringLiteral("OutputMemo_FontColor"), 0x008000);
    root.WriteInteger(QStringLiteral("OutputMemo_Color"), 0x000000);
    root.WriteBool(QStringLiteral("InputEdit_FontItalic"), true);
    root.WriteInteger(QStringLiteral("InputEdit_Color"), 0xC0FFFF);
    root.WriteInteger(QStringLiteral("GroupsTreeView_FontSize"), -13);
    root.WriteInteger(QStringLiteral("LineSpacing"), 4);
    root.WriteBool(QStringLiteral("SmoothScrolling"), true);
    TMainForm& f = Create();

    const plat::ColoredFont& memo = f.OutputMemo->Font();
    EXPECT_EQ(memo.font.family(), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(memo.font.pointSize(), 11);
    EXPECT_EQ(memo.color, 0x008000);
    EXPECT_EQ(f.OutputMemo->Color(), 0x000000);
    EXPECT_EQ(f.OutputMemo->LineSpacing(), 4);
    EXPECT_TRUE(f.OutputMemo->Scrolling().SmoothScrolling());
    // Links: the console font in blue; hovering underlines.
    EXPECT_EQ(f.OutputMemo->Links().Font().color, plat::clBlue);
    EXPECT_TRUE(f.OutputMemo->Links().Font().font.bold());
    EXPECT_TRUE(f.OutputMemo->Links().HoverFont().font.underline());
    EXPECT_EQ(f.GroupsTreeView->Font().font.pixelSize(), 13);
    // The input line's colour is shared by the panels around it; the target
    // label takes the input font in blue.
    EXPECT_EQ(f.TargetPanel->palette().color(QPalette::Window), plat::ToQColor(0xC0FFFF));
    EXPECT_EQ(f.RefListView->palette().color(QPalette::Base), plat::ToQColor(0xC0FFFF));
    EXPECT_TRUE(f.TargetLabel->font().italic());
    EXPECT_EQ(f.TargetLabel->palette().color(QPalette::WindowText), plat::ToQColor(plat::clBlue));

    const auto reloaded = DestroyAndReload();
    // Everything comes back as stored: the character set Qt fonts do not
    // have, a size in pixels, and system colours as system colours.
    const TMainSettings back = LoadSettings(*reloaded);
    EXPECT_EQ(back.OutputMemo.Font,
              (TFontSettings{0, 0x008000, QStringLiteral("DejaVu Sans"), 11, true}));
    EXPECT_EQ(back.OutputMemo.Color, 0x000000);
    EXPECT_EQ(back.GroupsTreeView.Font.Size, -13);
    EXPECT_TRUE(back.InputEdit.Font.Italic);
    EXPECT_EQ(back.FriendsTreeView, TControlSettings{});
    EXPECT_EQ(back.LineSpacing, 4);
    EXPECT_TRUE(back.SmoothScrolling);
}

TEST_F(MainFormTest, VisibilityOfBarsAndPanelsIsKept) {
    StoredRoot().WriteBool(QStringLiteral("StatusBarVisible"), false);
    StoredRoot().WriteBool(QStringLiteral("GroupPanelVisible"), false);
    TMainForm& f = Create();
    EXPECT_FALSE(f.StatusBar->Visible());
    EXPECT_FALSE(f.GroupDockablePanel->Visible());

    f.StatusBar->SetVisible(true);
    f.EditBar->SetVisible(false);
    const auto saved = DestroyAndReload();
    const auto root = saved->OpenKey({}, false);
    EXPECT_EQ(root->ReadBool(QStringLiteral("StatusBarVisible")), true);
    EXPECT_EQ(root->ReadBool(QStringLiteral("GroupPanelVisible")), false);
    ASSERT_TRUE(saved->KeyExists({"MainForm", "Toolbars"}));

    // The tool bar positions, a hidden bar among them, come back.
    TMainForm& again = Create();
    EXPECT_FALSE(again.EditBar->Visible());
    EXPECT_TRUE(again.StandardBar->Visible());
}

TEST_F(MainFormTest, WindowOpensMaximizedUntilAPlacementIsStored) {
    TMainForm& f = Create();
    EXPECT_TRUE(f.windowState().testFlag(Qt::WindowMaximized));
    f.setWindowState(Qt::WindowNoState);
    f.resize(640, 420);
    DestroyAndReload();

    TMainForm& again = Create();
    EXPECT_FALSE(again.windowState().testFlag(Qt::WindowMaximized));
    EXPECT_EQ(again.size(), QSize(640, 420));
}

TEST_F(MainFormTest, WheelOverTheConsoleScrollsByTheFontSize) {
    StoredRoot().WriteInteger(QStringLiteral("OutputMemo_FontSize"), 10);
    TMainForm& f = Create();
    ASSERT_EQ(f.WheelScrollAmount(), (10 + 4) * 3 + 2);
    LayOut(f, 800, 600);
    f.show();
    f.EnableChatControls();
    for (int i = 0; i < 200; ++i) {
        f.AddConsoleLine(QStringLiteral("line %1").arg(i), plat::clBlack, false);
    }
    QWidget* client = f.OutputMemo->viewport();
    auto wheel = [&](int delta) {
        const QPointF pos(client->width() / 2.0, client->height() / 2.0);
        QWheelEvent event(pos, client->mapToGlobal(pos), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(client, &event);
    };
    ASSERT_EQ(f.OutputMemo->ScrollPosition(), 0);
    wheel(120);
    wheel(120);
    EXPECT_EQ(f.OutputMemo->ScrollPosition(), 2 * 44);
    wheel(-120);
    EXPECT_EQ(f.OutputMemo->ScrollPosition(), 44);
}

// A stand-in panel whose dock height the test chooses.
class FakePanel : public kit::IDockablePanel {
public:
    QWidget* Widget() override { return nullptr; }
    QString Caption() const override { return {}; }
    bool Visible() const override { return true; }
    void SetVisible(bool) override {}
    bool Floating() const override { return false; }
    void SetFloating(bool) override {}
    int Height() const override { return height; }
    void SetHeight(int value) override { height = value; }
    int LastDockHeight() const override { return dock; }

    int height = 0;
    int dock = 0;
};

TEST_F(MainFormTest, FloatingPanelTakesFiveSixthsOfItsDock) {
    TMainForm& f = Create();
    FakePanel panel;
    for (const auto& [dock, expected] :
         std::initializer_list<std::pair<int, int>>{{600, 500}, {603, 502}, {609, 508}, {5, 4}}) {
        panel.dock = dock;
        panel.height = -1;
        f.GroupDockablePanelDockChanging(&panel, true);
        EXPECT_EQ(panel.height, expected) << dock;
    }
    panel.height = -1;
    f.GroupDockablePanelDockChanging(&panel, false);
    EXPECT_EQ(panel.height, -1);

    // The real panel floats with that height.
    LayOut(f, 900, 700);
    f.show();
    const int dock = f.GroupDockablePanel->LastDockHeight();
    ASSERT_GT(dock, 100);
    f.GroupDockablePanel->SetFloating(true);
    EXPECT_TRUE(f.GroupDockablePanel->Floating());
    EXPECT_EQ(f.GroupDockablePanel->Height(), static_cast<int>(std::nearbyint(dock * 5.0 / 6.0)));
}

TEST_F(MainFormTest, ClosingBarsAndPanelsIsReportedButHidingIsNot) {
    TMainForm& f = Create();
    f.show();
    QStringList closed;
    f.GroupDockablePanel->OnClose = [&](kit::IDockablePanel*) { closed << "panel"; };
    f.StandardBar->OnClose = [&](kit::IToolbar*) { closed << "standard"; };
    f.GroupDockablePanel->SetVisible(false);
    f.GroupDockablePanel->SetVisible(true);
    f.StandardBar->SetVisible(false);
    EXPECT_TRUE(closed.isEmpty());

    f.GroupDockablePanel->Widget()->close();
    auto* standard = qobject_cast<QToolBar*>(f.StandardBar->Widget());
    ASSERT_NE(standard, nullptr);
    standard->setVisible(true);
    standard->toggleViewAction()->trigger();
    EXPECT_EQ(closed, (QStringList{"panel", "standard"}));
    EXPECT_FALSE(f.GroupDockablePanel->Visible());
    EXPECT_FALSE(f.StandardBar->Visible());
}

TEST_F(MainFormTest, StatusBarHasTwoFixedPanelsAndOneThatStretches) {
    TMainForm& f = Create();
    LayOut(f, 800, 600);
    const auto labels = f.StatusBar->Widget()->findChildren<QLabel*>();
    ASSERT_EQ(labels.size(), 3);
    EXPECT_EQ(labels[0]->width(), 150);
    EXPECT_EQ(labels[1]->width(), 75);
    EXPECT_GT(labels[2]->width(), 300);
    f.StatusBar->SetPanelText(1, QStringLiteral("Ostrelian"));
    EXPECT_EQ(labels[1]->text(), QStringLiteral("Ostrelian"));
}

} // namespace
} // namespace mainformtest
