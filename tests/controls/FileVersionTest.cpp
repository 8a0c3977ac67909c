#include "controls/QvFileVersion.h"

#include "ElfImage.h"
#include "GoldenRows.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
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

ElfSpec withNotes(std::vector<ElfNote> notes, bool is64 = true, bool bigEndian = false,
                  bool sections = true, bool segments = true, uint32_t align = 4) {
    return ElfSpec{is64, bigEndian, sections, segments, align, std::move(notes)};
}

ElfNote withDesc(ElfNote note, const std::vector<uint32_t>& words) {
    note.Desc = Words(words, false);
    return note;
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
        {"notes padded to eight",
         withNotes({ForeignNote(), VersionNoteOf(1, 2, 3, 4)}, true, false, true, true, 8),
         "1.2.3.4"},
        {"segments without sections", withNotes({VersionNoteOf(1, 2, 3, 4)}, true, false, false),
         "1.2.3.4"},
        {"sections without segments",
         withNotes({VersionNoteOf(1, 2, 3, 4)}, false, false, true, false), "1.2.3.4"},
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

TEST(VersionNoteImages, DamagedHeadersGiveNothing) {
    const ElfSpec spec = withNotes({VersionNoteOf(1, 2, 3, 4)});
    const ElfLayout layout = LayoutOf(spec);
    const std::map<QString, int> bases = {
        {"file", 0}, {"sections", layout.SectionTableOffset}, {"notes", layout.NotesOffset}};
    for (const QStringList& row : GoldenTextRows("controls/damaged-elf-headers.tsv", 5)) {
        QByteArray image = BuildElf(spec);
        const int offset = bases.at(row[1]) + row[2].toInt();
        const uint64_t value = row[4].toULongLong();
        for (int i = 0; i < row[3].toInt(); ++i) {
            image[offset + i] = static_cast<char>(value >> (8 * i));
        }
        EXPECT_EQ(show(readBytes(image)), "none") << row[0].toStdString();
    }
}

// A file with more segments than its header can count keeps the count in
// section 0, and a file without sections then reads its note segments.
TEST(VersionNoteImages, SegmentCountKeptInSectionZero) {
    const ElfSpec spec = withNotes({VersionNoteOf(1, 2, 3, 4)});
    const int sectionZero = LayoutOf(spec).SectionTableOffset;
    const auto put = [](QByteArray& image, int offset, uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            image[offset + i] = static_cast<char>(value >> (8 * i));
        }
    };
    QByteArray image = BuildElf(spec);
    put(image, 60, 0, 2);      // e_shnum: in section 0's size, which is 0
    put(image, 56, 0xFFFF, 2); // e_phnum: in section 0's info
    put(image, sectionZero + 44, 1, 4);
    EXPECT_EQ(show(readBytes(image)), "1.2.3.4");
    put(image, sectionZero + 44, 0, 4); // no segments after all
    EXPECT_EQ(show(readBytes(image)), "none");
}

TEST(VersionNoteImages, CutShortAnywhereGiveNothing) {
    QFile stamped(QStringLiteral(QV_FIXTURE_STAMPED));
    ASSERT_TRUE(stamped.open(QIODevice::ReadOnly));
    for (const QByteArray& image :
         {BuildElf(withNotes({VersionNoteOf(1, 2, 3, 4)})),
          BuildElf(withNotes({VersionNoteOf(1, 2, 3, 4)}, false)),
          BuildElf(withNotes({VersionNoteOf(1, 2, 3, 4)}, true, false, false)),
          stamped.readAll()}) {
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
