#pragma once
// The friends and groups trees: buddies under "Online Friends", "Offline
// Friends" and "Unknown" (buddies that are not permanent); public groups and
// the private groups this window shows under "Public Groups" and "Private
// Groups". Children stay in alphabetical order; a root opens when its first
// child arrives (except the offline friends). A group listens (image 7) or is
// muted (image 8); a private group is muted for this window while it has no
// node or its node does not listen.
//
// Names compare as the chat engine compares them, without regard to case:
// one node per buddy and per group. Indexes from the folded name to the node
// and a binary search for the place of a new node keep every change cheap
// with tens of thousands of buddies.

#include <QHash>
#include <QRect>
#include <QString>

#include <utility>
#include <vector>

class QTreeWidgetItem;
class TTreeView;

class TFriendsGroupsTrees {
public:
    // Image indexes of the nodes.
    enum TTreeImage {
        tiOnlineFriends = 0,
        tiOfflineFriends = 1,
        tiUnknownFriends = 2,
        tiFriendOnline = 3,
        tiFriendOffline = 4,
        tiPublicGroups = 5,
        tiPrivateGroups = 6,
        tiGroupListening = 7,
        tiGroupMuted = 8,
    };

    // Gives each tree its roots.
    TFriendsGroupsTrees(TTreeView& friends, TTreeView& groups);

    QTreeWidgetItem* OnlineFriendsNode() const;
    QTreeWidgetItem* OfflineFriendsNode() const;
    QTreeWidgetItem* UnknownFriendsNode() const;
    QTreeWidgetItem* PublicGroupsNode() const;
    QTreeWidgetItem* PrivateGroupsNode() const;

    // A node's image index (-1 for none); setting it sets the icon too.
    static int NodeImage(const QTreeWidgetItem* node);
    static void SetNodeImage(QTreeWidgetItem* node, int image);
    // Where a node's icon lies in its tree's viewport.
    static QRect NodeIconRect(const TTreeView& tree, const QTreeWidgetItem* node);

    // The buddy's node, in place of the one it had.
    void AddFriend(const QString& name, bool online, bool permanent);
    void RemoveFriend(const QString& name);

    // The public groups as the server lists them (name, muted): new ones are
    // added, known ones take their image.
    void SetPublicGroups(const std::vector<std::pair<QString, bool>>& groups);

    // Private groups are named after their owners.
    QTreeWidgetItem* PrivateGroupNode(const QString& group) const;
    void AddPrivateGroup(const QString& group);
    void RemovePrivateGroup(const QString& group);
    bool PrivateGroupMuted(const QString& group) const;

    // Every root emptied, the expansion rules as at the start.
    void Clear();

private:
    // Folded names to the nodes of one kind.
    using TNodeIndex = QHash<QString, QTreeWidgetItem*>;

    // A new child in its sorted place, indexed under key.
    QTreeWidgetItem* AddChild(TNodeIndex& index, const QString& key, QTreeWidgetItem* root,
                              const QString& text, int image, bool* expandFlag);
    // Deletes the node indexed under key, if any.
    static void RemoveChild(TNodeIndex& index, const QString& key);

    TTreeView& friends_;
    TTreeView& groups_;
    TNodeIndex friendNodes_; // under any of the three friends roots
    TNodeIndex publicNodes_;
    TNodeIndex privateNodes_;
    // Open a root when its first child arrives.
    bool expandOnline_ = true;
    bool expandOffline_ = false;
    bool expandPublic_ = true;
    bool expandPrivate_ = true;
};
