#include "dockkit/themes/DkShadows.h"

#include "platform/gui/Colors.h"
#include "platform/gui/SystemParams.h"

#include <QPainter>

#include <algorithm>
#include <cstdlib>

namespace dk {

namespace {

enum class Corner { HorzStart, VertStart, End };

void PutAlpha(QImage& buffer, int x, int y, int alpha) {
    reinterpret_cast<QRgb*>(buffer.scanLine(y))[x] = static_cast<QRgb>(alpha) << 24;
}

// A corner piece of w x h pixels at (x0, y0) of the buffer.
void FillCorner(QImage& buffer, int x0, int y0, int w, int h, Corner corner) {
    const int s = std::max(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            int dx = 0;
            int dy = 0;
            switch (corner) {
            case Corner::HorzStart:
                dx = std::abs(s - 1 - x);
                dy = std::abs(y + s - h);
                break;
            case Corner::VertStart:
                dx = std::abs(x + s - w);
                dy = std::abs(y + 1 - s);
                break;
            case Corner::End:
                dx = std::abs(x + s - w);
                dy = std::abs(y - (h - s));
                break;
            }
            const int m = std::max(dx, dy);
            const int v = ((m + dx + dy) * 128) / s;
            PutAlpha(buffer, x0 + x, y0 + y, v < 255 ? 255 - v : 0);
        }
    }
}

// The lengths of the faded ends along a strip of `length` that is `thickness` thick.
void EndLengths(int sides, int length, int thickness, int& start, int& end) {
    start = (sides & ShadowStartSide) != 0 ? thickness : 0;
    end = (sides & ShadowEndSide) != 0 ? thickness : 0;
    if (start + end > length) {
        if (start != 0 && end != 0) {
            start = length / 2;
            end = length / 2;
        } else if (start != 0) {
            start = length;
        } else {
            end = length;
        }
    }
}

struct Interval {
    int from;
    int to;
};

// The parts of [from, to) that no interval of `cuts` covers.
std::vector<Interval> Subtract(Interval whole, std::vector<Interval> cuts) {
    std::sort(cuts.begin(), cuts.end(), [](Interval a, Interval b) { return a.from < b.from; });
    std::vector<Interval> parts;
    int at = whole.from;
    for (const Interval& cut : cuts) {
        if (cut.to <= at || cut.from >= whole.to) {
            continue;
        }
        if (cut.from > at) {
            parts.push_back({at, cut.from});
        }
        at = std::max(at, cut.to);
    }
    if (at < whole.to) {
        parts.push_back({at, whole.to});
    }
    return parts;
}

bool Overlap(const plat::TRect& a, const plat::TRect& b) {
    return !plat::IntersectRect(a, b).IsEmpty();
}

// A shadow strip along its length (x for a horizontal strip, y for a
// vertical one), fading across its thickness, with the corner pieces the
// sides ask for.
void FillShadowBuffer(QImage& buffer, int sides, bool horizontal) {
    const int w = buffer.width();
    const int h = buffer.height();
    buffer.fill(Qt::transparent);
    if (w <= 0 || h <= 0) {
        return;
    }
    const int length = horizontal ? w : h;
    const int thickness = horizontal ? h : w;
    int start = 0;
    int end = 0;
    EndLengths(sides, length, thickness, start, end);
    if (start > 0) {
        if (horizontal) {
            FillCorner(buffer, 0, 0, start, h, Corner::HorzStart);
        } else {
            FillCorner(buffer, 0, 0, w, start, Corner::VertStart);
        }
    }
    for (int across = 0; across < thickness; ++across) {
        const int alpha = 255 - (across * 256) / thickness;
        for (int along = start; along < length - end; ++along) {
            PutAlpha(buffer, horizontal ? along : across, horizontal ? across : along, alpha);
        }
    }
    if (end > 0) {
        if (horizontal) {
            FillCorner(buffer, w - end, 0, end, h, Corner::End);
        } else {
            FillCorner(buffer, 0, h - end, w, end, Corner::End);
        }
    }
}

} // namespace

void FillHorzShadowBuffer(QImage& buffer, int sides) {
    FillShadowBuffer(buffer, sides, true);
}

void FillVertShadowBuffer(QImage& buffer, int sides) {
    FillShadowBuffer(buffer, sides, false);
}

namespace {

// The strip along one side of a rectangle of the outline, before the
// strips laid earlier are cut out of it.
struct SideStrip {
    plat::TRect Bounds;
    bool FadeStart = false;
    bool FadeEnd = false;
};

SideStrip StripBeside(const plat::TRect& r, bool horizontal, int size,
                      const std::vector<plat::TRect>& outline) {
    const auto in = [&outline](int x, int y) {
        return std::any_of(outline.begin(), outline.end(),
                           [&](const plat::TRect& o) { return o.Contains(QPoint(x, y)); });
    };
    SideStrip s;
    if (horizontal) {
        // Outside corners: bottom-left and bottom-right.
        s.FadeStart = !in(r.Left - 1, r.Bottom - 1) && !in(r.Left, r.Bottom);
        s.FadeEnd = !in(r.Right, r.Bottom - 1) && !in(r.Right - 1, r.Bottom);
        // The corner square beyond the right edge belongs to this strip only
        // at an outside corner; elsewhere the other rectangle or its right
        // strip is there.
        s.Bounds = {s.FadeStart ? r.Left + size : r.Left, r.Bottom,
                    s.FadeEnd ? r.Right + size : r.Right, r.Bottom + size};
    } else {
        // The top-right corner; the bottom end joins the bottom strip.
        s.FadeStart = !in(r.Right - 1, r.Top - 1) && !in(r.Right, r.Top);
        s.Bounds = {r.Right, s.FadeStart ? r.Top + size : r.Top, r.Right + size, r.Bottom};
    }
    return s;
}

// Lays the parts of the strip that nothing taken covers; they are taken in
// turn. Only the strip's own ends fade.
void LayStrip(const SideStrip& s, bool horizontal, std::vector<plat::TRect>& taken,
              std::vector<ShadowStrip>& strips) {
    const plat::TRect& strip = s.Bounds;
    std::vector<Interval> cuts;
    for (const plat::TRect& t : taken) {
        if (Overlap(strip, t)) {
            cuts.push_back(horizontal ? Interval{t.Left, t.Right} : Interval{t.Top, t.Bottom});
        }
    }
    const Interval whole =
        horizontal ? Interval{strip.Left, strip.Right} : Interval{strip.Top, strip.Bottom};
    for (const Interval& part : Subtract(whole, cuts)) {
        ShadowStrip piece;
        piece.Horizontal = horizontal;
        piece.Bounds = horizontal ? plat::TRect(part.from, strip.Top, part.to, strip.Bottom)
                                  : plat::TRect(strip.Left, part.from, strip.Right, part.to);
        if (s.FadeStart && part.from == whole.from) {
            piece.Sides |= ShadowStartSide;
        }
        if (s.FadeEnd && part.to == whole.to) {
            piece.Sides |= ShadowEndSide;
        }
        strips.push_back(piece);
        taken.push_back(piece.Bounds);
    }
}

} // namespace

std::vector<ShadowStrip> ShadowStrips(const plat::TRect& r1, const plat::TRect& r2, int size) {
    std::vector<ShadowStrip> strips;
    if (size <= 0) {
        return strips;
    }
    std::vector<plat::TRect> rects;
    for (const plat::TRect& r : {r1, r2}) {
        if (!r.IsEmpty()) {
            rects.push_back(r);
        }
    }
    // What later strips must not cover again: the rectangles and laid strips.
    std::vector<plat::TRect> taken = rects;
    for (const bool horizontal : {true, false}) {
        for (const plat::TRect& r : rects) {
            const SideStrip strip = StripBeside(r, horizontal, size, rects);
            if (!strip.Bounds.IsEmpty()) {
                LayStrip(strip, horizontal, taken, strips);
            }
        }
    }
    return strips;
}

int ShadowStyleFor(bool noBlending) {
    if (noBlending) {
        return ShadowSolid;
    }
    return plat::CurrentSystemParameters().LayeredWindows() ? ShadowLayered : ShadowSolid;
}

// --- Strip windows -------------------------------------------------------------------

TShadow::TShadow(const plat::TRect& bounds, int sides, bool noBlending, int opacity,
                 QWidget* parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput |
                          Qt::WindowDoesNotAcceptFocus),
      opacity_(std::clamp(opacity, 0, 255)), sides_(sides), style_(ShadowStyleFor(noBlending)) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    if (style_ != ShadowSolid) {
        setAttribute(Qt::WA_TranslucentBackground);
    }
    setGeometry(bounds.ToQRect());
}

QImage TShadow::RenderBuffer() {
    QImage buffer(size(), QImage::Format_ARGB32_Premultiplied);
    FillBuffer(buffer);
    return buffer;
}

void TShadow::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    if (style_ == ShadowSolid) {
        painter.fillRect(rect(), plat::ToQColor(plat::clBtnShadow));
        return;
    }
    // A translucent window starts each paint cleared.
    painter.setOpacity(opacity_ / 255.0);
    painter.drawImage(0, 0, RenderBuffer());
}

TShadows::TShadows(const plat::TRect& r1, const plat::TRect& r2, int size, int opacity,
                   bool noBlending, QWidget* parent) {
    if (noBlending || !plat::CurrentSystemParameters().LayeredWindows()) {
        size /= 2;
    }
    for (const ShadowStrip& strip : ShadowStrips(r1, r2, size)) {
        TShadow* window = nullptr;
        if (strip.Horizontal) {
            window = new THorzShadow(strip.Bounds, strip.Sides, noBlending, opacity, parent);
        } else {
            window = new TVertShadow(strip.Bounds, strip.Sides, noBlending, opacity, parent);
        }
        strips_.emplace_back(window);
        window->show();
    }
    SetSaveBits(true);
}

TShadows::~TShadows() {
    for (const QPointer<TShadow>& strip : strips_) {
        delete strip.data();
    }
}

void TShadows::SetSaveBits(bool value) {
    for (const QPointer<TShadow>& strip : strips_) {
        if (strip != nullptr) {
            strip->SetSaveBits(value);
        }
    }
}

void TShadows::BringBehind(QWidget* window) {
    for (const QPointer<TShadow>& strip : strips_) {
        if (strip != nullptr) {
            strip->show();
        }
    }
    if (window != nullptr) {
        window->raise();
    }
}

} // namespace dk
