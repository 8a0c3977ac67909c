#include "platform/core/ClientSocket.h"
#include "platform/core/Exception.h"
#include "platform/core/Guarded.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QPointer>
#include <QTcpServer>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

using plat::ClientSocket;

namespace {

// Runs the event loop until done() holds or the time is up.
bool WaitFor(const std::function<bool()>& done, int ms = 5000) {
    const QDeadlineTimer deadline(ms);
    QTimer wake; // ends the wait at the deadline
    wake.start(ms);
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

// The test frames: one length byte, then that many bytes.
QByteArray Frame(const QByteArray& payload) {
    return char(payload.size()) + payload;
}

std::optional<QByteArray> TakeFrame(ClientSocket* socket) {
    const QByteArrayView pending = socket->Peek();
    if (pending.isEmpty() || pending.size() < 1 + uint8_t(pending[0])) {
        return std::nullopt;
    }
    return socket->Read(1 + uint8_t(pending[0])).mid(1);
}

class ClientSocketTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        previousHandler = plat::SetExceptionHandler(
            [this](const std::exception& e) { exceptions << QString::fromUtf8(e.what()); });
        client->OnRead = [this](ClientSocket* s) { ReadOneFrame(s); };
        client->OnDisconnect = [this](ClientSocket*) { Note(u"disconnect"_qs); };
        client->OnError = [this](ClientSocket* s, int& code) {
            Note(u"error:"_qs + QString::number(code));
            code = 0;
            s->Close();
        };
    }
    void TearDown() override {
        delete client.data();
        plat::SetExceptionHandler(std::move(previousHandler));
    }

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
        ASSERT_TRUE(WaitFor([&] { return client->Connected() && server.hasPendingConnections(); }));
        peer = server.nextPendingConnection();
    }
    void PeerSends(const QByteArray& bytes) {
        peer->write(bytes);
        peer->flush();
    }
    // Runs posted calls until a whole round passes without a notification.
    bool Settle() {
        for (int round = 0; round < 50; ++round) {
            const int before = notifications;
            auto ran = std::make_shared<bool>(false);
            QMetaObject::invokeMethod(
                &server, [ran] { *ran = true; }, Qt::QueuedConnection);
            if (!WaitFor([ran] { return *ran; })) {
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
    plat::ExceptionHandler previousHandler;
};

} // namespace

TEST_F(ClientSocketTest, OneFramePerNotificationWhetherInOneChunkOrInPieces) {
    Connect();
    PeerSends(Frame("one") + Frame("two") + Frame("three"));
    ASSERT_TRUE(WaitFor([&] { return log.size() == 3; }));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(log, QStringList({u"read:one"_qs, u"read:two"_qs, u"read:three"_qs}));
    EXPECT_EQ(notifications, 3); // posted again while bytes remained, and no more

    log.clear();
    notifications = 0;
    for (const QByteArray& piece : {QByteArray("\x05"), QByteArray("ab"), QByteArray("cde")}) {
        const qsizetype before = client->BytesAvailable();
        PeerSends(piece);
        ASSERT_TRUE(WaitFor([&] { return client->BytesAvailable() != before || !log.isEmpty(); }));
    }
    ASSERT_TRUE(WaitFor([&] { return !log.isEmpty(); }));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(log, QStringList({u"read:abcde"_qs}));
    EXPECT_LE(notifications, 3); // an incomplete frame is not offered again and again
    EXPECT_TRUE(exceptions.isEmpty());
}

TEST_F(ClientSocketTest, NotificationsReachANestedEventLoop) {
    Connect();
    client->OnRead = [&](ClientSocket* s) {
        ++notifications;
        const auto frame = TakeFrame(s);
        if (!frame) {
            return;
        }
        log << QString::fromLatin1(*frame);
        if (*frame == "outer") {
            // Waits as a name lookup does: for a frame already buffered, then
            // for one that has yet to arrive.
            EXPECT_TRUE(WaitFor([&] { return log.contains(u"buffered"_qs); }));
            PeerSends(Frame("later"));
            EXPECT_TRUE(WaitFor([&] { return log.contains(u"later"_qs); }));
            log << u"outer done"_qs;
        }
    };
    PeerSends(Frame("outer") + Frame("buffered"));
    ASSERT_TRUE(WaitFor([&] { return log.contains(u"outer done"_qs); }));
    EXPECT_EQ(log, QStringList({u"outer"_qs, u"buffered"_qs, u"later"_qs, u"outer done"_qs}));
}

TEST_F(ClientSocketTest, PeerCloseDeliversWholeFramesThenOneDisconnect) {
    Connect();
    const QByteArray incompleteTail = QByteArray(1, char(9)) + "ab";
    PeerSends(Frame("x") + Frame("y") + Frame("z") + incompleteTail);
    peer->disconnectFromHost();
    ASSERT_TRUE(WaitFor([&] { return log.contains(u"disconnect"_qs); }));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(log, QStringList({u"read:x"_qs, u"read:y"_qs, u"read:z"_qs, u"disconnect"_qs}));
    EXPECT_FALSE(client->Connected());
    EXPECT_EQ(client->BytesAvailable(), 0);
    client->Close(); // nothing left to close
    EXPECT_EQ(log.count(u"disconnect"_qs), 1);
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
    ASSERT_TRUE(WaitFor([&] { return log.contains(u"disconnect"_qs); }));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(log, QStringList({u"read:1"_qs, u"disconnect"_qs}));
    EXPECT_EQ(client->BytesAvailable(), 0);
    EXPECT_TRUE(WaitFor([&] { return peer->state() == QAbstractSocket::UnconnectedState; }));
    EXPECT_TRUE(exceptions.isEmpty());
}

TEST_F(ClientSocketTest, ConnectionRefusedReports10061) {
    const quint16 closedPort = server.serverPort();
    server.close();
    client->Open(u"127.0.0.1"_qs, closedPort);
    ASSERT_TRUE(WaitFor([&] { return log.contains(u"disconnect"_qs); }));
    EXPECT_EQ(log, QStringList({u"error:10061"_qs, u"disconnect"_qs}));
    EXPECT_TRUE(exceptions.isEmpty());

    // A handler that leaves the code: the socket raises its own error and closes.
    log.clear();
    client->OnError = [&](ClientSocket*, int& code) { Note(u"error:"_qs + QString::number(code)); };
    client->Open(u"127.0.0.1"_qs, closedPort);
    ASSERT_TRUE(WaitFor([&] { return log.contains(u"disconnect"_qs); }));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(log, QStringList({u"error:10061"_qs, u"disconnect"_qs}));
    ASSERT_EQ(exceptions.size(), 1);
    EXPECT_TRUE(exceptions[0].startsWith(u"Socket error 10061: ")) << exceptions[0].toStdString();
}

TEST_F(ClientSocketTest, UnknownHostReports11001) {
    client->Open(u"no-such-host.invalid"_qs, 7012);
    ASSERT_TRUE(WaitFor([&] { return log.contains(u"disconnect"_qs); }, 10000));
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
    EXPECT_EQ(log, QStringList({u"disconnect"_qs}));

    log.clear();
    Connect();
    client->Write(Frame("ab"));
    client->Write(Frame("cd"));
    ASSERT_TRUE(WaitFor([&] { return peer->bytesAvailable() == 6; }));
    EXPECT_EQ(peer->readAll(), Frame("ab") + Frame("cd"));
    peer->disconnectFromHost();
    ASSERT_TRUE(WaitFor([&] { return log.contains(u"disconnect"_qs); }));
    EXPECT_THROW(client->Write("late"), plat::EWriteError);
}

TEST_F(ClientSocketTest, HandlersMayDestroyTheSocket) {
    Connect();
    client->OnRead = [&](ClientSocket* s) {
        ReadOneFrame(s);
        s->deleteLater();
    };
    PeerSends(Frame("a") + Frame("b"));
    ASSERT_TRUE(WaitFor([&] { return client.isNull(); }));

    client = new ClientSocket;
    client->OnRead = [&](ClientSocket* s) {
        ReadOneFrame(s);
        delete s; // at once, with a frame still buffered
    };
    Connect();
    PeerSends(Frame("c") + Frame("d"));
    ASSERT_TRUE(WaitFor([&] { return client.isNull(); }));
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
    ASSERT_TRUE(WaitFor([&] { return !exceptions.isEmpty(); }));
    EXPECT_TRUE(client.isNull());
    EXPECT_EQ(log, QStringList({u"read:a"_qs, u"read:c"_qs, u"disconnect"_qs}));
}

TEST_F(ClientSocketTest, ConnectionSendsSmallPacketsWithoutDelay) {
    EXPECT_FALSE(client->LowDelay());
    Connect();
    EXPECT_TRUE(client->LowDelay());
}
