// Arbitrary bytes as the settings file, then the program's start: the main
// window reads its settings, the saved positions of its bars and panel and
// its placement from the file, opens, and saves when it closes. See
// MainWindowStart.h for what is checked.
#include "MainWindowStart.h"

#include <QFile>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    InitMainWindowStart(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QFile file(SettingsFile());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) !=
            static_cast<qint64>(size)) {
        std::abort();
    }
    file.close();
    KeepLoggingOff();
    StartMainWindow();
    return 0;
}
