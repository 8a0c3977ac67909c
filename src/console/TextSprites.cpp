#include "console/TextSprites.h"

#include "console/FontCache.h"

#include <QPaintEngine>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// Room around the advance box for antialiased edges, overhangs and lines
// drawn under or through the text.
constexpr int kMargin = 2;
// Copying an image rounds once more than blending glyphs does.
constexpr int kRounding = 1;

// Largest difference of any colour channel between two images of one size.
int MaxDifference(const QImage& a, const QImage& b) {
    int worst = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* p = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* q = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            worst = std::max({worst, std::abs(qRed(p[x]) - qRed(q[x])),
                              std::abs(qGreen(p[x]) - qGreen(q[x])),
                              std::abs(qBlue(p[x]) - qBlue(q[x]))});
        }
    }
    return worst;
}

// The smallest rectangle of the area holding every pixel that is not fully
// transparent.
QRect InkBounds(const QImage& image, const QRect& area) {
    int left = area.right() + 1;
    int right = area.left() - 1;
    int top = -1;
    int bottom = -1;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        // Most rows are empty: a test of the whole row without branches first.
        QRgb any = 0;
        for (int x = area.left(); x <= area.right(); ++x) {
            any |= row[x];
        }
        if (any == 0) {
            continue;
        }
        int first = area.left();
        while (row[first] == 0) {
            ++first;
        }
        int last = area.right();
        while (row[last] == 0) {
            --last;
        }
        left = std::min(left, first);
        right = std::max(right, last);
        top = top < 0 ? y : top;
        bottom = y;
    }
    return top < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

// Makes the area of the image fully transparent.
void Erase(QImage& image, const QRect& area) {
    for (int y = area.top(); y <= area.bottom(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        std::fill(row + area.left(), row + area.right() + 1, QRgb(0));
    }
}

} // namespace

void TTextSprites::DrawGlyphs(QPainter& painter, QPointF pen, const QList<QGlyphRun>& runs) {
    for (const QGlyphRun& run : runs) {
        painter.drawGlyphRun(pen, run);
    }
}

bool TTextSprites::Suits(const QPainter& painter) {
    const QPaintEngine* engine = painter.paintEngine();
    const QPaintDevice* device = painter.device();
    if (!engine || !device || engine->type() != QPaintEngine::Raster) {
        return false;
    }
    const QTransform transform = painter.deviceTransform();
    return transform.type() <= QTransform::TxTranslate &&
           transform.dx() == std::floor(transform.dx()) &&
           transform.dy() == std::floor(transform.dy()) && device->devicePixelRatio() == 1.0 &&
           painter.opacity() == 1.0 &&
           painter.compositionMode() == QPainter::CompositionMode_SourceOver;
}

std::optional<TTextSprite> TTextSprites::Make(const QString& text, const QFont& font, QRgb color,
                                              int advance, int ascent, int height) {
    // Room for ink beyond the text's box: overhangs, accents, lines drawn
    // under or through the text.
    const int pad = ascent / 2 + kMargin;
    const QRect used(0, 0, std::max(advance, 1) + 2 * pad, height + 2 * pad);
    if (!canvasPainter_ || canvas_.width() < used.width() || canvas_.height() < used.height()) {
        canvasPainter_.reset();
        canvas_ =
            QImage(used.size().expandedTo(canvas_.size()), QImage::Format_ARGB32_Premultiplied);
        canvas_.fill(Qt::transparent);
        canvasPainter_ = std::make_unique<QPainter>(&canvas_);
        canvasPainter_->setFont(font);
    }
    const QPoint pen(pad, pad + ascent);
    canvasPainter_->setPen(QColor::fromRgb(color));
    canvasPainter_->drawText(pen, text);
    const QRect ink = InkBounds(canvas_, used);
    TTextSprite sprite;
    if (ink.isEmpty()) {
        sprite.Image = QImage(1, 1, QImage::Format_ARGB32_Premultiplied);
        sprite.Image.fill(Qt::transparent);
        return sprite;
    }
    if (ink.left() == used.left() || ink.top() == used.top() || ink.right() == used.right() ||
        ink.bottom() == used.bottom()) {
        Erase(canvas_, canvas_.rect()); // it may reach further still
        return std::nullopt;
    }
    sprite.Image = canvas_.copy(ink);
    sprite.Offset = ink.topLeft() - pen;
    Erase(canvas_, ink); // transparent again for the next text
    return sprite;
}

bool TTextSprites::Faithful(const TTextSprite& sprite, const QList<QGlyphRun>& runs, QRgb color) {
    // The same text both ways over an opaque background, in the formats a
    // window's backing store uses. Plain coverage blends alike either way
    // (up to rounding); subpixel antialiasing, or blending with gamma, would
    // show a difference.
    const QPoint pen = -sprite.Offset;
    bool same = !sprite.Image.isNull();
    for (const QImage::Format format :
         {QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied}) {
        QImage direct(sprite.Image.size(), format);
        direct.fill(Qt::white);
        QImage copied = direct;
        {
            QPainter painter(&direct);
            painter.setPen(QColor::fromRgb(color));
            DrawGlyphs(painter, pen, runs);
        }
        {
            QPainter painter(&copied);
            painter.drawImage(QPoint(0, 0), sprite.Image);
        }
        same = same && MaxDifference(direct, copied) <= kRounding;
    }
    faithful_ = same ? 1 : 0;
    return same;
}

uint32_t TTextSprites::HashOf(QStringView text, QRgb color) {
    const uint32_t h = TWordWidths::Hash(text) ^ (color * 0x9E3779B1u);
    return h ^ (h >> 16);
}

// The slot holding the text in the colour, or the free slot where it goes.
size_t TTextSprites::SlotOf(QStringView text, QRgb color, uint32_t hash) const {
    const size_t mask = slots_.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& s = slots_[i];
        if (s.length < 0 ||
            (s.hash == hash && s.color == color && s.length == text.size() &&
             std::memcmp(chars_.data() + s.offset, text.utf16(), size_t(s.length) * 2) == 0)) {
            return i;
        }
    }
}

const TTextSprite* TTextSprites::Find(QStringView text, QRgb color) const {
    if (slots_.empty()) {
        return nullptr;
    }
    const Slot& s = slots_[SlotOf(text, color, HashOf(text, color))];
    return s.length < 0 ? nullptr : &s.sprite;
}

const TTextSprite* TTextSprites::Keep(const QString& text, QRgb color, TTextSprite sprite) {
    if (count_ >= kMaxSprites) {
        Clear();
    }
    if (size_t(count_ + 1) * 2 > slots_.size()) {
        Grow();
    }
    const uint32_t hash = HashOf(text, color);
    Slot& s = slots_[SlotOf(text, color, hash)];
    s = Slot{hash, uint32_t(chars_.size()), int32_t(text.size()), color, std::move(sprite)};
    chars_.append(reinterpret_cast<const char16_t*>(text.constData()), size_t(text.size()));
    ++count_;
    return &s.sprite;
}

void TTextSprites::Grow() {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(old.empty() ? 64 : old.size() * 2, Slot());
    const size_t mask = slots_.size() - 1;
    for (Slot& s : old) {
        if (s.length >= 0) {
            size_t i = s.hash & mask;
            while (slots_[i].length >= 0) {
                i = (i + 1) & mask;
            }
            slots_[i] = std::move(s);
        }
    }
}

void TTextSprites::Clear() {
    for (Slot& s : slots_) {
        s = Slot();
    }
    chars_.clear();
    count_ = 0;
}
