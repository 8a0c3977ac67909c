// The friends and groups trees: buddies by status, public and private
// groups, the first-child expansion, invitations to private groups, the
// user's own private group, muting by a click on a group's icon, and the
// mouse on the trees.
#include "app/mainform/MainForm.h"

#include "app/dialogs/DialogSupport.h"
#include "app/mainform/MainFormControls.h"
#include "console/QvConsole.h"
#include "platform/core/Cp1252.h"
#include "platform/core/Guarded.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>
#include <QStyleOptionViewItem>

#include <array>

namespace {

constexpr int kIconSize = 16;

bool SameName(const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) == 0;
}

// --- icons ----------------------------------------------------------------------

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
    case TMainForm::tiOnlineFriends:
        DrawFolder(p, QColor(0xE8, 0xC8, 0x5A));
        p.setPen(Qt::NoPen);
        p.setBrush(online);
        p.drawEllipse(QRectF(8, 7.5, 5, 5));
        break;
    case TMainForm::tiOfflineFriends:
        DrawFolder(p, QColor(0xE8, 0xC8, 0x5A));
        p.setPen(Qt::NoPen);
        p.setBrush(offline);
        p.drawEllipse(QRectF(8, 7.5, 5, 5));
        break;
    case TMainForm::tiUnknownFriends:
        DrawFolder(p, QColor(0xE8, 0xC8, 0x5A));
        p.setPen(QPen(QColor(0x60, 0x60, 0x60), 1.5));
        p.drawText(QRectF(5, 5, 9, 9), Qt::AlignCenter, QStringLiteral("?"));
        break;
    case TMainForm::tiFriendOnline:
        DrawPerson(p, online);
        break;
    case TMainForm::tiFriendOffline:
        DrawPerson(p, offline);
        break;
    case TMainForm::tiPublicGroups:
        DrawFolder(p, QColor(0x8C, 0xB4, 0xE6));
        break;
    case TMainForm::tiPrivateGroups:
        DrawFolder(p, QColor(0xB4, 0x96, 0xDC));
        break;
    case TMainForm::tiGroupListening:
        DrawBubble(p, group);
        break;
    case TMainForm::tiGroupMuted:
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

// Hands the mouse on a tree's viewport to the window.
class TTreeMouse : public QObject {
public:
    TTreeMouse(TMainForm* form, TTreeView* tree) : QObject(tree), form_(form), tree_(tree) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        bool handled = false;
        switch (event->type()) {
        case QEvent::MouseButtonPress: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::RightButton) {
                const QPoint pos = mouse->position().toPoint();
                plat::guarded([&] {
                    if (tree_ == form_->FriendsTreeView) {
                        form_->FriendsTreeViewMouseDown(mouse->button(), pos.x(), pos.y());
                    } else {
                        form_->GroupsTreeViewMouseDown(mouse->button(), pos.x(), pos.y());
                    }
                });
                handled = true;
            }
            break;
        }
        case QEvent::MouseButtonRelease: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (tree_ == form_->GroupsTreeView) {
                const QPoint pos = mouse->position().toPoint();
                plat::guarded(
                    [&] { form_->GroupsTreeViewMouseUp(mouse->button(), pos.x(), pos.y()); });
            }
            break;
        }
        case QEvent::MouseButtonDblClick: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton) {
                QTreeWidgetItem* node = tree_->itemAt(mouse->position().toPoint());
                plat::guarded([&] {
                    if (tree_ == form_->FriendsTreeView) {
                        form_->FriendsTreeViewDblClick(node);
                    } else {
                        form_->GroupsTreeViewDblClick(node);
                    }
                });
            }
            break;
        }
        default:
            break;
        }
        return handled;
    }

private:
    TMainForm* form_;
    TTreeView* tree_;
};

} // namespace

// --- setting up ------------------------------------------------------------------

void TMainForm::CreateTreesAndMenus() {
    for (TTreeView* tree : {FriendsTreeView, GroupsTreeView}) {
        tree->setIconSize(QSize(kIconSize, kIconSize));
        // The trees open their own menus; nothing is left to their parents.
        tree->setContextMenuPolicy(Qt::PreventContextMenu);
        tree->viewport()->installEventFilter(new TTreeMouse(this, tree));
        for (int i = 0; i < tree->topLevelItemCount(); ++i) {
            QTreeWidgetItem* root = tree->topLevelItem(i);
            SetNodeImage(root, NodeImage(root));
        }
    }
    CreatePopupMenus();
    OutputMemo->OnMouseUp = [this](TQvCustomConsole* sender, Qt::MouseButton button,
                                   Qt::KeyboardModifiers shift, int x,
                                   int y) { OutputMemoMouseUp(sender, button, shift, x, y); };
}

QTreeWidgetItem* TMainForm::OnlineFriendsNode() const {
    return FriendsTreeView->topLevelItem(0);
}
QTreeWidgetItem* TMainForm::OfflineFriendsNode() const {
    return FriendsTreeView->topLevelItem(1);
}
QTreeWidgetItem* TMainForm::UnknownFriendsNode() const {
    return FriendsTreeView->topLevelItem(2);
}
QTreeWidgetItem* TMainForm::PublicGroupsNode() const {
    return GroupsTreeView->topLevelItem(0);
}
QTreeWidgetItem* TMainForm::PrivateGroupsNode() const {
    return GroupsTreeView->topLevelItem(1);
}

int TMainForm::NodeImage(const QTreeWidgetItem* node) {
    const QVariant image = node->data(0, TTreeView::ImageIndexRole);
    return image.isValid() ? image.toInt() : -1;
}

void TMainForm::SetNodeImage(QTreeWidgetItem* node, int image) {
    node->setData(0, TTreeView::ImageIndexRole, image);
    node->setIcon(0, TreeIcon(image));
}

QRect TMainForm::NodeIconRect(const TTreeView& tree, const QTreeWidgetItem* node) {
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

QTreeWidgetItem* TMainForm::AddChildNode(QTreeWidgetItem* root, const QString& text, int image,
                                         bool* expandFlag) {
    // Inserting in place keeps the children sorted as a re-sort would.
    int index = 0;
    while (index < root->childCount()) {
        const QString other = root->child(index)->text(0);
        const int order = QString::compare(text, other, Qt::CaseInsensitive);
        if (order < 0 || (order == 0 && text < other)) {
            break;
        }
        ++index;
    }
    auto* node = new QTreeWidgetItem(QStringList{text});
    SetNodeImage(node, image);
    root->insertChild(index, node);
    if (expandFlag && *expandFlag) {
        *expandFlag = false;
        root->setExpanded(true);
    }
    return node;
}

// --- buddies ------------------------------------------------------------------------

void TMainForm::AddFriend(const QString& name, bool online, bool permanent) {
    QTreeWidgetItem* root;
    bool* flag = nullptr;
    if (!permanent) {
        root = UnknownFriendsNode();
    } else if (online) {
        root = OnlineFriendsNode();
        flag = &ExpandOnlineFriends;
    } else {
        root = OfflineFriendsNode();
        flag = &ExpandOfflineFriends;
    }
    AddChildNode(root, name, online ? tiFriendOnline : tiFriendOffline, flag);
}

void TMainForm::RemoveFriendNode(const QString& name) {
    for (QTreeWidgetItem* root :
         {OnlineFriendsNode(), OfflineFriendsNode(), UnknownFriendsNode()}) {
        for (int i = 0; i < root->childCount(); ++i) {
            if (root->child(i)->text(0) == name) {
                delete root->takeChild(i);
                break;
            }
        }
    }
}

// The entry is the engine's: only its values are kept.
void TMainForm::VLChatFriendAdd(TVLChat*, const TFriendInfo& Friend) {
    AddFriend(plat::FromCp1252(Friend.Name()), Friend.Online(), Friend.DataFlag());
}

void TMainForm::VLChatFriendStatusChange(TVLChat*, const TFriendInfo& Friend) {
    const QString name = plat::FromCp1252(Friend.Name());
    RemoveFriendNode(name);
    AddFriend(name, Friend.Online(), Friend.DataFlag());
}

void TMainForm::VLChatFriendRemove(TVLChat*, const TFriendInfo& Friend) {
    RemoveFriendNode(plat::FromCp1252(Friend.Name()));
}

// --- public groups ---------------------------------------------------------------------

void TMainForm::VLChatGroupListChange(TVLChat*) {
    GroupsTreeView->setUpdatesEnabled(false);
    struct Resume {
        QWidget* tree;
        ~Resume() { tree->setUpdatesEnabled(true); }
    } resume{GroupsTreeView};
    QTreeWidgetItem* root = PublicGroupsNode();
    const TGroupList& groups = VLChat->GroupList();
    for (qsizetype i = 0; i < groups.Count(); ++i) {
        const auto group = groups.Items(i);
        const QString name = plat::FromCp1252(group->Name());
        QTreeWidgetItem* node = nullptr;
        for (int c = 0; c < root->childCount() && !node; ++c) {
            if (SameName(root->child(c)->text(0), name)) {
                node = root->child(c);
            }
        }
        const int image = group->Muted() ? tiGroupMuted : tiGroupListening;
        if (node) {
            SetNodeImage(node, image);
        } else {
            AddChildNode(root, name, image, &ExpandPublicGroups);
        }
    }
}

void TMainForm::MuteGroup(const QString& name) {
    const qsizetype index = VLChat->GroupList().IndexOfName(plat::ToCp1252(name));
    if (index >= 0 && !VLChat->GroupList().Items(index)->Muted()) {
        VLChat->MuteGroup(index);
    }
}

void TMainForm::UnmuteGroup(const QString& name) {
    const qsizetype index = VLChat->GroupList().IndexOfName(plat::ToCp1252(name));
    if (index >= 0 && VLChat->GroupList().Items(index)->Muted()) {
        VLChat->UnmuteGroup(index);
    }
}

// --- private groups ------------------------------------------------------------------------

QTreeWidgetItem* TMainForm::PrivateGroupNode(const QString& group) const {
    QTreeWidgetItem* root = PrivateGroupsNode();
    for (int i = 0; i < root->childCount(); ++i) {
        if (SameName(root->child(i)->text(0), group)) {
            return root->child(i);
        }
    }
    return nullptr;
}

void TMainForm::AddPrivateGroupNode(const QString& group) {
    if (!PrivateGroupNode(group)) {
        AddChildNode(PrivateGroupsNode(), group, tiGroupListening, &ExpandPrivateGroups);
    }
}

void TMainForm::RemovePrivateGroupNode(const QString& group) {
    QTreeWidgetItem* root = PrivateGroupsNode();
    for (int i = root->childCount() - 1; i >= 0; --i) {
        if (SameName(root->child(i)->text(0), group)) {
            delete root->takeChild(i);
        }
    }
    if (TargetKind == tkPrivateGroup && SameName(TargetName, group)) {
        TargetKind = tkNone;
        SetTargetLabel(QString());
    }
}

bool TMainForm::PrivateGroupMuted(const QString& group) const {
    const QTreeWidgetItem* node = PrivateGroupNode(group);
    return !node || NodeImage(node) != tiGroupListening;
}

bool TMainForm::IsOwnPrivateGroup(const QString& group) const {
    return SameName(group, CurrentCharacter);
}

void TMainForm::VLChatPrivateGroupInvite(TVLChat*, const QByteArray& GroupName) {
    const QString group = plat::FromCp1252(GroupName);
    const bool join = dlg::ConfirmationBox(
        this, QStringLiteral("You have been invited to join the private chat group \r\n") + group +
                  QStringLiteral(".  Would you like to join?"));
    // A join that could not be sent shows no group.
    if (join && VLChat->PrivateGroupJoin(GroupName)) {
        AddPrivateGroupNode(group);
    }
}

void TMainForm::InviteCharacter(const QString& name) {
    if (VLChat->PrivateGroupInvite(plat::ToCp1252(name))) {
        AddPrivateGroupNode(CurrentCharacter);
    }
}

void TMainForm::KickCharacter(const QString& name) {
    if (PrivateGroupNode(CurrentCharacter)) {
        VLChat->PrivateGroupKick(plat::ToCp1252(name));
    }
}

void TMainForm::KickAll() {
    if (PrivateGroupNode(CurrentCharacter)) {
        VLChat->PrivateGroupKickAll();
    }
}

// Leaving another character's group tells the server nothing: its lines
// are just no longer shown.
void TMainForm::LeavePrivateGroup(const QString& group) {
    if (IsOwnPrivateGroup(group)) {
        VLChat->PrivateGroupKickAll();
    }
    RemovePrivateGroupNode(group);
}

// --- mouse on the trees -----------------------------------------------------------------------

void TMainForm::GroupsTreeViewMouseUp(Qt::MouseButton Button, int X, int Y) {
    if (Button != Qt::LeftButton) {
        return;
    }
    const QPoint pos(X, Y);
    QTreeWidgetItem* node = GroupsTreeView->itemAt(pos);
    // Only the node that was clicked, not one selected before a drag.
    if (!node || node != GroupsTreeView->currentItem() || !node->isSelected() ||
        !NodeIconRect(*GroupsTreeView, node).contains(pos)) {
        return;
    }
    const bool isPublic = node->parent() == PublicGroupsNode();
    switch (NodeImage(node)) {
    case tiGroupListening:
        SetNodeImage(node, tiGroupMuted);
        if (isPublic) {
            MuteGroup(node->text(0));
        }
        break;
    case tiGroupMuted:
        SetNodeImage(node, tiGroupListening);
        if (isPublic) {
            UnmuteGroup(node->text(0));
        }
        break;
    default:
        break;
    }
}

void TMainForm::FriendsTreeViewDblClick(QTreeWidgetItem* node) {
    if (node && NodeImage(node) >= tiFriendOnline) {
        QueryCharacter(node->text(0));
    }
}

void TMainForm::GroupsTreeViewDblClick(QTreeWidgetItem* node) {
    if (!node) {
        return;
    }
    if (node->parent() == PublicGroupsNode()) {
        QueryPublicGroup(node->text(0));
    } else if (node->parent() == PrivateGroupsNode()) {
        QueryPrivateGroup(node->text(0));
    }
}

void TMainForm::FriendsTreeViewMouseDown(Qt::MouseButton Button, int X, int Y) {
    QTreeWidgetItem* node = FriendsTreeView->itemAt(QPoint(X, Y));
    if (Button != Qt::RightButton || !node) {
        return;
    }
    FriendsTreeView->setCurrentItem(node);
    if (!node->parent()) {
        return;
    }
    PopupName = node->text(0);
    const QPoint global = FriendsTreeView->viewport()->mapToGlobal(QPoint(X, Y));
    if (node->parent() == OnlineFriendsNode()) {
        OnPopupMenuPopup();
        OpenPopup(OnPopupMenu, global);
    } else if (node->parent() == OfflineFriendsNode()) {
        OffPopupMenuPopup();
        OpenPopup(OffPopupMenu, global);
    } else {
        UnPopupMenuPopup();
        OpenPopup(UnPopupMenu, global);
    }
}

void TMainForm::GroupsTreeViewMouseDown(Qt::MouseButton Button, int X, int Y) {
    QTreeWidgetItem* node = GroupsTreeView->itemAt(QPoint(X, Y));
    if (Button != Qt::RightButton || !node) {
        return;
    }
    GroupsTreeView->setCurrentItem(node);
    if (!node->parent()) {
        return;
    }
    PopupGroup = node->text(0);
    const QPoint global = GroupsTreeView->viewport()->mapToGlobal(QPoint(X, Y));
    if (node->parent() == PublicGroupsNode()) {
        PubPopupMenuPopup();
        OpenPopup(PubPopupMenu, global);
    } else {
        PrivPopupMenuPopup();
        OpenPopup(PrivPopupMenu, global);
    }
}
