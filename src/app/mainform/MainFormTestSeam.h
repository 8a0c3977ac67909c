#pragma once

#include "app/mainform/MainForm.h"

class TDkxDock;
class TDkxDockablePanel;
class TDkxPopupMenu;
class TDkxStatusBar;
class TDkxToolbar;

// Lets tests read the markup of the main window's console lines. Not for
// the application.
class TMainFormTestSeam {
public:
    // Read when the window is created: the console keeps the markup of its
    // lines (TMessageNode::Text).
    static inline bool StoreConsoleText = false;
};

// The toolbar and docking kit's components behind a main window's bars,
// docks, panel, status bar and pop-up menus, by their names.
struct TMainFormKit {
    TDkxDock* TopDock;
    TDkxDock* LeftDock;
    TDkxDock* RightDock;
    TDkxDock* BottomDock;
    TDkxToolbar* MenuBar;
    TDkxToolbar* StandardBar;
    TDkxToolbar* EditBar;
    TDkxDockablePanel* GroupDockablePanel;
    TDkxStatusBar* StatusBar;
    TDkxPopupMenu* OnPopupMenu;
    TDkxPopupMenu* OffPopupMenu;
    TDkxPopupMenu* UnPopupMenu;
    TDkxPopupMenu* CharPopupMenu;
    TDkxPopupMenu* PrivCharPopupMenu;
    TDkxPopupMenu* PubPopupMenu;
    TDkxPopupMenu* PrivPopupMenu;
    TDkxPopupMenu* InputPopupMenu;
    TDkxPopupMenu* ToolbarsPopupMenu;
};
TMainFormKit KitOf(TMainForm& form);
