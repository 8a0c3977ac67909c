#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QString>

#include <memory>
#include <vector>

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
        int rowHeight;  // a new row's starting height: text height + kRowExtra
        int spaceWidth; // width of one space
        // The advance of a piece of text; words seen before are not shaped again.
        int Advance(const QString& text) const;

    private:
        mutable QHash<QString, int> widths_;
    };

    static constexpr int kRowExtra = 2;

    const Entry& Get(const QFont& font);
    int Size() const { return static_cast<int>(entries_.size()); }
    void Clear() { entries_.clear(); }

private:
    std::vector<std::unique_ptr<Entry>> entries_;
};
