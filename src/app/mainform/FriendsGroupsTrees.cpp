#include "app/mainform/FriendsGroupsTrees.h"

#include "app/mainform/TreeView.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

constexpr int kIconSize = 16;

// What a name is indexed under: the engine's comparison of names.
QString Key(const QString& name) {
    return name.toCaseFolded();
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

// The icons of the image indexes.
std::vector<QIcon> TreeImages() {
    std::vector<QIcon> images;
    for (int image = 0; image <= TFriendsGroupsTrees::tiGroupMuted; ++image) {
        images.emplace_back(DrawTreeImage(image));
    }
    return images;
}

} // namespace

TFriendsGroupsTrees::TFriendsGroupsTrees(TTreeView& friends, TTreeView& groups)
    : friends_(friends), groups_(groups) {
    const std::vector<QIcon> images = TreeImages();
    for (TTreeView* tree : {&friends_, &groups_}) {
        tree->setIconSize(QSize(kIconSize, kIconSize));
        tree->SetImages(images);
    }
    friends_.AddRoot(QStringLiteral("Online Friends"), tiOnlineFriends);
    friends_.AddRoot(QStringLiteral("Offline Friends"), tiOfflineFriends);
    friends_.AddRoot(QStringLiteral("Unknown"), tiUnknownFriends);
    groups_.AddRoot(QStringLiteral("Public Groups"), tiPublicGroups);
    groups_.AddRoot(QStringLiteral("Private Groups"), tiPrivateGroups);
}

TTreeNode* TFriendsGroupsTrees::OnlineFriendsNode() const {
    return friends_.Root(0);
}
TTreeNode* TFriendsGroupsTrees::OfflineFriendsNode() const {
    return friends_.Root(1);
}
TTreeNode* TFriendsGroupsTrees::UnknownFriendsNode() const {
    return friends_.Root(2);
}
TTreeNode* TFriendsGroupsTrees::PublicGroupsNode() const {
    return groups_.Root(0);
}
TTreeNode* TFriendsGroupsTrees::PrivateGroupsNode() const {
    return groups_.Root(1);
}

int TFriendsGroupsTrees::NodeImage(const TTreeNode* node) {
    return node ? node->Image() : -1;
}

void TFriendsGroupsTrees::SetNodeImage(TTreeNode* node, int image) {
    TTreeView::SetNodeImage(node, image);
}

TTreeNode* TFriendsGroupsTrees::AddChild(TTreeView& tree, TTreeNode* root, const QString& text,
                                         int image, bool* expandFlag) {
    TTreeNode* node = tree.AddChild(root, text, image);
    Arrived(tree, root, expandFlag);
    return node;
}

void TFriendsGroupsTrees::Arrived(TTreeView& tree, TTreeNode* root, bool* expandFlag) {
    if (expandFlag && *expandFlag) {
        *expandFlag = false;
        tree.SetExpanded(root, true);
    }
}

void TFriendsGroupsTrees::AddFriend(const QString& name, bool online, bool permanent) {
    TTreeNode* root;
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
    const int image = online ? tiFriendOnline : tiFriendOffline;
    const QString key = Key(name);
    TTreeNode* node = friendNodes_.value(key);
    if (node && node->Text() != name) {
        friends_.DeleteChild(node);
        node = nullptr;
    }
    if (node) {
        friends_.MoveChild(node, root);
        TTreeView::SetNodeImage(node, image);
        Arrived(friends_, root, flag);
    } else {
        friendNodes_.insert(key, AddChild(friends_, root, name, image, flag));
    }
}

void TFriendsGroupsTrees::RemoveFriend(const QString& name) {
    if (TTreeNode* node = friendNodes_.take(Key(name))) {
        friends_.DeleteChild(node);
    }
}

TTreeNode* TFriendsGroupsTrees::FriendNode(const QString& name) const {
    return friendNodes_.value(Key(name));
}

void TFriendsGroupsTrees::SetPublicGroups(const std::vector<std::pair<QString, bool>>& groups) {
    for (const auto& [name, muted] : groups) {
        const QString key = Key(name);
        const int image = muted ? tiGroupMuted : tiGroupListening;
        if (TTreeNode* node = publicNodes_.value(key)) {
            TTreeView::SetNodeImage(node, image);
        } else {
            publicNodes_.insert(key,
                                AddChild(groups_, PublicGroupsNode(), name, image, &expandPublic_));
        }
    }
}

TTreeNode* TFriendsGroupsTrees::PrivateGroupNode(const QString& group) const {
    return privateNodes_.value(Key(group));
}

void TFriendsGroupsTrees::AddPrivateGroup(const QString& group) {
    const QString key = Key(group);
    if (!privateNodes_.contains(key)) {
        privateNodes_.insert(
            key, AddChild(groups_, PrivateGroupsNode(), group, tiGroupListening, &expandPrivate_));
    }
}

void TFriendsGroupsTrees::RemovePrivateGroup(const QString& group) {
    if (TTreeNode* node = privateNodes_.take(Key(group))) {
        groups_.DeleteChild(node);
    }
}

bool TFriendsGroupsTrees::PrivateGroupMuted(const QString& group) const {
    const TTreeNode* node = PrivateGroupNode(group);
    return !node || node->Image() != tiGroupListening;
}

void TFriendsGroupsTrees::Clear() {
    for (TTreeView* tree : {&groups_, &friends_}) {
        for (int i = 0; i < tree->RootCount(); ++i) {
            tree->DeleteChildren(tree->Root(i));
        }
    }
    friendNodes_.clear();
    publicNodes_.clear();
    privateNodes_.clear();
    expandOnline_ = true;
    expandOffline_ = false;
    expandPublic_ = true;
    expandPrivate_ = true;
}
