// Client bytes to the local chat service over socket pairs: up to three
// clients log in for real (Demochar, Testchar, Alpha) and a fourth stays at
// the login; the input then says what each of them sends.
//
// Input: byte 0, low 2 bits: how many clients log in. Then chunks:
//   [client] [type hi] [type lo] [length hi] [length lo] [body]
//     a frame of that type with that body (cut to what the input holds);
//     a logged-in client then pings and waits for its pong, so that every
//     frame is handled before the next one is sent;
//   [client | 0x80] [length] [bytes]
//     raw bytes (frames cut anywhere, lengths above the limit), after which
//     the client closes its connection.
// Client numbers are taken modulo 4; client 3 never logs in.
//
// Checked on every input:
// - no crash, sanitizer report or hang; the service closes every session;
// - every frame the service writes is one the client accepts at that point:
//   below the receive limit, of a row the client takes in its state, with
//   arguments that read back to the same frame;
// - every character id and public group a frame carries was announced on
//   that connection before.
#include "FuzzWait.h"

#include "chatd/ChatServer.h"
#include "engine/VLChatPacket.h"
#include "engine/VLCrypt.h"

#include <QCoreApplication>
#include <QSet>
#include <QTcpSocket>

#include <cstdint>
#include <memory>
#include <set>

#include <sys/socket.h>

#include "FuzzCheck.h" // last: Qt's headers use the name check

namespace {

struct Login {
    const char* user;
    const char* password;
    int32_t id;
};
constexpr Login kLogins[] = {{"demo", "demo", 1001}, {"demo", "demo", 1002}, {"alice", "pw", 2001}};

// A frame as it stands: type, body length, body.
QByteArray frame(int type, const QByteArray& body) {
    QByteArray out;
    out.append(char(type >> 8)).append(char(type));
    out.append(char(body.size() >> 8)).append(char(body.size()));
    return out + body;
}

int serverRow(int type) {
    for (size_t row = 0; row < VLServerPackets.size(); ++row) {
        if (VLServerPackets[row].Type == type) {
            return static_cast<int>(row);
        }
    }
    return -1;
}

class Client {
public:
    // Connects to the service through a socket pair: no port, and nothing
    // left waiting in the system after the connection closes.
    explicit Client(chatd::ChatServer& server) {
        int ends[2];
        check(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) == 0);
        auto* served = new QTcpSocket;
        check(served->setSocketDescriptor(ends[0]));
        check(socket_.setSocketDescriptor(ends[1]));
        QObject::connect(&socket_, &QTcpSocket::readyRead, [this] { pump(); });
        QObject::connect(&socket_, &QTcpSocket::disconnected, [this] { closed_ = true; });
        server.Adopt(served);
    }

    bool Closed() const { return closed_; }

    void Write(const QByteArray& bytes) {
        if (!closed_) {
            socket_.write(bytes);
        }
    }
    void Send(uint8_t clientRow, const TPacketArgs& args) {
        Write(WritePacketFrame(VLClientPackets[clientRow].Type,
                               VLClientPackets[clientRow].Signature, args));
    }
    void Close() {
        closed_ = true;
        socket_.disconnectFromHost();
    }

    // The next packet of that row, skipping the others; nothing once the
    // connection closed.
    std::optional<TPacketArgs> Await(int row) {
        WaitFor([&] { return closed_ || takeRow(row); });
        if (!taken_) {
            return std::nullopt;
        }
        return std::exchange(taken_, std::nullopt);
    }

    bool LogIn(const Login& login) {
        const auto seed = Await(spLoginSeed);
        if (!seed) {
            return false;
        }
        // A zero exponent: public and shared value 1, which the service
        // accepts, and neither side spends its time on the arithmetic (the
        // key exchange has tests of its own).
        const auto zero = [] { return uint8_t{0}; };
        Send(cpLoginResponseGetCharList,
             {TPacketArg::Int(0), TPacketArg::Text(login.user),
              TPacketArg::Text(
                  MakeLoginKey(login.user, login.password, seed->at(0).AsText(), zero))});
        if (!Await(spLoginCharacterList)) {
            return false;
        }
        Send(cpLoginSelectCharacter, {TPacketArg::Int(login.id)});
        loggedIn_ = Await(spLoginResultOK).has_value();
        return loggedIn_;
    }

    // Pings and waits for the pong: the service has handled all sent before.
    void Sync() {
        if (!loggedIn_) {
            WaitFor([&] { return closed_; }); // whatever it sends ends the login
            return;
        }
        const QByteArray marker = QByteArray::number(++pings_);
        Send(cpPing, {TPacketArg::Data(marker)});
        WaitFor([&] {
            if (closed_) {
                return true;
            }
            while (takeRow(spPong)) {
                if (taken_->at(0).AsData() == marker) {
                    return true;
                }
            }
            return false;
        });
        taken_.reset();
    }

private:
    // Reads every whole frame received and checks it against what the
    // client accepts; packets are kept in arrival order.
    void pump() {
        buffer_ += socket_.readAll();
        while (buffer_.size() >= 4) {
            const auto* h = reinterpret_cast<const uint8_t*>(buffer_.constData());
            const int type = (h[0] << 8) | h[1];
            const qsizetype length = (h[2] << 8) | h[3];
            check(length <= kMaxIncomingBody);
            if (buffer_.size() < 4 + length) {
                break;
            }
            const QByteArray frame = buffer_.left(4 + length);
            buffer_.remove(0, 4 + length);
            const int row = serverRow(type);
            check(row >= 0);
            const char* signature = VLServerPackets[row].Signature;
            TPacketArgs args = ReadPacketArgs(signature, QByteArrayView(frame).sliced(4));
            check(WritePacketFrame(type, signature, args) == frame);
            checkState(row, args);
            received_.append({row, std::move(args)});
        }
    }

    void checkState(int row, const TPacketArgs& args) {
        // Before "Login Result OK" the login packets, after it what a
        // logged-in client takes; nothing else, ever.
        static const QSet<int> kLogin{spLoginSeed, spLoginCharacterList, spLoginResultOK,
                                      spLoginResultError};
        static const QSet<int> kLoggedIn{spClientName,
                                         spLookupResult,
                                         spMessagePrivate,
                                         spMessageSystem,
                                         spFriendAdded,
                                         spFriendRemoved,
                                         spPrivategroupInvited,
                                         spPrivategroupKicked,
                                         spPrivategroupClientJoin,
                                         spPrivategroupClientPart,
                                         spPrivategroupMessage,
                                         spGroupJoin,
                                         spGroupMessage,
                                         spPong};
        check((okSeen_ ? kLoggedIn : kLogin).contains(row));
        okSeen_ = okSeen_ || row == spLoginResultOK;
        const auto known = [&](int index) { check(ids_.contains(args[index].AsInt())); };
        switch (row) {
        case spLoginCharacterList:
            for (const int32_t id : args[0].AsIntList()) {
                ids_.insert(id);
            }
            break;
        case spClientName:
            ids_.insert(args[0].AsInt());
            break;
        case spLookupResult:
            ids_.insert(args[0].AsInt());
            break;
        case spGroupJoin:
            groups_.insert(args[0].AsGroup());
            break;
        case spMessagePrivate:
        case spFriendAdded:
        case spFriendRemoved:
        case spPrivategroupInvited:
        case spPrivategroupKicked:
            known(0);
            break;
        case spPrivategroupClientJoin:
        case spPrivategroupClientPart:
        case spPrivategroupMessage:
            known(0);
            known(1);
            break;
        case spGroupMessage:
            check(groups_.count(args[0].AsGroup()) != 0);
            known(1);
            break;
        default:
            break;
        }
    }

    bool takeRow(int row) {
        while (!received_.isEmpty()) {
            auto [r, args] = received_.takeFirst();
            if (r == row) {
                taken_ = std::move(args);
                return true;
            }
        }
        return false;
    }

    QTcpSocket socket_;
    QByteArray buffer_;
    QList<std::pair<int, TPacketArgs>> received_;
    std::optional<TPacketArgs> taken_;
    QSet<int32_t> ids_{-1}; // -1 is the lookup's "no such character"
    std::set<TGroupId> groups_;
    bool closed_ = false;
    bool loggedIn_ = false;
    bool okSeen_ = false;
    int pings_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    chatd::ChatServer server;
    chatd::Directory& accounts = server.Accounts();
    accounts.AddAccount("alice", "pw");
    chatd::Character alpha;
    alpha.Id = 2001;
    alpha.Name = "Alpha";
    accounts.AddCharacter("alice", alpha);

    std::unique_ptr<Client> clients[4];
    const int logins = data[0] & 3;
    for (int i = 0; i < logins; ++i) {
        clients[i] = std::make_unique<Client>(server);
        check(clients[i]->LogIn(kLogins[i]));
    }

    size_t at = 1;
    const auto byte = [&] { return at < size ? data[at++] : uint8_t{0}; };
    while (at < size) {
        const uint8_t head = byte();
        std::unique_ptr<Client>& client = clients[head & 3];
        if (!client) {
            client = std::make_unique<Client>(server);
            client->Await(spLoginSeed);
        }
        if (head & 0x80) {
            const size_t length = std::min<size_t>(byte(), size - at);
            const int before = server.SessionCount();
            client->Write(QByteArray(reinterpret_cast<const char*>(data + at),
                                     static_cast<qsizetype>(length)));
            at += length;
            if (!client->Closed()) {
                client->Close();
                WaitFor([&] { return server.SessionCount() < before; });
            }
            continue;
        }
        int type = byte() << 8;
        type |= byte();
        size_t length = byte() << 8;
        length = std::min<size_t>(length | byte(), size - at);
        const QByteArray body(reinterpret_cast<const char*>(data + at),
                              static_cast<qsizetype>(length));
        at += length;
        if (client->Closed()) {
            continue;
        }
        client->Write(frame(type, body));
        client->Sync();
    }

    for (auto& client : clients) {
        if (client && !client->Closed()) {
            client->Close();
        }
    }
    WaitFor([&] { return server.SessionCount() == 0; });
    return 0;
}
