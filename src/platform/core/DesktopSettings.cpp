#include "platform/core/DesktopSettings.h"

namespace plat {

namespace {

uint64_t& Generation() {
    static uint64_t generation = 0;
    return generation;
}

} // namespace

ScopedDesktopStore::ScopedDesktopStore(Registry* store) : scope_(store) {
    ++Generation();
}

ScopedDesktopStore::~ScopedDesktopStore() {
    ++Generation();
}

Registry* DesktopStore() {
    return ScopedOverride<Registry*, ScopedDesktopStore::Tag>::Current();
}

uint64_t DesktopStoreGeneration() {
    return Generation();
}

std::optional<Registry::Key> OpenDesktopKey(QStringView path) {
    Registry* store = DesktopStore();
    if (store == nullptr) {
        return std::nullopt;
    }
    const QStringList segments = Registry::KeyPath(path);
    if (segments.isEmpty()) {
        return std::nullopt;
    }
    return store->OpenKey(segments, false);
}

} // namespace plat
