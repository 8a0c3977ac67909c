#pragma once
// Golden pictures: an expected image kept as text under tests/data, one
// letter per pixel with a legend of the colours, so that a change reads in a
// diff and a failure shows where the pixels differ.
//
// File layout:
//     # any comment lines
//     size <width> <height>
//     colour <letter> <RRGGBB, or AARRGGBB when not opaque>
//     ...
//     pixels
//     <one row of letters per pixel row>
//
// To write the pictures anew from what the code draws now, run the tests with
// QV_UPDATE_GOLDEN=1 in the environment (see tests/data/dockkit/README.md),
// then read the diff before committing it.

#include <QImage>
#include <QString>

#include <gtest/gtest.h>

// Compares the image (any format; compared as ARGB32) with the golden picture
// at `path`. On a difference the message shows the first differing rows side
// by side and the actual picture is written to golden-actual/ in the working
// directory. In update mode the file is written from the image instead.
::testing::AssertionResult MatchesGolden(const QImage& image, const QString& path);

// The golden picture's text for an image (what update mode writes).
QString GoldenText(const QImage& image, const QString& comment = QString());
// The image a golden text describes; a null image (and the reason in `error`)
// when the text is malformed.
QImage ParseGolden(const QString& text, QString* error = nullptr);
