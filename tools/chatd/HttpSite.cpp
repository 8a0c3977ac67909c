#include "chatd/HttpSite.h"

#include "platform/core/Format.h"
#include "platform/core/Guarded.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace chatd {

namespace {

// Set on a connection once its answer was written.
const char* const kAnsweredProperty = "chatd_answered";

} // namespace

HttpSite::HttpSite(const Directory& directory, QObject* parent)
    : QObject(parent), reader_(directory) {}

HttpSite::~HttpSite() = default;

bool HttpSite::Listen(quint16 port) {
    Close();
    listener_ = new QTcpServer(this);
    if (!listener_->listen(QHostAddress::LocalHost, port)) {
        error_ = plat::Format("port %d: %s", int{port}, listener_->errorString());
        delete listener_;
        listener_ = nullptr;
        return false;
    }
    plat::ConnectGuarded(listener_, &QTcpServer::newConnection, this, [this] { Accept(); });
    return true;
}

quint16 HttpSite::Port() const {
    return listener_ ? listener_->serverPort() : 0;
}

QString HttpSite::Address() const {
    return plat::Format("http://127.0.0.1:%d", int{Port()});
}

void HttpSite::Close() {
    delete listener_;
    listener_ = nullptr;
}

void HttpSite::Accept() {
    while (QTcpSocket* socket = listener_->nextPendingConnection()) {
        socket->setParent(this);
        if (open_ >= kMaxConnections) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        ++open_;
        socket->setReadBufferSize(kMaxRequestBytes + 1);
        auto* timer = new QTimer(socket);
        timer->setSingleShot(true);
        // A request that does not arrive in time gets 408; an answer the
        // client does not take in time is dropped with the connection.
        plat::ConnectGuarded(timer, &QTimer::timeout, socket, [this, socket, timer] {
            if (socket->property(kAnsweredProperty).toBool()) {
                socket->abort();
            } else {
                Respond(socket, {408, "text/plain", "Request Timeout\n"});
                timer->start(timeoutMs_);
            }
        });
        timer->start(timeoutMs_);
        plat::ConnectGuarded(socket, &QTcpSocket::readyRead, socket,
                             [this, socket] { ReadRequest(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            --open_;
            socket->deleteLater();
        });
    }
}

void HttpSite::ReadRequest(QTcpSocket* socket) {
    if (socket->property(kAnsweredProperty).toBool()) {
        socket->readAll(); // answered; the rest of the request is ignored
        return;
    }
    if (const std::optional<HttpResponse> response =
            reader_.Read(socket->peek(kMaxRequestBytes + 1))) {
        Respond(socket, *response);
    }
}

void HttpSite::Respond(QTcpSocket* socket, const HttpResponse& response) {
    if (socket->property(kAnsweredProperty).toBool()) {
        return;
    }
    socket->setProperty(kAnsweredProperty, true);
    // Whatever else the client sends is read and dropped: closing with
    // unread data would reset the connection before the answer is read.
    socket->setReadBufferSize(0);
    socket->readAll();
    socket->write(response.Bytes());
    Q_EMIT LogLine(plat::Format("http %s:%d %d", socket->peerAddress().toString(),
                                int{socket->peerPort()}, response.Status));
    socket->disconnectFromHost();
}

} // namespace chatd
