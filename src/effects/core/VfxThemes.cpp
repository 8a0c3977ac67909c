#include "effects/core/VfxThemes.h"

#include <QEvent>

#include <cstring>

namespace fx {

const TVfxOSFlags& VfxOSFlags() {
    static const TVfxOSFlags flags;
    return flags;
}

const std::array<const char*, 31> TVfxThemeLibrary::kEntryPoints = {
    "DrawThemeEdge",
    "DrawThemeBackground",
    "DrawThemeParentBackground",
    "DrawThemeText",
    "DrawThemeIcon",
    "OpenThemeData",
    "CloseThemeData",
    "IsThemeBackgroundPartiallyTransparent",
    "GetThemeBackgroundContentRect",
    "SetWindowTheme",
    "SetThemeAppProperties",
    "IsThemePartDefined",
    "GetThemeColor",
    "GetThemeMetric",
    "GetThemeString",
    "GetThemeBool",
    "GetThemeInt",
    "GetThemeEnumValue",
    "GetThemePosition",
    "GetThemeFont",
    "GetThemeRect",
    "GetThemeFilename",
    "GetThemeSysColor",
    "GetThemeSysColorBrush",
    "GetThemeSysBool",
    "IsThemeActive",
    "IsAppThemed",
    "GetWindowTheme",
    "EnableThemeDialogTexture",
    "IsThemeDialogTextureEnabled",
    "EnableTheming",
};

TVfxThemeLibrary::TVfxThemeLibrary(const Lookup& lookup) {
    if (!lookup) {
        return;
    }
    loaded_ = true;
    for (size_t i = 0; i < kEntryPoints.size(); ++i) {
        entries_[i] = lookup(kEntryPoints[i]);
    }
}

void* TVfxThemeLibrary::EntryPoint(const char* name) const {
    for (size_t i = 0; i < kEntryPoints.size(); ++i) {
        if (std::strcmp(kEntryPoints[i], name) == 0) {
            return entries_[i];
        }
    }
    return nullptr;
}

bool TVfxThemeLibrary::IsThemeActive() const {
    using IsThemeActiveFn = int (*)();
    auto* fn = reinterpret_cast<IsThemeActiveFn>(EntryPoint("IsThemeActive"));
    return loaded_ && fn != nullptr && fn() != 0;
}

const TVfxThemeLibrary& VfxThemeLibrary() {
    static const TVfxThemeLibrary library;
    return library;
}

TVfxXPThemeManager::TVfxXPThemeManager(const TVfxThemeLibrary& library, QObject* owner)
    : TVfxWndProcComponent(owner), library_(library) {}

void TVfxXPThemeManager::Loaded(QObject* target) {
    TVfxWndProcComponent::Loaded(target);
    Refresh();
}

void TVfxXPThemeManager::Refresh() {
    SetValue(themesActive_, library_.IsThemeActive());
}

bool TVfxXPThemeManager::WndProc(QObject* target, QEvent* event) {
    if (event->type() == QEvent::ThemeChange && themesActive_) {
        SetValue(themesActive_, false);
        Refresh();
    }
    return TVfxWndProcComponent::WndProc(target, event);
}

} // namespace fx
