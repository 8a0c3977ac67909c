#include "VLChatTestSupport.h"

#include "platform/core/Exception.h"
#include "platform/core/Guarded.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QHostAddress>
#include <QTimer>

namespace chattest {

QByteArray Hex(const char* text) {
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

namespace {

void PutU16(QByteArray& out, qsizetype value) {
    out.append(static_cast<char>((value >> 8) & 0xFF));
    out.append(static_cast<char>(value & 0xFF));
}

void PutI32(QByteArray& out, int32_t value) {
    const auto u = static_cast<uint32_t>(value);
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.append(static_cast<char>((u >> shift) & 0xFF));
    }
}

void PutBytes(QByteArray& out, const QByteArray& bytes) {
    PutU16(out, bytes.size());
    out.append(bytes);
}

std::string BlobText(const TBlob* blob) {
    return blob ? blob->ClassName() : "-";
}

std::string Str(const QByteArray& bytes) {
    return bytes.toStdString();
}

} // namespace

QByteArray ServerFrame(TVLServerPacket row, const TPacketArgs& args) {
    const char* signature = VLServerPackets[row].Signature;
    QByteArray body;
    for (qsizetype n = 0; signature[n] != 0; ++n) {
        const TPacketArg& arg = args.at(n);
        switch (signature[n]) {
        case 'I':
            PutI32(body, arg.AsInt());
            break;
        case 'S':
            PutBytes(body, arg.AsText());
            break;
        case 'D':
            PutBytes(body, arg.AsData());
            break;
        case 'G':
            for (const uint8_t b : arg.AsGroup()) {
                body.append(static_cast<char>(b));
            }
            break;
        case 'i':
            PutU16(body, arg.AsIntList().size());
            for (const int32_t v : arg.AsIntList()) {
                PutI32(body, v);
            }
            break;
        case 's':
            PutU16(body, arg.AsTextList().size());
            for (const QByteArray& t : arg.AsTextList()) {
                PutBytes(body, t);
            }
            break;
        default:
            ADD_FAILURE() << "the test encoder cannot write " << signature[n];
        }
    }
    QByteArray frame;
    PutU16(frame, VLServerPackets[row].Type);
    PutU16(frame, body.size());
    return frame + body;
}

QByteArray ClientName(int32_t id, const QByteArray& name) {
    return ServerFrame(spClientName, {TPacketArg::Int(id), TPacketArg::Text(name)});
}

QByteArray TwoCharacterList() {
    // Alice 12345 level 10 online; Bobby 777 level 200 offline.
    return Hex("00 07 00 2E 00 02 00 00 30 39 00 00 03 09 00 02 00 05 41 6C 69 63 65 00 05 42 6F "
               "62 62 79 00 02 00 00 00 0A 00 00 00 C8 00 02 00 00 00 01 00 00 00 00");
}

TPacketArgs ClientArgs(const ClientFrame& frame) {
    const TPacketInfo* info = nullptr;
    for (const TPacketInfo& row : VLClientPackets) {
        if (row.Type == frame.type) {
            info = &row;
        }
    }
    TPacketArgs args;
    if (info == nullptr) {
        ADD_FAILURE() << "no client row has type " << frame.type;
        return args;
    }
    const QByteArray& b = frame.body;
    qsizetype at = 0;
    const auto u16 = [&] {
        const qsizetype v =
            (static_cast<uint8_t>(b.at(at)) << 8) | static_cast<uint8_t>(b.at(at + 1));
        at += 2;
        return v;
    };
    for (const char* letter = info->Signature; *letter != 0; ++letter) {
        switch (*letter) {
        case 'I': {
            uint32_t v = 0;
            for (int i = 0; i < 4; ++i) {
                v = (v << 8) | static_cast<uint8_t>(b.at(at++));
            }
            args.append(TPacketArg::Int(static_cast<int32_t>(v)));
            break;
        }
        case 'S':
        case 'D': {
            const qsizetype n = u16();
            const QByteArray bytes = b.mid(at, n);
            at += n;
            args.append(*letter == 'S' ? TPacketArg::Text(bytes) : TPacketArg::Data(bytes));
            break;
        }
        case 'G': {
            TGroupId id{};
            for (uint8_t& byte : id) {
                byte = static_cast<uint8_t>(b.at(at++));
            }
            args.append(TPacketArg::Group(id));
            break;
        }
        default:
            ADD_FAILURE() << "the test decoder cannot read " << *letter;
        }
    }
    EXPECT_EQ(at, b.size()) << "bytes after the last argument";
    return args;
}

ExceptionRecorder::ExceptionRecorder() {
    plat::SetExceptionHandler([this](const std::exception& e) {
        const auto* own = dynamic_cast<const plat::Exception*>(&e);
        messages << (own ? own->Message() : QString::fromUtf8(e.what()));
    });
}

ExceptionRecorder::~ExceptionRecorder() {
    plat::SetExceptionHandler(nullptr);
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
            QObject::connect(next, &QTcpSocket::disconnected, next, [this, next] {
                if (next == client_) {
                    clientGone_ = true;
                }
            });
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

bool ScriptedServer::WaitForFrames(size_t count) {
    return WaitUntil([&] { return frames.size() >= count; });
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

// --- fixture ---------------------------------------------------------------

void RecordEvents(TVLChat& chat, std::vector<std::string>& events, int* disconnects) {
    chat.OnConnect = [&events](TVLChat*) { events.push_back("Connect"); };
    chat.OnDisconnect = [&events, disconnects](TVLChat* sender) {
        if (disconnects != nullptr) {
            ++*disconnects;
        }
        // The lists are empty by the time the application hears of it.
        events.push_back(sender->NameList().Count() + sender->CharList().Count() +
                                     sender->FriendList().Count() + sender->GroupList().Count() ==
                                 0
                             ? "Disconnect"
                             : "Disconnect with lists left");
    };
    chat.OnLogin = [&events](TVLChat*) { events.push_back("Login"); };
    chat.OnSystemMessage = [&events](TVLChat*, const QByteArray& m) {
        events.push_back("System " + Str(m));
    };
    chat.OnPrivateMessage = [&events](TVLChat*, const QByteArray& c, const QByteArray& m,
                                      const TBlob* b) {
        events.push_back("PrivateMessage " + Str(c) + "|" + Str(m) + "|" + BlobText(b));
    };
    chat.OnGroupMessage = [&events](TVLChat*, int g, const QByteArray& c, const QByteArray& m,
                                    const TBlob* b) {
        events.push_back("GroupMessage " + std::to_string(g) + "|" + Str(c) + "|" + Str(m) + "|" +
                         BlobText(b));
    };
    const auto buddy = [&events](const char* what) {
        return [&events, what](TVLChat*, const TFriendInfo& f) {
            events.push_back(std::string(what) + " " + Str(f.Name()) + " online=" +
                             std::to_string(f.Online()) + " data=" + std::to_string(f.DataFlag()));
        };
    };
    chat.OnFriendAdd = buddy("FriendAdd");
    chat.OnFriendRemove = buddy("FriendRemove");
    chat.OnFriendStatusChange = buddy("FriendStatusChange");
    chat.OnGroupListChange = [&events](TVLChat*) { events.push_back("GroupListChange"); };
    chat.OnLoginError = [&events](TVLChat*, const QByteArray& m) {
        events.push_back("LoginError " + Str(m));
    };
    chat.OnPrivateGroupInvite = [&events](TVLChat*, const QByteArray& g) {
        events.push_back("PrivateGroupInvite " + Str(g));
    };
    chat.OnPrivateGroupKick = [&events](TVLChat*, const QByteArray& g) {
        events.push_back("PrivateGroupKick " + Str(g));
    };
    chat.OnPrivateGroupMessage = [&events](TVLChat*, const QByteArray& g, const QByteArray& c,
                                           const QByteArray& m, const TBlob* b) {
        events.push_back("PrivateGroupMessage " + Str(g) + "|" + Str(c) + "|" + Str(m) + "|" +
                         BlobText(b));
    };
    chat.OnPrivateGroupJoin = [&events](TVLChat*, const QByteArray& g, const QByteArray& c) {
        events.push_back("PrivateGroupJoin " + Str(g) + "|" + Str(c));
    };
    chat.OnPrivateGroupLeave = [&events](TVLChat*, const QByteArray& g, const QByteArray& c) {
        events.push_back("PrivateGroupLeave " + Str(g) + "|" + Str(c));
    };
    chat.OnError = [&events](TVLChat*, int& code) {
        events.push_back("Error " + std::to_string(code));
    };
}

ChatTest::ChatTest() : chat(std::make_unique<TVLChat>()) {
    auto dimension = std::make_shared<TDimensionInfo>();
    dimension->SetName("Local");
    dimension->SetHost("127.0.0.1");
    dimension->SetPort(server.Port());
    chat->SetDimension(dimension);
    chat->SetUserName("bob");
    chat->SetPassword("pw");

    RecordEvents(*chat, events, &disconnects);
}

ChatTest::~ChatTest() {
    chat.reset();
}

void ChatTest::ConnectToServer() {
    const int before = server.Connections();
    chat->Connect();
    ASSERT_EQ(chat->State(), csConnecting);
    ASSERT_TRUE(server.WaitForConnection(before));
}

void ChatTest::ReachCharacterChoice() {
    ConnectToServer();
    server.Send(Hex("00 00 00 06 00 04 53 33 33 44")); // Login Seed "S33D"
    ASSERT_TRUE(server.WaitForFrames(1));
    ASSERT_EQ(chat->State(), csAwaitingAuthorization);
    server.Send(TwoCharacterList());
    ASSERT_TRUE(WaitForState(csReadyForLogin));
}

void ChatTest::LogIn() {
    ReachCharacterChoice();
    chat->SelectCharacter("Alice");
    ASSERT_TRUE(server.WaitForFrames(2));
    server.Send(Hex("00 05 00 00"));
    ASSERT_TRUE(WaitForState(csLoggedIn));
    server.frames.clear();
    TakeEvents();
}

bool ChatTest::WaitForState(TVLChatState state) {
    return WaitUntil([&] { return chat->State() == state; });
}

void ChatTest::Deliver(const QByteArray& bytes) {
    static int counter = 0;
    const std::string marker = "@marker " + std::to_string(++counter);
    server.Send(bytes + ServerFrame(spMessageSystem,
                                    {TPacketArg::Text(QByteArray::fromStdString(marker))}));
    ASSERT_TRUE(WaitUntil([&] {
        return std::find(events.begin(), events.end(), "System " + marker) != events.end();
    }));
    std::erase(events, "System " + marker);
}

bool ChatTest::WaitForDisconnects(int count) {
    return WaitUntil([&] { return disconnects >= count; });
}

std::vector<std::string> ChatTest::TakeEvents() {
    return std::exchange(events, {});
}

QStringList ChatTest::TakeErrors() {
    return std::exchange(errors.messages, {});
}

} // namespace chattest
