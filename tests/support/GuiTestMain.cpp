#include <QApplication>
#include <QTemporaryDir>

#include "BoxAnswerer.h"
#include "SanitizerDefaults.h"

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    // Widgets are tested without a display: painting goes into images.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // A runtime folder of the process's own: the program's single-instance
    // lock lives there, and test processes running side by side must never
    // take each other for a running program.
    const QTemporaryDir runtime;
    if (runtime.isValid()) {
        setenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit().constData(), 1);
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    // A box no test expected fails that test instead of waiting for a click.
    const BoxAnswerer strayBoxes(BoxAnswerer::Mode::Strict);
    return RUN_ALL_TESTS();
}
