// The main window's actions: shortcuts, images and enabling as the focus
// moves, the colour and emoticon palettes of the input line, the view
// toggles and their stored state, the reference editor's action.
#include "KitDriving.h"
#include "MainFormTestSupport.h"

#include "app/common/MenuImages.h"
#include "app/dialogs/AboutForm.h"
#include "app/format/ColorCodes.h"
#include "app/mainform/MainFormControls.h"
#include "app/refs/AttachForm.h"
#include "app/whois/VLWhoisThread.h"
#include "console/QvConsole/QvConsole.h"
#include "dockkit/bars/DkThemedToolbar.h"
#include "dockkit/docking/DkDockablePanel.h"
#include "dockkit/items/DkItemViewer.h"
#include "dockkit/items/DkView/DkView.h"
#include "dockkit/menus/DkMenuLoop.h"
#include "dockkit/palettes/DkxColorItem.h"
#include "dockkit/palettes/DkxColorPalette.h"
#include "dockkit/palettes/DkxToolPalette.h"
#include "dockkit/statusbar/DkxStatusBar.h"
#include "dockkit/themes/DkThemedItem.h"
#include "dockkit/themes/DkThemedPopup.h"
#include "platform/gui/ImageList.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTextCursor>

namespace mainformtest {

namespace {

QImage Pixels(const QIcon& icon) {
    return icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QString Encoded(TMainForm& f) {
    const plat::TColor def = f.ClrDefault->Color();
    return EncodeColors(ColoredCharacters(*f.InputEdit->document(), def), def, false);
}

class ActionsTest : public MainFormTest {
protected:
    // A window past its login: shown, active, the input line focused.
    TMainForm& Open() {
        StoredRoot().WriteInteger(QStringLiteral("OnStartup"), 0);
        QGuiApplication::clipboard()->clear();
        TMainForm& f = Create();
        f.show();
        f.activateWindow();
        EXPECT_TRUE(WaitUntil([&] { return QApplication::activeWindow() == &f; }));
        f.EnableChatControls();
        ProcessPosted();
        EXPECT_TRUE(f.InputEdit->hasFocus());
        return f;
    }

    void Type(const char* text) { QTest::keyClicks(form->InputEdit, QString::fromLatin1(text)); }
    void Key(QWidget* to, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(to, key, modifiers);
    }
    // Enabled state of the input line's submenus, Attach and the edit actions.
    QString Enabled() const {
        QString result;
        for (const bool enabled : {form->ColorItem->Enabled(), form->EmotItem->Enabled()}) {
            result += enabled ? u'1' : u'0';
        }
        for (const QAction* action :
             {form->AttachAction, form->CutAction, form->CopyAction, form->PasteAction,
              form->DeleteAction, form->SelectAllAction, form->UndoAction, form->RedoAction}) {
            result += action->isEnabled() ? u'1' : u'0';
        }
        return result;
    }
    // The colour of the strip across the bottom of the "Font Color" image.
    QColor Strip() const {
        const QImage image = kittest::DrawnImage(form->ColorItem, true);
        const QColor color = image.pixelColor(0, 12);
        return image.pixelColor(15, 15) == color ? color : QColor();
    }
};

// Not logged in, then the input line, a tree and the input line again.
TEST_F(ActionsTest, EditActionsFollowTheFocus) {
    StoredRoot().WriteInteger(QStringLiteral("OnStartup"), 0);
    QGuiApplication::clipboard()->clear();
    Create();
    EXPECT_EQ(Enabled(), "0000000000");
    form.reset();

    TMainForm& f = Open();
    EXPECT_EQ(Enabled(), "1110000000");
    Type("hello");
    EXPECT_EQ(Enabled(), "1110000110");
    Key(f.InputEdit, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(f.InputEdit->textCursor().selectedText(), QStringLiteral("hello"));
    EXPECT_EQ(Enabled(), "1111101110");
    Key(f.InputEdit, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("hello"));
    EXPECT_EQ(Enabled(), "1111111110");
    Key(f.InputEdit, Qt::Key_Delete);
    EXPECT_EQ(f.InputEdit->toPlainText(), QString());
    EXPECT_EQ(Enabled(), "1110010010");

    // A menu opening does not take the focus from the input line.
    QString whileOpen;
    kittest::Later([&] {
        whileOpen = dk::RunningMenuLoopView() != nullptr ? Enabled() : QStringLiteral("closed");
        kittest::EndMenus();
    });
    f.ColorItem->Popup(10, 10, false);
    EXPECT_EQ(whileOpen, "1110010010");
    EXPECT_EQ(Enabled(), "1110010010");

    // A tree: only Copy, and only with a selected node, which it copies.
    f.FriendsTreeView->setFocus();
    EXPECT_EQ(Enabled(), "0000000000");
    f.GroupsTreeView->SelectNode(f.GroupsTreeView->Root(1));
    f.GroupsTreeView->setFocus();
    EXPECT_EQ(Enabled(), "0000100000");
    Key(f.GroupsTreeView, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("Private Groups"));

    // A console selection goes to the clipboard; Ctrl+V pastes it as plain text.
    f.InputEdit->setFocus();
    f.PasteAction->setEnabled(false);
    f.OutputMemo->OnSelect(f.OutputMemo, QStringLiteral("<b>x</b>"));
    EXPECT_TRUE(f.PasteAction->isEnabled());
    Key(f.InputEdit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(f.InputEdit->toPlainText(), QStringLiteral("<b>x</b>"));
}

TEST_F(ActionsTest, CtrlYUndoesAndTheInputLinesMenuHoldsTheEditActions) {
    TMainForm& f = Open();
    Type("abc");
    ASSERT_TRUE(f.UndoAction->isEnabled());
    Key(f.InputEdit, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(f.InputEdit->toPlainText(), QString());
    EXPECT_FALSE(f.UndoAction->isEnabled() || f.RedoAction->isEnabled());

    Type("abc");
    // The input line's menu: Undo, Redo, Cut, Copy, Paste, Delete, Select All.
    std::vector<QString> shown;
    kittest::Later([&] {
        shown = kittest::OpenMenuCaptions();
        const std::optional<QPoint> at =
            kittest::CenterOf(f.InputPopupMenu->Items()->findChild<TDkCustomItem*>(
                QStringLiteral("SelectAllAction")));
        ASSERT_TRUE(at);
        kittest::ClickAt(*at);
    });
    QWidget* client = f.InputEdit->viewport();
    QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(5, 5),
                           client->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(client, &menu);
    ProcessPosted();
    EXPECT_EQ(shown, (std::vector<QString>{"Undo...", "&Redo...", "Cu&t", "&Copy", "&Paste",
                                           "&Delete", "S&elect All"}));
    EXPECT_EQ(f.InputPopupMenu->PopupComponent(), f.InputEdit);
    EXPECT_EQ(f.InputEdit->textCursor().selectedText(), QStringLiteral("abc"));
    EXPECT_TRUE(f.CutAction->isEnabled());
}

// The "Default" colour is the input font colour (here the system text colour).
TEST_F(ActionsTest, ColourPaletteSetsTheTypingColourAndDefaultRestoresIt) {
    TMainForm& f = Open();
    ASSERT_EQ(f.ClrDefault->Color(), plat::clWindowText);
    f.ColorPalette->HandleClickCell(4, 4);
    EXPECT_EQ(f.ColorPalette->Color(), plat::clRed);
    EXPECT_EQ(f.ColorPalette->SelectedCell(), (dk::PaletteCell{4, 4}));
    EXPECT_FALSE(f.ClrDefault->Checked());
    EXPECT_EQ(Strip(), QColor(Qt::red));
    Type("abc");
    f.ClrDefault->Click();
    EXPECT_TRUE(f.ClrDefault->Checked());
    EXPECT_EQ(Strip(), QColor(Qt::black));
    Type("def");
    EXPECT_EQ(Encoded(f), QStringLiteral("\x10\x0c"
                                         "abc\x12"
                                         "def"));

    // Black has the RGB value of the system text colour: it is the default.
    f.ColorPalette->HandleClickCell(0, 0);
    EXPECT_TRUE(f.ClrDefault->Checked());
    f.ColorPalette->HandleClickCell(1, 4); // Blue
    EXPECT_FALSE(f.ClrDefault->Checked());

    // The palette follows the colour at the caret when a key is released.
    Key(f.InputEdit, Qt::Key_Home);
    EXPECT_EQ(f.ColorPalette->Color(), plat::clRed);
    Key(f.InputEdit, Qt::Key_End);
    EXPECT_EQ(f.ColorPalette->SelectedCell(), (dk::PaletteCell{0, 0}));

    // Every named colour is a game colour; Periwinkle is the reference colour.
    for (int index = 0; index < 25; ++index) {
        EXPECT_FALSE(ColorCode(f.ColorPalette->GetCellColor(index % 5, index / 5)).isEmpty())
            << index;
    }
    QString hint;
    f.ColorPalette->DoGetHint({0, 4}, hint);
    EXPECT_EQ(hint, QStringLiteral("Periwinkle"));
    EXPECT_EQ(ColorCode(f.ColorPalette->GetCellColor(0, 4)), QString(ReferenceCode));
    EXPECT_EQ(f.VLColorSet->GetName(0, 5), QStringLiteral("Unknown"));
    EXPECT_EQ(f.VLColorSet->GetColor(0, 5), 0);
}

// Without a colour the strip is a frame; drawn disabled there is no strip.
TEST_F(ActionsTest, ColourItemStripIsAFrameWithoutAColour) {
    TMainForm& f = Create();
    f.ColorPalette->SetColor(plat::clNone);
    const QImage none = kittest::DrawnImage(f.ColorItem, true);
    EXPECT_EQ(none.pixelColor(0, 12), plat::ToQColor(plat::clBtnShadow));
    EXPECT_EQ(none.pixelColor(15, 15), plat::ToQColor(plat::clBtnFace));
    EXPECT_EQ(none.pixelColor(5, 13).alpha(), 0);
    EXPECT_EQ(kittest::DrawnImage(f.ColorItem, false).pixelColor(8, 14).alpha(), 0);
}

TEST_F(ActionsTest, EmoticonPaletteInsertsTheFirstTextOfTheImage) {
    TMainForm& f = Open();
    Type("hello world");
    QTextCursor cursor = f.InputEdit->textCursor();
    cursor.setPosition(6);
    cursor.setPosition(11, QTextCursor::KeepAnchor);
    f.InputEdit->setTextCursor(cursor);
    f.EmotPalette->HandleClickCell(1, 1); // image 5
    f.EmotPalette->HandleClickCell(3, 2); // image 11
    EXPECT_EQ(f.InputEdit->toPlainText(), QStringLiteral("hello :-O:-@"));
    EXPECT_TRUE(f.EmotPalette->SelectedCell().IsNone());

    // 4 x 3 cells of 24 pixels in the open menu, each showing its emoticon
    // in the middle; a mouse click on a cell acts and closes the menu.
    QRect first;
    QRect last;
    QImage shown;
    kittest::Later([&] {
        TDkView* view = dk::RunningMenuLoopView();
        ASSERT_NE(view, nullptr);
        view->ValidatePositions();
        auto* viewer = dynamic_cast<TDkxToolViewer*>(view->Find(f.EmotPalette));
        ASSERT_NE(viewer, nullptr);
        QWidget* menu = view->Window();
        const auto cell = [&](int col, int row) {
            return viewer->CellRect(viewer->BoundsRect, col, row)
                .ToQRect()
                .translated(menu->contentsRect().topLeft());
        };
        first = cell(0, 0);
        last = cell(3, 2);
        shown = menu->grab(cell(2, 0)).toImage().convertToFormat(QImage::Format_ARGB32);
        kittest::ClickAt(menu->mapToGlobal(first.center()));
    });
    f.EmotItem->Popup(20, 20, false);
    ProcessPosted();
    EXPECT_EQ(first.size(), QSize(24, 24));
    EXPECT_EQ(last.bottomRight() - first.topLeft(), QPoint(95, 71));
    const QImage wink = f.EmoticonList->Image(2).convertToFormat(QImage::Format_ARGB32);
    ASSERT_FALSE(shown.isNull());
    for (const int x : {4, 9}) {
        EXPECT_EQ(shown.pixelColor(3 + x, 3 + 9), wink.pixelColor(x, 9)) << x;
    }
    EXPECT_EQ(dk::RunningMenuLoopView(), nullptr);
    EXPECT_EQ(f.InputEdit->toPlainText(), QStringLiteral("hello :-O:-@:-)"));
}

TEST_F(ActionsTest, ViewTogglesShowAndHideAndFollowClosing) {
    TMainForm& f = Create();
    f.show();
    const std::pair<QAction*, std::function<bool()>> toggles[] = {
        {f.ViewStatusBarAction, [&] { return !f.StatusBar->isHidden(); }},
        {f.ViewGroupsAction, [&] { return f.GroupDockablePanel->Visible(); }},
        {f.ViewStandardAction, [&] { return f.StandardBar->Visible(); }},
        {f.ViewEditAction, [&] { return f.EditBar->Visible(); }},
    };
    for (const auto& [action, visible] : toggles) {
        for (const bool checked : {false, true}) {
            action->trigger();
            EXPECT_EQ(action->isChecked(), checked) << action->objectName().toStdString();
            EXPECT_EQ(visible(), checked) << action->objectName().toStdString();
        }
    }

    f.GroupDockablePanel->close();
    EXPECT_FALSE(f.ViewGroupsAction->isChecked());
    f.EditBar->close();
    EXPECT_FALSE(f.ViewEditAction->isChecked());
    f.StatusBar->setVisible(false);
    EXPECT_FALSE(f.ViewStatusBarAction->isChecked());

    // Hidden bars and panel come back hidden and unchecked.
    DestroyAndReload();
    TMainForm& again = Create();
    EXPECT_FALSE(again.ViewStatusBarAction->isChecked());
    EXPECT_FALSE(again.ViewGroupsAction->isChecked());
    EXPECT_FALSE(again.ViewEditAction->isChecked());
    EXPECT_TRUE(again.ViewStandardAction->isChecked());
}

TEST_F(ActionsTest, ReferenceTitleGoesInOnceWithSpacesAroundIt) {
    TMainForm& f = Open();
    Type("abcd");
    QTextCursor cursor = f.InputEdit->textCursor();
    cursor.setPosition(2);
    f.InputEdit->setTextCursor(cursor);
    Key(f.InputEdit, Qt::Key_I, Qt::ControlModifier);
    auto* editor = f.findChild<TAttachForm*>(QStringLiteral("AttachForm"));
    ASSERT_NE(editor, nullptr);
    // The editor offers the window's colours.
    EXPECT_EQ(editor->ColorPalette->ColorSet(), f.VLColorSet);
    editor->RefEdit->setPlainText(QStringLiteral("Sword\tof old\nsharp"));
    editor->OkButtonClick();
    EXPECT_EQ(f.InputEdit->toPlainText(), QStringLiteral("ab Sword of old cd"));
    EXPECT_EQ(f.InputEdit->textCursor().position(), 15);
    EXPECT_EQ(Encoded(f), QStringLiteral("ab \x11Sword of old\x12 cd"));
    EXPECT_FALSE(f.RefListView->isHidden());

    // Opened again it shows the reference; OK replaces it, the title stays.
    f.AttachAction->trigger();
    ASSERT_EQ(f.findChildren<TAttachForm*>().size(), 1);
    editor = f.findChild<TAttachForm*>(QStringLiteral("AttachForm"));
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->RefEdit->toPlainText().startsWith(QLatin1String("Sword\tof old")));
    editor->RefEdit->setPlainText(QStringLiteral("Shield"));
    const QByteArray first = *f.AttachedReference;
    editor->OkButtonClick();
    EXPECT_EQ(f.InputEdit->toPlainText(), QStringLiteral("ab Sword of old cd"));
    EXPECT_NE(*f.AttachedReference, first);

    // One character before the caret gets no space; a blank title is renamed.
    f.DropReference();
    f.InputEdit->setPlainText(QStringLiteral("x"));
    f.InputEdit->moveCursor(QTextCursor::End);
    f.AttachReference(QByteArray("{\\rtf1 }"), QStringLiteral("  "));
    EXPECT_EQ(f.InputEdit->toPlainText(), QStringLiteral("xRename Me"));
}

TEST_F(ActionsTest, ReferenceListShowsTheTitleReopensTheEditorAndDropsOnDelete) {
    TMainForm& f = Open();
    f.AttachReference(QByteArray("{\\rtf1 Note}"), QStringLiteral("Note"));
    ASSERT_EQ(f.RefListView->count(), 1);
    EXPECT_EQ(f.RefListView->item(0)->text(), QStringLiteral("Note"));
    EXPECT_EQ(f.findChild<TAttachForm*>(QStringLiteral("AttachForm")), nullptr);

    Q_EMIT f.RefListView->itemDoubleClicked(f.RefListView->item(0));
    EXPECT_NE(f.findChild<TAttachForm*>(QStringLiteral("AttachForm")), nullptr);

    QKeyEvent other(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier);
    QCoreApplication::sendEvent(f.RefListView, &other);
    EXPECT_TRUE(f.AttachedReference.has_value());
    QKeyEvent del(QEvent::KeyRelease, Qt::Key_Delete, Qt::NoModifier);
    QCoreApplication::sendEvent(f.RefListView, &del);
    EXPECT_FALSE(f.AttachedReference.has_value());
    EXPECT_EQ(f.RefListView->count(), 0);
    EXPECT_TRUE(f.RefListView->isHidden());
    EXPECT_EQ(f.InputEdit->toPlainText(), QStringLiteral("Note")); // the typed title stays
}

TEST_F(ActionsTest, AwayActionShowsItsPictureForTheState) {
    TMainForm& f = Open();
    for (const int expected : {31, 30, 31}) {
        EXPECT_EQ(Pixels(f.AwayAction->icon()), f.MenuImages->Image(expected));
        f.SetAway(QStringLiteral("/away"));
    }
}

// Help, About Quorvel: the about box, modal over the window, freed once it
// is closed.
TEST_F(ActionsTest, AboutItemOpensTheAboutBox) {
    TMainForm& f = Create();
    auto* help = f.MenuBar->Items()->findChild<TDkCustomItem*>(QStringLiteral("HelpMenu"),
                                                               Qt::FindDirectChildrenOnly);
    ASSERT_NE(help, nullptr);
    QPointer<TAboutForm> shown;
    ModalScript script;
    script.Then<TAboutForm>([&](TAboutForm& about) {
        shown = &about;
        EXPECT_EQ(about.parentWidget(), &f);
        EXPECT_EQ(about.windowTitle(), QStringLiteral("About ZELVO"));
        about.OkButton->click();
    });
    help->findChild<TDkCustomItem*>(QStringLiteral("AboutAction"))->Click();
    ProcessPosted();
    EXPECT_EQ(script.Ran, 1);
    EXPECT_TRUE(shown.isNull());
    EXPECT_EQ(f.findChild<TAboutForm*>(), nullptr);
}

TEST_F(ActionsTest, WebsiteOpensTheSiteOnlyWhenItIsAWebAddress) {
    UrlCatcher recorder;
    const QByteArray oldSite = qgetenv(TVLWhoisThread::SiteVariable);
    TMainForm& f = Create();
    for (const char* site : {"https://site.test", "file:///etc/passwd"}) {
        qputenv(TVLWhoisThread::SiteVariable, site);
        f.WebsiteAction->trigger();
    }
    qputenv(TVLWhoisThread::SiteVariable, oldSite);
    EXPECT_EQ(recorder.Opened, QStringList{"https://site.test"});
}

// Logged in through the local chat service: Ctrl+D in the input line
// disconnects, and the hidden input line takes its actions with it.
using ActionsLoggedInTest = LoggedInTest;

TEST_F(ActionsLoggedInTest, DisconnectingTakesTheInputLinesActions) {
    TMainForm& f = *form;
    f.show();
    f.activateWindow();
    ASSERT_TRUE(WaitUntil([&] { return QApplication::activeWindow() == &f; }));
    ASSERT_TRUE(f.AttachAction->isEnabled() && f.EmotItem->Enabled());
    QTest::keyClick(f.InputEdit, Qt::Key_D, Qt::ControlModifier);
    ASSERT_TRUE(WaitUntil([&] { return f.VLChat->State() == csDisconnected; }));
    EXPECT_FALSE(f.AttachAction->isEnabled());
    EXPECT_FALSE(f.EmotItem->Enabled() || f.ColorItem->Enabled());
}

// Characters go straight to the caret; what is no character goes to the
// editor's own key handling.
TEST_F(ActionsTest, TypedCharactersReplaceTheSelectionAndUndoAsOneStep) {
    // A key: a character it types (sent as the window system sends it, with
    // its text), or else a key code.
    struct Stroke {
        char ch;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    };
    const auto typed = [](char ch, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        return Stroke{ch, Qt::Key_unknown, modifiers};
    };
    const auto key = [](Qt::Key code, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        return Stroke{0, code, modifiers};
    };
    struct Row {
        const char* name;
        const char* before;
        bool selectAll;
        std::vector<Stroke> keys;
        const char* after;
    };
    const Row rows[] = {
        {"typed at the end", "ab", false, {typed('c')}, "abc"},
        {"replaces the selection", "abc", true, {typed('x')}, "x"},
        {"with Shift", "", false, {typed('A', Qt::ShiftModifier)}, "A"},
        {"a modifier alone types nothing", "ab", false, {key(Qt::Key_Shift)}, "ab"},
        {"Backspace still edits", "abc", false, {key(Qt::Key_Backspace)}, "ab"},
        {"Home then a character", "bc", false, {key(Qt::Key_Home), typed('a')}, "abc"},
        {"undone in one step",
         "",
         false,
         {typed('a'), typed('b'), key(Qt::Key_Y, Qt::ControlModifier)},
         ""},
    };
    TMainForm& f = Open();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        f.InputEdit->clear();
        f.InputEdit->document()->clearUndoRedoStacks();
        f.InputEdit->insertPlainText(QString::fromLatin1(row.before));
        if (row.selectAll) {
            f.InputEdit->selectAll();
        }
        for (const Stroke& stroke : row.keys) {
            if (stroke.ch != 0) {
                QTest::keyClick(f.InputEdit, stroke.ch, stroke.modifiers);
            } else {
                QTest::keyClick(f.InputEdit, stroke.key, stroke.modifiers);
            }
        }
        EXPECT_EQ(f.InputEdit->toPlainText(), QString::fromLatin1(row.after));
    }
}

} // namespace
} // namespace mainformtest
