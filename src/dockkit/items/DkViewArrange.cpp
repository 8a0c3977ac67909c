#include "dockkit/items/DkViewArrange.h"

#include <algorithm>

namespace dk {

namespace {

// Separators that would show first, last or after another separator do not.
void HideStraySeparators(const std::vector<ViewerEntry>& viewers, std::vector<bool>& shown) {
    bool afterSeparator = true;
    for (size_t i = 0; i < viewers.size(); ++i) {
        if (!shown[i]) {
            continue;
        }
        if (viewers[i].Separator && afterSeparator) {
            shown[i] = false;
            continue;
        }
        afterSeparator = viewers[i].Separator;
    }
    for (size_t i = viewers.size(); i-- > 0 && (!shown[i] || viewers[i].Separator);) {
        shown[i] = false;
    }
}

// A viewer's working place, in the view's terms: main along the lines,
// cross across them.
struct Place {
    bool Show = false;
    bool OffEdge = false;
    bool Clipped = false;
    bool LineBreak = false;
    int Main = 0;
    int Cross = 0;
    int MainSize = 0;
    int CrossSize = 0;
};

struct Line {
    std::vector<size_t> Members;
};

// The margins in the view's terms.
struct Edges {
    int MainStart = 0;
    int CrossStart = 0;
    int MainEnd = 0;
    int CrossEnd = 0;
};

Edges EdgesOf(const QMargins& m, bool vertical) {
    return vertical ? Edges{m.top(), m.left(), m.bottom(), m.right()}
                    : Edges{m.left(), m.top(), m.right(), m.bottom()};
}

class Arrangement {
public:
    explicit Arrangement(const ViewLayoutInput& input)
        : in_(input), v_(input.Viewers), count_(v_.size()),
          chevron_(input.HasChevron && count_ > 0 ? count_ - 1 : count_), places_(count_),
          edges_(EdgesOf(input.Margins, input.Vertical)) {}

    ViewLayoutResult Run() {
        const std::vector<bool> shown = ShownViewers(v_, in_.HasChevron);
        for (size_t i = 0; i < count_; ++i) {
            places_[i].Show = shown[i];
        }
        TakeSizes();
        HideBehindChevron();
        int crossSize = 0;
        for (const Place& p : places_) {
            crossSize = p.Show ? std::max(crossSize, p.CrossSize) : crossSize;
        }
        PlaceLines();
        SizeToLines();
        WidenMenuRowsAndAlignRight();
        PlaceChevron(crossSize);
        ViewLayoutResult result = ToWindow();
        Scroll(result);
        result.Lines = lineCount_;
        result.BaseSize = crossSize;
        result.ChevronEnabled = chevronEnabled_;
        return result;
    }

private:
    void TakeSizes() {
        for (size_t i = 0; i < count_; ++i) {
            Place& p = places_[i];
            if (p.Show) {
                p.MainSize = in_.Vertical ? v_[i].Height : v_[i].Width;
                p.CrossSize = in_.Vertical ? v_[i].Width : v_[i].Height;
                sum_ += p.MainSize;
            }
        }
    }

    bool ShownItem(size_t i) const { return places_[i].Show && !v_[i].Separator; }

    int ShownItems() const {
        int n = 0;
        for (size_t i = 0; i < count_; ++i) {
            n += ShownItem(i) ? 1 : 0;
        }
        return n;
    }

    void Hide(size_t i) {
        places_[i].Show = false;
        sum_ -= places_[i].MainSize;
    }

    // The viewer the chevron hides next: the least used, or the last.
    size_t NextToHide() const {
        for (const int index : in_.HidingOrder) {
            if (index >= 0 && static_cast<size_t>(index) < count_ &&
                ShownItem(static_cast<size_t>(index))) {
                return static_cast<size_t>(index);
            }
        }
        for (size_t i = count_; i-- > 0;) {
            if (ShownItem(i)) {
                return i;
            }
        }
        return count_;
    }

    // The chevron hides items until the rest fit before it; a separator
    // left at the end goes first.
    void HideBehindChevron() {
        if (chevron_ >= count_ || in_.ChevronOffset <= 0 || sum_ <= in_.ChevronOffset) {
            return;
        }
        limit_ = in_.ChevronOffset - in_.ChevronSize;
        while (sum_ > limit_ && ShownItems() >= 2) {
            const auto last = std::find_if(places_.rbegin(), places_.rend(),
                                           [](const Place& p) { return p.Show; });
            const size_t lastIndex = static_cast<size_t>(places_.rend() - last) - 1;
            if (last != places_.rend() && v_[lastIndex].Separator) {
                Hide(lastIndex);
                continue;
            }
            const size_t victim = NextToHide();
            if (victim == count_) {
                break;
            }
            Hide(victim);
            places_[victim].OffEdge = true;
            chevronNeeded_ = true;
            chevronEnabled_ = chevronEnabled_ || !v_[victim].Control;
        }
        DropStraySeparators();
    }

    // What the chevron left: separators at either end or doubled go.
    void DropStraySeparators() {
        std::vector<bool> shown(count_);
        for (size_t i = 0; i < count_; ++i) {
            shown[i] = places_[i].Show;
        }
        HideStraySeparators(v_, shown);
        for (size_t i = 0; i < count_; ++i) {
            places_[i].Show = shown[i];
        }
    }

    // Ends the current line: its thickness is that of its thickest member
    // (at least minThickness); a tool bar's separators and stretching items
    // take all of it, the others are centred.
    void FinishLine(int minThickness) {
        int thickness = minThickness;
        for (size_t i : line_.Members) {
            thickness = std::max(thickness, places_[i].CrossSize);
        }
        for (size_t i : line_.Members) {
            Place& p = places_[i];
            if (in_.Toolbar && (v_[i].Separator || v_[i].Stretch)) {
                p.CrossSize = thickness;
                p.Cross = lineCross_;
            } else {
                p.Cross = lineCross_ + (thickness - p.CrossSize) / 2;
            }
        }
        lineCross_ += thickness;
        lines_.push_back(std::move(line_));
        line_ = Line();
        mainPos_ = edges_.MainStart;
    }

    // The end of the separator's group (up to the next separator) if it
    // stayed on this line.
    int GroupEnd(size_t separator) const {
        int end = mainPos_ + places_[separator].MainSize;
        for (size_t k = separator + 1; k < count_; ++k) {
            if (places_[k].Show) {
                if (v_[k].Separator) {
                    break;
                }
                end += places_[k].MainSize;
            }
        }
        return end;
    }

    // The separator becomes a bar at the very start of a new line; the next
    // items start below it.
    void BreakAt(size_t separator) {
        FinishLine(0);
        Place& p = places_[separator];
        p.LineBreak = true;
        p.Main = 0;
        p.MainSize = 0;
        p.Cross = lineCross_;
        p.CrossSize = kLineBreakThickness;
        lineCross_ += kLineBreakThickness;
        forcedWrap_ = false;
        wrapped_ = true;
        ++lineCount_;
        previousMenuItem_ = false;
    }

    // Wraps before the viewer where it does not fit; answers false when the
    // viewer became a line break instead of taking a place.
    bool WrapBefore(size_t i) {
        const Place& p = places_[i];
        if (v_[i].Separator) {
            const bool forced = forcedWrap_ && !v_[i].NoForcedBreak;
            if (GroupEnd(i) > in_.WrapOffset || forced) {
                BreakAt(i);
                return false;
            }
        } else if (mainPos_ + p.MainSize > in_.WrapOffset) {
            FinishLine(0);
            forcedWrap_ = true;
            wrapped_ = true;
            ++lineCount_;
        }
        return true;
    }

    // Menu rows take a line each; buttons flow along the lines, wrapping.
    void PlaceLines() {
        mainPos_ = edges_.MainStart;
        lineCross_ = edges_.CrossStart;
        for (size_t i = 0; i < count_; ++i) {
            Place& p = places_[i];
            if (!p.Show) {
                continue;
            }
            const bool menuItem = !v_[i].ToolbarSize;
            if (!line_.Members.empty()) {
                if (menuItem || previousMenuItem_) {
                    FinishLine(0);
                    forcedWrap_ = false;
                } else if (in_.WrapOffset >= 1 && !WrapBefore(i)) {
                    continue;
                }
            }
            p.Main = mainPos_;
            mainPos_ += p.MainSize;
            line_.Members.push_back(i);
            previousMenuItem_ = menuItem;
        }
        // The line of a layout that did not wrap takes the thickness it is
        // given (a docked tool bar's row), its items centred in it.
        lastLineThickness_ = wrapped_ ? 0 : in_.LastLineThickness;
        if (!line_.Members.empty()) {
            FinishLine(lastLineThickness_);
        }
    }

    void SizeToLines() {
        mainExtent_ = edges_.MainStart;
        for (const Line& l : lines_) {
            for (size_t i : l.Members) {
                mainExtent_ = std::max(mainExtent_, places_[i].Main + places_[i].MainSize);
            }
        }
        mainTotal_ = mainExtent_ + edges_.MainEnd;
        if (wrapped_ && !in_.ChevronPopup) {
            mainTotal_ = std::max(mainTotal_, in_.WrapOffset);
        }
        crossTotal_ = lineCross_ + edges_.CrossEnd;
    }

    // Menu rows take the full line; right-aligned items go to the line's end.
    void WidenMenuRowsAndAlignRight() {
        const int lineLength = mainTotal_ - edges_.MainEnd;
        for (const Line& l : lines_) {
            for (size_t i : l.Members) {
                if (!in_.Toolbar && !v_[i].ToolbarSize) {
                    places_[i].Main = edges_.MainStart;
                    places_[i].MainSize =
                        std::max(places_[i].MainSize, lineLength - edges_.MainStart);
                }
            }
            const auto first = std::find_if(l.Members.begin(), l.Members.end(),
                                            [&](size_t i) { return v_[i].RightAlign; });
            if (first == l.Members.end()) {
                continue;
            }
            const Place& last = places_[l.Members.back()];
            const int room = std::max(in_.WrapOffset, lineLength) - (last.Main + last.MainSize);
            for (auto it = first; it != l.Members.end() && room > 0; ++it) {
                places_[*it].Main += room;
            }
        }
    }

    // The chevron goes last, at the limit or after the items.
    void PlaceChevron(int crossSize) {
        if (chevron_ >= count_ || !chevronNeeded_) {
            return;
        }
        Place& p = places_[chevron_];
        p.Show = true;
        p.Main = std::max(limit_, mainExtent_);
        p.MainSize = in_.ChevronSize;
        p.Cross = edges_.CrossStart;
        p.CrossSize = std::max(crossSize, lastLineThickness_);
        mainTotal_ = std::max(mainTotal_, p.Main + in_.ChevronSize + edges_.MainEnd);
    }

    // Back to window coordinates; columns run from the right edge leftwards,
    // and a tool bar's line breaks span the whole view.
    ViewLayoutResult ToWindow() const {
        ViewLayoutResult result;
        result.Width = in_.Vertical ? crossTotal_ : mainTotal_;
        result.Height = in_.Vertical ? mainTotal_ : crossTotal_;
        result.Viewers.resize(count_);
        for (size_t i = 0; i < count_; ++i) {
            const Place& p = places_[i];
            ViewerPlacement& out = result.Viewers[i];
            out = ViewerPlacement{p.Show, p.OffEdge, p.Clipped, p.LineBreak, {}};
            if (!in_.Vertical) {
                out.Bounds =
                    plat::TRect(p.Main, p.Cross, p.Main + p.MainSize, p.Cross + p.CrossSize);
            } else {
                const int right = crossTotal_ - p.Cross;
                out.Bounds = plat::TRect(right - p.CrossSize, p.Main, right, p.Main + p.MainSize);
            }
            if (p.Show && p.LineBreak && in_.Toolbar) {
                if (!in_.Vertical) {
                    out.Bounds.Left = 0;
                    out.Bounds.Right = result.Width;
                } else {
                    out.Bounds.Top = 0;
                    out.Bounds.Bottom = result.Height;
                }
            }
        }
        return result;
    }

    // A view taller than allowed scrolls between arrow bands: what falls
    // under a band is clipped.
    void Scroll(ViewLayoutResult& result) const {
        const int maxHeight = in_.MaxHeight;
        if (maxHeight < 1 || maxHeight >= result.Height) {
            return;
        }
        const int overflow = result.Height - maxHeight;
        const int offset = std::clamp(in_.ScrollOffset, 0, overflow);
        result.ScrollOffset = offset;
        result.UpArrow = offset > 0;
        result.DownArrow = overflow > offset;
        for (ViewerPlacement& v : result.Viewers) {
            v.Bounds.Offset(0, -offset);
            if (v.Show && ((result.UpArrow && v.Bounds.Top < kScrollArrowBand) ||
                           (result.DownArrow && v.Bounds.Bottom > maxHeight - kScrollArrowBand))) {
                v.Show = false;
                v.Clipped = true;
            }
        }
        result.Height = maxHeight;
    }

    const ViewLayoutInput& in_;
    const std::vector<ViewerEntry>& v_;
    const size_t count_;
    const size_t chevron_; // count_ when there is none
    std::vector<Place> places_;
    const Edges edges_;
    int sum_ = 0; // the main sizes of the shown viewers
    int limit_ = 0;
    bool chevronNeeded_ = false;
    bool chevronEnabled_ = false;
    std::vector<Line> lines_;
    Line line_;
    int mainPos_ = 0;
    int lineCross_ = 0;
    int lineCount_ = 1;
    bool forcedWrap_ = false;
    bool wrapped_ = false;
    bool previousMenuItem_ = false;
    int lastLineThickness_ = 0;
    int mainExtent_ = 0;
    int mainTotal_ = 0;
    int crossTotal_ = 0;
};

} // namespace

std::vector<bool> ShownViewers(const std::vector<ViewerEntry>& viewers, bool hasChevron) {
    const size_t count = viewers.size();
    const size_t chevron = hasChevron && count > 0 ? count - 1 : count;
    std::vector<bool> shown(count, false);
    for (size_t i = 0; i < count; ++i) {
        shown[i] = i != chevron && viewers[i].Visible;
    }
    HideStraySeparators(viewers, shown);
    return shown;
}

ViewLayoutResult ArrangeViewers(const ViewLayoutInput& input) {
    return Arrangement(input).Run();
}

} // namespace dk
