#include "effects/core/VfxSysInfo.h"

#include "effects/core/VfxLinuxSysInfo.h"
#include "platform/core/FormatDateTime.h"

#include <array>
#include <optional>

namespace fx {

namespace {

TVfxSystemInfoProvider* installed = nullptr;

const std::array<const char*, kVfxInfoTypeCount> kCaptions = {
    "Username",
    "Windows directory",
    "Current directory",
    "Free space on current disk",
    "Disk size of current Disk",
    "System directory",
    "Registered owner",
    "Registered company",
    "Version",
    "Colordepth (in bits)",
    "Screensaver delay",
    "Memory size",
    "Free system resources",
    "Free GDI resources",
    "Free user resources",
    "Computername",
    "Major version",
    "Build",
    "Memory loaded",
    "Memory free",
    "Free memory pages",
    "Total memory pages",
    "Free virtual memory",
    "Total virtual memory",
    "Platform ID",
    "Platform",
    "Number of processors",
    "Processor",
    "Temp path",
    "DOS version",
    "NumLock",
    "CapsLock",
    "ScrollLock",
    "Date and time",
    "CompanyName",
    "ProductName",
    "ProductVersion",
    "LegalCopyright",
    "LegalTrademark",
    "FileDescription",
    "Comments",
    "CPU Speed",
};

// Names in the version record of the items itProgCompany .. itProgComments.
const std::array<const char16_t*, 7> kVersionNames = {
    u"CompanyName",    u"ProductName",     u"ProductVersion", u"LegalCopyright",
    u"LegalTrademark", u"FileDescription", u"Comments",
};

QString OnOff(bool on) {
    return on ? QStringLiteral("On") : QStringLiteral("Off");
}

} // namespace

TVfxLinuxSystemInfo& VfxHostSystemInfo() {
    static TVfxLinuxSystemInfo host;
    return host;
}

TVfxSystemInfoProvider& VfxSystemInfo() {
    return installed != nullptr ? *installed : VfxHostSystemInfo();
}

void VfxSetSystemInfoProvider(TVfxSystemInfoProvider* provider) {
    installed = provider;
}

QString VfxGetInfoCaption(TVfxInfoType info) {
    if (info < 0 || info >= kVfxInfoTypeCount) {
        return {};
    }
    return QString::fromLatin1(kCaptions[info]);
}

QString VfxProcessorName(uint32_t type) {
    switch (type) {
    case 386:
        return QStringLiteral("Intel 386");
    case 486:
        return QStringLiteral("Intel 486");
    case 586:
        return QStringLiteral("Intel Pentium");
    case 2000:
    case 3000:
    case 4000:
        return QStringLiteral("Mips R") + QString::number(type);
    case 21064:
        return QStringLiteral("Alpha 21064");
    default:
        return QString::number(type);
    }
}

QString VfxPlatformName(uint32_t platformId) {
    switch (platformId) {
    case 0:
        return QStringLiteral("Win32s");
    case 1:
        return QStringLiteral("Windows 95");
    case 2:
        return QStringLiteral("Windows NT");
    default:
        return QStringLiteral("(Unknown)");
    }
}

QString VfxGetInfo(TVfxInfoType info, uint32_t divider, QStringView dateTimeFormat) {
    return VfxGetInfo(info, divider, dateTimeFormat, VfxSystemInfo());
}

namespace {

// The items that are a count: what the provider answers, before the divider.
std::optional<uint64_t> InfoNumber(TVfxInfoType info, TVfxSystemInfoProvider& provider) {
    switch (info) {
    case itCurrentDiskFree32:
        return provider.CurrentDisk().Free;
    case itCurrentDiskSize32:
        return provider.CurrentDisk().Total;
    case itColorDepth:
        return provider.ColorDepth() & 0xFF;
    case itScreenSaverDelay:
        return provider.ScreenSaverDelaySeconds() / 60;
    case itMemSize:
        return provider.MemoryStatus().TotalPhys;
    case itFreeSysRes:
    case itFreeGDIRes:
    case itFreeUserRes:
        return provider.FreeResources(info - itFreeSysRes);
    case itMajorVerNr32:
        return provider.OSVersion().Major & 0xFFFF;
    case itBuildNr32:
        return provider.OSVersion().Build & 0xFFFF;
    case itMemLoaded32:
        return provider.MemoryStatus().MemoryLoad & 0xFF;
    case itMemFree32:
        return provider.MemoryStatus().AvailPhys;
    case itMemPageFree32:
        return provider.MemoryStatus().AvailPageFile;
    case itMemPageTotal32:
        return provider.MemoryStatus().TotalPageFile;
    case itMemVirtFree32:
        return provider.MemoryStatus().AvailVirtual;
    case itMemVirtTotal32:
        return provider.MemoryStatus().TotalVirtual;
    case itPlatformID32:
        return provider.OSVersion().PlatformId;
    case itProcessorCont32:
        return provider.ProcessorCount();
    default:
        return std::nullopt;
    }
}

// The items that are text as the provider answers them.
std::optional<QString> InfoText(TVfxInfoType info, TVfxSystemInfoProvider& provider) {
    switch (info) {
    case itWinDir:
        return provider.WindowsDirectory();
    case itCurrentDir32:
        return provider.CurrentDirectory();
    case itSystemDir:
        return provider.SystemDirectory();
    case itReg_Owner32:
        return provider.RegisteredOwner();
    case itReg_Company32:
        return provider.RegisteredCompany();
    case itComputerName32:
        return provider.ComputerName();
    case itTempPath32:
        return provider.TempPath();
    case itDOSVersion:
        return QStringLiteral("Win32");
    case itNumLock:
        return OnOff(provider.LockKeyOn(TVfxLockKey::NumLock));
    case itCapsLock:
        return OnOff(provider.LockKeyOn(TVfxLockKey::CapsLock));
    case itScroll:
        return OnOff(provider.LockKeyOn(TVfxLockKey::ScrollLock));
    case itProgCompany:
    case itProgName:
    case itProgVersion:
    case itProgCopyright:
    case itProgTrademark:
    case itProgDescription:
    case itProgComments:
        return provider.ProgramVersionString(kVersionNames[info - itProgCompany]);
    default:
        return std::nullopt;
    }
}

} // namespace

QString VfxGetInfo(TVfxInfoType info, uint32_t divider, QStringView dateTimeFormat,
                   TVfxSystemInfoProvider& provider) {
    const uint64_t d = divider == 0 ? 1 : divider;
    if (const std::optional<uint64_t> n = InfoNumber(info, provider)) {
        return QString::number(*n / d);
    }
    if (std::optional<QString> text = InfoText(info, provider)) {
        return *std::move(text);
    }
    switch (info) {
    case itUser: {
        const QString name = provider.UserName();
        return name.isEmpty() ? QStringLiteral("(Unknown)") : name;
    }
    case itVersion: {
        const TVfxOSVersion v = provider.OSVersion();
        return QStringLiteral("%1.%2").arg(v.Major).arg(v.Minor);
    }
    case itPlatform32: {
        const TVfxOSVersion v = provider.OSVersion();
        return v.ClassicPlatform ? VfxPlatformName(v.PlatformId) : QStringLiteral("(Unknown)");
    }
    case itProcessor32:
        return VfxProcessorName(provider.ProcessorType());
    case itCurrentDateTime:
        return plat::FormatDateTime(dateTimeFormat, provider.CurrentDateTime());
    case itCPUSpeed:
        return QString::number(provider.CPUSpeedMHz() / double(d), 'g', 15);
    default:
        return {};
    }
}

} // namespace fx
