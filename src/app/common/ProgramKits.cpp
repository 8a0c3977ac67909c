#include "app/common/ProgramKits.h"

#include "controls/QvFileVersion.h"
#include "dockkit/themes/DkKitThemes.h"
#include "effects/core/VfxLinuxSysInfo.h"
#include "effects/core/VfxWave.h"
#include "effects/gui/application/VfxApplication.h"
#include "platform/core/DesktopSettings.h"
#include "platform/core/Registry.h"
#include "platform/gui/Sound.h"

#include <QCoreApplication>

std::function<QString(QStringView name)> ProgramVersionLookup(const QString& programFile) {
    TQvFileVersion reader;
    const QString version = reader.GetFileVersion(programFile) ? QStringLiteral("%1.%2.%3.%4")
                                                                     .arg(reader.Major())
                                                                     .arg(reader.Minor())
                                                                     .arg(reader.Release())
                                                                     .arg(reader.Build())
                                                               : QString();
    return [version](QStringView name) -> QString {
        if (name == u"ProductVersion") {
            return QString(version); // a copy: the lookup answers again
        }
        if (name == u"ProductName") {
            return QCoreApplication::applicationName();
        }
        if (name == u"CompanyName") {
            return QStringLiteral("ZELVO");
        }
        return {};
    };
}

TProgramKits::TProgramKits(const QString& desktopStore)
    : themes_(dk::CreateKitThemeNexus()),
      desktop_(std::make_unique<plat::Registry>(
          desktopStore.isEmpty() ? plat::Registry::DefaultFilePath() : desktopStore)),
      desktopInForce_(std::make_unique<plat::ScopedDesktopStore>(desktop_.get())) {
    fx::VfxHostSystemInfo().SetVersionLookup(
        ProgramVersionLookup(QCoreApplication::applicationFilePath()));
    fx::VfxSetSoundStopHook([] { plat::StopSound(); });
    fx::VfxInitialize();
}

TProgramKits::~TProgramKits() {
    fx::VfxFinalize();
    fx::VfxSetSoundStopHook({});
    fx::VfxHostSystemInfo().SetVersionLookup({});
}
