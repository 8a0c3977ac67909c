#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <utility>

class QEvent;

namespace fx {

// Change notification shared by every settings object and component of the
// effects kit. Setters store a different value and call Change; Change fires
// OnChange unless an update is in progress. The update state is a flag, not a
// counter: EndUpdate ends it whatever number of BeginUpdate calls came before.
template <typename Sender>
class TVfxChangeNotifier {
public:
    virtual ~TVfxChangeNotifier() = default;

    // Fired with the object as sender.
    std::function<void(Sender*)> OnChange;

    void BeginUpdate() { updating_ = true; }
    void EndUpdate(bool notify) {
        updating_ = false;
        if (notify) {
            Change();
        }
    }
    bool Updating() const { return updating_; }

    virtual void Change() {
        if (!updating_ && OnChange) {
            OnChange(static_cast<Sender*>(this));
        }
    }

protected:
    // Stores value in field and notifies when it differs; true when it did.
    template <typename T, typename U>
    bool SetValue(T& field, U&& value) {
        if (field == value) {
            return false;
        }
        field = std::forward<U>(value);
        Change();
        return true;
    }

private:
    bool updating_ = false;
};

// A persistent settings object, owned by a control or component. Descendants
// hold properties with defaults; their owner routes the change notices into
// its own change handling.
class TVfxObject : public TVfxChangeNotifier<TVfxObject> {
public:
    explicit TVfxObject(QObject* owner = nullptr) : owner_(owner) {}
    TVfxObject(const TVfxObject&) = delete;
    TVfxObject& operator=(const TVfxObject&) = delete;

    QObject* Owner() const { return owner_; }
    // A short text for the designer; each descendant defines its own.
    virtual QString Description() const { return {}; }

private:
    QPointer<QObject> owner_;
};

// A non-visual component of the kit; the owner is the QObject parent.
class TVfxCustomComponent : public QObject, public TVfxChangeNotifier<TVfxCustomComponent> {
    Q_OBJECT
public:
    explicit TVfxCustomComponent(QObject* owner = nullptr) : QObject(owner) {}
};

// A component that sees its owner's events before the owner does (the
// owner's event filter). Enabled by default; hooks when Loaded is called,
// unhooks when disabled, when the owner is destroyed and in its destructor.
//
// The form mode tells what kind of form the owner is: 0 an ordinary one,
// 1 a child inside a multiple-document frame, 2 such a frame. The widget
// layer knows the kinds and passes the mode at construction.
class TVfxWndProcComponent : public TVfxCustomComponent {
    Q_OBJECT
public:
    enum TFormMode { fmNormal = 0, fmMDIChild = 1, fmMDIForm = 2 };

    explicit TVfxWndProcComponent(QObject* owner = nullptr, int formMode = fmNormal);
    ~TVfxWndProcComponent() override;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    // Design-time editing does not exist here: kept as a plain property.
    bool EnabledAtDesignTime() const { return enabledAtDesignTime_; }
    void SetEnabledAtDesignTime(bool value) { enabledAtDesignTime_ = value; }

    int FormMode() const { return formMode_; }
    bool Hooked() const { return hooked_; }
    // The object whose events are seen: the owner, or the one Loaded was given.
    QObject* Target() const { return target_; }

    // Called once the component and its owner are set up: hooks the owner's
    // events (or those of target when given) when enabled. Hooking the
    // application object sees the events of every object of its thread.
    virtual void Loaded(QObject* target = nullptr);
    void Unhook();

protected:
    // Sees every event of the target first; true consumes it (the target
    // never sees it). The base passes everything on.
    virtual bool WndProc(QObject* target, QEvent* event);
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Hook();

    bool enabled_ = true;
    bool enabledAtDesignTime_ = false;
    bool hooked_ = false;
    int formMode_;
    QPointer<QObject> target_;
    QMetaObject::Connection targetDestroyed_;
};

} // namespace fx
