#pragma once

#include "console/TextSprites.h"

#include <QFont>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

// Advances of short words, by their characters: an open-addressed table over
// one buffer of characters, cheaper to look up than a hash of strings.
class TWordWidths {
public:
    // The advance stored for the word, or -1.
    int Find(QStringView word, uint32_t hash) const {
        if (slots_.empty()) {
            return -1;
        }
        const size_t mask = slots_.size() - 1;
        for (size_t i = hash & mask;; i = (i + 1) & mask) {
            const Slot& s = slots_[i];
            if (s.width < 0) {
                return -1;
            }
            if (s.hash == hash && s.length == word.size() &&
                std::memcmp(chars_.data() + s.offset, word.utf16(), size_t(s.length) * 2) == 0) {
                return s.width;
            }
        }
    }
    void Insert(QStringView word, uint32_t hash, int width);
    int Size() const { return size_; }
    void Clear();
    static uint32_t Hash(QStringView word) {
        // FNV-1a over pairs of UTF-16 units, then the odd one out.
        const char16_t* p = word.utf16();
        const qsizetype n = word.size();
        uint32_t h = 2166136261u;
        qsizetype i = 0;
        for (; i + 1 < n; i += 2) {
            uint32_t pair;
            std::memcpy(&pair, p + i, sizeof pair);
            h = (h ^ pair) * 16777619u;
        }
        if (i < n) {
            h = (h ^ p[i]) * 16777619u;
        }
        return h ^ (h >> 15);
    }

private:
    struct Slot {
        uint32_t hash = 0;
        uint32_t offset = 0; // in chars_
        int32_t width = -1;  // -1: free
        uint16_t length = 0;
    };
    void Grow();

    std::vector<Slot> slots_; // a power of two, at most half full
    std::u16string chars_;
    int size_ = 0;
};

// Metrics of the fonts the console draws with, one entry per distinct font.
// Entries stay valid until Clear.
class TFontCache {
public:
    struct Entry {
        explicit Entry(const QFont& f);
        QFont font;
        QFontMetrics metrics;
        int height; // cell height: the height of any text in this font
        int ascent;
        int rowHeight;   // a new row's starting height: text height + kRowExtra
        int spaceWidth;  // width of one space
        uint32_t serial; // tells this entry from every other, even one made later at its place
        // The advance of a piece of text; words seen before are not shaped again.
        int Advance(const QString& text) const;
        // The glyphs of a piece of text, the pen starting at x 0 on the
        // baseline at y 0; words seen before are not shaped again.
        QList<QGlyphRun> Shape(const QString& text) const;
        // The text in the colour as an image to copy (see TTextSprites), or
        // null; advance: its Advance(), which the caller has measured
        // already; runs: its shaped glyphs, asked for only when the image is
        // made. Valid until the next call.
        template <typename RunsFn>
        const TTextSprite* Sprite(const QString& text, QRgb color, int advance,
                                  RunsFn&& runs) const {
            const TTextSprite* known = sprites_.Find(text, color);
            return known ? known : sprites_.Add(text, font, color, advance, ascent, height, runs);
        }
        int SpriteCount() const { return sprites_.Size(); }

    private:
        mutable TWordWidths widths_;
        mutable TTextSprites sprites_;
        mutable QHash<QString, QList<QGlyphRun>> shapes_;
    };

    static constexpr int kRowExtra = 2;

    // How often drawing has asked for text to be shaped, since the start.
    static uint64_t ShapeRequests();

    const Entry& Get(const QFont& font);
    int Size() const { return static_cast<int>(entries_.size()); }
    void Clear() { entries_.clear(); }

private:
    std::vector<std::unique_ptr<Entry>> entries_;
};
