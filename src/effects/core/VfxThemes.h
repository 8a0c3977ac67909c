#pragma once

#include "effects/core/VfxObject.h"

#include <array>
#include <functional>

namespace fx {

// Operating-system flags the kit's drawing consults. Computed once; this
// platform counts as the NT family without the major-version-5 flags, so the
// branches written for the old consumer family never run.
struct TVfxOSFlags {
    bool Win9x = false;
    bool Win98OrLater = false; // within the 9x family: minor version >= 10
    bool WinME = false;        // within the 9x family: major >= 4 and minor >= 90
    bool SpiFlag92 = false;    // the 9x-only system parameter 92
    bool WinNT = true;
    bool WinNT5 = false; // NT family, major version 5
};

const TVfxOSFlags& VfxOSFlags();

// The visual-style library, bound at run time by entry-point name. Every entry
// point is optional: whatever the lookup does not find stays empty, and the
// kit then draws the classic way. No such library exists on this platform, so
// the default binding finds nothing; a platform that has one passes a lookup.
class TVfxThemeLibrary {
public:
    // The names bound, in binding order.
    static const std::array<const char*, 31> kEntryPoints;

    // Gives the address of an entry point, or null when the library lacks it.
    using Lookup = std::function<void*(const char* name)>;

    // Without a lookup the library counts as absent.
    explicit TVfxThemeLibrary(const Lookup& lookup = {});

    bool Loaded() const { return loaded_; }
    // The bound address of a name of kEntryPoints, or null.
    void* EntryPoint(const char* name) const;
    // Themes are active when the library is loaded and its "IsThemeActive"
    // says so.
    bool IsThemeActive() const;

private:
    bool loaded_ = false;
    std::array<void*, 31> entries_{};
};

// The process's theme library binding (absent here).
const TVfxThemeLibrary& VfxThemeLibrary();

// Keeps the themes-active flag current. Hook it on the application (or a
// window): Loaded reads the state, and a theme change while themes are active
// switches the flag off and reads it again.
class TVfxXPThemeManager : public TVfxWndProcComponent {
    Q_OBJECT
public:
    explicit TVfxXPThemeManager(const TVfxThemeLibrary& library = VfxThemeLibrary(),
                                QObject* owner = nullptr);

    bool ThemesActive() const { return themesActive_; }
    // Hooks and reads the state.
    void Loaded(QObject* target = nullptr) override;

protected:
    bool WndProc(QObject* target, QEvent* event) override;

private:
    void Refresh();

    const TVfxThemeLibrary& library_;
    bool themesActive_ = false;
};

} // namespace fx
