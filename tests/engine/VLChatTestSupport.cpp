#include "VLChatTestSupport.h"

#include "engine/VLChatTestSeam.h"
#include "platform/core/Guarded.h"

#include <QHostAddress>

#include <algorithm>

namespace chattest {

QByteArray ServerFrame(TVLServerPacket row, const TPacketArgs& args) {
    return WritePacketFrame(VLServerPackets[row].Type, VLServerPackets[row].Signature, args);
}

QByteArray ClientName(int32_t id, const QByteArray& name) {
    return ServerFrame(spClientName, {A::Int(id), A::Text(name)});
}

QByteArray System(const QByteArray& text) {
    return ServerFrame(spMessageSystem, {A::Text(text)});
}

QByteArray LookupResult(int32_t id, const QByteArray& name) {
    return ServerFrame(spLookupResult, {A::Int(id), A::Text(name)});
}

QByteArray PrivateMessage(int32_t from, const QByteArray& text, const QByteArray& data) {
    return ServerFrame(spMessagePrivate, {A::Int(from), A::Text(text), A::Data(data)});
}

QByteArray GroupJoin(const TGroupId& id, const QByteArray& name, int32_t flags) {
    return ServerFrame(spGroupJoin, {A::Group(id), A::Text(name), A::Int(flags), A::Data({})});
}

QByteArray TwoCharacterList() {
    return Hex("00 07 00 2E 00 02 00 00 30 39 00 00 03 09 00 02 00 05 41 6C 69 63 65 00 05 42 6F "
               "62 62 79 00 02 00 00 00 0A 00 00 00 C8 00 02 00 00 00 01 00 00 00 00");
}

QString HandlerError(const char* packet, const QString& error) {
    return QString("Error in packet handler, packet type: %1, error %2").arg(packet, error);
}

QString Refused(const char* packet, const char* state) {
    return HandlerError(packet,
                        QString("Packet type %1 not allowed in state %2").arg(packet, state));
}

TPacketArgs ClientFrame::Args() const {
    for (const TPacketInfo& row : VLClientPackets) {
        if (row.Type == type) {
            return ReadPacketArgs(row.Signature, body);
        }
    }
    ADD_FAILURE() << "no client row has type " << type;
    return {};
}

ScriptedServer::ScriptedServer() {
    QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] {
        while (QTcpSocket* next = server_.nextPendingConnection()) {
            if (client_) {
                client_->abort();
                client_->deleteLater();
            }
            client_ = next;
            ++connections_;
            frames.clear();
            pending_.clear();
            clientGone_ = false;
            QObject::connect(next, &QTcpSocket::readyRead, next, [this] { Receive(); });
            QObject::connect(next, &QTcpSocket::disconnected, next,
                             [this, next] { clientGone_ = clientGone_ || next == client_; });
        }
    });
    EXPECT_TRUE(server_.listen(QHostAddress::LocalHost, 0));
}

ScriptedServer::~ScriptedServer() {
    if (client_) {
        client_->abort();
        delete client_;
    }
}

bool ScriptedServer::WaitForConnection(int after) {
    return WaitUntil([this, after] { return connections_ > after; });
}

void ScriptedServer::Send(const QByteArray& bytes) {
    ASSERT_TRUE(client_) << "no client to send to";
    client_->write(bytes);
    client_->flush();
}

void ScriptedServer::CloseClient() {
    if (client_) {
        client_->disconnectFromHost();
    }
}

bool ScriptedServer::WaitClientGone() const {
    return WaitUntil([this] { return clientGone_; });
}

bool ScriptedServer::WaitForFrames(size_t count) {
    return WaitUntil([&] { return frames.size() >= count; });
}

Frames ScriptedServer::FrameBytes() const {
    Frames out;
    for (const ClientFrame& f : frames) {
        out.push_back(f.bytes);
    }
    return out;
}

void ScriptedServer::Receive() {
    pending_ += client_->readAll();
    while (pending_.size() >= 4) {
        const auto* p = reinterpret_cast<const uint8_t*>(pending_.constData());
        const qsizetype length = (p[2] << 8) | p[3];
        if (pending_.size() < 4 + length) {
            break;
        }
        ClientFrame frame{(p[0] << 8) | p[1], pending_.mid(4, length), pending_.left(4 + length)};
        pending_.remove(0, 4 + length);
        frames.push_back(frame);
        // A copy: the handler may replace itself.
        if (const auto handler = onFrame) {
            handler(frame);
        }
    }
}

// --- fixtures --------------------------------------------------------------

namespace {

std::string Text(const QByteArray& bytes) {
    return bytes.toStdString();
}
std::string Text(int value) {
    return std::to_string(value);
}
std::string Text(const TBlob* blob) {
    return blob ? blob->ClassName() : "-";
}
std::string Text(const TFriendInfo& f) {
    return Text(f.Name()) + " online=" + Text(f.Online()) + " data=" + Text(f.DataFlag());
}

// A handler that records its name and its arguments: "What a|b|c".
template <typename... Args>
auto Line(Events& events, const char* what) {
    return [&events, what](TVLChat*, const Args&... args) {
        std::string line = what;
        [[maybe_unused]] const char* separator = " ";
        ((line += separator + Text(args), separator = "|"), ...);
        events.push_back(line);
    };
}

} // namespace

void RecordEvents(TVLChat& chat, Events& events, int* disconnects) {
    using B = QByteArray;
    chat.OnConnect = Line<>(events, "Connect");
    chat.OnDisconnect = [&events, disconnects](TVLChat* sender) {
        if (disconnects != nullptr) {
            ++*disconnects;
        }
        // The lists are empty by the time the application hears of it.
        const bool empty = sender->NameList().Count() + sender->CharList().Count() +
                               sender->FriendList().Count() + sender->GroupList().Count() ==
                           0;
        events.push_back(empty ? "Disconnect" : "Disconnect with lists left");
    };
    chat.OnLogin = Line<>(events, "Login");
    chat.OnSystemMessage = Line<B>(events, "System");
    chat.OnPrivateMessage = Line<B, B, const TBlob*>(events, "PrivateMessage");
    chat.OnGroupMessage = Line<int, B, B, const TBlob*>(events, "GroupMessage");
    chat.OnFriendAdd = Line<TFriendInfo>(events, "FriendAdd");
    chat.OnFriendRemove = Line<TFriendInfo>(events, "FriendRemove");
    chat.OnFriendStatusChange = Line<TFriendInfo>(events, "FriendStatusChange");
    chat.OnGroupListChange = Line<>(events, "GroupListChange");
    chat.OnLoginError = Line<B>(events, "LoginError");
    chat.OnPrivateGroupInvite = Line<B>(events, "PrivateGroupInvite");
    chat.OnPrivateGroupKick = Line<B>(events, "PrivateGroupKick");
    chat.OnPrivateGroupMessage = Line<B, B, B, const TBlob*>(events, "PrivateGroupMessage");
    chat.OnPrivateGroupJoin = Line<B, B>(events, "PrivateGroupJoin");
    chat.OnPrivateGroupLeave = Line<B, B>(events, "PrivateGroupLeave");
    chat.OnError = Line<int>(events, "Error");
}

EngineTest::EngineTest() : chat(std::make_unique<TVLChat>()) {
    chat->SetUserName("bob");
    chat->SetPassword("pw");
    RecordEvents(*chat, events, &disconnects);
}

OfflineTest::OfflineTest(TVLChatState state) {
    TVLChatTestSeam::SetState(*chat, state);
}

void OfflineTest::Feed(const QByteArray& bytes) {
    received.Append(bytes);
    for (;;) {
        const qsizetype before = received.Size();
        bool took = false;
        plat::Guarded([&] { took = chat->ReadNotification(received); });
        if (!took && received.Size() == before) {
            return;
        }
    }
}

ChatTest::ChatTest() {
    auto dimension = std::make_shared<TDimensionInfo>();
    dimension->SetName("Local");
    dimension->SetHost("127.0.0.1");
    dimension->SetPort(server.Port());
    chat->SetDimension(dimension);
}

void ChatTest::ConnectToServer() {
    const int before = server.Connections();
    chat->Connect();
    ASSERT_EQ(chat->State(), csConnecting);
    ASSERT_TRUE(server.WaitForConnection(before));
}

void ChatTest::ReachCharacterList() {
    ConnectToServer();
    server.Send(kLoginSeed);
    ASSERT_TRUE(server.WaitForFrames(1));
    ASSERT_EQ(chat->State(), csAwaitingAuthorization);
}

void ChatTest::ReachCharacterChoice() {
    ReachCharacterList();
    server.Send(TwoCharacterList());
    ASSERT_TRUE(WaitForState(csReadyForLogin));
}

void ChatTest::ReachLoginResult() {
    ReachCharacterChoice();
    chat->SelectCharacter("Alice");
    ASSERT_TRUE(server.WaitForFrames(2));
}

void ChatTest::LogIn() {
    ReachLoginResult();
    server.Send(kLoginOK);
    ASSERT_TRUE(WaitForState(csLoggedIn));
    server.frames.clear();
    TakeEvents();
}

std::vector<ChatTest::LoginStep> ChatTest::LoginSteps() {
    return {
        {"before the server spoke", [this] { ConnectToServer(); }, csConnecting},
        {"waiting for the character list", [this] { ReachCharacterList(); },
         csAwaitingAuthorization},
        {"waiting for the login result", [this] { ReachLoginResult(); }, csAwaitingLoginResult},
    };
}

bool ChatTest::WaitForState(TVLChatState state) {
    return WaitUntil([&] { return chat->State() == state; });
}

void ChatTest::Deliver(const QByteArray& bytes) {
    static int counter = 0;
    const std::string marker = "@marker " + std::to_string(++counter);
    server.Send(bytes + System(QByteArray::fromStdString(marker)));
    ASSERT_TRUE(WaitUntil([&] {
        return std::find(events.begin(), events.end(), "System " + marker) != events.end();
    }));
    std::erase(events, "System " + marker);
}

bool ChatTest::WaitForDisconnects(int count) {
    return WaitUntil([&] { return disconnects >= count; });
}

Frames ChatTest::FramesUpToMarker() {
    chat->PrivateGroupKickAll();
    EXPECT_TRUE(WaitUntil(
        [&] { return !server.frames.empty() && server.frames.back().bytes == kKickAll; }));
    return server.FrameBytes();
}

} // namespace chattest
