#pragma once
// Driving the kit's menus as a user does: the menu loop of a pop-up menu or
// a menu bar owns the mouse and the keys until it ends, so the input is
// queued before the loop starts and reaches the widgets the way the window
// system delivers it.

#include <QEvent>
#include <QPoint>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

class QImage;
class QWidget;
class TDkCustomItem;
class TDkItemViewer;
class TDkView;
class TDkxCustomItem;

namespace kittest {

// Runs the step from the event loop (inside a menu loop that runs by then),
// after what is queued already.
void Later(std::function<void()> step);
// Ends the running menu loop, if any, with nothing chosen (unless it has
// ended with a command already).
void EndMenus();

// Mouse input at a screen point: to the widget holding the mouse, else to
// the one under the point, else to `fallback`.
void Mouse(QEvent::Type type, QPoint global, Qt::MouseButton button = Qt::LeftButton,
           QWidget* fallback = nullptr);
void ClickAt(QPoint global, Qt::MouseButton button = Qt::LeftButton, QWidget* fallback = nullptr);
// A key press and release: to the focus widget, else to `fallback`.
void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = {},
         QWidget* fallback = nullptr);

// The view that shows the item now: a shown bar's or an open menu's.
TDkView* ViewShowing(const TDkCustomItem* item);
// The screen point at the middle of the item where it shows now.
std::optional<QPoint> CenterOf(const TDkCustomItem* item);
// The item's viewer in the view that shows it now; null when not shown.
TDkItemViewer* ViewerOf(const TDkCustomItem* item);
// The tip the application's hint machinery shows while the pointer rests
// on the item where it shows now; empty when none is shown.
QString TipOver(const TDkCustomItem* item);
// The captions of the shown items of the innermost open menu.
std::vector<QString> OpenMenuCaptions();

// What the item's OnDrawImage draws over an empty 16 x 16 image, as for the
// item drawn enabled or disabled.
QImage DrawnImage(TDkxCustomItem* item, bool enabled);

// Clicks the first item (on a bar), then each further item as its menu
// opens; a step that finds no item, and a menu loop still running after
// the last step, end the menus so that the test goes on. Answers whether
// every item was found.
bool ChooseByMouse(const std::vector<TDkCustomItem*>& path);
// Presses the keys one after another: the first where the keyboard focus
// is (or at `fallback`), the rest inside the menu loop it starts; then ends
// a menu loop still running.
void PressKeys(const std::vector<std::pair<int, Qt::KeyboardModifiers>>& keys, QWidget* fallback);

} // namespace kittest
