// Painting, the scroll bar, scrolling requests, smooth scrolling and blinking.
#include "console/QvConsole/QvConsole.h"

#include "console/ConsoleScrollBar.h"
#include "platform/core/Clock.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>

TMessageNode* TQvCustomConsole::NewestLineReaching(int& bottom) {
    // Lines stack upwards from the newest, whose bottom is the client
    // height plus the scroll position; the index counts from the oldest's
    // top, each line with the spacing band above it.
    const TLineIndex& index = Index();
    const int64_t total = index.Total();
    Q_ASSERT(total == sumHeights_ + int64_t(lines_.Count()) * lineSpacing_);
    const int64_t origin = int64_t(ClientHeight()) + scrollPosition_ - total + lineSpacing_;
    int64_t start = 0;
    TMessageNode* line = index.LineAt(ClientHeight() - origin - 1, &start);
    if (line) {
        bottom = static_cast<int>(origin + start + line->Height);
    }
    return line;
}

// Walks the lines that reach into the client area, newest first, starting
// from the index (not from the newest line: the view may be far up). With a
// painter, only lines that reach into paintRect are drawn; hit areas are kept
// only from a walk over the whole client area.
void TQvCustomConsole::PlaceVisible(QPainter* painter, const QRect& paintRect,
                                    TMessageNode** oldestPlaced, TMessageNode** newestPlaced) {
    const TLayoutEnv& env = Env();
    TLineLayout layout(env, fonts_);
    TLayoutOutput out;
    const int clientWidth = env.ClientWidth;
    const int clientHeight = env.ClientHeight;
    const QRect client(0, 0, clientWidth, clientHeight);
    const bool whole = !painter || paintRect.contains(client);
    geometry_.BeginPass();
    int y = 0;
    for (TMessageNode* line = NewestLineReaching(y); line && y > paintRect.top();
         line = line->Prev) {
        const int top = y - line->Height;
        if (top < clientHeight && top > -line->Height &&
            (whole || (top < paintRect.bottom() + 1 && y > paintRect.top()))) {
            if (painter) {
                painter->setClipRect(QRect(0, top, clientWidth, line->Height) & paintRect);
            }
            layout.Place(*line, GeometryFor(*line, layout), top, painter, out);
            if (oldestPlaced) {
                *oldestPlaced = line;
            }
            if (newestPlaced && !*newestPlaced) {
                *newestPlaced = line;
            }
        }
        y = top - lineSpacing_;
    }
    if (whole) {
        hitAreas_ = std::move(out.HitAreas);
        hitVersion_ = contentVersion_;
        blinkOnScreen_ = out.BlinkOnScreen;
    } else {
        blinkOnScreen_ = blinkOnScreen_ || out.BlinkOnScreen;
    }
}

void TQvCustomConsole::EnsureHitAreas() {
    EnsureLayout();
    if (hitVersion_ != contentVersion_) {
        PlaceVisible(nullptr, QRect(0, 0, ClientWidth(), ClientHeight()), nullptr);
    }
}

void TQvCustomConsole::RequestFrame() {
    if (destroying_ || framePosted_ || frameTimer_->isActive()) {
        return;
    }
    const int64_t wait = lastFrameMs_ + frameInterval_ - plat::MonotonicMs();
    if (wait > 0) {
        frameTimer_->start(int(wait));
    } else {
        // Posted: what else changes in this turn of the event loop (lines
        // added, for one) goes into the same frame.
        framePosted_ = true;
        QMetaObject::invokeMethod(
            this, [this] { plat::Guarded([&] { DeliverFrame(); }); }, Qt::QueuedConnection);
    }
}

void TQvCustomConsole::DeliverFrame() {
    framePosted_ = false;
    if (destroying_) {
        return;
    }
    const int64_t wait = lastFrameMs_ + frameInterval_ - plat::MonotonicMs();
    if (wait > 0) {
        frameTimer_->start(int(qMax<int64_t>(1, wait)));
        return;
    }
    if (wholeFrame_) {
        wholeFrame_ = false;
        pendingScroll_ = 0;
        viewport()->update();
        return;
    }
    FlushScroll();
}

void TQvCustomConsole::FlushScroll() {
    const int distance = pendingScroll_;
    pendingScroll_ = 0;
    if (distance <= 0 || destroying_) {
        return;
    }
    if (distance >= ClientHeight()) {
        viewport()->update();
    } else {
        // Qt moves the painted pixels and any pending dirty areas along and
        // asks for a paint of the uncovered strip only.
        viewport()->scroll(0, -distance);
    }
}

void TQvCustomConsole::paintEvent(QPaintEvent* event) {
    plat::Guarded([&] {
        lastFrameMs_ = plat::MonotonicMs();
        EnsureLayout();
        ClampScroll();
        // A paint before a pending move of the pixels (lines added since
        // the last frame, an expose, a grab): the window may still show the
        // content before the move, so it is painted again as a whole
        // instead; at once when this paint showed a part of the view at the
        // new place, else with the next frame.
        const bool staleOutside = pendingScroll_ > 0;
        pendingScroll_ = 0;
        QPainter painter(viewport());
        painter.fillRect(event->rect(), plat::ToQColor(color_));
        PlaceVisible(&painter, event->rect(), nullptr);
        painter.end();
        if (staleOutside && !event->rect().contains(viewport()->rect())) {
            viewport()->update();
        } else if (staleOutside) {
            wholeFrame_ = true;
            RequestFrame();
        }
        repaintPending_ = false;
        UpdateScrollBar();
        if (lines_.Count() == 0) {
            SetHover(nullptr, -1);
        }
        SmoothScrollStep();
    });
}

void TQvCustomConsole::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    plat::Guarded([&] {
        ++contentVersion_;
        pendingScroll_ = 0; // a resize paints everything anyway
        UpdateScrollBar();
        if (size() != lastSize_) {
            lastSize_ = size();
            if (OnResize) {
                OnResize(this);
            }
        }
    });
}

void TQvCustomConsole::scrollContentsBy(int, int) {
    // Scrolling is ours: the bar only reports requests (ScrollBarAction).
}

void TQvCustomConsole::UpdateScrollBar() {
    if (updatingScrollBar_ || destroying_) {
        return;
    }
    updatingScrollBar_ = true;
    EnsureLayout();
    const int range = RawRange();
    const bool useTarget = scrolling_.SmoothScrolling() && scrollTarget_ != scrollPosition_;
    const int value = range - (useTarget ? scrollTarget_ : scrollPosition_);
    QScrollBar* bar = verticalScrollBar();
    bar->setSingleStep(qMax(1, RowHeight()));
    if (auto* ours = qobject_cast<TConsoleScrollBar*>(bar)) {
        ours->SetRangeAndValue(range, value);
    } else {
        bar->setRange(0, range);
        bar->setValue(value);
    }
    updatingScrollBar_ = false;
}

void TQvCustomConsole::ScrollBy(int Delta) {
    EnsureLayout();
    SetScrollPosition(EffectivePosition() + Delta);
}

void TQvCustomConsole::SetScrollPosition(int Value) {
    EnsureLayout();
    const int value = qBound(0, Value, RawRange());
    if (!scrolling_.SmoothScrolling()) {
        scrollTarget_ = value;
        if (value != scrollPosition_) {
            scrollPosition_ = value;
            ContentChanged();
        }
    } else {
        scrollTarget_ = value;
        if (qAbs(scrollTarget_ - scrollPosition_) >= scrolling_.AccelerationRange()) {
            scrollSpeed_ = scrolling_.MaxScrollSpeed();
        }
        ContentChanged();
    }
    UpdateScrollBar();
}

void TQvCustomConsole::ScrollBarAction(int action) {
    EnsureLayout();
    const int range = RawRange();
    const int line = RowHeight();
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        SetScrollPosition(scrollPosition_ + line);
        break;
    case QAbstractSlider::SliderSingleStepAdd:
        SetScrollPosition(scrollPosition_ - line);
        break;
    case QAbstractSlider::SliderPageStepSub:
        SetScrollPosition(scrollPosition_ + ClientHeight());
        break;
    case QAbstractSlider::SliderPageStepAdd:
        SetScrollPosition(scrollPosition_ - ClientHeight());
        break;
    case QAbstractSlider::SliderToMinimum:
        SetScrollPosition(range);
        break;
    case QAbstractSlider::SliderToMaximum:
        SetScrollPosition(0);
        break;
    case QAbstractSlider::SliderMove: {
        // Thumb tracking: no animation.
        const int value = qBound(0, range - verticalScrollBar()->sliderPosition(), range);
        scrollPosition_ = value;
        scrollTarget_ = value;
        ContentChanged();
        return;
    }
    default:
        return;
    }
    // The bar moved by its own step; put it where our position says.
    UpdateScrollBar();
    const bool useTarget = scrolling_.SmoothScrolling() && scrollTarget_ != scrollPosition_;
    verticalScrollBar()->setSliderPosition(range - (useTarget ? scrollTarget_ : scrollPosition_));
}

void TQvCustomConsole::ScrollBarReleased() {
    EnsureLayout();
    SetScrollPosition(RawRange() - verticalScrollBar()->sliderPosition());
}

void TQvCustomConsole::SmoothScrollStep() {
    if (!scrolling_.SmoothScrolling() || scrollPosition_ == scrollTarget_) {
        scrollSpeed_ = 1;
        return;
    }
    const int direction = scrollTarget_ > scrollPosition_ ? 1 : -1;
    scrollPosition_ += direction * scrollSpeed_;
    if ((direction > 0 && scrollPosition_ >= scrollTarget_) ||
        (direction < 0 && scrollPosition_ <= scrollTarget_)) {
        scrollPosition_ = scrollTarget_;
        scrollSpeed_ = 1;
    } else {
        const int remaining = qAbs(scrollTarget_ - scrollPosition_);
        if (remaining <= scrolling_.DecelerationRange()) {
            scrollSpeed_ = qMax(1, scrollSpeed_ - 1);
        } else if (scrollSpeed_ < scrolling_.MaxScrollSpeed()) {
            if (remaining < scrolling_.AccelerationRange()) {
                ++scrollSpeed_;
            } else {
                scrollSpeed_ = scrolling_.MaxScrollSpeed();
            }
        }
    }
    // The next animation step is the next frame's paint.
    ContentChanged();
}

void TQvCustomConsole::BlinkTimerTick() {
    blinkPhase_ = !blinkPhase_;
    if (blinkOnScreen_) {
        viewport()->update();
    }
    if (hoverLine_) {
        viewport()->setCursor(Qt::PointingHandCursor);
    }
}
