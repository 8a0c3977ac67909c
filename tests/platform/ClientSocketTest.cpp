#include "platform/core/ClientSocket.h"
#include "platform/core/Exception.h"
#include "platform/core/Guarded.h"

#include "WaitUntil.h"

#include <QPointer>
#include <QTcpServer>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

using plat::ClientSocket;

namespace {

// The test frames: one length byte, then that many bytes.
QByteArray Frame(const QByteArray& payload) {
    return char(payload.size()) + payload;
}

std::optional<QByteArray> TakeFrame(ClientSocket* socket) {
    const QByteArrayView pending = socket->Peek();
    if (pending.isEmpty() || pending.size() < 1 + uint8_t(pending[0])) {
        return std::nullopt;
    }
    const QByteArray frame = pending.sliced(1, uint8_t(pending[0])).toByteArray();
    socket->Consume(1 + frame.size());
    return frame;
}

class ClientSocketTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        client->OnRead = [this](ClientSocket* s) { ReadOneFrame(s); };
        client->OnDisconnect = [this](ClientSocket*) { Note(u"disconnect"_qs); };
        client->OnError = [this](ClientSocket* s, int& code) {
            Note(u"error:"_qs + QString::number(code));
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
        if (log.contains(u"disconnect"_qs)) {
            log << u"read after the disconnect"_qs;
        }
        if (const auto frame = TakeFrame(s)) {
            log << u"read:"_qs + QString::fromLatin1(*frame);
        }
    }

    // Opens the client and accepts its connection.
    void Connect() {
        client->Open(u"127.0.0.1"_qs, server.serverPort());
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
    EXPECT_EQ(log, QStringList({u"read:one"_qs, u"read:two"_qs, u"read:three"_qs}));
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
    EXPECT_EQ(log, QStringList({u"read:abcde"_qs}));
    EXPECT_LE(notifications, 3); // an incomplete frame is not offered again and again
    EXPECT_TRUE(exceptions.isEmpty());
}

TEST_F(ClientSocketTest, CloseRaisesOneDisconnectWhileASocketExists) {
    client->Close();
    EXPECT_TRUE(log.isEmpty());

    QTcpServer spare; // takes the connection that is given up
    ASSERT_TRUE(spare.listen(QHostAddress::LocalHost, 0));
    client->Open(u"127.0.0.1"_qs, spare.serverPort()); // still connecting
    client->Close();
    EXPECT_EQ(log, QStringList({u"disconnect"_qs})); // before Close returned
    ASSERT_TRUE(Settle());
    EXPECT_EQ(log, QStringList({u"disconnect"_qs}));

    log.clear();
    Connect();
    client->OnRead = [&](ClientSocket* s) {
        ReadOneFrame(s);
        s->Close(); // the frames after the first are never delivered
    };
    PeerSends(Frame("1") + Frame("2") + Frame("3"));
    ASSERT_TRUE(WaitForLog(u"disconnect"_qs));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(log, QStringList({u"read:1"_qs, u"disconnect"_qs}));
    EXPECT_EQ(client->BytesAvailable(), 0);
    EXPECT_TRUE(WaitUntil([&] { return peer->state() == QAbstractSocket::UnconnectedState; }));
    EXPECT_TRUE(exceptions.isEmpty());
}

TEST_F(ClientSocketTest, ErrorsReachOnErrorAndEndInOneDisconnect) {
    const quint16 port = server.serverPort();
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    const quint16 closedPort = closed.serverPort();
    closed.close();
    const struct {
        const char* what;
        std::function<void()> fail;
        QString error;
    } cases[] = {
        {"refused", [&] { client->Open(u"127.0.0.1"_qs, closedPort); }, u"error:10061"_qs},
        {"failed by its owner",
         [&] {
             client->Open(u"127.0.0.1"_qs, port);
             ASSERT_TRUE(WaitUntil([&] { return client->Connected(); }));
             client->Fail(10060, u"Connection timed out"_qs);
         },
         u"error:10060"_qs},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        // The handler clears the code and closes, as the application does.
        log.clear();
        c.fail();
        ASSERT_TRUE(WaitForLog(u"disconnect"_qs));
        ASSERT_TRUE(Settle());
        EXPECT_EQ(log, QStringList({c.error, u"disconnect"_qs}));
        EXPECT_TRUE(exceptions.isEmpty());
    }
    // A handler that leaves the code: the socket raises its own error and closes.
    client->OnError = [&](ClientSocket*, int& code) { Note(u"error:"_qs + QString::number(code)); };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        log.clear();
        exceptions.clear();
        c.fail();
        ASSERT_TRUE(WaitForLog(u"disconnect"_qs));
        ASSERT_TRUE(Settle());
        EXPECT_EQ(log, QStringList({c.error, u"disconnect"_qs}));
        ASSERT_EQ(exceptions.size(), 1);
        EXPECT_TRUE(exceptions[0].startsWith(u"Socket error "_qs + c.error.mid(6) + u": "_qs))
            << exceptions[0].toStdString();
    }
    // A handler that clears the code and does not close: a failure found by
    // the owner closes all the same.
    client->OnError = [&](ClientSocket*, int& code) {
        Note(u"error:"_qs + QString::number(code));
        code = 0;
    };
    log.clear();
    exceptions.clear();
    cases[1].fail();
    EXPECT_EQ(log, QStringList({u"error:10060"_qs, u"disconnect"_qs})); // before Fail returned
    client->Fail(10060, u"no socket"_qs);                               // nothing to fail
    ASSERT_TRUE(Settle());
    EXPECT_EQ(log.size(), 2);
    EXPECT_TRUE(exceptions.isEmpty());
}

TEST_F(ClientSocketTest, UnknownHostReports11001) {
    client->Open(u"no-such-host.invalid"_qs, 7012);
    ASSERT_TRUE(WaitForLog(u"disconnect"_qs));
    EXPECT_EQ(log, QStringList({u"error:11001"_qs, u"disconnect"_qs}));
}

TEST_F(ClientSocketTest, WritesFailVisiblyWhenNotConnected) {
    EXPECT_THROW(client->Write("early"), plat::EWriteError);
    QTcpServer spare; // takes the connection that is given up
    ASSERT_TRUE(spare.listen(QHostAddress::LocalHost, 0));
    client->Open(u"127.0.0.1"_qs, spare.serverPort());
    EXPECT_THROW(client->Open(u"127.0.0.1"_qs, spare.serverPort()), plat::ESocketError);
    try {
        client->Write("still connecting");
        ADD_FAILURE() << "no exception";
    } catch (const plat::EWriteError& e) {
        EXPECT_EQ(e.Message(), u"Socket is not connected");
    }
    client->Close();

    Connect();
    EXPECT_TRUE(client->LowDelay()) << "small packets must leave without delay";
    client->Write(Frame("ab"));
    client->Write(Frame("cd"));
    ASSERT_TRUE(WaitUntil([&] { return peer->bytesAvailable() == 6; }));
    EXPECT_EQ(peer->readAll(), Frame("ab") + Frame("cd"));
    peer->disconnectFromHost();
    ASSERT_TRUE(WaitUntil([&] { return log.count(u"disconnect"_qs) == 2; }));
    EXPECT_THROW(client->Write("late"), plat::EWriteError);
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
    EXPECT_EQ(log.front(), u"read:a"_qs);
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
        Note(u"disconnect"_qs);
        delete s;
    };
    Connect();
    client->Close();
    EXPECT_TRUE(client.isNull());

    const quint16 closedPort = server.serverPort();
    server.close();
    client = new ClientSocket;
    client->OnError = [&](ClientSocket* s, int&) { delete s; }; // leaves the code
    client->Open(u"127.0.0.1"_qs, closedPort);
    ASSERT_TRUE(WaitUntil([&] { return !exceptions.isEmpty(); }));
    EXPECT_TRUE(client.isNull());
    EXPECT_EQ(log, QStringList({u"read:c"_qs, u"disconnect"_qs}));
}
