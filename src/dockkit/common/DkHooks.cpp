#include "dockkit/common/DkHooks.h"

#include "platform/gui/KitMessage.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QSet>
#include <QWidget>

#include <array>
#include <memory>
#include <vector>

namespace dk {

namespace {

// Qt's stand-in for the hooks: one application event filter while any hook
// is installed, plus the application's state signal for activation.
class QtHookBackend final : public QObject, public ThreadHookBackend {
public:
    void Install(int slot) override {
        installed_[static_cast<size_t>(slot)] = true;
        Update();
    }
    void Remove(int slot) override {
        installed_[static_cast<size_t>(slot)] = false;
        Update();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if ((installed_[0] || installed_[1]) && watched->isWidgetType()) {
            auto* widget = static_cast<QWidget*>(watched);
            const bool moved = type == QEvent::Show || type == QEvent::Hide ||
                               type == QEvent::Move || type == QEvent::Resize ||
                               type == QEvent::WindowStateChange;
            if (moved && widget->isWindow()) {
                if (type == QEvent::Show && installed_[1]) {
                    Watch(widget);
                }
                if (installed_[0]) {
                    KitHookMessage message{KitHookCode::hcWindowPosChanged, widget, event};
                    DispatchThreadHook(message);
                }
            }
        }
        if (installed_[2] && (event->spontaneous() || plat::KitMessageEvent::InBand(type))) {
            KitHookMessage message{KitHookCode::hcGetMessage, watched, event};
            return DispatchThreadHook(message);
        }
        return false;
    }

private:
    void Watch(QWidget* widget) {
        if (watched_.contains(widget)) {
            return;
        }
        watched_.insert(widget);
        connect(widget, &QObject::destroyed, this, [this](QObject* object) {
            watched_.remove(object);
            if (installed_[1]) {
                KitHookMessage message{KitHookCode::hcDestroyWindow, object};
                DispatchThreadHook(message);
            }
        });
    }

    void Update() {
        QCoreApplication* app = QCoreApplication::instance();
        const bool any = installed_[0] || installed_[1] || installed_[2];
        if (app == nullptr || any == filtering_) {
            return;
        }
        filtering_ = any;
        if (any) {
            app->installEventFilter(this);
            if (auto* gui = qobject_cast<QGuiApplication*>(app)) {
                stateConnection_ = connect(gui, &QGuiApplication::applicationStateChanged, this,
                                           [this](Qt::ApplicationState state) {
                                               if (!installed_[0]) {
                                                   return;
                                               }
                                               KitHookMessage message{KitHookCode::hcActivateApp};
                                               message.Active = state == Qt::ApplicationActive;
                                               DispatchThreadHook(message);
                                           });
            }
        } else {
            app->removeEventFilter(this);
            disconnect(stateConnection_);
        }
    }

    std::array<bool, kHookSlotCount> installed_{};
    bool filtering_ = false;
    QMetaObject::Connection stateConnection_;
    QSet<QObject*> watched_;
};

struct Registration {
    KitHookProc Proc;
    quint64 Serial;
    // The slots each registration raised, the most recent last; an entry
    // of a count-only registration raised none.
    std::vector<std::array<bool, kHookSlotCount>> Raised;
    std::vector<KitHookCodes> Codes;

    KitHookCodes AllCodes() const {
        KitHookCodes all = 0;
        for (KitHookCodes c : Codes) {
            all |= c;
        }
        return all;
    }
};

struct Slot {
    int Count = 0;
    bool Installed = false;
    ThreadHookBackend* Backend = nullptr; // who installed it
};

struct ThreadHooks {
    std::vector<Registration> Registrations;
    std::array<Slot, kHookSlotCount> Slots;
    quint64 NextSerial = 1;
    std::unique_ptr<QtHookBackend> QtBackend;

    ~ThreadHooks() {
        // The thread ends: every hook goes, whatever its count.
        for (Slot& slot : Slots) {
            if (slot.Installed && slot.Backend != nullptr &&
                (slot.Backend != QtBackend.get() || QCoreApplication::instance() != nullptr)) {
                slot.Backend->Remove(static_cast<int>(&slot - Slots.data()));
            }
        }
    }

    ThreadHookBackend* Backend() {
        if (ThreadHookBackend* installed = ScopedThreadHookBackend::Current()) {
            return installed;
        }
        if (!QtBackend) {
            QtBackend = std::make_unique<QtHookBackend>();
        }
        return QtBackend.get();
    }

    Registration* Find(KitHookProc proc) {
        for (Registration& r : Registrations) {
            if (r.Proc == proc) {
                return &r;
            }
        }
        return nullptr;
    }
};

ThreadHooks& Hooks() {
    thread_local ThreadHooks hooks;
    return hooks;
}

} // namespace

void RegisterThreadHookProc(KitHookProc proc, KitHookCodes codes, bool onlyIncrementCount) {
    ThreadHooks& hooks = Hooks();
    Registration* registration = hooks.Find(proc);
    if (registration == nullptr) {
        hooks.Registrations.push_back(Registration{proc, hooks.NextSerial++, {}, {}});
        registration = &hooks.Registrations.back();
    }
    std::array<bool, kHookSlotCount> raised{};
    if (!onlyIncrementCount) {
        for (int code = 0; code <= static_cast<int>(KitHookCode::hcGetMessage); ++code) {
            if ((codes & HookCodeBit(static_cast<KitHookCode>(code))) != 0) {
                raised[static_cast<size_t>(HookSlotOf(static_cast<KitHookCode>(code)))] = true;
            }
        }
    }
    registration->Raised.push_back(raised);
    registration->Codes.push_back(codes);
    for (int slot = 0; slot < kHookSlotCount; ++slot) {
        if (!raised[static_cast<size_t>(slot)]) {
            continue;
        }
        Slot& s = hooks.Slots[static_cast<size_t>(slot)];
        ++s.Count;
        if (!s.Installed) {
            s.Backend = hooks.Backend();
            s.Backend->Install(slot);
            s.Installed = true;
        }
    }
}

void UnregisterThreadHookProc(KitHookProc proc) {
    ThreadHooks& hooks = Hooks();
    Registration* registration = hooks.Find(proc);
    if (registration == nullptr) {
        return;
    }
    const std::array<bool, kHookSlotCount> raised = registration->Raised.back();
    registration->Raised.pop_back();
    registration->Codes.pop_back();
    if (registration->Raised.empty()) {
        hooks.Registrations.erase(hooks.Registrations.begin() +
                                  (registration - hooks.Registrations.data()));
    }
    for (int slot = 0; slot < kHookSlotCount; ++slot) {
        if (!raised[static_cast<size_t>(slot)]) {
            continue;
        }
        Slot& s = hooks.Slots[static_cast<size_t>(slot)];
        s.Count = std::max(0, s.Count - 1);
        if (s.Count == 0 && s.Installed) {
            s.Installed = false;
            s.Backend->Remove(slot);
            s.Backend = nullptr;
        }
    }
}

int ThreadHookInstallCount(int slot) {
    return Hooks().Slots.at(static_cast<size_t>(slot)).Count;
}

bool ThreadHookInstalled(int slot) {
    return Hooks().Slots.at(static_cast<size_t>(slot)).Installed;
}

int ThreadHookRegistrationCount(KitHookProc proc) {
    const Registration* registration = Hooks().Find(proc);
    return registration != nullptr ? static_cast<int>(registration->Raised.size()) : 0;
}

int ThreadHookProcCount() {
    return static_cast<int>(Hooks().Registrations.size());
}

bool DispatchThreadHook(KitHookMessage& message) {
    ThreadHooks& hooks = Hooks();
    const KitHookCodes bit = HookCodeBit(message.Code);
    bool handled = false;
    // Re-read the list after every call: a procedure may have changed it.
    size_t i = 0;
    while (i < hooks.Registrations.size()) {
        const Registration& current = hooks.Registrations[i];
        const quint64 serial = current.Serial;
        if ((current.AllCodes() & bit) != 0) {
            const KitHookProc proc = current.Proc;
            message.Handled = false;
            try {
                proc(message);
            } catch (...) { // NOLINT(bugprone-empty-catch): a failing hook must not stop the rest
            }
            handled = handled || message.Handled;
        }
        if (i < hooks.Registrations.size() && hooks.Registrations[i].Serial == serial) {
            ++i;
        }
    }
    message.Handled = handled;
    return handled;
}

} // namespace dk
