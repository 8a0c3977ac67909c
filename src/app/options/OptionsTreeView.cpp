#include "app/options/OptionsTreeView.h"

#include "app/common/MenuImages.h"
#include "platform/core/Guarded.h"
#include "platform/gui/Colors.h"
#include "platform/gui/ImageList.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

// The node's image index travels with the node.
constexpr int kImageRole = Qt::UserRole + 1;

// Fonts and colours: the letter of the font colour items over a strip of
// three colours.
QImage FontsAndColorsImage() {
    QImage image = FontColorImage();
    QPainter p(&image);
    const QColor strip[] = {QColor(200, 40, 40), QColor(40, 150, 40), QColor(40, 80, 190)};
    for (int i = 0; i < 3; ++i) {
        p.fillRect(QRect(1 + i * 5, 12, 4, 4), strip[i]);
    }
    return image;
}

// Draws the hot node underlined in the hot-light colour; a selected hot
// node keeps the selection's colours.
class THotTrackDelegate final : public QStyledItemDelegate {
public:
    THotTrackDelegate(const QPersistentModelIndex& hot, QObject* parent)
        : QStyledItemDelegate(parent), hot_(hot) {}

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (!hot_.isValid() || index != hot_) {
            return;
        }
        option->font.setUnderline(true);
        option->fontMetrics = QFontMetrics(option->font);
        const QColor hotLight = plat::ToQColor(plat::clHotLight);
        for (const auto group : {QPalette::Active, QPalette::Inactive}) {
            option->palette.setColor(group, QPalette::Text, hotLight);
        }
    }

private:
    const QPersistentModelIndex& hot_;
};

} // namespace

int AddOptionsImages(plat::ImageList& list) {
    const int first = list.Count();
    // Page groups are settings: the options cog of the menus.
    list.Add(MenuImage(9));
    list.Add(MenuImage(6));  // connection: the connect link
    list.Add(MenuImage(20)); // logging: a written page
    list.Add(MenuImage(31)); // away: the away moon
    list.Add(MenuImage(5));  // audio: the speaker
    list.Add(FontsAndColorsImage());
    list.Add(MenuImage(3)); // chat window: a speech bubble
    return first;
}

TOptionsTreeView::TOptionsTreeView(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Moves without a button pressed reach mouseMoveEvent.
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    setItemDelegate(new THotTrackDelegate(hot_, this));
}

void TOptionsTreeView::SetImages(const plat::ImageList* images) {
    images_ = images;
    if (images_ != nullptr) {
        setIconSize(QSize(images_->Width(), images_->Height()));
    }
}

void TOptionsTreeView::SetImageIndex(QTreeWidgetItem* node, int index) {
    const QImage image = images_ != nullptr ? images_->Image(index) : QImage();
    node->setData(0, kImageRole, image.isNull() ? -1 : index);
    node->setIcon(0, image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image)));
}

int TOptionsTreeView::ImageIndex(const QTreeWidgetItem* node) {
    const QVariant index = node->data(0, kImageRole);
    return index.isValid() ? index.toInt() : -1;
}

QTreeWidgetItem* TOptionsTreeView::HotNode() const {
    return hot_.isValid() ? itemFromIndex(hot_) : nullptr;
}

void TOptionsTreeView::FitWidth() {
    // The column's hint counts each node's indent, image and caption.
    const int slack = fontMetrics().averageCharWidth();
    setFixedWidth(sizeHintForColumn(0) + 2 * frameWidth() + slack);
}

void TOptionsTreeView::mouseMoveEvent(QMouseEvent* event) {
    plat::Guarded([&] {
        QTreeWidget::mouseMoveEvent(event);
        SetHot(indexAt(event->position().toPoint()));
    });
}

void TOptionsTreeView::leaveEvent(QEvent* event) {
    plat::Guarded([&] {
        QTreeWidget::leaveEvent(event);
        SetHot(QModelIndex());
    });
}

void TOptionsTreeView::SetHot(const QModelIndex& index) {
    if (index == hot_) {
        return;
    }
    if (hot_.isValid()) {
        viewport()->update(visualRect(hot_));
    }
    hot_ = index;
    if (hot_.isValid()) {
        viewport()->update(visualRect(hot_));
    }
}
