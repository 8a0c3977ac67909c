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
// one node per buddy and per group, found through an index from the folded
// name. A buddy whose status changes keeps its node, which moves to its new
// root; the trees' views place and find children by binary search. So every
// change costs the same with tens of thousands of buddies.

#include <QHash>
#include <QString>

#include <utility>
#include <vector>

class TTreeNode;
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

    // Gives each tree its roots and images.
    TFriendsGroupsTrees(TTreeView& friends, TTreeView& groups);

    TTreeNode* OnlineFriendsNode() const;
    TTreeNode* OfflineFriendsNode() const;
    TTreeNode* UnknownFriendsNode() const;
    TTreeNode* PublicGroupsNode() const;
    TTreeNode* PrivateGroupsNode() const;

    // A node's image index (-1 for no node).
    static int NodeImage(const TTreeNode* node);
    static void SetNodeImage(TTreeNode* node, int image);

    // The buddy's node, in place of the one it had: moved to the root of its
    // status and given its image (a name spelt in other letter case gets a
    // new node).
    void AddFriend(const QString& name, bool online, bool permanent);
    void RemoveFriend(const QString& name);
    TTreeNode* FriendNode(const QString& name) const;

    // The public groups as the server lists them (name, muted): new ones are
    // added, known ones take their image.
    void SetPublicGroups(const std::vector<std::pair<QString, bool>>& groups);

    // Private groups are named after their owners.
    TTreeNode* PrivateGroupNode(const QString& group) const;
    void AddPrivateGroup(const QString& group);
    void RemovePrivateGroup(const QString& group);
    bool PrivateGroupMuted(const QString& group) const;

    // Every root emptied, the expansion rules as at the start.
    void Clear();

private:
    // Folded names to the nodes of one kind.
    using TNodeIndex = QHash<QString, TTreeNode*>;

    // A new child in its sorted place.
    static TTreeNode* AddChild(TTreeView& tree, TTreeNode* root, const QString& text, int image,
                               bool* expandFlag);
    // A child arrived at the root: the root opens if its flag says so.
    static void Arrived(TTreeView& tree, TTreeNode* root, bool* expandFlag);

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
