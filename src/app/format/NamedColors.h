#pragma once

#include "platform/gui/Colors.h"

#include <QString>

// The colour set of the colour palettes (input line and reference editor):
// 25 named colours, five per row; cell (column, row) holds entry
// row * 5 + column.
inline constexpr int kNamedColorColumns = 5;
inline constexpr int kNamedColorRows = 5;

struct TNamedColorCell {
    QString Name;
    plat::TColor Color;
};

// The colour and name of a cell; cells outside the set are "Unknown" and black.
TNamedColorCell NamedColorAt(int column, int row);
