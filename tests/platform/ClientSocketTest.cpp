#include "platform/core/ClientSocket.h"
#include "platform/core/Exception.h"
#include "platform/core/Guarded.h"

#include "Raises.h"
#include "WaitUntil.h"

#include <QPointer>
#include <QTcpServer>

#include <gtest/gtest.h>

#include <memory>

using plat::ClientSocket;

namespace {

// The test frames: one length byte, then that many bytes.
QByteArray Frame(const QByteArray& payload) {
    return char(payload.size()) + payload;
}

// A client whose handlers write what they see to a log ("read:abc",
// "disconnect", "error:10061"): it reads one frame per notification, and on
// an error it clears the code and closes, as the application does.
class ClientSocketTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        client->OnRead = [this](ClientSocket* s) { ReadOneFrame(s); };
        client->OnDisconnect = [this](ClientSocket*) { Note("disconnect"); };
        client->OnError = [this](ClientSocket* s, int& code) {
            Note("error:" + QString::number(code));
            code = 0;
            s->Close();
        };
    }
    void TearDown() override { delete client.data(); }

    void Note(const QString& what) {
        log << what;
        ++notifications;
    }
    void ReadOneFrame(ClientSocket* s) {
        ++notifications;
        if (log.contains("disconnect")) {
            log << "read after the disconnect";
        }
        const QByteArrayView pending = s->Peek();
        if (!pending.isEmpty() && pending.size() >= 1 + uint8_t(pending[0])) {
            log << "read:" + QString::fromLatin1(pending.sliced(1, uint8_t(pending[0])));
            s->Consume(1 + uint8_t(pending[0]));
        }
    }
    // Opens the client and accepts its connection.
    void Connect() {
        client->Open("127.0.0.1", server.serverPort());
        ASSERT_TRUE(
            WaitUntil([&] { return client->Connected() && server.hasPendingConnections(); }));
        peer = server.nextPendingConnection();
    }
    void PeerSends(const QByteArray& bytes) {
        peer->write(bytes);
        peer->flush();
    }
    bool WaitForLog(const QString& entry) {
        return WaitUntil([&] { return log.contains(entry); });
    }
    // Runs posted calls until a whole round passes without a notification.
    bool Settle() {
        for (int round = 0; round < 50; ++round) {
            const int before = notifications;
            auto ran = std::make_shared<bool>(false);
            QMetaObject::invokeMethod(
                &server, [ran] { *ran = true; }, Qt::QueuedConnection);
            if (!WaitUntil([ran] { return *ran; })) {
                return false;
            }
            if (notifications == before) {
                return true;
            }
        }
        return false;
    }
    // Waits for the disconnect and the notifications after it; the log since
    // the last call.
    QStringList TakeLogAfterDisconnect() {
        EXPECT_TRUE(WaitForLog("disconnect"));
        EXPECT_TRUE(Settle());
        return std::exchange(log, {});
    }

    QTcpServer server;
    QPointer<ClientSocket> client = new ClientSocket;
    QTcpSocket* peer = nullptr;
    QStringList log;
    QStringList exceptions;
    int notifications = 0;
    const plat::ScopedExceptionHandler handler{
        [this](const std::exception& e) { exceptions << QString::fromUtf8(e.what()); }};
};

} // namespace

TEST_F(ClientSocketTest, OneFramePerNotificationWhetherInOneChunkOrInPieces) {
    Connect();
    PeerSends(Frame("one") + Frame("two") + Frame("three"));
    ASSERT_TRUE(WaitUntil([&] { return log.size() == 3; }));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(log, QStringList({"read:one", "read:two", "read:three"}));
    EXPECT_EQ(notifications, 3); // posted again while bytes remained, and no more

    log.clear();
    notifications = 0;
    for (const QByteArray& piece : {QByteArray("\x05"), QByteArray("ab"), QByteArray("cde")}) {
        const qsizetype before = client->BytesAvailable();
        PeerSends(piece);
        ASSERT_TRUE(
            WaitUntil([&] { return client->BytesAvailable() != before || !log.isEmpty(); }));
    }
    ASSERT_TRUE(WaitUntil([&] { return !log.isEmpty(); }));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(log, QStringList({"read:abcde"}));
    EXPECT_LE(notifications, 3); // an incomplete frame is not offered again and again
    EXPECT_TRUE(exceptions.isEmpty());
}

TEST_F(ClientSocketTest, CloseRaisesOneDisconnectWhileASocketExists) {
    client->Close();
    EXPECT_TRUE(log.isEmpty());

    QTcpServer spare; // takes the connection that is given up
    ASSERT_TRUE(spare.listen(QHostAddress::LocalHost, 0));
    client->Open("127.0.0.1", spare.serverPort()); // still connecting
    client->Close();
    EXPECT_EQ(log, QStringList({"disconnect"})); // before Close returned
    EXPECT_EQ(TakeLogAfterDisconnect(), QStringList({"disconnect"}));

    Connect();
    client->OnRead = [&](ClientSocket* s) {
        ReadOneFrame(s);
        s->Close(); // the frames after the first are never delivered
    };
    PeerSends(Frame("1") + Frame("2") + Frame("3"));
    EXPECT_EQ(TakeLogAfterDisconnect(), QStringList({"read:1", "disconnect"}));
    EXPECT_EQ(client->BytesAvailable(), 0);
    EXPECT_TRUE(WaitUntil([&] { return peer->state() == QAbstractSocket::UnconnectedState; }));
    EXPECT_TRUE(exceptions.isEmpty());
}

TEST_F(ClientSocketTest, ErrorsReachOnErrorWithTheirNumbersAndEndInOneDisconnect) {
    const quint16 port = server.serverPort();
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    const quint16 closedPort = closed.serverPort();
    closed.close();
    const struct {
        QString error;
        std::function<void()> fail;
    } cases[] = {
        {"error:10061", [&] { client->Open("127.0.0.1", closedPort); }}, // refused
        {"error:10060",
         [&] { // failed by its owner
             client->Open("127.0.0.1", port);
             ASSERT_TRUE(WaitUntil([&] { return client->Connected(); }));
             client->Fail(10060, "Connection timed out");
         }},
        {"error:11001", [&] { client->Open("no-such-host.invalid", 7012); }},
    };
    for (const auto& c : cases) {
        c.fail();
        EXPECT_EQ(TakeLogAfterDisconnect(), QStringList({c.error, "disconnect"}));
        EXPECT_TRUE(exceptions.isEmpty());
    }
    // A handler that leaves the code: the socket raises its own error and closes.
    client->OnError = [&](ClientSocket*, int& code) { Note("error:" + QString::number(code)); };
    for (const auto& c : cases) {
        c.fail();
        EXPECT_EQ(TakeLogAfterDisconnect(), QStringList({c.error, "disconnect"}));
        ASSERT_EQ(exceptions.size(), 1);
        EXPECT_TRUE(std::exchange(exceptions, {})[0].startsWith("Socket error " + c.error.mid(6)));
    }
    // A handler that clears the code and does not close: a failure found by
    // the owner closes all the same.
    client->OnError = [&](ClientSocket*, int& code) {
        Note("error:" + QString::number(code));
        code = 0;
    };
    cases[1].fail();
    EXPECT_EQ(log, QStringList({"error:10060", "disconnect"})); // before Fail returned
    client->Fail(10060, "no socket");                           // nothing to fail
    ASSERT_TRUE(Settle());
    EXPECT_EQ(log.size(), 2);
    EXPECT_TRUE(exceptions.isEmpty());
}

TEST_F(ClientSocketTest, WritesFailVisiblyWhenNotConnected) {
    EXPECT_THROW(client->Write("early"), plat::EWriteError);
    QTcpServer spare; // takes the connection that is given up
    ASSERT_TRUE(spare.listen(QHostAddress::LocalHost, 0));
    client->Open("127.0.0.1", spare.serverPort());
    EXPECT_THROW(client->Open("127.0.0.1", spare.serverPort()), plat::ESocketError);
    EXPECT_EQ(MessageOf<plat::EWriteError>([&] { client->Write("still connecting"); }),
              "Socket is not connected");
    client->Close();

    Connect();
    EXPECT_TRUE(client->LowDelay()) << "small packets must leave without delay";
    client->Write(Frame("ab"));
    client->Write(Frame("cd"));
    ASSERT_TRUE(WaitUntil([&] { return peer->bytesAvailable() == 6; }));
    EXPECT_EQ(peer->readAll(), Frame("ab") + Frame("cd"));
    peer->disconnectFromHost();
    ASSERT_TRUE(WaitUntil([&] { return log.count("disconnect") == 2; }));
    EXPECT_THROW(client->Write("late"), plat::EWriteError);
}

TEST_F(ClientSocketTest, DestroyedInsideTheConnectionsReportTheConnectionGoesAfterIt) {
    // The first notification for arriving bytes is raised inside the
    // connection's own report of them; a handler that destroys the socket
    // there must not take the connection away under that report.
    Connect();
    const QPointer<QTcpSocket> connection = client->findChild<QTcpSocket*>();
    ASSERT_TRUE(connection);
    bool connectionAfterDelete = false;
    client->OnRead = [&](ClientSocket* s) {
        ReadOneFrame(s);
        delete s;
        connectionAfterDelete = !connection.isNull();
    };
    PeerSends(Frame("x"));
    ASSERT_TRUE(WaitUntil([&] { return client.isNull(); }));
    EXPECT_TRUE(connectionAfterDelete);
    EXPECT_TRUE(WaitUntil([&] { return connection.isNull(); }));
    EXPECT_EQ(log, QStringList({"read:x"}));
}

TEST_F(ClientSocketTest, HandlersMayDestroyTheSocket) {
    Connect();
    client->OnRead = [&](ClientSocket* s) {
        ReadOneFrame(s);
        s->deleteLater();
    };
    PeerSends(Frame("a") + Frame("b"));
    ASSERT_TRUE(WaitUntil([&] { return client.isNull(); }));
    ASSERT_FALSE(log.isEmpty()); // a notification already posted may still come
    EXPECT_EQ(log.front(), "read:a");
    log.clear();

    client = new ClientSocket;
    client->OnRead = [&](ClientSocket* s) {
        ReadOneFrame(s);
        delete s; // at once, with a frame still buffered
    };
    Connect();
    PeerSends(Frame("c") + Frame("d"));
    ASSERT_TRUE(WaitUntil([&] { return client.isNull(); }));
    ASSERT_TRUE(Settle());

    client = new ClientSocket;
    client->OnDisconnect = [&](ClientSocket* s) {
        Note("disconnect");
        delete s;
    };
    Connect();
    client->Close();
    EXPECT_TRUE(client.isNull());

    const quint16 closedPort = server.serverPort();
    server.close();
    client = new ClientSocket;
    client->OnError = [&](ClientSocket* s, int&) { delete s; }; // leaves the code
    client->Open("127.0.0.1", closedPort);
    ASSERT_TRUE(WaitUntil([&] { return !exceptions.isEmpty(); }));
    EXPECT_TRUE(client.isNull());
    EXPECT_EQ(log, QStringList({"read:c", "disconnect"}));
}
