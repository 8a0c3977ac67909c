// Painting, the scroll bar, scrolling requests, smooth scrolling and blinking.
#include "console/QvConsole/QvConsole.h"

#include "console/ConsoleScrollBar.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>

// Walks the lines that reach into the client area, newest first. With a
// painter, only lines that reach into paintRect are drawn; hit areas are kept
// only from a walk over the whole client area.
void TQvCustomConsole::PlaceVisible(QPainter* painter, const QRect& paintRect,
                                    TMessageNode** oldestPlaced) {
    const TLayoutEnv& env = Env();
    TLineLayout layout(env, fonts_);
    TLayoutOutput out;
    const int clientWidth = env.ClientWidth;
    const int clientHeight = env.ClientHeight;
    const QRect client(0, 0, clientWidth, clientHeight);
    const bool whole = !painter || paintRect.contains(client);
    geometry_.BeginPass();
    int y = clientHeight + scrollPosition_;
    for (TMessageNode* line = lines_.Last(); line && y > paintRect.top(); line = line->Prev) {
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

void TQvCustomConsole::FlushScroll() {
    scrollPosted_ = false;
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
    plat::guarded([&] {
        EnsureLayout();
        ClampScroll();
        // A paint before a pending move of the pixels (an expose, a grab):
        // the window may still show the content before the move, so it is
        // painted again as a whole instead.
        const bool staleOutside = pendingScroll_ > 0;
        pendingScroll_ = 0;
        QPainter painter(viewport());
        painter.fillRect(event->rect(), plat::ToQColor(color_));
        PlaceVisible(&painter, event->rect(), nullptr);
        painter.end();
        if (staleOutside) {
            viewport()->update();
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
    plat::guarded([&] {
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
    ++contentVersion_;
    // The next frame is the next paint.
    QMetaObject::invokeMethod(
        this, [this] { viewport()->update(); }, Qt::QueuedConnection);
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
