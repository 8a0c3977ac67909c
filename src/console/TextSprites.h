#pragma once

#include <QFont>
#include <QGlyphRun>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QPoint>
#include <QRgb>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// A piece of text drawn once into an image: the glyphs' coverage in one
// colour over transparency (premultiplied), copied to the screen wherever
// the same text is drawn again in that font and colour. Copying an image
// costs a fraction of blending every glyph; the result is the same to the
// pixel, which each cache checks once against glyphs drawn directly.
struct TTextSprite {
    QImage Image;
    QPoint Offset; // of the image's top-left from the pen at the start of the baseline
};

// The images of one font's words, by text and colour. Once a font's images
// are found faithful, its text is always copied from them (never drawn as
// glyphs one time and copied another), so that the same line looks the same
// in every paint. Bounded: everything is dropped when the images kept reach
// the limit.
class TTextSprites {
public:
    static constexpr int kMaxSprites = 2048;

    // The image of the text in the colour, or null. Valid until the next
    // call that adds.
    const TTextSprite* Find(QStringView text, QRgb color) const;
    // Makes the image of the text in the font and colour; null when the
    // text is to be drawn as glyphs: always, once this font's images are
    // found not to match its glyphs drawn directly; for this text, when its
    // ink reaches too far from its box. advance: the text's width; ascent:
    // the font's; runs() gives the text's glyphs with the pen at (0, 0) on
    // the baseline, asked for only once per cache.
    template <typename RunsFn>
    const TTextSprite* Add(const QString& text, const QFont& font, QRgb color, int advance,
                           int ascent, int height, RunsFn&& runs) {
        if (faithful_ == 0) {
            return nullptr;
        }
        std::optional<TTextSprite> sprite = Make(text, font, color, advance, ascent, height);
        if (!sprite || (faithful_ < 0 && !Faithful(*sprite, runs(), color))) {
            return nullptr;
        }
        return Keep(text, color, std::move(*sprite));
    }
    int Size() const { return count_; }
    void Clear();

    // Whether a painter copies images the way the images assume: pixels
    // one to one, no fractional shift, plain source-over.
    static bool Suits(const QPainter& painter);

    // Draws the runs as glyphs (the ordinary way, and the reference).
    static void DrawGlyphs(QPainter& painter, QPointF pen, const QList<QGlyphRun>& runs);

private:
    // An open-addressed table keyed by text and colour, its texts in one
    // buffer: cheaper to look up than a hash of strings.
    struct Slot {
        uint32_t hash = 0;
        uint32_t offset = 0; // of the text in chars_
        int32_t length = -1; // -1: free
        QRgb color = 0;
        TTextSprite sprite;
    };
    static uint32_t HashOf(QStringView text, QRgb color);
    size_t SlotOf(QStringView text, QRgb color, uint32_t hash) const;
    void Grow();

    // The text drawn on a transparent canvas, cut to its ink.
    std::optional<TTextSprite> Make(const QString& text, const QFont& font, QRgb color, int advance,
                                    int ascent, int height);
    const TTextSprite* Keep(const QString& text, QRgb color, TTextSprite sprite);
    // Whether the image matches the runs drawn directly, over opaque
    // backgrounds; decides for the whole cache.
    bool Faithful(const TTextSprite& sprite, const QList<QGlyphRun>& runs, QRgb color);

    QImage canvas_;                           // transparent between uses by Make
    std::unique_ptr<QPainter> canvasPainter_; // on canvas_, in the cache's font
    std::vector<Slot> slots_;                 // a power of two, at most half full
    std::u16string chars_;
    int count_ = 0;        // images kept
    int8_t faithful_ = -1; // -1: not decided yet
};
