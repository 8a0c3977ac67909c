#pragma once
// Drop shadows of pop-ups: strips along the right and bottom edges of a
// window (and of the item that opened it), black under a given opacity and
// fading out at the outside corners. Each strip is a top-level window that
// never takes the mouse. Where top-level windows cannot be blended, or when
// blending is refused, the strips are solid, in the button shadow colour and
// half as thick.

#include "platform/gui/Rect.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <vector>

namespace dk {

// Which ends of a strip fade: the start (left, top), the end (right, bottom).
constexpr int ShadowStartSide = 1;
constexpr int ShadowEndSide = 2;

// How a strip shows: solid in its colour, blended as a translucent window, or
// blended over what is under it when erased (not available here).
constexpr int ShadowSolid = 0;
constexpr int ShadowLayered = 1;
constexpr int ShadowAlphaBlend = 2;

// The alpha of a strip's pixels (colour channels 0) into `buffer`, an ARGB32
// premultiplied image of the strip's size. A horizontal strip fades across
// its rows, a vertical one across its columns; faded sides get a corner piece
// as long as the strip is thick (half the length each when both do not fit).
void FillHorzShadowBuffer(QImage& buffer, int sides);
void FillVertShadowBuffer(QImage& buffer, int sides);

struct ShadowStrip {
    plat::TRect Bounds;
    bool Horizontal = false;
    int Sides = 0;

    bool operator==(const ShadowStrip&) const = default;
};

// The strips, `size` thick, that shadow the outline of two rectangles (a
// pop-up and the item it touches; either may be empty): along the right and
// bottom edge of each where that edge is on the outline. A strip fades at an
// end that is an outside corner of the outline and is cut off square where
// it meets the other rectangle or a strip laid before it (bottom strips come
// first). A single rectangle gets a right strip from `size` below its top,
// fading at its start, and a bottom strip from `size` right of its left edge
// to `size` beyond its right edge, fading at both ends.
std::vector<ShadowStrip> ShadowStrips(const plat::TRect& r1, const plat::TRect& r2, int size);

// The style a strip takes: solid when blending is refused or the desk cannot
// blend top-level windows, else layered.
int ShadowStyleFor(bool noBlending);

class TShadow : public QWidget {
    Q_OBJECT
public:
    // A hidden strip at the screen rectangle. `parent` (the pop-up) keeps it
    // on the pop-up's screen; the strip stays a window of its own.
    TShadow(const plat::TRect& bounds, int sides, bool noBlending, int opacity,
            QWidget* parent = nullptr);

    int Opacity() const { return opacity_; }
    int Sides() const { return sides_; }
    int Style() const { return style_; }
    bool SaveBits() const { return saveBits_; }
    void SetSaveBits(bool value) { saveBits_ = value; }

    // The strip's alpha values for its current size.
    QImage RenderBuffer();

protected:
    virtual void FillBuffer(QImage& buffer) = 0;
    void paintEvent(QPaintEvent* event) override;

private:
    int opacity_;
    int sides_;
    int style_;
    bool saveBits_ = true;
};

class THorzShadow final : public TShadow {
    Q_OBJECT
public:
    using TShadow::TShadow;

protected:
    void FillBuffer(QImage& buffer) override { FillHorzShadowBuffer(buffer, Sides()); }
};

class TVertShadow final : public TShadow {
    Q_OBJECT
public:
    using TShadow::TShadow;

protected:
    void FillBuffer(QImage& buffer) override { FillVertShadowBuffer(buffer, Sides()); }
};

// The strips of one pop-up, shown on creation.
class TShadows {
public:
    // `size` is halved when blending is refused or unavailable.
    TShadows(const plat::TRect& r1, const plat::TRect& r2, int size, int opacity, bool noBlending,
             QWidget* parent = nullptr);
    ~TShadows();
    TShadows(const TShadows&) = delete;
    TShadows& operator=(const TShadows&) = delete;

    void SetSaveBits(bool value);
    // Puts the strips under the window: they are shown, the window is raised.
    void BringBehind(QWidget* window);

    int Count() const { return static_cast<int>(strips_.size()); }
    TShadow* Strip(int index) const { return strips_[static_cast<size_t>(index)]; }

private:
    std::vector<QPointer<TShadow>> strips_;
};

} // namespace dk
