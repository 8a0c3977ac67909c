#include "effects/core/VfxLinuxSysInfo.h"

#include "effects/core/VfxUtils.h"

#include <QDir>
#include <QFile>
#include <QSysInfo>

#include <pwd.h>
#include <sys/resource.h>
#include <sys/statvfs.h>
#include <sys/utsname.h>
#include <time.h>
#include <unistd.h>

#include <optional>
#include <thread>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <x86intrin.h>
#define QV_HAVE_CYCLE_COUNTER 1
#endif

namespace fx {

namespace {

QByteArray ReadSmallFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.read(1024 * 1024);
}

// The number of a "Name:   value kB" line of a status file, in bytes.
std::optional<uint64_t> KbField(const QByteArray& text, QByteArrayView name) {
    for (const QByteArray& line : text.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0 || QByteArrayView(line).first(colon) != name) {
            continue;
        }
        bool ok = false;
        QByteArray value = line.sliced(colon + 1).trimmed();
        if (value.endsWith(" kB")) {
            value.chop(3);
        }
        const uint64_t kb = value.trimmed().toULongLong(&ok);
        if (ok) {
            return kb * 1024;
        }
    }
    return std::nullopt;
}

#if defined(__x86_64__) || defined(__aarch64__) || UINTPTR_MAX > 0xFFFFFFFFu
constexpr uint64_t kUserAddressSpace = 0x7FFFFFFFF000ull; // the common 47-bit layout
#else
constexpr uint64_t kUserAddressSpace = 0xC0000000ull; // 3 GB
#endif

#ifdef QV_HAVE_CYCLE_COUNTER
int64_t MonotonicRawNs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC_RAW, &t);
    return int64_t(t.tv_sec) * 1000000000 + t.tv_nsec;
}
#endif

} // namespace

double VfxGetCPUSpeed(std::chrono::milliseconds window) {
#ifdef QV_HAVE_CYCLE_COUNTER
    const int64_t t0 = MonotonicRawNs();
    const uint64_t c0 = __rdtsc();
    std::this_thread::sleep_for(window);
    const uint64_t c1 = __rdtsc();
    const int64_t t1 = MonotonicRawNs();
    const double micros = double(t1 - t0) / 1000;
    return micros > 0 ? double(c1 - c0) / micros : 0;
#else
    (void)window;
    return TVfxLinuxSystemInfo::ReportedCPUSpeed(QStringLiteral("/proc"), QStringLiteral("/sys"));
#endif
}

TVfxLinuxSystemInfo::TVfxLinuxSystemInfo(QString procRoot, QString sysRoot,
                                         std::chrono::milliseconds cpuWindow)
    : procRoot_(std::move(procRoot)), sysRoot_(std::move(sysRoot)), cpuWindow_(cpuWindow) {}

QString TVfxLinuxSystemInfo::UserName() {
    const long suggested = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(suggested > 0 ? size_t(suggested) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_name != nullptr) {
        return QString::fromLocal8Bit(found->pw_name);
    }
    return qEnvironmentVariable("USER");
}

QString TVfxLinuxSystemInfo::WindowsDirectory() {
    return VfxPathPrefix(ppWindows, false);
}

QString TVfxLinuxSystemInfo::CurrentDirectory() {
    return QDir::currentPath();
}

QString TVfxLinuxSystemInfo::SystemDirectory() {
    return VfxPathPrefix(ppSystem, false);
}

TVfxDiskSpace TVfxLinuxSystemInfo::CurrentDisk() {
    struct statvfs fs {};
    if (statvfs(QFile::encodeName(QDir::currentPath()).constData(), &fs) != 0) {
        return {};
    }
    return {uint64_t(fs.f_bavail) * fs.f_frsize, uint64_t(fs.f_blocks) * fs.f_frsize};
}

QString TVfxLinuxSystemInfo::RegisteredOwner() {
    return {};
}

QString TVfxLinuxSystemInfo::RegisteredCompany() {
    return {};
}

TVfxOSVersion TVfxLinuxSystemInfo::ParseKernelRelease(QStringView release) {
    uint32_t parts[3] = {0, 0, 0};
    qsizetype at = 0;
    for (int i = 0; i < 3; ++i) {
        qsizetype end = at;
        while (end < release.size() && release[end].isDigit()) {
            ++end;
        }
        if (end == at) {
            break;
        }
        parts[i] = release.sliced(at, end - at).toUInt();
        if (end >= release.size() || release[end] != u'.') {
            break;
        }
        at = end + 1;
    }
    return {parts[0], parts[1], parts[2], 0, false};
}

TVfxOSVersion TVfxLinuxSystemInfo::OSVersion() {
    utsname name{};
    if (uname(&name) != 0) {
        return {};
    }
    return ParseKernelRelease(QString::fromLatin1(name.release));
}

uint32_t TVfxLinuxSystemInfo::ColorDepth() {
    return 0;
}

uint32_t TVfxLinuxSystemInfo::ScreenSaverDelaySeconds() {
    return 0;
}

TVfxMemoryStatus TVfxLinuxSystemInfo::MemoryStatus() {
    TVfxMemoryStatus status;
    const QByteArray meminfo = ReadSmallFile(procRoot_ + QStringLiteral("/meminfo"));
    status.TotalPhys = KbField(meminfo, "MemTotal").value_or(0);
    if (const auto available = KbField(meminfo, "MemAvailable")) {
        status.AvailPhys = *available;
    } else {
        status.AvailPhys = KbField(meminfo, "MemFree").value_or(0) +
                           KbField(meminfo, "Buffers").value_or(0) +
                           KbField(meminfo, "Cached").value_or(0);
    }
    status.AvailPhys = std::min(status.AvailPhys, status.TotalPhys);
    if (status.TotalPhys > 0) {
        status.MemoryLoad =
            uint32_t((status.TotalPhys - status.AvailPhys) * 100 / status.TotalPhys);
    }
    status.TotalPageFile = KbField(meminfo, "SwapTotal").value_or(0);
    status.AvailPageFile = KbField(meminfo, "SwapFree").value_or(0);

    rlimit limit{};
    status.TotalVirtual = kUserAddressSpace;
    if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
        status.TotalVirtual = uint64_t(limit.rlim_cur);
    }
    const uint64_t used =
        KbField(ReadSmallFile(procRoot_ + QStringLiteral("/self/status")), "VmSize").value_or(0);
    status.AvailVirtual = used < status.TotalVirtual ? status.TotalVirtual - used : 0;
    return status;
}

uint32_t TVfxLinuxSystemInfo::FreeResources(int) {
    return 0;
}

QString TVfxLinuxSystemInfo::ComputerName() {
    return QSysInfo::machineHostName();
}

uint32_t TVfxLinuxSystemInfo::ProcessorCount() {
    const long n = sysconf(_SC_NPROCESSORS_ONLN);
    return n > 0 ? uint32_t(n) : 0;
}

uint32_t TVfxLinuxSystemInfo::ProcessorType() {
#if defined(__x86_64__) || defined(__i386__)
    return 586;
#else
    return 0;
#endif
}

QString TVfxLinuxSystemInfo::TempPath() {
    return VfxAddBackslash(QDir::tempPath());
}

bool TVfxLinuxSystemInfo::LockKeyOn(TVfxLockKey key) {
    QString pattern;
    switch (key) {
    case TVfxLockKey::NumLock:
        pattern = QStringLiteral("*::numlock");
        break;
    case TVfxLockKey::CapsLock:
        pattern = QStringLiteral("*::capslock");
        break;
    case TVfxLockKey::ScrollLock:
        pattern = QStringLiteral("*::scrolllock");
        break;
    }
    const QDir leds(sysRoot_ + QStringLiteral("/class/leds"));
    for (const QString& led : leds.entryList({pattern}, QDir::AllEntries | QDir::NoDotAndDotDot)) {
        const QByteArray brightness =
            ReadSmallFile(leds.filePath(led) + QStringLiteral("/brightness")).trimmed();
        if (brightness.toInt() > 0) {
            return true;
        }
    }
    return false;
}

QDateTime TVfxLinuxSystemInfo::CurrentDateTime() {
    return QDateTime::currentDateTime();
}

QString TVfxLinuxSystemInfo::ProgramVersionString(QStringView name) {
    return versionLookup_ ? versionLookup_(name) : QString();
}

double TVfxLinuxSystemInfo::CPUSpeedMHz() {
#ifdef QV_HAVE_CYCLE_COUNTER
    return VfxGetCPUSpeed(cpuWindow_);
#else
    return ReportedCPUSpeed(procRoot_, sysRoot_);
#endif
}

double TVfxLinuxSystemInfo::ReportedCPUSpeed(const QString& procRoot, const QString& sysRoot) {
    bool ok = false;
    const QByteArray maxFreq =
        ReadSmallFile(sysRoot + QStringLiteral("/devices/system/cpu/cpu0/cpufreq/cpuinfo_max_freq"))
            .trimmed();
    const double kHz = maxFreq.toDouble(&ok);
    if (ok && kHz > 0) {
        return kHz / 1000;
    }
    const QByteArray cpuinfo = ReadSmallFile(procRoot + QStringLiteral("/cpuinfo"));
    for (const QByteArray& line : cpuinfo.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.first(colon).trimmed() == "cpu MHz") {
            const double mhz = line.sliced(colon + 1).trimmed().toDouble(&ok);
            if (ok) {
                return mhz;
            }
        }
    }
    return 0;
}

} // namespace fx
