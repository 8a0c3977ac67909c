// Engine events the window does not act on yet: the connection's progress
// and the buddy and group lists.
#include "app/MainForm.h"

void TMainForm::VLChatConnect(TVLChat*) {}

void TMainForm::VLChatDisconnect(TVLChat*) {}

void TMainForm::VLChatLogin(TVLChat*) {}

void TMainForm::VLChatLoginError(TVLChat*, const QByteArray&) {}

void TMainForm::VLChatError(TVLChat*, int&) {}

void TMainForm::VLChatPrivateGroupInvite(TVLChat*, const QByteArray&) {}

void TMainForm::VLChatFriendAdd(TVLChat*, const TFriendInfo&) {}

void TMainForm::VLChatFriendRemove(TVLChat*, const TFriendInfo&) {}

void TMainForm::VLChatFriendStatusChange(TVLChat*, const TFriendInfo&) {}

void TMainForm::VLChatGroupListChange(TVLChat*) {}
