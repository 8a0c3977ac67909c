#pragma once

#include "app/mainform/MainForm.h"
#include "platform/core/Guarded.h"

// Lets tests read the markup of the main window's console lines, and read
// the window's settings again as its creation does. Not for the application.
class TMainFormTestSeam {
public:
    // Read when the window is created: the console keeps the markup of its
    // lines (TMessageNode::Text).
    static inline bool StoreConsoleText = false;
    static void LoadSettings(TMainForm& form) {
        plat::Guarded([&] { form.LoadSettings(); });
    }
};
