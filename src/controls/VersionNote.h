#pragma once
// The program's version as an ELF note: written into the executable when it
// is linked (cmake/QvVersionNote.cmake) and read back from the file by
// TQvFileVersion. `readelf -n` lists it.
//
// Owner "Quorvel", type kVersionNoteType, and as description the thirteen
// 32-bit words of a fixed file information record in the file's byte order:
// signature 0xFEEF04BD, structure version, file version (major << 16 | minor,
// release << 16 | build), product version (the same), flags mask, flags,
// operating system, file type, subtype, date (two words, zero).

#include <cstdint>

namespace ctl {

constexpr uint32_t kVersionNoteType = 0x51560001;
constexpr char kVersionNoteOwner[8] = "Quorvel"; // with its terminating zero
constexpr uint32_t kFixedFileInfoSignature = 0xFEEF04BD;
constexpr uint32_t kFixedFileInfoWords = 13;

struct TVersionNote {
    uint32_t NameSize;
    uint32_t DescSize;
    uint32_t Type;
    char Name[8];
    uint32_t Desc[kFixedFileInfoWords];
};
static_assert(sizeof(TVersionNote) == 12 + 8 + 4 * kFixedFileInfoWords);

constexpr TVersionNote MakeVersionNote(uint16_t major, uint16_t minor, uint16_t release,
                                       uint16_t build) {
    const uint32_t ms = static_cast<uint32_t>(major) << 16 | minor;
    const uint32_t ls = static_cast<uint32_t>(release) << 16 | build;
    return TVersionNote{sizeof kVersionNoteOwner,
                        4 * kFixedFileInfoWords,
                        kVersionNoteType,
                        {'Q', 'u', 'o', 'r', 'v', 'e', 'l', '\0'},
                        {kFixedFileInfoSignature, 0x00010000, ms, ls, ms, ls, 0x3F, 0, 0,
                         1 /* an application */, 0, 0, 0}};
}

} // namespace ctl
