// The layout of a view as the widget sees it: the viewers' flags and sizes
// go into the arrangement (DkViewArrange.h), whose places come back into the
// viewers and the controls of control items.

#include "dockkit/items/DkItemViewer.h"
#include "dockkit/items/DkView/DkView.h"
#include "dockkit/items/DkViewArrange.h"

#include <QImage>
#include <QPainter>
#include <QWidget>

#include <algorithm>

namespace {

// The marker a control carries while the layout keeps it out of sight, so
// that the next layout still counts it as visible.
const char* const kHiddenByLayout = "dkHiddenByLayout";

QImage& MeasuringImage() {
    thread_local QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
    return image;
}

bool ControlVisible(const QWidget* control) {
    return !control->isHidden() || control->property(kHiddenByLayout).toBool();
}

} // namespace

TDkView::Layout TDkView::CalculatePositions(bool canMoveControls, TDkViewOrientation orientation,
                                            int wrapOffset, int chevronOffset, int chevronSize) {
    return RunLayout(canMoveControls, true, orientation, wrapOffset, chevronOffset, chevronSize);
}

TDkView::Layout TDkView::MeasurePositions(TDkViewOrientation orientation, int wrapOffset,
                                          int chevronOffset, int chevronSize) {
    return RunLayout(false, false, orientation, wrapOffset, chevronOffset, chevronSize);
}

TDkView::Layout TDkView::RunLayout(bool canMoveControls, bool store, TDkViewOrientation orientation,
                                   int wrapOffset, int chevronOffset, int chevronSize) {
    dk::ViewLayoutInput input;
    input.Vertical = orientation == dkvoVertical;
    input.Toolbar = isToolbar_;
    input.HasChevron = GetChevronItem() != nullptr;
    input.ChevronPopup = chevronParentView_ != nullptr;
    input.WrapOffset = wrapOffset;
    input.ChevronOffset = chevronOffset;
    input.ChevronSize = chevronSize;
    input.Margins = GetMargins(orientation);
    input.LastLineThickness = store ? LastLineThickness() : 0;
    input.MaxHeight = maxHeight_;
    input.ScrollOffset = scrollOffset_;
    input.Viewers = LayoutEntries();
    MeasureViewers(input.Viewers, dk::ShownViewers(input.Viewers, input.HasChevron),
                   canMoveControls);
    if (usePriorityList_ && input.HasChevron && chevronOffset > 0) {
        // The least used first: the priority list from its end.
        for (auto it = priority_.rbegin(); it != priority_.rend(); ++it) {
            input.HidingOrder.push_back(IndexOf(*it));
        }
    }
    const dk::ViewLayoutResult result = dk::ArrangeViewers(input);
    const Layout layout{QSize(result.Width, result.Height), result.Lines, false};
    if (!store) {
        return layout;
    }
    scrollOffset_ = result.ScrollOffset;
    showUpArrow_ = result.UpArrow;
    showDownArrow_ = result.DownArrow;
    if (canMoveControls && input.HasChevron && !viewers_.empty()) {
        GetChevronItem()->SetEnabled(result.ChevronEnabled);
    }
    baseSize_ = result.BaseSize;
    lineCount_ = result.Lines;
    return Layout{layout.Size, layout.Lines, ApplyPlacements(result.Viewers, canMoveControls)};
}

std::vector<dk::ViewerEntry> TDkView::LayoutEntries() const {
    const size_t count = viewers_.size();
    const bool hasChevron = GetChevronItem() != nullptr;
    std::vector<dk::ViewerEntry> entries(count);
    for (size_t i = 0; i < count; ++i) {
        const TDkCustomItem* item = viewers_[i]->Item();
        dk::ViewerEntry& e = entries[i];
        e.Separator = item->HasStyle(dk::StyleSeparator);
        e.Stretch = item->HasStyle(dk::StyleStretch);
        e.RightAlign = item->HasStyle(dk::StyleRightAlign);
        e.NoForcedBreak = item->HasStyle(dk::StyleNoForcedBreak);
        if (hasChevron && i + 1 == count) {
            continue; // the chevron shows by what it hides
        }
        if (const auto* controlItem = qobject_cast<const TDkControlItem*>(item)) {
            const QWidget* control = controlItem->Control();
            e.Control = true;
            e.Visible = control != nullptr && control->parentWidget() == window_ &&
                        window_ != nullptr && ControlVisible(control);
        } else {
            e.Visible =
                item->Visible() && !(item->HasStyle(dk::StyleEmbeddedGroup) && !customizing_);
        }
        if (e.Visible && chevronParentView_ != nullptr) {
            // Stands for the tool bar's viewer at the same place; shown only
            // when that one is hidden by the chevron (or is a separator).
            const int at = static_cast<int>(i) + chevronParentView_->LeadingSpecialCount();
            const TDkItemViewer* counterpart =
                at < chevronParentView_->ViewerCount() ? chevronParentView_->Viewers(at) : nullptr;
            e.Visible = counterpart != nullptr &&
                        (counterpart->OffEdge || counterpart->Item()->HasStyle(dk::StyleSeparator));
        }
    }
    return entries;
}

void TDkView::MeasureViewers(std::vector<dk::ViewerEntry>& entries, const std::vector<bool>& shown,
                             bool canMoveControls) {
    QPainter canvas(&MeasuringImage());
    const QFont font = GetFont();
    for (size_t i = 0; i < entries.size(); ++i) {
        if (!shown[i]) {
            continue;
        }
        dk::ViewerEntry& e = entries[i];
        TDkItemViewer* viewer = viewers_[i].get();
        TDkCustomItem* item = viewer->Item();
        e.ToolbarSize = isToolbar_ || viewer->IsToolbarSize();
        if (e.Control) {
            const QWidget* control = static_cast<TDkControlItem*>(item)->Control();
            e.Width = control->width();
            e.Height = control->height();
            continue;
        }
        QFont itemFont = font;
        if ((item->EffectiveOptions() & dkoDefault) != 0) {
            itemFont.setBold(true);
        }
        canvas.setFont(itemFont);
        if (!item->NeedToRecreateViewer(viewer)) {
            viewer->CalcSize(canvas, e.Width, e.Height);
            continue;
        }
        std::unique_ptr<TDkItemViewer> fresh = item->CreateViewer(this, viewer->GroupLevel());
        fresh->CalcSize(canvas, e.Width, e.Height);
        if (canMoveControls) {
            ForgetViewer(viewer);
            if (usePriorityList_) {
                priority_.push_back(fresh.get());
            }
            viewers_[i] = std::move(fresh);
        }
    }
}

bool TDkView::ApplyPlacements(const std::vector<dk::ViewerPlacement>& placements,
                              bool canMoveControls) {
    bool changed = false;
    for (size_t i = 0; i < viewers_.size(); ++i) {
        TDkItemViewer* viewer = viewers_[i].get();
        const dk::ViewerPlacement& p = placements[i];
        // Clipped viewers keep their scrolled place, so that scrolling can
        // bring them in; other hidden ones keep their last bounds.
        const plat::TRect r = p.Show || p.Clipped ? p.Bounds : viewer->BoundsRect;
        if (viewer->BoundsRect != r || viewer->Show != p.Show || viewer->OffEdge != p.OffEdge ||
            viewer->Clipped != p.Clipped || viewer->LineBreak != p.LineBreak) {
            changed = true;
        }
        viewer->BoundsRect = r;
        viewer->Show = p.Show;
        viewer->OffEdge = p.OffEdge;
        viewer->Clipped = p.Clipped;
        viewer->LineBreak = p.LineBreak;
        if (canMoveControls) {
            PlaceControl(viewer);
        }
    }
    return changed;
}

void TDkView::PlaceControl(TDkItemViewer* viewer) {
    auto* controlItem = qobject_cast<TDkControlItem*>(viewer->Item());
    QWidget* control = controlItem != nullptr ? controlItem->Control() : nullptr;
    if (control == nullptr || control->parentWidget() != window_) {
        return;
    }
    if (viewer->Show) {
        // Controls are children of the window: its client part may start
        // inside its frame.
        control->setGeometry(
            viewer->BoundsRect.ToQRect().translated(window_->contentsRect().topLeft()));
        if (control->property(kHiddenByLayout).toBool()) {
            control->setProperty(kHiddenByLayout, QVariant());
            control->show();
        }
    } else if ((viewer->OffEdge || viewer->Clipped) && !control->isHidden()) {
        control->setProperty(kHiddenByLayout, true);
        control->hide();
    }
}
