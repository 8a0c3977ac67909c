// The main window's creation, its start-up login choice, the paint lock, and
// the settings it puts into its controls and takes back.
#include "GoldenRows.h"
#include "MainFormTestSupport.h"

#include "app/mainform/MainFormControls.h"
#include "console/QvConsole/QvConsole.h"
#include "dockkit/docking/DkDockablePanel.h"
#include "dockkit/docking/DkxDock.h"
#include "dockkit/palettes/DkxColorItem.h"
#include "platform/core/Exception.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QTimer>
#include <QWheelEvent>

namespace mainformtest {
namespace {

TEST_F(MainFormTest, CreationLeavesTheWindowWaitingWithItsWelcomeLine) {
    StoredRoot().WriteInteger(QStringLiteral("OutputMemo_FontColor"), 0x0000FF);
    StoredRoot().WriteBool(QStringLiteral("AutoAway"), true);
    TMainForm& f = Create();
    // No timestamp block, in the console font's colour read from the settings.
    EXPECT_EQ(ConsoleLines(), QStringList{"<font color=\"#FF0000\"><b>Welcome to Vellinor</b>"
                                          "</font><font color=\"clBlue\"><hr></font></font>"});
    for (QWidget* w : std::initializer_list<QWidget*>{f.InputEdit, f.TargetPanel, f.RefListView,
                                                      f.OutputMemo, f.GroupsTreeView}) {
        EXPECT_FALSE(w->isEnabled() && !w->isHidden()) << w->objectName().toStdString();
    }
    EXPECT_FALSE(f.DisconnectAction->isEnabled());
    EXPECT_TRUE(f.AwayTimer->isActive());
    EXPECT_EQ(f.ReceivedAttachments.MaxCount(), f.OutputMemo->Limit());
}

// The built-in dimensions are marked before the user's are loaded, so only
// the user's are written back.
TEST_F(MainFormTest, OnlyUserDimensionsAreStoredAgain) {
    Stored().OpenKey({"Dimensions", "Local"}, true)->WriteString("Host", "127.0.0.1");
    TMainForm& f = Create();
    TDimensionList& list = f.VLChat->DimensionList();
    ASSERT_EQ(list.Count(), 5);
    EXPECT_EQ(list.Items(3)->Tag() * 10 + list.Items(4)->Tag(), 10);
    list.Add(QStringLiteral("Later"), QString(), 7200, QStringLiteral("host"));
    EXPECT_EQ(DestroyAndReload()->OpenKey({"Dimensions"}, false)->SubKeyNames(),
              (QStringList{"Local", "Later"}));
}

// A row of startup/choices.txt.
class StartupChoice : public MainFormTest,
                      public ::testing::WithParamInterface<QList<QByteArray>> {};

TEST_P(StartupChoice, RunsOnceOnTheFirstActivation) {
    const QList<QByteArray>& c = GetParam();
    const QLatin1String dimension(c[1]);
    const QStringList opened = QString::fromLatin1(c[3]).split(u' ', Qt::SkipEmptyParts);
    plat::Registry::Key root = StoredRoot();
    root.WriteInteger(QStringLiteral("OnStartup"), c[0].toInt());
    root.WriteString(QStringLiteral("AutoLoginDimension"), dimension);
    root.WriteString(QStringLiteral("AutoLoginUser"), QLatin1String(c[2]));
    root.WriteBinary(QStringLiteral("AutoLoginPassword"), QByteArray("bdf"));
    Create();
    ShowAndActivate();
    EXPECT_EQ(events, opened);
    if (opened.contains(QStringLiteral("box"))) {
        EXPECT_EQ(boxes.at(0).Kind, plat::MsgKind::Error);
        EXPECT_EQ(boxes.at(0).Text, "Could not auto login to the '" + dimension +
                                        "' Dimension.  The \nspecified Dimension configuration "
                                        "no longer exists in ZELVO.");
    }
    // Cancelled or refused: nothing connects, nothing stays busy.
    EXPECT_EQ(form->VLChat->State(), csDisconnected);
    EXPECT_EQ(TMainForm::BusyCount(), 0);
    EXPECT_TRUE(form->ConnectAction->isEnabled());
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(form.get(), &activate);
    form->hide();
    form->show();
    ProcessPosted();
    EXPECT_EQ(events, opened);
    EXPECT_EQ(DestroyAndReload()->OpenKey({}, false)->ReadInteger(QStringLiteral("OnStartup")),
              c[4].toInt());
}

INSTANTIATE_TEST_SUITE_P(MainFormTest, StartupChoice,
                         ::testing::ValuesIn(GoldenRows("startup/choices.txt", 5)));

TEST_F(MainFormTest, PaintLockNestsAndSurvivesAnException) {
    TMainForm& f = Create();
    {
        TMainForm::TUpdateLock outer(f);
        try {
            TMainForm::TUpdateLock inner(f);
            EXPECT_EQ(TMainForm::UpdateLockCount(), 2);
            throw plat::Exception(QStringLiteral("while locked"));
        } catch (const plat::Exception&) {
        }
        EXPECT_FALSE(f.updatesEnabled());
    }
    EXPECT_TRUE(f.updatesEnabled());
    EXPECT_EQ(TMainForm::UpdateLockCount(), 0);
}

// A bar the user moved is saved as its new distance from the bottom.
TEST_F(MainFormTest, AMovedSplitterBarIsSavedAsItsDistanceFromTheBottom) {
    StoredRoot().WriteInteger(QStringLiteral("GroupSplitterPosition"), 150);
    TMainForm& f = Create();
    f.MainSplitter->SetPosition(LayOut(f, 800, 600) - 200);
    const TMainSettings saved = LoadSettings(*DestroyAndReload());
    EXPECT_EQ(saved.MainSplitterPosition, 200);
    EXPECT_EQ(saved.GroupSplitterPosition, 150);
}

TEST_F(MainFormTest, SettingsGoIntoTheControlsAndComeBackUnchanged) {
    TMainSettings stored = ChangedSettings();
    stored.GroupPanelVisible = true; // the splitters keep their heights
    stored.OutputMemo.Font.Size = -13;
    stored.InputEdit.Color = 0xC0FFFF;
    ::SaveSettings(Stored(), stored);
    TMainForm& f = Create();
    const plat::ColoredFont& memo = f.OutputMemo->Font();
    EXPECT_EQ(memo.font.family() + QString::number(memo.font.pixelSize()), "Font 313");
    EXPECT_EQ(memo.color, stored.OutputMemo.Font.Color);
    EXPECT_EQ(f.OutputMemo->Color(), stored.OutputMemo.Color);
    EXPECT_EQ(f.OutputMemo->LineSpacing(), 100);
    EXPECT_TRUE(f.OutputMemo->Scrolling().SmoothScrolling());
    // Links: the console font in blue; hovering flips the underline.
    EXPECT_EQ(f.OutputMemo->Links().Font().color, plat::clBlue);
    EXPECT_TRUE(f.OutputMemo->Links().Font().font.bold());
    EXPECT_FALSE(f.OutputMemo->Links().HoverFont().font.underline());
    EXPECT_EQ(f.GroupsTreeView->Color(), stored.GroupsTreeView.Color);
    // The input line's colour is shared by the panels around it; the target
    // label takes the input font in blue.
    EXPECT_EQ(f.TargetPanel->palette().color(QPalette::Window), plat::ToQColor(0xC0FFFF));
    EXPECT_EQ(f.RefListView->palette().color(QPalette::Base), plat::ToQColor(0xC0FFFF));
    EXPECT_TRUE(f.TargetLabel->font().italic());
    EXPECT_EQ(f.TargetLabel->palette().color(QPalette::WindowText), plat::ToQColor(plat::clBlue));
    EXPECT_EQ(f.ClrDefault->Color(), stored.InputEdit.Font.Color);
    // Everything comes back as stored: the character set Qt fonts do not
    // have, a size in pixels, and system colours as system colours.
    TMainSettings back = LoadSettings(*DestroyAndReload());
    back.GroupSplitterPosition = stored.GroupSplitterPosition;
    back.MainSplitterPosition = stored.MainSplitterPosition;
    EXPECT_EQ(back, stored);
}

TEST_F(MainFormTest, WheelOverTheConsoleScrollsByTheFontSize) {
    StoredRoot().WriteInteger(QStringLiteral("OutputMemo_FontSize"), 10);
    TMainForm& f = Create();
    LayOut(f, 800, 600);
    f.EnableChatControls();
    for (int i = 0; i < 200; ++i) {
        f.AddConsoleLine(QStringLiteral("line %1").arg(i), plat::clBlack, false);
    }
    QWidget* client = f.OutputMemo->viewport();
    for (const int delta : {120, 120, 120, -120}) {
        const QPointF pos(client->width() / 2.0, client->height() / 2.0);
        QWheelEvent event(pos, client->mapToGlobal(pos), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(client, &event);
    }
    EXPECT_EQ(f.OutputMemo->ScrollPosition(), 2 * ((10 + 4) * 3 + 2));
}

// Halves round to even; docking changes nothing.
TEST_F(MainFormTest, FloatingPanelTakesFiveSixthsOfItsDock) {
    TMainForm& f = Create();
    QWidget site;
    auto* dock = new TDkxDock(&site, dpRight);
    auto* panel = new TDkxDockablePanel(&site);
    panel->SetCurrentDock(dock);
    const int kept = panel->FloatingClientSize().height();
    dock->resize(dock->width(), 600);
    // A form not shown yet (its stored positions being applied at start):
    // the dock has no height to give and the panel keeps its own.
    f.GroupDockablePanelDockChanging(panel, true, nullptr);
    EXPECT_EQ(panel->FloatingClientSize().height(), kept);
    site.show();
    f.GroupDockablePanelDockChanging(panel, false, dock);
    EXPECT_EQ(panel->FloatingClientSize().height(), kept);
    for (const auto& [height, expected] :
         std::initializer_list<std::pair<int, int>>{{600, 500}, {603, 502}, {609, 508}}) {
        dock->resize(dock->width(), height);
        f.GroupDockablePanelDockChanging(panel, true, nullptr);
        EXPECT_EQ(panel->FloatingClientSize().height(), expected) << height;
    }
    // The window's panel floats with that height.
    LayOut(f, 900, 700);
    f.show();
    const int height = f.RightDock->height();
    ASSERT_GT(height, 100);
    f.GroupDockablePanel->SetFloatingState(true);
    ASSERT_TRUE(f.GroupDockablePanel->Floating());
    EXPECT_EQ(f.GroupDockablePanel->ClientAreaHeight(),
              static_cast<int>(std::nearbyint(height * 5.0 / 6.0)));
}

} // namespace
} // namespace mainformtest
