#pragma once

#include <QFlags>
#include <QString>

#include <cstdint>

// Kinds of the pieces a console line is made of, in their stored order.
enum TChunkKind : uint8_t {
    ckText,
    ckStyleOn,
    ckStyleOff,
    ckIndentOpen,
    ckIndentClose,
    ckLineBreak,
    ckLinkOpen,
    ckLinkClose,
    ckSpace,
    ckImage,
    ckColumn,
    ckRule,
    ckFontOpen,
    ckFontClose,
    ckTimestamp,
    ckPreOpen,
    ckPreClose,
};

// Font style bits of a style chunk and of a font state.
enum TFontStyleBit : uint8_t {
    fsBold = 1,
    fsItalic = 2,
    fsUnderline = 4,
};

enum TQvConsoleWhitespace { cwsCollapse, cwsCollapseOutsidePRE, cwsLeave };

enum TConsoleOption {
    coBlinking = 1,
    coSelection = 2,
    coAutoCopy = 4,
    coAutoOpenURLLinks = 8,
};
Q_DECLARE_FLAGS(TConsoleOptions, TConsoleOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TConsoleOptions)

enum TEdgeType { etNone, etClient, etStatic };

enum TIndentType { itNone, itHanging, itTimestamp };

// The hovered link, as the owner reads it when the mouse button goes up.
struct TLinkInformation {
    bool Valid = false;
    QString Name;
    QString Params;
    QString Hint;
};
