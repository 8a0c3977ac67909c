#include "app/common/QvApplication.h"

#include "platform/core/Guarded.h"

#include <exception>

bool TQvApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        plat::HandleException(error);
    } catch (...) {
        plat::HandleUnknownException();
    }
    return false;
}
