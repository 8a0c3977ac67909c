// The loops that move a dockable window between docks and the screen, and
// that size its floating form, each on the modal mouse loop.
#include "dockkit/common/DkCommon.h"
#include "dockkit/common/DkModalLoop.h"
#include "dockkit/docking/DkDockableWindow/DkDockableWindow.h"
#include "dockkit/docking/DkDragOutline.h"
#include "dockkit/docking/DkFloatingWindowParent.h"

#include "platform/gui/Metrics.h"
#include "platform/gui/MulDiv.h"

#include <QGuiApplication>
#include <QPointer>

#include <algorithm>
#include <memory>
#include <optional>

namespace {

QRect GlobalRect(const QWidget* widget) {
    return {widget->mapToGlobal(QPoint(0, 0)), widget->size()};
}

// Puts the window on the dock at its dock place: it joins the dock, or the
// dock it is on arranges its rows again.
void JoinDock(TDkCustomDockableWindow* w, TDkDock* dock) {
    if (w->parentWidget() != dock || !w->Docked()) {
        w->SetParentControl(dock);
    } else {
        dock->ArrangeRows();
    }
}

// A floating window's form moves there; another floats there.
void FloatAt(TDkCustomDockableWindow* w, QPoint pos) {
    w->SetFloatingPosition(pos);
    if (!w->Floating()) {
        w->SetFloatingState(true);
    }
}

// Where the cursor would put the window: a dock with a row, or the screen.
struct DragTarget {
    QPointer<TDkDock> Dock;
    int Row = 0;
    bool NewRow = false;
    int Pos = 0;
    plat::TRect Rect; // screen coordinates; empty: nothing to apply
};

} // namespace

class DkDragLoop {
public:
    explicit DkDragLoop(TDkCustomDockableWindow* window) : w_(window) {}
    void Run(QPoint start);

private:
    struct Candidate {
        QPointer<TDkDock> Dock;
        QSize Size; // the window's size on that dock, frame included
        std::vector<TDkDock::RowThickness> Rows;
    };

    void AddCandidate(TDkDock* dock);
    void CollectDocks(QWidget* control);
    void Step(QPoint cursor, bool ctrl);
    // The dock the cursor would put the window on (rect: the window there),
    // or null for the screen.
    const Candidate* HitCandidate(QPoint cursor, bool ctrl, bool first, QRect& rect) const;
    // The row and position on the dock hit; a window squeezed in its row
    // starts pushing it once moved far enough along it.
    void AimAtDock(const Candidate& hit, const QRect& rect, QPoint cursor, DragTarget& target);
    // The state at the start and the docks the window may go to.
    void Begin(QPoint start);
    bool HitsDock(const Candidate& c, QPoint cursor, QRect& rect) const;
    QRect DockedRect(const Candidate& c, QPoint cursor) const;
    void FindRow(const Candidate& c, const QRect& rect, DragTarget& target) const;
    plat::TRect FloatingRect(QPoint cursor) const;
    int Along(QPoint p, const TDkDock* dock) const;
    void Apply(const DragTarget& target, bool final);
    void Finish(bool accepted);

    TDkCustomDockableWindow* w_;
    QPointer<TDkDock> startDock_;
    int startRow_ = 0;
    int startPos_ = 0;
    bool startedFloating_ = false;
    QPoint startFloatPos_;
    QPoint press_;
    QPoint grab_;
    QSize startSize_;
    int gx_ = 0;
    int gy_ = 0;
    bool smooth_ = true;
    bool firstStep_ = true;
    bool squeezedAtStart_ = false;
    bool rowPushPossible_ = true;
    bool rowPush_ = false;
    QSize floatSize_;
    QPoint floatClientOffset_;
    QSize floatClientSize_;
    std::vector<Candidate> candidates_;
    DragTarget current_;
    std::unique_ptr<dk::TDkDragOutline> outline_;
    dk::ModalMouseLoop* loop_ = nullptr;
};

void DkDragLoop::AddCandidate(TDkDock* dock) {
    for (const Candidate& c : candidates_) {
        if (c.Dock == dock) {
            return;
        }
    }
    if (!w_->AcceptsDock(dock)) {
        return;
    }
    dock->StoreEffectivePositions();
    Candidate c;
    c.Dock = dock;
    c.Size = w_->LayoutChildren(false, TDkCustomDockableWindow::PlacementFor(dock), dock) +
             w_->DockedFrameSizeFor(dock);
    const int highest = dock->HighestRow(true);
    for (int row = 0; row <= highest; ++row) {
        c.Rows.push_back(dock->RowThicknessOf(row));
    }
    candidates_.push_back(std::move(c));
}

void DkDragLoop::CollectDocks(QWidget* control) {
    std::vector<QWidget*> children;
    for (QObject* object : control->children()) {
        auto* child = qobject_cast<QWidget*>(object);
        if (child != nullptr && !child->isWindow() && !child->isHidden() && child != w_ &&
            !w_->isAncestorOf(child)) {
            children.push_back(child);
        }
    }
    for (const TDkDockPosition position : {dpTop, dpBottom, dpLeft, dpRight}) {
        for (QWidget* child : children) {
            auto* dock = qobject_cast<TDkDock*>(child);
            if (dock != nullptr && dock->Position() == position) {
                AddCandidate(dock);
            }
        }
    }
    for (QWidget* child : children) {
        if (qobject_cast<TDkDock*>(child) == nullptr) {
            CollectDocks(child);
        }
    }
}

int DkDragLoop::Along(QPoint p, const TDkDock* dock) const {
    return dock != nullptr && dock->IsVertical() ? p.y() : p.x();
}

QRect DkDragLoop::DockedRect(const Candidate& c, QPoint cursor) const {
    // The cursor keeps its relative place in the window.
    const auto scaled = [](int grab, int size, int startSize) {
        return std::clamp(plat::MulDiv(grab, size, startSize), 0, std::max(size - 1, 0));
    };
    const QPoint offset(scaled(grab_.x(), c.Size.width(), startSize_.width()),
                        scaled(grab_.y(), c.Size.height(), startSize_.height()));
    return {cursor - offset, c.Size};
}

bool DkDragLoop::HitsDock(const Candidate& c, QPoint cursor, QRect& rect) const {
    const plat::TRect grown(GlobalRect(c.Dock).adjusted(-3, -3, 3, 3));
    const int x = cursor.x();
    const int y = cursor.y();
    if (x < grown.Left - (25 - gx_) || x >= grown.Right + gx_ || y < grown.Top - (25 - gy_) ||
        y >= grown.Bottom + gy_) {
        return false;
    }
    if (c.Dock->IsVertical() && (y < grown.Top || y >= grown.Bottom)) {
        return false;
    }
    rect = DockedRect(c, cursor);
    return !plat::IntersectRect(plat::TRect(rect), grown).IsEmpty();
}

void DkDragLoop::FindRow(const Candidate& c, const QRect& rect, DragTarget& target) const {
    const bool vertical = c.Dock->IsVertical();
    const QPoint origin = c.Dock->mapToGlobal(c.Dock->ClientOrigin());
    const int middle = vertical ? rect.x() + rect.width() / 2 - origin.x()
                                : rect.y() + rect.height() / 2 - origin.y();
    int start = 0;
    for (size_t row = 0; row < c.Rows.size(); ++row) {
        const int thickness = c.Rows[row].Thickness;
        if (thickness > 0 && middle < start + thickness) {
            const int zone = c.Rows[row].HasFullSize ? thickness / 2 : thickness / 4;
            const int local = middle - start;
            target.Row = static_cast<int>(row);
            if (local < zone) {
                target.NewRow = true;
            } else if (local >= thickness - zone) {
                target.Row = static_cast<int>(row) + 1;
            }
            return;
        }
        start += thickness;
    }
    target.Row = static_cast<int>(c.Rows.size());
    target.NewRow = true;
}

plat::TRect DkDragLoop::FloatingRect(QPoint cursor) const {
    const plat::TRect work = dk::MonitorRectForPoint(cursor, true);
    cursor.setX(std::clamp(cursor.x(), work.Left, std::max(work.Left, work.Right - 1)));
    cursor.setY(std::clamp(cursor.y(), work.Top, std::max(work.Top, work.Bottom - 1)));
    const auto scaled = [](int grab, int size, int startSize) {
        return plat::MulDiv(grab, size, startSize);
    };
    QPoint offset = floatClientOffset_ +
                    QPoint(scaled(grab_.x(), floatClientSize_.width(), startSize_.width()),
                           scaled(grab_.y(), floatClientSize_.height(), startSize_.height()));
    offset.setX(std::clamp(offset.x(), 0, std::max(floatSize_.width() - 1, 0)));
    offset.setY(std::clamp(offset.y(), 0, std::max(floatSize_.height() - 1, 0)));
    plat::TRect r(QRect(cursor - offset, floatSize_));
    // Kept in sight: it must overlap the work area less the frame and a margin.
    const QSize border = w_->FloatingBorderSize();
    plat::TRect sight = work;
    sight.Inflate(-(border.width() + 4), -(border.height() + 4));
    if (r.Bottom <= sight.Top) {
        r.Offset(0, sight.Top - r.Bottom + 1);
    }
    if (r.Top >= sight.Bottom) {
        r.Offset(0, sight.Bottom - r.Top - 1);
    }
    if (r.Right <= sight.Left) {
        r.Offset(sight.Left - r.Right + 1, 0);
    }
    if (r.Left >= sight.Right) {
        r.Offset(sight.Right - r.Left - 1, 0);
    }
    const int aboveClient = floatClientOffset_.y();
    const int highest = sight.Top + 4 - aboveClient;
    if (r.Top < highest) {
        r.Offset(0, highest - r.Top);
    }
    return r;
}

const DkDragLoop::Candidate* DkDragLoop::HitCandidate(QPoint cursor, bool ctrl, bool first,
                                                      QRect& rect) const {
    if (rowPush_) {
        // Pushing its row: the window stays on its dock.
        const Candidate* hit = nullptr;
        for (const Candidate& c : candidates_) {
            if (c.Dock == startDock_) {
                hit = &c;
                rect = DockedRect(c, cursor);
            }
        }
        return hit;
    }
    if (ctrl || (first && startedFloating_)) {
        return nullptr;
    }
    for (const Candidate& c : candidates_) {
        if (c.Dock.isNull() || !HitsDock(c, cursor, rect)) {
            continue;
        }
        bool accept = true;
        if (c.Dock->OnRequestDock) {
            c.Dock->OnRequestDock(c.Dock, w_, accept);
        }
        if (accept) {
            return &c;
        }
    }
    return nullptr;
}

void DkDragLoop::AimAtDock(const Candidate& hit, const QRect& rect, QPoint cursor,
                           DragTarget& target) {
    target.Dock = hit.Dock;
    target.Rect = plat::TRect(rect);
    const int moved = std::abs(Along(cursor, target.Dock) - Along(press_, target.Dock));
    if (rowPush_) {
        target.Row = startRow_;
    } else {
        FindRow(hit, rect, target);
        if (target.Dock != startDock_ || target.Row != startRow_ || target.NewRow) {
            rowPushPossible_ = false;
        } else if (squeezedAtStart_ && rowPushPossible_ && moved >= 10) {
            rowPush_ = true;
            startDock_->SetRowPushMode(true);
        }
    }
    const QPoint origin = target.Dock->mapToGlobal(target.Dock->ClientOrigin());
    target.Pos = Along(rect.topLeft() - origin, target.Dock);
    if (!rowPush_ && target.Dock == startDock_ && target.Row == startRow_ && !target.NewRow &&
        moved < 10) {
        // A small move along its own row leaves the window where it was.
        target.Pos = startPos_;
    }
}

void DkDragLoop::Step(QPoint cursor, bool ctrl) {
    const bool first = firstStep_;
    firstStep_ = false;
    DragTarget target;
    QRect rect;
    std::optional<Qt::CursorShape> cursorShape;
    if (const Candidate* hit = HitCandidate(cursor, ctrl, first, rect)) {
        AimAtDock(*hit, rect, cursor, target);
        if (rowPush_) {
            cursorShape = target.Dock->IsVertical() ? Qt::SizeVerCursor : Qt::SizeHorCursor;
        }
    } else {
        rowPushPossible_ = false;
        if (w_->DockMode() == dmCanFloat) {
            target.Rect = FloatingRect(cursor);
        } else {
            cursorShape = Qt::ForbiddenCursor;
        }
    }
    if (loop_ != nullptr) {
        loop_->SetCursor(cursorShape);
    }
    current_ = target;
    if (target.Rect.IsEmpty()) {
        if (outline_) {
            outline_->Move({}, {});
        }
        return;
    }
    if (smooth_) {
        Apply(target, false);
    } else if (outline_) {
        outline_->Move(target.Rect, target.Dock.isNull() ? w_->FloatingBorderSize() : QSize(1, 1));
    }
}

void DkDragLoop::Apply(const DragTarget& target, bool final) {
    if (target.Rect.IsEmpty()) {
        return;
    }
    if (!target.Dock.isNull()) {
        TDkDock* dock = target.Dock;
        dock->SetDraggedWindow(w_);
        dock->SetCommitPositions(final);
        w_->SetNewRowBefore(target.NewRow);
        w_->SetDockPlace(target.Row, target.Pos);
        struct Reset {
            TDkCustomDockableWindow* w;
            QPointer<TDkDock> dock;
            ~Reset() {
                w->SetNewRowBefore(false);
                if (!dock.isNull()) {
                    dock->SetCommitPositions(false);
                }
            }
        } reset{w_, dock};
        JoinDock(w_, dock);
        return;
    }
    FloatAt(w_, QPoint(target.Rect.Left, target.Rect.Top));
    // While the window follows the pointer it may stand partly off the
    // screen; where it is dropped it floats whole within the work area.
    w_->KeepOnScreen(!final);
}

void DkDragLoop::Finish(bool accepted) {
    outline_.reset();
    w_->SetSmoothDragging(false);
    if (accepted) {
        Apply(current_, true);
    } else if (smooth_) {
        // Cancelled: the window goes back where it was.
        if (!startDock_.isNull()) {
            w_->SetDockPlace(startRow_, startPos_);
            JoinDock(w_, startDock_);
        } else if (startedFloating_) {
            FloatAt(w_, startFloatPos_);
        }
    }
    if (w_->UseLastDock() && w_->Docked()) {
        w_->SetLastDock(w_->CurrentDock());
    }
    w_->FreeKeptForm();
    for (const Candidate& c : candidates_) {
        if (!c.Dock.isNull() && c.Dock->DraggedWindow() == w_) {
            c.Dock->SetDraggedWindow(nullptr);
            c.Dock->SetRowPushMode(false);
        }
    }
    if (!startDock_.isNull() && startDock_->DraggedWindow() == w_) {
        startDock_->SetDraggedWindow(nullptr);
        startDock_->SetRowPushMode(false);
    }
    if (w_->Floating()) {
        w_->SetDockPlace(startRow_, startPos_);
    }
}

void DkDragLoop::Begin(QPoint start) {
    startDock_ = w_->Docked() ? w_->CurrentDock() : nullptr;
    startRow_ = w_->DockRow();
    startPos_ = w_->DockPos();
    startedFloating_ = w_->Floating();
    startFloatPos_ = w_->FloatingPosition();
    press_ = start;
    grab_ = start - w_->mapToGlobal(QPoint(0, 0));
    startSize_ = w_->size();
    // A window without width or height gives -1 here, not a division by zero.
    gx_ = plat::MulDiv(25, grab_.x(), startSize_.width());
    gy_ = plat::MulDiv(25, grab_.y(), startSize_.height());
    if (!startDock_.isNull()) {
        startDock_->SetDraggedWindow(w_);
        startDock_->SetRowPushMode(false);
        startDock_->SetDraggedSqueezed(false);
        startDock_->ArrangeRows();
        squeezedAtStart_ = startDock_->DraggedSqueezed();
    }
    smooth_ = w_->SmoothDrag();
    w_->SetSmoothDragging(smooth_);

    if (!startDock_.isNull()) {
        AddCandidate(startDock_);
    }
    if (w_->DockMode() != dmCannotFloatOrChangeDocks) {
        std::vector<QPointer<QWidget>> forms{w_->ParentForm()};
        forms.insert(forms.end(), w_->DockForms().begin(), w_->DockForms().end());
        for (const auto& form : forms) {
            if (!form.isNull()) {
                CollectDocks(form);
            }
        }
    }
    floatClientSize_ = w_->LayoutChildren(false, pkFloating, nullptr);
    floatSize_ = floatClientSize_ + w_->FloatingFrameSize();
    const QSize border = w_->FloatingBorderSize();
    floatClientOffset_ = QPoint(border.width(), w_->FloatingFrameSize().height() - border.height());
}

void DkDragLoop::Run(QPoint start) {
    QPointer<TDkCustomDockableWindow> self(w_);
    Begin(start);
    const bool ctrl = QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ControlModifier);
    dk::FlushPaintMessages();
    if (!smooth_) {
        outline_ = std::make_unique<dk::TDkDragOutline>();
    }
    QWidget* capture = w_->ParentForm() != nullptr ? w_->ParentForm() : w_->window();
    dk::ModalMouseLoop loop(capture, std::nullopt);
    loop.KeepError(true);
    loop_ = &loop;
    // A window destroyed meanwhile (by a timer, say) ends the loop.
    const QMetaObject::Connection gone =
        QObject::connect(w_, &QObject::destroyed, [&loop] { loop.Cancel(); });
    dk::ModalMouseLoop::Tracking tracking;
    tracking.OnTrack = [this, self](QPoint pos, bool ctrlDown) {
        if (!self.isNull() && !self->Destroying()) {
            Step(pos, ctrlDown);
        }
    };
    auto end = dk::ModalLoopEnd::Cancelled;
    std::exception_ptr error;
    try {
        Step(start, ctrl);
        end = loop.RunTracking(tracking, start, ctrl);
        error = loop.TakeError();
    } catch (...) {
        error = std::current_exception();
    }
    QObject::disconnect(gone);
    loop_ = nullptr;
    if (self.isNull()) {
        return;
    }
    try {
        Finish(!error && end == dk::ModalLoopEnd::Accepted);
    } catch (...) {
        if (!error) {
            error = std::current_exception();
        }
    }
    if (error) {
        std::rethrow_exception(error);
    }
}

void TDkCustomDockableWindow::RunDragLoop(QPoint globalPos) {
    DkDragLoop(this).Run(globalPos);
}

// --- Sizing a floating window -------------------------------------------------------

namespace {

// The floating form's rectangle with its dragged edges moved by (dx, dy);
// the dragged edge goes back as far as the limits ask (a maximum of 0: none).
plat::TRect SizedRect(plat::TRect r, Qt::Edges edges, int dx, int dy, QSize min, QSize max) {
    const bool left = edges.testFlag(Qt::LeftEdge);
    const bool top = edges.testFlag(Qt::TopEdge);
    r.Left += left ? dx : 0;
    r.Right += edges.testFlag(Qt::RightEdge) ? dx : 0;
    r.Top += top ? dy : 0;
    r.Bottom += edges.testFlag(Qt::BottomEdge) ? dy : 0;
    const auto limitWidth = [&](int width) {
        if (left) {
            r.Left = r.Right - width;
        } else {
            r.Right = r.Left + width;
        }
    };
    const auto limitHeight = [&](int height) {
        if (top) {
            r.Top = r.Bottom - height;
        } else {
            r.Bottom = r.Top + height;
        }
    };
    if (r.Width() < min.width()) {
        limitWidth(min.width());
    }
    if (r.Height() < min.height()) {
        limitHeight(min.height());
    }
    if (max.width() > 0 && r.Width() > max.width()) {
        limitWidth(max.width());
    }
    if (max.height() > 0 && r.Height() > max.height()) {
        limitHeight(max.height());
    }
    return r;
}

} // namespace

class DkSizingLoop {
public:
    DkSizingLoop(TDkCustomDockableWindow* window, int edge) : w_(window), edge_(edge) {}
    void Run(QPoint start);

private:
    // The limits, the start and the cursor's confinement.
    void Begin(QPoint start, const QWidget* form);
    void Track(QPoint cursor);
    void Apply(const plat::TRect& rect);

    TDkCustomDockableWindow* w_;
    int edge_;
    QPoint start_;
    plat::TRect startRect_;
    plat::TRect current_;
    QSize frame_;
    QSize min_;
    QSize max_;
    bool smooth_ = true;
    std::optional<plat::TRect> confine_;
    std::unique_ptr<dk::TDkDragOutline> outline_;
};

void DkSizingLoop::Apply(const plat::TRect& rect) {
    w_->SetFloatingBounds(rect.ToQRect(), QSize(std::max(rect.Width() - frame_.width(), 0),
                                                std::max(rect.Height() - frame_.height(), 0)));
}

void DkSizingLoop::Track(QPoint cursor) {
    if (confine_) {
        cursor.setX(
            std::clamp(cursor.x(), confine_->Left, std::max(confine_->Left, confine_->Right - 1)));
        cursor.setY(
            std::clamp(cursor.y(), confine_->Top, std::max(confine_->Top, confine_->Bottom - 1)));
    }
    plat::TRect r = SizedRect(startRect_, dk::EdgesOfSizingHit(dk::HTLEFT + edge_),
                              cursor.x() - start_.x(), cursor.y() - start_.y(), min_, max_);
    w_->SizingTrack(r, startRect_);
    current_ = r;
    if (smooth_) {
        Apply(r);
    } else if (outline_) {
        outline_->Move(r, w_->FloatingBorderSize());
    }
}

void DkSizingLoop::Begin(QPoint start, const QWidget* form) {
    int minW = 0;
    int minH = 0;
    int maxW = 0;
    int maxH = 0;
    w_->ClientSizeLimits(minW, minH, maxW, maxH);
    frame_ = w_->FloatingFrameSize();
    min_ = QSize(frame_.width() + std::max(minW, 0), frame_.height() + std::max(minH, 0));
    max_ = QSize(maxW > 0 ? frame_.width() + maxW : 0, maxH > 0 ? frame_.height() + maxH : 0);
    start_ = start;
    startRect_ = plat::TRect(form->geometry());
    current_ = startRect_;
    smooth_ = w_->SmoothDrag();
    if (!dk::MultipleMonitorsInUse() && w_->ConfinesCursor()) {
        confine_ = dk::PrimaryMonitorRect(false);
    }
    w_->SizingBegin(edge_);
}

void DkSizingLoop::Run(QPoint start) {
    QPointer<TDkCustomDockableWindow> self(w_);
    QPointer<TDkFloatingWindowParent> form = w_->FloatingParent();
    if (form.isNull() || !w_->Resizable()) {
        return;
    }
    Begin(start, form);
    std::exception_ptr error;
    try {
        dk::FlushPaintMessages();
        if (!smooth_) {
            outline_ = std::make_unique<dk::TDkDragOutline>();
            outline_->Move(startRect_, w_->FloatingBorderSize());
        }
        dk::ModalMouseLoop loop(form, std::nullopt);
        loop.KeepError(true);
        const QMetaObject::Connection gone =
            QObject::connect(w_, &QObject::destroyed, [&loop] { loop.Cancel(); });
        dk::ModalMouseLoop::Tracking tracking;
        tracking.OnTrack = [this, self](QPoint pos, bool) {
            if (!self.isNull() && !self->Destroying()) {
                Track(pos);
            }
        };
        const dk::ModalLoopEnd end = loop.RunTracking(tracking, start, false);
        QObject::disconnect(gone);
        error = loop.TakeError();
        outline_.reset();
        if (!error && !self.isNull() && !form.isNull()) {
            if (end == dk::ModalLoopEnd::Accepted) {
                Apply(current_);
                w_->SizingApply();
                w_->KeepOnScreen(false);
            } else if (smooth_) {
                Apply(startRect_);
            }
        }
    } catch (...) {
        error = std::current_exception();
    }
    outline_.reset();
    if (!self.isNull()) {
        w_->SizingEnd();
    }
    if (error) {
        std::rethrow_exception(error);
    }
}

void TDkCustomDockableWindow::RunSizingLoop(int edge, QPoint globalPos) {
    if (edge < 0 || edge > dk::HTBOTTOMRIGHT - dk::HTLEFT) {
        return;
    }
    DkSizingLoop(this, edge).Run(globalPos);
}
