#include "console/FontCache.h"

TFontCache::Entry::Entry(const QFont& f)
    : font(f), metrics(f), height(metrics.height()), ascent(metrics.ascent()),
      rowHeight(metrics.height() + kRowExtra),
      spaceWidth(metrics.horizontalAdvance(QLatin1Char(' '))) {}

namespace {

constexpr qsizetype kMaxCachedWidths = 4096;
constexpr qsizetype kMaxCachedWordLength = 48;

} // namespace

int TFontCache::Entry::Advance(const QString& text) const {
    if (text.size() == 1 && text[0] == u' ') {
        return spaceWidth;
    }
    if (text.size() > kMaxCachedWordLength) {
        return metrics.horizontalAdvance(text);
    }
    const auto it = widths_.constFind(text);
    if (it != widths_.constEnd()) {
        return *it;
    }
    const int width = metrics.horizontalAdvance(text);
    if (widths_.size() >= kMaxCachedWidths) {
        widths_.clear();
    }
    // A deep copy: the text may point into a line's storage.
    widths_.insert(QString(text.constData(), text.size()), width);
    return width;
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
