#include "dockkit/docking/DkDockableWindow/DkDockableWindow.h"

#include "dockkit/common/DkCommon.h"
#include "dockkit/docking/DkFloatingWindowParent.h"

#include "platform/core/Guarded.h"
#include "platform/gui/SystemParams.h"

#include <QCloseEvent>
#include <QEvent>

#include <algorithm>

namespace {

std::vector<TDkCustomDockableWindow*>& FloatingList() {
    static std::vector<TDkCustomDockableWindow*> list;
    return list;
}

quint64 NextSerial() {
    static quint64 serial = 0;
    return ++serial;
}

constexpr dk::KitHookCodes kHookCodes = dk::HookCodeBit(dk::KitHookCode::hcActivateApp) |
                                        dk::HookCodeBit(dk::KitHookCode::hcWindowPosChanged) |
                                        dk::HookCodeBit(dk::KitHookCode::hcDestroyWindow);

} // namespace

TDkCustomDockableWindow::TDkCustomDockableWindow(QWidget* parent)
    : DkNcWidget(parent), serial_(NextSerial()) {
    parentForm_ = parent != nullptr ? parent->window() : nullptr;
    dk::RegisterThreadHookProc(&HookProc, kHookCodes);
    dk::PrepareMouseTracking();
}

TDkCustomDockableWindow::~TDkCustomDockableWindow() {
    destroying_ = true;
    dk::UnregisterThreadHookProc(&HookProc);
    auto& floating = FloatingList();
    floating.erase(std::remove(floating.begin(), floating.end(), this), floating.end());
    if (!currentDock_.isNull() && !currentDock_->Destroying()) {
        currentDock_->UpdateDockMembership(false, this);
    }
    if (!lastDock_.isNull() && lastDock_ != currentDock_ && !lastDock_->Destroying()) {
        lastDock_->UpdateDockMembership(false, this);
    }
    if (!floatingForm_.isNull()) {
        // The form stays empty: it goes once control is back in the loop.
        floatingForm_->SetDockableWindow(nullptr);
        floatingForm_->hide();
        floatingForm_->deleteLater();
    }
    if (!keptForm_.isNull() && keptForm_ != parentWidget()) {
        keptForm_->SetDockableWindow(nullptr);
        delete keptForm_.data();
    }
}

// --- Properties ------------------------------------------------------------------

void TDkCustomDockableWindow::SetAutoResize(bool value) {
    if (autoResize_ != value) {
        autoResize_ = value;
        if (value) {
            ArrangeContent();
        }
    }
}

void TDkCustomDockableWindow::SetBorderStyle(TDkBorderStyle value) {
    if (borderStyle_ != value) {
        borderStyle_ = value;
        FrameChanged();
    }
}

void TDkCustomDockableWindow::SetCloseButton(bool value) {
    if (closeButton_ != value) {
        closeButton_ = value;
        if (!floatingForm_.isNull()) {
            floatingForm_->update();
        }
    }
}

void TDkCustomDockableWindow::SetCloseButtonWhenDocked(bool value) {
    if (closeButtonWhenDocked_ != value) {
        closeButtonWhenDocked_ = value;
        FrameChanged();
        RearrangeDock();
    }
}

void TDkCustomDockableWindow::SetCurrentDock(TDkDock* dock) {
    SetParentControl(dock != nullptr ? static_cast<QWidget*>(dock) : parentForm_.data());
}

void TDkCustomDockableWindow::SetDockPos(int value) {
    if (dockPos_ != value) {
        dockPos_ = value;
        RearrangeDock();
    }
}

void TDkCustomDockableWindow::SetDockRow(int value) {
    if (dockRow_ != value) {
        dockRow_ = value;
        RearrangeDock();
    }
}

void TDkCustomDockableWindow::SetDockPlace(int row, int pos) {
    dockRow_ = row;
    dockPos_ = pos;
}

void TDkCustomDockableWindow::SetEffectivePlace(int row, int pos) {
    effectiveRow_ = row;
    effectivePos_ = pos;
}

int TDkCustomDockableWindow::TakeShrunkLength(int shrunk, TDkDock* dock, bool& laidOut) {
    const bool vertical = dock->IsVertical();
    const auto across = [vertical](QSize s) { return vertical ? s.width() : s.height(); };
    const TDkShrinkMode mode = ShrinkBehaviour();
    laidOut = false;
    if (mode != dksmNone && shrunk != shrunkLength_) {
        shrunkLength_ = shrunk;
        lastCrossSize_ = across(LayoutChildren(false, PlacementFor(dock), dock));
        laidOut = true;
    } else if (mode != dksmWrap || shrunk == 0) {
        // A wrapping window that stays shrunk keeps its size across.
        shrunkLength_ = shrunk;
        lastCrossSize_ = across(NaturalSize());
    }
    return lastCrossSize_;
}

void TDkCustomDockableWindow::SetDragHandleStyle(TDkDragHandleStyle value) {
    if (dragHandleStyle_ != value) {
        dragHandleStyle_ = value;
        FrameChanged();
        RearrangeDock();
    }
}

void TDkCustomDockableWindow::SetFloatingMode(TDkFloatingMode value) {
    if (floatingMode_ != value) {
        floatingMode_ = value;
        if (!floatingForm_.isNull()) {
            floatingForm_->UpdateWindowFlags();
        }
        UpdateShowing();
    }
}

void TDkCustomDockableWindow::SetFullSize(bool value) {
    if (fullSize_ != value) {
        fullSize_ = value;
        RearrangeDock();
    }
}

void TDkCustomDockableWindow::SetHideWhenInactive(bool value) {
    if (hideWhenInactive_ != value) {
        hideWhenInactive_ = value;
        UpdateShowing();
    }
}

void TDkCustomDockableWindow::SetLastDock(TDkDock* dock) {
    if (useLastDock_ && docked_) {
        dock = currentDock_;
    }
    if (lastDock_ == dock) {
        return;
    }
    TDkDock* old = lastDock_;
    lastDock_ = dock;
    if (old != nullptr && old != parentWidget()) {
        old->UpdateDockMembership(false, this);
    }
    if (dock != nullptr) {
        dock->UpdateDockMembership(true, this);
        useLastDock_ = true;
    }
}

void TDkCustomDockableWindow::SetResizable(bool value) {
    if (resizable_ != value) {
        resizable_ = value;
        if (!floatingForm_.isNull()) {
            floatingForm_->UpdateFrame();
        }
    }
}

void TDkCustomDockableWindow::SetShowCaption(bool value) {
    if (showCaption_ != value) {
        showCaption_ = value;
        if (!floatingForm_.isNull()) {
            floatingForm_->UpdateFrame();
        }
    }
}

void TDkCustomDockableWindow::SetStretch(bool value) {
    if (stretch_ != value) {
        stretch_ = value;
        RearrangeDock();
    }
}

void TDkCustomDockableWindow::SetUseLastDock(bool value) {
    if (useLastDock_ == value) {
        return;
    }
    useLastDock_ = value;
    SetLastDock(value ? currentDock_.data() : nullptr);
}

void TDkCustomDockableWindow::SetColor(plat::TColor value) {
    if (color_ != value) {
        color_ = value;
        ColorChanged();
        update();
    }
}

void TDkCustomDockableWindow::SetCaption(const QString& value) {
    setWindowTitle(value);
    if (!floatingForm_.isNull()) {
        floatingForm_->setWindowTitle(value);
        floatingForm_->update();
    }
}

void TDkCustomDockableWindow::SetInactiveCaption(bool value) {
    if (inactiveCaption_ != value) {
        inactiveCaption_ = value;
        update();
        if (!floatingForm_.isNull()) {
            floatingForm_->update();
        }
    }
}

void TDkCustomDockableWindow::setVisible(bool visible) {
    if (showingApply_ > 0) {
        DkNcWidget::setVisible(visible);
        return;
    }
    if (visible_ == visible) {
        UpdateShowing();
        return;
    }
    visible_ = visible;
    if (docked_ && !currentDock_.isNull()) {
        currentDock_->UpdateVisibleMembership(this, false);
    }
    UpdateShowing();
    if (OnVisibleChanged) {
        OnVisibleChanged(this);
    }
}

// --- Where it is -------------------------------------------------------------------

PlacementKind TDkCustomDockableWindow::PlacementFor(const TDkDock* dock) {
    return dock == nullptr ? pkNotDocked : dock->IsVertical() ? pkVerticalDock : pkHorizontalDock;
}

PlacementKind TDkCustomDockableWindow::Placement() const {
    if (floating_) {
        return pkFloating;
    }
    return docked_ ? PlacementFor(currentDock_) : pkNotDocked;
}

void TDkCustomDockableWindow::SetFloatingPosition(QPoint value) {
    floatingPos_ = value;
    if (floating_ && !floatingForm_.isNull()) {
        floatingForm_->move(value);
    }
}

void TDkCustomDockableWindow::AddDockForm(QWidget* form) {
    if (form != nullptr &&
        std::find(dockForms_.begin(), dockForms_.end(), form) == dockForms_.end()) {
        dockForms_.emplace_back(form);
    }
}

void TDkCustomDockableWindow::RemoveDockForm(QWidget* form) {
    dockForms_.erase(std::remove(dockForms_.begin(), dockForms_.end(), form), dockForms_.end());
}

const std::vector<TDkCustomDockableWindow*>& TDkCustomDockableWindow::FloatingWindows() {
    return FloatingList();
}

bool TDkCustomDockableWindow::AcceptsDock(TDkDock* dock) const {
    if (dock == nullptr || !dock->AllowDrag() ||
        (dockableTo_ & DockPositionBit(dock->Position())) == 0) {
        return false;
    }
    try {
        ValidateContainer(dock);
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

// --- The change of parent ---------------------------------------------------------------

void TDkCustomDockableWindow::SetParentControl(QWidget* newParent) {
    auto* newDock = qobject_cast<TDkDock*>(newParent);
    auto* newForm = qobject_cast<TDkFloatingWindowParent*>(newParent);
    const bool sameState = docked_ == (newDock != nullptr) && floating_ == (newForm != nullptr);
    if (newParent == parentWidget() && sameState) {
        return;
    }
    if (newParent != nullptr) {
        ValidateContainer(newParent);
    }
    const bool announce = !destroying_ && newParent != nullptr;
    if (announce) {
        if (OnDockChanging) {
            OnDockChanging(this, newForm != nullptr, newDock);
        }
        if (OnRecreating) {
            OnRecreating(this);
        }
    }

    ChangeParent(newParent, newDock, newForm);
    if (contentLock_ == 0 && contentPending_) {
        ArrangeContent();
    }
    UpdateShowing();
    if (newParent != nullptr && OnMove) {
        OnMove(this);
    }
    if (announce) {
        if (OnRecreated) {
            OnRecreated(this);
        }
        if (OnDockChanged) {
            OnDockChanged(this);
        }
    }
}

void TDkCustomDockableWindow::ChangeParent(QWidget* newParent, TDkDock* newDock,
                                           TDkFloatingWindowParent* newForm) {
    ++hiddenLock_;
    ++dockChangeLock_;
    UpdateShowing();
    QPointer<TDkDock> oldDock = docked_ ? currentDock_ : nullptr;
    QPointer<TDkDock> lockedNew = newDock != oldDock ? newDock : nullptr;
    if (!oldDock.isNull()) {
        oldDock->LockArrangement();
    }
    if (!lockedNew.isNull()) {
        lockedNew->LockArrangement();
    }
    // Whatever happens below, the docks are unlocked and the counters lowered.
    struct Finish {
        TDkCustomDockableWindow* self;
        QPointer<TDkDock> a;
        QPointer<TDkDock> b;
        ~Finish() {
            --self->contentLock_;
            if (!a.isNull()) {
                a->UnlockArrangement();
            }
            if (!b.isNull()) {
                b->UnlockArrangement();
            }
            --self->dockChangeLock_;
            --self->hiddenLock_;
        }
    };
    ++contentLock_;
    {
        Finish finish{this, oldDock, lockedNew};
        if (newParent != nullptr) {
            FireDockChangingHidden(newForm != nullptr, newDock);
        }
        shrunkLength_ = 0;
        LeaveDock(oldDock);
        QPointer<TDkFloatingWindowParent> oldForm = floating_ ? floatingForm_ : nullptr;
        TakeParent(newParent, newDock, newForm);
        if (!oldForm.isNull() && oldForm != newForm) {
            ReleaseFloatingForm(oldForm);
        }
        JoinNewPlace(newDock, newForm);
        PlacementChanged();
        ArrangeContent();
    }
}

void TDkCustomDockableWindow::LeaveDock(TDkDock* oldDock) {
    if (oldDock == nullptr) {
        return;
    }
    if (!(useLastDock_ && oldDock == lastDock_)) {
        oldDock->UpdateDockMembership(false, this);
    }
    oldDock->UpdateVisibleMembership(this, true);
}

void TDkCustomDockableWindow::TakeParent(QWidget* newParent, TDkDock* newDock,
                                         TDkFloatingWindowParent* newForm) {
    ++showingApply_;
    setParent(newParent);
    --showingApply_;
    docked_ = newDock != nullptr;
    floating_ = newForm != nullptr;
    currentDock_ = newDock;
    floatingForm_ = newForm;
    if (newDock != nullptr) {
        parentForm_ = newDock->window();
    } else if (newForm != nullptr) {
        parentForm_ = newForm->ParentForm();
    } else if (newParent != nullptr) {
        parentForm_ = newParent->window();
    }
    FrameChanged();
    effectiveRow_ = -1;
}

void TDkCustomDockableWindow::ReleaseFloatingForm(TDkFloatingWindowParent* oldForm) {
    oldForm->SetDockableWindow(nullptr);
    oldForm->SetShouldBeShown(false);
    if (smoothDragging_) {
        keptForm_ = oldForm;
    } else {
        oldForm->deleteLater();
    }
}

void TDkCustomDockableWindow::JoinNewPlace(TDkDock* newDock, TDkFloatingWindowParent* newForm) {
    if (newDock != nullptr) {
        if (useLastDock_ && !smoothDragging_) {
            SetLastDock(newDock);
            newDock->UpdateVisibleMembership(this, false);
        } else {
            newDock->UpdateDockMembership(true, this);
        }
    }
    auto& floating = FloatingList();
    floating.erase(std::remove(floating.begin(), floating.end(), this), floating.end());
    if (!floating_) {
        return;
    }
    floating.push_back(this);
    if (keptForm_ == newForm) {
        keptForm_ = nullptr;
    }
    newForm->SetDockableWindow(this);
    newForm->UpdateWindowFlags();
    newForm->setWindowTitle(windowTitle());
    PlaceFloatingForm();
}

void TDkCustomDockableWindow::PlaceFloatingForm() {
    if (floatingForm_.isNull()) {
        return;
    }
    floatingForm_->UpdateFrame();
    const QSize client = size();
    floatingForm_->setGeometry(QRect(floatingPos_, client + FloatingFrameSize()));
    SetBoundsLocked(QRect(floatingForm_->ClientOrigin(), client));
}

void TDkCustomDockableWindow::SyncFloatingForm() {
    if (!floating_ || floatingForm_.isNull() || parentWidget() != floatingForm_) {
        return;
    }
    const QSize wanted = size() + FloatingFrameSize();
    if (floatingForm_->size() != wanted) {
        floatingForm_->resize(wanted);
    }
    if (pos() != floatingForm_->ClientOrigin()) {
        move(floatingForm_->ClientOrigin());
    }
}

void TDkCustomDockableWindow::SetFloatingBounds(const QRect& formBounds, QSize clientSize) {
    if (floatingForm_.isNull()) {
        return;
    }
    floatingForm_->setGeometry(formBounds);
    LockContent();
    resize(clientSize);
    UnlockContent();
}

void TDkCustomDockableWindow::SetBoundsLocked(const QRect& bounds) {
    ++sizingLock_;
    if (bounds.size() != size()) {
        // A hidden widget gets its resize event later, outside the lock.
        lockedSize_ = bounds.size();
    }
    setGeometry(bounds);
    --sizingLock_;
}

void TDkCustomDockableWindow::SetFloatingState(bool floating) {
    if (floating == floating_) {
        return;
    }
    if (!floating) {
        SetParentControl(parentForm_);
        return;
    }
    QWidget* form = parentForm_ != nullptr ? parentForm_.data() : window();
    TDkFloatingWindowParent* target = nullptr;
    if (!keptForm_.isNull() && keptForm_->ParentForm() == form) {
        target = keptForm_;
    } else {
        FreeKeptForm();
        target = CreateFloatingForm(form);
    }
    SetParentControl(target);
}

void TDkCustomDockableWindow::FreeKeptForm() {
    if (!keptForm_.isNull() && keptForm_ != floatingForm_) {
        keptForm_->SetDockableWindow(nullptr);
        keptForm_->hide();
        keptForm_->deleteLater();
    }
    keptForm_ = nullptr;
}

void TDkCustomDockableWindow::ToggleDockedFloating() {
    if (floating_) {
        if (!lastDock_.isNull()) {
            SetParentControl(lastDock_);
        } else if (!defaultDock_.isNull()) {
            dockRow_ = 0;
            dockPos_ = -8;
            SetParentControl(defaultDock_);
        }
    } else if (docked_ && dockMode_ == dmCanFloat) {
        SetFloatingState(true);
        KeepOnScreen(false);
    }
}

void TDkCustomDockableWindow::Close() {
    bool canClose = true;
    if (OnCloseQuery) {
        OnCloseQuery(this, canClose);
    }
    if (!canClose) {
        return;
    }
    setVisible(false);
    if (OnClose) {
        OnClose(this);
    }
}

void TDkCustomDockableWindow::closeEvent(QCloseEvent* event) {
    plat::Guarded([this] { Close(); });
    // Accepted only when Close let it go (and hid it).
    event->setAccepted(isHidden());
}

void TDkCustomDockableWindow::KeepOnScreen(bool onlyIfFullyOffscreen) {
    if (!floating_ || floatingForm_.isNull()) {
        return;
    }
    const plat::TRect r(floatingForm_->geometry());
    const plat::TRect work = dk::MonitorRectForRect(r, true);
    if (onlyIfFullyOffscreen && !plat::IntersectRect(r, work).IsEmpty()) {
        return;
    }
    int x = r.Left;
    int y = r.Top;
    if (x + r.Width() > work.Right) {
        x = work.Right - r.Width();
    }
    if (y + r.Height() > work.Bottom) {
        y = work.Bottom - r.Height();
    }
    x = std::max(x, work.Left);
    y = std::max(y, work.Top);
    floatingPos_ = QPoint(x, y);
    floatingForm_->move(floatingPos_);
}

// --- Content ------------------------------------------------------------------------

void TDkCustomDockableWindow::ArrangeContent() {
    if (contentLock_ > 0 || loading_) {
        contentPending_ = true;
        return;
    }
    contentPending_ = false;
    const QSize client = LayoutChildren(true, Placement(), docked_ ? currentDock_.data() : nullptr);
    if (!autoResize_) {
        return;
    }
    if (docked_) {
        RearrangeDock();
    } else {
        // The size comes from the window's own layout: its resize event is
        // no new client size (a hidden window gets that event later, and
        // a layout made for the dock it left must not become its size).
        SetBoundsLocked(QRect(pos(), client));
        SyncFloatingForm();
    }
}

void TDkCustomDockableWindow::UnlockContent() {
    if (contentLock_ > 0) {
        --contentLock_;
    }
    if (contentLock_ == 0 && contentPending_) {
        ArrangeContent();
    }
}

void TDkCustomDockableWindow::Loaded() {
    loading_ = false;
    ArrangeContent();
}

void TDkCustomDockableWindow::RearrangeDock() {
    if (docked_ && !currentDock_.isNull()) {
        currentDock_->ArrangeRows();
    }
}

// --- Showing ---------------------------------------------------------------------------

bool TDkCustomDockableWindow::ShowingAllowed() const {
    if (!visible_ || hiddenLock_ > 0) {
        return false;
    }
    if (floating_ && floatingMode_ == fmOnTopOfParentForm) {
        const QWidget* form = parentForm_;
        if (form == nullptr || !form->isVisible() || form->isMinimized()) {
            return false;
        }
        if (hideWhenInactive_ && !plat::CurrentSystemParameters().ApplicationActive()) {
            return false;
        }
    }
    return true;
}

void TDkCustomDockableWindow::ApplyShowing(bool show) {
    if (isHidden() == !show) {
        return;
    }
    ++showingApply_;
    DkNcWidget::setVisible(show);
    --showingApply_;
}

void TDkCustomDockableWindow::UpdateShowing() {
    if (destroying_) {
        return;
    }
    const bool show = ShowingAllowed();
    ApplyShowing(show);
    if (floating_ && !floatingForm_.isNull()) {
        floatingForm_->SetShouldBeShown(show);
    }
}

void TDkCustomDockableWindow::HookProc(dk::KitHookMessage& message) {
    std::vector<QPointer<TDkCustomDockableWindow>> windows(FloatingList().begin(),
                                                           FloatingList().end());
    switch (message.Code) {
    case dk::KitHookCode::hcActivateApp:
        for (const auto& window : windows) {
            if (!window.isNull()) {
                window->UpdateShowing();
            }
        }
        break;
    case dk::KitHookCode::hcWindowPosChanged: {
        auto* widget = qobject_cast<QWidget*>(message.Window);
        const QEvent::Type type = message.Event != nullptr ? message.Event->type() : QEvent::None;
        if (widget == nullptr ||
            (type != QEvent::Show && type != QEvent::Hide && type != QEvent::WindowStateChange)) {
            break;
        }
        for (const auto& window : windows) {
            if (!window.isNull() && window->floatingMode_ == fmOnTopOfParentForm &&
                !window->parentForm_.isNull() &&
                (window->parentForm_ == widget || widget->isAncestorOf(window->parentForm_))) {
                window->UpdateShowing();
            }
        }
        break;
    }
    default:
        // A floating form belongs to its parent form here: it never outlives it.
        break;
    }
}

void TDkCustomDockableWindow::DockDestroyed(TDkDock* dock) {
    if (currentDock_ == dock) {
        currentDock_ = nullptr;
        docked_ = false;
    }
    if (lastDock_ == dock) {
        lastDock_ = nullptr;
    }
    if (defaultDock_ == dock) {
        defaultDock_ = nullptr;
    }
}

void TDkCustomDockableWindow::FloatingFormMoved(TDkFloatingWindowParent* form) {
    if (floating_ && floatingForm_ == form) {
        floatingPos_ = form->geometry().topLeft();
    }
}

void TDkCustomDockableWindow::FloatingFormDestroyed(TDkFloatingWindowParent* form) {
    if (floatingForm_ == form) {
        floatingForm_ = nullptr;
        floating_ = false;
        auto& floating = FloatingList();
        floating.erase(std::remove(floating.begin(), floating.end(), this), floating.end());
    }
    if (keptForm_ == form) {
        keptForm_ = nullptr;
    }
}
