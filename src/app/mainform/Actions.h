#pragma once
// The program's actions: one factory, the kit's docks, items that show
// actions in the kit's menus and bars, and the edit actions that the input
// line, the reference editor and the reference viewer share.

#include "dockkit/docking/DkxDock.h"
#include "dockkit/items/DkItem.h"
#include "platform/core/Guarded.h"
#include "platform/gui/Colors.h"

#include <QAction>
#include <QKeySequence>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringView>
#include <QTextEdit>

#include <functional>
#include <initializer_list>
#include <utility>

class QMainWindow;
class QWidget;
class TDkxColorItem;
class TDkxDock;
class TDkxItem;
class TDkxPopupMenu;
class TDkxSeparatorItem;
class TDkxStatusBar;
class TDkxSubmenuItem;
class TDkxToolbar;

namespace plat {
class AlignLayout;
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

// The same, running onExecute inside plat::guarded when the action executes.
template <typename F>
QAction* MakeAction(QObject* owner, const QString& name, const QString& caption,
                    const QKeySequence& shortcut, int image, F&& onExecute) {
    QAction* action = MakeAction(owner, name, caption, shortcut, image);
    plat::ConnectGuarded(action, &QAction::triggered, owner, std::forward<F>(onExecute));
    return action;
}

// A dock of the form on the side: the parent's align layout places it.
TDkxDock* AddDock(QWidget* parent, const QString& name, TDkDockPosition position);

// The client area of a main window, laid out as the platform aligns controls:
// the status bar "StatusBar" (panels of those widths, -1 for the one that takes
// the rest) at the very bottom, then the docks "TopDock", "BottomDock",
// "LeftDock" and "RightDock" round what the form adds to the layout as its
// client.
struct TDockSite {
    QWidget* Client = nullptr;
    plat::AlignLayout* Layout = nullptr;
    TDkxStatusBar* StatusBar = nullptr;
    TDkxDock* Top = nullptr;
    TDkxDock* Bottom = nullptr;
    TDkxDock* Left = nullptr;
    TDkxDock* Right = nullptr;
};
TDockSite AddDockSite(QMainWindow& form, std::initializer_list<int> panelWidths);
// A tool bar of the form, docked in its own row of the dock.
TDkxToolbar* AddToolbar(QWidget* form, TDkDock* dock, const QString& name, const QString& caption,
                        int row);

// Items added at the end of a menu or bar (`parent`, which owns them): one
// that shows the action (caption, image, shortcut, check mark, enabled and
// visible state) and executes it, a separator, a submenu.
TDkxItem* AddActionItem(TDkCustomItem* parent, QAction* action,
                        TDkItemDisplayMode mode = nbdmDefault);
TDkxSeparatorItem* AddSeparatorItem(TDkCustomItem* parent);
TDkxSubmenuItem* AddSubmenuItem(TDkCustomItem* parent, const QString& name, const QString& caption);
// A bar's button that drops its submenu down, with an arrow, an image and a
// hint.
TDkxSubmenuItem* AddDropDownItem(TDkCustomItem* parent, const QString& name, const QString& caption,
                                 const QString& hint, int image);
// The "Default" entry "ClrDefault" of a font colour drop-down: a colour item
// of that colour with the hint "Default Color", in radio group 99, drawn as a
// button that shows its hint while the menu is open.
TDkxColorItem* AddDefaultColorItem(TDkCustomItem* parent, plat::TColor color);

// Cut, Copy, Paste, Delete, Select All, Undo and Redo with their pop-up menu
// (Undo, Redo, -, Cut, Copy, Paste, Delete, -, Select All). They act on one
// text editor at a time, the one they were last updated for, and are
// updated again after acting. Paste inserts the clipboard's plain text; a
// read-only editor offers Copy and Select All only; Redo is never enabled.
class TEditActions : public QObject {
public:
    // The actions belong to the form's action list and start disabled; the
    // pop-up menu "InputPopupMenu" belongs to the form and shows the images.
    TEditActions(plat::TActionList* actions, QWidget& form, plat::ImageList* images);

    QAction* CutAction = nullptr;
    QAction* CopyAction = nullptr;
    QAction* PasteAction = nullptr;
    QAction* DeleteAction = nullptr;
    QAction* SelectAllAction = nullptr;
    QAction* UndoAction = nullptr;
    QAction* RedoAction = nullptr;
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

    plat::TActionList* actions_;
    QPointer<QTextEdit> editor_;
};
