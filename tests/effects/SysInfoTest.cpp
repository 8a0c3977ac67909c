#include "effects/core/VfxLinuxSysInfo.h"
#include "effects/core/VfxSysInfo.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <pwd.h>
#include <sys/statvfs.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <map>

using namespace fx;

namespace {

// Answers set by the test; counts nothing, decides nothing.
class FakeSystemInfo : public TVfxSystemInfoProvider {
public:
    QString user = QStringLiteral("vessa");
    TVfxDiskSpace disk{5'000'000'000ull, 9'000'000'000ull};
    TVfxOSVersion version{6, 18, 0x12345, 0, false};
    uint32_t colorDepth = 0x120; // only the low 8 bits count
    uint32_t screenSaver = 600;
    TVfxMemoryStatus memory{0x1FF,
                            25274781696ull,
                            5'368'709'120ull,
                            2'147'483'648ull,
                            1'073'741'824ull,
                            0x7FFFFFFFF000ull,
                            0x7FFF00000000ull};
    uint32_t processorType = 586;
    std::map<TVfxLockKey, bool> locks{{TVfxLockKey::CapsLock, true}};
    QDateTime now{QDate(2024, 3, 7), QTime(9, 5, 2)};
    double mhz = 2994.372;

    QString UserName() override { return user; }
    QString WindowsDirectory() override { return QStringLiteral("/home/vessa/.config"); }
    QString CurrentDirectory() override { return QStringLiteral("/home/vessa"); }
    QString SystemDirectory() override { return QStringLiteral("/etc"); }
    TVfxDiskSpace CurrentDisk() override { return disk; }
    QString RegisteredOwner() override { return QStringLiteral("Vessa Orn"); }
    QString RegisteredCompany() override { return {}; }
    TVfxOSVersion OSVersion() override { return version; }
    uint32_t ColorDepth() override { return colorDepth; }
    uint32_t ScreenSaverDelaySeconds() override { return screenSaver; }
    TVfxMemoryStatus MemoryStatus() override { return memory; }
    uint32_t FreeResources(int kind) override { return uint32_t(70 + kind); }
    QString ComputerName() override { return QStringLiteral("gatehouse"); }
    uint32_t ProcessorCount() override { return 12; }
    uint32_t ProcessorType() override { return processorType; }
    QString TempPath() override { return QStringLiteral("/tmp/"); }
    bool LockKeyOn(TVfxLockKey key) override { return locks[key]; }
    QDateTime CurrentDateTime() override { return now; }
    QString ProgramVersionString(QStringView name) override {
        return QStringLiteral("<%1>").arg(name);
    }
    double CPUSpeedMHz() override { return mhz; }
};

struct ItemCase {
    TVfxInfoType info;
    uint32_t divider;
    const char* expected;
};

void PrintTo(const ItemCase& c, std::ostream* os) {
    *os << VfxGetInfoCaption(c.info).toStdString() << " / " << c.divider;
}

class ItemsFromAProvider : public ::testing::TestWithParam<ItemCase> {};

TEST_P(ItemsFromAProvider, ReadAsSpecified) {
    FakeSystemInfo fake;
    EXPECT_EQ(VfxGetInfo(GetParam().info, GetParam().divider, u"M/d/yyyy", fake),
              QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Fake, ItemsFromAProvider,
    ::testing::Values(
        // Texts that pass through unchanged are left out.
        ItemCase{itUser, 0, "vessa"}, ItemCase{itCurrentDiskFree32, 0, "5000000000"},
        ItemCase{itCurrentDiskSize32, 1000, "9000000"}, ItemCase{itVersion, 7, "6.18"},
        ItemCase{itColorDepth, 0, "32"}, ItemCase{itScreenSaverDelay, 0, "10"},
        ItemCase{itMemSize, 0, "25274781696"}, ItemCase{itMemSize, 1048576, "24103"},
        ItemCase{itFreeSysRes, 0, "70"}, ItemCase{itFreeGDIRes, 0, "71"},
        ItemCase{itFreeUserRes, 2, "36"}, ItemCase{itMajorVerNr32, 0, "6"},
        ItemCase{itBuildNr32, 0, "9029"}, ItemCase{itMemLoaded32, 0, "255"},
        ItemCase{itMemFree32, 1048576, "5120"}, ItemCase{itMemPageFree32, 0, "1073741824"},
        ItemCase{itMemPageTotal32, 1024, "2097152"},
        ItemCase{itMemVirtFree32, 0, "140733193388032"},
        ItemCase{itMemVirtTotal32, 0, "140737488351232"}, ItemCase{itPlatformID32, 0, "0"},
        ItemCase{itPlatform32, 0, "(Unknown)"}, ItemCase{itProcessorCont32, 5, "2"},
        ItemCase{itProcessor32, 1000, "Intel Pentium"}, ItemCase{itDOSVersion, 0, "Win32"},
        ItemCase{itNumLock, 0, "Off"}, ItemCase{itCapsLock, 0, "On"}, ItemCase{itScroll, 0, "Off"},
        // "/" is the date separator of the fixed date settings.
        ItemCase{itCurrentDateTime, 0, "3-7-2024"}, ItemCase{itProgCompany, 0, "<CompanyName>"},
        ItemCase{itProgComments, 0, "<Comments>"}, ItemCase{itCPUSpeed, 0, "2994.372"},
        ItemCase{itCPUSpeed, 1000, "2.994372"}));

TEST(SystemInformation, FixedTextsStandInForWhatIsMissing) {
    FakeSystemInfo fake;
    fake.user.clear();
    EXPECT_EQ(VfxGetInfo(itUser, 0, {}, fake), QStringLiteral("(Unknown)"));
    fake.mhz = 0;
    EXPECT_EQ(VfxGetInfo(itCPUSpeed, 0, {}, fake), QStringLiteral("0"));
    fake.mhz = 3000;
    EXPECT_EQ(VfxGetInfo(itCPUSpeed, 0, {}, fake), QStringLiteral("3000"));
    fake.version = {2, 0, 0, 2, true};
    EXPECT_EQ(VfxGetInfo(itPlatform32, 0, {}, fake), QStringLiteral("Windows NT"));
}

TEST(SystemInformation, ProcessorTypesAndPlatformsHaveTheirNames) {
    const std::pair<uint32_t, const char*> processors[] = {
        {386, "Intel 386"},     {486, "Intel 486"},   {586, "Intel Pentium"},
        {2000, "Mips R2000"},   {3000, "Mips R3000"}, {4000, "Mips R4000"},
        {21064, "Alpha 21064"}, {12345, "12345"},     {0, "0"}};
    for (const auto& [type, name] : processors) {
        EXPECT_EQ(VfxProcessorName(type), QString::fromLatin1(name));
    }
    EXPECT_EQ(VfxPlatformName(0), QStringLiteral("Win32s"));
    EXPECT_EQ(VfxPlatformName(1), QStringLiteral("Windows 95"));
    EXPECT_EQ(VfxPlatformName(3), QStringLiteral("(Unknown)"));
}

TEST(SystemInformation, CaptionsAreTheStandardOnes) {
    EXPECT_EQ(VfxGetInfoCaption(itMemFree32), QStringLiteral("Memory free"));
    EXPECT_EQ(VfxGetInfoCaption(itCurrentDiskSize32), QStringLiteral("Disk size of current Disk"));
    EXPECT_EQ(VfxGetInfoCaption(itColorDepth), QStringLiteral("Colordepth (in bits)"));
    EXPECT_EQ(VfxGetInfoCaption(itUser), QStringLiteral("Username"));
    EXPECT_EQ(VfxGetInfoCaption(itCPUSpeed), QStringLiteral("CPU Speed"));
    QStringList all;
    for (int i = 0; i < kVfxInfoTypeCount; ++i) {
        all.append(VfxGetInfoCaption(TVfxInfoType(i)));
    }
    all.removeDuplicates();
    EXPECT_EQ(all.size(), 42);
}

TEST(SystemInformation, KernelReleasesGiveTheVersionNumbers) {
    struct Case {
        const char* release;
        uint32_t major, minor, build;
    } cases[] = {{"6.18.44-generic", 6, 18, 44},
                 {"6.1.0-18-amd64", 6, 1, 0},
                 {"5.4", 5, 4, 0},
                 {"4.19.70000", 4, 19, 70000},
                 {"garbage", 0, 0, 0}};
    for (const Case& c : cases) {
        const TVfxOSVersion v = TVfxLinuxSystemInfo::ParseKernelRelease(QString(c.release));
        EXPECT_EQ(v.Major, c.major) << c.release;
        EXPECT_EQ(v.Minor, c.minor) << c.release;
        EXPECT_EQ(v.Build, c.build) << c.release;
        EXPECT_FALSE(v.ClassicPlatform);
    }
    FakeSystemInfo fake;
    fake.version = TVfxLinuxSystemInfo::ParseKernelRelease(u"4.19.70000");
    EXPECT_EQ(VfxGetInfo(itBuildNr32, 0, {}, fake), QStringLiteral("4464")); // 70000 & 0xFFFF
}

// The real machine, where the answer is knowable.
class ThisMachine : public ::testing::Test {
protected:
    static uint64_t MeminfoBytes(const char* name) {
        QFile file(QStringLiteral("/proc/meminfo"));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        for (const QByteArray& line : file.readAll().split('\n')) {
            if (line.startsWith(QByteArray(name) + ':')) {
                return line.mid(line.indexOf(':') + 1).replace("kB", "").trimmed().toULongLong() *
                       1024;
            }
        }
        return 0;
    }
    static uint64_t Number(TVfxInfoType info, uint32_t divider = 0) {
        bool ok = false;
        const uint64_t n = VfxGetInfo(info, divider, {}).toULongLong(&ok);
        EXPECT_TRUE(ok) << info;
        return n;
    }
};

TEST_F(ThisMachine, MemoryFiguresMatchTheKernel) {
    const uint64_t total = uint64_t(sysconf(_SC_PHYS_PAGES)) * uint64_t(sysconf(_SC_PAGESIZE));
    EXPECT_EQ(Number(itMemSize), total);
    EXPECT_EQ(Number(itMemSize), MeminfoBytes("MemTotal"));
    EXPECT_EQ(Number(itMemSize, 1048576), total / 1048576);
    const double available = double(MeminfoBytes("MemAvailable"));
    EXPECT_NEAR(double(Number(itMemFree32)), available, available * 0.05);
    EXPECT_LE(Number(itMemLoaded32), 100u);
    EXPECT_EQ(Number(itMemPageTotal32), MeminfoBytes("SwapTotal"));
    EXPECT_GT(Number(itMemVirtTotal32), Number(itMemVirtFree32));
}

TEST_F(ThisMachine, DiskFiguresMatchStatvfsOfTheCurrentDirectory) {
    struct statvfs fs {};
    ASSERT_EQ(statvfs(".", &fs), 0);
    EXPECT_EQ(Number(itCurrentDiskSize32), uint64_t(fs.f_blocks) * fs.f_frsize);
    // Other programs write meanwhile: a little slack.
    const double free = double(fs.f_bavail) * double(fs.f_frsize);
    EXPECT_NEAR(double(Number(itCurrentDiskFree32)), free, 256.0 * 1024 * 1024);
}

TEST_F(ThisMachine, NamesAndCountsMatchTheSystem) {
    const passwd* pw = getpwuid(geteuid());
    ASSERT_NE(pw, nullptr);
    EXPECT_EQ(VfxGetInfo(itUser, 0, {}), QString::fromLocal8Bit(pw->pw_name));
    char host[256] = {};
    ASSERT_EQ(gethostname(host, sizeof host - 1), 0);
    EXPECT_EQ(VfxGetInfo(itComputerName32, 0, {}), QString::fromLocal8Bit(host));
    EXPECT_EQ(Number(itProcessorCont32), uint64_t(sysconf(_SC_NPROCESSORS_ONLN)));
    EXPECT_EQ(VfxGetInfo(itCurrentDir32, 0, {}), QDir::currentPath());
    EXPECT_TRUE(VfxGetInfo(itTempPath32, 0, {}).endsWith(u'/'));
    EXPECT_EQ(VfxGetInfo(itDOSVersion, 0, {}), QStringLiteral("Win32"));
    EXPECT_EQ(VfxGetInfo(itPlatform32, 0, {}), QStringLiteral("(Unknown)"));
    EXPECT_EQ(VfxGetInfo(itPlatformID32, 0, {}), QStringLiteral("0"));
    EXPECT_EQ(VfxGetInfo(itFreeSysRes, 0, {}), QStringLiteral("0"));
    EXPECT_EQ(VfxGetInfo(itSystemDir, 0, {}), QStringLiteral("/etc"));
    EXPECT_EQ(VfxGetInfo(itProgCompany, 0, {}), QString());
    const QString lock = VfxGetInfo(itNumLock, 0, {});
    EXPECT_TRUE(lock == u"On" || lock == u"Off") << lock.toStdString();
    utsname name{};
    ASSERT_EQ(uname(&name), 0);
    const TVfxOSVersion v = TVfxLinuxSystemInfo::ParseKernelRelease(QString(name.release));
    EXPECT_EQ(VfxGetInfo(itVersion, 0, {}), QStringLiteral("%1.%2").arg(v.Major).arg(v.Minor));
#if defined(__x86_64__) || defined(__i386__)
    EXPECT_EQ(VfxGetInfo(itProcessor32, 0, {}), QStringLiteral("Intel Pentium"));
#endif
}

TEST_F(ThisMachine, TheCpuClockIsMeasuredOverAShortWindow) {
#if defined(__x86_64__) || defined(__i386__)
    const double mhz = VfxGetCPUSpeed(std::chrono::milliseconds(20));
    EXPECT_GT(mhz, 100);
    EXPECT_LT(mhz, 20000);
    TVfxLinuxSystemInfo info(QStringLiteral("/proc"), QStringLiteral("/sys"),
                             std::chrono::milliseconds(5));
    EXPECT_GT(VfxGetInfo(itCPUSpeed, 0, {}, info).toDouble(), 100);
#else
    GTEST_SKIP() << "no cycle counter on this processor";
#endif
}

// The Linux provider over file trees made by the test.
class MadeUpKernel : public ::testing::Test {
protected:
    void Write(const QString& relative, const QByteArray& text) {
        const QString path = dir_.filePath(relative);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    TVfxLinuxSystemInfo Info() {
        return TVfxLinuxSystemInfo(dir_.filePath(QStringLiteral("proc")),
                                   dir_.filePath(QStringLiteral("sys")));
    }
    QTemporaryDir dir_;
};

TEST_F(MadeUpKernel, MemoryWithAndWithoutMemAvailable) {
    Write(QStringLiteral("proc/meminfo"), "MemTotal:       8000000 kB\n"
                                          "MemFree:        1000000 kB\n"
                                          "MemAvailable:   6000000 kB\n"
                                          "Buffers:         100000 kB\n"
                                          "Cached:         2000000 kB\n"
                                          "SwapTotal:      4000000 kB\n"
                                          "SwapFree:       3000000 kB\n");
    Write(QStringLiteral("proc/self/status"), "Name:\tx\nVmSize:\t  1000 kB\n");
    TVfxLinuxSystemInfo info = Info();
    TVfxMemoryStatus m = info.MemoryStatus();
    EXPECT_EQ(m.TotalPhys, 8'192'000'000ull);
    EXPECT_EQ(m.AvailPhys, 6'144'000'000ull);
    EXPECT_EQ(m.MemoryLoad, 25u);
    EXPECT_EQ(m.TotalPageFile, 4'096'000'000ull);
    EXPECT_EQ(m.AvailPageFile, 3'072'000'000ull);
    EXPECT_EQ(m.TotalVirtual - m.AvailVirtual, 1'024'000ull);

    Write(QStringLiteral("proc/meminfo"), "MemTotal:       8000000 kB\n"
                                          "MemFree:        1000000 kB\n"
                                          "Buffers:         100000 kB\n"
                                          "Cached:         2000000 kB\n");
    m = info.MemoryStatus();
    EXPECT_EQ(m.AvailPhys, 3'100'000ull * 1024);
    EXPECT_EQ(m.MemoryLoad, 61u);
    EXPECT_EQ(m.TotalPageFile, 0u);
}

TEST_F(MadeUpKernel, NoMemoryFileGivesZerosNotAFailure) {
    const TVfxMemoryStatus m = Info().MemoryStatus();
    EXPECT_EQ(m.TotalPhys, 0u);
    EXPECT_EQ(m.MemoryLoad, 0u);
}

TEST_F(MadeUpKernel, LockKeysFollowTheKeyboardLeds) {
    TVfxLinuxSystemInfo info = Info();
    EXPECT_FALSE(info.LockKeyOn(TVfxLockKey::NumLock));
    Write(QStringLiteral("sys/class/leds/input3::numlock/brightness"), "1\n");
    Write(QStringLiteral("sys/class/leds/input3::capslock/brightness"), "0\n");
    Write(QStringLiteral("sys/class/leds/input7::capslock/brightness"), "0\n");
    Write(QStringLiteral("sys/class/leds/input3::scrolllock/brightness"), "0\n");
    Write(QStringLiteral("sys/class/leds/input7::scrolllock/brightness"), "1\n");
    EXPECT_TRUE(info.LockKeyOn(TVfxLockKey::NumLock));
    EXPECT_FALSE(info.LockKeyOn(TVfxLockKey::CapsLock));
    EXPECT_TRUE(info.LockKeyOn(TVfxLockKey::ScrollLock));
    EXPECT_EQ(VfxGetInfo(itNumLock, 0, {}, info), QStringLiteral("On"));
}

TEST_F(MadeUpKernel, TheReportedClockPrefersCpufreqThenCpuinfo) {
    const QString proc = dir_.filePath(QStringLiteral("proc"));
    const QString sys = dir_.filePath(QStringLiteral("sys"));
    EXPECT_EQ(TVfxLinuxSystemInfo::ReportedCPUSpeed(proc, sys), 0.0);
    Write(QStringLiteral("proc/cpuinfo"), "processor\t: 0\ncpu MHz\t\t: 2994.372\n");
    EXPECT_DOUBLE_EQ(TVfxLinuxSystemInfo::ReportedCPUSpeed(proc, sys), 2994.372);
    Write(QStringLiteral("sys/devices/system/cpu/cpu0/cpufreq/cpuinfo_max_freq"), "4700000\n");
    EXPECT_DOUBLE_EQ(TVfxLinuxSystemInfo::ReportedCPUSpeed(proc, sys), 4700.0);
}

TEST_F(MadeUpKernel, VersionStringsComeFromTheInstalledLookup) {
    TVfxLinuxSystemInfo info = Info();
    EXPECT_EQ(VfxGetInfo(itProgName, 0, {}, info), QString());
    info.SetVersionLookup([](QStringView name) {
        return name == u"ProductName" ? QStringLiteral("Quorvel") : QString();
    });
    EXPECT_EQ(VfxGetInfo(itProgName, 0, {}, info), QStringLiteral("Quorvel"));
    EXPECT_EQ(VfxGetInfo(itProgComments, 0, {}, info), QString());
}

TEST(SystemInformation, AnInstalledProviderAnswersTheDefaultQueries) {
    FakeSystemInfo fake;
    VfxSetSystemInfoProvider(&fake);
    EXPECT_EQ(VfxGetInfo(itComputerName32, 0, {}), QStringLiteral("gatehouse"));
    VfxSetSystemInfoProvider(nullptr);
    EXPECT_NE(VfxGetInfo(itComputerName32, 0, {}), QStringLiteral("gatehouse"));
}

} // namespace
