#include "ElfImage.h"

#include "controls/VersionNote.h"

#include <QtEndian>

namespace {

class Writer {
public:
    Writer(QByteArray& out, bool bigEndian) : out_(out), bigEndian_(bigEndian) {}

    void U8(int value) { out_.append(static_cast<char>(value)); }
    void U16(uint16_t value) { Put(value); }
    void U32(uint32_t value) { Put(value); }
    void U64(uint64_t value) { Put(value); }
    void Word(bool is64, uint64_t value) {
        if (is64) {
            U64(value);
        } else {
            U32(static_cast<uint32_t>(value));
        }
    }
    void PadTo(int offset) {
        while (out_.size() < offset) {
            out_.append('\0');
        }
    }

private:
    template <typename T>
    void Put(T value) {
        char bytes[sizeof(T)];
        if (bigEndian_) {
            qToBigEndian(value, bytes);
        } else {
            qToLittleEndian(value, bytes);
        }
        out_.append(bytes, sizeof(T));
    }

    QByteArray& out_;
    bool bigEndian_;
};

int alignUp(int value, int alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

QByteArray noteBytes(const ElfSpec& spec) {
    QByteArray out;
    Writer w(out, spec.BigEndian);
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
    Writer w(out, bigEndian);
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
    const int headerSize = is64 ? 64 : 52;
    const int phEntry = is64 ? 56 : 32;
    const int shEntry = is64 ? 64 : 40;
    const QByteArray notes = noteBytes(spec);

    QByteArray out;
    Writer w(out, spec.BigEndian);
    out.append("\x7F"
               "ELF",
               4);
    w.U8(is64 ? 2 : 1);
    w.U8(spec.BigEndian ? 2 : 1);
    w.U8(1); // version
    w.PadTo(16);
    w.U16(2);  // an executable
    w.U16(62); // machine
    w.U32(1);
    w.Word(is64, 0x401000);                                         // entry
    w.Word(is64, spec.Segments ? headerSize : 0);                   // program headers
    w.Word(is64, static_cast<uint64_t>(layout.SectionTableOffset)); // section headers
    w.U32(0);
    w.U16(static_cast<uint16_t>(headerSize));
    w.U16(static_cast<uint16_t>(phEntry));
    w.U16(spec.Segments ? 1 : 0);
    w.U16(static_cast<uint16_t>(shEntry));
    w.U16(spec.Sections ? 3 : 0);
    w.U16(0);

    if (spec.Segments) {
        w.U32(4); // PT_NOTE
        if (is64) {
            w.U32(4); // flags
        }
        w.Word(is64, static_cast<uint64_t>(layout.NotesOffset));
        w.Word(is64, 0); // virtual address
        w.Word(is64, 0); // physical address
        w.Word(is64, static_cast<uint64_t>(notes.size()));
        w.Word(is64, static_cast<uint64_t>(notes.size()));
        if (!is64) {
            w.U32(4);
        }
        w.Word(is64, spec.Align);
    }
    w.PadTo(layout.NotesOffset);
    out.append(notes);

    if (spec.Sections) {
        w.PadTo(layout.SectionTableOffset);
        const auto section = [&](uint32_t type, uint64_t offset, uint64_t size, uint64_t align) {
            w.U32(0);        // name
            w.U32(type);     // type
            w.Word(is64, 0); // flags
            w.Word(is64, 0); // address
            w.Word(is64, offset);
            w.Word(is64, size);
            w.U32(0); // link
            w.U32(0); // info
            w.Word(is64, align);
            w.Word(is64, 0); // entry size
        };
        section(0, 0, 0, 0);
        // Another kind of section comes first.
        section(1, static_cast<uint64_t>(layout.NotesOffset), static_cast<uint64_t>(notes.size()),
                4);
        section(7, static_cast<uint64_t>(layout.NotesOffset), static_cast<uint64_t>(notes.size()),
                spec.Align);
    }
    return out;
}
