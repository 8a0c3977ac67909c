#pragma once
// What the effects kit's widget tests share: an application object of their
// own (ticks given by hand) and system information they decide.

#include "effects/core/VfxLinuxSysInfo.h"
#include "effects/core/VfxSysInfo.h"
#include "effects/gui/VfxApplication.h"

#include <deque>
#include <map>

// Memory figures and lock-key states set by the test. Each lock-key query
// takes the next state of its queue (the last one stays).
class FakeDisplayInfo : public fx::TVfxLinuxSystemInfo {
public:
    fx::TVfxMemoryStatus memory{17, 25274781696ull, 5368709120ull, 0, 0, 0, 0};
    std::map<fx::TVfxLockKey, std::deque<bool>> locks;
    int lockQueries = 0;

    fx::TVfxMemoryStatus MemoryStatus() override { return memory; }
    bool LockKeyOn(fx::TVfxLockKey key) override {
        ++lockQueries;
        std::deque<bool>& states = locks[key];
        if (states.empty()) {
            return false;
        }
        const bool on = states.front();
        if (states.size() > 1) {
            states.pop_front();
        }
        return on;
    }
    uint32_t ColorDepth() override { return 24; }
};

// Puts a fresh application object and the fake system information in place
// for a test's lifetime.
class KitFixture {
public:
    KitFixture() : scope_(&app) { fx::VfxSetSystemInfoProvider(&info); }
    ~KitFixture() { fx::VfxSetSystemInfoProvider(nullptr); }
    KitFixture(const KitFixture&) = delete;
    KitFixture& operator=(const KitFixture&) = delete;

    // Advances the application's timer pool by n ticks of 50 ms.
    void Ticks(int n) {
        for (int i = 0; i < n; ++i) {
            app.TimerPool().Tick();
        }
    }

    fx::TVfxApplication app;
    FakeDisplayInfo info;

private:
    fx::ScopedVfxApplication scope_;
};
