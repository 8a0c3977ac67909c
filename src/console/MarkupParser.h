#pragma once

#include "console/ConsoleModel.h"

#include <QStringView>

struct TParseOptions {
    TQvConsoleWhitespace Whitespace = cwsCollapseOutsidePRE;
    bool TimestampEmptyLines = false;
};

// Turns one line of console markup into its chunks. A colour value the colour
// conversion rejects raises EConvertError "'%s' is not a valid integer value";
// nothing else about the markup fails.
TChunkList ParseMarkup(QStringView markup, const TParseOptions& options);

// Rewrites text chunks that begin with "http://", "mailto:" or "news://" into
// links named "URL".
void DetectURLs(TChunkList& line);
