// How a view's selection follows the keys and the pointer while a menu loop
// runs (and the pointer alone for a tool bar's hot item): selectable
// viewers, accelerators, the key table, hot tracking with the submenu timers,
// scrolling long pop-ups, and opening the selection's pop-up.

#include "dockkit/common/DkCommon.h"
#include "dockkit/common/DkModalLoop.h"
#include "dockkit/items/DkItemViewer.h"
#include "dockkit/items/DkView/DkView.h"
#include "dockkit/menus/DkMenuLoop.h"

#include "platform/gui/AccelText.h"

#include <QWidget>

namespace {

constexpr int kScrollIntervalMs = 100;

bool Selectable(const TDkItemViewer* viewer) {
    const TDkCustomItem* item = viewer->Item();
    return (viewer->Show || viewer->OffEdge || viewer->Clipped) && item->Visible() &&
           item->HasStyle(dk::StyleSelectable);
}

bool SameLetter(QChar a, QChar b) {
    return a.toCaseFolded() == b.toCaseFolded();
}

} // namespace

// --- Selectable viewers ----------------------------------------------------------

TDkItemViewer* TDkView::NextSelectable(TDkItemViewer* from, bool goForward) {
    ValidatePositions();
    const int count = ViewerCount();
    if (count == 0) {
        return nullptr;
    }
    int index = from != nullptr ? IndexOf(from) : -1;
    for (int step = 0; step < count; ++step) {
        if (goForward) {
            index = (index + 1) % count;
        } else {
            index = index <= 0 ? count - 1 : index - 1;
        }
        TDkItemViewer* viewer = Viewers(index);
        if (Selectable(viewer)) {
            return viewer;
        }
    }
    return nullptr;
}

TDkItemViewer* TDkView::FirstSelectable() {
    TDkItemViewer* first = NextSelectable(nullptr, true);
    for (TDkItemViewer* viewer = first; viewer != nullptr;) {
        if (!viewer->Item()->HasStyle(dk::StyleDontSelectFirst)) {
            return viewer;
        }
        viewer = NextSelectable(viewer, true);
        if (viewer == first) {
            break;
        }
    }
    return first;
}

TDkItemViewer* TDkView::FindAccelerator(QChar key, bool& unique, bool primaryOnly) {
    ValidatePositions();
    unique = false;
    const int count = ViewerCount();
    const int start = selected_ != nullptr ? IndexOf(selected_) : -1;
    for (const bool enabledPass : {true, false}) {
        const auto eligible = [&](const TDkItemViewer* v) {
            return Selectable(v) && v->Item()->Enabled() == enabledPass && v->CaptionShown();
        };
        const auto byAccelerator = [&](const TDkItemViewer* v) {
            const QChar c = dk::AcceleratorCharOf(v->GetCaptionText());
            return !c.isNull() && SameLetter(c, key);
        };
        const auto byFirstLetter = [&](const TDkItemViewer* v) {
            const QString caption = v->GetCaptionText();
            if (!dk::AcceleratorCharOf(caption).isNull()) {
                return false;
            }
            const QString text = plat::StripAccelerators(caption);
            return !text.isEmpty() && SameLetter(text[0], key);
        };
        const auto none = [](const TDkItemViewer*) { return false; };
        for (const auto& matches :
             {std::function<bool(const TDkItemViewer*)>(byAccelerator),
              primaryOnly ? std::function<bool(const TDkItemViewer*)>(none)
                          : std::function<bool(const TDkItemViewer*)>(byFirstLetter)}) {
            // The first match after `from`, wrapping round to `from` itself.
            const auto search = [&](int from) -> int {
                for (int step = 1; step <= count; ++step) {
                    const int index = (from + step + count) % count;
                    if (eligible(Viewers(index)) && matches(Viewers(index))) {
                        return index;
                    }
                }
                return -1;
            };
            const int found = search(start < 0 ? count - 1 : start);
            if (found < 0) {
                continue;
            }
            unique = enabledPass && search(found) == found;
            return Viewers(found);
        }
    }
    return nullptr;
}

// --- Opening, executing and scrolling ------------------------------------------------

bool TDkView::OpenChildPopup(bool selectFirst) {
    KillTimer(TDkViewTimer::Open);
    KillTimer(TDkViewTimer::Close);
    if (selected_ != openViewer_) {
        CloseChildPopups();
        TDkItemViewer* viewer = selected_;
        if (viewer != nullptr && viewer->Item()->Enabled() &&
            viewer->Item()->HasStyle(dk::StyleSubmenu)) {
            viewer->Item()->CreatePopup(this, viewer, !IsToolbar(), selectFirst, customizing_,
                                        QPoint(), dkpaLeft);
        }
    }
    return openViewer_ != nullptr && openViewer_ == selected_;
}

void TDkView::ExecuteSelected() {
    const QPointer<TDkView> self(this);
    if (selected_ != nullptr && !selected_->Item()->HasStyle(dk::StyleCombo)) {
        if (OpenChildPopup(true)) {
            if (self != nullptr && IsToolbar()) {
                SetState(vsDropDownMode, true);
            }
            return;
        }
        if (self == nullptr) {
            return;
        }
    }
    TDkItemViewer* viewer = selected_;
    if (viewer == nullptr || !viewer->Item()->HasStyle(dk::StyleSelectable)) {
        EndModal();
        return;
    }
    NotifyViewerUsed(viewer);
    EndModalWithItem(viewer->Item(), !(this == LoopView() && IsToolbar()));
}

void TDkView::ScrollSelectedIntoView() {
    ValidatePositions();
    const TDkItemViewer* viewer = selected_;
    if (viewer == nullptr || !viewer->Clipped) {
        return;
    }
    if (viewer->BoundsRect.Top < dk::kScrollArrowBand) {
        SetScrollOffset(scrollOffset_ - (dk::kScrollArrowBand - viewer->BoundsRect.Top));
    } else {
        SetScrollOffset(scrollOffset_ + viewer->BoundsRect.Bottom -
                        (maxHeight_ - dk::kScrollArrowBand));
    }
    ValidatePositions();
}

void TDkView::Scroll(bool down) {
    ValidatePositions();
    int distance = 0;
    for (int i = 0; i < ViewerCount(); ++i) {
        const TDkItemViewer* viewer = Viewers(down ? i : ViewerCount() - 1 - i);
        if (!viewer->Clipped || viewer->Item()->HasStyle(dk::StyleSeparator)) {
            continue;
        }
        const plat::TRect& r = viewer->BoundsRect;
        if (down && r.Bottom > maxHeight_ - dk::kScrollArrowBand) {
            distance = r.Bottom - (maxHeight_ - dk::kScrollArrowBand);
            break;
        }
        if (!down && r.Top < dk::kScrollArrowBand) {
            distance = -(dk::kScrollArrowBand - r.Top);
            break;
        }
    }
    if (distance != 0) {
        SetScrollOffset(scrollOffset_ + distance);
        ValidatePositions();
    }
}

// --- Keys ------------------------------------------------------------------------------

void TDkView::CloseThisLevel() {
    // The parent closes this pop-up, which deletes this view: nothing of it
    // may be touched afterwards.
    if (TDkView* parent = parentView_) {
        parent->CloseChildPopups();
    }
}

void TDkView::MoveToolbarSelection(bool forward) {
    TDkItemViewer* next = NextSelectable(selected_, forward);
    if (next == nullptr) {
        return;
    }
    Select(next);
    ScrollSelectedIntoView();
    if (HasState(vsDropDownMode) && !next->Item()->HasStyle(dk::StyleNoAutoOpen)) {
        OpenChildPopup(true);
    } else {
        CloseChildPopups();
    }
}

void TDkView::SelectAndShow(TDkItemViewer* viewer) {
    if (viewer != nullptr) {
        Select(viewer);
        ScrollSelectedIntoView();
    }
}

void TDkView::OpenAsDropDown() {
    const QPointer<TDkView> self(this);
    if (OpenChildPopup(true) && self != nullptr) {
        SetState(vsDropDownMode, true);
    }
}

void TDkView::HorizontalArrowKey(bool left) {
    TDkView* toolbar = NearestToolbarView();
    const bool atToolbar = toolbar == this;
    if (atToolbar && toolbar->IsVertical()) {
        OpenAsDropDown();
    } else if (left) {
        if (toolbar == nullptr || toolbar->IsVertical()) {
            if (this != LoopView()) {
                CloseThisLevel();
            }
        } else if (atToolbar || parentView_ == toolbar) {
            toolbar->MoveToolbarSelection(false);
        } else {
            CloseThisLevel();
        }
    } else {
        const QPointer<TDkView> self(this);
        const bool opened = !atToolbar && OpenChildPopup(true);
        if (self != nullptr && !opened && toolbar != nullptr && !toolbar->IsVertical()) {
            toolbar->MoveToolbarSelection(true);
        }
    }
}

void TDkView::EscapeKey() {
    TDkView* loop = LoopView();
    if (this == loop) {
        EndModal();
        return;
    }
    // The drop-down of a tool bar's button: closing it ends the bar's loop
    // as well, so that the next Escape reaches the form. A menu bar keeps
    // its title selected for the arrow keys.
    if (loop != nullptr && parentView_ == loop && loop->IsToolbar() && !loop->IsMenuBarView()) {
        loop->EndModal();
        return;
    }
    TDkView* toolbar = NearestToolbarView();
    if (toolbar != nullptr && parentView_ == toolbar) {
        toolbar->SetState(vsDropDownMode, false);
    }
    CloseThisLevel();
}

void TDkView::HelpKey() {
    for (TDkView* view = this; view != nullptr; view = view->parentView_) {
        const TDkItemViewer* viewer = view->selected_;
        if (viewer != nullptr && viewer->Item()->HelpContext() != 0) {
            TDkDoneAction help;
            help.Kind = TDkDoneAction::Help;
            help.Item = viewer->Item();
            EndModalWithAction(help);
            return;
        }
    }
}

void TDkView::KeyDown(int& key, Qt::KeyboardModifiers shift) {
    const int pressed = key;
    switch (pressed) {
    case Qt::Key_Left:
    case Qt::Key_Right:
        key = 0;
        HorizontalArrowKey(pressed == Qt::Key_Left);
        return;
    case Qt::Key_Up:
    case Qt::Key_Down: {
        key = 0;
        const TDkView* toolbar = NearestToolbarView();
        if (toolbar == this && !toolbar->IsVertical()) {
            OpenAsDropDown();
        } else {
            SelectAndShow(NextSelectable(selected_, pressed == Qt::Key_Down));
        }
        return;
    }
    case Qt::Key_Home:
    case Qt::Key_End:
        SelectAndShow(NextSelectable(nullptr, pressed == Qt::Key_Home));
        key = 0;
        return;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        SelectAndShow(
            NextSelectable(selected_, pressed == Qt::Key_Tab && !(shift & Qt::ShiftModifier)));
        key = 0;
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        key = 0;
        if (selected_ == nullptr) {
            EndModal();
        } else if (selected_->Item()->Enabled()) {
            ExecuteSelected();
        }
        return;
    case Qt::Key_Escape:
        key = 0;
        EscapeKey();
        return;
    case Qt::Key_Alt:
    case Qt::Key_F10:
        key = 0;
        EndModal();
        return;
    case Qt::Key_F1:
        key = 0;
        HelpKey();
        return;
    default:
        return;
    }
}

// --- The pointer -------------------------------------------------------------------

bool TDkView::PointInWindow(QPoint point) const {
    return window_ != nullptr && window_->isVisible() &&
           window_->rect().contains(window_->mapFromGlobal(point));
}

QPoint TDkView::ClientFromScreen(QPoint point) const {
    if (window_ == nullptr) {
        return point;
    }
    return window_->mapFromGlobal(point) - window_->contentsRect().topLeft();
}

TDkView* TDkView::DeepestOpenView() {
    TDkView* view = this;
    while (view->openView_ != nullptr) {
        view = view->openView_;
    }
    return view;
}

void TDkView::UpdateSelectionFromMouse(QPoint point, bool mouseDown) {
    ValidatePositions();
    const bool inLoop = HasState(vsModal);
    TDkItemViewer* candidate = IsPopup() || inLoop ? selected_ : nullptr;
    const bool wasIn = HasState(vsMouseInWindow);
    const bool in = PointInWindow(point);
    if (in) {
        SetState(vsMouseInWindow, true);
        // Hovering selects, except in a tool bar whose loop waits with
        // nothing selected: there only a press does.
        if (mouseDown || selected_ != nullptr || !(IsToolbar() && inLoop)) {
            if (TDkItemViewer* under = ViewerFromPoint(ClientFromScreen(point))) {
                candidate = under;
            }
        }
    } else {
        SetState(vsMouseInWindow, false);
    }
    if (viewerCapture_) {
        candidate = selected_;
    } else if (IsPopup() && wasIn && !in && candidate != nullptr && candidate != openViewer_) {
        candidate = nullptr;
    }
    TDkView* parent = parentView_;
    if (in && parent != nullptr && parent->openView_ == this) {
        parent->Select(parent->openViewer_);
        parent->KillTimer(TDkViewTimer::Open);
        parent->KillTimer(TDkViewTimer::Close);
    }
    Select(candidate);
}

void TDkView::TrackMouse(QPoint point, bool mouseDown) {
    std::vector<QPointer<TDkView>> chain;
    for (TDkView* view = this; view != nullptr; view = view->openView_) {
        chain.emplace_back(view);
        // The views below one whose viewer holds the mouse do not follow it.
        if (view->viewerCapture_) {
            break;
        }
    }
    TDkView* loop = LoopView();
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        TDkView* view = *it;
        if (view == nullptr) {
            continue;
        }
        TDkItemViewer* before = view->selected_;
        view->UpdateSelectionFromMouse(point, mouseDown);
        if (*it == nullptr) {
            continue;
        }
        const bool in = view->PointInWindow(point);
        if (in) {
            view->FollowSelection(before, view == loop);
        }
        if (*it != nullptr && view->IsPopup()) {
            view->ScrollAtArrows(in, view->ClientFromScreen(point).y());
        }
    }
}

void TDkView::FollowSelection(TDkItemViewer* before, bool isLoopView) {
    TDkItemViewer* selected = selected_;
    if (selected == openViewer_ ||
        (openViewer_ == nullptr &&
         (selected == nullptr || !selected->Item()->HasStyle(dk::StyleSubmenu)))) {
        return;
    }
    if (IsToolbar()) {
        if (!isLoopView && !viewerCapture_) {
            SetState(vsDropDownMode, true);
        }
        if (HasState(vsDropDownMode)) {
            OpenChildPopup(false);
        }
        return;
    }
    const int delay = dk::MenuShowDelayMs();
    const bool opening = TimerRunning(TDkViewTimer::Open);
    if (!opening) {
        StartTimer(TDkViewTimer::Close, delay);
    }
    if (!opening || selected != before) {
        StartTimer(TDkViewTimer::Open, delay);
    }
}

void TDkView::ScrollAtArrows(bool in, int y) {
    const bool up = in && showUpArrow_ && y < dk::kScrollArrowBand;
    const bool down = !up && in && showDownArrow_ && y >= maxHeight_ - dk::kScrollArrowBand;
    if (up && !TimerRunning(TDkViewTimer::ScrollUp)) {
        StartTimer(TDkViewTimer::ScrollUp, kScrollIntervalMs);
    }
    if (down && !TimerRunning(TDkViewTimer::ScrollDown)) {
        StartTimer(TDkViewTimer::ScrollDown, kScrollIntervalMs);
    }
    if (!down) {
        KillTimer(TDkViewTimer::ScrollDown);
    }
    if (!up) {
        KillTimer(TDkViewTimer::ScrollUp);
    }
}

// --- Timers ------------------------------------------------------------------------------

dk::KitTimer& TDkView::Timer(TDkViewTimer timer) {
    switch (timer) {
    case TDkViewTimer::Open:
        return openTimer_;
    case TDkViewTimer::Close:
        return closeTimer_;
    case TDkViewTimer::ScrollUp:
        return scrollUpTimer_;
    case TDkViewTimer::ScrollDown:
        break;
    }
    return scrollDownTimer_;
}

const dk::KitTimer& TDkView::Timer(TDkViewTimer timer) const {
    return const_cast<TDkView*>(this)->Timer(timer);
}

void TDkView::StartTimer(TDkViewTimer timer, int intervalMs) {
    Timer(timer).Start(intervalMs);
}

void TDkView::KillTimer(TDkViewTimer timer) {
    Timer(timer).Stop();
}

bool TDkView::TimerRunning(TDkViewTimer timer) const {
    return Timer(timer).Active();
}

void TDkView::TimerElapsed(TDkViewTimer timer) {
    switch (timer) {
    case TDkViewTimer::Open:
        KillTimer(TDkViewTimer::Open);
        KillTimer(TDkViewTimer::Close);
        CloseChildPopups();
        if (selected_ != nullptr && selected_->Item()->Enabled() && selected_ != openViewer_) {
            OpenChildPopup(false);
        }
        return;
    case TDkViewTimer::Close:
        KillTimer(TDkViewTimer::Close);
        CloseChildPopups();
        return;
    case TDkViewTimer::ScrollUp:
    case TDkViewTimer::ScrollDown: {
        const bool down = timer == TDkViewTimer::ScrollDown;
        if (down ? showDownArrow_ : showUpArrow_) {
            Scroll(down);
        } else {
            KillTimer(timer);
        }
        return;
    }
    }
}

void TDkView::TimerFired(TDkViewTimer timer) {
    // The view may be gone once the timer has done its work.
    TimerElapsed(timer);
    dk::MenuLoopTimerDone();
}

// --- A tool bar's own menu loop ------------------------------------------------------

void TDkView::EnterToolbarLoop(unsigned options) {
    if (!IsToolbar() || HasState(vsModal)) {
        return;
    }
    const bool accels = HasState(vsAccelsVisible);
    for (const TDkViewState flag : {vsMouseInWindow, vsShownOnce, vsOppositeSide, vsMouseUpPending,
                                    vsDropDownMode, vsClosing}) {
        SetState(flag, false);
    }
    SetState(vsAccelsVisible, accels);
    dk::MenuLoopOptions loopOptions;
    loopOptions.InitialMouseDown = (options & tloInitialMouseDown) != 0;
    loopOptions.DropDownMode = (options & tloDropDown) != 0;
    loopOptions.SelectFirst = (options & tloSelectFirst) != 0;
    const QPointer<TDkView> self(this);
    // Also when an exception leaves the loop.
    struct Tidy {
        const QPointer<TDkView>& view;
        ~Tidy() {
            if (view != nullptr) {
                view->CloseChildPopups();
                view->Select(nullptr);
                view->UpdateSelectionFromMouse(dk::CursorPos(), false);
                view->SetAcceleratorsVisible(false);
            }
        }
    };
    TDkDoneAction done;
    {
        const Tidy tidy{self};
        done = dk::RunMenuLoop(this, loopOptions);
    }
    dk::ProcessDoneAction(done);
}
