// The main window's actions: captions, shortcuts and images, the menus and
// tool bars that carry them, the edit actions that follow the focus, the view
// toggles of the bars, the panel and the status bar, and the reference editor.
#include "app/mainform/MainForm.h"

#include "app/common/Actions.h"
#include "app/common/FormBars.h"
#include "app/dialogs/AboutForm.h"
#include "app/format/ColorCodes.h"
#include "app/mainform/MainFormControls.h"
#include "app/options/OptionsForm.h"
#include "app/refs/AttachForm.h"
#include "app/whois/VLWhoisThread.h"
#include "console/QvConsole/QvConsole.h"
#include "dockkit/bars/DkKeyRouter.h"
#include "dockkit/bars/DkThemedToolbar.h"
#include "dockkit/docking/DkDockablePanel.h"
#include "dockkit/docking/DkxDock.h"
#include "dockkit/items/DkActionLink.h"
#include "dockkit/palettes/DkxColorSet.h"
#include "dockkit/statusbar/DkxStatusBar.h"
#include "dockkit/themes/DkThemedItem.h"
#include "dockkit/themes/DkThemedPopup.h"
#include "platform/core/Guarded.h"
#include "platform/gui/ActionList.h"
#include "platform/gui/ImageList.h"
#include "platform/gui/Shell.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QPointer>
#include <QTextCursor>

namespace {

Qt::FocusReason Reason(QEvent* event) {
    return static_cast<QFocusEvent*>(event)->reason();
}

bool HasSelectedNode(const TTreeView& tree) {
    return tree.SelectedNode() != nullptr;
}

// An action of the window's action list, named for lookups.
template <typename F>
QAction* MakeFormAction(plat::TActionList* actions, const char* name, const QString& caption,
                        const QKeySequence& shortcut, int image, F&& onExecute) {
    return MakeAction(actions, QString::fromLatin1(name), caption, shortcut, image,
                      std::forward<F>(onExecute));
}

// A tree took the focus: only Copy may act, on its selected node.
void TreeViewEnter(TMainForm& form, const TTreeView& tree) {
    form.ColorItem->SetEnabled(false);
    form.EmotItem->SetEnabled(false);
    for (QAction* action : {form.AttachAction, form.PasteAction, form.CutAction, form.DeleteAction,
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
        plat::Guarded([&] { consumed = Dispatch(watched, event); });
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
            case QEvent::KeyRelease:
            case QEvent::MouseButtonRelease:
                f.UpdateEditActions();
                f.ColorPaletteFollowCaret();
                break;
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
    // and other windows taking the focus for a while change neither; coming
    // back from another window enters the control afresh, as the shortcuts
    // typed there found the window's edit actions off.
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
            if (reason == Qt::ActiveWindowFocusReason) {
                Enter(watched);
            }
            return;
        }
        if (entered_ == f.InputEdit) {
            f.InputEditExit();
        }
        entered_ = watched;
        Enter(watched);
    }

    void Enter(QObject* watched) {
        TMainForm& f = form_;
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
    CreateToolActions();
    CreateInputEditActions();
    CreateViewAndHelpActions();
    CreateMenusAndBars();
    FollowActionEvents();
    InputEditExit();
    UpdateEditActions();
    UpdateViewActions();
}

// The images of the connection and away actions; Options and the hidden Help.
void TMainForm::CreateToolActions() {
    for (const auto& [action, image] : {std::pair{ConnectAction, 6},
                                        {DisconnectAction, 7},
                                        {AwayMessagesAction, 29},
                                        {AwayAction, Away ? 30 : 31}}) {
        dk::SetActionImageIndex(*action, image);
        action->setIcon(QIcon(QPixmap::fromImage(MenuImages->Image(image))));
    }
    OptionsAction = MakeFormAction(ActionList1, "OptionsAction", QStringLiteral("&Options..."),
                                   Qt::Key_F10, 9, [this] { OptionsActionExecute(); });
    HelpAction = MakeFormAction(ActionList1, "HelpAction", QStringLiteral("ZELVO Help"), Qt::Key_F1,
                                10, [] {});
    HelpAction->setVisible(false);
}

void TMainForm::CreateInputEditActions() {
    CreateEditActions(ActionList1, *this, MenuImages);
    EditActions->Update(InputEdit);
    EditActions->AddEditor(InputEdit);
    // Undo acts on the input line whatever has the focus (only its own events
    // enable it); the others act on it while it has the focus, and Copy on a
    // focused tree's selected node otherwise.
    EditActions->OnExecute = [this](TEditActions*, QAction* action, bool& handled) {
        if (action == UndoAction || InputEdit->hasFocus()) {
            return;
        }
        handled = true;
        for (const TTreeView* tree : {FriendsTreeView, GroupsTreeView}) {
            if (action == CopyAction && tree->hasFocus() && HasSelectedNode(*tree)) {
                QGuiApplication::clipboard()->setText(tree->SelectedNode()->Text());
            }
        }
    };
}

// Insert Reference, the view toggles, About and the web site.
void TMainForm::CreateViewAndHelpActions() {
    const QKeySequence none;
    AttachAction =
        MakeFormAction(ActionList1, "AttachAction", QStringLiteral("Insert Reference"),
                       QKeySequence(Qt::CTRL | Qt::Key_I), 20, [this] { AttachActionExecute(); });
    ViewStatusBarAction =
        MakeFormAction(ActionList1, "ViewStatusBarAction", QStringLiteral("&Statusbar"), none, -1,
                       [this] { ViewStatusBarActionExecute(); });
    ViewGroupsAction =
        MakeFormAction(ActionList1, "ViewGroupsAction", QStringLiteral("&Friends && Groups"), none,
                       -1, [this] { ViewGroupsActionExecute(); });
    ViewStandardAction =
        MakeFormAction(ActionList1, "ViewStandardAction", QStringLiteral("&Standard"), none, -1,
                       [this] { ViewStandardActionExecute(); });
    ViewEditAction = MakeFormAction(ActionList1, "ViewEditAction", QStringLiteral("&Edit"), none,
                                    -1, [this] { ViewEditActionExecute(); });
    for (QAction* view :
         {ViewStatusBarAction, ViewGroupsAction, ViewStandardAction, ViewEditAction}) {
        view->setCheckable(true);
    }
    AboutAction = MakeFormAction(ActionList1, "AboutAction", QStringLiteral("About Quorvel"), none,
                                 -1, [this] { AboutActionExecute(); });
    WebsiteAction = MakeFormAction(ActionList1, "WebsiteAction", QStringLiteral("Vellinor Website"),
                                   none, 18, [this] { WebsiteActionExecute(); });
}

// The events of the controls the actions follow, the bars and the panel
// closing, the console's selection and the clipboard.
void TMainForm::FollowActionEvents() {
    auto events = std::make_unique<TMainFormActionEvents>(*this);
    for (QObject* watched : std::initializer_list<QObject*>{
             InputEdit, InputEdit->viewport(), FriendsTreeView, GroupsTreeView, StatusBar,
             StandardBar, EditBar, GroupDockablePanel}) {
        watched->installEventFilter(events.get());
    }
    StandardBar->OnClose = [this](TDkCustomDockableWindow*) {
        ViewStandardAction->setChecked(false);
    };
    EditBar->OnClose = [this](TDkCustomDockableWindow*) { ViewEditAction->setChecked(false); };
    GroupDockablePanel->OnClose = [this](TDkCustomDockableWindow*) {
        ViewGroupsAction->setChecked(false);
    };
    OutputMemo->OnSelect = [this](TQvCustomConsole* sender, const QString& text) {
        OutputMemoSelect(sender, text);
    };
    // Paste follows the clipboard while the input line has the focus.
    plat::ConnectGuarded(QGuiApplication::clipboard(), &QClipboard::dataChanged, events.get(),
                         [this] {
                             if (InputEdit->hasFocus()) {
                                 UpdateEditActions();
                             }
                         });
    actionEvents_ = std::move(events);
}

void TMainForm::CreateMenusAndBars() {
    // The actions in order, null for a separator.
    const auto addAll = [](TDkCustomItem* menu, std::initializer_list<QAction*> actions) {
        for (QAction* action : actions) {
            if (action) {
                AddActionItem(menu, action);
            } else {
                AddSeparatorItem(menu);
            }
        }
    };
    TDkCustomItem* bar = MenuBar->Items();
    addAll(AddSubmenuItem(bar, QStringLiteral("EditMenu"), QStringLiteral("&Edit")),
           {UndoAction, RedoAction, nullptr, CutAction, CopyAction, PasteAction, DeleteAction,
            nullptr, SelectAllAction, nullptr, AttachAction});
    TDkCustomItem* view = AddSubmenuItem(bar, QStringLiteral("ViewMenu"), QStringLiteral("&View"));
    addAll(AddSubmenuItem(view, QStringLiteral("ToolbarsMenu"), QStringLiteral("&Toolbars")),
           {ViewStandardAction, ViewEditAction});
    addAll(view, {ViewGroupsAction, ViewStatusBarAction});
    addAll(AddSubmenuItem(bar, QStringLiteral("ToolsMenu"), QStringLiteral("&Tools")),
           {AwayAction, AwayMessagesAction, nullptr, OptionsAction});
    addAll(AddSubmenuItem(bar, QStringLiteral("HelpMenu"), QStringLiteral("&Help")),
           {HelpAction, WebsiteAction, nullptr, AboutAction});

    addAll(StandardBar->Items(), {nullptr, AwayAction, AwayMessagesAction, nullptr, OptionsAction});

    ToolbarsPopupMenu = new TDkxPopupMenu(this);
    ToolbarsPopupMenu->setObjectName(QStringLiteral("ToolbarsPopupMenu"));
    addAll(ToolbarsPopupMenu->Items(), {ViewStandardAction, ViewEditAction});
    for (TDkxDock* dock : {TopDock, BottomDock, LeftDock, RightDock}) {
        ToolbarsPopupMenu->AttachTo(dock);
    }

    addAll(EditBar->Items(), {CutAction, CopyAction, PasteAction, DeleteAction, nullptr, UndoAction,
                              nullptr, AttachAction});
    ColorItem =
        AddDropDownItem(EditBar->Items(), QStringLiteral("ColorItem"), QStringLiteral("Font Color"),
                        QStringLiteral("Select Color"), FontColorImageIndex);
    EmotItem =
        AddDropDownItem(EditBar->Items(), QStringLiteral("EmotItem"), QStringLiteral("Emoticons"),
                        QStringLiteral("Insert Emoticon"), EmoticonsImageIndex);
    CreatePalettes();
}

// --- edit actions ------------------------------------------------------------

void TMainForm::UpdateEditActions() {
    EditActions->Update(InputEdit);
}

void TMainForm::InputEditEnter() {
    ColorItem->SetEnabled(true);
    EmotItem->SetEnabled(true);
    AttachAction->setEnabled(true);
    UpdateEditActions();
    ColorPaletteFollowCaret();
}

void TMainForm::ActionList1Update(plat::TActionList*, QAction* Action) {
    if (!EditActions->Holds(Action) && Action != AttachAction) {
        return;
    }
    QWidget* focus = QApplication::focusWidget();
    if (focus == InputEdit) {
        UpdateEditActions();
        return;
    }
    for (TTreeView* tree : {FriendsTreeView, GroupsTreeView}) {
        if (focus == tree) {
            TreeViewEnter(*this, *tree);
            return;
        }
    }
    // Neither the input line nor a tree has the focus: nothing to cut, copy,
    // paste, delete or select.
    for (QAction* action : {CutAction, CopyAction, PasteAction, DeleteAction, SelectAllAction}) {
        action->setEnabled(false);
    }
    // A key typed in another form is that form's: the input line is not
    // undone behind it, and no reference is inserted.
    QWidget* typedIn = focus != nullptr ? focus : QApplication::activeWindow();
    if (typedIn == nullptr || dk::ActiveForm(typedIn) != this) {
        UndoAction->setEnabled(false);
        AttachAction->setEnabled(false);
    }
}

void TMainForm::InputEditExit() {
    ColorItem->SetEnabled(false);
    EmotItem->SetEnabled(false);
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

// --- view toggles ------------------------------------------------------------

void TMainForm::ViewStatusBarActionExecute() {
    StatusBar->setVisible(ViewStatusBarAction->isChecked());
}

void TMainForm::ViewGroupsActionExecute() {
    GroupDockablePanel->setVisible(ViewGroupsAction->isChecked());
}

void TMainForm::ViewStandardActionExecute() {
    StandardBar->setVisible(ViewStandardAction->isChecked());
}

void TMainForm::ViewEditActionExecute() {
    EditBar->setVisible(ViewEditAction->isChecked());
}

void TMainForm::UpdateViewActions() {
    ViewStatusBarAction->setChecked(!StatusBar->isHidden());
    ViewGroupsAction->setChecked(GroupDockablePanel->Visible());
    ViewStandardAction->setChecked(StandardBar->Visible());
    ViewEditAction->setChecked(EditBar->Visible());
}

void TMainForm::WebsiteActionExecute() {
    plat::ShellOpenUrl(TVLWhoisThread::DefaultSite());
}

void TMainForm::AboutActionExecute() {
    TAboutForm::Execute(this);
}

void TMainForm::OptionsActionExecute() {
    auto* form =
        FindOrCreateForm<TOptionsForm>(QStringLiteral("OptionsForm"), [this](QWidget* owner) {
            return new TOptionsForm(OptionsContext(), owner);
        });
    ShowForm(*form);
}

// --- the reference editor ----------------------------------------------------

void TMainForm::AttachActionExecute() {
    auto* form =
        FindOrCreateForm<TAttachForm>(QStringLiteral("AttachForm"), [this](QWidget* owner) {
            auto* editor = new TAttachForm(VLColorSet, owner);
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
