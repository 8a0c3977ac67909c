#pragma once
// Painting pieces the themes share: small monochrome glyphs, the arrows of
// menus and drop-down buttons, the classic caption and frame controls (close
// button, scroll arrows, caption buttons) and captions in the small-caption
// font. Everything is drawn one pixel at a time in exact rectangles, so the
// pictures are the same on every desk.

#include "platform/gui/Colors.h"
#include "platform/gui/Rect.h"

#include <QPoint>
#include <QString>

#include <cstdint>
#include <span>

class QPainter;

namespace dk {

struct TDkxItemInfo;

// Hot as the classic painters take it: enabled with any hover, or disabled
// and hot by the keyboard.
bool ClassicHot(const TDkxItemInfo& info);
// How far a separator line stays off the ends of its rectangle: 12 for a
// horizontal line of a menu item; else 4 (1 in a floating view) when
// `inset` is set, 0 when not.
int SeparatorInset(const TDkxItemInfo& info, bool horizontal, bool inset);

// An 8-pixel-wide monochrome glyph, one byte per row, the high bit the
// leftmost pixel.
using GlyphRows = std::span<const uint8_t>;

// The cross of a dockable panel's close button (7 x 6).
extern const uint8_t kPanelCloseGlyph[6];
// The cross of a tool bar's close button on its drag handle (7 x 7).
extern const uint8_t kToolbarCloseGlyph[7];
// The chevron pointing right (8 x 5) and pointing down (5 x 8).
extern const uint8_t kChevronRightGlyph[5];
extern const uint8_t kChevronDownGlyph[8];
// The glyphs of the minimize and restore caption buttons (7 x 7).
extern const uint8_t kMinimizeGlyph[7];
extern const uint8_t kRestoreGlyph[7];

// Paints the set bits of the rows (at most `width` columns of each) in the
// colour, the glyph's top-left corner at `at`.
void DrawGlyph(QPainter& canvas, GlyphRows rows, int width, QPoint at, plat::TColor color);
// The glyph centred in the rectangle (its size `width` x the row count).
void DrawGlyphCentered(QPainter& canvas, GlyphRows rows, int width, const plat::TRect& rect,
                       plat::TColor color);

// A filled triangle pointing right with its tip at (x + 3, y): columns of 7,
// 5, 3 and 1 pixels from (x, y - 3).
void DrawSubmenuArrow(QPainter& canvas, int x, int y, plat::TColor color);
// A filled triangle pointing down, 5 wide and 3 high, whose top row is
// centred on (x, y).
void DrawSmallDownArrow(QPainter& canvas, int x, int y, plat::TColor color);
// A filled triangle pointing to the side (dk::ScrollArrow*) and as large as
// fits the rectangle at three quarters, centred.
void DrawArrowInRect(QPainter& canvas, const plat::TRect& rect, int direction, plat::TColor color);

// --- Classic frame controls --------------------------------------------------

// The close button of a caption: a raised face (sunken while pushed) with a
// cross in the button text colour, moved a pixel right and down while pushed.
void DrawCaptionCloseButton(QPainter& canvas, const plat::TRect& rect, bool pushed);
// A caption button of a kind (dk::WindowButton*), as the close button.
void DrawCaptionButton(QPainter& canvas, const plat::TRect& rect, int kind, bool pushed);
// A scroll-bar arrow button (dk::ScrollArrow*): a raised face, or a flat
// one-pixel frame with `flat`, with the arrow in the button text colour.
void DrawScrollButton(QPainter& canvas, const plat::TRect& rect, int direction, bool flat);

// --- Captions ------------------------------------------------------------------

// The caption flags of the themes' small captions: one line, vertically
// centred, ended with an ellipsis when too long, no underline.
constexpr unsigned kSmallCaptionFormat = 0x108024;

// Writes the text in the small-caption font and the colour with the format
// (plat::DT_*); nothing for an empty rectangle.
void DrawSmallCaptionText(QPainter& canvas, const plat::TRect& rect, const QString& text,
                          plat::TColor color, unsigned format);
// A docked panel's caption band, `caption` pixels deep at the start of its
// frame: along the top of a vertical panel, down the left of a horizontal one.
plat::TRect PanelCaptionBand(const plat::TRect& frame, int caption, bool vertical);
// Cuts the close button off the band's far end (the right of a top band, the
// top of a left band) and returns the button's square.
plat::TRect CutPanelCloseButton(plat::TRect& band, int caption, bool vertical);
// A docked panel's caption in its band: across a vertical panel's band (the
// caption band runs along the top), downwards in a horizontal one's.
void DrawPanelCaptionText(QPainter& canvas, const plat::TRect& band, const QString& caption,
                          plat::TColor color, bool vertical);
// A small window caption: the caption colour (active or not) with the text
// two pixels in.
void DrawSmallWindowCaption(QPainter& canvas, const plat::TRect& rect, const QString& text,
                            bool active);

} // namespace dk
