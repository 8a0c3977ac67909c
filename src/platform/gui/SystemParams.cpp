#include "platform/gui/SystemParams.h"

#include <QApplication>
#include <QGuiApplication>
#include <QStyle>

namespace plat {

namespace {

// Whether the window system shows top-levels translucent and shaped, which a
// menu needs to fade or slide in (not on Wayland, where masks shape input
// only, nor on the offscreen and minimal platforms).
bool CanAnimateWindows() {
    const QString name = QGuiApplication::platformName();
    return name == QLatin1String("xcb") || name == QLatin1String("windows") ||
           name == QLatin1String("cocoa");
}

} // namespace

std::optional<int> QtSystemParameters::MenuShowDelay() const {
    return std::nullopt;
}

bool QtSystemParameters::FlatMenus() const {
    return false;
}

bool QtSystemParameters::KeyboardCues() const {
    const auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    return app == nullptr || QApplication::style()->styleHint(QStyle::SH_UnderlineShortcut) != 0;
}

bool QtSystemParameters::MenuAnimation() const {
    return CanAnimateWindows() && QApplication::isEffectEnabled(Qt::UI_AnimateMenu);
}

bool QtSystemParameters::MenuFade() const {
    return CanAnimateWindows() && QApplication::isEffectEnabled(Qt::UI_FadeMenu);
}

bool QtSystemParameters::GradientCaptions() const {
    return false;
}

bool QtSystemParameters::LayeredWindows() const {
    return CanAnimateWindows();
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
