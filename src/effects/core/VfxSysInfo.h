#pragma once

#include <QDateTime>
#include <QString>
#include <QStringView>

#include <chrono>
#include <cstdint>

namespace fx {

// The kinds of system information, in their fixed order.
enum TVfxInfoType {
    itUser,
    itWinDir,
    itCurrentDir32,
    itCurrentDiskFree32,
    itCurrentDiskSize32,
    itSystemDir,
    itReg_Owner32,
    itReg_Company32,
    itVersion,
    itColorDepth,
    itScreenSaverDelay,
    itMemSize,
    itFreeSysRes,
    itFreeGDIRes,
    itFreeUserRes,
    itComputerName32,
    itMajorVerNr32,
    itBuildNr32,
    itMemLoaded32,
    itMemFree32,
    itMemPageFree32,
    itMemPageTotal32,
    itMemVirtFree32,
    itMemVirtTotal32,
    itPlatformID32,
    itPlatform32,
    itProcessorCont32,
    itProcessor32,
    itTempPath32,
    itDOSVersion,
    itNumLock,
    itCapsLock,
    itScroll,
    itCurrentDateTime,
    itProgCompany,
    itProgName,
    itProgVersion,
    itProgCopyright,
    itProgTrademark,
    itProgDescription,
    itProgComments,
    itCPUSpeed,
};
constexpr int kVfxInfoTypeCount = itCPUSpeed + 1;

// Memory figures in bytes (the load in percent).
struct TVfxMemoryStatus {
    uint32_t MemoryLoad = 0;
    uint64_t TotalPhys = 0;
    uint64_t AvailPhys = 0;
    uint64_t TotalPageFile = 0;
    uint64_t AvailPageFile = 0;
    uint64_t TotalVirtual = 0;
    uint64_t AvailVirtual = 0;
};

struct TVfxDiskSpace {
    uint64_t Free = 0;  // bytes available to the user
    uint64_t Total = 0; // bytes
};

struct TVfxOSVersion {
    uint32_t Major = 0;
    uint32_t Minor = 0;
    uint32_t Build = 0;
    uint32_t PlatformId = 0;
    // True when PlatformId is one of the three classic platforms (0, 1, 2)
    // that have a name; false on every other system.
    bool ClassicPlatform = false;
};

enum class TVfxLockKey { NumLock, CapsLock, ScrollLock };

// Where the answers come from. Every query degrades to an empty text or 0
// rather than failing. The Linux provider answers what the system tells; the
// widget layer derives from it to add what needs a display (colour depth),
// and tests use fakes.
class TVfxSystemInfoProvider {
public:
    virtual ~TVfxSystemInfoProvider() = default;

    // The logged-on user's name; empty when unknown.
    virtual QString UserName() = 0;
    virtual QString WindowsDirectory() = 0;
    virtual QString CurrentDirectory() = 0;
    virtual QString SystemDirectory() = 0;
    // Space on the disk of the current directory; zeros when unknown.
    virtual TVfxDiskSpace CurrentDisk() = 0;
    virtual QString RegisteredOwner() = 0;
    virtual QString RegisteredCompany() = 0;
    virtual TVfxOSVersion OSVersion() = 0;
    // Bits per pixel of the display; 0 without one.
    virtual uint32_t ColorDepth() = 0;
    virtual uint32_t ScreenSaverDelaySeconds() = 0;
    virtual TVfxMemoryStatus MemoryStatus() = 0;
    // Free system, GDI and USER resources in percent: 0 where none exist.
    virtual uint32_t FreeResources(int kind) = 0;
    virtual QString ComputerName() = 0;
    virtual uint32_t ProcessorCount() = 0;
    // The classic processor type number (386, 486, 586, 2000, ...); 0 unknown.
    virtual uint32_t ProcessorType() = 0;
    // Ends with a separator.
    virtual QString TempPath() = 0;
    virtual bool LockKeyOn(TVfxLockKey key) = 0;
    virtual QDateTime CurrentDateTime() = 0;
    // A text of the program's version record ("CompanyName", "ProductName",
    // ...); empty when the record has none.
    virtual QString ProgramVersionString(QStringView name) = 0;
    virtual double CPUSpeedMHz() = 0;
};

// The provider VfxGetInfo asks by default: the Linux one unless another was
// installed. Installing null restores the Linux one; the caller keeps
// ownership and uninstalls before destroying it.
TVfxSystemInfoProvider& VfxSystemInfo();
void VfxSetSystemInfoProvider(TVfxSystemInfoProvider* provider);

// The value of one item as text. A divider of 0 counts as 1; numbers are
// divided as unsigned integers and written in decimal; the CPU speed is a
// floating-point number in its shortest form. dateTimeFormat formats
// itCurrentDateTime.
QString VfxGetInfo(TVfxInfoType info, uint32_t divider, QStringView dateTimeFormat,
                   TVfxSystemInfoProvider& provider);
QString VfxGetInfo(TVfxInfoType info, uint32_t divider, QStringView dateTimeFormat);

// The standard caption of an item ("Username", "Memory free", ...).
QString VfxGetInfoCaption(TVfxInfoType info);

// The name of a processor type: "Intel 386", "Intel 486", "Intel Pentium",
// "Mips R2000/3000/4000", "Alpha 21064", any other its number.
QString VfxProcessorName(uint32_t type);

// "Win32s", "Windows 95", "Windows NT" for the classic platform ids 0, 1, 2;
// otherwise "(Unknown)".
QString VfxPlatformName(uint32_t platformId);

// The processor's clock in MHz measured over about window (x86: its cycle
// counter against a monotonic clock, the full 64-bit difference divided by
// the time that really passed); elsewhere the frequency the system reports.
// 0 when nothing tells.
double VfxGetCPUSpeed(std::chrono::milliseconds window = std::chrono::milliseconds(500));

} // namespace fx
