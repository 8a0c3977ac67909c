#include "effects/core/VfxLinuxSysInfo.h"
#include "effects/core/VfxSysInfo.h"

#include "EffectsTestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <pwd.h>
#include <sys/statvfs.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <map>
#include <tuple>

using namespace fx;

namespace {

// Answers set by the test for the items it reads; the rest come from the
// machine.
class FakeSystemInfo : public TVfxLinuxSystemInfo {
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
    TVfxDiskSpace CurrentDisk() override { return disk; }
    TVfxOSVersion OSVersion() override { return version; }
    uint32_t ColorDepth() override { return colorDepth; }
    uint32_t ScreenSaverDelaySeconds() override { return screenSaver; }
    TVfxMemoryStatus MemoryStatus() override { return memory; }
    uint32_t FreeResources(int kind) override { return uint32_t(70 + kind); }
    QString ComputerName() override { return QStringLiteral("gatehouse"); }
    uint32_t ProcessorCount() override { return 12; }
    uint32_t ProcessorType() override { return processorType; }
    bool LockKeyOn(TVfxLockKey key) override { return locks[key]; }
    QDateTime CurrentDateTime() override { return now; }
    double CPUSpeedMHz() override { return mhz; }
};

TEST(SystemInformation, ItemsFromAProviderReadAsSpecified) {
    FakeSystemInfo fake;
    for (const QStringList& row : GoldenTextRows("effects/sysinfo-items.tsv", 3)) {
        int info = 0;
        while (info < kVfxInfoTypeCount && VfxGetInfoCaption(TVfxInfoType(info)) != row[0]) {
            ++info;
        }
        ASSERT_LT(info, kVfxInfoTypeCount) << row[0].toStdString();
        EXPECT_EQ(VfxGetInfo(TVfxInfoType(info), row[1].toUInt(), u"M/d/yyyy", fake), row[2])
            << row.join(u" | ").toStdString();
    }
    // Fixed texts stand in for what is missing.
    fake.user.clear();
    EXPECT_EQ(VfxGetInfo(itUser, 0, {}, fake), QStringLiteral("(Unknown)"));
    fake.mhz = 0;
    EXPECT_EQ(VfxGetInfo(itCPUSpeed, 0, {}, fake), QStringLiteral("0"));
    fake.mhz = 3000;
    EXPECT_EQ(VfxGetInfo(itCPUSpeed, 0, {}, fake), QStringLiteral("3000"));
    fake.version = {2, 0, 0, 2, true};
    EXPECT_EQ(VfxGetInfo(itPlatform32, 0, {}, fake), QStringLiteral("Windows NT"));
}

TEST(SystemInformation, KernelReleasesGiveTheVersionNumbers) {
    for (const QStringList& row : GoldenTextRows("effects/kernel-releases.tsv", 4)) {
        const TVfxOSVersion v = TVfxLinuxSystemInfo::ParseKernelRelease(row[0]);
        EXPECT_EQ(std::tuple(v.Major, v.Minor, v.Build, v.ClassicPlatform),
                  std::tuple(row[1].toUInt(), row[2].toUInt(), row[3].toUInt(), false))
            << row[0].toStdString();
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

TEST_F(ThisMachine, FiguresNamesAndCountsMatchTheSystem) {
    EXPECT_EQ(Number(itMemSize),
              uint64_t(sysconf(_SC_PHYS_PAGES)) * uint64_t(sysconf(_SC_PAGESIZE)));
    const double available = double(MeminfoBytes("MemAvailable"));
    EXPECT_NEAR(double(Number(itMemFree32)), available, available * 0.05);
    EXPECT_EQ(Number(itMemPageTotal32), MeminfoBytes("SwapTotal"));
    EXPECT_LE(Number(itMemLoaded32), 100u);
    struct statvfs fs {};
    ASSERT_EQ(statvfs(".", &fs), 0);
    EXPECT_EQ(Number(itCurrentDiskSize32), uint64_t(fs.f_blocks) * fs.f_frsize);

    const passwd* pw = getpwuid(geteuid());
    ASSERT_NE(pw, nullptr);
    char host[256] = {};
    ASSERT_EQ(gethostname(host, sizeof host - 1), 0);
    utsname name{};
    ASSERT_EQ(uname(&name), 0);
    const TVfxOSVersion v = TVfxLinuxSystemInfo::ParseKernelRelease(QString(name.release));
    const std::pair<TVfxInfoType, QString> items[] = {
        {itUser, QString::fromLocal8Bit(pw->pw_name)},
        {itComputerName32, QString::fromLocal8Bit(host)},
        {itProcessorCont32, QString::number(sysconf(_SC_NPROCESSORS_ONLN))},
        {itCurrentDir32, QDir::currentPath()},
        {itVersion, QStringLiteral("%1.%2").arg(v.Major).arg(v.Minor)},
        {itPlatform32, QStringLiteral("(Unknown)")},
        {itPlatformID32, QStringLiteral("0")},
        {itSystemDir, QStringLiteral("/etc")},
#if defined(__x86_64__) || defined(__i386__)
        {itProcessor32, QStringLiteral("Intel Pentium")},
#endif
    };
    for (const auto& [info, expected] : items) {
        EXPECT_EQ(VfxGetInfo(info, 0, {}), expected) << VfxGetInfoCaption(info).toStdString();
    }
    EXPECT_TRUE(VfxGetInfo(itTempPath32, 0, {}).endsWith(u'/'));
    const QString lock = VfxGetInfo(itNumLock, 0, {});
    EXPECT_TRUE(lock == u"On" || lock == u"Off") << lock.toStdString();
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

TEST_F(MadeUpKernel, MemoryWithAndWithoutMemAvailableOrTheFile) {
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
    EXPECT_EQ(std::tuple(m.TotalPhys, m.AvailPhys, m.MemoryLoad, m.TotalPageFile, m.AvailPageFile,
                         m.TotalVirtual - m.AvailVirtual),
              std::tuple(8'192'000'000ull, 6'144'000'000ull, 25u, 4'096'000'000ull,
                         3'072'000'000ull, 1'024'000ull));

    Write(QStringLiteral("proc/meminfo"), "MemTotal:       8000000 kB\n"
                                          "MemFree:        1000000 kB\n"
                                          "Buffers:         100000 kB\n"
                                          "Cached:         2000000 kB\n");
    m = info.MemoryStatus();
    EXPECT_EQ(std::tuple(m.AvailPhys, m.MemoryLoad, m.TotalPageFile),
              std::tuple(3'100'000ull * 1024, 61u, uint64_t(0)));
}

TEST_F(MadeUpKernel, LockKeysFollowTheKeyboardLeds) {
    TVfxLinuxSystemInfo info = Info();
    EXPECT_FALSE(info.LockKeyOn(TVfxLockKey::NumLock));
    Write(QStringLiteral("sys/class/leds/input3::numlock/brightness"), "1\n");
    Write(QStringLiteral("sys/class/leds/input3::capslock/brightness"), "0\n");
    Write(QStringLiteral("sys/class/leds/input7::capslock/brightness"), "0\n");
    Write(QStringLiteral("sys/class/leds/input3::scrolllock/brightness"), "0\n");
    Write(QStringLiteral("sys/class/leds/input7::scrolllock/brightness"), "1\n");
    EXPECT_EQ(std::tuple(info.LockKeyOn(TVfxLockKey::NumLock),
                         info.LockKeyOn(TVfxLockKey::CapsLock),
                         info.LockKeyOn(TVfxLockKey::ScrollLock)),
              std::tuple(true, false, true));
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

TEST(SystemInformation, AnInstalledProviderAnswersTheDefaultQueries) {
    FakeSystemInfo fake;
    VfxSetSystemInfoProvider(&fake);
    EXPECT_EQ(VfxGetInfo(itComputerName32, 0, {}), QStringLiteral("gatehouse"));
    VfxSetSystemInfoProvider(nullptr);
    EXPECT_NE(VfxGetInfo(itComputerName32, 0, {}), QStringLiteral("gatehouse"));
}

} // namespace
