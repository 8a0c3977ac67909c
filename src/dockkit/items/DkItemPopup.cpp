// How an item opens its pop-up: the pop-up events, the window, its place on
// the right monitor and its showing; and Popup, which runs the menu loop on
// a pop-up of its own.

#include "dockkit/common/DkCommon.h"
#include "dockkit/common/DkPopupAnimation.h"
#include "dockkit/items/DkItemViewer.h"
#include "dockkit/items/DkMenuLoop.h"
#include "dockkit/items/DkPopupWindow.h"

#include "platform/gui/Metrics.h"

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

bool Overlap(const plat::TRect& a, const plat::TRect& b) {
    return !plat::IntersectRect(a, b).IsEmpty();
}

} // namespace

namespace dk {

void PlacePopup(TDkView* parentView, TDkView* popupView, TDkPopupPositionRec& rec) {
    const plat::TRect& m = rec.MonitorRect;
    const plat::TRect& p = rec.ParentItemRect;
    int& x = rec.X;
    int& y = rec.Y;
    const int w = rec.W;
    const int h = rec.H;
    const bool vertical = parentView != nullptr && parentView->IsVertical();

    // Below the bottom: above the item (a submenu: ending at its bottom).
    if (y + h > m.Bottom && !vertical) {
        const int above = (rec.PositionAsSubmenu ? p.Bottom + rec.NCSize.y() : p.Top) - h;
        if (above >= m.Top) {
            y = above;
        }
    }
    if (y + h > m.Bottom) {
        y = m.Bottom - h;
    }
    if (y < m.Top) {
        y = m.Top;
    }

    if (rec.PositionAsSubmenu) {
        for (;;) {
            if (!rec.Opposite && x + w <= m.Right) {
                break;
            }
            const int other = (parentView != nullptr ? p.Left + rec.NCSize.x() : x) - w;
            if (rec.Opposite && other < m.Left) {
                rec.Opposite = false;
                continue;
            }
            if (popupView != nullptr) {
                popupView->SetState(vsOppositeSide, true);
            }
            x = other;
            break;
        }
        x = std::max(x, m.Left);
    } else {
        if (parentView == nullptr && rec.Alignment == dkpaRight && x < m.Left) {
            x += w;
        }
        if (x + w > m.Right) {
            x = parentView != nullptr || rec.Alignment != dkpaLeft ? m.Right - w : x - w;
        }
        x = std::max(x, m.Left);
        // How many of the opening view's viewers a place would hide.
        const auto covered = [&](int atX, int atY) {
            if (parentView == nullptr) {
                return 0;
            }
            const plat::TRect area(atX, atY, atX + w, atY + h);
            int count = 0;
            for (int i = 0; i < parentView->ViewerCount(); ++i) {
                const TDkItemViewer* v = parentView->Viewers(i);
                const plat::TRect r = ScreenRectOf(parentView, v->BoundsRect);
                if (v->Show && plat::IntersectRect(r, area) == r && !r.IsEmpty()) {
                    ++count;
                }
            }
            return count;
        };
        const auto overlapsItem = [&](int atX, int atY) {
            return Overlap(plat::TRect(atX, atY, atX + w, atY + h), p);
        };
        const auto better = [&](int toX, int toY) {
            const int here = covered(x, y);
            const int there = covered(toX, toY);
            return there < here || (there == here && overlapsItem(x, y));
        };
        if (vertical) {
            if (p.Right + w <= m.Right && better(p.Right, y)) {
                x = p.Right;
            }
            if (overlapsItem(x, y)) {
                y = p.Bottom + h <= m.Bottom ? p.Bottom : p.Top - h;
                y = std::max(y, m.Top);
            }
        } else {
            const int above = p.Top - h;
            if (above >= m.Top && better(x, above)) {
                y = above;
            }
            if (overlapsItem(x, y)) {
                x = p.Right + w <= m.Right ? p.Right : p.Left - w;
                x = std::max(x, m.Left);
            }
        }
    }

    if (rec.PositionAsSubmenu) {
        rec.AnimDir = (x + (x + w)) / 2 < (p.Left + p.Right) / 2 ? adRightToLeft : adLeftToRight;
    } else {
        rec.AnimDir = 0;
        if (y >= p.Bottom) {
            rec.AnimDir |= adTopToBottom;
        } else if (y + h <= p.Top) {
            rec.AnimDir |= adBottomToTop;
        }
        if (x >= p.Right) {
            rec.AnimDir |= adLeftToRight;
        } else if (x + w <= p.Left) {
            rec.AnimDir |= adRightToLeft;
        }
    }
}

} // namespace dk

TDkPopupWindow* TDkCustomItem::CreatePopupWindow(TDkView* parentView, TDkCustomItem* shownItem,
                                                 bool customizing) {
    return new TDkPopupWindow(parentView, shownItem, customizing);
}

void TDkCustomItem::GetPopupPosition(TDkView* parentView, TDkPopupWindow* popupWindow,
                                     TDkPopupPositionRec& rec) {
    dk::PlacePopup(parentView, popupWindow != nullptr ? popupWindow->View() : nullptr, rec);
}

TDkPopupWindow* TDkCustomItem::CreatePopup(TDkView* parentView, TDkItemViewer* parentViewer,
                                           bool positionAsSubmenu, bool selectFirstItem,
                                           bool customizing, QPoint popupPoint,
                                           TDkPopupAlignment alignment) {
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
            return nullptr;
        }
    }
    DoPopup(this, false);
    if (gone()) {
        return nullptr;
    }

    TDkView* chevronParent = GetChevronParentView();
    TDkCustomItem* shown = chevronParent != nullptr && chevronParent->ParentItem() != nullptr
                               ? chevronParent->ParentItem()
                               : this;
    TDkPopupPositionRec rec;
    rec.PositionAsSubmenu = positionAsSubmenu;
    rec.Alignment = alignment;
    rec.Opposite = parentView != nullptr && parentView->HasState(vsOppositeSide);

    if (parentView != nullptr && parentView->OpenWindow() != nullptr) {
        // One pop-up per view: a caller that did not close the last one.
        parentView->CloseChildPopups();
    }
    std::unique_ptr<TDkPopupWindow> window(TakeKeptPopupWindow(parentView, shown, customizing));
    if (window == nullptr) {
        window.reset(CreatePopupWindow(parentView, shown, customizing));
    }
    TDkPopupView* view = window->View();
    if (chevronParent != nullptr) {
        view->SetChevronParentView(chevronParent);
        view->SetIsToolbar(true);
        view->SetOptions((view->Options() & ~voShowHints) |
                         (chevronParent->Options() & voShowHints));
        window->SetColor(plat::clBtnFace);
    }

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
    view->SetMonitorRect(rec.MonitorRect);
    if (chevronParent == nullptr) {
        const QMargins frame = window->contentsMargins();
        view->SetMaxHeight(rec.MonitorRect.Height() - frame.top() - frame.bottom());
    }
    if (selectFirstItem) {
        view->Select(view->FirstSelectable());
    }
    view->UpdatePositions();
    rec.W = window->width();
    rec.H = window->height();
    const QMargins frame = window->contentsMargins();
    rec.NCSize = QPoint(frame.left(), frame.top());

    const plat::TRect& p = rec.ParentItemRect;
    if (parentView == nullptr) {
        rec.X = popupPoint.x();
        rec.Y = popupPoint.y();
        if (alignment == dkpaRight) {
            rec.X -= rec.W;
        } else if (alignment == dkpaCenter) {
            rec.X -= rec.W / 2;
        }
    } else if (positionAsSubmenu) {
        rec.X = p.Right - rec.NCSize.x();
        rec.Y = p.Top - rec.NCSize.y();
    } else if (chevronParent != nullptr) {
        if (parentView->IsVertical()) {
            rec.X = p.Left - rec.W;
            rec.Y = p.Top;
        } else {
            rec.X = p.Right - rec.W;
            rec.Y = p.Bottom;
        }
    } else if (parentView->IsVertical()) {
        rec.X = p.Left - rec.W;
        rec.Y = p.Top;
    } else {
        rec.Y = p.Bottom;
        rec.X = plat::GetSystemMetrics(plat::SM_MENUDROPALIGNMENT) != 0 ? p.Right - rec.W : p.Left;
    }
    rec.PlaySound = true;
    GetPopupPosition(parentView, window.get(), rec);
    window->SetAnimationDirection(rec.AnimDir);
    window->setGeometry(rec.X, rec.Y, rec.W, rec.H);

    TDkPopupWindow* popup = window.release();
    if (parentView != nullptr) {
        parentView->SetOpenPopup(parentViewer, view, popup);
        if (parentView->IsToolbar()) {
            // The header shows pushed before the pop-up appears: only its
            // part of the bar is painted now.
            parentView->InvalidateViewer(parentViewer);
            if (QWidget* bar = parentView->Window(); bar != nullptr && parentViewer->Show) {
                bar->repaint(
                    parentViewer->BoundsRect.ToQRect().translated(bar->contentsRect().topLeft()));
            }
        }
    }
    SetTransientParent(popup, parentView);

    const QPointer<TDkPopupWindow> guard(popup);
    view->SetState(vsShownOnce, true);
    const QString sound = QStringLiteral("MenuPopup");
    if (rec.PlaySound && dk::SoundSchemeEntrySet(sound)) {
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
    return guard;
}

void TDkCustomItem::KeepPopupWindow(TDkPopupWindow* window) {
    if (window == nullptr || window == keptPopup_) {
        if (window != nullptr) {
            window->hide();
        }
        return;
    }
    window->hide();
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
    // takes it; it opens as a new one would: nothing selected, scrolled to
    // the top, no loop state left.
    if (parentView != nullptr || customizing || view->ParentItem() != shownItem ||
        view->ChevronParentView() != nullptr || kept->isVisible()) {
        delete kept;
        return nullptr;
    }
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
    // The window goes when the loop ends, also when an exception ends it (or
    // earlier when something deleted it meanwhile).
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
        done = dk::RunMenuLoop(window->View(), options);
    }
    dk::ProcessDoneAction(done);
}
