#pragma once
// The desktop's own settings that the kits read (the menu show delay under
// "Control Panel\Desktop", the sound scheme under "AppEvents\Schemes"). They
// live in the user's registry store beside the program's keys and are only
// read. The program puts its store in force at start; without one every
// setting takes the fallback its reader gives for a missing key.

#include "platform/core/Registry.h"
#include "platform/core/ScopedOverride.h"

#include <QStringView>

#include <cstdint>
#include <optional>

namespace plat {

// Puts a store in force for its lifetime (they nest; the innermost wins).
class ScopedDesktopStore {
public:
    explicit ScopedDesktopStore(Registry* store);
    ~ScopedDesktopStore();
    ScopedDesktopStore(const ScopedDesktopStore&) = delete;
    ScopedDesktopStore& operator=(const ScopedDesktopStore&) = delete;

private:
    struct Tag;
    ScopedOverride<Registry*, Tag> scope_;
    friend Registry* DesktopStore();
};

// The store in force, or null.
Registry* DesktopStore();
// Grows whenever a store comes into force or leaves it, so that a reader
// that keeps what it read can tell when to read again.
uint64_t DesktopStoreGeneration();

// Opens a key of the store in force by its path written with "\" (a leading
// "Software\ZELVO" is not part of it); nothing without a store or a key.
std::optional<Registry::Key> OpenDesktopKey(QStringView path);

} // namespace plat
