// The tool bar's mouse outside the menu loop (hot item, hint, cursor, the
// press that starts the loop), its keyboard entries (opening items from the
// keyboard, shortcuts, the keys its form passes on) and the child controls
// it shows as control items.
#include "dockkit/bars/DkToolbar/DkToolbar.h"

#include "dockkit/menus/DkMenuLoop.h"

#include "platform/core/Guarded.h"
#include "platform/gui/ShowHint.h"
#include "platform/gui/Sound.h"

#include <QChildEvent>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QToolTip>

namespace {

// The control items of the tree that were given the control.
void CollectControlItems(TDkCustomItem* item, const QObject* control,
                         std::vector<QPointer<TDkControlItem>>& found, int depth = 0) {
    if (depth > dk::kMaxLinkDepth) {
        return;
    }
    for (int i = 0; i < item->Count(); ++i) {
        TDkCustomItem* sub = item->Items(i);
        if (auto* controlItem = qobject_cast<TDkControlItem*>(sub)) {
            if (controlItem->WasGiven(control)) {
                found.emplace_back(controlItem);
            }
        }
        CollectControlItems(sub, control, found, depth + 1);
    }
}

} // namespace

// --- The mouse outside the menu loop ------------------------------------------------------

void TDkCustomToolbar::HotTrack(QPoint globalPos, bool updateHint) {
    if (view_ == nullptr || view_->HasState(vsModal)) {
        return;
    }
    view_->UpdateSelectionFromMouse(globalPos, false);
    TDkItemViewer* selected = view_->Selected();
    if (updateHint) {
        hint_.clear();
        if (selected != nullptr &&
            (selected->Item()->EffectiveOptions() & dkoLongHintInMenuOnly) == 0) {
            hint_ = selected->Item()->Hint();
        }
    }
    Qt::CursorShape shape = Qt::ArrowCursor;
    if (selected != nullptr) {
        const QPoint client = view_->ClientFromScreen(globalPos);
        const QPoint at = client - QPoint(selected->BoundsRect.Left, selected->BoundsRect.Top);
        selected->MouseMove(at.x(), at.y());
        selected->GetCursor(at, shape);
    }
    if (shape == Qt::ArrowCursor) {
        if (testAttribute(Qt::WA_SetCursor) && cursor().shape() != Qt::ArrowCursor) {
            unsetCursor();
        }
    } else if (cursor().shape() != shape) {
        setCursor(shape);
    }
}

void TDkCustomToolbar::mouseMoveEvent(QMouseEvent* event) {
    const QPoint global = event->globalPosition().toPoint();
    plat::Guarded([&] { HotTrack(global, true); });
    TDkCustomDockableWindow::mouseMoveEvent(event);
}

void TDkCustomToolbar::leaveEvent(QEvent* event) {
    if (view_ != nullptr && !view_->HasState(vsModal) && QWidget::mouseGrabber() == nullptr) {
        plat::Guarded([&] { view_->Select(nullptr); });
    }
    TDkCustomDockableWindow::leaveEvent(event);
}

void TDkCustomToolbar::NcMouseMove(int hit, QPoint globalPos) {
    if (view_ != nullptr && !view_->HasState(vsModal) && QWidget::mouseGrabber() == nullptr) {
        view_->Select(nullptr);
    }
    hint_.clear();
    TDkCustomDockableWindow::NcMouseMove(hit, globalPos);
}

void TDkCustomToolbar::mousePressEvent(QMouseEvent* event) {
    const QPoint global = event->globalPosition().toPoint();
    // A press on an item starts the menu loop; one elsewhere may drag the bar.
    const TDkItemViewer* under =
        view_ != nullptr ? view_->ViewerFromPoint(WidgetToClient(event->position().toPoint()))
                         : nullptr;
    const bool onItem = under != nullptr && !under->Item()->HasStyle(dk::StyleClicksTransparent);
    const QPointer<TDkCustomToolbar> self(this);
    QWidget* const parentBefore = parentWidget();
    TDkCustomDockableWindow::mousePressEvent(event);
    if (self == nullptr || !onItem || event->button() != Qt::LeftButton ||
        parentWidget() != parentBefore || view_ == nullptr) {
        return;
    }
    event->accept();
    plat::Guarded([&] {
        view_->UpdateSelectionFromMouse(global, true);
        const TDkItemViewer* selected = view_->Selected();
        if (selected != nullptr && !selected->Item()->HasStyle(dk::StyleClicksTransparent)) {
            view_->EnterToolbarLoop(tloInitialMouseDown);
        }
    });
}

bool TDkCustomToolbar::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip && view_ != nullptr) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QPoint client = WidgetToClient(help->pos());
        const TDkItemViewer* viewer = view_->ViewerFromPoint(client);
        const QPoint origin =
            viewer != nullptr ? QPoint(viewer->BoundsRect.Left, viewer->BoundsRect.Top) : QPoint();
        plat::TRect area;
        const QString text =
            viewer != nullptr ? viewer->HintToShow(client - origin, area) : QString();
        if (ShowHint() && !text.isEmpty()) {
            const QRect bounds = area.ToQRect().translated(origin + ClientOrigin());
            QToolTip::showText(help->globalPos(), text, this, bounds);
        } else {
            QToolTip::hideText();
        }
        return true;
    }
    if (event->type() == plat::ShowHintChangedEvent() || event->type() == QEvent::ParentChange) {
        // Docked, floated or the form's value changed: the view follows.
        ShowHintChanged();
    }
    if (event->type() == QEvent::ApplicationFontChange && systemFont_ && view_ != nullptr) {
        // The menu font may have changed with it.
        view_->InvalidatePositions();
        plat::Guarded([&] { ArrangeContent(); });
    }
    return TDkCustomDockableWindow::event(event);
}

void TDkCustomToolbar::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange && !systemFont_ && view_ != nullptr) {
        view_->InvalidatePositions();
        plat::Guarded([&] { ArrangeContent(); });
    }
    TDkCustomDockableWindow::changeEvent(event);
}

// --- Keys ----------------------------------------------------------------------------------

bool TDkCustomToolbar::KeyboardOpen(QChar key, bool requirePrimaryAccel) {
    const QPointer<TDkToolbarView> view(view_);
    if (view == nullptr) {
        return false;
    }
    view->SetAcceleratorsVisible(true);
    bool unique = false;
    TDkItemViewer* viewer = key.isNull() ? view->FirstSelectable()
                                         : view->FindAccelerator(key, unique, requirePrimaryAccel);
    if (viewer == nullptr) {
        return false;
    }
    // Whatever happens, the accelerators show as the view's state says.
    struct Recompute {
        const QPointer<TDkToolbarView>& view;
        ~Recompute() {
            if (view != nullptr) {
                view->SetAcceleratorsVisible(false);
            }
        }
    } recompute{view};
    TDkCustomItem* item = viewer->Item();
    if (!key.isNull() && !item->Enabled()) {
        return false;
    }
    if (unique && !item->HasStyle(dk::StyleSubmenu)) {
        item->Click();
        return true;
    }
    if (unique) {
        view->Select(viewer);
        view->EnterToolbarLoop(tloDropDown | tloSelectFirst);
        return true;
    }
    if (!key.isNull() && !menuBar_) {
        return true;
    }
    view->Select(viewer);
    view->EnterToolbarLoop(tloSelectFirst);
    return true;
}

dk::ShortCutMatch TDkCustomToolbar::MatchShortCut(const QKeyEvent& key) {
    bool handled = false;
    if (OnShortCut) {
        OnShortCut(key, handled);
    }
    if (handled) {
        return dk::ShortCutMatch::Clicked;
    }
    return items_ != nullptr ? items_->MatchShortCut(plat::ShortCutFromKeyEvent(key))
                             : dk::ShortCutMatch::None;
}

bool TDkCustomToolbar::IsShortCut(const QKeyEvent& key) {
    return MatchShortCut(key) == dk::ShortCutMatch::Clicked;
}

bool TDkCustomToolbar::DialogKey(int key, Qt::KeyboardModifiers /*shift*/) {
    if (menuBar_ && key == Qt::Key_Alt && view_ != nullptr) {
        view_->SetAcceleratorsVisible(true);
    }
    return false;
}

bool TDkCustomToolbar::DialogChar(QChar ch) {
    if (menuBar_ || !isVisible() || !isEnabled() || !ch.isPrint() || ch.isSpace()) {
        return false;
    }
    return KeyboardOpen(ch, true);
}

bool TDkCustomToolbar::SysKeyMenu(int key) {
    if (!menuBar_ || !isVisible() || key == ' ' || QWidget::mouseGrabber() != nullptr) {
        return false;
    }
    if (KeyboardOpen(QChar(key), false)) {
        return true;
    }
    if (key == '-') {
        // The form's own system menu would take it; there is none to open.
        return false;
    }
    plat::MessageBeep();
    return true;
}

// --- Child controls as control items -----------------------------------------------------------

void TDkCustomToolbar::childEvent(QChildEvent* event) {
    TDkCustomDockableWindow::childEvent(event);
    if (destroying_ || items_ == nullptr) {
        return;
    }
    if (event->removed()) {
        // A control being destroyed is no widget any more: it is only compared.
        RemoveControlItems(event->child());
        return;
    }
    if (!event->child()->isWidgetType()) {
        return;
    }
    auto* child = static_cast<QWidget*>(event->child());
    if (event->added() && !Loading()) {
        // The control is still being made: its item comes once it is.
        const QPointer<QWidget> control(child);
        QMetaObject::invokeMethod(
            this,
            [this, control] {
                if (control != nullptr) {
                    plat::Guarded([&] { EnsureControlItem(control); });
                }
            },
            Qt::QueuedConnection);
    }
}

void TDkCustomToolbar::EnsureControlItem(QWidget* control) {
    if (destroying_ || control->parentWidget() != this || control->isWindow()) {
        return;
    }
    std::vector<QPointer<TDkControlItem>> found;
    CollectControlItems(items_, control, found);
    if (found.empty()) {
        items_->Add(new TDkControlItem(this, control));
    }
    control->installEventFilter(this);
}

void TDkCustomToolbar::RemoveControlItems(const QObject* control) {
    std::vector<QPointer<TDkControlItem>> found;
    CollectControlItems(items_, control, found);
    for (const auto& item : found) {
        if (item != nullptr) {
            item->SetDontFreeControl(true);
            delete item.data();
        }
    }
}

bool TDkCustomToolbar::eventFilter(QObject* watched, QEvent* event) {
    // A control changing size or showing by itself (not by the layout)
    // lays the bar out again.
    const QEvent::Type type = event->type();
    if ((type == QEvent::Resize || type == QEvent::ShowToParent || type == QEvent::HideToParent) &&
        insideLayout_ == 0 && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->parentWidget() == this) {
        ScheduleArrange();
    }
    return TDkCustomDockableWindow::eventFilter(watched, event);
}

void TDkCustomToolbar::ScheduleArrange() {
    if (arrangePosted_ || destroying_) {
        return;
    }
    arrangePosted_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            arrangePosted_ = false;
            if (view_ != nullptr) {
                view_->InvalidatePositions();
                plat::Guarded([&] { ArrangeContent(); });
            }
        },
        Qt::QueuedConnection);
}

void TDkCustomToolbar::Loaded() {
    for (QObject* object : children()) {
        auto* child = qobject_cast<QWidget*>(object);
        if (child != nullptr && !child->isWindow()) {
            EnsureControlItem(child);
        }
    }
    TDkCustomDockableWindow::Loaded();
}
