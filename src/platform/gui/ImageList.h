#pragma once

#include "platform/gui/Colors.h"

#include <QImage>
#include <QObject>

#include <vector>

class QPainter;

namespace plat {

// A list of images of one size, addressed by index.
class ImageList : public QObject {
    Q_OBJECT
public:
    ImageList(int width, int height, QObject* parent = nullptr);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Count() const { return static_cast<int>(images_.size()); }

    // Adds the image, or each cell of a strip whose width is a multiple of
    // Width(); other sizes are scaled to one cell. Returns the first new index.
    int Add(const QImage& image);
    // As Add, with every pixel of the mask colour made transparent.
    int AddMasked(const QImage& image, TColor maskColor);
    void Delete(int index);
    void Clear();
    // The image at index, or a null image when index is out of range.
    QImage Image(int index) const;

    // Fills the cell at (x, y) with background (nothing for clNone) and draws
    // the image over it. An index out of range draws the background only.
    void Draw(QPainter& painter, int x, int y, int index, TColor background) const;

Q_SIGNALS:
    void Changed();

private:
    int width_;
    int height_;
    std::vector<QImage> images_;
};

} // namespace plat
