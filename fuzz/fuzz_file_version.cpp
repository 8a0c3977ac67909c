// Arbitrary bytes as a program file whose version is asked for, as the about
// box asks for its own (a file on disk is untrusted input).
//
// Checked on every input:
// - no crash, no sanitizer report, no exception;
// - a failure leaves every field cleared; a success gives the string
//   "major.minor.release" of the numbers read;
// - reading the same bytes again gives the same answer.

#include "controls/QvFileVersion.h"

#include <QBuffer>
#include <QByteArray>

#include <cstdint>
#include <cstdlib>

namespace {

bool read(const QByteArray& bytes, TQvFileVersion& version) {
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return version.GetFileVersion(buffer);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    TQvFileVersion version;
    const bool found = read(bytes, version);
    if (!found) {
        if (!version.VersionString().isEmpty() || version.Major() != 0 || version.Minor() != 0 ||
            version.Release() != 0 || version.Build() != 0) {
            std::abort();
        }
    } else if (version.VersionString() != QStringLiteral("%1.%2.%3")
                                              .arg(version.Major())
                                              .arg(version.Minor())
                                              .arg(version.Release())) {
        std::abort();
    }
    TQvFileVersion again;
    if (read(bytes, again) != found || again.Build() != version.Build() ||
        again.VersionString() != version.VersionString()) {
        std::abort();
    }
    return 0;
}
