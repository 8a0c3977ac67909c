#pragma once
// The twelve emoticon images, drawn rather than loaded, in the order of the
// emoticon table's image indexes.

#include <QImage>

namespace plat {
class ImageList;
}

// One image: 0 smile, 1 grin, 2 wink, 3 tongue, 4 sunglasses, 5 surprise,
// 6 sad, 7 confused, 8 embarrassed, 9 crying, 10 undecided, 11 angry. A
// square of the given size with a transparent background; an index outside
// 0..11 gives a null image.
QImage EmoticonImage(int index, int size);

// Appends the twelve images to the list, each face as large as the list's
// cells allow and centred in them. Returns the index of the first.
int AddEmoticonImages(plat::ImageList& list);
