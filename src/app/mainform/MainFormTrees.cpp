// The friends and groups trees as the engine and the user change them:
// buddies and groups as the server reports them, invitations to private
// groups, the user's own private group, muting by a click on a group's icon,
// and the mouse on the trees.
#include "app/mainform/MainForm.h"

#include "app/dialogs/DialogSupport.h"
#include "app/mainform/MainFormControls.h"
#include "console/QvConsole/QvConsole.h"
#include "platform/core/Cp1252.h"
#include "platform/core/Guarded.h"

#include <QEvent>
#include <QMouseEvent>

namespace {

using Trees = TFriendsGroupsTrees;

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
                plat::Guarded([&] {
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
                plat::Guarded(
                    [&] { form_->GroupsTreeViewMouseUp(mouse->button(), pos.x(), pos.y()); });
            }
            break;
        }
        case QEvent::MouseButtonDblClick: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton) {
                TTreeNode* node = tree_->NodeAt(mouse->position().toPoint());
                plat::Guarded([&] {
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
        // The trees open their own menus; nothing is left to their parents.
        tree->setContextMenuPolicy(Qt::PreventContextMenu);
        tree->viewport()->installEventFilter(new TTreeMouse(this, tree));
    }
    CreatePopupMenus();
    OutputMemo->OnMouseUp = [this](TQvCustomConsole* sender, Qt::MouseButton button,
                                   Qt::KeyboardModifiers shift, int x,
                                   int y) { OutputMemoMouseUp(sender, button, shift, x, y); };
}

// --- buddies ------------------------------------------------------------------------

// The entry is the engine's: only its values are kept.
void TMainForm::VLChatFriendAdd(TVLChat*, const TFriendInfo& Friend) {
    AddFriend(plat::FromCp1252(Friend.Name()), Friend.Online(), Friend.DataFlag());
}

// The buddy's node takes the place of the one it had: it moves to the root
// of its new status, and stays selected if it was.
void TMainForm::VLChatFriendStatusChange(TVLChat*, const TFriendInfo& Friend) {
    AddFriend(plat::FromCp1252(Friend.Name()), Friend.Online(), Friend.DataFlag());
}

void TMainForm::VLChatFriendRemove(TVLChat*, const TFriendInfo& Friend) {
    RemoveFriendNode(plat::FromCp1252(Friend.Name()));
}

// --- public groups ---------------------------------------------------------------------

void TMainForm::VLChatGroupListChange(TVLChat*) {
    std::vector<std::pair<QString, bool>> list;
    const TGroupList& groups = VLChat->GroupList();
    for (qsizetype i = 0; i < groups.Count(); ++i) {
        list.emplace_back(plat::FromCp1252(groups.Items(i)->Name()), groups.Items(i)->Muted());
    }
    trees_->SetPublicGroups(list);
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

void TMainForm::RemovePrivateGroupNode(const QString& group) {
    trees_->RemovePrivateGroup(group);
    target_->DropPrivateGroup(group);
}

bool TMainForm::IsOwnPrivateGroup(const QString& group) const {
    return QString::compare(group, CurrentCharacter, Qt::CaseInsensitive) == 0;
}

void TMainForm::VLChatPrivateGroupInvite(TVLChat*, const QByteArray& GroupName) {
    const QString group = plat::FromCp1252(GroupName);
    const bool join = dlg::ConfirmationBox(
        this, QStringLiteral("You have been invited to join the private chat group \r\n") + group +
                  QStringLiteral(".  Would you like to join?"));
    // A join that could not be sent shows no group.
    if (join && VLChat->PrivateGroupJoin(GroupName)) {
        trees_->AddPrivateGroup(group);
    }
}

void TMainForm::InviteCharacter(const QString& name) {
    if (VLChat->PrivateGroupInvite(plat::ToCp1252(name))) {
        trees_->AddPrivateGroup(CurrentCharacter);
    }
}

void TMainForm::KickCharacter(const QString& name) {
    if (trees_->PrivateGroupNode(CurrentCharacter)) {
        VLChat->PrivateGroupKick(plat::ToCp1252(name));
    }
}

void TMainForm::KickAll() {
    if (trees_->PrivateGroupNode(CurrentCharacter)) {
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
    TTreeNode* node = GroupsTreeView->NodeAt(pos);
    // Only the node that was clicked, not one selected before a drag.
    if (!node || node != GroupsTreeView->CurrentNode() || !GroupsTreeView->IsSelected(node) ||
        !GroupsTreeView->NodeIconRect(node).contains(pos)) {
        return;
    }
    const bool isPublic = node->Parent() == trees_->PublicGroupsNode();
    const QString name = node->Text();
    switch (node->Image()) {
    case Trees::tiGroupListening:
        Trees::SetNodeImage(node, Trees::tiGroupMuted);
        if (isPublic) {
            MuteGroup(name);
        }
        break;
    case Trees::tiGroupMuted:
        Trees::SetNodeImage(node, Trees::tiGroupListening);
        if (isPublic) {
            UnmuteGroup(name);
        }
        break;
    default:
        break;
    }
}

void TMainForm::FriendsTreeViewDblClick(TTreeNode* node) {
    if (node && node->Image() >= Trees::tiFriendOnline) {
        QueryCharacter(node->Text());
    }
}

void TMainForm::GroupsTreeViewDblClick(TTreeNode* node) {
    if (!node) {
        return;
    }
    if (node->Parent() == trees_->PublicGroupsNode()) {
        QueryPublicGroup(node->Text());
    } else if (node->Parent() == trees_->PrivateGroupsNode()) {
        QueryPrivateGroup(node->Text());
    }
}

void TMainForm::FriendsTreeViewMouseDown(Qt::MouseButton Button, int X, int Y) {
    TTreeNode* node = FriendsTreeView->NodeAt(QPoint(X, Y));
    if (Button != Qt::RightButton || !node) {
        return;
    }
    FriendsTreeView->SelectNode(node);
    if (!node->Parent()) {
        return;
    }
    PopupName = node->Text();
    const QPoint global = FriendsTreeView->viewport()->mapToGlobal(QPoint(X, Y));
    if (node->Parent() == trees_->OnlineFriendsNode()) {
        OnPopupMenuPopup();
        OpenPopup(OnPopupMenu, global);
    } else if (node->Parent() == trees_->OfflineFriendsNode()) {
        OffPopupMenuPopup();
        OpenPopup(OffPopupMenu, global);
    } else {
        UnPopupMenuPopup();
        OpenPopup(UnPopupMenu, global);
    }
}

void TMainForm::GroupsTreeViewMouseDown(Qt::MouseButton Button, int X, int Y) {
    TTreeNode* node = GroupsTreeView->NodeAt(QPoint(X, Y));
    if (Button != Qt::RightButton || !node) {
        return;
    }
    GroupsTreeView->SelectNode(node);
    if (!node->Parent()) {
        return;
    }
    PopupGroup = node->Text();
    const QPoint global = GroupsTreeView->viewport()->mapToGlobal(QPoint(X, Y));
    if (node->Parent() == trees_->PublicGroupsNode()) {
        PubPopupMenuPopup();
        OpenPopup(PubPopupMenu, global);
    } else {
        PrivPopupMenuPopup();
        OpenPopup(PrivPopupMenu, global);
    }
}
