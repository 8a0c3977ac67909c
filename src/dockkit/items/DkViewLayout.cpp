// The layout of a view: which viewers show, how big each is, and where each
// goes in rows (columns for vertical views) with wrapping, the chevron and
// pop-up scrolling.

#include "dockkit/items/DkItemViewer.h"
#include "dockkit/items/DkView.h"

#include <QImage>
#include <QPainter>
#include <QWidget>

#include <algorithm>

namespace {

// The marker a control carries while the layout keeps it out of sight, so
// that the next layout still counts it as visible.
const char* const kHiddenByLayout = "dkHiddenByLayout";

constexpr int kLineBreakThickness = 6;
constexpr int kScrollArrowBand = dk::kScrollArrowBand;

struct Place {
    bool Show = false;
    bool OffEdge = false;
    bool Clipped = false;
    bool LineBreak = false;
    bool Separator = false;
    bool Control = false;
    bool ToolbarSize = false;
    int Main = 0;  // position along the orientation
    int Cross = 0; // position across it
    int MainSize = 0;
    int CrossSize = 0;
};

struct Line {
    std::vector<size_t> Members;
    int Cross = 0;
    int Thickness = 0;
};

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
    const bool vertical = orientation == dkvoVertical;
    const size_t count = viewers_.size();
    std::vector<Place> places(count);
    TDkCustomItem* chevronItem = GetChevronItem();
    const size_t chevronIndex = chevronItem != nullptr && count > 0 ? count - 1 : count;

    // 1. Which viewers show.
    bool afterSeparator = true; // a separator first shows not at all
    for (size_t i = 0; i < count; ++i) {
        TDkItemViewer* viewer = viewers_[i].get();
        TDkCustomItem* item = viewer->Item();
        Place& p = places[i];
        p.Separator = item->HasStyle(dk::StyleSeparator);
        if (i == chevronIndex) {
            continue;
        }
        bool show;
        if (auto* controlItem = qobject_cast<TDkControlItem*>(item)) {
            const QWidget* control = controlItem->Control();
            p.Control = true;
            show = control != nullptr && control->parentWidget() == window_ && window_ != nullptr &&
                   ControlVisible(control);
        } else {
            show = item->Visible() && !(item->HasStyle(dk::StyleEmbeddedGroup) && !customizing_);
        }
        if (show && chevronParentView_ != nullptr) {
            // Stands for the tool bar's viewer at the same place; shown only
            // when that one is hidden by the chevron (or is a separator).
            const int at = static_cast<int>(i) + chevronParentView_->LeadingSpecialCount();
            const TDkItemViewer* counterpart =
                at < chevronParentView_->ViewerCount() ? chevronParentView_->Viewers(at) : nullptr;
            show = counterpart != nullptr &&
                   (counterpart->OffEdge || counterpart->Item()->HasStyle(dk::StyleSeparator));
        }
        if (show && p.Separator && afterSeparator) {
            show = false;
        }
        if (show) {
            afterSeparator = p.Separator;
        }
        p.Show = show;
    }
    const auto hideTrailingSeparators = [&](int* sum) {
        for (size_t i = count; i-- > 0;) {
            if (!places[i].Show) {
                continue;
            }
            if (!places[i].Separator) {
                break;
            }
            places[i].Show = false;
            if (sum != nullptr) {
                *sum -= vertical ? places[i].CrossSize : places[i].MainSize;
            }
        }
    };
    // 2. Trailing separators.
    hideTrailingSeparators(nullptr);

    // 3. Sizes.
    QPainter canvas(&MeasuringImage());
    const QFont font = GetFont();
    int sum = 0;
    for (size_t i = 0; i < count; ++i) {
        Place& p = places[i];
        if (!p.Show) {
            continue;
        }
        TDkItemViewer* viewer = viewers_[i].get();
        TDkCustomItem* item = viewer->Item();
        p.ToolbarSize = isToolbar_ || viewer->IsToolbarSize();
        int width = 0;
        int height = 0;
        if (p.Control) {
            const QWidget* control = static_cast<TDkControlItem*>(item)->Control();
            width = control->width();
            height = control->height();
        } else {
            QFont itemFont = font;
            if ((item->EffectiveOptions() & dkoDefault) != 0) {
                itemFont.setBold(true);
            }
            canvas.setFont(itemFont);
            if (item->NeedToRecreateViewer(viewer)) {
                std::unique_ptr<TDkItemViewer> fresh =
                    item->CreateViewer(this, viewer->GroupLevel());
                fresh->CalcSize(canvas, width, height);
                if (canMoveControls) {
                    ForgetViewer(viewer);
                    if (usePriorityList_) {
                        priority_.push_back(fresh.get());
                    }
                    viewers_[i] = std::move(fresh);
                }
            } else {
                viewer->CalcSize(canvas, width, height);
            }
        }
        // Sizes here are in the view's terms: main along the orientation.
        p.MainSize = vertical ? height : width;
        p.CrossSize = vertical ? width : height;
        sum += p.MainSize;
    }

    // 4. The chevron hides the least used items until the rest fit.
    bool chevronNeeded = false;
    bool chevronEnabled = false;
    int limit = 0;
    if (chevronIndex < count && chevronOffset > 0 && sum > chevronOffset) {
        limit = chevronOffset - chevronSize;
        const auto shownItems = [&] {
            int n = 0;
            for (size_t i = 0; i < count; ++i) {
                n += places[i].Show && !places[i].Separator ? 1 : 0;
            }
            return n;
        };
        while (sum > limit && shownItems() >= 2) {
            size_t last = count;
            for (size_t i = count; i-- > 0;) {
                if (places[i].Show) {
                    last = i;
                    break;
                }
            }
            if (last < count && places[last].Separator) {
                places[last].Show = false;
                sum -= places[last].MainSize;
                continue;
            }
            size_t victim = count;
            if (usePriorityList_) {
                for (auto it = priority_.rbegin(); it != priority_.rend(); ++it) {
                    const int index = IndexOf(*it);
                    if (index >= 0 && places[static_cast<size_t>(index)].Show &&
                        !places[static_cast<size_t>(index)].Separator) {
                        victim = static_cast<size_t>(index);
                        break;
                    }
                }
            }
            if (victim == count) {
                for (size_t i = count; i-- > 0;) {
                    if (places[i].Show && !places[i].Separator) {
                        victim = i;
                        break;
                    }
                }
            }
            if (victim == count) {
                break;
            }
            places[victim].Show = false;
            places[victim].OffEdge = true;
            sum -= places[victim].MainSize;
            chevronNeeded = true;
            chevronEnabled = chevronEnabled || !places[victim].Control;
        }
        bool previousSeparator = true;
        for (size_t i = 0; i < count; ++i) {
            if (!places[i].Show) {
                continue;
            }
            if (places[i].Separator && previousSeparator) {
                places[i].Show = false;
                continue;
            }
            previousSeparator = places[i].Separator;
        }
        hideTrailingSeparators(nullptr);
    }

    // 5. The cross size.
    int crossSize = 0;
    for (const Place& p : places) {
        if (p.Show) {
            crossSize = std::max(crossSize, p.CrossSize);
        }
    }

    // 6. Placement, line by line.
    const QMargins margins = GetMargins(orientation);
    const int mainStart = vertical ? margins.top() : margins.left();
    const int crossStart = vertical ? margins.left() : margins.top();
    const int mainEndMargin = vertical ? margins.bottom() : margins.right();
    const int crossEndMargin = vertical ? margins.right() : margins.bottom();
    std::vector<Line> lines;
    Line line;
    line.Cross = crossStart;
    int mainPos = mainStart;
    int lineCross = crossStart;
    int lineCount = 1;
    bool forcedWrap = false;
    bool wrapped = false;
    bool previousMenuItem = false;
    const auto finishLine = [&](int minThickness) {
        int thickness = minThickness;
        for (size_t i : line.Members) {
            thickness = std::max(thickness, places[i].CrossSize);
        }
        line.Thickness = thickness;
        // 7. Across the line: toolbar separators and stretching items take
        // its full thickness, others are centred.
        for (size_t i : line.Members) {
            Place& p = places[i];
            const bool full =
                isToolbar_ && (p.Separator || viewers_[i]->Item()->HasStyle(dk::StyleStretch));
            if (full) {
                p.CrossSize = thickness;
                p.Cross = lineCross;
            } else {
                p.Cross = lineCross + (thickness - p.CrossSize) / 2;
            }
        }
        lineCross += thickness;
        lines.push_back(std::move(line));
        line = Line();
        line.Cross = lineCross;
        mainPos = mainStart;
    };
    for (size_t i = 0; i < count; ++i) {
        Place& p = places[i];
        if (!p.Show) {
            continue;
        }
        const bool menuItem = !p.ToolbarSize;
        const bool lineStart = line.Members.empty();
        if (!lineStart && (menuItem || previousMenuItem)) {
            finishLine(0); // menu items take a line each
            forcedWrap = false;
        } else if (wrapOffset >= 1 && !lineStart) {
            if (p.Separator) {
                int groupEnd = mainPos + p.MainSize;
                for (size_t k = i + 1; k < count; ++k) {
                    if (!places[k].Show) {
                        continue;
                    }
                    if (places[k].Separator) {
                        break;
                    }
                    groupEnd += places[k].MainSize;
                }
                const bool forced =
                    forcedWrap && !viewers_[i]->Item()->HasStyle(dk::StyleNoForcedBreak);
                if (groupEnd > wrapOffset || forced) {
                    finishLine(0);
                    // The separator becomes a bar at the very start of a new
                    // line; the next items start below it.
                    p.LineBreak = true;
                    p.Main = 0;
                    p.MainSize = 0;
                    p.Cross = lineCross;
                    p.CrossSize = kLineBreakThickness;
                    lineCross += kLineBreakThickness;
                    line.Cross = lineCross;
                    forcedWrap = false;
                    wrapped = true;
                    ++lineCount;
                    previousMenuItem = false;
                    continue;
                }
            } else if (mainPos + p.MainSize > wrapOffset) {
                finishLine(0);
                forcedWrap = true;
                wrapped = true;
                ++lineCount;
            }
        }
        p.Main = mainPos;
        mainPos += p.MainSize;
        line.Members.push_back(i);
        previousMenuItem = menuItem;
    }
    // The line of a tool bar that did not wrap takes the thickness its
    // window has (the row of its dock), its items centred in it.
    const int lastLineThickness = store && !wrapped ? LastLineThickness() : 0;
    if (!line.Members.empty()) {
        finishLine(lastLineThickness);
    }
    int mainExtent = mainStart;
    for (const Line& l : lines) {
        for (size_t i : l.Members) {
            mainExtent = std::max(mainExtent, places[i].Main + places[i].MainSize);
        }
    }
    int mainTotal = mainExtent + mainEndMargin;
    if (wrapped && chevronParentView_ == nullptr) {
        mainTotal = std::max(mainTotal, wrapOffset);
    }
    int crossTotal = lineCross + crossEndMargin;

    // Menu items take the full line width; right-aligned items go to the end.
    for (const Line& l : lines) {
        for (size_t i : l.Members) {
            if (!isToolbar_ && !places[i].ToolbarSize) {
                places[i].Main = mainStart;
                places[i].MainSize =
                    std::max(places[i].MainSize, mainTotal - mainEndMargin - mainStart);
            }
        }
        auto first = std::find_if(l.Members.begin(), l.Members.end(), [&](size_t i) {
            return viewers_[i]->Item()->HasStyle(dk::StyleRightAlign);
        });
        if (first != l.Members.end()) {
            const size_t last = l.Members.back();
            const int lineEnd = places[last].Main + places[last].MainSize;
            const int room = std::max(wrapOffset, mainTotal - mainEndMargin) - lineEnd;
            if (room > 0) {
                for (auto it = first; it != l.Members.end(); ++it) {
                    places[*it].Main += room;
                }
            }
        }
    }

    // 11 (placed before scrolling and mirroring so that they treat it as a
    // viewer). The chevron goes last, at the limit or after the items.
    if (chevronIndex < count && chevronNeeded) {
        Place& p = places[chevronIndex];
        p.Show = true;
        p.Main = std::max(limit, mainExtent);
        p.MainSize = chevronSize;
        p.Cross = crossStart;
        p.CrossSize = std::max(crossSize, lastLineThickness);
        mainTotal = std::max(mainTotal, p.Main + chevronSize + mainEndMargin);
    }

    // Back to window coordinates: (left, top, width, height) per viewer.
    std::vector<plat::TRect> bounds(count);
    for (size_t i = 0; i < count; ++i) {
        const Place& p = places[i];
        if (!vertical) {
            bounds[i] = plat::TRect(p.Main, p.Cross, p.Main + p.MainSize, p.Cross + p.CrossSize);
        } else {
            // 8. Columns run from the right edge leftwards.
            const int right = crossTotal - p.Cross;
            bounds[i] = plat::TRect(right - p.CrossSize, p.Main, right, p.Main + p.MainSize);
        }
    }
    int width = vertical ? crossTotal : mainTotal;
    int height = vertical ? mainTotal : crossTotal;

    // 10. Line-break bars of tool bars span the whole view.
    for (size_t i = 0; i < count; ++i) {
        if (places[i].Show && places[i].LineBreak && isToolbar_) {
            if (!vertical) {
                bounds[i].Left = 0;
                bounds[i].Right = width;
            } else {
                bounds[i].Top = 0;
                bounds[i].Bottom = height;
            }
        }
    }

    // 9. Pop-ups taller than allowed scroll between arrow bands.
    int scrollOffset = 0;
    bool upArrow = false;
    bool downArrow = false;
    if (maxHeight_ >= 1 && maxHeight_ < height) {
        const int overflow = height - maxHeight_;
        scrollOffset = std::clamp(scrollOffset_, 0, overflow);
        upArrow = scrollOffset > 0;
        downArrow = overflow > scrollOffset;
        for (size_t i = 0; i < count; ++i) {
            bounds[i].Offset(0, -scrollOffset);
            if (!places[i].Show) {
                continue;
            }
            if ((upArrow && bounds[i].Top < kScrollArrowBand) ||
                (downArrow && bounds[i].Bottom > maxHeight_ - kScrollArrowBand)) {
                places[i].Show = false;
                places[i].Clipped = true;
            }
        }
        height = maxHeight_;
    }
    if (!store) {
        return Layout{QSize(width, height), lineCount, false};
    }
    scrollOffset_ = scrollOffset;
    showUpArrow_ = upArrow;
    showDownArrow_ = downArrow;

    if (canMoveControls && chevronIndex < count) {
        chevronItem->SetEnabled(chevronEnabled);
    }

    // 12. Into the viewers.
    bool changed = false;
    for (size_t i = 0; i < count; ++i) {
        TDkItemViewer* viewer = viewers_[i].get();
        const Place& p = places[i];
        // Clipped viewers keep their scrolled place, so that scrolling can
        // bring them in; other hidden ones keep their last bounds.
        const plat::TRect r = p.Show || p.Clipped ? bounds[i] : viewer->BoundsRect;
        if (viewer->BoundsRect != r || viewer->Show != p.Show || viewer->OffEdge != p.OffEdge ||
            viewer->Clipped != p.Clipped || viewer->LineBreak != p.LineBreak) {
            changed = true;
        }
        viewer->BoundsRect = r;
        viewer->Show = p.Show;
        viewer->OffEdge = p.OffEdge;
        viewer->Clipped = p.Clipped;
        viewer->LineBreak = p.LineBreak;
        if (canMoveControls && p.Control) {
            QWidget* control = static_cast<TDkControlItem*>(viewer->Item())->Control();
            if (control == nullptr || control->parentWidget() != window_) {
                continue;
            }
            if (p.Show) {
                // Controls are children of the window: its client part may start
                // inside its frame.
                control->setGeometry(
                    viewer->BoundsRect.ToQRect().translated(window_->contentsRect().topLeft()));
                if (control->property(kHiddenByLayout).toBool()) {
                    control->setProperty(kHiddenByLayout, QVariant());
                    control->show();
                }
            } else if ((p.OffEdge || p.Clipped) && !control->isHidden()) {
                control->setProperty(kHiddenByLayout, true);
                control->hide();
            }
        }
    }
    baseSize_ = crossSize;
    lineCount_ = lineCount;
    return Layout{QSize(width, height), lineCount, changed};
}
