#pragma once

#include "console/ConsoleModel.h"
#include "console/FontCache.h"
#include "platform/gui/Colors.h"

#include <QPoint>
#include <QRect>
#include <QString>

#include <vector>

class QPainter;

namespace plat {
class ImageList;
}

// Everything a pass over one line reads from the console.
struct TLayoutEnv {
    int LeftMargin = 2;
    int UsableWidth = 0; // client width minus the right margin
    int ClientWidth = 0;
    int ClientHeight = 0;
    TIndentType IndentType = itHanging;
    int IndentAmount = 10;
    bool TimestampVisible = false;
    QString TimestampFormat;
    const TFontCache::Entry* Font = nullptr;
    plat::TColor FontColor = plat::clWindowText;
    const TFontCache::Entry* LinkFont = nullptr;
    plat::TColor LinkColor = plat::clBlue;
    const TFontCache::Entry* HoverFont = nullptr;
    plat::TColor HoverColor = plat::clBlue;
    const TFontCache::Entry* PreFont = nullptr;
    plat::TColor PreColor = plat::clWindowText;
    const plat::ImageList* Images = nullptr;
    plat::TColor Color = plat::clWindow; // the control colour
    const TConsoleChunk* HoveredLink = nullptr;
    // A selection drag under way, in client coordinates.
    bool Selecting = false;
    QPoint SelectFrom;
    QPoint SelectTo;
    bool BlinkHidden = false; // blinking pieces are hidden in this phase
};

struct TLinkHitArea {
    QRect Rect;
    TMessageNode* Line = nullptr;
    const TConsoleChunk* Link = nullptr;
};

struct TLayoutOutput {
    std::vector<TLinkHitArea> HitAreas;
    bool BlinkOnScreen = false;
};

// Lays out one line. Measuring computes the row heights and the line height;
// placing walks the same rows at a given top, marks the Selected flags and
// records link hit areas, and paints when given a painter.
class TLineLayout {
public:
    TLineLayout(const TLayoutEnv& env, TFontCache& fonts) : env_(env), fonts_(fonts) {}

    void Measure(TMessageNode& line);
    void Place(TMessageNode& line, int top, QPainter* painter, TLayoutOutput& out);

    // The text a timestamp chunk shows: the formatted time and one space.
    static QString TimestampText(const TMessageNode& line, const QString& format);

private:
    const TLayoutEnv& env_;
    TFontCache& fonts_;
};

// Whether a piece with this rectangle is selected by a drag from `from` to `to`.
bool IsPieceSelected(const QRect& piece, QPoint from, QPoint to);
