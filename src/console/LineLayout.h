#pragma once

#include "console/ConsoleModel.h"
#include "console/FontCache.h"
#include "console/LineGeometry.h"
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
    uint32_t SettingsStamp = 0; // changes with every setting that moves pieces but the width
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
    const TMessageNode* HoveredLine = nullptr;
    int HoveredLink = -1; // chunk index of the hovered link in HoveredLine
    // A selection drag under way, in client coordinates.
    bool Selecting = false;
    QPoint SelectFrom;
    QPoint SelectTo;
    bool BlinkHidden = false; // blinking pieces are hidden in this phase
};

struct TLinkHitArea {
    QRect Rect;
    TMessageNode* Line = nullptr;
    int Link = -1; // chunk index of the link
};

struct TLayoutOutput {
    std::vector<TLinkHitArea> HitAreas;
    bool BlinkOnScreen = false;
};

// Lays out one line. Measuring computes the row heights into the geometry and
// returns the line height; placing walks the same rows at a given top, marks
// the selected pieces and records link hit areas, and paints when given a
// painter. The geometry caches text widths between passes; it must have one
// piece per chunk of the line.
class TLineLayout {
public:
    TLineLayout(const TLayoutEnv& env, TFontCache& fonts) : env_(env), fonts_(fonts) {}

    int Measure(TMessageNode& line, TLineGeometry& geometry);
    // Needs the row heights of a measure under the same settings.
    void Place(TMessageNode& line, TLineGeometry& geometry, int top, QPainter* painter,
               TLayoutOutput& out);

    // The text a timestamp chunk shows: the formatted time and one space.
    static QString TimestampText(const TMessageNode& line, const QString& format);

private:
    const TLayoutEnv& env_;
    TFontCache& fonts_;
};

// Whether a piece with this rectangle is selected by a drag from `from` to `to`.
bool IsPieceSelected(const QRect& piece, QPoint from, QPoint to);
