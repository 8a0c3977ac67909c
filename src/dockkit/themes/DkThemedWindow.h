#pragma once
// What every themed window (tool bar, dockable panel, pop-up) answers when the
// theme speaks to it: it holds its layout while the theme changes, takes the
// new look once it has changed, and tells its view kind and the colour it
// shows.

#include "platform/gui/Colors.h"

class QEvent;

namespace dk {

class ThemedWindow {
public:
    // The theme is about to change: the window holds its layout.
    virtual void ThemeChanging() = 0;
    // The theme has changed: the window recomputes, resumes and repaints.
    virtual void ThemeChanged() = 0;
    // The kind the theme paints the window as (dk::View*).
    virtual unsigned ViewKind() const = 0;
    // The colour the window and its children show.
    virtual plat::TColor ThemedBackColor() const = 0;

protected:
    ThemedWindow() = default;
    ThemedWindow(const ThemedWindow&) = default;
    ThemedWindow& operator=(const ThemedWindow&) = default;
    ~ThemedWindow() = default;
};

// Answers the theme's messages (kThemeChangingMessage, kThemeChangedMessage,
// kViewKindMessage, kBackColorMessage) for the window and says whether the
// event was one of them.
bool AnswerThemeMessage(ThemedWindow& window, QEvent* event);

} // namespace dk
