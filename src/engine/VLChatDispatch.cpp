// Receiving: one frame per read notification, the state check, and the
// dispatch of each server packet into the lists and events.

#include "engine/VLChat.h"

#include "platform/core/ClientSocket.h"
#include "platform/core/Exception.h"
#include "platform/core/Format.h"

#include <QTimer>

#include <array>

bool TVLChat::ReadNotification(plat::ByteSource& source) {
    const TBusy busy(*this);
    const qsizetype before = source.Peek().size();
    // A frame that cannot be parsed raises here, outside the handler guard.
    const std::optional<TVLChatIncomingPacket> packet = reader_.TakePacket(source);
    if (packet) {
        HandlePacket(*packet);
    }
    return packet.has_value() || source.Peek().size() != before;
}

void TVLChat::HandlePacket(const TVLChatIncomingPacket& packet) {
    QString error;
    try {
        if (!InRowSet(VLChatStates[state_].Accepted, packet.Index())) {
            throw plat::Exception(plat::Format("Packet type %s not allowed in state %s",
                                               packet.Info().Name, VLChatStates[state_].Name));
        }
        Dispatch(packet);
        return;
    } catch (const plat::Exception& e) {
        error = e.Message();
    } catch (const std::exception& e) {
        error = QString::fromUtf8(e.what());
    }
    throw plat::Exception(plat::Format("Error in packet handler, packet type: %s, error %s",
                                       packet.Info().Name, error));
}

// The handler of each server packet by its row. Rows without one: those no
// state accepts, and the pong, whose data means nothing to the client.
constexpr std::array<TVLChat::TPacketHandler, spCount> TVLChat::packetHandlers_ = [] {
    std::array<TPacketHandler, spCount> handlers{};
    handlers[spLoginSeed] = &TVLChat::ReceiveLoginSeed;
    handlers[spLoginResultOK] = &TVLChat::ReceiveLoginResultOK;
    handlers[spLoginResultError] = &TVLChat::ReceiveLoginResultError;
    handlers[spLoginCharacterList] = &TVLChat::ReceiveCharacterList;
    handlers[spClientName] = &TVLChat::ReceiveName;
    handlers[spLookupResult] = &TVLChat::ReceiveName;
    handlers[spMessagePrivate] = &TVLChat::ReceivePrivateMessage;
    handlers[spMessageSystem] = &TVLChat::ReceiveSystemMessage;
    handlers[spFriendAdded] = &TVLChat::ReceiveFriendAdded;
    handlers[spFriendRemoved] = &TVLChat::ReceiveFriendRemoved;
    handlers[spPrivategroupInvited] = &TVLChat::ReceivePrivateGroupInvitation;
    handlers[spPrivategroupKicked] = &TVLChat::ReceivePrivateGroupInvitation;
    handlers[spPrivategroupClientJoin] = &TVLChat::ReceivePrivateGroupMember;
    handlers[spPrivategroupClientPart] = &TVLChat::ReceivePrivateGroupMember;
    handlers[spPrivategroupMessage] = &TVLChat::ReceivePrivateGroupMessage;
    handlers[spGroupJoin] = &TVLChat::ReceiveGroupJoin;
    handlers[spGroupMessage] = &TVLChat::ReceiveGroupMessage;
    return handlers;
}();

void TVLChat::Dispatch(const TVLChatIncomingPacket& p) {
    if (const TPacketHandler handler = packetHandlers_[p.Index()]) {
        (this->*handler)(p);
    }
}

void TVLChat::ReceiveLoginSeed(const TVLChatIncomingPacket& p) {
    loginSeed_ = p.Args(0).AsText();
    SetState(csAuthorizing);
    Login();
}

void TVLChat::ReceiveLoginResultOK(const TVLChatIncomingPacket&) {
    SetState(csLoggedIn);
    pingTimer_->start();
    if (const auto handler = OnLogin) {
        handler(this);
    }
}

void TVLChat::ReceiveLoginResultError(const TVLChatIncomingPacket& p) {
    if (const auto handler = OnLoginError) {
        handler(this, p.Args(0).AsText());
    }
    CloseSocket();
}

void TVLChat::ReceiveCharacterList(const TVLChatIncomingPacket& p) {
    const QList<int32_t>& ids = p.Args(0).AsIntList();
    const QList<QByteArray>& names = p.Args(1).AsTextList();
    const QList<int32_t>& levels = p.Args(2).AsIntList();
    const QList<int32_t>& online = p.Args(3).AsIntList();
    if (names.size() != ids.size() || levels.size() != ids.size() || online.size() != ids.size()) {
        const QString message = plat::Format(
            "Character list lengths differ: %d identifiers, %d names, %d levels, %d flags",
            int64_t{ids.size()}, int64_t{names.size()}, int64_t{levels.size()},
            int64_t{online.size()});
        // Nothing can be chosen from it: the login ends here.
        FailLogin();
        throw plat::Exception(message);
    }
    for (qsizetype k = 0; k < ids.size(); ++k) {
        charList_.Add(names[k], levels[k], online[k] != 0);
        nameList_.Add(names[k], ids[k]);
    }
    SetState(csReadyForLogin);
    if (const auto handler = OnConnect) {
        handler(this);
    }
}

// "Client Name" and "Lookup Result".
void TVLChat::ReceiveName(const TVLChatIncomingPacket& p) {
    nameList_.Add(p.Args(1).AsText(), p.Args(0).AsInt());
    WakeWaits(); // a lookup may be waiting for this name
}

void TVLChat::ReceivePrivateMessage(const TVLChatIncomingPacket& p) {
    if (const auto handler = OnPrivateMessage) {
        const auto blob = TBlob::CreateBlob(BlobKind::ServerPrivateMessage, p.Args(2).AsData());
        const QByteArray charName = nameList_.NameOf(p.Args(0).AsInt());
        handler(this, charName, p.Args(1).AsText(), blob.get());
    }
}

void TVLChat::ReceiveSystemMessage(const TVLChatIncomingPacket& p) {
    if (const auto handler = OnSystemMessage) {
        handler(this, p.Args(0).AsText());
    }
}

void TVLChat::ReceiveFriendAdded(const TVLChatIncomingPacket& p) {
    const QByteArray& data = p.Args(2).AsData();
    if (data.isEmpty()) {
        throw plat::Exception(QStringLiteral("Buddy data is empty"));
    }
    friendList_.Update(nameList_.NameOf(p.Args(0).AsInt()), p.Args(1).AsInt() != 0, data[0] == 1);
}

void TVLChat::ReceiveFriendRemoved(const TVLChatIncomingPacket& p) {
    friendList_.Remove(nameList_.NameOf(p.Args(0).AsInt()));
}

// "Privategroup Invited" and "Privategroup Kicked".
void TVLChat::ReceivePrivateGroupInvitation(const TVLChatIncomingPacket& p) {
    const QByteArray groupName = nameList_.NameOf(p.Args(0).AsInt());
    const auto handler =
        p.Index() == spPrivategroupInvited ? OnPrivateGroupInvite : OnPrivateGroupKick;
    if (handler) {
        handler(this, groupName);
    }
}

// "Privategroup Client Join" and "Privategroup Client Part".
void TVLChat::ReceivePrivateGroupMember(const TVLChatIncomingPacket& p) {
    const QByteArray groupName = nameList_.NameOf(p.Args(0).AsInt());
    const QByteArray charName = nameList_.NameOf(p.Args(1).AsInt());
    const auto handler =
        p.Index() == spPrivategroupClientJoin ? OnPrivateGroupJoin : OnPrivateGroupLeave;
    if (handler) {
        handler(this, groupName, charName);
    }
}

void TVLChat::ReceivePrivateGroupMessage(const TVLChatIncomingPacket& p) {
    if (const auto handler = OnPrivateGroupMessage) {
        const auto blob =
            TBlob::CreateBlob(BlobKind::ServerPrivateGroupMessage, p.Args(3).AsData());
        const QByteArray groupName = nameList_.NameOf(p.Args(0).AsInt());
        const QByteArray charName = nameList_.NameOf(p.Args(1).AsInt());
        handler(this, groupName, charName, p.Args(2).AsText(), blob.get());
    }
}

void TVLChat::ReceiveGroupJoin(const TVLChatIncomingPacket& p) {
    // The data argument is not used.
    groupList_.Update(p.Args(0).AsGroup(), p.Args(1).AsText(), p.Args(2).AsInt());
}

void TVLChat::ReceiveGroupMessage(const TVLChatIncomingPacket& p) {
    if (const auto handler = OnGroupMessage) {
        const auto blob = TBlob::CreateBlob(BlobKind::ServerGroupMessage, p.Args(3).AsData());
        const int groupIndex = static_cast<int>(groupList_.IndexOfId(p.Args(0).AsGroup()));
        const QByteArray charName = nameList_.NameOf(p.Args(1).AsInt());
        handler(this, groupIndex, charName, p.Args(2).AsText(), blob.get());
    }
}
