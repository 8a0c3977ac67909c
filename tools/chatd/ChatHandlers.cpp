// What the service does with the packets of a logged-in client: name
// lookups, tells, public groups and buddies.

#include "chatd/ChatServer.h"

#include "chatd/ChatSession.h"
#include "platform/core/Cp1252.h"
#include "platform/core/Format.h"

#include <algorithm>

namespace chatd {

namespace {

constexpr int32_t kMutedFlags = 0x01010000;

bool IsMuted(int32_t flags) {
    return (flags & kMutedFlags) == kMutedFlags;
}

} // namespace

void ChatServer::NameLookup(ChatSession* session, Character&, const ClientPacket& packet) {
    const QByteArray& asked = packet.Args[0].AsText();
    if (const Character* c = directory_.FindCharacterByName(plat::FromCp1252(asked))) {
        session->Send(spLookupResult, {TPacketArg::Int(c->Id), TPacketArg::Text(c->WireName())});
        session->MarkKnown(c->Id);
    } else {
        session->Send(spLookupResult, {TPacketArg::Int(-1), TPacketArg::Text(asked)});
    }
}

void ChatServer::Tell(ChatSession* session, Character& self, const ClientPacket& packet) {
    const int32_t targetId = packet.Args[0].AsInt();
    const Character* target = directory_.FindCharacter(targetId);
    if (!target) {
        Log(plat::Format("tell %s -> #%d dropped: no such character", self.Name, targetId));
        return;
    }
    ChatSession* to = SessionOf(targetId);
    if (!to) {
        Log(plat::Format("tell %s -> %s dropped: not online", self.Name, target->Name));
        Notice(session, plat::Format("%s is not online.", target->Name));
        return;
    }
    // The sender's client shows the tell itself: no copy goes back. The
    // forwarded packet has the size of the received one, so it fits.
    const QByteArray frame =
        ServerFrame(spMessagePrivate, {TPacketArg::Int(self.Id), packet.Args[1], packet.Args[2]});
    Announce(to, self);
    to->Send(frame);
    Log(plat::Format("tell %s -> %s", self.Name, target->Name));
}

void ChatServer::GroupMessage(ChatSession* session, Character& self, const ClientPacket& packet) {
    const PublicGroup* group = directory_.FindGroup(packet.Args[0].AsGroup());
    if (!group) {
        Log(plat::Format("group message of %s dropped: no such group", self.Name));
        return;
    }
    QByteArray frame;
    try {
        frame = ServerFrame(spGroupMessage, {packet.Args[0], TPacketArg::Int(self.Id),
                                             packet.Args[1], packet.Args[2]});
    } catch (const EPacketTooLarge&) {
        Log(plat::Format("group message %s of %s dropped: too long", group->Name, self.Name));
        Notice(session, QStringLiteral("The message is too long."));
        return;
    }
    // Every member gets it, the sender included (its client shows only this
    // copy); a character that muted the group gets only its own messages.
    int recipients = 0;
    for (ChatSession* to : OnlineSessions()) {
        const Character* member = directory_.FindCharacter(to->CharacterId);
        const int32_t flags = member ? member->FlagsOf(group->Id) : 0;
        if (to != session && IsMuted(flags)) {
            continue;
        }
        if (!to->KnowsGroup(group->Id)) {
            SendGroupJoin(to, *group, flags);
        }
        Announce(to, self);
        to->Send(frame);
        ++recipients;
    }
    Log(plat::Format("group %s %s (%d recipients)", group->Name, self.Name, recipients));
}

void ChatServer::GroupDataSet(ChatSession* session, Character& self, const ClientPacket& packet) {
    const PublicGroup* group = directory_.FindGroup(packet.Args[0].AsGroup());
    if (!group) {
        Log(plat::Format("group setting of %s dropped: no such group", self.Name));
        return;
    }
    const int32_t flags = packet.Args[1].AsInt();
    self.GroupFlags[group->Id] = flags;
    // The client shows the new state when the group update arrives.
    SendGroupJoin(session, *group, flags);
    Log(plat::Format("%s %s %s", IsMuted(flags) ? "mute" : "unmute", self.Name, group->Name));
}

void ChatServer::FriendAdd(ChatSession* session, Character& self, const ClientPacket& packet) {
    const int32_t id = packet.Args[0].AsInt();
    const Character* buddy = directory_.FindCharacter(id);
    if (!buddy) {
        Log(plat::Format("buddy add %s + #%d dropped: no such character", self.Name, id));
        return;
    }
    const QByteArray& data = packet.Args[1].AsData();
    const bool permanent = !data.isEmpty() && data[0] == 1;
    auto it = std::find_if(self.Buddies.begin(), self.Buddies.end(),
                           [&](const Buddy& b) { return b.Id == id; });
    if (it == self.Buddies.end()) {
        self.Buddies.append(Buddy{id, permanent});
    } else {
        it->Permanent = permanent;
    }
    Announce(session, *buddy);
    session->Send(spFriendAdded,
                  {TPacketArg::Int(id), TPacketArg::Int(online_.contains(id) ? 1 : 0),
                   TPacketArg::Data(QByteArray(1, permanent ? '\1' : '\0'))});
    Log(plat::Format("buddy add %s + %s", self.Name, buddy->Name));
}

void ChatServer::FriendRemove(ChatSession* session, Character& self, const ClientPacket& packet) {
    const int32_t id = packet.Args[0].AsInt();
    const auto removed = self.Buddies.removeIf([&](const Buddy& b) { return b.Id == id; });
    if (removed == 0) {
        Log(plat::Format("buddy remove %s - %s ignored: not a buddy", self.Name, NameOf(id)));
        return;
    }
    Announce(session, id);
    session->Send(spFriendRemoved, {TPacketArg::Int(id)});
    Log(plat::Format("buddy remove %s - %s", self.Name, NameOf(id)));
}

void ChatServer::BuddyStatusChanged(const Character& who, bool online) {
    for (ChatSession* to : OnlineSessions()) {
        const Character* c = directory_.FindCharacter(to->CharacterId);
        if (!c || c->Id == who.Id) {
            continue;
        }
        for (const Buddy& buddy : c->Buddies) {
            if (buddy.Id == who.Id) {
                Announce(to, who);
                to->Send(spFriendAdded,
                         {TPacketArg::Int(who.Id), TPacketArg::Int(online ? 1 : 0),
                          TPacketArg::Data(QByteArray(1, buddy.Permanent ? '\1' : '\0'))});
            }
        }
    }
}

} // namespace chatd
