#include "platform/gui/WindowManager.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QWidget>

#include <optional>

#if QV_HAVE_XCB
#include <QGuiApplication>
#include <xcb/xcb.h>

#include <cstdlib>
#endif

namespace plat {

namespace {

#if QV_HAVE_XCB
// Only one client may redirect the structure requests of a root window's
// children, and that client is the window manager by definition.
bool RootIsManaged(xcb_connection_t* connection, xcb_window_t root) {
    xcb_get_window_attributes_reply_t* reply = xcb_get_window_attributes_reply(
        connection, xcb_get_window_attributes(connection, root), nullptr);
    if (reply == nullptr) {
        return false;
    }
    const bool managed = (reply->all_event_masks & XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT) != 0;
    std::free(reply);
    return managed;
}

// Nothing when the program does not draw on X.
std::optional<bool> XWindowManagerRuns() {
    const auto* x11 = qGuiApp != nullptr
                          ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                          : nullptr;
    xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
    if (connection == nullptr) {
        return std::nullopt;
    }
    for (xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection)); it.rem > 0;
         xcb_screen_next(&it)) {
        if (RootIsManaged(connection, it.data->root)) {
            return true;
        }
    }
    return false;
}
#endif

} // namespace

bool WindowManagerRuns() {
#if QV_HAVE_XCB
    if (const std::optional<bool> x = XWindowManagerRuns()) {
        return *x;
    }
#endif
    return true;
}

int ExecModal(QDialog& dialog) {
    QPointer<QWidget> owner = QApplication::activeWindow();
    if (owner == &dialog || owner.isNull()) {
        owner = dialog.parentWidget() != nullptr ? dialog.parentWidget()->window() : nullptr;
    }
    const QPointer<QDialog> closing(&dialog);
    const int result = dialog.exec();
    // A window manager hands the focus on by itself, later; without one it
    // stays with the closed dialog's window, that is with no window at all.
    const QWidget* active = QApplication::activeWindow();
    const bool focusLost = active == nullptr || (active == closing.data() && !closing->isVisible());
    if (focusLost && !owner.isNull() && owner->isVisible() && !owner->isMinimized()) {
        owner->activateWindow();
    }
    return result;
}

} // namespace plat
