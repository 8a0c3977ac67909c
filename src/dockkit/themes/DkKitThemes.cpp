#include "dockkit/themes/DkKitThemes.h"

#include "dockkit/themes/DkDefaultTheme/DkDefaultTheme.h"
#include "dockkit/themes/DkFlatTheme/DkFlatTheme.h"

namespace dk {

std::unique_ptr<TDkxNexus> CreateKitThemeNexus(QObject* parent) {
    auto nexus = std::make_unique<TDkxNexus>(ThemeClassOf<TDkxDefaultTheme>(), parent);
    nexus->RegisterTheme(QStringLiteral("Flat"), ThemeClassOf<TDkxFlatTheme>());
    return nexus;
}

} // namespace dk
