#include "KitDriving.h"
#include "MainFormTestSupport.h"
#include "ToolTips.h"

#include "app/away/AwayList.h"
#include "app/away/AwayMessagesForm.h"
#include "app/common/MenuImages.h"
#include "controls/QvPanel/QvPanel.h"
#include "controls/QvSplitter/QvSplitter.h"
#include "dockkit/bars/DkThemedToolbar.h"
#include "dockkit/docking/DkxDock.h"
#include "dockkit/items/DkActionLink.h"
#include "dockkit/statusbar/DkxStatusBar.h"
#include "dockkit/themes/DkThemedViewer.h"
#include "platform/gui/ImageList.h"

#include <QAction>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTextEdit>
#include <QTreeWidget>

namespace {

// A tell logged at 2024-05-{day} {h}:{m}:{s}, as the main window logs it.
void Log(TAwayList& log, const QString& name, const QString& text, int day, int h, int m, int s) {
    if (log.IndexOf(name) < 0) {
        log.Add()->SetName(name);
    }
    TAwayCharacter* character = log.Items(log.IndexOf(name));
    character->SetTag(0);
    TAwayMessage* message = character->Messages().Add();
    message->SetText(text);
    message->SetTime(QDateTime(QDate(2024, 5, day), QTime(h, m, s)));
}

// Rows as "caption|messages|last message|image"; the selected one starts with ">".
QStringList Rows(const TAwayMessagesForm& view) {
    QStringList rows;
    for (int i = 0; i < view.CharacterListview->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = view.CharacterListview->topLevelItem(i);
        rows << (row->isSelected() ? ">" : "") + row->text(0) + '|' + row->text(1) + '|' +
                    row->text(2) + '|' + row->data(0, TAwayMessagesForm::ImageIndexRole).toString();
    }
    return rows;
}

// The pane's lines with bold runs between asterisks.
QStringList Pane(const TAwayMessagesForm& view) {
    QStringList lines;
    const QTextDocument* document = view.MessagesEdit->document();
    for (QTextBlock block = document->begin(); !document->isEmpty() && block.isValid();
         block = block.next()) {
        lines << QString();
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QString text = it.fragment().text();
            lines.last() +=
                it.fragment().charFormat().fontWeight() >= QFont::Bold ? '*' + text + '*' : text;
        }
    }
    return lines;
}

// The items of a bar or menu: "-" for a separator, else the object names.
QStringList ItemNames(const TDkCustomItem* parent) {
    QStringList names;
    for (int i = 0; i < parent->Count(); ++i) {
        const TDkCustomItem* item = parent->Items(i);
        names << (item->HasStyle(dk::StyleSeparator) ? QStringLiteral("-") : item->objectName());
    }
    return names;
}

// The menu bar and "File Bar" on the top dock above the list and the pane,
// the status bar below them all; empty docks round them.
TEST(AwayMessagesFormTest, BarsAboveTheListsAndTheStatusBarBelow) {
    TAwayList log;
    TAwayMessagesForm view(&log, nullptr, nullptr);
    view.resize(500, 400);
    view.show();
    QCoreApplication::sendPostedEvents();
    ASSERT_TRUE(view.MenuBar->MenuBar());
    EXPECT_EQ(view.FileBar->Caption(), QStringLiteral("File Bar"));
    for (TDkxToolbar* bar : {view.MenuBar, view.FileBar}) {
        EXPECT_EQ(bar->CurrentDock(), view.TopDock) << bar->objectName().toStdString();
    }
    EXPECT_EQ(ItemNames(view.MenuBar->Items()), QStringList({"FileMenu", "ActionsMenu"}));
    EXPECT_EQ(ItemNames(view.MenuBar->Items()->Items(0)), QStringList{"CloseAction"});
    EXPECT_EQ(ItemNames(view.MenuBar->Items()->Items(1)),
              QStringList({"ClearAction", "RefreshAction"}));
    EXPECT_EQ(ItemNames(view.FileBar->Items()), QStringList({"ClearAction", "-", "RefreshAction"}));
    EXPECT_EQ(view.FileBar->Items()->Items(0)->DisplayMode(), nbdmImageAndText);
    for (const TDkxDock* dock : {view.BottomDock, view.LeftDock, view.RightDock}) {
        EXPECT_EQ(dock->parentWidget(), view.TopDock->parentWidget());
    }

    const auto rect = [&](QWidget* w) { return QRect(w->mapTo(&view, QPoint()), w->size()); };
    EXPECT_EQ(rect(view.MenuBar).top(), 0);
    EXPECT_GT(rect(view.FileBar).top(), rect(view.MenuBar).top());
    EXPECT_GE(rect(view.Splitter).top(), rect(view.FileBar).bottom());
    EXPECT_GE(rect(view.StatusBar).top(), rect(view.Splitter).bottom());
    EXPECT_EQ(rect(view.StatusBar).bottom(), view.height() - 1);
    ASSERT_EQ(view.StatusBar->Panels().Count(), 2);
    EXPECT_EQ(view.StatusBar->Panels().Items(0)->Size(), 150);
    EXPECT_GT(view.StatusBar->Panels().Items(1)->StretchPriority(), 0);
}

TEST(AwayMessagesFormTest, ShowsWritersAndTheirMessagesAsTheLogChanges) {
    TAwayList log;
    TAwayMessagesForm view(&log, nullptr, nullptr);
    Log(log, "Bob", "one", 6, 15, 5, 0);
    Log(log, "Bob", "\x10\x0c<b>two</b> &amp;\x12", 6, 15, 6, 30);
    Log(log, "alice", "hey", 5, 9, 0, 0);
    view.RefreshMessages();
    // Sorted ignoring case; the first row is shown, so read.
    EXPECT_EQ(Rows(view),
              (QStringList{">alice|1|2024-05-05 09:00:00|28", "Bob|2|2024-05-06 15:06:30|27"}));
    EXPECT_EQ(Pane(view), QStringList{"*[*09:00:00*]* alice: hey"});

    view.MessagesEdit->moveCursor(QTextCursor::End);
    view.CharacterListview->setCurrentItem(view.CharacterListview->topLevelItem(1));
    EXPECT_EQ(Pane(view),
              (QStringList{"*[*15:05:00*]* Bob: one", "*[*15:06:30*]* Bob: <b>two</b> &amp;"}));
    EXPECT_EQ(view.MessagesEdit->textCursor().position(), 0);
    EXPECT_EQ(log.Items(0)->Tag(), 1);

    // A new tell makes Bob unread; a refresh keeps him selected and shows it.
    Log(log, "Bob", "three", 6, 15, 8, 0);
    Log(log, "Carl", "yo", 6, 15, 9, 0);
    view.RefreshAction->trigger();
    EXPECT_EQ(Rows(view),
              (QStringList{"alice|1|2024-05-05 09:00:00|28", ">Bob|3|2024-05-06 15:08:00|28",
                           "Carl|1|2024-05-06 15:09:00|27"}));
    EXPECT_EQ(Pane(view).size(), 3);

    int cleared = 0;
    view.OnClear = [&](TAwayMessagesForm*) { cleared += log.Count() == 0; };
    view.ClearAction->trigger();
    EXPECT_EQ(cleared, 1);
    EXPECT_TRUE(Rows(view).isEmpty());
    EXPECT_TRUE(Pane(view).isEmpty());
    // The same character writing again after the clear is shown afresh.
    Log(log, "Bob", "again", 6, 16, 0, 0);
    view.RefreshMessages();
    EXPECT_EQ(Pane(view), QStringList{"*[*16:00:00*]* Bob: again"});
}

// The window shown with the main window's menu images.
class AwayWindowTest : public ::testing::Test {
public:
    ~AwayWindowTest() override { HideToolTipNow(); }

protected:
    AwayWindowTest() {
        AddMenuImages(images);
        view.resize(500, 400);
        view.show();
        mainformtest::ProcessPosted();
    }

    TAwayList log;
    plat::ImageList images{16, 16};
    TAwayMessagesForm view{&log, &images, nullptr};
};

TEST_F(AwayWindowTest, ActionsShowTheirImagesAndSayWhatTheyDo) {
    const struct {
        QAction* action;
        int image;
        TDkxToolbar* bar; // where the action shows on a bar; null: only in a menu
        bool captionShown;
        const char* hint;
    } rows[] = {
        {view.ClearAction, TAwayMessagesForm::ClearImage, view.FileBar, true, "Clear Messages"},
        {view.RefreshAction, TAwayMessagesForm::RefreshImage, view.FileBar, false,
         "Refresh Messages"},
        {view.CloseAction, -1, nullptr, false, "Close"},
    };
    for (const auto& row : rows) {
        const std::string name = row.action->objectName().toStdString();
        EXPECT_EQ(dk::ActionImageIndex(*row.action), row.image) << name;
        EXPECT_EQ(row.action->statusTip(), QString::fromLatin1(row.hint)) << name;
        if (row.bar == nullptr) {
            continue;
        }
        const auto* item = row.bar->Items()->findChild<TDkCustomItem*>(row.action->objectName(),
                                                                       Qt::FindDirectChildrenOnly);
        const auto* viewer = dynamic_cast<TDkxItemViewer*>(kittest::ViewerOf(item));
        ASSERT_NE(viewer, nullptr) << name;
        EXPECT_EQ(row.bar->Images(), &images);
        EXPECT_TRUE(viewer->ThemedImageShown()) << name;
        EXPECT_EQ(viewer->CaptionShown(), row.captionShown) << name;
        EXPECT_EQ(kittest::TipOver(item), QString::fromLatin1(row.hint)) << name;
    }
}

// The File Bar dragged from the top by its handle and dropped at the
// window's left, right or bottom edge docks there.
TEST_F(AwayWindowTest, TheFileBarDocksOnEveryEdge) {
    const auto edge = [](TDkxDock* dock, QPoint local) { return dock->mapToGlobal(local); };
    const int middle = view.LeftDock->height() / 2;
    const struct {
        TDkxDock* dock;
        QPoint drop;
    } rows[] = {
        {view.LeftDock, edge(view.LeftDock, {0, middle})},
        {view.RightDock, edge(view.RightDock, {-1, middle})},
        {view.BottomDock, edge(view.BottomDock, {100, 0})},
    };
    for (const auto& row : rows) {
        const std::string dock = row.dock->objectName().toStdString();
        TDkxToolbar* bar = view.FileBar;
        const QPoint handle = bar->mapToGlobal(QPoint(3, bar->height() / 2));
        for (const QPoint p : {handle + QPoint(4, 4), row.drop}) {
            kittest::Later([p, bar] { kittest::Mouse(QEvent::MouseMove, p, Qt::NoButton, bar); });
        }
        kittest::Later([&row, bar] {
            kittest::Mouse(QEvent::MouseButtonRelease, row.drop, Qt::LeftButton, bar);
        });
        kittest::Mouse(QEvent::MouseButtonPress, handle, Qt::LeftButton, bar);
        mainformtest::ProcessPosted();
        ASSERT_EQ(bar->CurrentDock(), row.dock) << dock;
        EXPECT_FALSE(bar->Floating()) << dock;
        const QRect dockRect(row.dock->mapTo(&view, QPoint()), row.dock->size());
        EXPECT_TRUE(dockRect.contains(QRect(bar->mapTo(&view, QPoint()), bar->size()))) << dock;
        EXPECT_TRUE(bar->isVisible()) << dock;
        bar->SetCurrentDock(view.TopDock);
        mainformtest::ProcessPosted();
    }
}

// The list above, the messages below, each in an opaque panel; the panes
// follow the bar while it is dragged.
TEST_F(AwayWindowTest, TheSplitterResizesThePanesWhileItsBarIsDragged) {
    TQvSplitter* splitter = view.Splitter;
    EXPECT_EQ(splitter->Orientation(), orVertical);
    EXPECT_TRUE(splitter->RealTimeDrag());
    const auto panelOf = [](QWidget* w) {
        return qobject_cast<TQvOpaquePanel*>(w->parentWidget());
    };
    ASSERT_NE(panelOf(view.CharacterListview), nullptr);
    ASSERT_NE(panelOf(view.MessagesEdit), nullptr);
    EXPECT_EQ(panelOf(view.CharacterListview)->parentWidget(), splitter->UpperLeft());
    EXPECT_EQ(panelOf(view.MessagesEdit)->parentWidget(), splitter->LowerRight());

    const int listHeight = view.CharacterListview->height();
    const int paneHeight = view.MessagesEdit->height();
    const QPoint bar = splitter->BarRect().ToQRect().center();
    const auto mouse = [&](QEvent::Type type, QPoint at) {
        QMouseEvent event(type, at, splitter->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(splitter, &event);
    };
    mouse(QEvent::MouseButtonPress, bar);
    mouse(QEvent::MouseMove, bar + QPoint(0, 60));
    mainformtest::ProcessPosted();
    EXPECT_EQ(view.CharacterListview->height(), listHeight + 60) << "before the bar is let go";
    EXPECT_EQ(view.MessagesEdit->height(), paneHeight - 60);
    mouse(QEvent::MouseButtonRelease, bar + QPoint(0, 60));
    EXPECT_EQ(view.CharacterListview->height(), listHeight + 60);
}

class AwayViewerTest : public mainformtest::MainFormTest {};

TEST_F(AwayViewerTest, TheMainWindowKeepsOneViewerAndItsPlace) {
    Create();
    const auto viewer = [&] {
        return form->findChild<TAwayMessagesForm*>("AwayMessagesForm", Qt::FindDirectChildrenOnly);
    };
    form->AddAwayMessage("Bob", "hi");
    form->AwayMessagesAction->trigger();
    const QPointer<TAwayMessagesForm> first = viewer();
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->isVisible());
    EXPECT_TRUE(first->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    form->AddAwayMessage("Carl", "yo");
    form->ShowAwayMessages(); // the same window, refreshed
    EXPECT_EQ(viewer(), first.data());
    EXPECT_EQ(Rows(*first).size(), 2);

    first->ClearAction->trigger();
    EXPECT_FALSE(form->AwayMessagesAction->isEnabled());
    // A viewer still open when the window goes stores its placement.
    EXPECT_TRUE(DestroyAndReload()->KeyExists({"MessagesForm", "Position"}));
}

} // namespace
