// Resizing a floating tool bar: its frame jumps between the layouts the bar
// can have, one per number of rows, rather than following the pointer.
#include "dockkit/bars/DkToolbar/DkToolbar.h"

#include "dockkit/common/DkNcWidget.h"

#include <algorithm>
#include <cstdlib>

namespace dk {

std::vector<ResizeStep> BuildResizeSteps(const std::function<ResizeStep(int width)>& layout,
                                         int minWidth) {
    std::vector<ResizeStep> steps{layout(0)};
    int candidate = steps.front().Size.width() - 1;
    while (candidate >= minWidth) {
        const ResizeStep step = layout(candidate);
        if (step.Size.width() <= candidate) {
            if (steps.back().Rows == step.Rows) {
                steps.back() = step;
            } else {
                steps.push_back(step);
            }
        }
        // A layout wider than asked for (its widest item does not wrap)
        // must not make the walk stand still.
        candidate = std::min(step.Size.width(), candidate) - 1;
    }
    return steps;
}

ResizeStepTracker::ResizeStepTracker(std::vector<ResizeStep> steps, bool horizontal, QSize start)
    : steps_(std::move(steps)), horizontal_(horizontal),
      start_(horizontal ? start.width() : start.height()) {
    std::stable_sort(
        steps_.begin(), steps_.end(),
        [this](const ResizeStep& a, const ResizeStep& b) { return Along(a) > Along(b); });
    if (steps_.empty()) {
        steps_.push_back(ResizeStep{start, 1});
    }
    // The step of the size at the press, and how near its neighbours are.
    size_t current = 0;
    for (size_t i = 1; i < steps_.size(); ++i) {
        if (std::abs(Along(steps_[i]) - start_) < std::abs(Along(steps_[current]) - start_)) {
            current = i;
        }
    }
    for (const size_t neighbour : {current - 1, current + 1}) {
        if (neighbour < steps_.size()) {
            snap_ = std::min(snap_, std::abs(Along(steps_[neighbour]) - start_) - 1);
        }
    }
    snap_ = std::max(snap_, 0);
}

int ResizeStepTracker::Along(const ResizeStep& step) const {
    return horizontal_ ? step.Size.width() : step.Size.height();
}

const ResizeStep& ResizeStepTracker::Track(int request) {
    const int side = request < start_ ? -1 : request > start_ ? 1 : 0;
    const bool crossed = side != 0 && lastSide_ != 0 && side != lastSide_;
    if (side != 0) {
        lastSide_ = side;
    }
    // Near the size at the press the bar stays put until it has changed
    // once, and again whenever the pointer crosses back over that size.
    if ((!changed_ || crossed) && request >= start_ - snap_ && request < start_ + snap_) {
        request = start_;
    }
    const ResizeStep* chosen = nullptr;
    if (request <= start_) {
        for (const ResizeStep& step : steps_) {
            if (Along(step) <= request) {
                chosen = &step;
                break;
            }
        }
        if (chosen == nullptr) {
            chosen = &steps_.back();
        }
    } else {
        for (auto it = steps_.rbegin(); it != steps_.rend(); ++it) {
            if (Along(*it) > request) {
                chosen = &*it;
                break;
            }
        }
        if (chosen == nullptr) {
            chosen = &steps_.front();
        }
    }
    if (Along(*chosen) != start_) {
        changed_ = true;
    }
    return *chosen;
}

bool ResizeStepTracker::SingleRow(const ResizeStep& step) const {
    return &step == (horizontal_ ? &steps_.front() : &steps_.back());
}

} // namespace dk

void TDkCustomToolbar::SizingBegin(int edge) {
    sizing_.reset();
    if (view_ == nullptr) {
        return;
    }
    const QMargins margins = view_->GetMargins(dkvoFloating);
    std::vector<dk::ResizeStep> steps = dk::BuildResizeSteps(
        [this](int width) {
            const TDkView::Layout layout =
                view_->MeasurePositions(dkvoFloating, width, 0, dk::kChevronSize);
            return dk::ResizeStep{layout.Size, layout.Lines};
        },
        margins.left() + margins.right());
    const QSize frame = FloatingFrameSize();
    for (dk::ResizeStep& step : steps) {
        step.Size += frame;
    }
    sizingEdges_ = dk::EdgesOfSizingHit(dk::HTLEFT + edge);
    const bool horizontal = (sizingEdges_ & (Qt::LeftEdge | Qt::RightEdge)) != 0;
    const QSize start = FloatingParent() != nullptr ? FloatingParent()->size() : size() + frame;
    sizingWidth_ = floatingWidth_;
    sizing_ = std::make_unique<dk::ResizeStepTracker>(std::move(steps), horizontal, start);
}

void TDkCustomToolbar::SizingTrack(plat::TRect& rect, const plat::TRect& startRect) {
    if (!sizing_) {
        return;
    }
    const bool horizontal = (sizingEdges_ & (Qt::LeftEdge | Qt::RightEdge)) != 0;
    const dk::ResizeStep& step = sizing_->Track(horizontal ? rect.Width() : rect.Height());
    plat::TRect r = startRect;
    if (horizontal) {
        if (sizingEdges_.testFlag(Qt::LeftEdge)) {
            r.Left = r.Right - step.Size.width();
        } else {
            r.Right = r.Left + step.Size.width();
        }
        r.Bottom = r.Top + step.Size.height();
    } else {
        if (sizingEdges_.testFlag(Qt::TopEdge)) {
            r.Top = r.Bottom - step.Size.height();
        } else {
            r.Bottom = r.Top + step.Size.height();
        }
        r.Right = r.Left + step.Size.width();
    }
    rect = r;
    const int width =
        sizing_->SingleRow(step) ? 0 : step.Size.width() - FloatingFrameSize().width();
    if (width != sizingWidth_) {
        sizingWidth_ = width;
        // Dragged live, the bar shows the layout it gets.
        LayoutView();
    }
}

void TDkCustomToolbar::SizingApply() {
    if (sizing_) {
        SetFloatingWidth(sizingWidth_);
    }
}

void TDkCustomToolbar::SizingEnd() {
    const bool was = static_cast<bool>(sizing_);
    sizing_.reset();
    if (was) {
        ArrangeContent();
    }
}

const std::vector<dk::ResizeStep>* TDkCustomToolbar::ResizeSteps() const {
    return sizing_ ? &sizing_->Steps() : nullptr;
}
