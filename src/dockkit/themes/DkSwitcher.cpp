#include "dockkit/themes/DkSwitcher.h"

#include "dockkit/common/DkMessages.h"

#include "platform/core/Guarded.h"
#include "platform/gui/KitMessage.h"

namespace {

int& Live() {
    static int count = 0;
    return count;
}

} // namespace

TDkxSwitcher::TDkxSwitcher(QObject* owner) : QObject(owner) {
    dk::AddThemeListener(this);
    ++Live();
}

TDkxSwitcher::~TDkxSwitcher() {
    dk::RemoveThemeListener(this);
    --Live();
    if (designing_ && Live() == 0) {
        if (TDkxNexus* nexus = TDkxNexus::Instance()) {
            plat::Guarded([nexus] { nexus->SelectTheme(QStringLiteral("Default")); });
        }
    }
}

int TDkxSwitcher::LiveCount() {
    return Live();
}

QString TDkxSwitcher::Theme() const {
    return dk::GetCurrentThemeName();
}

void TDkxSwitcher::SetTheme(const QString& name) {
    dk::SelectTheme(name);
}

bool TDkxSwitcher::EnableXPStyles() const {
    return dk::Nexus().EnableXPStyles();
}

void TDkxSwitcher::SetEnableXPStyles(bool value) {
    TDkxNexus& nexus = dk::Nexus();
    if (nexus.EnableXPStyles() != value) {
        nexus.SetEnableXPStyles(value);
    }
}

TFlatMenuStyle TDkxSwitcher::FlatMenuStyle() const {
    return dk::Nexus().FlatMenuStyle();
}

void TDkxSwitcher::SetFlatMenuStyle(TFlatMenuStyle value) {
    dk::Nexus().SetFlatMenuStyle(value);
}

bool TDkxSwitcher::event(QEvent* event) {
    if (auto* message = plat::KitMessageEvent::From(event)) {
        if (message->Msg() == dk::kListenerThemeMessage) {
            plat::Guarded([this] { OnThemeChange(this); });
            return true;
        }
        if (message->Msg() == dk::kListenerColorsMessage) {
            plat::Guarded([this] { OnSysColorChange(this); });
            return true;
        }
    }
    return QObject::event(event);
}
