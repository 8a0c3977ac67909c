#include "platform/core/ClientSocket.h"

#include "platform/core/Exception.h"
#include "platform/core/Format.h"
#include "platform/core/Guarded.h"

#include <QMetaObject>
#include <QPointer>

namespace plat {

namespace {

int WinSockCode(QAbstractSocket::SocketError error) {
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return 10061;
    case QAbstractSocket::HostNotFoundError:
        return 11001;
    case QAbstractSocket::SocketTimeoutError:
        return 10060;
    case QAbstractSocket::NetworkError:
        return 10050;
    case QAbstractSocket::SocketAccessError:
        return 10013;
    case QAbstractSocket::SocketResourceError:
        return 10055;
    default:
        return 10022;
    }
}

} // namespace

ClientSocket::ClientSocket(QObject* parent) : QObject(parent) {}

ClientSocket::~ClientSocket() {
    if (socket_) {
        socket_->disconnect(this);
        socket_->abort();
        if (arrivalDepth_ > 0) {
            // Destroyed by a handler of bytes that the connection is still
            // reporting: the connection goes once its report has returned.
            socket_->setParent(nullptr);
            socket_->deleteLater();
        }
    }
}

void ClientSocket::Open(const QString& host, uint16_t port) {
    if (socket_) {
        throw ESocketError(QStringLiteral("Socket is already open"));
    }
    Release();
    socket_ = new QTcpSocket(this);
    // Unlike readyRead, this is reported again to a handler that waits in a
    // nested event loop, so bytes that arrive meanwhile are seen.
    ConnectGuarded(socket_, &QIODevice::channelReadyRead, this, [this] { Arrived(); });
    ConnectGuarded(socket_, &QAbstractSocket::stateChanged, this,
                   [this](QAbstractSocket::SocketState state) { SocketStateChanged(state); });
    ConnectGuarded(socket_, &QAbstractSocket::errorOccurred, this,
                   [this](QAbstractSocket::SocketError error) { SocketError(error); });
    socket_->connectToHost(host, port);
}

void ClientSocket::Close() {
    if (!socket_) {
        return;
    }
    Release();
    Guarded([&] {
        const auto handler = OnDisconnect;
        if (handler) {
            handler(this);
        }
    });
}

bool ClientSocket::Connected() const {
    return socket_ && socket_->state() == QAbstractSocket::ConnectedState;
}

void ClientSocket::Write(QByteArrayView bytes) {
    if (!Connected()) {
        throw EWriteError(QStringLiteral("Socket is not connected"));
    }
    // The socket keeps what it cannot send at once and sends it in order.
    if (socket_->write(bytes.data(), bytes.size()) != bytes.size()) {
        throw EWriteError(Format("Socket write failed: %s", socket_->errorString()));
    }
}

bool ClientSocket::LowDelay() const {
    return Connected() && socket_->socketOption(QAbstractSocket::LowDelayOption).toInt() != 0;
}

QByteArrayView ClientSocket::Peek() const {
    return buffer_.Peek();
}

qsizetype ClientSocket::Consume(qsizetype count) {
    const qsizetype taken = buffer_.Consume(count);
    if (taken > 0) {
        PostRead();
    }
    return taken;
}

void ClientSocket::Fail(int errorCode, const QString& text) {
    if (!socket_) {
        return;
    }
    const QPointer<ClientSocket> self(this);
    const uint64_t session = session_;
    DeliverError(session, errorCode, text);
    if (self && session == session_) {
        Close();
    }
}

// Bytes reported by the connection: the read notification they bring is
// raised at once, inside this report, which is a notification of its own,
// rather than posted for a further turn of the event loop. Only later
// notifications, for bytes a handler left, are posted.
void ClientSocket::Arrived() {
    if (!TakeArrived() || readPosted_) {
        return;
    }
    const QPointer<ClientSocket> self(this);
    ++arrivalDepth_;
    DeliverRead(session_);
    if (self) {
        --arrivalDepth_;
    }
}

bool ClientSocket::TakeArrived() {
    const qsizetype before = buffer_.Size();
    buffer_.AppendFrom(*socket_);
    return buffer_.Size() != before;
}

// Forgets the connection: no socket, no unread bytes, no pending notification.
void ClientSocket::Release() {
    if (socket_) {
        socket_->disconnect(this);
        socket_->abort();
        socket_->deleteLater();
        socket_ = nullptr;
    }
    buffer_.Clear();
    ++session_;
    wasConnected_ = false;
    peerClosed_ = false;
    readPosted_ = false;
    disconnectPosted_ = false;
}

void ClientSocket::PostRead() {
    if (readPosted_ || BytesAvailable() == 0) {
        return;
    }
    readPosted_ = true;
    QMetaObject::invokeMethod(
        this, [this, session = session_] { DeliverRead(session); }, Qt::QueuedConnection);
}

// The disconnect after a close by the peer waits for the read notifications.
void ClientSocket::PostDisconnect() {
    if (!peerClosed_ || readPosted_ || disconnectPosted_) {
        return;
    }
    disconnectPosted_ = true;
    QMetaObject::invokeMethod(
        this, [this, session = session_] { DeliverDisconnect(session); }, Qt::QueuedConnection);
}

void ClientSocket::DeliverRead(uint64_t session) {
    Guarded([&] {
        if (session != session_) {
            return;
        }
        readPosted_ = false;
        const QPointer<ClientSocket> self(this);
        const auto handler = OnRead;
        if (handler) {
            Guarded([&] { handler(this); });
        }
        if (self && session == session_) {
            PostDisconnect();
        }
    });
}

void ClientSocket::DeliverDisconnect(uint64_t session) {
    Guarded([&] {
        if (session != session_) {
            return;
        }
        disconnectPosted_ = false;
        if (readPosted_) {
            return; // the read notification posts the disconnect again
        }
        Close();
    });
}

void ClientSocket::DeliverError(uint64_t session, int code, const QString& text) {
    Guarded([&] {
        if (session != session_) {
            return;
        }
        const QPointer<ClientSocket> self(this);
        int errorCode = code;
        const auto handler = OnError;
        if (handler) {
            Guarded([&] { handler(this, errorCode); });
        }
        if (errorCode == 0) {
            return;
        }
        HandleException(ESocketError(Format("Socket error %d: %s", errorCode, text)));
        if (self && session == session_) {
            Close();
        }
    });
}

void ClientSocket::PeerClosed() {
    if (peerClosed_) {
        return;
    }
    peerClosed_ = true;
    if (TakeArrived()) { // whatever arrived with the close
        PostRead();
    }
    PostDisconnect();
}

void ClientSocket::SocketStateChanged(QAbstractSocket::SocketState state) {
    if (state == QAbstractSocket::ConnectedState) {
        wasConnected_ = true;
        // Chat packets are small and each one is meant to leave at once:
        // without this a packet written while the previous one waits for
        // its acknowledgement is held back for tens of milliseconds.
        socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    } else if (state == QAbstractSocket::UnconnectedState && wasConnected_) {
        PeerClosed();
    }
}

void ClientSocket::SocketError(QAbstractSocket::SocketError error) {
    if (error == QAbstractSocket::RemoteHostClosedError) {
        return; // an orderly close by the peer: the disconnect follows
    }
    QMetaObject::invokeMethod(
        this,
        [this, session = session_, code = WinSockCode(error), text = socket_->errorString()] {
            DeliverError(session, code, text);
        },
        Qt::QueuedConnection);
}

} // namespace plat
