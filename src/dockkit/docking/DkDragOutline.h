#pragma once
// The outline a drag or sizing loop shows when windows do not move live: a
// frame of the halftone pattern in a small top-level window that lets the
// mouse through. Screens cannot be drawn on directly here, so the outline is
// a window of its own; its shape is the frame the inversion would toggle.

#include "platform/gui/Rect.h"

#include <QSize>
#include <QWidget>

namespace dk {

class TDkDragOutline final : public QWidget {
public:
    TDkDragOutline();

    // Shows the frame of `rect` (screen coordinates), `width` pixels wide at
    // the sides and `width.height()` at top and bottom; an empty rectangle
    // hides the outline.
    void Move(const plat::TRect& rect, QSize width);
    const plat::TRect& OutlineRect() const { return rect_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    plat::TRect rect_;
    QSize width_;
};

} // namespace dk
