#pragma once
// Chat lines as the client writes them for the console, the same as HTML for
// the rich-text browser and as plain text for the plain-text view, and the
// font and settings the console benchmarks share.

#include "console/QvConsole/QvConsole.h"

#include <QCoreApplication>
#include <QFont>
#include <QString>

#include <cstdint>
#include <vector>

namespace consolebench {

// The lines typicalLines() holds; longer runs repeat them.
constexpr int kTypicalLines = 10000;

class Lcg {
public:
    uint32_t Next() {
        state_ = state_ * 1664525u + 1013904223u;
        return state_ >> 8;
    }
    int Below(int n) { return static_cast<int>(Next() % uint32_t(n)); }

private:
    uint32_t state_ = 4711;
};

inline const char* const kWords[] = {
    "the",   "quest",   "anyone",  "selling", "boots",     "of",    "speed",   "near",   "city",
    "guild", "meeting", "tonight", "at",      "nine",      "bring", "potions", "and",    "your",
    "best",  "gear",    "lol",     "thanks",  "for",       "help",  "with",    "that",   "boss",
    "fight", "dropped", "rare",    "sword",   "yesterday", "we",    "need",    "healer", "tank",
    "raid",  "starts",  "soon",    "who",     "wants",     "to",    "trade",   "gold",   "ore"};
inline const char* const kNames[] = {"Someone", "Aldric", "Brenna", "Corwin", "Dagny", "Eskil"};

struct TypicalLine {
    QString markup; // as the client writes it for the console
    QString html;   // the same for the rich-text browser
    QString plain;  // the same as plain text
};

// A timestamp, a group link, a name link, about fifteen words, a colour change.
inline std::vector<TypicalLine> makeLines(int count) {
    Lcg rng;
    std::vector<TypicalLine> lines;
    lines.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const QString time = QStringLiteral("[%1:%2]")
                                 .arg(10 + i / 600 % 14, 2, 10, QLatin1Char('0'))
                                 .arg(i / 10 % 60, 2, 10, QLatin1Char('0'));
        const QString name = QString::fromLatin1(kNames[rng.Below(6)]);
        QString words;
        const int n = 13 + rng.Below(5);
        for (int w = 0; w < n; ++w) {
            words +=
                (w ? QStringLiteral(" ") : QString()) + QString::fromLatin1(kWords[rng.Below(45)]);
        }
        TypicalLine line;
        line.markup = QStringLiteral("<noselect><font color=\"#808080\">%1</font>&nbsp;</noselect>"
                                     "<font color=\"#000000\">[<a name=\"group\" params=\"Trade\" "
                                     "hint=\"Trade\">Trade</a>] <a name=\"char\" params=\"%2\" "
                                     "hint=\"%2\">%2</a>: </font><font color=\"#0000FF\">%3</font>")
                          .arg(time, name, words);
        line.html =
            QStringLiteral("<span style=\"color:#808080\">%1</span>&nbsp;"
                           "<span style=\"color:#000000\">[<a href=\"group:Trade\" "
                           "title=\"Trade\">Trade</a>] <a href=\"char:%2\" title=\"%2\">%2</a>: "
                           "</span><span style=\"color:#0000FF\">%3</span>")
                .arg(time, name, words);
        line.plain = QStringLiteral("%1 [Trade] %2: %3").arg(time, name, words);
        lines.push_back(std::move(line));
    }
    return lines;
}

inline const std::vector<TypicalLine>& typicalLines() {
    static const std::vector<TypicalLine> lines = makeLines(kTypicalLines);
    return lines;
}

inline QFont benchFont() {
    return QFont(QStringLiteral("DejaVu Sans"), 9);
}

// The console as the main window sets it up, shown at 640 x 400.
inline void setUpConsole(TQvConsole& console, int limit) {
    console.SetFont(plat::ColoredFont{benchFont(), plat::clWindowText});
    console.Links().SetFont(plat::ColoredFont{benchFont(), plat::clBlue});
    plat::ColoredFont hover{benchFont(), plat::clBlue};
    hover.font.setUnderline(true);
    console.Links().SetHoverFont(hover);
    console.SetWhitespace(cwsLeave);
    console.SetIndentType(itNone);
    console.SetEdge(etNone);
    console.SetLimit(limit);
    console.resize(640, 400);
    console.show();
    QCoreApplication::processEvents();
}

} // namespace consolebench
