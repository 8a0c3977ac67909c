#include "chatd/HttpSite.h"

#include "chatd/Directory.h"
#include "platform/core/Format.h"
#include "platform/core/Guarded.h"

#include <QHostAddress>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>
#include <QXmlStreamWriter>

namespace chatd {

namespace {

// Set on a connection once its answer was written.
const char* const kAnsweredProperty = "chatd_answered";

// XML 1.0 has no place for most control characters; they are dropped.
QString xmlText(const QString& value) {
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c.isHighSurrogate() && i + 1 < value.size() && value[i + 1].isLowSurrogate()) {
            out.append(c).append(value[++i]);
        } else if (c.isSurrogate() ||
                   (c.unicode() < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') ||
                   c.unicode() == 0xFFFE || c.unicode() == 0xFFFF) {
            continue;
        } else {
            out.append(c);
        }
    }
    return out;
}

// Writes an element only when it has a value: the client reads a present
// element even when empty, and an empty first name would replace the name.
void element(QXmlStreamWriter& xml, const char* name, const QString& value) {
    if (!value.isEmpty()) {
        xml.writeTextElement(QLatin1String(name), xmlText(value));
    }
}

const char* reasonOf(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 400:
        return "Bad Request";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 408:
        return "Request Timeout";
    default:
        return "Error";
    }
}

} // namespace

HttpSite::HttpSite(const Directory& directory, QObject* parent)
    : QObject(parent), directory_(directory) {}

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
    plat::ConnectGuarded(listener_, &QTcpServer::newConnection, this, [this] { accept(); });
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

void HttpSite::accept() {
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
                respond(socket, 408, "text/plain", "Request Timeout\n");
                timer->start(timeoutMs_);
            }
        });
        timer->start(timeoutMs_);
        plat::ConnectGuarded(socket, &QTcpSocket::readyRead, socket,
                             [this, socket] { readRequest(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            --open_;
            socket->deleteLater();
        });
    }
}

void HttpSite::readRequest(QTcpSocket* socket) {
    if (socket->property(kAnsweredProperty).toBool()) {
        socket->readAll(); // answered; the rest of the request is ignored
        return;
    }
    const QByteArray buffered = socket->peek(kMaxRequestBytes + 1);
    qsizetype end = buffered.indexOf("\r\n\r\n");
    if (end < 0) {
        end = buffered.indexOf("\n\n");
    }
    if (end < 0) {
        if (buffered.size() > kMaxRequestBytes) {
            respond(socket, 400, "text/plain", "Request too large\n");
        }
        return; // wait for the rest
    }
    int status = 200;
    QByteArray contentType;
    const QByteArray body = answer(buffered.left(end), status, contentType);
    respond(socket, status, contentType, body);
}

QByteArray HttpSite::answer(const QByteArray& request, int& status, QByteArray& contentType) const {
    contentType = "text/plain";
    const qsizetype lineEnd = request.indexOf('\n');
    const QByteArray line = (lineEnd < 0 ? request : request.left(lineEnd)).trimmed();
    const QList<QByteArray> parts = line.split(' ');
    if (parts.size() != 3 || !parts[2].startsWith("HTTP/1.") || !parts[1].startsWith('/')) {
        status = 400;
        return "Bad Request\n";
    }
    if (parts[0] != "GET") {
        status = 405;
        return "Method Not Allowed\n";
    }
    QByteArray path = parts[1];
    const qsizetype query = path.indexOf('?');
    if (query >= 0) {
        path.truncate(query);
    }
    static const QRegularExpression bio(
        QStringLiteral("^/character/bio/d/([12])/name/([^/]+)/bio\\.xml$"));
    const QRegularExpressionMatch match = bio.match(QString::fromLatin1(path));
    if (match.hasMatch()) {
        const QString name = QUrl::fromPercentEncoding(match.captured(2).toLatin1());
        if (const Character* character = directory_.FindCharacterByName(name)) {
            status = 200;
            contentType = "text/xml; charset=utf-8";
            return BioDocument(*character);
        }
    }
    status = 404;
    return "Not Found\n";
}

void HttpSite::respond(QTcpSocket* socket, int status, const QByteArray& contentType,
                       const QByteArray& body) {
    if (socket->property(kAnsweredProperty).toBool()) {
        return;
    }
    socket->setProperty(kAnsweredProperty, true);
    // Whatever else the client sends is read and dropped: closing with
    // unread data would reset the connection before the answer is read.
    socket->setReadBufferSize(0);
    socket->readAll();
    QByteArray head = plat::Format("HTTP/1.1 %d %s\r\n", status, reasonOf(status)).toLatin1();
    head += "Content-Type: " + contentType + "\r\n";
    head += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    head += "Connection: close\r\n\r\n";
    socket->write(head + body);
    Q_EMIT LogLine(plat::Format("http %s:%d %d", socket->peerAddress().toString(),
                                int{socket->peerPort()}, status));
    socket->disconnectFromHost();
}

QByteArray HttpSite::BioDocument(const Character& character) {
    const Biography& bio = character.Bio;
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("character"));
    if (!bio.FirstName.isEmpty() || !bio.Nick.isEmpty() || !bio.LastName.isEmpty()) {
        xml.writeStartElement(QStringLiteral("name"));
        element(xml, "firstname", bio.FirstName);
        element(xml, "nick", bio.Nick);
        element(xml, "lastname", bio.LastName);
        xml.writeEndElement();
    }
    xml.writeStartElement(QStringLiteral("basic_stats"));
    xml.writeTextElement(QStringLiteral("level"), QString::number(character.Level));
    element(xml, "breed", bio.Breed);
    element(xml, "gender", bio.Gender);
    element(xml, "faction", bio.Faction);
    element(xml, "profession", bio.Profession);
    element(xml, "profession_title", bio.ProfessionTitle);
    xml.writeEndElement();
    element(xml, "pictureurl", bio.PictureUrl);
    if (!bio.OrganizationId.isEmpty() || !bio.OrganizationName.isEmpty()) {
        xml.writeStartElement(QStringLiteral("organization_membership"));
        element(xml, "organization_id", bio.OrganizationId);
        element(xml, "organization_name", bio.OrganizationName);
        element(xml, "rank", bio.Rank);
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return out;
}

} // namespace chatd
