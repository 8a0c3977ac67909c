#pragma once

#include "effects/core/VfxSysInfo.h"

#include <functional>

namespace fx {

// System information from the Linux kernel's files and calls.
//
// - user: the effective user's account name, else $USER;
// - Windows and system directory: the folders of VfxPathPrefix (the user's
//   configuration folder, "/etc");
// - disk: statvfs of the current directory (free = blocks available to the
//   user);
// - registered owner and company: empty (no such record);
// - version: the kernel release "major.minor.patch" (build = patch); the
//   platform id 0, not one of the classic platforms;
// - colour depth, screen-saver delay, free resources: 0 (the widget layer
//   adds the colour depth);
// - memory from <proc>/meminfo (MemAvailable, or MemFree + Buffers + Cached
//   on kernels without it), the load = used share of MemTotal; virtual total
//   = the address-space limit when one is set, else the user address space;
//   virtual free = total - VmSize of <proc>/self/status;
// - processors online; type 586 on x86, 0 elsewhere;
// - lock keys: a keyboard LED under <sys>/class/leds named *::numlock,
//   *::capslock, *::scrolllock that is lit; off when none is found;
// - version strings: empty until the program installs the lookup of its
//   version record (SetVersionLookup);
// - CPU speed: VfxGetCPUSpeed over the measuring window.
class TVfxLinuxSystemInfo : public TVfxSystemInfoProvider {
public:
    using VersionLookup = std::function<QString(QStringView name)>;

    // procRoot and sysRoot name the kernel's two file trees (tests pass
    // folders of their own).
    explicit TVfxLinuxSystemInfo(
        QString procRoot = QStringLiteral("/proc"), QString sysRoot = QStringLiteral("/sys"),
        std::chrono::milliseconds cpuWindow = std::chrono::milliseconds(500));

    void SetVersionLookup(VersionLookup lookup) { versionLookup_ = std::move(lookup); }

    QString UserName() override;
    QString WindowsDirectory() override;
    QString CurrentDirectory() override;
    QString SystemDirectory() override;
    TVfxDiskSpace CurrentDisk() override;
    QString RegisteredOwner() override;
    QString RegisteredCompany() override;
    TVfxOSVersion OSVersion() override;
    uint32_t ColorDepth() override;
    uint32_t ScreenSaverDelaySeconds() override;
    TVfxMemoryStatus MemoryStatus() override;
    uint32_t FreeResources(int kind) override;
    QString ComputerName() override;
    uint32_t ProcessorCount() override;
    uint32_t ProcessorType() override;
    QString TempPath() override;
    bool LockKeyOn(TVfxLockKey key) override;
    QDateTime CurrentDateTime() override;
    QString ProgramVersionString(QStringView name) override;
    double CPUSpeedMHz() override;

    // "6.18.44-generic" -> 6, 18, 44; missing numbers are 0; the build keeps
    // all of its bits (the item takes the low 16).
    static TVfxOSVersion ParseKernelRelease(QStringView release);
    // The clock the system reports, in MHz: cpufreq's maximum of cpu0, else
    // the first "cpu MHz" line of cpuinfo; 0 when neither exists.
    static double ReportedCPUSpeed(const QString& procRoot, const QString& sysRoot);

private:
    QString procRoot_;
    QString sysRoot_;
    std::chrono::milliseconds cpuWindow_;
    VersionLookup versionLookup_;
};

// The provider built into the kit, answering VfxGetInfo until another is
// installed (VfxSetSystemInfoProvider); the program gives it its version
// lookup here.
TVfxLinuxSystemInfo& VfxHostSystemInfo();

} // namespace fx
