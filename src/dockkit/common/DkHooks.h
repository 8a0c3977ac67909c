#pragma once
// The kit's thread hooks: procedures that want to see, for the windows of the
// calling thread, application activation, windows shown, hidden, moved or
// resized, windows destroyed, and events taken from the queue. Any number of
// kit procedures share one set of hooks per thread; each hook is installed
// while at least one registration needs it.
//
// Every registration of a procedure records which hooks it raised, and
// unregistering lowers exactly those (the most recent registration first),
// so a registration that only counted never removes a hook another one needs.

#include "platform/core/ScopedOverride.h"

#include <QtGlobal>

class QEvent;
class QObject;

namespace dk {

enum class KitHookCode { hcActivateApp, hcWindowPosChanged, hcDestroyWindow, hcGetMessage };

// A set of hook codes.
using KitHookCodes = unsigned;
constexpr KitHookCodes HookCodeBit(KitHookCode code) {
    return 1u << static_cast<unsigned>(code);
}

// What a hook procedure is told. Window is the window concerned (the receiver
// for hcGetMessage; for hcDestroyWindow an object being destroyed, not to be
// used as a widget any more). Event is the event taken from the queue
// (hcGetMessage) or the one that moved the window (hcWindowPosChanged), null
// otherwise. Active is the new state for hcActivateApp. A procedure sets
// Handled for an hcGetMessage event that must go no further.
struct KitHookMessage {
    KitHookCode Code = KitHookCode::hcActivateApp;
    QObject* Window = nullptr;
    QEvent* Event = nullptr;
    bool Active = false;
    bool Handled = false;
};

using KitHookProc = void (*)(KitHookMessage& message);

// The three hooks: 0 serves hcActivateApp and hcWindowPosChanged, 1
// hcDestroyWindow, 2 hcGetMessage.
constexpr int kHookSlotCount = 3;
constexpr int HookSlotOf(KitHookCode code) {
    constexpr int map[] = {0, 0, 1, 2};
    return map[static_cast<int>(code)];
}

// Registers the procedure (a second registration raises its count). Unless
// onlyIncrementCount, every hook serving one of the codes is installed or
// its install count raised.
void RegisterThreadHookProc(KitHookProc proc, KitHookCodes codes, bool onlyIncrementCount = false);
// Undoes the procedure's most recent registration; nothing for a procedure
// that is not registered.
void UnregisterThreadHookProc(KitHookProc proc);

// State of the calling thread's hooks.
int ThreadHookInstallCount(int slot);
bool ThreadHookInstalled(int slot);
// The registration count of the procedure (0 when it is not registered).
int ThreadHookRegistrationCount(KitHookProc proc);
int ThreadHookProcCount();

// Hands the message to every registered procedure whose codes hold its code,
// in registration order. A procedure may register or unregister procedures
// (itself included) while it runs; an exception it raises is dropped and the
// others still run. Returns whether one of them set Handled.
bool DispatchThreadHook(KitHookMessage& message);

// What installs and removes the hooks; the program uses Qt's application-wide
// events, tests a recording fake.
class ThreadHookBackend {
public:
    virtual ~ThreadHookBackend() = default;
    virtual void Install(int slot) = 0;
    virtual void Remove(int slot) = 0;
};
struct ThreadHookBackendTag;
using ScopedThreadHookBackend = plat::ScopedOverride<ThreadHookBackend*, ThreadHookBackendTag>;

} // namespace dk
