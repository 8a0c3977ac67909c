#include "effects/core/VfxObject.h"

#include "platform/core/Guarded.h"

#include <QCoreApplication>
#include <QEvent>

namespace fx {

TVfxWndProcComponent::TVfxWndProcComponent(QObject* owner, int formMode)
    : TVfxCustomComponent(owner), formMode_(formMode), target_(owner) {}

TVfxWndProcComponent::~TVfxWndProcComponent() {
    Unhook();
}

void TVfxWndProcComponent::SetEnabled(bool value) {
    if (enabled_ == value) {
        return;
    }
    enabled_ = value;
    if (!enabled_) {
        Unhook();
    }
    Change();
}

void TVfxWndProcComponent::Loaded(QObject* target) {
    if (target != nullptr) {
        Unhook();
        target_ = target;
    }
    if (enabled_) {
        Hook();
    }
}

void TVfxWndProcComponent::Hook() {
    if (hooked_ || target_.isNull()) {
        return;
    }
    target_->installEventFilter(this);
    targetDestroyed_ = connect(target_, &QObject::destroyed, this, [this] { Unhook(); });
    hooked_ = true;
}

void TVfxWndProcComponent::Unhook() {
    if (!hooked_) {
        return;
    }
    if (!target_.isNull()) {
        target_->removeEventFilter(this);
    }
    disconnect(targetDestroyed_);
    hooked_ = false;
}

bool TVfxWndProcComponent::WndProc(QObject*, QEvent*) {
    return false;
}

bool TVfxWndProcComponent::eventFilter(QObject* watched, QEvent* event) {
    const bool seen =
        watched == target_ || (target_ != nullptr && target_ == QCoreApplication::instance());
    if (!hooked_ || !seen) {
        return QObject::eventFilter(watched, event);
    }
    bool consumed = false;
    plat::Guarded([&] { consumed = WndProc(watched, event); });
    return consumed;
}

} // namespace fx
