#include "app/common/Actions.h"

#include "app/common/FormBars.h"
#include "app/common/MenuImages.h"
#include "dockkit/items/DkActionLink.h"
#include "dockkit/themes/DkThemedPopup.h"
#include "platform/gui/AccelText.h"
#include "platform/gui/ActionList.h"
#include "platform/gui/ImageList.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QIcon>
#include <QMimeData>
#include <QPixmap>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

QString ActionHint(QStringView caption) {
    QString hint = plat::StripAccelerators(caption).trimmed();
    if (hint.endsWith(QLatin1String("..."))) {
        hint.chop(3);
    }
    return hint.trimmed();
}

QAction* MakeAction(QObject* owner, const QString& name, const QString& caption,
                    const QKeySequence& shortcut, int image) {
    auto* action = new QAction(caption, owner);
    action->setObjectName(name);
    action->setShortcut(shortcut);
    action->setStatusTip(ActionHint(caption));
    // A new caption brings its hint, unless the hint was set apart.
    plat::ConnectGuarded(action, &QAction::changed, action, [action, last = caption]() mutable {
        const QString now = action->text();
        if (now == last) {
            return;
        }
        const bool following = action->statusTip() == ActionHint(last);
        last = now;
        if (following) {
            action->setStatusTip(ActionHint(now));
        }
    });
    if (image >= 0) {
        dk::SetActionImageIndex(*action, image);
        action->setIcon(QIcon(QPixmap::fromImage(MenuImage(image))));
    }
    return action;
}

namespace {

bool ClipboardHoldsText() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data != nullptr && data->hasText();
}

} // namespace

template <typename Act>
QAction* TEditActions::Make(const char* name, const QString& caption, const QKeySequence& shortcut,
                            int image, Act act) {
    // The actions belong to the list the set belongs to.
    QAction* action = MakeAction(parent(), QString::fromLatin1(name), caption, shortcut, image);
    action->setEnabled(false);
    plat::ConnectGuarded(action, &QAction::triggered, this, [this, action, act] {
        bool handled = false;
        if (OnExecute) {
            OnExecute(this, action, handled);
        }
        if (!handled && editor_) {
            act(*editor_);
            Update(editor_);
        }
    });
    return action;
}

TEditActions::TEditActions(plat::TActionList* actions, QWidget& form, plat::ImageList* images)
    : QObject(actions) {
    const auto ctrl = [](Qt::Key key) { return QKeySequence(Qt::CTRL | key); };
    CutAction = Make("CutAction", QStringLiteral("Cu&t"), ctrl(Qt::Key_X), 11,
                     [](QTextEdit& e) { e.cut(); });
    CopyAction = Make("CopyAction", QStringLiteral("&Copy"), ctrl(Qt::Key_C), 12,
                      [](QTextEdit& e) { e.copy(); });
    PasteAction =
        Make("PasteAction", QStringLiteral("&Paste"), ctrl(Qt::Key_V), 13, [](QTextEdit& e) {
            if (!e.isReadOnly() && ClipboardHoldsText()) {
                e.insertPlainText(QGuiApplication::clipboard()->text());
            }
        });
    DeleteAction = Make("DeleteAction", QStringLiteral("&Delete"), QKeySequence(Qt::Key_Delete), 14,
                        [](QTextEdit& e) {
                            if (!e.isReadOnly()) {
                                QTextCursor cursor = e.textCursor();
                                cursor.removeSelectedText();
                                e.setTextCursor(cursor);
                            }
                        });
    SelectAllAction = Make("SelectAllAction", QStringLiteral("S&elect All"), ctrl(Qt::Key_A), -1,
                           [](QTextEdit& e) { e.selectAll(); });
    UndoAction = Make("UndoAction", QStringLiteral("Undo..."), ctrl(Qt::Key_Y), 16,
                      [](QTextEdit& e) { e.undo(); });
    // Shares Ctrl+Y with Undo, which comes first; being disabled it never
    // runs.
    RedoAction = MakeAction(actions, QStringLiteral("RedoAction"), QStringLiteral("&Redo..."),
                            ctrl(Qt::Key_Y), 17);
    RedoAction->setEnabled(false);

    PopupMenu = new TDkxPopupMenu(&form);
    PopupMenu->setObjectName(QStringLiteral("InputPopupMenu"));
    PopupMenu->SetImages(images);
    TDkCustomItem* items = PopupMenu->Items();
    AddActionItem(items, UndoAction);
    AddActionItem(items, RedoAction);
    AddSeparatorItem(items);
    for (QAction* action : {CutAction, CopyAction, PasteAction, DeleteAction}) {
        AddActionItem(items, action);
    }
    AddSeparatorItem(items);
    AddActionItem(items, SelectAllAction);
}

void TEditActions::Update(QTextEdit* editor) {
    editor_ = editor;
    const bool editable = editor && !editor->isReadOnly();
    const bool selected = editor && editor->textCursor().hasSelection();
    PasteAction->setEnabled(editable && ClipboardHoldsText());
    CutAction->setEnabled(editable && selected);
    CopyAction->setEnabled(selected);
    DeleteAction->setEnabled(editable && selected);
    SelectAllAction->setEnabled(editor && !editor->document()->isEmpty());
    UndoAction->setEnabled(editable && editor->document()->isUndoAvailable());
    RedoAction->setEnabled(false);
}

bool TEditActions::Holds(const QAction* action) const {
    for (const QAction* own : {CutAction, CopyAction, PasteAction, DeleteAction, SelectAllAction,
                               UndoAction, RedoAction}) {
        if (action == own) {
            return true;
        }
    }
    return false;
}

void TEditActions::AddEditor(QTextEdit* editor) {
    editor->setContextMenuPolicy(Qt::CustomContextMenu);
    plat::ConnectGuarded(editor, &QWidget::customContextMenuRequested, this,
                         [this, editor](const QPoint& pos) {
                             Update(editor);
                             PopupMenu->SetPopupComponent(editor);
                             const QPoint global = editor->viewport()->mapToGlobal(pos);
                             PopupMenu->Popup(global.x(), global.y());
                         });
}

void TFormEditActions::CreateEditActions(plat::TActionList* actions, QWidget& form,
                                         plat::ImageList* images) {
    EditActions = new TEditActions(actions, form, images);
    // The aliases: the set of actions, taken over whole.
    static_cast<TEditActionSet&>(*this) = static_cast<const TEditActionSet&>(*EditActions);
    InputPopupMenu = EditActions->PopupMenu;
}
