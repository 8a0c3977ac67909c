#include "dockkit/themes/DkDeskWatcher.h"

#include "dockkit/common/DkCommon.h"
#include "dockkit/themes/DkNexus.h"

#include "platform/core/Guarded.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace dk {

TDkxDeskWatcher::TDkxDeskWatcher(TDkxNexus& nexus) : nexus_(nexus) {
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    app->installEventFilter(this);
    plat::ConnectGuarded(app, &QGuiApplication::screenAdded, this, [this](QScreen* screen) {
        WatchScreen(screen);
        DisplayChanged();
    });
    plat::ConnectGuarded(app, &QGuiApplication::screenRemoved, this,
                         [this](QScreen*) { DisplayChanged(); });
    plat::ConnectGuarded(app, &QGuiApplication::primaryScreenChanged, this,
                         [this](QScreen*) { DisplayChanged(); });
    for (QScreen* screen : QGuiApplication::screens()) {
        WatchScreen(screen);
    }
}

TDkxDeskWatcher::~TDkxDeskWatcher() {
    if (QCoreApplication* app = QCoreApplication::instance()) {
        app->removeEventFilter(this);
    }
}

void TDkxDeskWatcher::WatchScreen(QScreen* screen) {
    plat::ConnectGuarded(screen, &QScreen::geometryChanged, this,
                         [this](const QRect&) { DisplayChanged(); });
}

void TDkxDeskWatcher::DisplayChanged() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    nexus_.DisplayChanged(screen != nullptr ? screen->depth() : 32);
}

void TDkxDeskWatcher::VisualStyleChangeSeen() {
    if (visualStylePending_) {
        return;
    }
    visualStylePending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            visualStylePending_ = false;
            plat::Guarded([this] { nexus_.VisualStyleChanged(); });
        },
        Qt::QueuedConnection);
}

bool TDkxDeskWatcher::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::ApplicationPaletteChange:
        if (watched == QCoreApplication::instance()) {
            plat::Guarded([this] { nexus_.SysColorChanged(); });
        }
        break;
    case QEvent::ApplicationFontChange:
        if (watched == QCoreApplication::instance()) {
            plat::Guarded(&RealiseKitMenuFont);
        }
        break;
    case QEvent::ThemeChange:
        VisualStyleChangeSeen();
        break;
    case QEvent::StyleChange:
        // A widget's own style is not the application's.
        if (const auto* widget = qobject_cast<const QWidget*>(watched);
            widget != nullptr && !widget->testAttribute(Qt::WA_SetStyle)) {
            VisualStyleChangeSeen();
        }
        break;
    default:
        break;
    }
    return false;
}

} // namespace dk
