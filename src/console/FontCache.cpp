#include "console/FontCache.h"

#include <QTextLayout>

#include <atomic>
#include <cstring>

namespace {

constexpr qsizetype kMaxCachedWidths = 4096;
constexpr qsizetype kMaxCachedShapes = 2048;
constexpr qsizetype kMaxCachedWordLength = 48;

std::atomic<uint64_t> shapeRequests{0};

uint32_t NextSerial() {
    static std::atomic<uint32_t> last{0};
    return ++last;
}

} // namespace

TFontCache::Entry::Entry(const QFont& f)
    : font(f), metrics(f), height(metrics.height()), ascent(metrics.ascent()),
      rowHeight(metrics.height() + kRowExtra),
      spaceWidth(metrics.horizontalAdvance(QLatin1Char(' '))), serial(NextSerial()) {}

uint64_t TFontCache::ShapeRequests() {
    return shapeRequests;
}

QList<QGlyphRun> TFontCache::Entry::Shape(const QString& text) const {
    ++shapeRequests;
    const auto known = shapes_.constFind(text);
    if (known != shapes_.cend()) {
        return *known;
    }
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine row = layout.createLine();
    layout.endLayout();
    QList<QGlyphRun> runs = row.isValid() ? row.glyphRuns() : QList<QGlyphRun>();
    // Move the baseline to y 0 and the pen's start to x 0.
    const QPointF origin(row.isValid() ? row.x() : 0, row.isValid() ? row.ascent() : 0);
    for (QGlyphRun& run : runs) {
        QList<QPointF> positions = run.positions();
        for (QPointF& p : positions) {
            p -= origin;
        }
        run.setPositions(positions);
    }
    if (text.size() <= kMaxCachedWordLength) {
        if (shapes_.size() >= kMaxCachedShapes) {
            shapes_.clear();
        }
        shapes_.insert(text, runs);
    }
    return runs;
}

int TFontCache::Entry::Advance(const QString& text) const {
    if (text.size() == 1 && text[0] == u' ') {
        return spaceWidth;
    }
    if (text.size() > kMaxCachedWordLength) {
        return metrics.horizontalAdvance(text);
    }
    const uint32_t hash = TWordWidths::Hash(text);
    const int cached = widths_.Find(text, hash);
    if (cached >= 0) {
        return cached;
    }
    const int width = metrics.horizontalAdvance(text);
    if (widths_.Size() >= kMaxCachedWidths) {
        widths_.Clear();
    }
    widths_.Insert(text, hash, width);
    return width;
}

void TWordWidths::Insert(QStringView word, uint32_t hash, int width) {
    if (size_t(size_ + 1) * 2 > slots_.size()) {
        Grow();
    }
    const size_t mask = slots_.size() - 1;
    size_t i = hash & mask;
    while (slots_[i].width >= 0) {
        i = (i + 1) & mask;
    }
    slots_[i] =
        Slot{hash, static_cast<uint32_t>(chars_.size()), width, static_cast<uint16_t>(word.size())};
    chars_.append(word.utf16(), size_t(word.size()));
    ++size_;
}

void TWordWidths::Grow() {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(old.empty() ? 64 : old.size() * 2, Slot());
    const size_t mask = slots_.size() - 1;
    for (const Slot& s : old) {
        if (s.width >= 0) {
            size_t i = s.hash & mask;
            while (slots_[i].width >= 0) {
                i = (i + 1) & mask;
            }
            slots_[i] = s;
        }
    }
}

void TWordWidths::Clear() {
    slots_.clear();
    chars_.clear();
    size_ = 0;
}

const TFontCache::Entry& TFontCache::Get(const QFont& font) {
    // The most recently added fonts are the likeliest to be asked for again.
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
        if ((*it)->font == font) {
            return **it;
        }
    }
    entries_.push_back(std::make_unique<Entry>(font));
    return *entries_.back();
}
