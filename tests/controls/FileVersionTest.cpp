#include "controls/QvFileVersion.h"

#include "ElfImage.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>
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

std::string show(const TQvFileVersion& v) {
    return show(ctl::TFileVersionNumbers{v.Major(), v.Minor(), v.Release(), v.Build()});
}

ElfSpec withNotes(std::vector<ElfNote> notes, bool is64 = true, bool bigEndian = false) {
    ElfSpec spec;
    spec.Is64 = is64;
    spec.BigEndian = bigEndian;
    spec.Notes = std::move(notes);
    return spec;
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

TEST(VersionNoteImages, GiveTheStampedNumbersOrNothing) {
    const QByteArray ours("Quorvel", 8);
    const QByteArray desc = VersionNoteOf(1, 2, 3, 4).Desc;
    const struct {
        const char* name;
        ElfSpec spec;
        const char* expected;
    } cases[] = {
        {"64-bit little-endian", withNotes({VersionNoteOf(1, 2, 3, 4)}), "1.2.3.4"},
        {"32-bit little-endian", withNotes({VersionNoteOf(1, 2, 3, 4)}, false), "1.2.3.4"},
        {"64-bit big-endian", withNotes({VersionNoteOf(1, 2, 3, 4, true)}, true, true), "1.2.3.4"},
        {"largest numbers", withNotes({VersionNoteOf(65535, 65535, 65535, 65535)}),
         "65535.65535.65535.65535"},
        {"after another program's note", withNotes({ForeignNote(), VersionNoteOf(1, 2, 3, 4)}),
         "1.2.3.4"},
        {"notes padded to eight", paddedToEight(), "1.2.3.4"},
        {"segments without sections", onlySegments(), "1.2.3.4"},
        {"sections without segments", onlySections(), "1.2.3.4"},
        {"no notes", withNotes({}), "none"},
        {"only another program's note", withNotes({ForeignNote()}), "none"},
        {"wrong signature, then a good note",
         withNotes({withDesc(VersionNoteOf(0, 0, 0, 0), kBadSignature), VersionNoteOf(5, 6, 7, 8)}),
         "5.6.7.8"},
        {"other owner", withNotes({{QByteArray("Quorvex", 8), 0x51560001, desc}}), "none"},
        {"other type", withNotes({{ours, 0x51560002, desc}}), "none"},
        {"short description", withNotes({{ours, 0x51560001, desc.left(48)}}), "none"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(show(readBytes(BuildElf(c.spec))), c.expected) << c.name;
    }
}

// Header fields a hostile or damaged file may hold, patched into a good
// 64-bit image: e_shoff at 40, e_shentsize 58, e_shnum 60; in the third
// section entry (the notes) sh_offset at 128 + 24 and sh_size at 128 + 32.
TEST(VersionNoteImages, DamagedHeadersGiveNothing) {
    const ElfSpec spec = withNotes({VersionNoteOf(1, 2, 3, 4)});
    const ElfLayout layout = LayoutOf(spec);
    const int sections = layout.SectionTableOffset;
    const int notes = layout.NotesOffset;
    const struct {
        const char* name;
        int offset;
        int size; // bytes written
        uint64_t value;
    } patches[] = {
        {"not ELF", 0, 1, 'X'},
        {"unknown class", 4, 1, 3},
        {"unknown byte order", 5, 1, 0},
        {"section table beyond the end", 40, 8, 1u << 20},
        {"section table offset wraps", 40, 8, ~uint64_t{0} - 8},
        {"too many sections", 60, 2, 0xFFFF},
        {"section entries too small", 58, 2, 16},
        {"section entries of no size", 58, 2, 0},
        {"note section beyond the end", sections + 128 + 24, 8, 1u << 30},
        {"note section too long", sections + 128 + 32, 8, 1u << 30},
        {"note name size huge", notes, 4, 0xFFFFFFFF},
        {"note description size huge", notes + 4, 4, 0xFFFFFFF0},
    };
    for (const auto& p : patches) {
        QByteArray image = BuildElf(spec);
        for (int i = 0; i < p.size; ++i) { // little-endian
            image[p.offset + i] = static_cast<char>(p.value >> (8 * i));
        }
        EXPECT_EQ(show(readBytes(image)), "none") << p.name;
    }
}

TEST(VersionNoteImages, CutShortAnywhereGiveNothing) {
    QFile stamped(QStringLiteral(QV_FIXTURE_STAMPED));
    ASSERT_TRUE(stamped.open(QIODevice::ReadOnly));
    for (const QByteArray& image : {BuildElf(withNotes({VersionNoteOf(1, 2, 3, 4)})),
                                    BuildElf(withNotes({VersionNoteOf(1, 2, 3, 4)}, false)),
                                    BuildElf(onlySegments()), stamped.readAll()}) {
        ASSERT_NE(show(readBytes(image)), "none");
        for (qsizetype length = 0; length < image.size(); length += length < 4096 ? 1 : 61) {
            EXPECT_EQ(show(readBytes(image.left(length))), "none") << length;
        }
    }
}

TEST(ProgramFiles, StampedProgramsGiveTheirVersionWithoutTheBuild) {
    TQvFileVersion version;
    ASSERT_TRUE(version.GetFileVersion(QStringLiteral(QV_FIXTURE_STAMPED)));
    EXPECT_EQ(version.VersionString(), QStringLiteral("2.1.0"));
    EXPECT_EQ(show(version), "2.1.0.57");
    // The test program itself carries the project's version.
    ASSERT_TRUE(version.GetFileVersion(QCoreApplication::applicationFilePath()));
    EXPECT_EQ(show(version),
              std::to_string(QV_VERSION_MAJOR) + "." + std::to_string(QV_VERSION_MINOR) + "." +
                  std::to_string(QV_VERSION_RELEASE) + "." + std::to_string(QV_VERSION_BUILD));
}

TEST(ProgramFiles, FilesWithoutAVersionClearEverything) {
    QTemporaryDir dir;
    const auto write = [&](const char* name, const QByteArray& bytes) {
        QFile file(dir.filePath(QLatin1String(name)));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    };
    QFile stamped(QStringLiteral(QV_FIXTURE_STAMPED));
    ASSERT_TRUE(stamped.open(QIODevice::ReadOnly));
    const QByteArray whole = stamped.readAll();
    for (const QString& path :
         {QStringLiteral(QV_FIXTURE_PLAIN), QStringLiteral(QV_FIXTURE_REMOVED),
          write("notes.txt", "#!/bin/sh\necho not a program\n"), write("empty", {}),
          write("cut", whole.left(whole.size() / 2)), dir.filePath(QStringLiteral("missing")),
          dir.path(), QStringLiteral("/dev/zero"), QString()}) {
        TQvFileVersion version;
        ASSERT_TRUE(version.GetFileVersion(QStringLiteral(QV_FIXTURE_STAMPED)));
        EXPECT_FALSE(version.GetFileVersion(path)) << path.toStdString();
        EXPECT_EQ(version.VersionString(), QString());
        EXPECT_EQ(show(version), "0.0.0.0");
    }
}

} // namespace
