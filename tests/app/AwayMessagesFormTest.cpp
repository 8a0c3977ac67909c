#include "MainFormTestSupport.h"

#include "app/away/AwayList.h"
#include "app/away/AwayMessagesForm.h"
#include "dockkit/bars/DkThemedToolbar.h"
#include "dockkit/docking/DkxDock.h"
#include "dockkit/statusbar/DkxStatusBar.h"
#include "platform/gui/ImageList.h"

#include <QAction>
#include <QCoreApplication>
#include <QSplitter>
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
