#pragma once
// The images of the main window's actions, drawn rather than loaded, by
// index: 0 whois, 1 add buddy, 2 remove, 3 query, 4 mute, 5 listen, 6 connect,
// 7 disconnect, 9 options, 10 help, 11 cut, 12 copy, 13 paste, 14 delete,
// 16 undo, 17 redo, 18 web site, 20 reference, 21 new, 22 open, 23 save,
// 24 invite, 25 kick, 26 refresh, 27 unread, 28 read, 29 away messages,
// 30 back, 31 away. The other indexes up to 31 are empty.

#include <QImage>

class QObject;

namespace plat {
class ImageList;
}

inline constexpr int MenuImageCount = 32;

// A 16 x 16 image with a transparent background; empty (but not null) for
// an unused index, null outside 0..31.
QImage MenuImage(int index);

// The picture of the "Font Color" items: a letter A in the upper 12 rows,
// leaving the lower 4 to the strip of the chosen colour.
QImage FontColorImage();

// Appends the 32 images to a list of 16 x 16 cells. Returns the first index.
int AddMenuImages(plat::ImageList& list);

// A form's list "MenuImages" of 16 x 16 cells, owned by the form, holding the
// 32 images at their indexes.
plat::ImageList* NewMenuImageList(QObject* owner);
