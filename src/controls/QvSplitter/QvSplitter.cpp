// The splitter's positions, margins, percentages and pane layout.
#include "controls/QvSplitter/QvSplitter.h"

#include "platform/core/Guarded.h"

#include <QEvent>
#include <QResizeEvent>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <functional>
#include <utility>

using plat::TRect;

namespace {

// Rounding as the platform rounds: halves go to the even neighbour.
int RoundEven(double value) {
    const double r = std::nearbyint(value);
    if (r >= static_cast<double>(INT_MAX)) {
        return INT_MAX;
    }
    if (r <= static_cast<double>(INT_MIN)) {
        return INT_MIN;
    }
    return static_cast<int>(r);
}

// A pane's event handed on to the splitter's event of that pane, when set.
template <typename... Args>
std::function<void(Args...)> ForwardTo(const TQvSplitter* splitter,
                                       std::function<void(Args...)> TQvSplitter::*event) {
    return [splitter, event](Args... args) {
        if (const auto& handler = splitter->*event) {
            handler(args...);
        }
    };
}

} // namespace

TQvSplitterPane::TQvSplitterPane(TQvSplitter* splitter)
    : TQvCustomPanel(splitter), splitter_(splitter), layout_(new plat::AlignLayout(this)) {
    SetBorderOuter(fsNone);
    setFocusPolicy(Qt::NoFocus);
    // The splitter's bar cursor is not inherited by what lies in the pane.
    setCursor(Qt::ArrowCursor);
}

void TQvSplitterPane::InsertControl(QWidget* control, plat::Align align) {
    if (control->parentWidget() != this) {
        control->setParent(this);
    }
    layout_->AddWidget(control, align);
    control->show();
}

bool TQvSplitterPane::event(QEvent* event) {
    const bool result = TQvCustomPanel::event(event);
    if (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent) {
        plat::Guarded([&] { splitter_->LayoutPanes(); });
    }
    return result;
}

TQvSplitter::TQvSplitter(QWidget* parent) : TQvCustomPanel(parent) {
    SetBorderOuter(fsNone);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    upperLeft_ = new TQvSplitterPane(this);
    lowerRight_ = new TQvSplitterPane(this);
    upperLeft_->OnGetSiteInfo = ForwardTo(this, &TQvSplitter::OnULGetSiteInfo);
    upperLeft_->OnDockOver = ForwardTo(this, &TQvSplitter::OnULDockOver);
    upperLeft_->OnDockDrop = ForwardTo(this, &TQvSplitter::OnULDockDrop);
    upperLeft_->OnUnDock = ForwardTo(this, &TQvSplitter::OnULUnDock);
    lowerRight_->OnGetSiteInfo = ForwardTo(this, &TQvSplitter::OnLRGetSiteInfo);
    lowerRight_->OnDockOver = ForwardTo(this, &TQvSplitter::OnLRDockOver);
    lowerRight_->OnDockDrop = ForwardTo(this, &TQvSplitter::OnLRDockDrop);
    lowerRight_->OnUnDock = ForwardTo(this, &TQvSplitter::OnLRUnDock);
    resize(200, 100);
    LayoutPanes();
}

TQvSplitter::~TQvSplitter() {
    // The panes go while the splitter is whole: hiding them on the way out
    // must not lay out a half-destroyed splitter.
    destroying_ = true;
    delete std::exchange(upperLeft_, nullptr);
    delete std::exchange(lowerRight_, nullptr);
}

// Frame changes move the client area: the panes are laid out again.
void TQvSplitter::FramesChanged() {
    TQvCustomPanel::FramesChanged();
    LayoutPanes();
}

int TQvSplitter::SplitSize() const {
    return orientation_ == orVertical ? height() : width();
}

int TQvSplitter::SizePrime() const {
    return SplitSize() - splitterWidth_ / 2;
}

int TQvSplitter::NearFrameWidth() const {
    const TSide near = orientation_ == orVertical ? sdTop : sdLeft;
    if (!(BorderSides() & near)) {
        return 0;
    }
    return ctl::FrameStyleWidth(BorderOuter(), BevelWidth()) +
           ctl::FrameStyleWidth(BorderInner(), BevelWidth());
}

bool TQvSplitter::BothPanesVisible() const {
    return upperLeft_ && lowerRight_ && !upperLeft_->isHidden() && !lowerRight_->isHidden();
}

int TQvSplitter::Clamp(int position) const {
    if (BothPanesVisible()) {
        const bool ignoreMargins = hotSpotClosed_ && hotSpotIgnoreMargins_;
        const int lower = ignoreMargins ? 0 : marginMin_;
        const int upper =
            SplitSize() - (ignoreMargins ? 0 : marginMax_) - splitterWidth_ - 2 * NearFrameWidth();
        position = std::max(position, lower);
        position = std::min(position, upper);
    }
    // A splitter smaller than its margins and bar has a negative upper limit.
    return std::max(position, 0);
}

int TQvSplitter::PercentOf(int position) const {
    const int sizePrime = SizePrime();
    if (sizePrime <= 0) {
        return 0;
    }
    return RoundEven(static_cast<double>(position) / sizePrime * 100.0);
}

int TQvSplitter::PositionOfPercent(int percent) const {
    return RoundEven(percent / 100.0 * SizePrime());
}

bool TQvSplitter::ApplyPosition(int value, bool force) {
    if (value == position_ && !force) {
        return false;
    }
    const int position = Clamp(value);
    bool allow = true;
    if (OnChanging) {
        OnChanging(this, position, allow);
    }
    if (!allow) {
        return false;
    }
    position_ = position;
    percent_ = PercentOf(position);
    LayoutPanes();
    fixedSize_ = fixedPane_ == fpUpperLeft ? position : SplitSize() - position;
    if (OnChange) {
        OnChange(this);
    }
    return true;
}

void TQvSplitter::SetPosition(int value) {
    if (value != position_ && !ApplyPosition(value, false)) {
        return; // refused
    }
    // What was asked, also where the splitter has no room for it yet: the
    // fixed pane gets that size once it has. A pane has no negative size.
    const int64_t asked = fixedPane_ == fpUpperLeft ? int64_t{value} : int64_t{SplitSize()} - value;
    userFixedSize_ = static_cast<int>(std::clamp<int64_t>(asked, 0, INT_MAX));
}

void TQvSplitter::MarginsFromPercents() {
    const int sizePrime = SizePrime();
    marginMin_ = RoundEven(percentMin_ / 100.0 * sizePrime);
    marginMax_ = sizePrime - RoundEven(percentMax_ / 100.0 * sizePrime);
}

void TQvSplitter::SetPercent(int value) {
    if (value == percent_) {
        return;
    }
    usePercent_ = true;
    fixedPane_ = fpUpperLeft;
    MarginsFromPercents();
    ApplyPosition(PositionOfPercent(value), true);
}

void TQvSplitter::SetUsePercent(bool value) {
    if (value == usePercent_) {
        return;
    }
    usePercent_ = value;
    if (value) {
        fixedPane_ = fpUpperLeft;
        MarginsFromPercents();
        ApplyPosition(position_, true);
    }
}

void TQvSplitter::SetPercentMin(int value) {
    percentMin_ = std::max(value, 0);
    if (usePercent_) {
        MarginsFromPercents();
        ApplyPosition(position_, true);
    }
}

void TQvSplitter::SetPercentMax(int value) {
    percentMax_ = std::min(value, 100);
    if (usePercent_) {
        MarginsFromPercents();
        ApplyPosition(position_, true);
    }
}

void TQvSplitter::SetMarginMin(int value) {
    marginMin_ = std::max(value, 0);
    if (marginMin_ + marginMax_ > SplitSize()) {
        marginMin_ = std::max(SplitSize() - marginMax_, 0);
    }
    ApplyPosition(position_, true);
}

void TQvSplitter::SetMarginMax(int value) {
    marginMax_ = std::max(value, 0);
    if (marginMin_ + marginMax_ > SplitSize()) {
        marginMax_ = std::max(SplitSize() - marginMin_, 0);
    }
    ApplyPosition(position_, true);
}

void TQvSplitter::SetFixedPane(TFixedPane value) {
    if (value == fixedPane_) {
        return;
    }
    fixedPane_ = value;
    if (value == fpLowerRight) {
        usePercent_ = false;
    }
    ApplyPosition(position_, true);
    fixedSize_ = fixedPane_ == fpUpperLeft ? position_ : SplitSize() - position_;
    RememberUserSize();
}

void TQvSplitter::SetOrientation(TOrientation value) {
    if (value == orientation_) {
        return;
    }
    orientation_ = value;
    if (usePercent_) {
        MarginsFromPercents();
        ApplyPosition(PositionOfPercent(percent_), true);
    } else {
        LayoutPanes();
    }
    update();
}

uint16_t TQvSplitter::MinimumBarWidth() const {
    uint16_t minimum = 0;
    if (splitterStyle_ == ssGroove || splitterStyle_ == ssBump) {
        minimum = 6;
    }
    if (hotSpotVisible_) {
        minimum = 7;
    }
    return minimum;
}

void TQvSplitter::SetSplitterWidth(uint16_t value) {
    splitterWidth_ = std::max(value, MinimumBarWidth());
    ApplyPosition(position_, true);
    update();
}

void TQvSplitter::SetSplitterStyle(TSplitterStyle value) {
    splitterStyle_ = value;
    if (splitterWidth_ < MinimumBarWidth()) {
        SetSplitterWidth(MinimumBarWidth());
    }
    update();
}

void TQvSplitter::SetHotSpotVisible(bool value) {
    hotSpotVisible_ = value;
    if (splitterWidth_ < MinimumBarWidth()) {
        SetSplitterWidth(MinimumBarWidth());
    }
    UpdateHotSpotRect();
    update();
}

void TQvSplitter::SetHotSpotHighlight(plat::TColor value) {
    hotSpotHighlight_ = value;
    update();
}

void TQvSplitter::SetHotSpotDirection(THotSpotDirection value) {
    hotSpotDirection_ = value;
    update();
}

void TQvSplitter::SetHotSpotSizePercent(int value) {
    hotSpotSizePercent_ = std::clamp(value, 0, 100);
    UpdateHotSpotRect();
    update();
}

void TQvSplitter::resizeEvent(QResizeEvent* event) {
    TQvCustomPanel::resizeEvent(event);
    if (destroying_) {
        return;
    }
    plat::Guarded([&] {
        if (fixedPane_ != fpUpperLeft) {
            KeepLowerRightOnResize();
        } else if (usePercent_) {
            KeepPercentOnResize();
        } else {
            KeepUpperLeftOnResize();
        }
        LayoutPanes();
    });
}

void TQvSplitter::KeepPercentOnResize() {
    // The percentage rules here: a position rounded at a small size must not
    // become the percentage for the next one.
    const int percent = percent_;
    MarginsFromPercents();
    int position = PositionOfPercent(percent);
    if (hotSpotClosed_) {
        position = hotSpotDirection_ == hsdMin ? 0 : SizePrime();
    }
    ApplyPosition(position, true);
    percent_ = percent;
}

void TQvSplitter::KeepUpperLeftOnResize() {
    ApplyPosition(position_, true);
    if (userFixedSize_ > position_ && !hotSpotClosed_) {
        ApplyPosition(userFixedSize_, true);
    }
}

void TQvSplitter::KeepLowerRightOnResize() {
    const int size = SplitSize();
    ApplyPosition(size - fixedSize_, true);
    if (userFixedSize_ > size - position_ && !hotSpotClosed_) {
        ApplyPosition(size - userFixedSize_, true);
    }
    if (hotSpotClosed_) {
        hotSpotPosition_ = size - userFixedSize_;
    }
}

QSize TQvSplitter::sizeHint() const {
    const bool vertical = orientation_ == orVertical;
    int along = 0;
    int across = 0;
    int shown = 0;
    for (const TQvSplitterPane* pane : {upperLeft_, lowerRight_}) {
        if (pane == nullptr || pane->isHidden()) {
            continue;
        }
        const QSize hint = pane->sizeHint().expandedTo(QSize(0, 0));
        along += vertical ? hint.height() : hint.width();
        across = std::max(across, vertical ? hint.width() : hint.height());
        ++shown;
    }
    if (shown == 2) {
        along += splitterWidth_;
    }
    const QMargins frames = contentsMargins();
    return vertical ? QSize(across, along).grownBy(frames) : QSize(along, across).grownBy(frames);
}

void TQvSplitter::LayoutPanes() {
    if (!upperLeft_ || !lowerRight_ || destroying_) {
        return;
    }
    const TRect client = ClientRect();
    const bool horizontal = orientation_ == orHorizontal;
    if (BothPanesVisible()) {
        const int start = horizontal ? client.Left : client.Top;
        const int end = horizontal ? client.Right : client.Bottom;
        const int barStart = start + position_;
        const int barEnd = barStart + splitterWidth_;
        const auto span = [&](int from, int to) {
            to = std::max(from, to);
            return horizontal ? TRect(from, client.Top, to, client.Bottom)
                              : TRect(client.Left, from, client.Right, to);
        };
        upperLeft_->setGeometry(span(start, barStart).ToQRect());
        barRect_ = span(barStart, barEnd);
        lowerRight_->setGeometry(span(barEnd, end).ToQRect());
    } else {
        const TRect whole(client.Left, client.Top, std::max(client.Left, client.Right),
                          std::max(client.Top, client.Bottom));
        for (TQvSplitterPane* pane : {upperLeft_, lowerRight_}) {
            if (!pane->isHidden()) {
                pane->setGeometry(whole.ToQRect());
            }
        }
        barRect_ = TRect();
    }
    UpdateHotSpotRect();
    update();
}

void TQvSplitter::UpdateHotSpotRect() {
    if (barRect_.IsEmpty()) {
        hotSpotRect_ = TRect();
        return;
    }
    const bool horizontal = orientation_ == orHorizontal;
    const int length = horizontal ? barRect_.Height() : barRect_.Width();
    const int half = RoundEven(hotSpotSizePercent_ / 100.0 * length) / 2;
    const int middle = (horizontal ? barRect_.Top : barRect_.Left) + length / 2;
    hotSpotRect_ = horizontal ? TRect(barRect_.Left, middle - half, barRect_.Right, middle + half)
                              : TRect(middle - half, barRect_.Top, middle + half, barRect_.Bottom);
}
