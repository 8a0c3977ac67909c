#include "app/mainform/FriendsGroupsTrees.h"

#include "app/mainform/MainFormControls.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>
#include <QStyleOptionViewItem>

#include <array>

namespace {

constexpr int kIconSize = 16;

// What a name is indexed under: the engine's comparison of names.
QString Key(const QString& name) {
    return name.toCaseFolded();
}

// The order of the children: alphabetical without regard to case, and
// exactly between names that differ only in case.
bool SortsBefore(const QString& a, const QString& b) {
    const int order = QString::compare(a, b, Qt::CaseInsensitive);
    return order < 0 || (order == 0 && a < b);
}

// Where a child with this text goes: after every child that does not sort
// after it, as a re-sort would place it.
int InsertionIndex(const QTreeWidgetItem* root, const QString& text) {
    int low = 0;
    int high = root->childCount();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (SortsBefore(text, root->child(middle)->text(0))) {
            high = middle;
        } else {
            low = middle + 1;
        }
    }
    return low;
}

// The index of a child among its sorted siblings.
int IndexAmongSiblings(const QTreeWidgetItem* root, QTreeWidgetItem* node) {
    const QString text = node->text(0);
    int low = 0;
    int high = root->childCount();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (SortsBefore(root->child(middle)->text(0), text)) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    // Siblings never share a text (they are indexed under different keys), so
    // the search ends on the node itself.
    const bool found = low < root->childCount() && root->child(low) == node;
    Q_ASSERT(found);
    return found ? low : root->indexOfChild(node);
}

void DrawPerson(QPainter& p, const QColor& color) {
    p.setPen(QPen(color.darker(160), 1));
    p.setBrush(color);
    p.drawEllipse(QRectF(5, 1.5, 6, 6));
    QPainterPath body;
    body.moveTo(2.5, 15);
    body.cubicTo(2.5, 8, 13.5, 8, 13.5, 15);
    body.closeSubpath();
    p.drawPath(body);
}

void DrawFolder(QPainter& p, const QColor& color) {
    p.setPen(QPen(color.darker(170), 1));
    p.setBrush(color);
    QPainterPath folder;
    folder.moveTo(1.5, 3.5);
    folder.lineTo(6.5, 3.5);
    folder.lineTo(8, 5);
    folder.lineTo(14.5, 5);
    folder.lineTo(14.5, 13.5);
    folder.lineTo(1.5, 13.5);
    folder.closeSubpath();
    p.drawPath(folder);
}

void DrawBubble(QPainter& p, const QColor& color) {
    p.setPen(QPen(color.darker(170), 1));
    p.setBrush(color);
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(1.5, 2.5, 13, 8.5), 3, 3);
    QPainterPath tail;
    tail.moveTo(4, 10);
    tail.lineTo(3.5, 14.5);
    tail.lineTo(8, 10);
    tail.closeSubpath();
    p.drawPath(bubble.united(tail));
}

QPixmap DrawTreeImage(int image) {
    QPixmap pixmap(kIconSize, kIconSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor online(0x2E, 0xA0, 0x3C);
    const QColor offline(0xA0, 0xA0, 0xA0);
    const QColor group(0x3C, 0x78, 0xD2);
    switch (image) {
    case TFriendsGroupsTrees::tiOnlineFriends:
        DrawFolder(p, QColor(0xE8, 0xC8, 0x5A));
        p.setPen(Qt::NoPen);
        p.setBrush(online);
        p.drawEllipse(QRectF(8, 7.5, 5, 5));
        break;
    case TFriendsGroupsTrees::tiOfflineFriends:
        DrawFolder(p, QColor(0xE8, 0xC8, 0x5A));
        p.setPen(Qt::NoPen);
        p.setBrush(offline);
        p.drawEllipse(QRectF(8, 7.5, 5, 5));
        break;
    case TFriendsGroupsTrees::tiUnknownFriends:
        DrawFolder(p, QColor(0xE8, 0xC8, 0x5A));
        p.setPen(QPen(QColor(0x60, 0x60, 0x60), 1.5));
        p.drawText(QRectF(5, 5, 9, 9), Qt::AlignCenter, QStringLiteral("?"));
        break;
    case TFriendsGroupsTrees::tiFriendOnline:
        DrawPerson(p, online);
        break;
    case TFriendsGroupsTrees::tiFriendOffline:
        DrawPerson(p, offline);
        break;
    case TFriendsGroupsTrees::tiPublicGroups:
        DrawFolder(p, QColor(0x8C, 0xB4, 0xE6));
        break;
    case TFriendsGroupsTrees::tiPrivateGroups:
        DrawFolder(p, QColor(0xB4, 0x96, 0xDC));
        break;
    case TFriendsGroupsTrees::tiGroupListening:
        DrawBubble(p, group);
        break;
    case TFriendsGroupsTrees::tiGroupMuted:
        DrawBubble(p, offline);
        p.setPen(QPen(QColor(0xD0, 0x20, 0x20), 2));
        p.drawLine(QPointF(2.5, 13.5), QPointF(13.5, 2.5));
        break;
    default:
        break;
    }
    return pixmap;
}

const QIcon& TreeIcon(int image) {
    static std::array<QIcon, 9> icons;
    static QIcon none;
    if (image < 0 || image >= static_cast<int>(icons.size())) {
        return none;
    }
    if (icons[image].isNull()) {
        icons[image] = QIcon(DrawTreeImage(image));
    }
    return icons[image];
}

// Deletes every child of the roots, inside one update of the tree.
void EmptyRoots(TTreeView& tree) {
    tree.setUpdatesEnabled(false);
    for (int i = 0; i < tree.topLevelItemCount(); ++i) {
        qDeleteAll(tree.topLevelItem(i)->takeChildren());
    }
    tree.setUpdatesEnabled(true);
}

} // namespace

TFriendsGroupsTrees::TFriendsGroupsTrees(TTreeView& friends, TTreeView& groups)
    : friends_(friends), groups_(groups) {
    const std::pair<const char*, int> friendRoots[] = {{"Online Friends", tiOnlineFriends},
                                                       {"Offline Friends", tiOfflineFriends},
                                                       {"Unknown", tiUnknownFriends}};
    for (const auto& [caption, image] : friendRoots) {
        SetNodeImage(friends_.AddRoot(QString::fromLatin1(caption), image), image);
    }
    SetNodeImage(groups_.AddRoot(QStringLiteral("Public Groups"), tiPublicGroups), tiPublicGroups);
    SetNodeImage(groups_.AddRoot(QStringLiteral("Private Groups"), tiPrivateGroups),
                 tiPrivateGroups);
    for (TTreeView* tree : {&friends_, &groups_}) {
        tree->setIconSize(QSize(kIconSize, kIconSize));
    }
}

QTreeWidgetItem* TFriendsGroupsTrees::OnlineFriendsNode() const {
    return friends_.topLevelItem(0);
}
QTreeWidgetItem* TFriendsGroupsTrees::OfflineFriendsNode() const {
    return friends_.topLevelItem(1);
}
QTreeWidgetItem* TFriendsGroupsTrees::UnknownFriendsNode() const {
    return friends_.topLevelItem(2);
}
QTreeWidgetItem* TFriendsGroupsTrees::PublicGroupsNode() const {
    return groups_.topLevelItem(0);
}
QTreeWidgetItem* TFriendsGroupsTrees::PrivateGroupsNode() const {
    return groups_.topLevelItem(1);
}

int TFriendsGroupsTrees::NodeImage(const QTreeWidgetItem* node) {
    const QVariant image = node->data(0, TTreeView::ImageIndexRole);
    return image.isValid() ? image.toInt() : -1;
}

void TFriendsGroupsTrees::SetNodeImage(QTreeWidgetItem* node, int image) {
    node->setData(0, TTreeView::ImageIndexRole, image);
    node->setIcon(0, TreeIcon(image));
}

QRect TFriendsGroupsTrees::NodeIconRect(const TTreeView& tree, const QTreeWidgetItem* node) {
    QStyleOptionViewItem option;
    option.initFrom(tree.viewport());
    option.rect = tree.visualItemRect(node);
    option.features = QStyleOptionViewItem::HasDisplay | QStyleOptionViewItem::HasDecoration;
    option.decorationSize = tree.iconSize();
    option.decorationPosition = QStyleOptionViewItem::Left;
    option.decorationAlignment = Qt::AlignCenter;
    option.displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    option.icon = node->icon(0);
    option.text = node->text(0);
    option.font = tree.font();
    option.fontMetrics = QFontMetrics(tree.font());
    return tree.style()->subElementRect(QStyle::SE_ItemViewItemDecoration, &option, &tree);
}

QTreeWidgetItem* TFriendsGroupsTrees::AddChild(TNodeIndex& index, const QString& key,
                                               QTreeWidgetItem* root, const QString& text,
                                               int image, bool* expandFlag) {
    Q_ASSERT(!index.contains(key));
    auto* node = new QTreeWidgetItem(QStringList{text});
    SetNodeImage(node, image);
    root->insertChild(InsertionIndex(root, text), node);
    index.insert(key, node);
    if (expandFlag && *expandFlag) {
        *expandFlag = false;
        root->setExpanded(true);
    }
    return node;
}

void TFriendsGroupsTrees::RemoveChild(TNodeIndex& index, const QString& key) {
    QTreeWidgetItem* node = index.take(key);
    if (node) {
        QTreeWidgetItem* root = node->parent();
        delete root->takeChild(IndexAmongSiblings(root, node));
    }
}

void TFriendsGroupsTrees::AddFriend(const QString& name, bool online, bool permanent) {
    const QString key = Key(name);
    RemoveChild(friendNodes_, key);
    QTreeWidgetItem* root;
    bool* flag = nullptr;
    if (!permanent) {
        root = UnknownFriendsNode();
    } else if (online) {
        root = OnlineFriendsNode();
        flag = &expandOnline_;
    } else {
        root = OfflineFriendsNode();
        flag = &expandOffline_;
    }
    AddChild(friendNodes_, key, root, name, online ? tiFriendOnline : tiFriendOffline, flag);
}

void TFriendsGroupsTrees::RemoveFriend(const QString& name) {
    RemoveChild(friendNodes_, Key(name));
}

void TFriendsGroupsTrees::SetPublicGroups(const std::vector<std::pair<QString, bool>>& groups) {
    groups_.setUpdatesEnabled(false);
    struct Resume {
        QWidget& tree;
        ~Resume() { tree.setUpdatesEnabled(true); }
    } resume{groups_};
    QTreeWidgetItem* root = PublicGroupsNode();
    for (const auto& [name, muted] : groups) {
        const QString key = Key(name);
        const int image = muted ? tiGroupMuted : tiGroupListening;
        if (QTreeWidgetItem* node = publicNodes_.value(key)) {
            SetNodeImage(node, image);
        } else {
            AddChild(publicNodes_, key, root, name, image, &expandPublic_);
        }
    }
}

QTreeWidgetItem* TFriendsGroupsTrees::PrivateGroupNode(const QString& group) const {
    return privateNodes_.value(Key(group));
}

void TFriendsGroupsTrees::AddPrivateGroup(const QString& group) {
    const QString key = Key(group);
    if (!privateNodes_.contains(key)) {
        AddChild(privateNodes_, key, PrivateGroupsNode(), group, tiGroupListening, &expandPrivate_);
    }
}

void TFriendsGroupsTrees::RemovePrivateGroup(const QString& group) {
    RemoveChild(privateNodes_, Key(group));
}

bool TFriendsGroupsTrees::PrivateGroupMuted(const QString& group) const {
    const QTreeWidgetItem* node = PrivateGroupNode(group);
    return !node || NodeImage(node) != tiGroupListening;
}

void TFriendsGroupsTrees::Clear() {
    EmptyRoots(groups_);
    EmptyRoots(friends_);
    friendNodes_.clear();
    publicNodes_.clear();
    privateNodes_.clear();
    expandOnline_ = true;
    expandOffline_ = false;
    expandPublic_ = true;
    expandPrivate_ = true;
}
