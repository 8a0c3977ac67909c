#pragma once
// The program's actions: one factory, and the edit actions that the input
// line, the reference editor and the reference viewer share.

#include "platform/core/Guarded.h"

#include <QAction>
#include <QKeySequence>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringView>
#include <QTextEdit>

#include <functional>
#include <utility>

class QWidget;
class TDkxPopupMenu;

namespace plat {
class ImageList;
class TActionList;
} // namespace plat

// The hint of an action with that caption: what a button showing only the
// action's image says about itself. The caption as shown ("&" marks gone,
// "&&" one "&"), without a trailing "..." and surrounding blanks.
QString ActionHint(QStringView caption);

// An action of the owner (a form's action list), named for lookups, with its
// caption ("&" marks the access key), its shortcut and the menu image of that
// index (none for -1), which the kit's items show. Its hint (the status tip
// the kit's items take theirs from) is ActionHint of the caption and follows
// later captions while nobody gave it another.
QAction* MakeAction(QObject* owner, const QString& name, const QString& caption,
                    const QKeySequence& shortcut = {}, int image = -1);

// The same, running onExecute inside plat::Guarded when the action executes.
template <typename F>
QAction* MakeAction(QObject* owner, const QString& name, const QString& caption,
                    const QKeySequence& shortcut, int image, F&& onExecute) {
    QAction* action = MakeAction(owner, name, caption, shortcut, image);
    plat::ConnectGuarded(action, &QAction::triggered, owner, std::forward<F>(onExecute));
    return action;
}

// The seven edit actions by name.
struct TEditActionSet {
    QAction* CutAction = nullptr;
    QAction* CopyAction = nullptr;
    QAction* PasteAction = nullptr;
    QAction* DeleteAction = nullptr;
    QAction* SelectAllAction = nullptr;
    QAction* UndoAction = nullptr;
    // Never enabled.
    QAction* RedoAction = nullptr;
};

// Cut, Copy, Paste, Delete, Select All, Undo and Redo with their pop-up menu
// (Undo, Redo, -, Cut, Copy, Paste, Delete, -, Select All). They act on one
// text editor at a time, the one they were last updated for, and are
// updated again after acting. Paste inserts the clipboard's plain text; a
// read-only editor offers Copy and Select All only; Redo is never enabled.
class TEditActions : public QObject, public TEditActionSet {
public:
    // The actions belong to the form's action list and start disabled; the
    // pop-up menu "InputPopupMenu" belongs to the form and shows the images.
    TEditActions(plat::TActionList* actions, QWidget& form, plat::ImageList* images);

    TDkxPopupMenu* PopupMenu = nullptr;

    QTextEdit* Editor() const { return editor_; }
    // Makes the editor the one the actions act on and enables them for it:
    // Paste while the clipboard holds text, Cut, Copy and Delete while text is
    // selected, Select All while there is text, Undo while the editor can
    // undo. Null disables them all.
    void Update(QTextEdit* editor);
    // The editor's context menu opens the pop-up menu, updated for it.
    void AddEditor(QTextEdit* editor);
    // Whether the action is one of these.
    bool Holds(const QAction* action) const;

    // Before an action acts on the editor; Handled set keeps it from acting.
    std::function<void(TEditActions* Sender, QAction* Action, bool& Handled)> OnExecute;

private:
    template <typename Act>
    QAction* Make(const char* name, const QString& caption, const QKeySequence& shortcut, int image,
                  Act act);

    QPointer<QTextEdit> editor_;
};

// The edit actions as members of the form that shows them, under the names
// its menus, its code and its users reach them by: EditActions, an alias of
// each of its actions, and InputPopupMenu for its pop-up menu.
class TFormEditActions : public TEditActionSet {
public:
    TEditActions* EditActions = nullptr;
    TDkxPopupMenu* InputPopupMenu = nullptr;

protected:
    // Creates the edit actions of the form (TEditActions) and their aliases.
    void CreateEditActions(plat::TActionList* actions, QWidget& form, plat::ImageList* images);
};
