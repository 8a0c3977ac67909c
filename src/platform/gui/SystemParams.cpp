#include "platform/gui/SystemParams.h"

#include <QApplication>
#include <QGuiApplication>
#include <QStyle>

namespace plat {

namespace {

bool onWayland() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace

int QtSystemParameters::MenuShowDelay() const {
    return 400;
}

bool QtSystemParameters::FlatMenus() const {
    return false;
}

bool QtSystemParameters::KeyboardCues() const {
    const auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    return app == nullptr || QApplication::style()->styleHint(QStyle::SH_UnderlineShortcut) != 0;
}

bool QtSystemParameters::MenuAnimation() const {
    return !onWayland() && QApplication::isEffectEnabled(Qt::UI_AnimateMenu);
}

bool QtSystemParameters::MenuFade() const {
    return !onWayland() && QApplication::isEffectEnabled(Qt::UI_FadeMenu);
}

bool QtSystemParameters::GradientCaptions() const {
    return false;
}

bool QtSystemParameters::LayeredWindows() const {
    const QString name = QGuiApplication::platformName();
    return name == QLatin1String("xcb") || name == QLatin1String("windows") ||
           name == QLatin1String("cocoa");
}

bool QtSystemParameters::ApplicationActive() const {
    return QGuiApplication::applicationState() == Qt::ApplicationActive;
}

const SystemParameters& CurrentSystemParameters() {
    static const QtSystemParameters desktop;
    const SystemParameters* installed = ScopedSystemParameters::Current();
    return installed != nullptr ? *installed : desktop;
}

} // namespace plat
