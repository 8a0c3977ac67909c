#include "controls/QvFileVersion.h"

#include "ElfImage.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>

namespace {

using Numbers = std::optional<ctl::TFileVersionNumbers>;

Numbers readBytes(const QByteArray& bytes) {
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return ctl::ReadVersionNote(buffer);
}

std::string show(const Numbers& n) {
    if (!n) {
        return "none";
    }
    return std::to_string(n->Major) + "." + std::to_string(n->Minor) + "." +
           std::to_string(n->Release) + "." + std::to_string(n->Build);
}

ElfSpec withNotes(std::vector<ElfNote> notes, bool is64 = true, bool bigEndian = false) {
    ElfSpec spec;
    spec.Is64 = is64;
    spec.BigEndian = bigEndian;
    spec.Notes = std::move(notes);
    return spec;
}

struct ImageCase {
    const char* name;
    ElfSpec spec;
    const char* expected;
};

void PrintTo(const ImageCase& c, std::ostream* os) {
    *os << c.name;
}

ElfNote withDesc(ElfNote note, const std::vector<uint32_t>& words, bool bigEndian = false) {
    note.Desc = Words(words, bigEndian);
    return note;
}

ElfSpec onlySegments() {
    ElfSpec spec = withNotes({VersionNoteOf(1, 2, 3, 4)});
    spec.Sections = false;
    return spec;
}

ElfSpec onlySections() {
    ElfSpec spec = withNotes({VersionNoteOf(1, 2, 3, 4)}, false);
    spec.Segments = false;
    return spec;
}

ElfSpec paddedToEight() {
    ElfSpec spec = withNotes({ForeignNote(), VersionNoteOf(1, 2, 3, 4)});
    spec.Align = 8;
    return spec;
}

const std::vector<uint32_t> kBadSignature{0xFEEF04BE, 0x00010000, 0x00010002, 0x00030004, 0, 0, 0,
                                          0,          0,          0,          0,          0, 0};

class VersionNoteImages : public ::testing::TestWithParam<ImageCase> {};

TEST_P(VersionNoteImages, GiveTheStampedNumbersOrNothing) {
    EXPECT_EQ(show(readBytes(BuildElf(GetParam().spec))), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Elf, VersionNoteImages,
    ::testing::Values(
        ImageCase{"Elf64Little", withNotes({VersionNoteOf(1, 2, 3, 4)}), "1.2.3.4"},
        ImageCase{"Elf32Little", withNotes({VersionNoteOf(1, 2, 3, 4)}, false), "1.2.3.4"},
        ImageCase{"Elf64Big", withNotes({VersionNoteOf(1, 2, 3, 4, true)}, true, true), "1.2.3.4"},
        ImageCase{"Elf32Big", withNotes({VersionNoteOf(2, 1, 0, 57, true)}, false, true),
                  "2.1.0.57"},
        ImageCase{"LargestNumbers", withNotes({VersionNoteOf(65535, 65535, 65535, 65535)}),
                  "65535.65535.65535.65535"},
        ImageCase{"AfterAnotherProgramsNote", withNotes({ForeignNote(), VersionNoteOf(1, 2, 3, 4)}),
                  "1.2.3.4"},
        ImageCase{"NotesPaddedToEight", paddedToEight(), "1.2.3.4"},
        ImageCase{"SegmentsWithoutSections", onlySegments(), "1.2.3.4"},
        ImageCase{"SectionsWithoutSegments", onlySections(), "1.2.3.4"},
        ImageCase{"NoNotes", withNotes({}), "none"},
        ImageCase{"OnlyAnotherProgramsNote", withNotes({ForeignNote()}), "none"},
        ImageCase{"WrongSignature", withNotes({withDesc(VersionNoteOf(0, 0, 0, 0), kBadSignature)}),
                  "none"},
        ImageCase{"WrongSignatureThenGoodNote",
                  withNotes({withDesc(VersionNoteOf(0, 0, 0, 0), kBadSignature),
                             VersionNoteOf(5, 6, 7, 8)}),
                  "5.6.7.8"},
        ImageCase{
            "OtherOwner",
            withNotes({{QByteArray("Quorvex", 8), 0x51560001, VersionNoteOf(1, 2, 3, 4).Desc}}),
            "none"},
        ImageCase{
            "OtherType",
            withNotes({{QByteArray("Quorvel", 8), 0x51560002, VersionNoteOf(1, 2, 3, 4).Desc}}),
            "none"},
        ImageCase{"ShortDescription",
                  withNotes({{QByteArray("Quorvel", 8), 0x51560001,
                              VersionNoteOf(1, 2, 3, 4).Desc.left(48)}}),
                  "none"}));

// Header fields a hostile or damaged file may hold, patched into a good image.
struct Patch {
    const char* name;
    int offset; // -1: the section table's offset plus `extra`; -2: the notes' offset plus `extra`
    int extra;
    int size; // bytes written
    uint64_t value;
};

void PrintTo(const Patch& p, std::ostream* os) {
    *os << p.name;
}

class DamagedImages : public ::testing::TestWithParam<Patch> {};

TEST_P(DamagedImages, GiveNothing) {
    const ElfSpec spec = withNotes({VersionNoteOf(1, 2, 3, 4)});
    const ElfLayout layout = LayoutOf(spec);
    QByteArray image = BuildElf(spec);
    const Patch& p = GetParam();
    int at = p.offset;
    if (at == -1) {
        at = layout.SectionTableOffset + p.extra;
    } else if (at == -2) {
        at = layout.NotesOffset + p.extra;
    }
    uchar* data = reinterpret_cast<uchar*>(image.data()) + at;
    switch (p.size) {
    case 1:
        *data = static_cast<uchar>(p.value);
        break;
    case 2:
        qToLittleEndian(static_cast<uint16_t>(p.value), data);
        break;
    case 4:
        qToLittleEndian(static_cast<uint32_t>(p.value), data);
        break;
    default:
        qToLittleEndian(p.value, data);
        break;
    }
    EXPECT_EQ(show(readBytes(image)), "none");
}

// Offsets in a 64-bit image: e_shoff 40, e_shentsize 58, e_shnum 60; in the
// third section entry (the notes) sh_offset at 128 + 24 and sh_size at 128 + 32.
INSTANTIATE_TEST_SUITE_P(
    Elf, DamagedImages,
    ::testing::Values(Patch{"NotElf", 0, 0, 1, 'X'}, Patch{"UnknownClass", 4, 0, 1, 3},
                      Patch{"UnknownByteOrder", 5, 0, 1, 0},
                      Patch{"SectionTableBeyondTheEnd", 40, 0, 8, 1u << 20},
                      Patch{"SectionTableOffsetWraps", 40, 0, 8, ~uint64_t{0} - 8},
                      Patch{"TooManySections", 60, 0, 2, 0xFFFF},
                      Patch{"SectionEntriesTooSmall", 58, 0, 2, 16},
                      Patch{"NoteSectionBeyondTheEnd", -1, 128 + 24, 8, 1u << 30},
                      Patch{"NoteSectionTooLong", -1, 128 + 32, 8, 1u << 30},
                      Patch{"NoteNameSizeHuge", -2, 0, 4, 0xFFFFFFFF},
                      Patch{"NoteDescSizeHuge", -2, 4, 4, 0xFFFFFFF0}));

TEST(VersionNoteImages, CutShortAnywhereGiveNothing) {
    for (const ElfSpec& spec : {withNotes({VersionNoteOf(1, 2, 3, 4)}),
                                withNotes({VersionNoteOf(1, 2, 3, 4)}, false), onlySegments()}) {
        const QByteArray image = BuildElf(spec);
        ASSERT_EQ(show(readBytes(image)), "1.2.3.4");
        for (qsizetype length = 0; length < image.size(); ++length) {
            EXPECT_EQ(show(readBytes(image.left(length))), "none") << length;
        }
    }
}

// Bytes changed at random anywhere but in the version numbers themselves: the
// reader finds the stamped numbers or nothing, and never reads out of bounds.
TEST(VersionNoteImages, RandomDamageGivesTheNumbersOrNothing) {
    const ElfSpec spec = withNotes({ForeignNote(), VersionNoteOf(1, 2, 3, 4)});
    const QByteArray good = BuildElf(spec);
    const ElfLayout layout = LayoutOf(spec);
    // The version words of the second note: after the first note (12 + 4 +
    // 12 bytes), its header and name (20 bytes), at description words 2 and 3.
    const int words = layout.NotesOffset + 28 + 20 + 8;
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> at(0, static_cast<int>(good.size()) - 1);
    std::uniform_int_distribution<int> byte(0, 255);
    int found = 0;
    for (int round = 0; round < 3000; ++round) {
        QByteArray image = good;
        for (int i = 0; i < 1 + round % 4; ++i) {
            int offset = at(random);
            if (offset >= words && offset < words + 8) {
                offset = 0x30 + offset % 8; // somewhere harmless in the header instead
            }
            image[offset] = static_cast<char>(byte(random));
        }
        const std::string result = show(readBytes(image));
        if (result != "none") {
            EXPECT_EQ(result, "1.2.3.4");
            ++found;
        }
    }
    EXPECT_GT(found, 0); // some damage misses what the reader uses
}

class ProgramFiles : public ::testing::Test {
protected:
    // A reader that holds a version, so that a failure must clear it.
    TQvFileVersion Filled() {
        TQvFileVersion version;
        EXPECT_TRUE(version.GetFileVersion(QStringLiteral(QV_FIXTURE_STAMPED)));
        return version;
    }

    static void ExpectCleared(const TQvFileVersion& v) {
        EXPECT_EQ(v.VersionString(), QString());
        EXPECT_EQ(v.Major(), 0);
        EXPECT_EQ(v.Minor(), 0);
        EXPECT_EQ(v.Release(), 0);
        EXPECT_EQ(v.Build(), 0);
    }

    QTemporaryDir dir_;
};

TEST_F(ProgramFiles, OurOwnProgramCarriesTheProjectVersion) {
    TQvFileVersion version;
    ASSERT_TRUE(version.GetFileVersion(QCoreApplication::applicationFilePath()));
    EXPECT_EQ(version.Major(), QV_VERSION_MAJOR);
    EXPECT_EQ(version.Minor(), QV_VERSION_MINOR);
    EXPECT_EQ(version.Release(), QV_VERSION_RELEASE);
    EXPECT_EQ(version.Build(), QV_VERSION_BUILD);
    EXPECT_EQ(version.VersionString(), QStringLiteral("%1.%2.%3")
                                           .arg(QV_VERSION_MAJOR)
                                           .arg(QV_VERSION_MINOR)
                                           .arg(QV_VERSION_RELEASE));
}

TEST_F(ProgramFiles, StampedProgramGivesItsVersionWithoutTheBuild) {
    const TQvFileVersion version = Filled();
    EXPECT_EQ(version.VersionString(), QStringLiteral("2.1.0"));
    EXPECT_EQ(version.Major(), 2);
    EXPECT_EQ(version.Minor(), 1);
    EXPECT_EQ(version.Release(), 0);
    EXPECT_EQ(version.Build(), 57);
}

TEST_F(ProgramFiles, FilesWithoutAVersionClearEverything) {
    ASSERT_TRUE(dir_.isValid());
    const QString text = dir_.filePath(QStringLiteral("notes.txt"));
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\necho not a program\n");
    file.close();
    for (const QString& path :
         {QStringLiteral(QV_FIXTURE_PLAIN), QStringLiteral(QV_FIXTURE_REMOVED), text,
          dir_.filePath(QStringLiteral("missing")), dir_.path(), QStringLiteral("/dev/zero"),
          QString()}) {
        TQvFileVersion version = Filled();
        EXPECT_FALSE(version.GetFileVersion(path)) << path.toStdString();
        ExpectCleared(version);
    }
}

TEST_F(ProgramFiles, StampedProgramCutShortGivesNothing) {
    QFile stamped(QStringLiteral(QV_FIXTURE_STAMPED));
    ASSERT_TRUE(stamped.open(QIODevice::ReadOnly));
    const QByteArray whole = stamped.readAll();
    ASSERT_TRUE(readBytes(whole));
    // Through the file for a few lengths, in memory for many more.
    for (const qsizetype length :
         {qsizetype{0}, qsizetype{3}, qsizetype{63}, whole.size() / 2, whole.size() - 1}) {
        const QString path = dir_.filePath(QStringLiteral("cut"));
        QFile cut(path);
        ASSERT_TRUE(cut.open(QIODevice::WriteOnly | QIODevice::Truncate));
        cut.write(whole.left(length));
        cut.close();
        TQvFileVersion version = Filled();
        EXPECT_FALSE(version.GetFileVersion(path)) << length;
        ExpectCleared(version);
    }
    for (qsizetype length = 0; length < whole.size(); length += length < 4096 ? 1 : 61) {
        EXPECT_FALSE(readBytes(whole.left(length))) << length;
    }
}

} // namespace
