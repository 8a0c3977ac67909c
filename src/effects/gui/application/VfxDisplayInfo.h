#pragma once

#include "effects/core/VfxLinuxSysInfo.h"

namespace fx {

// The system information of the Linux provider plus what needs a display:
// the colour depth is the primary screen's (0 without a screen). The
// program's version strings come from the kit's built-in provider, so the
// lookup the program gives VfxHostSystemInfo() serves both.
class TVfxDisplaySystemInfo : public TVfxLinuxSystemInfo {
public:
    using TVfxLinuxSystemInfo::TVfxLinuxSystemInfo;

    uint32_t ColorDepth() override;
    QString ProgramVersionString(QStringView name) override;
};

// The process's display provider; VfxInitialize installs it unless another
// provider is installed already.
TVfxDisplaySystemInfo& VfxDisplaySystemInfo();

} // namespace fx
