// Private groups. Every character owns one, named after it: the owner
// invites, the invited character joins, the owner kicks one or all, a member
// may leave. Packets about a private group carry the owner's id.

#include "chatd/ChatServer.h"

#include "chatd/ChatSession.h"
#include "platform/core/Format.h"

namespace chatd {

void ChatServer::PrivateGroupInvite(ChatSession* session, Character& self,
                                    const ClientPacket& packet) {
    const int32_t id = packet.Args[0].AsInt();
    const Character* invitee = directory_.FindCharacter(id);
    ChatSession* to = SessionOf(id);
    if (!invitee || id == self.Id) {
        Log(plat::Format("invite %s -> %s ignored", self.Name, NameOf(id)));
        return;
    }
    if (!to) {
        Log(plat::Format("invite %s -> %s dropped: not online", self.Name, invitee->Name));
        Notice(session, plat::Format("%s is not online.", invitee->Name));
        return;
    }
    PrivateGroup& group = privateGroups_[self.Id];
    if (group.Members.contains(id)) {
        Log(plat::Format("invite %s -> %s ignored: already a member", self.Name, invitee->Name));
        return;
    }
    group.Invited.insert(id);
    Announce(to, self);
    to->Send(spPrivategroupInvited, {TPacketArg::Int(self.Id)});
    Log(plat::Format("invite %s -> %s", self.Name, invitee->Name));
}

void ChatServer::PrivateGroupJoin(ChatSession*, Character& self, const ClientPacket& packet) {
    const int32_t owner = packet.Args[0].AsInt();
    const auto it = privateGroups_.find(owner);
    if (it == privateGroups_.end() || !it->second.Invited.contains(self.Id)) {
        Log(plat::Format("join %s -> %s ignored: not invited", self.Name, NameOf(owner)));
        return;
    }
    PrivateGroup& group = it->second;
    group.Invited.remove(self.Id);
    group.Members.append(self.Id);
    // The owner and every member see the join, the new member included.
    QList<int32_t> recipients = group.Members;
    recipients.prepend(owner);
    for (const int32_t id : recipients) {
        if (ChatSession* to = SessionOf(id)) {
            Announce(to, owner);
            Announce(to, self);
            to->Send(spPrivategroupClientJoin, {TPacketArg::Int(owner), TPacketArg::Int(self.Id)});
        }
    }
    Log(plat::Format("join %s -> %s", self.Name, NameOf(owner)));
}

void ChatServer::PrivateGroupKick(Character& self, const ClientPacket& packet) {
    const int32_t id = packet.Args[0].AsInt();
    const auto it = privateGroups_.find(self.Id);
    if (it != privateGroups_.end() && it->second.Members.contains(id)) {
        RemoveMember(self.Id, id, PartKind::Kicked);
        Log(plat::Format("kick %s -> %s", self.Name, NameOf(id)));
    } else if (it != privateGroups_.end() && it->second.Invited.remove(id)) {
        Log(plat::Format("kick %s -> %s: invitation withdrawn", self.Name, NameOf(id)));
    } else {
        Log(plat::Format("kick %s -> %s ignored: not a member", self.Name, NameOf(id)));
    }
}

void ChatServer::PrivateGroupKickAll(Character& self) {
    const auto it = privateGroups_.find(self.Id);
    if (it == privateGroups_.end()) {
        Log(plat::Format("kick all %s: no members", self.Name));
        return;
    }
    it->second.Invited.clear();
    for (const int32_t member : QList<int32_t>(it->second.Members)) {
        RemoveMember(self.Id, member, PartKind::Kicked);
    }
    Log(plat::Format("kick all %s", self.Name));
}

void ChatServer::PrivateGroupPart(Character& self, const ClientPacket& packet) {
    const int32_t owner = packet.Args[0].AsInt();
    const auto it = privateGroups_.find(owner);
    if (it == privateGroups_.end() || !it->second.Members.contains(self.Id)) {
        Log(plat::Format("leave %s from %s ignored: not a member", self.Name, NameOf(owner)));
        return;
    }
    RemoveMember(owner, self.Id, PartKind::Left);
    Log(plat::Format("leave %s from %s", self.Name, NameOf(owner)));
}

void ChatServer::PrivateGroupMessage(ChatSession* session, Character& self,
                                     const ClientPacket& packet) {
    const int32_t owner = packet.Args[0].AsInt();
    const auto it = privateGroups_.find(owner);
    const bool isOwner = owner == self.Id;
    if (!isOwner && (it == privateGroups_.end() || !it->second.Members.contains(self.Id))) {
        Log(plat::Format("private group message %s -> %s dropped: not a member", self.Name,
                         NameOf(owner)));
        return;
    }
    QByteArray frame;
    try {
        frame =
            ServerFrame(spPrivategroupMessage, {TPacketArg::Int(owner), TPacketArg::Int(self.Id),
                                                packet.Args[1], packet.Args[2]});
    } catch (const EPacketTooLarge&) {
        Log(plat::Format("private group message %s -> %s dropped: too long", self.Name,
                         NameOf(owner)));
        Notice(session, QStringLiteral("The message is too long."));
        return;
    }
    // The owner and every member get it, the sender included.
    QList<int32_t> recipients;
    if (it != privateGroups_.end()) {
        recipients = it->second.Members;
    }
    recipients.prepend(owner);
    for (const int32_t id : recipients) {
        if (ChatSession* to = SessionOf(id)) {
            Announce(to, owner);
            Announce(to, self);
            to->Send(frame);
        }
    }
    Log(plat::Format("private group %s %s (%d recipients)", NameOf(owner), self.Name,
                     static_cast<int>(recipients.size())));
}

void ChatServer::RemoveMember(int32_t owner, int32_t member, PartKind kind) {
    const auto it = privateGroups_.find(owner);
    if (it == privateGroups_.end() || it->second.Members.removeAll(member) == 0) {
        return;
    }
    if (kind == PartKind::Kicked) {
        if (ChatSession* kicked = SessionOf(member)) {
            Announce(kicked, owner);
            kicked->Send(spPrivategroupKicked, {TPacketArg::Int(owner)});
        }
    }
    // The owner and the members that stay see the character leave; one who
    // left on its own sees it too, which is how its client drops the group.
    QList<int32_t> recipients = it->second.Members;
    recipients.prepend(owner);
    if (kind == PartKind::Left) {
        recipients.append(member);
    }
    for (const int32_t id : recipients) {
        if (ChatSession* to = SessionOf(id)) {
            Announce(to, owner);
            Announce(to, member);
            to->Send(spPrivategroupClientPart, {TPacketArg::Int(owner), TPacketArg::Int(member)});
        }
    }
}

void ChatServer::LeaveAllPrivateGroups(int32_t character) {
    // Groups the character joined or was invited to.
    for (auto& [owner, group] : privateGroups_) {
        group.Invited.remove(character);
        if (owner != character && group.Members.contains(character)) {
            RemoveMember(owner, character, PartKind::Disconnected);
        }
    }
    // Its own group ends: every member is told it was kicked.
    const auto own = privateGroups_.find(character);
    if (own == privateGroups_.end()) {
        return;
    }
    const QList<int32_t> members = own->second.Members;
    privateGroups_.erase(own);
    for (const int32_t member : members) {
        if (ChatSession* to = SessionOf(member)) {
            Announce(to, character);
            to->Send(spPrivategroupKicked, {TPacketArg::Int(character)});
        }
    }
}

} // namespace chatd
