// Engine events the window does not act on yet: the buddy and group lists
// and invitations to private groups.
#include "app/MainForm.h"

void TMainForm::VLChatPrivateGroupInvite(TVLChat*, const QByteArray&) {}

void TMainForm::VLChatFriendAdd(TVLChat*, const TFriendInfo&) {}

void TMainForm::VLChatFriendRemove(TVLChat*, const TFriendInfo&) {}

void TMainForm::VLChatFriendStatusChange(TVLChat*, const TFriendInfo&) {}

void TMainForm::VLChatGroupListChange(TVLChat*) {}
