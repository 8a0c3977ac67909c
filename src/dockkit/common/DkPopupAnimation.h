#pragma once
// Pop-up windows fade in or slide out of the side they open from. The window
// is pictured once; a worker thread paces the animation and posts each step
// to the GUI thread, where the window's opacity changes (fade) or its mask
// and the picture move (slide). The worker never touches a widget: it reads
// the pointer position the GUI thread records and the state fixed before it
// started. One animation runs at a time in the process.
//
// A step is applied only while an animation is active for that very window;
// late steps of an ended animation, or of an earlier one, are dropped.

#include <QPoint>
#include <QSize>
#include <QtGlobal>

#include <cstdint>

class QPainter;
class QWidget;

namespace dk {

// Where the picture enters from (a set of these).
constexpr unsigned adRightToLeft = 1;
constexpr unsigned adLeftToRight = 2;
constexpr unsigned adTopToBottom = 4;
constexpr unsigned adBottomToTop = 8;

// The step (0 .. 240, a multiple of 16) an animation of timeMs has reached
// after elapsedMs, or -1 once it is complete.
int PopupAnimationStepAt(int64_t elapsedMs, int timeMs);
// Where a slide puts the picture at a step (0 .. 255) of the way in.
QPoint PopupSlideOffset(QSize size, int step, unsigned directions);

// Ends a running animation, pictures the window and shows it (without
// activating it) at the first step: fading from alpha 32 where the window
// system blends windows, else sliding in from an empty mask.
void BeginPopupAnimation(QWidget* window, int timeMs, bool fade, unsigned directions);
// The window's handling of a step message: applies the step (or ends the
// animation once the worker is done) and answers true; false for a step that
// belongs to no animation of this window.
bool PopupAnimationStep(QWidget* window, qintptr sequence);
// Stops the worker and shows the window whole (opacity or mask restored),
// then sends it kAnimationEndedMessage. With a window, only its animation
// ends; with null, any.
void FinishPopupAnimation(QWidget* window);
// Whether an animation of the window is running.
bool PopupAnimating(const QWidget* window);
// For the window's paint: while the window's animation shows its picture
// (the first paint and the steps' paints), paints it and answers true; any
// other paint must end the animation first and paint normally.
bool PaintPopupAnimation(const QWidget* window, QPainter& painter);
// The sequence number of the running (or last) animation.
qintptr PopupAnimationSequence();

} // namespace dk
