#include "effects/gui/application/VfxDisplayInfo.h"

#include <QGuiApplication>
#include <QScreen>

namespace fx {

uint32_t TVfxDisplaySystemInfo::ColorDepth() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
        return 0;
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? static_cast<uint32_t>(screen->depth()) : 0;
}

QString TVfxDisplaySystemInfo::ProgramVersionString(QStringView name) {
    return VfxHostSystemInfo().ProgramVersionString(name);
}

TVfxDisplaySystemInfo& VfxDisplaySystemInfo() {
    static TVfxDisplaySystemInfo provider;
    return provider;
}

} // namespace fx
