#pragma once

// A small chat client that drives the service over loopback: client packets
// written with the engine's packet classes, server frames read with its frame
// reader, and a login with the real login key.

#include "Bytes.h"
#include "PacketText.h"
#include "WaitUntil.h"

#include "chatd/ChatServer.h"
#include "engine/VLChatFrameReader.h"
#include "engine/VLChatPacket.h"

#include <QStringList>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace chatd::test {

using A = TPacketArg;
using Packet = TVLChatIncomingPacket;
using Packets = QList<Packet>;

inline constexpr int kWaitMs = 10000;

// Packets as lines (PacketText.h), to compare whole answers at once.
using ::Show;
QStringList Show(const Packets& packets);
QStringList Show(const std::optional<Packet>& packet);

// A tell or private-group message to an id, or a group message, without attachment.
TPacketArgs Message(int32_t id, const QByteArray& text);
TPacketArgs Message(const TGroupId& group, const QByteArray& text);

class TestClient {
public:
    explicit TestClient(quint16 port);

    bool Connected() const { return socket_.state() == QAbstractSocket::ConnectedState; }
    // True once the service closed the connection.
    bool WaitClosed();
    void Send(uint8_t clientRow, const TPacketArgs& args);
    void SendRaw(const QByteArray& bytes);
    // The next packet, waiting for it; nothing when the time is up or the
    // connection closed first.
    std::optional<Packet> Next();
    // Sends a ping and returns every packet that arrived before its pong:
    // everything the service sent in answer to what this client sent before.
    Packets Sync();
    // Sync as lines, after sending a packet.
    QStringList Said() { return Show(Sync()); }
    QStringList Ask(uint8_t clientRow, const TPacketArgs& args) {
        Send(clientRow, args);
        return Said();
    }
    // The login handshake up to the character list (or the error).
    std::optional<Packet> RequestCharacters(const QByteArray& user, const QByteArray& password);
    // Requests the characters and selects one by name; true on "Login Result
    // OK". The packets after OK (up to a sync) are kept in AfterLogin.
    bool Login(const QByteArray& user, const QByteArray& password, const QByteArray& character);

    QByteArray Seed;
    QStringList AfterLogin;

private:
    void Pump();

    QTcpSocket socket_;
    plat::ByteQueue received_;
    TVLChatFrameReader reader_;
    Packets pending_;
    bool closed_ = false;
    int pings_ = 0;
};

// A service on a free port with two accounts besides the built-in demo/demo
// (Demochar 1001, Testchar 1002):
//   alice/alicepw: Alpha (2001, level 20), Bravo (2002, level 30)
//   bob/bobpw:     Charlie (2003, level 40)
class ChatServerTest : public ::testing::Test {
protected:
    void SetUp() override;

    std::unique_ptr<TestClient> Connect();
    // A logged-in client; fails the test when the login does not succeed.
    std::unique_ptr<TestClient> LoginAs(const QByteArray& user, const QByteArray& password,
                                        const QByteArray& character);
    std::unique_ptr<TestClient> Demochar() { return LoginAs("demo", "demo", "Demochar"); }
    std::unique_ptr<TestClient> Alpha() { return LoginAs("alice", "alicepw", "Alpha"); }
    std::unique_ptr<TestClient> Charlie() { return LoginAs("bob", "bobpw", "Charlie"); }
    // Ends a client's session and waits until the service noticed.
    void LogOut(std::unique_ptr<TestClient>& client, const QString& character);
    bool LogHas(const QString& text) const;

    ChatServer server;
    quint16 port = 0;
    QStringList log;
};

} // namespace chatd::test
