// What the application sends once connected: character selection, messages,
// group muting, private groups and buddies.

#include "engine/VLChat.h"

namespace {

// The data argument of a message: the attachment written for the packet's
// row, or the single zero byte of a message without one.
QByteArray AttachmentData(const TBlob* blob, int kind) {
    return blob ? blob->SaveToVariant(kind) : QByteArray(1, '\0');
}

constexpr int32_t kMuteFlags = TGroupInfo::MutedFlags;

} // namespace

void TVLChat::SelectCharacter(const QByteArray& name) {
    // Only "Login Select Character" may be sent while choosing, so a name the
    // list lacks fails on its lookup; an identifier found is sent as it is.
    const int32_t id = nameList_.IdOf(name);
    SendPacket(TVLChatOutgoingPacket(cpLoginSelectCharacter, {TPacketArg::Int(id)}));
    SetState(csAwaitingLoginResult);
}

// The lookup may wait for the server, and anything can happen meanwhile: the
// identifier is taken only after it, and SendPacket checks the state of then.
bool TVLChat::SendToCharacter(uint8_t clientRow, const QByteArray& name) {
    const int32_t id = nameList_.IdOf(name);
    if (id == -1) {
        return false;
    }
    SendPacket(TVLChatOutgoingPacket(clientRow, {TPacketArg::Int(id)}));
    return true;
}

bool TVLChat::SendPrivateMessage(const QByteArray& name, const QByteArray& text,
                                 const TBlob* blob) {
    const int32_t id = nameList_.IdOf(name);
    if (id == -1) {
        return false;
    }
    QueuePacket(TVLChatOutgoingPacket(
        cpMessagePrivate,
        {TPacketArg::Int(id), TPacketArg::Text(text),
         TPacketArg::Data(AttachmentData(blob, BlobKind::ClientPrivateMessage))}));
    return true;
}

void TVLChat::SendGroupMessageByIndex(qsizetype groupIndex, const QByteArray& text,
                                      const TBlob* blob) {
    const TGroupId id = groupList_.GroupId(groupIndex);
    QueuePacket(TVLChatOutgoingPacket(
        cpGroupMessage, {TPacketArg::Group(id), TPacketArg::Text(text),
                         TPacketArg::Data(AttachmentData(blob, BlobKind::ClientGroupMessage))}));
}

void TVLChat::SendGroupMessage(const QByteArray& groupName, const QByteArray& text,
                               const TBlob* blob) {
    SendGroupMessageByIndex(groupList_.IndexOfName(groupName), text, blob);
}

bool TVLChat::SendPrivateGroupMessage(const QByteArray& groupName, const QByteArray& text,
                                      const TBlob* blob) {
    const int32_t ownerId = nameList_.IdOf(groupName);
    if (ownerId == -1) {
        return false;
    }
    QueuePacket(TVLChatOutgoingPacket(
        cpPrivategroupMessage,
        {TPacketArg::Int(ownerId), TPacketArg::Text(text),
         TPacketArg::Data(AttachmentData(blob, BlobKind::ClientPrivateGroupMessage))}));
    return true;
}

void TVLChat::MuteGroup(qsizetype groupIndex) {
    SendPacket(TVLChatOutgoingPacket(
        cpGroupDataSet, {TPacketArg::Group(groupList_.GroupId(groupIndex)),
                         TPacketArg::Int(kMuteFlags), TPacketArg::Data(QByteArray(1, '\0'))}));
}

void TVLChat::UnmuteGroup(qsizetype groupIndex) {
    SendPacket(TVLChatOutgoingPacket(cpGroupDataSet,
                                     {TPacketArg::Group(groupList_.GroupId(groupIndex)),
                                      TPacketArg::Int(0), TPacketArg::Data(QByteArray(1, '\0'))}));
}

bool TVLChat::PrivateGroupInvite(const QByteArray& name) {
    return SendToCharacter(cpPrivategroupInvite, name);
}

bool TVLChat::PrivateGroupKick(const QByteArray& name) {
    return SendToCharacter(cpPrivategroupKick, name);
}

bool TVLChat::PrivateGroupJoin(const QByteArray& groupName) {
    return SendToCharacter(cpPrivategroupJoin, groupName);
}

void TVLChat::PrivateGroupKickAll() {
    SendPacket(TVLChatOutgoingPacket(cpPrivategroupKickall, {}));
}

bool TVLChat::AddFriend(const QByteArray& name, bool flag) {
    const int32_t id = nameList_.IdOf(name);
    if (id == -1) {
        return false;
    }
    SendPacket(TVLChatOutgoingPacket(
        cpFriendAdd, {TPacketArg::Int(id), TPacketArg::Data(QByteArray(1, flag ? '\1' : '\0'))}));
    return true;
}

bool TVLChat::RemoveFriend(const QByteArray& name) {
    return SendToCharacter(cpFriendRemove, name);
}
