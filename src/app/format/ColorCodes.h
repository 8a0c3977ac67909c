#pragma once
// The game's in-text colour codes. The chat service's texts carry them: a code
// is the character 0x10 followed by one index character, except the reference
// colour whose code is the single character 0x11; the character 0x12 ends a
// coloured span. Texts are held decoded (Windows-1252), so these control
// bytes are the characters U+0010 to U+0012.

#include "platform/gui/Colors.h"

#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>
#include <span>
#include <vector>

class QTextDocument;

// A colour as markup writes it: RRGGBB in upper-case hex, system colours
// resolved first.
QString ColorToHex(plat::TColor color);

struct TColorCodeRow {
    uint32_t Rgb; // 0xRRGGBB: red, green, blue in reading order
    char16_t CodeChars[2];
    qsizetype CodeLength;

    QStringView Code() const { return QStringView(CodeChars, CodeLength); }
    // RRGGBB in upper case, as the markup writes it.
    QString Hex() const;
    // As a colour value ($00BBGGRR).
    plat::TColor Color() const;
};

// Order matters for every lookup and replacement: the first row wins.
extern const std::array<TColorCodeRow, 32> ColorCodeTable;

inline constexpr QChar ColorCodeStart = QChar(0x10);
inline constexpr QChar ReferenceCode = QChar(0x11); // row 25, the reference colour
inline constexpr QChar EndCode = QChar(0x12);
inline constexpr int ReferenceRow = 25;

// The code of the first row whose colour equals the RGB colour; empty when none.
QString ColorCode(plat::TColor color);
// The colour of the first row with that code; 0 when none.
plat::TColor ColorOfCode(QStringView code);

// Removes every code (rows in order), then every end code.
QString StripColorCodes(QStringView text);

// Turns codes into font changes: each code (rows in order) becomes
// "</font><font color="#RRGGBB">", written in the message colour instead when
// the row's colour is the console's background; then each end code switches
// back to the message colour.
QString DecodeColorCodes(QStringView text, plat::TColor messageColor, plat::TColor background);

// One character of the input line with its colour.
struct TColoredChar {
    QChar Char;
    plat::TColor Color;
};

// Encodes coloured input as text with codes. Normal mode writes the code of
// every table colour the text switches to and an end code on each return to
// the default colour; other colours are ignored. Reference mode encodes only
// the reference colour and closes an open reference span at the end.
QString EncodeColors(std::span<const TColoredChar> text, plat::TColor defaultColor,
                     bool referenceMode);

// The characters of a rich text with their colours, in text order; a
// character without a colour of its own has the default colour. Paragraph
// ends become CR LF in the colour of the character before them.
std::vector<TColoredChar> ColoredCharacters(const QTextDocument& document,
                                            plat::TColor defaultColor);
