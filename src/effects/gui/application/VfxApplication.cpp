#include "effects/gui/application/VfxApplication.h"

#include "effects/core/VfxIniCtrl.h"
#include "effects/core/VfxThemes.h"
#include "effects/gui/application/VfxDisplayInfo.h"
#include "platform/core/Guarded.h"

#include <QApplication>
#include <QFileInfo>
#include <QLockFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStandardPaths>
#include <QStyle>
#include <QWidget>

#include <algorithm>

namespace fx {

TVfxTimerPool::TVfxTimerPool(QObject* owner, uint16_t minInterval)
    : TVfxCustomComponent(owner), minInterval_(std::max<uint16_t>(minInterval, 1)) {
    timer_.setTimerType(Qt::PreciseTimer);
    plat::ConnectGuarded(&timer_, &QTimer::timeout, this, [this] { Tick(); });
}

TVfxTimerPool::~TVfxTimerPool() {
    timer_.stop();
}

TVfxTimerItem& TVfxTimerPool::Register(uint16_t id, uint16_t interval,
                                       TVfxTimerItem::Handler handler, void* data) {
    if (Find(id) != nullptr) {
        throw plat::EListError(QStringLiteral("List index out of bounds (%d)"));
    }
    if (interval < minInterval_ || interval % minInterval_ != 0) {
        throw Exception(QStringLiteral("Interval not compatible with MinInterval property!"));
    }
    auto item = std::make_unique<TVfxTimerItem>();
    item->owner_ = this;
    item->id_ = id;
    item->interval_ = interval;
    item->ticksPerFiring_ = interval / minInterval_;
    item->handler_ = std::move(handler);
    item->data_ = data;
    items_.push_back(std::move(item));
    Restart();
    return *items_.back();
}

void TVfxTimerPool::Remove(uint16_t id) {
    const auto it = std::find_if(items_.begin(), items_.end(),
                                 [id](const auto& item) { return item->id_ == id; });
    if (it == items_.end()) {
        return;
    }
    (*it)->enabled_ = false;
    (*it)->handler_ = nullptr;
    items_.erase(it);
    Restart();
}

TVfxTimerItem* TVfxTimerPool::Find(uint16_t id) {
    for (const auto& item : items_) {
        if (item->id_ == id) {
            return item.get();
        }
    }
    return nullptr;
}

void TVfxTimerPool::SetEnabled(TVfxTimerItem& item, bool enabled) {
    if (item.enabled_ == enabled) {
        return;
    }
    item.enabled_ = enabled;
    item.counter_ = 0;
    Restart();
}

void TVfxTimerPool::SetInterval(TVfxTimerItem& item, uint16_t interval) {
    if (interval == 0) {
        interval = minInterval_;
    }
    if (interval == item.interval_ || interval % minInterval_ != 0) {
        return;
    }
    item.interval_ = interval;
    item.ticksPerFiring_ = interval / minInterval_;
    item.counter_ = 0;
}

void TVfxTimerPool::Restart() {
    const bool anyEnabled =
        std::any_of(items_.begin(), items_.end(), [](const auto& item) { return item->enabled_; });
    if (!anyEnabled) {
        timer_.stop();
    } else if (!timer_.isActive()) {
        timer_.start(minInterval_);
    }
}

void TVfxTimerPool::Tick() {
    if (inTick_) {
        return;
    }
    inTick_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{inTick_};
    // A handler may add or remove items: walk the ids present at the start.
    std::vector<uint16_t> ids;
    ids.reserve(items_.size());
    for (const auto& item : items_) {
        ids.push_back(item->id_);
    }
    for (const uint16_t id : ids) {
        TVfxTimerItem* item = Find(id);
        if (item != nullptr && item->enabled_ && tickCounter_ % item->ticksPerFiring_ == 0) {
            Fire(*item);
        }
    }
    ++tickCounter_;
}

void TVfxTimerPool::Fire(TVfxTimerItem& item) {
    ++item.counter_;
    if (item.repeatLimit_ >= 0 && item.counter_ >= uint32_t(item.repeatLimit_)) {
        item.enabled_ = false; // keeps the counter for the event below
        Restart();
    }
    if (item.handler_) {
        // The handler may remove its own item: call a copy.
        const TVfxTimerItem::Handler handler = item.handler_;
        handler(item.data_);
    } else if (OnTimer) {
        OnTimer(this, item.id_, item.counter_);
    }
}

namespace {

QString ChangeExtension(const QString& path, const QString& extension) {
    const QFileInfo info(path);
    const QString suffix = info.suffix();
    const QString base = suffix.isEmpty() ? path : path.left(path.size() - suffix.size() - 1);
    return base + extension;
}

} // namespace

TVfxApplication::TVfxApplication(QObject* owner, const QString& instanceName)
    : TVfxCustomComponent(owner), iniCtrl_(new TVfxIniCtrl(this)),
      timerPool_(new TVfxTimerPool(this, kMinInterval)) {
    if (!instanceName.isEmpty()) {
        // The session's runtime folder when there is one (asking for it
        // without one only draws a warning), else the temporary folder.
        QString folder;
        if (qEnvironmentVariableIsSet("XDG_RUNTIME_DIR")) {
            folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        }
        if (folder.isEmpty()) {
            folder = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
        }
        instanceLock_ = std::make_unique<QLockFile>(folder + QLatin1Char('/') + instanceName +
                                                    QStringLiteral(".instance"));
        instanceLock_->setStaleLockTime(0);
        prevInstance_ = !instanceLock_->tryLock(0);
    }
    if (QCoreApplication::instance() != nullptr) {
        logFileName_ = ChangeExtension(QCoreApplication::applicationFilePath(), ".LOG");
    }
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) {
        checkWidth_ = app->style()->pixelMetric(QStyle::PM_IndicatorWidth);
        checkHeight_ = app->style()->pixelMetric(QStyle::PM_IndicatorHeight);
    }
}

TVfxApplication::~TVfxApplication() = default;

const QImage& TVfxApplication::PatternBitmap(plat::TColor color) {
    if (pattern_.isNull() || color != patternColor_) {
        pattern_ = QImage(8, 8, QImage::Format_RGB32);
        pattern_.fill(Qt::white);
        const QRgb rgb = plat::ToQColor(color).rgb();
        for (int y = 0; y < 8; ++y) {
            for (int x = (y + 1) % 2; x < 8; x += 2) {
                pattern_.setPixel(x, y, rgb);
            }
        }
        patternColor_ = color;
    }
    return pattern_;
}

uint16_t TVfxApplication::AddTimer(uint16_t interval, TVfxTimerItem::Handler handler, void* data) {
    for (int slot = 0; slot < kTimerSlots; ++slot) {
        if (slotUsed_[slot]) {
            continue;
        }
        const auto id = static_cast<uint16_t>(kTimerIdBase + slot + 1);
        try {
            timerPool_->Register(id, interval, std::move(handler), data);
        } catch (const plat::Exception&) {
            return 0; // the pool refused: the slot stays free
        }
        slotUsed_[slot] = true;
        return id;
    }
    return 0;
}

void TVfxApplication::RemoveTimer(uint16_t id) {
    if (id <= kTimerIdBase || id > kTimerIdBase + kTimerSlots) {
        return;
    }
    timerPool_->Remove(id);
    slotUsed_[id - kTimerIdBase - 1] = false;
}

void TVfxApplication::SetEnabled(uint16_t id, bool enabled) {
    TVfxTimerItem* item = Timer(id);
    if (item == nullptr || (enabled && item->Owner() == nullptr)) {
        return;
    }
    timerPool_->SetEnabled(*item, enabled);
}

void TVfxApplication::SetInterval(uint16_t id, uint16_t interval) {
    if (TVfxTimerItem* item = Timer(id)) {
        timerPool_->SetInterval(*item, interval);
    }
}

int TVfxApplication::FreeTimerSlots() const {
    return static_cast<int>(std::count(slotUsed_.begin(), slotUsed_.end(), false));
}

namespace {

struct ProcessKit {
    TVfxApplication* application = nullptr;
    TVfxXPThemeManager* themeManager = nullptr;
};

ProcessKit& Kit() {
    static ProcessKit kit;
    return kit;
}

} // namespace

void VfxFinalize() {
    ProcessKit& kit = Kit();
    delete kit.themeManager;
    delete kit.application;
    kit = {};
}

bool VfxInitialized() {
    return Kit().application != nullptr;
}

void VfxInitialize() {
    ProcessKit& kit = Kit();
    if (kit.application != nullptr) {
        return;
    }
    if (&VfxSystemInfo() == &VfxHostSystemInfo()) {
        VfxSetSystemInfoProvider(&VfxDisplaySystemInfo());
    }
    const QString name = QCoreApplication::instance() != nullptr
                             ? QFileInfo(QCoreApplication::applicationFilePath()).fileName()
                             : QString();
    kit.application = new TVfxApplication(nullptr, name);
    kit.themeManager = new TVfxXPThemeManager();
    TVfxApplication* app = kit.application;
    TVfxXPThemeManager* manager = kit.themeManager;
    manager->OnChange = [app, manager](TVfxCustomComponent*) {
        app->SetThemesActive(manager->ThemesActive());
    };
    manager->Loaded(QCoreApplication::instance());
    app->SetThemesActive(manager->ThemesActive());
    static bool endHooked = false;
    if (!endHooked && QCoreApplication::instance() != nullptr) {
        qAddPostRoutine(VfxFinalize);
        endHooked = true;
    }
}

TVfxApplication& VfxApplication() {
    if (TVfxApplication* scoped = ScopedVfxApplication::Current()) {
        return *scoped;
    }
    VfxInitialize();
    return *Kit().application;
}

TVfxXPThemeManager& VfxThemeManager() {
    VfxInitialize();
    return *Kit().themeManager;
}

int VfxFormModeOf(const QObject* owner) {
    const auto* widget = qobject_cast<const QWidget*>(owner);
    if (widget == nullptr) {
        return TVfxWndProcComponent::fmNormal;
    }
    if (widget->findChild<QMdiArea*>() != nullptr) {
        return TVfxWndProcComponent::fmMDIForm;
    }
    for (const QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
        if (qobject_cast<const QMdiSubWindow*>(w) != nullptr) {
            return TVfxWndProcComponent::fmMDIChild;
        }
    }
    return TVfxWndProcComponent::fmNormal;
}

void VfxCheckOneInstance(const QObject& component) {
    QString className = QString::fromLatin1(component.metaObject()->className());
    className = className.mid(className.lastIndexOf(QLatin1Char(':')) + 1);
    const auto* form = qobject_cast<const QWidget*>(component.parent());
    if (form == nullptr || !form->isWindow()) {
        throw VfxEOneInstError(className + QStringLiteral(":\rInvalid owner (<>TForm) or second "
                                                          "instance on a form"));
    }
    int count = 0;
    for (const QObject* child : form->children()) {
        if (child->metaObject() == component.metaObject()) {
            ++count;
        }
    }
    if (count > 1) {
        throw VfxEOneInstError(className + QStringLiteral(":\rAlready one ") + className +
                               QStringLiteral(" control in this project!"));
    }
}

} // namespace fx
