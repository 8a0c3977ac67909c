#pragma once

#include <QRect>
#include <QScrollBar>

// The console's vertical scroll bar. Lines arriving at the bottom change the
// range and value with every line while the handle stays where it is; such
// changes are not painted again.
class TConsoleScrollBar : public QScrollBar {
    Q_OBJECT
public:
    explicit TConsoleScrollBar(QWidget* parent = nullptr);

    // Sets range 0..maximum and the value together; paints only when the
    // bar would look different.
    void SetRangeAndValue(int maximum, int value);

protected:
    void sliderChange(SliderChange change) override;
    void paintEvent(QPaintEvent* event) override;

private:
    struct Look {
        QRect handle;
        bool atMinimum = false;
        bool atMaximum = false;
        bool operator==(const Look& other) const {
            return handle == other.handle && atMinimum == other.atMinimum &&
                   atMaximum == other.atMaximum;
        }
    };
    Look CurrentLook() const;

    Look painted_;
    bool batch_ = false;
    bool havePainted_ = false;
};
