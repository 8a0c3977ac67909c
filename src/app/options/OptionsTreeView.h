#pragma once
// The tree of page names beside the options pages: images from an image
// list, the node under the mouse drawn hot (underlined, in the hot-light
// colour), and one width that holds its longest caption with its image.

#include <QModelIndex>
#include <QPersistentModelIndex>
#include <QTreeWidget>

namespace plat {
class ImageList;
}

// The images of the options tree, by index: 0 a page group (the options
// cog), 1 connection, 2 logging, 3 away, 4 audio, 5 fonts and colours,
// 6 chat window.
inline constexpr int OptionsImageCount = 7;
// Appends the images to a list of 16 x 16 cells. Returns the first index.
int AddOptionsImages(plat::ImageList& list);

class TOptionsTreeView : public QTreeWidget {
    Q_OBJECT
public:
    explicit TOptionsTreeView(QWidget* parent);

    // The list the nodes take their images from; it stays the caller's.
    void SetImages(const plat::ImageList* images);
    const plat::ImageList* Images() const { return images_; }
    // Shows image `index` of the list beside the node.
    void SetImageIndex(QTreeWidgetItem* node, int index);
    // The node's image index, -1 for none.
    static int ImageIndex(const QTreeWidgetItem* node);

    // The node under the mouse, or null.
    QTreeWidgetItem* HotNode() const;

    // Fixes the width to hold every caption with its image and indent.
    void FitWidth();

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void SetHot(const QModelIndex& index);
    const plat::ImageList* images_ = nullptr;
    QPersistentModelIndex hot_;
};
