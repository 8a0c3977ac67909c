#include "ElfImage.h"

#include "controls/VersionNote.h"

#include <QtEndian>

namespace {

// Appends fields in the file's byte order.
struct Writer {
    QByteArray& out;
    bool bigEndian;

    template <typename T>
    void Put(T value) {
        char bytes[sizeof(T)];
        if (bigEndian) {
            qToBigEndian(value, bytes);
        } else {
            qToLittleEndian(value, bytes);
        }
        out.append(bytes, sizeof(T));
    }
    void U16(uint16_t value) { Put(value); }
    void U32(uint32_t value) { Put(value); }
    // An address-sized field.
    void Word(bool is64, uint64_t value) { is64 ? Put(value) : Put(static_cast<uint32_t>(value)); }
    void PadTo(qsizetype offset) {
        if (out.size() < offset) {
            out.append(offset - out.size(), '\0');
        }
    }
};

int alignUp(int value, int alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

QByteArray noteBytes(const ElfSpec& spec) {
    QByteArray out;
    Writer w{out, spec.BigEndian};
    const int pad = spec.Align == 8 ? 8 : 4;
    for (const ElfNote& note : spec.Notes) {
        w.U32(static_cast<uint32_t>(note.Name.size()));
        w.U32(static_cast<uint32_t>(note.Desc.size()));
        w.U32(note.Type);
        out.append(note.Name);
        w.PadTo(alignUp(static_cast<int>(out.size()), pad));
        out.append(note.Desc);
        w.PadTo(alignUp(static_cast<int>(out.size()), pad));
    }
    return out;
}

} // namespace

QByteArray Words(const std::vector<uint32_t>& words, bool bigEndian) {
    QByteArray out;
    Writer w{out, bigEndian};
    for (const uint32_t word : words) {
        w.U32(word);
    }
    return out;
}

ElfNote VersionNoteOf(uint16_t major, uint16_t minor, uint16_t release, uint16_t build,
                      bool bigEndian) {
    const ctl::TVersionNote note = ctl::MakeVersionNote(major, minor, release, build);
    return {QByteArray("Quorvel", 8), note.Type,
            Words(std::vector<uint32_t>(std::begin(note.Desc), std::end(note.Desc)), bigEndian)};
}

ElfNote ForeignNote(bool bigEndian) {
    return {QByteArray("GNU", 4), 3, Words({0x01020304, 0x05060708, 0x090A0B0C}, bigEndian)};
}

ElfLayout LayoutOf(const ElfSpec& spec) {
    const int headerSize = spec.Is64 ? 64 : 52;
    const int phEntry = spec.Is64 ? 56 : 32;
    const int notes = alignUp(headerSize + (spec.Segments ? phEntry : 0), 8);
    const int notesSize = static_cast<int>(noteBytes(spec).size());
    return {notes, notesSize, spec.Sections ? alignUp(notes + notesSize, 8) : 0};
}

QByteArray BuildElf(const ElfSpec& spec) {
    const ElfLayout layout = LayoutOf(spec);
    const bool is64 = spec.Is64;
    const uint16_t headerSize = is64 ? 64 : 52;
    const uint64_t notesAt = static_cast<uint64_t>(layout.NotesOffset);
    const uint64_t notesSize = static_cast<uint64_t>(layout.NotesSize);

    QByteArray out("\x7F"
                   "ELF");
    Writer w{out, spec.BigEndian};
    out.append(static_cast<char>(is64 ? 2 : 1)).append(spec.BigEndian ? 2 : 1).append(1);
    w.PadTo(16);
    w.U16(2);  // an executable
    w.U16(62); // machine
    w.U32(1);
    w.Word(is64, 0x401000);                                         // entry
    w.Word(is64, spec.Segments ? headerSize : 0);                   // program headers
    w.Word(is64, static_cast<uint64_t>(layout.SectionTableOffset)); // section headers
    w.U32(0);
    for (const int field : {int(headerSize), is64 ? 56 : 32, spec.Segments ? 1 : 0, is64 ? 64 : 40,
                            spec.Sections ? 3 : 0, 0}) {
        w.U16(static_cast<uint16_t>(field));
    }
    if (spec.Segments) {
        w.U32(4); // PT_NOTE; 64-bit files have the flags next
        if (is64) {
            w.U32(4);
        }
        for (const uint64_t field : {notesAt, uint64_t{0}, uint64_t{0}, notesSize, notesSize}) {
            w.Word(is64, field); // offset, addresses, sizes in file and memory
        }
        if (!is64) {
            w.U32(4);
        }
        w.Word(is64, spec.Align);
    }
    w.PadTo(layout.NotesOffset);
    out.append(noteBytes(spec));
    if (spec.Sections) {
        w.PadTo(layout.SectionTableOffset);
        const auto section = [&](uint32_t type, uint64_t offset, uint64_t size, uint64_t align) {
            w.U32(0); // name
            w.U32(type);
            for (const uint64_t field : {uint64_t{0}, uint64_t{0}, offset, size}) {
                w.Word(is64, field); // flags, address, offset, size
            }
            w.U32(0); // link
            w.U32(0); // info
            w.Word(is64, align);
            w.Word(is64, 0); // entry size
        };
        section(0, 0, 0, 0);
        section(1, notesAt, notesSize, 4); // another kind of section comes first
        section(7, notesAt, notesSize, spec.Align);
    }
    return out;
}
