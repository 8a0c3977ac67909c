#pragma once

#include "WaitUntil.h"

// A minimal chat client for driving the service over loopback: it writes
// client packets with the engine's packet classes, reads server frames with
// the engine's frame reader and logs in with the real login key.

#include "chatd/ChatServer.h"
#include "engine/VLChatFrameReader.h"
#include "engine/VLChatPacket.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>

namespace chatd::test {

using Packet = TVLChatIncomingPacket;
using Packets = QList<Packet>;

inline constexpr int kWaitMs = 10000;

// Runs the event loop until the condition holds or the time is up; true
// when it holds.

class TestClient {
public:
    explicit TestClient(quint16 port);

    bool Connected() const;
    // True once the server closed the connection.
    bool Closed() const { return closed_; }
    bool WaitClosed(int timeoutMs = kWaitMs);

    void Send(uint8_t clientRow, const TPacketArgs& args);
    void SendRaw(const QByteArray& bytes);

    // The next packet, waiting for it; nothing when the time is up or the
    // connection closed first.
    std::optional<Packet> Next(int timeoutMs = kWaitMs);
    // Sends a ping and returns every packet that arrived before its pong:
    // everything the server sent in answer to what this client sent before.
    Packets Sync();

    // The login handshake up to the character list (or the error).
    std::optional<Packet> RequestCharacters(const QByteArray& user, const QByteArray& password);
    // Requests the characters and selects one by name; true on "Login Result
    // OK". The packets after OK (up to a sync) are kept in AfterLogin.
    bool Login(const QByteArray& user, const QByteArray& password, const QByteArray& character);

    QByteArray Seed;
    Packets AfterLogin;

private:
    void pump();

    QTcpSocket socket_;
    plat::ByteQueue received_;
    TVLChatFrameReader reader_;
    Packets pending_;
    bool closed_ = false;
    int pings_ = 0;
};

// Packets of one row, in arrival order.
Packets OfRow(const Packets& packets, uint8_t row);
// The rows of the packets, in order (compact failure output).
QList<int> Rows(const Packets& packets);
// A frame with the given type and raw body.
QByteArray RawFrame(uint16_t type, const QByteArray& body);
// The data argument of a message without attachment.
QByteArray NoAttachment();

// A service on a free port with two extra accounts:
//   alice/alicepw: Alpha (2001, level 20), Bravo (2002, level 30)
//   bob/bobpw:     Charlie (2003, level 40)
// besides the built-in demo/demo: Demochar (1001), Testchar (1002).
class ChatServerTest : public ::testing::Test {
protected:
    void SetUp() override;

    std::unique_ptr<TestClient> Connect();
    // A logged-in client; fails the test when the login does not succeed.
    std::unique_ptr<TestClient> LoginAs(const QByteArray& user, const QByteArray& password,
                                        const QByteArray& character);
    bool LogHas(const QString& text) const;

    ChatServer server;
    quint16 port = 0;
    QStringList log;
};

} // namespace chatd::test
