#pragma once
// Small ELF files built in memory, to read version notes from files of every
// class and byte order and with the notes where a test wants them.

#include <QByteArray>

#include <cstdint>
#include <vector>

struct ElfNote {
    QByteArray Name; // with its terminating zero
    uint32_t Type;
    QByteArray Desc;
};

struct ElfSpec {
    bool Is64 = true;
    bool BigEndian = false;
    bool Sections = true; // a section header table: null, a data section, the notes
    bool Segments = true; // a program header table with one note segment
    uint32_t Align = 4;   // alignment of the note area (8: notes padded to 8)
    std::vector<ElfNote> Notes;
};

QByteArray BuildElf(const ElfSpec& spec);

// Words in the byte order of the file.
QByteArray Words(const std::vector<uint32_t>& words, bool bigEndian);

// Our version note for 1.2.3.4-style numbers, in the file's byte order.
ElfNote VersionNoteOf(uint16_t major, uint16_t minor, uint16_t release, uint16_t build,
                      bool bigEndian = false);
// Another program's note, as toolchains add them.
ElfNote ForeignNote(bool bigEndian = false);

// Where in an image built from an ElfSpec its notes begin, and where its
// section header table begins (0 without one).
struct ElfLayout {
    int NotesOffset;
    int NotesSize;
    int SectionTableOffset;
};
ElfLayout LayoutOf(const ElfSpec& spec);
