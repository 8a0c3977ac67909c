// Arbitrary bytes as the settings file. What a load accepts must come back
// unchanged from a save and a reload, and the file written the second time
// must be the file written the first time. A file the load refuses must be
// left exactly as it was.
#include "platform/core/Registry.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

std::unique_ptr<QTemporaryDir> folder; // removed at exit

// Every key and value, one line each, in the store's order.
QStringList snapshot(plat::Registry& reg, const QStringList& path = {}) {
    QStringList lines;
    const auto key = reg.OpenKey(path, false);
    if (!key) {
        std::abort();
    }
    for (const QString& name : key->ValueNames()) {
        const auto bytes = key->ReadBinary(name);
        const auto text = key->ReadString(name);
        if (bytes.has_value() == text.has_value()) {
            std::abort(); // a value is text or binary, never both or neither
        }
        lines << path.join(u'/') + u'|' + name + u'=' +
                     (bytes ? QStringLiteral("hex:") + QString::fromLatin1(bytes->toHex())
                            : QStringLiteral("text:") + *text);
    }
    for (const QString& sub : key->SubKeyNames()) {
        lines << QStringLiteral("[") + path.join(u'/') + u'/' + sub + u']';
        lines << snapshot(reg, path + QStringList{sub});
    }
    return lines;
}

QByteArray contents(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::abort();
    }
    return file.readAll();
}

void write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size()) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);
    // In memory where the system offers it: every save syncs the file.
    const QString shm = QStringLiteral("/dev/shm");
    folder = QFileInfo(shm).isWritable()
                 ? std::make_unique<QTemporaryDir>(shm + QStringLiteral("/fuzz_settings-XXXXXX"))
                 : std::make_unique<QTemporaryDir>();
    return folder->isValid() ? 0 : 1;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString path = folder->filePath(QStringLiteral("Quorvel.ini"));
    write(path, bytes);

    plat::Registry first(path);
    if (first.State() != plat::Registry::LoadState::Loaded) {
        if (first.State() != plat::Registry::LoadState::Unreadable || first.Save() ||
            contents(path) != bytes) {
            std::abort();
        }
        return 0;
    }
    const QStringList loaded = snapshot(first);
    if (!first.Save()) {
        std::abort();
    }
    const QByteArray saved = contents(path);

    plat::Registry second(path);
    if (second.State() != plat::Registry::LoadState::Loaded || snapshot(second) != loaded ||
        !second.Save() || contents(path) != saved) {
        std::abort();
    }
    return 0;
}
