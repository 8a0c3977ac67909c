#include "console/ConsoleScrollBar.h"

#include <QStyle>
#include <QStyleOptionSlider>

TConsoleScrollBar::TConsoleScrollBar(QWidget* parent) : QScrollBar(Qt::Vertical, parent) {}

TConsoleScrollBar::Look TConsoleScrollBar::CurrentLook() const {
    QStyleOptionSlider option;
    initStyleOption(&option);
    Look look;
    look.handle =
        style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this);
    look.atMinimum = value() == minimum();
    look.atMaximum = value() == maximum();
    return look;
}

void TConsoleScrollBar::SetRangeAndValue(int maximum, int value) {
    if (havePainted_ && minimum() == 0 && maximum == this->maximum() && value == this->value()) {
        return; // the same bar: nothing to set and nothing to paint
    }
    batch_ = true;
    setRange(0, maximum);
    setValue(value);
    batch_ = false;
    if (!havePainted_ || !(CurrentLook() == painted_)) {
        update();
    }
}

void TConsoleScrollBar::sliderChange(SliderChange change) {
    if (batch_ && (change == SliderRangeChange || change == SliderValueChange)) {
        return;
    }
    if ((change == SliderRangeChange || change == SliderValueChange) && havePainted_ &&
        !isSliderDown() && CurrentLook() == painted_) {
        return; // the base class would only ask for a paint of the same pixels
    }
    QScrollBar::sliderChange(change);
}

void TConsoleScrollBar::paintEvent(QPaintEvent* event) {
    QScrollBar::paintEvent(event);
    painted_ = CurrentLook();
    havePainted_ = true;
}
