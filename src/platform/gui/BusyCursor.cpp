#include "platform/gui/BusyCursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace plat {

namespace {

int busyCount = 0;

} // namespace

void BeginBusy() {
    if (busyCount++ == 0) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    }
}

void EndBusy() {
    if (busyCount == 0) {
        return;
    }
    if (--busyCount == 0) {
        QGuiApplication::restoreOverrideCursor();
    }
}

int BusyCount() {
    return busyCount;
}

} // namespace plat
