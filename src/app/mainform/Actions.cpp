#include "app/mainform/Actions.h"

#include "app/kit/Kit.h"
#include "app/mainform/MenuImages.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QIcon>
#include <QMimeData>
#include <QPixmap>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

QAction* MakeAction(QObject* owner, const QString& name, const QString& caption,
                    const QKeySequence& shortcut, int image) {
    auto* action = new QAction(caption, owner);
    action->setObjectName(name);
    action->setShortcut(shortcut);
    if (image >= 0) {
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
    QAction* action = MakeAction(parent(), QString::fromLatin1(name), caption, shortcut, image);
    action->setEnabled(false);
    form_.addAction(action);
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

TEditActions::TEditActions(QObject* owner, QWidget& form) : QObject(owner), form_(form) {
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
    // Shares Ctrl+Y with Undo; being disabled it never takes the key.
    RedoAction = MakeAction(owner, QStringLiteral("RedoAction"), QStringLiteral("&Redo..."),
                            ctrl(Qt::Key_Y), 17);
    RedoAction->setEnabled(false);
    form.addAction(RedoAction);

    PopupMenu = kit::CreatePopupMenu(form, QStringLiteral("InputPopupMenu"));
    PopupMenu->AddAction(UndoAction);
    PopupMenu->AddAction(RedoAction);
    PopupMenu->AddSeparator();
    for (QAction* action : {CutAction, CopyAction, PasteAction, DeleteAction}) {
        PopupMenu->AddAction(action);
    }
    PopupMenu->AddSeparator();
    PopupMenu->AddAction(SelectAllAction);
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

void TEditActions::AddEditor(QTextEdit* editor) {
    editor->setContextMenuPolicy(Qt::CustomContextMenu);
    plat::ConnectGuarded(editor, &QWidget::customContextMenuRequested, this,
                         [this, editor](const QPoint& pos) {
                             Update(editor);
                             const QPoint global = editor->viewport()->mapToGlobal(pos);
                             PopupMenu->Popup(global.x(), global.y());
                         });
}
