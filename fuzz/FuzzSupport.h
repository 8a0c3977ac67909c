#pragma once
// What the fuzz targets of the program's windows share: the checks that stop
// a run, the application object, and the monitor layouts they run on.
#include "platform/gui/Screens.h"

#include <QApplication>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdlib>
#include <memory>
#include <vector>

#include "FuzzCheck.h" // last: Qt's headers use the name check

// The application object for windows off screen. Never destroyed: the
// platform's devices outlive the exit handlers.
inline QApplication* OffscreenApplication(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QApplication* app = new QApplication(*argc, *argv);
    return app;
}

// Points the settings and data folders (XDG_CONFIG_HOME, XDG_DATA_HOME) at a
// folder of the run's own, in memory where the system offers it, so that
// nothing is read or written outside it; the folder goes at exit.
inline void UseOwnFolder(const QString& name) {
    static std::unique_ptr<QTemporaryDir> folder;
    const QString shm = QStringLiteral("/dev/shm");
    folder = QFileInfo(shm).isWritable()
                 ? std::make_unique<QTemporaryDir>(shm + u'/' + name + QStringLiteral("-XXXXXX"))
                 : std::make_unique<QTemporaryDir>();
    check(folder->isValid());
    qputenv("XDG_CONFIG_HOME", folder->path().toUtf8());
    qputenv("XDG_DATA_HOME", folder->path().toUtf8());
}

// Monitor layouts: one, two side by side, one left of the primary one (and
// reaching above it), one above it with a work area of its own, a small one,
// none.
inline std::vector<std::vector<plat::ScreenArea>> MonitorLayouts() {
    using plat::TRect;
    const plat::ScreenArea primary{TRect(0, 0, 1920, 1080), TRect(0, 0, 1920, 1040)};
    return {{primary},
            {primary, {TRect(1920, 0, 3840, 1080), TRect(1920, 0, 3840, 1040)}},
            {primary, {TRect(-1280, -200, 0, 824), TRect(-1280, -200, 0, 800)}},
            {primary, {TRect(0, -600, 800, 0), TRect(30, -600, 800, 0)}},
            {{TRect(0, 0, 320, 200), TRect(0, 20, 320, 200)}},
            {}};
}
