#include "FakeChatServer.h"

#include "FuzzSupport.h"

#include "chatd/ServerCodec.h"
#include "engine/VLChat.h"
#include "platform/core/Cp1252.h"

#include <QHostAddress>
#include <QTcpSocket>

#include <exception>

const FakeChatServer::Person FakeChatServer::kCast[] = {
    {"Kara", 0x1000}, {"Bob", 0x1001}, {"Cara", 0x1002}, {"Zo\xEB", 0x1003}, {"bea", 0x1004}};

const FakeChatServer::Group FakeChatServer::kGroups[] = {
    {"General", {0x01, 0, 0, 0, 0x01}, 0},
    {"Trade", {0x01, 0, 0, 0, 0x02}, 0x01010000},
    {"trade", {0x01, 0, 0, 0, 0x03}, 0},
    {"Zo\xEB's den", {0x01, 0, 0, 0, 0x04}, 0},
};

namespace {

constexpr int32_t kUnknown = -1;

bool Announced(int32_t id) {
    for (const FakeChatServer::Person& person : FakeChatServer::kCast) {
        if (person.Id == id) {
            return true;
        }
    }
    return false;
}

bool Announced(const TGroupId& id) {
    for (const FakeChatServer::Group& group : FakeChatServer::kGroups) {
        if (group.Id == id) {
            return true;
        }
    }
    return false;
}

// The values of a client packet's arguments as they stand (texts and data
// without their lengths): false unless the signature's arguments fill the
// body exactly. Client packets carry no lists.
bool SplitBody(const char* signature, QByteArrayView body, QList<QByteArray>& values) {
    qsizetype at = 0;
    for (const char* letter = signature; *letter != '\0'; ++letter) {
        qsizetype size = *letter == 'I' ? 4 : *letter == 'G' ? 5 : -1;
        if (size < 0) {
            if (at + 2 > body.size()) {
                return false;
            }
            size = (static_cast<uint8_t>(body[at]) << 8) | static_cast<uint8_t>(body[at + 1]);
            at += 2;
        }
        if (at + size > body.size()) {
            return false;
        }
        values.append(body.sliced(at, size).toByteArray());
        at += size;
    }
    return at == body.size();
}

const TPacketArg kNoAttachment = TPacketArg::Data(QByteArray(1, '\0'));

} // namespace

int32_t FakeChatServer::IdOf(const QByteArray& name) {
    const QString decoded = plat::FromCp1252(name);
    for (const Person& person : kCast) {
        if (decoded.compare(plat::FromCp1252(person.Name), Qt::CaseInsensitive) == 0) {
            return person.Id;
        }
    }
    return kUnknown;
}

FakeChatServer::FakeChatServer() {
    check(listener_.listen(QHostAddress::LocalHost, 0));
    connect(&listener_, &QTcpServer::newConnection, this, [this] { Accept(); });
}

bool FakeChatServer::Connected() const {
    return peer_ != nullptr && peer_->state() == QAbstractSocket::ConnectedState;
}

void FakeChatServer::Accept() {
    QTcpSocket* socket = listener_.nextPendingConnection();
    check(peer_ == nullptr); // the engine connects once
    peer_ = socket;
    connect(peer_, &QTcpSocket::readyRead, this, [this] { Read(); });
    Send(spLoginSeed, {TPacketArg::Text("fuzz seed")});
}

void FakeChatServer::Read() {
    buffer_ += peer_->readAll();
    while (buffer_.size() >= 4) {
        const auto* head = reinterpret_cast<const uint8_t*>(buffer_.constData());
        const int type = (head[0] << 8) | head[1];
        const qsizetype length = (head[2] << 8) | head[3];
        if (buffer_.size() < 4 + length) {
            return; // the rest of the frame is on its way
        }
        const QByteArray frame = buffer_.left(4 + length);
        buffer_.remove(0, 4 + length);
        const int row = chatd::ClientRowOfType(type);
        check(row < cpCount);
        const char* signature = VLClientPackets[row].Signature;
        QList<QByteArray> raw;
        check(SplitBody(signature, QByteArrayView(frame).sliced(4), raw));
        TPacketArgs args;
        try {
            args = ReadPacketArgs(signature, QByteArrayView(frame).sliced(4));
        } catch (const std::exception&) {
            FuzzCheck(false, "a frame reads as its signature");
        }
        Handle(row, args, raw);
    }
}

void FakeChatServer::Handle(int row, const TPacketArgs& args, const QList<QByteArray>& raw) {
    if (!loggedIn_) {
        check(row == cpLoginResponseGetCharList || row == cpLoginSelectCharacter);
        if (row == cpLoginResponseGetCharList) {
            Send(spLoginCharacterList,
                 {TPacketArg::IntList({kCast[0].Id}), TPacketArg::TextList({kCast[0].Name}),
                  TPacketArg::IntList({60}), TPacketArg::IntList({1})});
        } else {
            check(args[0].AsInt() == kCast[0].Id);
            LogIn();
        }
        return;
    }
    check(InRowSet(VLChatStates[csLoggedIn].Allowed, row));
    switch (row) {
    case cpNameLookup: {
        const int32_t id = IdOf(args[0].AsText());
        Send(spLookupResult, {TPacketArg::Int(id), args[0]});
        return;
    }
    case cpMessagePrivate:
        check(Announced(args[0].AsInt()));
        tell_ = Tell{args[0].AsInt(), raw[1]}; // (the reader cuts texts at a NUL)
        return;
    case cpFriendAdd:
    case cpFriendRemove:
    case cpPrivategroupInvite:
    case cpPrivategroupKick:
    case cpPrivategroupJoin:
    case cpPrivategroupPart:
        check(Announced(args[0].AsInt()));
        return;
    case cpPrivategroupMessage:
        check(Announced(args[0].AsInt()));
        Echo(spPrivategroupMessage, {args[0], TPacketArg::Int(kCast[0].Id), args[1], args[2]});
        return;
    case cpGroupMessage:
        check(Announced(args[0].AsGroup()));
        Echo(spGroupMessage, {args[0], TPacketArg::Int(kCast[0].Id), args[1], args[2]});
        return;
    case cpGroupDataSet:
        check(Announced(args[0].AsGroup()));
        for (const Group& group : kGroups) {
            if (group.Id == args[0].AsGroup()) {
                Send(spGroupJoin,
                     {args[0], TPacketArg::Text(group.Name), args[1], TPacketArg::Data({})});
            }
        }
        return;
    case cpPing:
        ++pings_;
        Send(spPong, {args[0]});
        return;
    default:
        return;
    }
}

void FakeChatServer::Send(int serverRow, const TPacketArgs& args) {
    peer_->write(WritePacketFrame(VLServerPackets[serverRow].Type,
                                  VLServerPackets[serverRow].Signature, args));
}

void FakeChatServer::LogIn() {
    loggedIn_ = true;
    Send(spLoginResultOK, {});
    for (const Person& person : kCast) {
        Send(spClientName, {TPacketArg::Int(person.Id), TPacketArg::Text(person.Name)});
    }
    // Bob and Cara are buddies, Bob online.
    Send(spFriendAdded, {TPacketArg::Int(kCast[1].Id), TPacketArg::Int(1), kNoAttachment});
    Send(spFriendAdded, {TPacketArg::Int(kCast[2].Id), TPacketArg::Int(0), kNoAttachment});
    AnnounceGroups();
}

void FakeChatServer::AnnounceGroups() {
    for (const Group& group : kGroups) {
        Send(spGroupJoin, {TPacketArg::Group(group.Id), TPacketArg::Text(group.Name),
                           TPacketArg::Int(group.Flags), TPacketArg::Data({})});
    }
}

// What the client sends comes back to it as the server relays it, when it
// fits into what a client receives; else the server says so.
void FakeChatServer::Echo(int serverRow, const TPacketArgs& args) {
    QByteArray frame;
    try {
        frame = WritePacketFrame(VLServerPackets[serverRow].Type,
                                 VLServerPackets[serverRow].Signature, args);
    } catch (const EPacketTooLarge&) {
        // (the sender's id makes the relayed packet longer than the sent one)
    }
    if (!frame.isEmpty() && frame.size() - 4 <= kMaxIncomingBody) {
        peer_->write(frame);
    } else {
        Send(spMessageSystem, {TPacketArg::Text("The message is too long.")});
    }
}

void FakeChatServer::TellFromBob(const QByteArray& text) {
    Send(spMessagePrivate, {TPacketArg::Int(kCast[1].Id),
                            TPacketArg::Text(text.left(kMaxIncomingBody - 16)), kNoAttachment});
}
