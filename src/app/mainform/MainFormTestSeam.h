#pragma once

#include "app/mainform/MainForm.h"

// Lets tests read the markup of the main window's console lines. Not for
// the application.
class TMainFormTestSeam {
public:
    // Read when the window is created: the console keeps the markup of its
    // lines (TMessageNode::Text).
    static inline bool StoreConsoleText = false;
};
