#pragma once
// The program's actions: one factory, and the edit actions that the input
// line, the reference editor and the reference viewer share.

#include "platform/core/Guarded.h"

#include <QAction>
#include <QKeySequence>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <utility>

class QTextEdit;
class QWidget;

namespace kit {
class IPopupMenu;
}

// An action of the owner, named for lookups, with its caption ("&" marks the
// access key), its shortcut and the menu image of that index (none for -1).
QAction* MakeAction(QObject* owner, const QString& name, const QString& caption,
                    const QKeySequence& shortcut = {}, int image = -1);

// The same, running onExecute inside plat::guarded when the action executes.
template <typename F>
QAction* MakeAction(QObject* owner, const QString& name, const QString& caption,
                    const QKeySequence& shortcut, int image, F&& onExecute) {
    QAction* action = MakeAction(owner, name, caption, shortcut, image);
    plat::ConnectGuarded(action, &QAction::triggered, owner, std::forward<F>(onExecute));
    return action;
}

// Cut, Copy, Paste, Delete, Select All, Undo and Redo with their pop-up menu
// (Undo, Redo, -, Cut, Copy, Paste, Delete, -, Select All). They act on one
// text editor at a time, the one they were last updated for, and are
// updated again after acting. Paste inserts the clipboard's plain text; a
// read-only editor offers Copy and Select All only; Redo is never enabled.
class TEditActions : public QObject {
public:
    // The actions belong to owner and start disabled; their shortcuts work
    // in form, which also owns the pop-up menu.
    TEditActions(QObject* owner, QWidget& form);

    QAction* CutAction = nullptr;
    QAction* CopyAction = nullptr;
    QAction* PasteAction = nullptr;
    QAction* DeleteAction = nullptr;
    QAction* SelectAllAction = nullptr;
    QAction* UndoAction = nullptr;
    QAction* RedoAction = nullptr;
    kit::IPopupMenu* PopupMenu = nullptr;

    QTextEdit* Editor() const { return editor_; }
    // Makes the editor the one the actions act on and enables them for it:
    // Paste while the clipboard holds text, Cut, Copy and Delete while text is
    // selected, Select All while there is text, Undo while the editor can
    // undo. Null disables them all.
    void Update(QTextEdit* editor);
    // The editor's context menu opens the pop-up menu, updated for it.
    void AddEditor(QTextEdit* editor);

    // Before an action acts on the editor; Handled set keeps it from acting.
    std::function<void(TEditActions* Sender, QAction* Action, bool& Handled)> OnExecute;

private:
    template <typename Act>
    QAction* Make(const char* name, const QString& caption, const QKeySequence& shortcut, int image,
                  Act act);

    QWidget& form_;
    QPointer<QTextEdit> editor_;
};
