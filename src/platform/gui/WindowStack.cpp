#include "platform/gui/WindowStack.h"

#include <QWidget>

namespace plat {

void RaiseWindow(QWidget& window) {
    // A copy: the handler may end its own scope.
    if (const RaiseHandler handler = ScopedRaiseHandler::Current()) {
        handler(window);
        return;
    }
    window.raise();
}

} // namespace plat
