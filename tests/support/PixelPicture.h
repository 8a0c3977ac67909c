#pragma once
// Pixel tests that read like pictures: every pixel of an image region becomes
// one letter of a legend, so an expected picture is a list of rows.

#include <QImage>
#include <QRgb>
#include <QStringList>

#include <map>

using PixelLegend = std::map<QRgb, char>;

// The legend of the classic system colours: W white (button highlight,
// window), F button face (also the 3D light), G button shadow, D 3D dark
// shadow, K black (window frame, text), H highlight, '.' the magenta that
// BlankImage fills with.
const PixelLegend& ClassicLegend();

// An RGB32 image of the size filled with magenta (never a system colour).
QImage BlankImage(int width, int height);

// The rows of the region (the whole image by default); a colour missing from
// the legend shows as '?'.
QStringList PixelPicture(const QImage& image, const PixelLegend& legend = ClassicLegend(),
                         QRect region = QRect());
