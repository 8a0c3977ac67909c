#pragma once
// Helpers shared by the console tests: a compact text form of a parsed line,
// a console set up for deterministic pixels, mouse input and an event log.

#include "console/MarkupParser.h"
#include "console/QvConsole/QvConsole.h"
#include "platform/core/Clock.h"

#include <QEvent>
#include <QImage>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>

// One token per chunk: "ts", "sp", "br", "t:<text>", "link:<name>|<params>|<hint>|<url?>",
// "/link", "font:<face>,<abs>,<rel>,<color>,<bg>", "/font", "img:<n>", "col:<n>",
// "hr:<n>", "on:<style>", "off:<style>", "indent", "/indent", "pre", "/pre".
// Blinking chunks get a "!" suffix, unselectable ones a "#" suffix.
QString DumpChunks(const TChunkList& line);
QString Parse(const QString& markup, TQvConsoleWhitespace ws = cwsCollapseOutsidePRE,
              bool timestampEmptyLines = false);

// The font every pixel test draws with.
plat::ColoredFont TestFont(int points = 9, plat::TColor color = plat::clBlack);

// A shown console of the given size: white background, black DejaVu Sans 9 pt,
// no frame, margins 2. Its scroll bar is never shown, so the client width is
// the console's width whatever the content.
struct ConsoleRig {
    ConsoleRig(int width, int height);
    QImage Grab();          // one paint
    int LineHeight() const; // height of one row of text in the test font
    int Advance(const QString& text) const;
    // The middle of the newest line's first row, dx pixels in.
    QPoint OnNewest(int dx = 4) const;

    // Mouse input to the viewport.
    void Mouse(QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons);
    void MoveTo(QPoint p, Qt::MouseButtons held = Qt::NoButton) {
        Mouse(QEvent::MouseMove, p, Qt::NoButton, held);
    }
    void Press(QPoint p) { Mouse(QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton); }
    void Release(QPoint p) { Mouse(QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton); }
    void Click(QPoint p) {
        MoveTo(p);
        Press(p);
        Release(p);
    }
    void Drag(QPoint from, QPoint to) {
        MoveTo(from);
        Press(from);
        MoveTo(to, Qt::LeftButton);
        Release(to);
    }

    // Every reading of the clock is a frame later than the one before: the
    // console paints every change at once, as if the user were slow.
    plat::ScopedClockOverride clock{[now = int64_t(0)]() mutable { return now += 1000; }};
    TQvConsole console;
    QImage last;
};

// Expected colours (0xRRGGBB) of pixels of the last grab.
struct Px {
    int x, y;
    unsigned rgb;
};
// The pixels that differ, as "x,y:rrggbb"; empty when all match.
QString WrongPixels(ConsoleRig& rig, std::initializer_list<Px> expected);

// Whether any pixel of the rectangle has the colour (0xRRGGBB).
bool HasColor(const QImage& image, const QRect& rect, unsigned rgb);

// Colours of pixels as 0xRRGGBB.
inline unsigned Rgb(QRgb p) {
    return p & 0xFFFFFF;
}

// Runs the event loop a few rounds: queued moves, the paints they ask for.
void Settle();
// Whether what the window shows equals a paint from scratch.
bool ShownEqualsFresh(TQvConsole& console);
// The stored markup of every line, oldest first.
QStringList Texts(const TQvConsole& console);

// Counts the paints of the widget it filters.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        paints += e->type() == QEvent::Paint;
        return false;
    }
};

// The console's events in order: "down", "click", "link:<name>|<params>|<hint>",
// "up" or "up:<hovered link>", "select:<text>", "added:<n>,up|bottom", and
// "open:<url>" for addresses handed to the desktop.
class EventLog : public QObject {
    Q_OBJECT
public:
    explicit EventLog(TQvConsole& console);
    ~EventLog() override;
    QStringList Take();
    // Take() without the mouse buttons' own events.
    QStringList TakeOutcome();

    QStringList log;

public Q_SLOTS:
    void Open(const QUrl& url);
};
