#include "controls/QvFileVersion.h"

#include "controls/VersionNote.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QtEndian>

#include <cstring>

namespace ctl {

namespace {

constexpr uint32_t kSectionNote = 7;       // SHT_NOTE
constexpr uint32_t kSegmentNote = 4;       // PT_NOTE
constexpr uint16_t kManySegments = 0xFFFF; // PN_XNUM: the count is in section 0
// No real program carries more notes than this; a file that claims more is
// not read further (it might otherwise make the walk take very long).
constexpr int kNoteBudget = 4096;

// Random access to the file with every range checked against its size.
class ElfFile {
public:
    explicit ElfFile(QIODevice& device) : device_(device), size_(device.size()) {}

    bool Read(uint64_t offset, void* buffer, uint64_t length) {
        if (offset > static_cast<uint64_t>(size_) ||
            length > static_cast<uint64_t>(size_) - offset) {
            return false;
        }
        if (!device_.seek(static_cast<qint64>(offset))) {
            return false;
        }
        return device_.read(static_cast<char*>(buffer), static_cast<qint64>(length)) ==
               static_cast<qint64>(length);
    }
    bool Contains(uint64_t offset, uint64_t length) const {
        return offset <= static_cast<uint64_t>(size_) &&
               length <= static_cast<uint64_t>(size_) - offset;
    }

    void SetFormat(bool is64, bool bigEndian) {
        is64_ = is64;
        bigEndian_ = bigEndian;
    }
    bool Is64() const { return is64_; }

    uint16_t U16(const uchar* p) const {
        return bigEndian_ ? qFromBigEndian<uint16_t>(p) : qFromLittleEndian<uint16_t>(p);
    }
    uint32_t U32(const uchar* p) const {
        return bigEndian_ ? qFromBigEndian<uint32_t>(p) : qFromLittleEndian<uint32_t>(p);
    }
    uint64_t U64(const uchar* p) const {
        return bigEndian_ ? qFromBigEndian<uint64_t>(p) : qFromLittleEndian<uint64_t>(p);
    }
    // An address-sized field: 8 bytes in 64-bit files, 4 in 32-bit ones.
    uint64_t Word(const uchar* p) const { return is64_ ? U64(p) : U32(p); }

private:
    QIODevice& device_;
    qint64 size_;
    bool is64_ = false;
    bool bigEndian_ = false;
};

struct Region {
    uint64_t Offset;
    uint64_t Size;
    uint64_t Align;
};

// What a walk over notes found.
enum class Scan { NotFound, Found, Broken };

uint64_t AlignUp(uint64_t value, uint64_t alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

Scan ScanNotes(ElfFile& file, const Region& region, int& budget, TFileVersionNumbers& out) {
    if (!file.Contains(region.Offset, region.Size)) {
        return Scan::Broken;
    }
    // Notes are padded to 4 bytes, or to 8 in a note area aligned to 8.
    const uint64_t pad = region.Align == 8 ? 8 : 4;
    uint64_t position = region.Offset;
    const uint64_t end = region.Offset + region.Size;
    while (end - position >= 12) {
        if (--budget < 0) {
            return Scan::Broken;
        }
        uchar header[12];
        if (!file.Read(position, header, sizeof header)) {
            return Scan::Broken;
        }
        const uint64_t nameSize = file.U32(header);
        const uint64_t descSize = file.U32(header + 4);
        const uint32_t type = file.U32(header + 8);
        // The description and the next note start at the padding boundary
        // counted from the start of this note.
        const uint64_t name = position + 12;
        const uint64_t desc = position + AlignUp(12 + nameSize, pad);
        const uint64_t next = position + AlignUp(desc - position + descSize, pad);
        if (desc + descSize > end) {
            return Scan::Broken;
        }
        if (nameSize == sizeof kVersionNoteOwner && type == kVersionNoteType &&
            descSize >= 4 * kFixedFileInfoWords) {
            char owner[sizeof kVersionNoteOwner];
            uchar words[4 * kFixedFileInfoWords];
            if (!file.Read(name, owner, sizeof owner) || !file.Read(desc, words, sizeof words)) {
                return Scan::Broken;
            }
            if (std::memcmp(owner, kVersionNoteOwner, sizeof owner) == 0 &&
                file.U32(words) == kFixedFileInfoSignature) {
                const uint32_t ms = file.U32(words + 8);
                const uint32_t ls = file.U32(words + 12);
                out = {static_cast<uint16_t>(ms >> 16), static_cast<uint16_t>(ms & 0xFFFF),
                       static_cast<uint16_t>(ls >> 16), static_cast<uint16_t>(ls & 0xFFFF)};
                return Scan::Found;
            }
        }
        if (next >= end) {
            break;
        }
        position = next;
    }
    return Scan::NotFound;
}

// Layout of the fields used, by class: offsets within the file header and
// within one section or program header entry.
struct Layout {
    unsigned HeaderSize, PhOff, ShOff, PhEntSize, PhNum, ShEntSize, ShNum;
    unsigned ShEntry, ShType, ShOffset, ShSize, ShAlign, ShInfo;
    unsigned PhEntry, PhType, PhOffset, PhFileSize, PhAlign;
};
constexpr Layout kElf32{52, 28, 32, 42, 44, 46, 48, 40, 4, 16, 20, 32, 28, 32, 0, 4, 16, 28};
constexpr Layout kElf64{64, 32, 40, 54, 56, 58, 60, 64, 4, 24, 32, 48, 44, 56, 0, 8, 32, 48};

// The fields of a section or program header entry that lead to notes: the
// entry's length, then where its type, offset, size and alignment are.
struct EntryFields {
    unsigned Length, Type, Offset, Size, Align;
};

// Scans the notes of every entry of the wanted type in a table of count
// entries entrySize apart; an entry that cannot be read breaks the file.
Scan ScanTable(ElfFile& file, uint64_t offset, uint64_t count, uint64_t entrySize,
               const EntryFields& fields, uint32_t wanted, int& budget,
               TFileVersionNumbers& numbers) {
    uchar entry[64];
    for (uint64_t i = 0; i < count; ++i) {
        if (!file.Read(offset + i * entrySize, entry, fields.Length)) {
            return Scan::Broken;
        }
        if (file.U32(entry + fields.Type) != wanted) {
            continue;
        }
        const Region region{file.Word(entry + fields.Offset), file.Word(entry + fields.Size),
                            file.Word(entry + fields.Align)};
        const Scan scan = ScanNotes(file, region, budget, numbers);
        if (scan != Scan::NotFound) {
            return scan;
        }
    }
    return Scan::NotFound;
}

std::optional<TFileVersionNumbers> FoundOrNothing(Scan scan, const TFileVersionNumbers& numbers) {
    return scan == Scan::Found ? std::optional(numbers) : std::nullopt;
}

} // namespace

std::optional<TFileVersionNumbers> ReadVersionNote(QIODevice& device) {
    ElfFile file(device);
    uchar header[64];
    if (!file.Read(0, header, 16) || std::memcmp(header,
                                                 "\x7F"
                                                 "ELF",
                                                 4) != 0) {
        return std::nullopt;
    }
    const uchar elfClass = header[4];
    const uchar data = header[5];
    if ((elfClass != 1 && elfClass != 2) || (data != 1 && data != 2)) {
        return std::nullopt;
    }
    file.SetFormat(elfClass == 2, data == 2);
    const Layout& l = file.Is64() ? kElf64 : kElf32;
    if (!file.Read(0, header, l.HeaderSize)) {
        return std::nullopt;
    }
    const uint64_t phOff = file.Word(header + l.PhOff);
    const uint64_t shOff = file.Word(header + l.ShOff);
    const uint16_t phEntSize = file.U16(header + l.PhEntSize);
    uint64_t phNum = file.U16(header + l.PhNum);
    const uint16_t shEntSize = file.U16(header + l.ShEntSize);
    uint64_t shNum = file.U16(header + l.ShNum);

    int budget = kNoteBudget;
    TFileVersionNumbers numbers;
    uchar entry[64];

    if (shOff != 0) {
        if (shEntSize < l.ShEntry) {
            return std::nullopt;
        }
        // Counts that do not fit the header are kept in section 0.
        if (shNum == 0 || phNum == kManySegments) {
            if (!file.Read(shOff, entry, l.ShEntry)) {
                return std::nullopt;
            }
            if (shNum == 0) {
                shNum = file.Word(entry + l.ShSize);
            }
            if (phNum == kManySegments) {
                phNum = file.U32(entry + l.ShInfo);
            }
        }
        if (shNum > 0) {
            if (shNum > UINT64_MAX / shEntSize || !file.Contains(shOff, shNum * shEntSize)) {
                return std::nullopt;
            }
            return FoundOrNothing(ScanTable(file, shOff, shNum, shEntSize,
                                            {l.ShEntry, l.ShType, l.ShOffset, l.ShSize, l.ShAlign},
                                            kSectionNote, budget, numbers),
                                  numbers);
        }
    }

    // No section headers: the note segments.
    if (phOff == 0 || phNum == 0 || phNum == kManySegments) {
        return std::nullopt;
    }
    if (phEntSize < l.PhEntry || phNum > UINT64_MAX / phEntSize ||
        !file.Contains(phOff, phNum * phEntSize)) {
        return std::nullopt;
    }
    return FoundOrNothing(ScanTable(file, phOff, phNum, phEntSize,
                                    {l.PhEntry, l.PhType, l.PhOffset, l.PhFileSize, l.PhAlign},
                                    kSegmentNote, budget, numbers),
                          numbers);
}

} // namespace ctl

bool TQvFileVersion::GetFileVersion(const QString& fileName) {
    if (!QFileInfo(fileName).isFile()) {
        Clear();
        return false;
    }
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        Clear();
        return false;
    }
    return GetFileVersion(file);
}

bool TQvFileVersion::GetFileVersion(QIODevice& device) {
    return Take(ctl::ReadVersionNote(device));
}

bool TQvFileVersion::Take(const std::optional<ctl::TFileVersionNumbers>& numbers) {
    if (!numbers) {
        Clear();
        return false;
    }
    major_ = numbers->Major;
    minor_ = numbers->Minor;
    release_ = numbers->Release;
    build_ = numbers->Build;
    versionString_ = QStringLiteral("%1.%2.%3").arg(major_).arg(minor_).arg(release_);
    return true;
}

void TQvFileVersion::Clear() {
    versionString_.clear();
    major_ = 0;
    minor_ = 0;
    release_ = 0;
    build_ = 0;
}
