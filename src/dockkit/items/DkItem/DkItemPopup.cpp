// How an item opens its pop-up: the pop-up events, the window, its place on
// the right monitor and its showing; and Popup, which runs the menu loop on
// a pop-up of its own.

#include "dockkit/common/DkCommon.h"
#include "dockkit/common/DkPopupAnimation.h"
#include "dockkit/items/DkItemViewer.h"
#include "dockkit/menus/DkMenuLoop.h"
#include "dockkit/menus/DkPopupWindow.h"

#include "platform/gui/Metrics.h"
#include "platform/gui/ShowHint.h"

#include <QApplication>
#include <QWindow>

#include <memory>

namespace {

// The first pop-up of the process plays its sound after it shows.
bool& FirstPopupShown() {
    static bool shown = false;
    return shown;
}

// The window the pop-up belongs to on screen (needed where the window
// system places pop-ups relative to it).
void SetTransientParent(QWidget* popup, TDkView* parentView) {
    QWidget* owner = parentView != nullptr && parentView->Window() != nullptr
                         ? parentView->Window()->window()
                         : QApplication::activeWindow();
    if (owner == nullptr || owner->windowHandle() == nullptr) {
        return;
    }
    popup->winId();
    if (QWindow* handle = popup->windowHandle()) {
        handle->setTransientParent(owner->windowHandle());
    }
}

plat::TRect ScreenRectOf(const TDkView* view, const plat::TRect& client) {
    const QWidget* window = view->Window();
    const QPoint origin = window->mapToGlobal(window->contentsRect().topLeft());
    plat::TRect r = client;
    r.Offset(origin.x(), origin.y());
    return r;
}

} // namespace

void dk::PlacePopup(TDkView* parentView, TDkView* popupView, TDkPopupPositionRec& rec) {
    dk::PopupOpener opener;
    opener.Present = parentView != nullptr;
    opener.Vertical = parentView != nullptr && parentView->IsVertical();
    if (parentView != nullptr && !rec.PositionAsSubmenu) {
        for (int i = 0; i < parentView->ViewerCount(); ++i) {
            const TDkItemViewer* v = parentView->Viewers(i);
            if (v->Show) {
                opener.ViewerRects.push_back(ScreenRectOf(parentView, v->BoundsRect));
            }
        }
    }
    if (dk::ArrangePopup(opener, rec) && popupView != nullptr) {
        popupView->SetState(vsOppositeSide, true);
    }
}

TDkPopupWindow* TDkCustomItem::CreatePopupWindow(TDkView* parentView, TDkCustomItem* shownItem,
                                                 bool customizing) {
    return new TDkPopupWindow(parentView, shownItem, customizing);
}

void TDkCustomItem::GetPopupPosition(TDkView* parentView, TDkPopupWindow* popupWindow,
                                     TDkPopupPositionRec& rec) {
    dk::PlacePopup(parentView, popupWindow != nullptr ? popupWindow->View() : nullptr, rec);
}

namespace {

// Where the pop-up starts before the placement adjusts it: at the point
// (aligned), beside a submenu's item, below a drop-down's item (or left of
// it on a vertical tool bar), or for a chevron's pop-up ending at its right.
void SetStartPosition(TDkPopupPositionRec& rec, const TDkView* parentView, bool chevron,
                      QPoint popupPoint) {
    const plat::TRect& p = rec.ParentItemRect;
    if (parentView == nullptr) {
        rec.X = popupPoint.x();
        rec.Y = popupPoint.y();
        if (rec.Alignment == dkpaRight) {
            rec.X -= rec.W;
        } else if (rec.Alignment == dkpaCenter) {
            rec.X -= rec.W / 2;
        }
    } else if (rec.PositionAsSubmenu) {
        rec.X = p.Right - rec.NCSize.x();
        rec.Y = p.Top - rec.NCSize.y();
    } else if (parentView->IsVertical()) {
        rec.X = p.Left - rec.W;
        rec.Y = p.Top;
    } else if (chevron) {
        rec.X = p.Right - rec.W;
        rec.Y = p.Bottom;
    } else {
        rec.Y = p.Bottom;
        rec.X = plat::GetSystemMetrics(plat::SM_MENUDROPALIGNMENT) != 0 ? p.Right - rec.W : p.Left;
    }
}

// The opener's item and monitor on the screen (a context menu's item is its
// point).
void SetOpenerRects(TDkPopupPositionRec& rec, const TDkView* parentView,
                    const TDkItemViewer* parentViewer, QPoint popupPoint) {
    if (parentView != nullptr) {
        rec.ParentItemRect = ScreenRectOf(parentView, parentViewer->BoundsRect);
        rec.MonitorRect = !parentView->MonitorRect().IsEmpty()
                              ? parentView->MonitorRect()
                              : dk::MonitorRectForRect(rec.ParentItemRect, true);
    } else {
        rec.ParentItemRect =
            plat::TRect(popupPoint.x(), popupPoint.y(), popupPoint.x(), popupPoint.y());
        rec.MonitorRect = dk::MonitorRectForPoint(popupPoint, true);
    }
}

// A tool bar's header shows pushed before its pop-up appears: only its part
// of the bar is painted now.
void PaintOpenerPushed(TDkView* parentView, TDkItemViewer* parentViewer) {
    parentView->InvalidateViewer(parentViewer);
    if (QWidget* bar = parentView->Window(); bar != nullptr && parentViewer->Show) {
        bar->repaint(parentViewer->BoundsRect.ToQRect().translated(bar->contentsRect().topLeft()));
    }
}

// Shows the pop-up with the "MenuPopup" sound: the first pop-up of the
// process plays it after it shows.
void ShowWithSound(TDkPopupWindow* popup, bool playSound) {
    const QString sound = QStringLiteral("MenuPopup");
    if (playSound && dk::SoundSchemeEntrySet(sound)) {
        if (FirstPopupShown()) {
            dk::PlaySchemeSound(sound);
            popup->show();
        } else {
            popup->show();
            popup->repaint();
            dk::PlaySchemeSound(sound);
        }
    } else {
        popup->show();
    }
    FirstPopupShown() = true;
}

} // namespace

bool TDkCustomItem::FirePopupEvents(TDkView* parentView, TDkItemViewer* parentViewer) {
    const QPointer<TDkCustomItem> self(this);
    const QPointer<TDkView> parent(parentView);
    // The pop-up events may change the tree; whatever they removed is not
    // opened.
    const auto gone = [&] {
        return self == nullptr || (parentView != nullptr &&
                                   (parent == nullptr || parentView->IndexOf(parentViewer) < 0 ||
                                    parentViewer->Item() != this));
    };
    if (TDkCustomItem* source = LinkSubitems()) {
        source->DoPopup(source, true);
        if (gone()) {
            return false;
        }
    }
    DoPopup(this, false);
    return !gone();
}

std::unique_ptr<TDkPopupWindow> TDkCustomItem::MakePopupWindow(TDkView* parentView,
                                                               bool customizing) {
    TDkView* chevronParent = GetChevronParentView();
    TDkCustomItem* shown = chevronParent != nullptr && chevronParent->ParentItem() != nullptr
                               ? chevronParent->ParentItem()
                               : this;
    std::unique_ptr<TDkPopupWindow> window(TakeKeptPopupWindow(parentView, shown, customizing));
    if (window == nullptr) {
        window.reset(CreatePopupWindow(parentView, shown, customizing));
    }
    if (chevronParent != nullptr) {
        TDkPopupView* view = window->View();
        view->SetChevronParentView(chevronParent);
        view->SetIsToolbar(true);
        view->SetOptions((view->Options() & ~voShowHints) |
                         (chevronParent->Options() & voShowHints));
        window->SetColor(plat::clBtnFace);
    }
    return window;
}

TDkPopupWindow* TDkCustomItem::CreatePopup(TDkView* parentView, TDkItemViewer* parentViewer,
                                           bool positionAsSubmenu, bool selectFirstItem,
                                           bool customizing, QPoint popupPoint,
                                           TDkPopupAlignment alignment) {
    if (!FirePopupEvents(parentView, parentViewer)) {
        return nullptr;
    }
    TDkPopupPositionRec rec;
    rec.PositionAsSubmenu = positionAsSubmenu;
    rec.Alignment = alignment;
    rec.Opposite = parentView != nullptr && parentView->HasState(vsOppositeSide);
    if (parentView != nullptr && parentView->OpenWindow() != nullptr) {
        // One pop-up per view: a caller that did not close the last one.
        parentView->CloseChildPopups();
    }
    std::unique_ptr<TDkPopupWindow> window = MakePopupWindow(parentView, customizing);
    TDkPopupView* view = window->View();
    const bool chevron = GetChevronParentView() != nullptr;

    SetOpenerRects(rec, parentView, parentViewer, popupPoint);
    view->SetMonitorRect(rec.MonitorRect);
    if (!chevron) {
        const QMargins frame = window->contentsMargins();
        view->SetMaxHeight(rec.MonitorRect.Height() - frame.top() - frame.bottom());
    }
    if (selectFirstItem) {
        view->Select(view->FirstSelectable());
    }
    view->UpdatePositions();
    rec.W = window->width();
    rec.H = window->height();
    const QMargins shownFrame = window->contentsMargins();
    rec.NCSize = QPoint(shownFrame.left(), shownFrame.top());
    SetStartPosition(rec, parentView, chevron, popupPoint);
    rec.PlaySound = true;
    GetPopupPosition(parentView, window.get(), rec);
    window->SetAnimationDirection(rec.AnimDir);
    window->setGeometry(rec.X, rec.Y, rec.W, rec.H);

    TDkPopupWindow* popup = window.release();
    if (parentView != nullptr) {
        parentView->SetOpenPopup(parentViewer, view, popup);
        if (parentView->IsToolbar()) {
            PaintOpenerPushed(parentView, parentViewer);
        }
    }
    SetTransientParent(popup, parentView);
    // The hint of the item that opened it would cover its first row.
    plat::CancelHint();
    const QPointer<TDkPopupWindow> guard(popup);
    view->SetState(vsShownOnce, true);
    ShowWithSound(popup, rec.PlaySound);
    return guard;
}

void TDkCustomItem::KeepPopupWindow(TDkPopupWindow* window) {
    if (window == nullptr) {
        return;
    }
    // Kept closed: its submenus go, as they would with the window.
    window->View()->CloseChildPopups();
    window->hide();
    if (window == keptPopup_) {
        return;
    }
    delete keptPopup_.data();
    keptPopup_ = window;
}

TDkPopupWindow* TDkCustomItem::TakeKeptPopupWindow(TDkView* parentView, TDkCustomItem* shownItem,
                                                   bool customizing) {
    auto* kept = qobject_cast<TDkPopupWindow*>(keptPopup_.data());
    keptPopup_ = nullptr;
    if (kept == nullptr) {
        return nullptr;
    }
    TDkPopupView* view = kept->View();
    // Only a pop-up at a point of the same subitems, not being customized,
    // takes it; it opens as a new one would: in today's menu font, nothing
    // selected, scrolled to the top, no loop state left.
    if (parentView != nullptr || customizing || view->ParentItem() != shownItem ||
        view->ChevronParentView() != nullptr || kept->isVisible()) {
        delete kept;
        return nullptr;
    }
    kept->TakeFont();
    view->Select(nullptr);
    view->SetScrollOffset(0);
    view->ResetModal();
    for (const TDkViewState state :
         {vsModal, vsMouseInWindow, vsMouseUpPending, vsAccelsVisible, vsDropDownMode, vsClosing}) {
        view->SetState(state, false);
    }
    return kept;
}

void TDkCustomItem::Popup(int x, int y, bool trackRightButton, TDkPopupAlignment alignment) {
    QPointer<TDkPopupWindow> window(
        CreatePopup(nullptr, nullptr, false, false, false, QPoint(x, y), alignment));
    if (window == nullptr) {
        return;
    }
    // When the loop ends the window is hidden and kept for the next time
    // this menu opens at a point; when an exception ends it, it goes (unless
    // something deleted it meanwhile).
    struct Free {
        QPointer<TDkPopupWindow>& window;
        ~Free() { delete window.data(); }
    };
    TDkDoneAction done;
    {
        const Free free{window};
        window->View()->SetState(vsMouseUpPending, true);
        dk::MenuLoopOptions options;
        options.TrackRightButton = trackRightButton;
        const QPointer<TDkCustomItem> self(this);
        done = dk::RunMenuLoop(window->View(), options);
        if (window != nullptr && self != nullptr) {
            KeepPopupWindow(window);
            window = nullptr;
        }
    }
    dk::ProcessDoneAction(done);
}
