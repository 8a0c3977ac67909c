// The main window's actions: captions, shortcuts and images, the menus and
// tool bars that carry them, the edit actions that follow the focus, the view
// toggles of the bars, the panel and the status bar, and the reference editor.
#include "app/mainform/MainForm.h"

#include "app/format/ColorCodes.h"
#include "app/kit/Kit.h"
#include "app/mainform/MainFormControls.h"
#include "app/mainform/MenuImages.h"
#include "app/options/OptionsForm.h"
#include "app/refs/AttachForm.h"
#include "app/whois/VLWhoisThread.h"
#include "console/QvConsole.h"
#include "platform/core/Guarded.h"
#include "platform/gui/ImageList.h"
#include "platform/gui/Shell.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPointer>
#include <QTextCursor>
#include <QTextDocument>

namespace {

template <typename F>
void Bind(QAction* action, QObject* context, F handler) {
    QObject::connect(action, &QAction::triggered, context,
                     [handler] { plat::guarded([&] { handler(); }); });
}

Qt::FocusReason Reason(QEvent* event) {
    return static_cast<QFocusEvent*>(event)->reason();
}

// The window's enabled actions take their shortcuts before the control with
// the focus sees the key.
bool IsActionShortcut(const QObject& actions, const QKeyEvent& key) {
    const QKeySequence pressed(key.keyCombination());
    for (const QAction* action : actions.findChildren<QAction*>()) {
        if (action->isEnabled() && action->isVisible() && action->shortcut() == pressed) {
            return true;
        }
    }
    return false;
}

bool HasSelectedNode(const QTreeWidget& tree) {
    return !tree.selectedItems().isEmpty();
}

// A tree took the focus: only Copy may act, on its selected node.
void TreeViewEnter(TMainForm& form, const QTreeWidget& tree) {
    for (QAction* action : {form.ColorItem->menuAction(), form.EmotItem->menuAction(),
                            form.AttachAction, form.PasteAction, form.CutAction, form.DeleteAction,
                            form.SelectAllAction, form.UndoAction}) {
        action->setEnabled(false);
    }
    form.CopyAction->setEnabled(HasSelectedNode(tree));
}

} // namespace

// Routes the events of the controls the actions follow to the window.
class TMainFormActionEvents final : public QObject {
public:
    explicit TMainFormActionEvents(TMainForm& form) : form_(form) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        bool consumed = false;
        plat::guarded([&] { consumed = Dispatch(watched, event); });
        return consumed;
    }

private:
    bool Dispatch(QObject* watched, QEvent* event) {
        TMainForm& f = form_;
        const QEvent::Type type = event->type();
        if ((type == QEvent::FocusIn || type == QEvent::FocusOut) &&
            (watched == f.InputEdit || watched == f.FriendsTreeView ||
             watched == f.GroupsTreeView)) {
            Focus(watched, type == QEvent::FocusIn, Reason(event));
            return false;
        }
        if (watched == f.InputEdit || watched == f.InputEdit->viewport()) {
            switch (type) {
            case QEvent::ShortcutOverride:
                return IsActionShortcut(*f.ActionList1, *static_cast<QKeyEvent*>(event));
            case QEvent::KeyRelease:
            case QEvent::MouseButtonRelease:
                f.UpdateEditActions();
                f.ColorPaletteFollowCaret();
                break;
            case QEvent::ContextMenu:
                f.UpdateEditActions();
                f.InputPopupMenu->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
                return true;
            default:
                break;
            }
        } else if (type == QEvent::Show || type == QEvent::Hide || type == QEvent::ShowToParent ||
                   type == QEvent::HideToParent) {
            f.UpdateViewActions();
        }
        return false;
    }

    // A control is entered when the focus comes to it from another control of
    // the window, and left when the focus goes to another one. Menus opening
    // and other windows taking the focus for a while change neither.
    void Focus(QObject* watched, bool in, Qt::FocusReason reason) {
        TMainForm& f = form_;
        if (reason == Qt::PopupFocusReason) {
            return;
        }
        if (!in) {
            if (reason != Qt::ActiveWindowFocusReason && watched == entered_) {
                entered_ = nullptr;
                if (watched == f.InputEdit) {
                    f.InputEditExit();
                }
            }
            return;
        }
        if (watched == entered_) {
            return;
        }
        if (entered_ == f.InputEdit) {
            f.InputEditExit();
        }
        entered_ = watched;
        if (watched == f.InputEdit) {
            f.InputEditEnter();
        } else if (watched == f.FriendsTreeView) {
            f.FriendsTreeViewEnter();
        } else if (watched == f.GroupsTreeView) {
            f.GroupsTreeViewEnter();
        }
    }

    QPointer<QObject> entered_;
    TMainForm& form_;
};

void TMainForm::CreateActionItems() {
    MenuImages = new plat::ImageList(16, 16, this);
    MenuImages->setObjectName(QStringLiteral("MenuImages"));
    AddMenuImages(*MenuImages);
    const auto icon = [this](int index) {
        return QIcon(QPixmap::fromImage(MenuImages->Image(index)));
    };
    const auto make = [&](const char* name, const QString& caption, const QKeySequence& shortcut,
                          int image) {
        auto* action = new QAction(caption, ActionList1);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(shortcut);
        if (image >= 0) {
            action->setIcon(icon(image));
        }
        addAction(action);
        return action;
    };
    const QKeySequence none;
    const auto ctrl = [](Qt::Key key) { return QKeySequence(Qt::CTRL | key); };

    ConnectAction->setIcon(icon(6));
    DisconnectAction->setIcon(icon(7));
    AwayMessagesAction->setIcon(icon(29));
    AwayAction->setIcon(icon(Away ? 30 : 31));
    OptionsAction = make("OptionsAction", QStringLiteral("&Options..."), Qt::Key_F10, 9);
    HelpAction = make("HelpAction", QStringLiteral("ZELVO Help"), Qt::Key_F1, 10);
    HelpAction->setVisible(false);
    CutAction = make("CutAction", QStringLiteral("Cu&t"), ctrl(Qt::Key_X), 11);
    CopyAction = make("CopyAction", QStringLiteral("&Copy"), ctrl(Qt::Key_C), 12);
    PasteAction = make("PasteAction", QStringLiteral("&Paste"), ctrl(Qt::Key_V), 13);
    DeleteAction = make("DeleteAction", QStringLiteral("&Delete"), Qt::Key_Delete, 14);
    SelectAllAction = make("SelectAllAction", QStringLiteral("S&elect All"), ctrl(Qt::Key_A), -1);
    UndoAction = make("UndoAction", QStringLiteral("Undo..."), ctrl(Qt::Key_Y), 16);
    // Shares Ctrl+Y with Undo; being disabled it never takes the key.
    RedoAction = make("RedoAction", QStringLiteral("&Redo..."), ctrl(Qt::Key_Y), 17);
    RedoAction->setEnabled(false);
    AttachAction = make("AttachAction", QStringLiteral("Insert Reference"), ctrl(Qt::Key_I), 20);
    ViewStatusBarAction = make("ViewStatusBarAction", QStringLiteral("&Statusbar"), none, -1);
    ViewGroupsAction = make("ViewGroupsAction", QStringLiteral("&Friends && Groups"), none, -1);
    ViewStandardAction = make("ViewStandardAction", QStringLiteral("&Standard"), none, -1);
    ViewEditAction = make("ViewEditAction", QStringLiteral("&Edit"), none, -1);
    for (QAction* view :
         {ViewStatusBarAction, ViewGroupsAction, ViewStandardAction, ViewEditAction}) {
        view->setCheckable(true);
    }
    AboutAction = make("AboutAction", QStringLiteral("About Quorvel"), none, -1);
    WebsiteAction = make("WebsiteAction", QStringLiteral("Vellinor Website"), none, 18);

    Bind(CutAction, this, [this] { CutActionExecute(); });
    Bind(CopyAction, this, [this] { CopyActionExecute(); });
    Bind(PasteAction, this, [this] { PasteActionExecute(); });
    Bind(DeleteAction, this, [this] { DeleteActionExecute(); });
    Bind(SelectAllAction, this, [this] { SelectAllActionExecute(); });
    Bind(UndoAction, this, [this] { UndoActionExecute(); });
    Bind(AttachAction, this, [this] { AttachActionExecute(); });
    Bind(ViewStatusBarAction, this, [this] { ViewStatusBarActionExecute(); });
    Bind(ViewGroupsAction, this, [this] { ViewGroupsActionExecute(); });
    Bind(ViewStandardAction, this, [this] { ViewStandardActionExecute(); });
    Bind(ViewEditAction, this, [this] { ViewEditActionExecute(); });
    Bind(WebsiteAction, this, [this] { WebsiteActionExecute(); });
    Bind(OptionsAction, this, [this] { OptionsActionExecute(); });

    CreatePalettes();
    CreateMenusAndBars();

    auto events = std::make_unique<TMainFormActionEvents>(*this);
    for (QObject* watched : std::initializer_list<QObject*>{
             InputEdit, InputEdit->viewport(), FriendsTreeView, GroupsTreeView, StatusBar->Widget(),
             StandardBar->Widget(), EditBar->Widget(), GroupDockablePanel->Widget()}) {
        watched->installEventFilter(events.get());
    }
    StandardBar->OnClose = [this](kit::IToolbar*) { ViewStandardAction->setChecked(false); };
    EditBar->OnClose = [this](kit::IToolbar*) { ViewEditAction->setChecked(false); };
    GroupDockablePanel->OnClose = [this](kit::IDockablePanel*) {
        ViewGroupsAction->setChecked(false);
    };
    OutputMemo->OnSelect = [this](TQvCustomConsole* sender, const QString& text) {
        OutputMemoSelect(sender, text);
    };
    // Paste follows the clipboard while the input line has the focus.
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, events.get(), [this] {
        plat::guarded([this] {
            if (InputEdit->hasFocus()) {
                UpdateEditActions();
            }
        });
    });
    actionEvents_ = std::move(events);

    InputEditExit();
    UpdateEditActions();
    UpdateViewActions();
}

void TMainForm::CreateMenusAndBars() {
    QMenu* edit = MenuBar->addMenu(QStringLiteral("&Edit"));
    edit->addActions({UndoAction, RedoAction});
    edit->addSeparator();
    edit->addActions({CutAction, CopyAction, PasteAction, DeleteAction});
    edit->addSeparator();
    edit->addAction(SelectAllAction);
    edit->addSeparator();
    edit->addAction(AttachAction);

    QMenu* view = MenuBar->addMenu(QStringLiteral("&View"));
    QMenu* toolbars = view->addMenu(QStringLiteral("&Toolbars"));
    toolbars->addActions({ViewStandardAction, ViewEditAction});
    view->addActions({ViewGroupsAction, ViewStatusBarAction});

    QMenu* tools = MenuBar->addMenu(QStringLiteral("&Tools"));
    tools->addActions({AwayAction, AwayMessagesAction});
    tools->addSeparator();
    tools->addAction(OptionsAction);

    QMenu* help = MenuBar->addMenu(QStringLiteral("&Help"));
    help->addActions({HelpAction, WebsiteAction});
    help->addSeparator();
    help->addAction(AboutAction);

    StandardBar->AddSeparator();
    StandardBar->AddAction(AwayAction);
    StandardBar->AddAction(AwayMessagesAction);
    StandardBar->AddSeparator();
    StandardBar->AddAction(OptionsAction);

    for (QAction* action : {CutAction, CopyAction, PasteAction, DeleteAction}) {
        EditBar->AddAction(action);
    }
    EditBar->AddSeparator();
    EditBar->AddAction(UndoAction);
    EditBar->AddSeparator();
    EditBar->AddAction(AttachAction);
    EditBar->AddAction(ColorItem->menuAction());
    EditBar->AddAction(EmotItem->menuAction());

    InputPopupMenu = new QMenu(this);
    InputPopupMenu->setObjectName(QStringLiteral("InputPopupMenu"));
    InputPopupMenu->addActions({UndoAction, RedoAction});
    InputPopupMenu->addSeparator();
    InputPopupMenu->addActions({CutAction, CopyAction, PasteAction, DeleteAction});
    InputPopupMenu->addSeparator();
    InputPopupMenu->addAction(SelectAllAction);
}

// --- edit actions ------------------------------------------------------------

void TMainForm::UpdateEditActions() {
    const QMimeData* clipboard = QGuiApplication::clipboard()->mimeData();
    PasteAction->setEnabled(clipboard && clipboard->hasText());
    const bool selected = InputEdit->textCursor().hasSelection();
    CutAction->setEnabled(selected);
    CopyAction->setEnabled(selected);
    DeleteAction->setEnabled(selected);
    SelectAllAction->setEnabled(!InputEdit->document()->isEmpty());
    UndoAction->setEnabled(InputEdit->document()->isUndoAvailable());
    RedoAction->setEnabled(false);
}

void TMainForm::InputEditEnter() {
    ColorItem->menuAction()->setEnabled(true);
    EmotItem->menuAction()->setEnabled(true);
    AttachAction->setEnabled(true);
    UpdateEditActions();
    ColorPaletteFollowCaret();
}

void TMainForm::InputEditExit() {
    ColorItem->menuAction()->setEnabled(false);
    EmotItem->menuAction()->setEnabled(false);
    AttachAction->setEnabled(false);
}

void TMainForm::FriendsTreeViewEnter() {
    TreeViewEnter(*this, *FriendsTreeView);
}

void TMainForm::GroupsTreeViewEnter() {
    TreeViewEnter(*this, *GroupsTreeView);
}

// The console does not copy a selection itself while this handler is bound.
void TMainForm::OutputMemoSelect(TQvCustomConsole*, const QString& SelectedText) {
    QGuiApplication::clipboard()->setText(SelectedText);
    if (!SelectedText.isEmpty() && InputEdit->hasFocus()) {
        PasteAction->setEnabled(true);
    }
}

void TMainForm::CutActionExecute() {
    if (InputEdit->hasFocus()) {
        InputEdit->cut();
        UpdateEditActions();
    }
}

void TMainForm::CopyActionExecute() {
    if (InputEdit->hasFocus()) {
        InputEdit->copy();
        UpdateEditActions();
        return;
    }
    for (const TTreeView* tree : {FriendsTreeView, GroupsTreeView}) {
        if (tree->hasFocus() && HasSelectedNode(*tree)) {
            QGuiApplication::clipboard()->setText(tree->selectedItems().constFirst()->text(0));
            return;
        }
    }
}

void TMainForm::PasteActionExecute() {
    if (InputEdit->hasFocus()) {
        InputEdit->insertPlainText(QGuiApplication::clipboard()->text());
        UpdateEditActions();
    }
}

void TMainForm::DeleteActionExecute() {
    if (InputEdit->hasFocus()) {
        QTextCursor cursor = InputEdit->textCursor();
        cursor.removeSelectedText();
        InputEdit->setTextCursor(cursor);
        UpdateEditActions();
    }
}

void TMainForm::SelectAllActionExecute() {
    if (InputEdit->hasFocus()) {
        InputEdit->selectAll();
        UpdateEditActions();
    }
}

// Undo is enabled only by the input line's own events, so it may act on it
// whatever has the focus.
void TMainForm::UndoActionExecute() {
    InputEdit->undo();
    UpdateEditActions();
}

// --- view toggles ------------------------------------------------------------

void TMainForm::ViewStatusBarActionExecute() {
    StatusBar->SetVisible(ViewStatusBarAction->isChecked());
}

void TMainForm::ViewGroupsActionExecute() {
    GroupDockablePanel->SetVisible(ViewGroupsAction->isChecked());
}

void TMainForm::ViewStandardActionExecute() {
    StandardBar->SetVisible(ViewStandardAction->isChecked());
}

void TMainForm::ViewEditActionExecute() {
    EditBar->SetVisible(ViewEditAction->isChecked());
}

void TMainForm::UpdateViewActions() {
    ViewStatusBarAction->setChecked(StatusBar->Visible());
    ViewGroupsAction->setChecked(GroupDockablePanel->Visible());
    ViewStandardAction->setChecked(StandardBar->Visible());
    ViewEditAction->setChecked(EditBar->Visible());
}

void TMainForm::WebsiteActionExecute() {
    plat::ShellOpenUrl(TVLWhoisThread::DefaultSite());
}

void TMainForm::OptionsActionExecute() {
    auto* form =
        FindOrCreateForm<TOptionsForm>(QStringLiteral("OptionsForm"), [this](QWidget* owner) {
            return new TOptionsForm(*this, owner);
        });
    ShowForm(*form);
}

// --- the reference editor ----------------------------------------------------

void TMainForm::AttachActionExecute() {
    auto* form =
        FindOrCreateForm<TAttachForm>(QStringLiteral("AttachForm"), [this](QWidget* owner) {
            auto* editor = new TAttachForm(owner);
            editor->OnAttachReference = [this](TAttachForm*, const QByteArray& richText,
                                               const QString& firstLine) {
                AttachReference(richText, firstLine);
            };
            return editor;
        });
    if (AttachedReference) {
        form->LoadReference(*AttachedReference);
    }
    ShowForm(*form);
}

void TMainForm::AttachReference(const QByteArray& richText, const QString& firstLine) {
    if (!AttachedReference) {
        const TUpdateLock lock(*this);
        QString title = firstLine;
        title.replace(u'\t', u' ');
        if (title.trimmed().isEmpty()) {
            title = QStringLiteral("Rename Me");
        }
        const QString text = InputEdit->toPlainText();
        QTextCursor cursor = InputEdit->textCursor();
        const int start = cursor.selectionStart();
        const int end = cursor.selectionEnd();
        const plat::TColor typing = InputEdit->TypingColor();
        const QTextCharFormat plain = InputEdit->currentCharFormat();
        QTextCharFormat reference = plain;
        reference.setForeground(plat::ToQColor(ColorOfCode(QString(ReferenceCode))));

        cursor.beginEditBlock();
        cursor.removeSelectedText();
        if (start >= 2 && text.at(start - 1) != u' ') {
            cursor.insertText(QStringLiteral(" "), plain);
        }
        cursor.insertText(title, reference);
        const int afterTitle = cursor.position();
        if (end < text.size() && text.at(end) != u' ') {
            cursor.insertText(QStringLiteral(" "), plain);
        }
        cursor.endEditBlock();
        cursor.setPosition(afterTitle);
        InputEdit->setTextCursor(cursor);
        InputEdit->SetTypingColor(typing);
        RefListView->clear();
        RefListView->addItem(title);
    }
    AttachedReference = richText;
    RefListView->show();
}
