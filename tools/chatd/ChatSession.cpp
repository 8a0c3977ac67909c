#include "chatd/ChatSession.h"

#include "platform/core/Exception.h"
#include "platform/core/Format.h"
#include "platform/core/Guarded.h"

#include <QTcpSocket>
#include <QTimer>

namespace chatd {

namespace {

constexpr qsizetype kHeaderSize = 4;
// Enough for several whole frames; the socket stops reading from the
// network while this much waits unread.
constexpr qint64 kReadBufferSize = 64 * 1024;

// What the client may send in each state (bit i = client-table row i).
constexpr uint32_t kAwaitingLoginRows = 1u << cpLoginResponseGetCharList;
constexpr uint32_t kAwaitingSelectRows = 1u << cpLoginSelectCharacter;
constexpr uint32_t kLoggedInRows = 0x00047FBCu;

uint16_t U16At(const QByteArray& bytes, qsizetype offset) {
    return static_cast<uint16_t>((uint8_t(bytes[offset]) << 8) | uint8_t(bytes[offset + 1]));
}

} // namespace

bool ClientMaySend(SessionState state, uint8_t clientRow) {
    uint32_t rows = 0;
    switch (state) {
    case SessionState::AwaitingLogin:
        rows = kAwaitingLoginRows;
        break;
    case SessionState::AwaitingSelect:
        rows = kAwaitingSelectRows;
        break;
    case SessionState::LoggedIn:
        rows = kLoggedInRows;
        break;
    case SessionState::Closed:
        break;
    }
    return clientRow < 32 && (rows & (1u << clientRow)) != 0;
}

ChatSession::ChatSession(QTcpSocket* socket, QObject* parent)
    : QObject(parent), socket_(socket), closeTimer_(new QTimer(this)) {
    socket_->setParent(this);
    socket_->setReadBufferSize(kReadBufferSize);
    peer_ = plat::Format("%s:%d", socket_->peerAddress().toString(), int{socket_->peerPort()});
    localPort_ = socket_->localPort();
    closeTimer_->setSingleShot(true);
    connect(closeTimer_, &QTimer::timeout, this, [this] { socket_->abort(); });
    plat::ConnectGuarded(socket_, &QTcpSocket::readyRead, this, [this] { ReadFrames(); });
    plat::ConnectGuarded(socket_, &QTcpSocket::disconnected, this,
                         [this] { Close(QStringLiteral("closed by the client")); });
    // Whatever closing did, the session goes with its connection.
    connect(socket_, &QTcpSocket::disconnected, this, [this] {
        closeTimer_->stop();
        deleteLater();
    });
    plat::ConnectGuarded(socket_, &QTcpSocket::errorOccurred, this,
                         [this](QAbstractSocket::SocketError error) {
                             if (error != QAbstractSocket::RemoteHostClosedError) {
                                 Close(socket_->errorString());
                             }
                         });
}

ChatSession::~ChatSession() {
    // The socket is a child and is destroyed after this: its last signals
    // must not reach a half-destroyed session.
    socket_->disconnect(this);
}

QString SessionStateName(SessionState state) {
    switch (state) {
    case SessionState::AwaitingLogin:
        return QStringLiteral("Awaiting Login");
    case SessionState::AwaitingSelect:
        return QStringLiteral("Awaiting Character Selection");
    case SessionState::LoggedIn:
        return QStringLiteral("Logged In");
    case SessionState::Closed:
        break;
    }
    return QStringLiteral("Closed");
}

void ChatSession::Send(const QByteArray& frame) {
    if (state_ == SessionState::Closed) {
        return;
    }
    socket_->write(frame);
}

void ChatSession::Send(TVLServerPacket row, const TPacketArgs& args) {
    Send(ServerFrame(row, args));
}

void ChatSession::Close(const QString& reason) {
    if (state_ == SessionState::Closed) {
        return;
    }
    state_ = SessionState::Closed;
    if (OnClosed) {
        OnClosed(this, reason);
    }
    if (socket_->state() == QAbstractSocket::UnconnectedState) {
        deleteLater();
        return;
    }
    closeTimer_->start(kCloseTimeoutMs);
    // Delivers what is still buffered, then closes; the disconnected signal
    // (possibly from inside this call) deletes the session.
    socket_->disconnectFromHost();
}

void ChatSession::ReadFrames() {
    while (state_ != SessionState::Closed && TakeFrame()) {
    }
}

bool ChatSession::TakeFrame() {
    if (socket_->bytesAvailable() < kHeaderSize) {
        return false;
    }
    const QByteArray header = socket_->peek(kHeaderSize);
    const uint16_t type = U16At(header, 0);
    const qsizetype length = U16At(header, 2);
    if (length > kMaxIncomingBody) {
        Close(plat::Format("Packet too large: %d bytes", int64_t{length}));
        return false;
    }
    if (socket_->bytesAvailable() < kHeaderSize + length) {
        return false; // the rest of the frame has not arrived yet
    }
    socket_->skip(kHeaderSize);
    const QByteArray body = socket_->read(length);
    try {
        const ClientPacket packet = ParseClientPacket(type, body);
        if (!packet.Known()) {
            Close(plat::Format("Unknown packet type %d", int{type}));
            return false;
        }
        if (!ClientMaySend(state_, packet.Row)) {
            Close(plat::Format("Packet type %s not allowed in state %s", packet.Name(),
                               SessionStateName(state_)));
            return false;
        }
        if (OnPacket) {
            OnPacket(this, packet);
        }
    } catch (const std::exception& e) {
        Close(plat::Format("Bad packet of type %d: %s", int{type}, QString::fromUtf8(e.what())));
        return false;
    }
    return true;
}

} // namespace chatd
