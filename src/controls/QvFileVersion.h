#pragma once
// The version of a program file, read from the version note its link step
// wrote into it (controls/VersionNote.h), without running the program.

#include <QString>

#include <cstdint>
#include <optional>

class QIODevice;

namespace ctl {

struct TFileVersionNumbers {
    uint16_t Major = 0;
    uint16_t Minor = 0;
    uint16_t Release = 0;
    uint16_t Build = 0;
};

// Reads the version note of the ELF file on the device (open for reading,
// random access). ELF of both classes and byte orders; the note sections, or
// the note segments when the file has no section headers. Every offset and
// size is checked against the device's size before it is used: a file that
// is not ELF, is cut short, contradicts itself or holds no valid note gives
// nothing.
std::optional<TFileVersionNumbers> ReadVersionNote(QIODevice& device);

} // namespace ctl

class TQvFileVersion {
public:
    TQvFileVersion() = default;

    // Reads the version of the file. On success the four numbers and the
    // string "major.minor.release" (the build is not part of it); on failure
    // (no such regular file, no note) everything is cleared. A file that is
    // not a regular file (a pipe, a device) is never opened.
    bool GetFileVersion(const QString& fileName);
    // The same from an open device.
    bool GetFileVersion(QIODevice& device);
    void Clear();

    const QString& VersionString() const { return versionString_; }
    uint16_t Major() const { return major_; }
    uint16_t Minor() const { return minor_; }
    uint16_t Release() const { return release_; }
    uint16_t Build() const { return build_; }

private:
    bool Take(const std::optional<ctl::TFileVersionNumbers>& numbers);

    QString versionString_;
    uint16_t major_ = 0;
    uint16_t minor_ = 0;
    uint16_t release_ = 0;
    uint16_t build_ = 0;
};
