#pragma once

#include "app/MainForm.h"

#include <functional>
#include <optional>

// Lets tests answer the main window's modal dialogs and read the markup of
// its console lines. Not for the application.
class TMainFormTestSeam {
public:
    // When set, answers the login dialog instead of showing it.
    static inline std::function<std::optional<TLoginChoice>(TMainForm& form)> LoginDialog;
    // Read when the window is created: the console keeps the markup of its
    // lines (TMessageNode::Text).
    static inline bool StoreConsoleText = false;
};
