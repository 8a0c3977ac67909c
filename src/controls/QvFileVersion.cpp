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

// One note's header: the sizes of its name and description, and its type.
struct NoteHeader {
    uint64_t NameSize;
    uint64_t DescSize;
    uint32_t Type;
};

// Whether the note at name (owner) and desc (description) is the version
// note; its numbers go to out.
Scan ReadVersionFromNote(ElfFile& file, const NoteHeader& note, uint64_t name, uint64_t desc,
                         TFileVersionNumbers& out) {
    if (note.NameSize != sizeof kVersionNoteOwner || note.Type != kVersionNoteType ||
        note.DescSize < 4 * kFixedFileInfoWords) {
        return Scan::NotFound;
    }
    char owner[sizeof kVersionNoteOwner];
    uchar words[4 * kFixedFileInfoWords];
    if (!file.Read(name, owner, sizeof owner) || !file.Read(desc, words, sizeof words)) {
        return Scan::Broken;
    }
    if (std::memcmp(owner, kVersionNoteOwner, sizeof owner) != 0 ||
        file.U32(words) != kFixedFileInfoSignature) {
        return Scan::NotFound;
    }
    const uint32_t ms = file.U32(words + 8);
    const uint32_t ls = file.U32(words + 12);
    out = {static_cast<uint16_t>(ms >> 16), static_cast<uint16_t>(ms & 0xFFFF),
           static_cast<uint16_t>(ls >> 16), static_cast<uint16_t>(ls & 0xFFFF)};
    return Scan::Found;
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
        const NoteHeader note{file.U32(header), file.U32(header + 4), file.U32(header + 8)};
        // The description and the next note start at the padding boundary
        // counted from the start of this note.
        const uint64_t desc = position + AlignUp(12 + note.NameSize, pad);
        const uint64_t next = position + AlignUp(desc - position + note.DescSize, pad);
        if (desc + note.DescSize > end) {
            return Scan::Broken;
        }
        const Scan scan = ReadVersionFromNote(file, note, position + 12, desc, out);
        if (scan != Scan::NotFound) {
            return scan;
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

// Scans a whole table of count entries entrySize apart (entrySize > 0) that
// must lie inside the file; the numbers of the first version note found.
std::optional<TFileVersionNumbers> ScanWholeTable(ElfFile& file, uint64_t offset, uint64_t count,
                                                  uint64_t entrySize, const EntryFields& fields,
                                                  uint32_t wanted) {
    if (count > UINT64_MAX / entrySize || !file.Contains(offset, count * entrySize)) {
        return std::nullopt;
    }
    int budget = kNoteBudget;
    TFileVersionNumbers numbers;
    const Scan scan = ScanTable(file, offset, count, entrySize, fields, wanted, budget, numbers);
    return scan == Scan::Found ? std::optional(numbers) : std::nullopt;
}

// The file header's fields that lead to the section and program header tables.
struct TableHeaders {
    const Layout* L;
    uint64_t PhOff;
    uint64_t ShOff;
    uint16_t PhEntSize;
    uint64_t PhNum;
    uint16_t ShEntSize;
    uint64_t ShNum;
};

// Reads the identification and the file header; nothing for a file that is
// not ELF of a known class and byte order. Leaves the file set to its format.
std::optional<TableHeaders> ReadTableHeaders(ElfFile& file) {
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
    return TableHeaders{&l,
                        file.Word(header + l.PhOff),
                        file.Word(header + l.ShOff),
                        file.U16(header + l.PhEntSize),
                        file.U16(header + l.PhNum),
                        file.U16(header + l.ShEntSize),
                        file.U16(header + l.ShNum)};
}

// Counts that do not fit the file header are kept in section 0; false when
// that entry cannot be read.
bool ReadExtendedCounts(ElfFile& file, TableHeaders& h) {
    if (h.ShNum != 0 && h.PhNum != kManySegments) {
        return true;
    }
    uchar entry[64];
    if (!file.Read(h.ShOff, entry, h.L->ShEntry)) {
        return false;
    }
    if (h.ShNum == 0) {
        h.ShNum = file.Word(entry + h.L->ShSize);
    }
    if (h.PhNum == kManySegments) {
        h.PhNum = file.U32(entry + h.L->ShInfo);
    }
    return true;
}

std::optional<TFileVersionNumbers> ScanSections(ElfFile& file, const TableHeaders& h) {
    const Layout& l = *h.L;
    return ScanWholeTable(file, h.ShOff, h.ShNum, h.ShEntSize,
                          {l.ShEntry, l.ShType, l.ShOffset, l.ShSize, l.ShAlign}, kSectionNote);
}

std::optional<TFileVersionNumbers> ScanSegments(ElfFile& file, const TableHeaders& h) {
    const Layout& l = *h.L;
    if (h.PhOff == 0 || h.PhNum == 0 || h.PhNum == kManySegments || h.PhEntSize < l.PhEntry) {
        return std::nullopt;
    }
    return ScanWholeTable(file, h.PhOff, h.PhNum, h.PhEntSize,
                          {l.PhEntry, l.PhType, l.PhOffset, l.PhFileSize, l.PhAlign}, kSegmentNote);
}

} // namespace

std::optional<TFileVersionNumbers> ReadVersionNote(QIODevice& device) {
    ElfFile file(device);
    std::optional<TableHeaders> headers = ReadTableHeaders(file);
    if (!headers) {
        return std::nullopt;
    }
    if (headers->ShOff != 0) {
        if (headers->ShEntSize < headers->L->ShEntry || !ReadExtendedCounts(file, *headers)) {
            return std::nullopt;
        }
        if (headers->ShNum > 0) {
            return ScanSections(file, *headers);
        }
    }
    // No section headers: the note segments.
    return ScanSegments(file, *headers);
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
