#pragma once

#include "effects/core/VfxObject.h"
#include "platform/core/Exception.h"
#include "platform/core/ScopedOverride.h"
#include "platform/gui/Colors.h"

#include <QCursor>
#include <QImage>
#include <QString>
#include <QTimer>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QLockFile;

namespace fx {

class TVfxIniCtrl;
class TVfxTimerPool;
class TVfxXPThemeManager;

using plat::Exception;

// No timer could be had: "Not enough timers available".
PLAT_DECLARE_EXCEPTION(EOutOfResources, Exception);
// A component of which a form may hold one holds a second one.
PLAT_DECLARE_EXCEPTION(VfxEOneInstError, Exception);

// One timer of a pool. It fires every Interval milliseconds, counted in the
// pool's ticks (Interval / MinInterval ticks per firing).
class TVfxTimerItem {
public:
    // Called when the item fires, with the data given at registration.
    using Handler = std::function<void(void* data)>;

    TVfxTimerPool* Owner() const { return owner_; }
    uint16_t Id() const { return id_; }
    uint16_t Interval() const { return interval_; }
    uint32_t TicksPerFiring() const { return ticksPerFiring_; }
    // How often the item fires before it disables itself; -1 for ever.
    int32_t RepeatLimit() const { return repeatLimit_; }
    void SetRepeatLimit(int32_t value) { repeatLimit_ = value; }
    // Firings since it was last enabled, disabled or given an interval.
    uint32_t Counter() const { return counter_; }
    bool Enabled() const { return enabled_; }

private:
    friend class TVfxTimerPool;
    TVfxTimerPool* owner_ = nullptr;
    uint16_t id_ = 0;
    uint16_t interval_ = 1000;
    uint32_t ticksPerFiring_ = 1;
    int32_t repeatLimit_ = -1;
    uint32_t counter_ = 0;
    bool enabled_ = true;
    Handler handler_;
    void* data_ = nullptr;
};

// Any number of timers driven by one Qt timer ticking every MinInterval
// milliseconds; each item fires on the ticks its interval is a multiple of.
// The Qt timer runs only while some item is enabled.
class TVfxTimerPool : public TVfxCustomComponent {
    Q_OBJECT
public:
    explicit TVfxTimerPool(QObject* owner = nullptr, uint16_t minInterval = 1000);
    ~TVfxTimerPool() override;

    uint16_t MinInterval() const { return minInterval_; }

    // Fired for an item without a handler of its own: its id and counter.
    std::function<void(TVfxTimerPool*, uint16_t id, uint32_t counter)> OnTimer;

    // Registers an item (enabled). Raises EListError "List index out of
    // bounds (%d)" (the text as it stands) for an id already registered and
    // Exception "Interval not compatible with MinInterval property!" for an
    // interval below MinInterval or not a multiple of it.
    TVfxTimerItem& Register(uint16_t id, uint16_t interval, TVfxTimerItem::Handler handler = {},
                            void* data = nullptr);
    // Disables the item, drops its handler and frees it. Unknown ids are ignored.
    void Remove(uint16_t id);
    TVfxTimerItem* Find(uint16_t id);
    int Count() const { return static_cast<int>(items_.size()); }

    // Any change resets the firing counter.
    void SetEnabled(TVfxTimerItem& item, bool enabled);
    // Ignored when unchanged or not a multiple of MinInterval; 0 stands for
    // MinInterval. Resets the firing counter.
    void SetInterval(TVfxTimerItem& item, uint16_t interval);

    // One tick: fires every enabled item whose ticks per firing divide the
    // tick counter, then counts the tick. Ticks arriving while a handler runs
    // are dropped. The Qt timer calls it; tests call it by hand.
    void Tick();
    uint32_t TickCounter() const { return tickCounter_; }
    // True while the Qt timer is running.
    bool Running() const { return timer_.isActive(); }

private:
    void Restart();
    void Fire(TVfxTimerItem& item);

    uint16_t minInterval_;
    std::vector<std::unique_ptr<TVfxTimerItem>> items_;
    QTimer timer_;
    uint32_t tickCounter_ = 0;
    bool inTick_ = false;
};

// The kit's process-wide object: the shared timer pool with its 250
// application timers, the settings store, whether another instance of the
// program runs, the themes-active flag and a few cached drawing resources.
class TVfxApplication : public TVfxCustomComponent {
    Q_OBJECT
public:
    static constexpr int kTimerSlots = 250;
    static constexpr uint16_t kTimerIdBase = 0xFD00;
    static constexpr uint16_t kMinInterval = 50;

    // instanceName names the lock telling whether another instance runs
    // (the program file's name by default); an empty name checks nothing.
    explicit TVfxApplication(QObject* owner = nullptr, const QString& instanceName = QString());
    ~TVfxApplication() override;

    TVfxIniCtrl& IniCtrl() const { return *iniCtrl_; }
    TVfxTimerPool& TimerPool() { return *timerPool_; }
    const QString& Prefix() const { return prefix_; }
    bool PrevInstance() const { return prevInstance_; }
    // The program's path with the extension ".LOG".
    const QString& LogFileName() const { return logFileName_; }
    // Counts per second of the high-resolution counter (nanoseconds here).
    int64_t PerformanceFrequency() const { return 1'000'000'000; }
    // The size of one check-box glyph of the style.
    int CheckWidth() const { return checkWidth_; }
    int CheckHeight() const { return checkHeight_; }
    // Bit 0: do not select bitmap palettes on displays of 8 bits or less.
    uint32_t Options() const { return options_; }
    void SetOptions(uint32_t value) { options_ = value; }

    // Themes count as active when the theme library says so (never here).
    bool ThemesActive() const { return themesActive_; }
    void SetThemesActive(bool value) { SetValue(themesActive_, value); }

    // The kit's hand cursor.
    QCursor HandCursor() const { return QCursor(Qt::PointingHandCursor); }

    // An 8 x 8 checkerboard: white, with the pixels whose row and column
    // parity differ in color. Rebuilt only when the colour changes.
    const QImage& PatternBitmap(plat::TColor color);

    // Takes the first free slot of the 250, registers an item with id
    // 0xFD00 + slot in the pool and returns the id. Returns 0 and keeps the
    // slot free when no slot is free or the pool refuses the item.
    uint16_t AddTimer(uint16_t interval, TVfxTimerItem::Handler handler = {}, void* data = nullptr);
    // Removes an application timer and frees its slot; other ids are ignored.
    void RemoveTimer(uint16_t id);
    TVfxTimerItem* Timer(uint16_t id) { return timerPool_->Find(id); }
    // Enabling is refused for an item without a pool.
    void SetEnabled(uint16_t id, bool enabled);
    void SetInterval(uint16_t id, uint16_t interval);
    int FreeTimerSlots() const;

private:
    TVfxIniCtrl* iniCtrl_;
    TVfxTimerPool* timerPool_;
    QString prefix_ = QStringLiteral("#tdl");
    bool prevInstance_ = false;
    std::unique_ptr<QLockFile> instanceLock_;
    QString logFileName_;
    int checkWidth_ = 13;
    int checkHeight_ = 13;
    uint32_t options_ = 0;
    bool themesActive_ = false;
    std::array<bool, kTimerSlots> slotUsed_{};
    QImage pattern_;
    plat::TColor patternColor_ = plat::clNone;
};

// The kit's start: creates the process's application object and the theme
// manager that keeps its themes flag (hooked on the Qt application), and
// installs the display's system information unless a provider is installed.
// Both objects are freed when the Qt application ends. Runs once; the first
// use of VfxApplication() runs it too.
void VfxInitialize();
// Whether the kit's start has run and its end has not.
bool VfxInitialized();
// The kit's end: frees the process's application object (its timers, its
// instance lock) and the theme manager. The Qt application's end runs it.
void VfxFinalize();

// The kit's application object: the one a test put in place
// (ScopedVfxApplication), else the process's.
TVfxApplication& VfxApplication();
struct VfxApplicationTag;
using ScopedVfxApplication = plat::ScopedOverride<TVfxApplication*, VfxApplicationTag>;

// The theme manager of the process's application object (created with it).
TVfxXPThemeManager& VfxThemeManager();

// The form mode of a component owned by owner: 1 inside a multiple-document
// child window, 2 for a multiple-document frame, else 0.
int VfxFormModeOf(const QObject* owner);

// The check of components of which a form may hold one: the component's
// owner must be a window, holding no other component of the same class.
// Raises VfxEOneInstError "<class>:\rAlready one <class> control in this
// project!", or "<class>:\rInvalid owner (<>TForm) or second instance on a
// form" when the owner is not a window.
void VfxCheckOneInstance(const QObject& component);

} // namespace fx
