// The pop-up menus of buddies, groups and console links: their items, the
// captions and visibility set on each opening, and what the items do.
#include "app/mainform/MainForm.h"

#include "app/common/Actions.h"
#include "app/common/FormBars.h"
#include "app/mainform/MainFormControls.h"
#include "dockkit/themes/DkThemedItem.h"
#include "dockkit/themes/DkThemedPopup.h"
#include "platform/core/Cp1252.h"

#include <initializer_list>

namespace {

using Trees = TFriendsGroupsTrees;

// Item names.
const QString kQuery = QStringLiteral("Query");
const QString kInvite = QStringLiteral("Invite");
const QString kKick = QStringLiteral("Kick");
const QString kWhois = QStringLiteral("Whois");
const QString kAdd = QStringLiteral("Add");
const QString kAccept = QStringLiteral("Accept");
const QString kRemove = QStringLiteral("Remove");
const QString kLeave = QStringLiteral("Leave");
const QString kKickAll = QStringLiteral("KickAll");
const QString kMute = QStringLiteral("Mute");
const QString kListen = QStringLiteral("Listen");

bool SameName(const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) == 0;
}

TDkCustomItem& Item(TDkxPopupMenu* menu, const QString& name) {
    return *menu->Items()->findChild<TDkCustomItem*>(name, Qt::FindDirectChildrenOnly);
}

void SetCaption(TDkxPopupMenu* menu, const QString& item, const QString& prefix,
                const QString& name) {
    Item(menu, item).SetCaption(prefix + name);
}

void SetVisible(TDkxPopupMenu* menu, std::initializer_list<QString> items, bool visible) {
    for (const QString& item : items) {
        Item(menu, item).SetVisible(visible);
    }
}

} // namespace

void TMainForm::CreatePopupMenus() {
    const auto action = [this](const char* name, const char* caption, int image,
                               void (TMainForm::*execute)()) {
        return MakeAction(ActionList1, QString::fromLatin1(name), QString::fromLatin1(caption), {},
                          image, [this, execute] { (this->*execute)(); });
    };
    WhoisAction = action("WhoisAction", "Whois", 0, &TMainForm::WhoisActionExecute);
    AcceptAction = action("AcceptAction", "Accept Buddy", 1, &TMainForm::AcceptActionExecute);
    RemoveAction = action("RemoveAction", "Remove Buddy", 2, &TMainForm::RemoveActionExecute);
    QueryGroupAction = action("QueryGroupAction", "Query", 3, &TMainForm::QueryGroupActionExecute);
    QueryCharAction = action("QueryCharAction", "Query", 3, &TMainForm::QueryCharActionExecute);
    MuteAction = action("MuteAction", "Mute Group", 4, &TMainForm::MuteActionExecute);
    UnMuteAction = action("UnMuteAction", "Listen to Group", 5, &TMainForm::UnMuteActionExecute);
    AddFriendAction = action("AddFriendAction", "Add Buddy", 1, &TMainForm::AddFriendActionExecute);
    InviteAction = action("InviteAction", "Invite Player", 24, &TMainForm::InviteActionExecute);
    LeavePrivAction =
        action("LeavePrivAction", "Leave Private Group", 2, &TMainForm::LeavePrivActionExecute);
    KickCharAction = action("KickCharAction", "Kick Player", 25, &TMainForm::KickCharActionExecute);
    KickAllAction =
        action("KickAllAction", "Kick All Players", 25, &TMainForm::KickAllActionExecute);

    // Item names (the items are found by them) and the actions they show;
    // no action for a separator.
    struct ItemDef {
        const QString& name;
        QAction* action;
    };
    const ItemDef queryChar{kQuery, QueryCharAction};
    const ItemDef queryGroup{kQuery, QueryGroupAction};
    const ItemDef invite{kInvite, InviteAction};
    const ItemDef kick{kKick, KickCharAction};
    const ItemDef whois{kWhois, WhoisAction};
    const ItemDef add{kAdd, AddFriendAction};
    const ItemDef accept{kAccept, AcceptAction};
    const ItemDef remove{kRemove, RemoveAction};
    const ItemDef leave{kLeave, LeavePrivAction};
    const ItemDef kickAll{kKickAll, KickAllAction};
    const ItemDef mute{kMute, MuteAction};
    const ItemDef listen{kListen, UnMuteAction};
    const QString none;
    const ItemDef separator{none, nullptr};

    auto make = [this](const char* name, std::initializer_list<ItemDef> items) {
        auto* menu = new TDkxPopupMenu(this);
        menu->setObjectName(QString::fromLatin1(name));
        menu->SetImages(MenuImages);
        for (const ItemDef& def : items) {
            if (def.action == nullptr) {
                AddSeparatorItem(menu->Items());
            } else {
                AddActionItem(menu->Items(), def.action)->setObjectName(def.name);
            }
        }
        return menu;
    };
    OnPopupMenu = make("OnPopupMenu", {queryChar, invite, separator, whois, separator, remove});
    OffPopupMenu = make("OffPopupMenu", {whois, separator, remove});
    UnPopupMenu =
        make("UnPopupMenu", {queryChar, invite, separator, whois, separator, accept, remove});
    CharPopupMenu = make("CharPopupMenu",
                         {queryChar, invite, separator, whois, separator, add, accept, remove});
    PrivCharPopupMenu = make("PrivCharPopupMenu", {queryChar, invite, kick, separator, whois,
                                                   separator, add, accept, remove});
    PubPopupMenu = make("PubPopupMenu", {queryGroup, separator, mute, listen});
    PrivPopupMenu = make("PrivPopupMenu", {queryGroup, leave, kickAll, separator, mute, listen});
}

void TMainForm::OpenPopup(TDkxPopupMenu* menu, QPoint globalPos) {
    menu->Popup(globalPos.x(), globalPos.y());
}

// --- captions and visibility ------------------------------------------------------

void TMainForm::OnPopupMenuPopup() {
    TDkxPopupMenu* menu = OnPopupMenu;
    SetVisible(menu, {kQuery, kInvite, kRemove}, true);
    SetCaption(menu, kQuery, QStringLiteral("Query "), PopupName);
    SetCaption(menu, kInvite, QStringLiteral("Invite "), PopupName);
    SetCaption(menu, kWhois, QStringLiteral("Whois "), PopupName);
    SetCaption(menu, kRemove, QStringLiteral("Remove "), PopupName);
}

void TMainForm::OffPopupMenuPopup() {
    TDkxPopupMenu* menu = OffPopupMenu;
    SetCaption(menu, kWhois, QStringLiteral("Whois "), PopupName);
    SetCaption(menu, kRemove, QStringLiteral("Remove "), PopupName);
    SetVisible(menu, {kRemove}, true);
}

void TMainForm::UnPopupMenuPopup() {
    TDkxPopupMenu* menu = UnPopupMenu;
    const TFriendList& buddies = VLChat->FriendList();
    const qsizetype index = buddies.IndexOf(plat::ToCp1252(PopupName));
    SetVisible(menu, {kQuery, kInvite}, index >= 0 && buddies.Items(index)->Online());
    SetCaption(menu, kQuery, QStringLiteral("Query "), PopupName);
    SetCaption(menu, kInvite, QStringLiteral("Invite "), PopupName);
    SetCaption(menu, kWhois, QStringLiteral("Whois "), PopupName);
    SetCaption(menu, kAccept, QStringLiteral("Accept "), PopupName);
    SetCaption(menu, kRemove, QStringLiteral("Remove "), PopupName);
    SetVisible(menu, {kAccept}, true);
}

namespace {

// The character menus of console links: Add for a stranger, Remove for a
// permanent buddy, Accept for any other buddy; none of them for oneself.
void SetCharacterItems(TDkxPopupMenu* menu, const QString& name, bool own,
                       const TFriendList& buddies) {
    SetVisible(menu, {kQuery, kInvite}, true);
    SetCaption(menu, kWhois, QStringLiteral("Whois "), name);
    SetCaption(menu, kQuery, QStringLiteral("Query "), name);
    SetCaption(menu, kAdd, QStringLiteral("Add "), name);
    SetCaption(menu, kAccept, QStringLiteral("Accept "), name);
    SetCaption(menu, kRemove, QStringLiteral("Remove "), name);
    SetCaption(menu, kInvite, QStringLiteral("Invite "), name);
    if (own) {
        SetVisible(menu, {kInvite, kAdd, kAccept, kRemove}, false);
        return;
    }
    const qsizetype index = buddies.IndexOf(plat::ToCp1252(name));
    const bool buddy = index >= 0;
    const bool permanent = buddy && buddies.Items(index)->DataFlag();
    SetVisible(menu, {kAdd}, !buddy);
    SetVisible(menu, {kRemove}, permanent);
    SetVisible(menu, {kAccept}, buddy && !permanent);
    SetVisible(menu, {kInvite}, true);
}

} // namespace

void TMainForm::CharPopupMenuPopup() {
    SetCharacterItems(CharPopupMenu, PopupName, SameName(PopupName, CurrentCharacter),
                      VLChat->FriendList());
}

void TMainForm::PrivCharPopupMenuPopup() {
    TDkxPopupMenu* menu = PrivCharPopupMenu;
    SetCharacterItems(menu, PopupName, SameName(PopupName, CurrentCharacter), VLChat->FriendList());
    SetCaption(menu, kKick, QStringLiteral("Kick "), PopupName);
    const bool ownGroup = IsOwnPrivateGroup(PopupCharGroup);
    SetVisible(menu, {kKick}, ownGroup);
    SetVisible(menu, {kInvite}, !ownGroup);
}

void TMainForm::SetMuteItems(TDkxPopupMenu* menu) {
    const TGroupList& groups = VLChat->GroupList();
    const qsizetype index = groups.IndexOfName(plat::ToCp1252(PopupGroup));
    if (index >= 0) {
        const bool muted = groups.Items(index)->Muted();
        SetVisible(menu, {kMute}, !muted);
        SetVisible(menu, {kListen}, muted);
    } else if (const TTreeNode* node = trees_->PrivateGroupNode(PopupGroup)) {
        const bool listening = Trees::NodeImage(node) == Trees::tiGroupListening;
        SetVisible(menu, {kMute}, listening);
        SetVisible(menu, {kListen}, !listening);
    } else {
        SetVisible(menu, {kMute, kListen}, false);
    }
}

void TMainForm::PubPopupMenuPopup() {
    TDkxPopupMenu* menu = PubPopupMenu;
    SetCaption(menu, kQuery, QStringLiteral("Query "), PopupGroup);
    SetCaption(menu, kMute, QStringLiteral("Mute "), PopupGroup);
    SetCaption(menu, kListen, QStringLiteral("Listen to "), PopupGroup);
    SetMuteItems(menu);
}

void TMainForm::PrivPopupMenuPopup() {
    TDkxPopupMenu* menu = PrivPopupMenu;
    SetCaption(menu, kQuery, QStringLiteral("Query "), PopupGroup);
    SetCaption(menu, kLeave, QStringLiteral("Leave "), PopupGroup);
    SetCaption(menu, kMute, QStringLiteral("Mute "), PopupGroup);
    SetCaption(menu, kListen, QStringLiteral("Listen to "), PopupGroup);
    SetMuteItems(menu);
    SetVisible(menu, {kKickAll}, IsOwnPrivateGroup(PopupGroup));
}

// --- what the items do ---------------------------------------------------------------

void TMainForm::WhoisActionExecute() {
    ShowWhois(PopupName);
}

void TMainForm::AcceptActionExecute() {
    VLChat->AddFriend(plat::ToCp1252(PopupName), true);
}

void TMainForm::AddFriendActionExecute() {
    VLChat->AddFriend(plat::ToCp1252(PopupName), true);
}

void TMainForm::RemoveActionExecute() {
    VLChat->RemoveFriend(plat::ToCp1252(PopupName));
}

void TMainForm::QueryCharActionExecute() {
    QueryCharacter(PopupName);
}

void TMainForm::QueryGroupActionExecute() {
    QueryTarget(PopupGroup);
}

void TMainForm::InviteActionExecute() {
    if (!PopupName.isEmpty()) {
        InviteCharacter(PopupName);
    }
}

void TMainForm::KickCharActionExecute() {
    KickCharacter(PopupName);
}

void TMainForm::KickAllActionExecute() {
    KickAll();
}

void TMainForm::LeavePrivActionExecute() {
    LeavePrivateGroup(PopupGroup);
}

void TMainForm::MuteActionExecute() {
    if (VLChat->GroupList().IndexOfName(plat::ToCp1252(PopupGroup)) >= 0) {
        MuteGroup(PopupGroup);
    } else if (TTreeNode* node = trees_->PrivateGroupNode(PopupGroup);
               node && Trees::NodeImage(node) == Trees::tiGroupListening) {
        Trees::SetNodeImage(node, Trees::tiGroupMuted);
    }
}

void TMainForm::UnMuteActionExecute() {
    if (VLChat->GroupList().IndexOfName(plat::ToCp1252(PopupGroup)) >= 0) {
        UnmuteGroup(PopupGroup);
    } else if (TTreeNode* node = trees_->PrivateGroupNode(PopupGroup);
               node && Trees::NodeImage(node) == Trees::tiGroupMuted) {
        Trees::SetNodeImage(node, Trees::tiGroupListening);
    }
}
