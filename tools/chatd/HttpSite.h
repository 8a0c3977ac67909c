#pragma once

// The game web site's biography documents, served over plain HTTP on
// 127.0.0.1 for the client's whois lookup:
//   GET /character/bio/d/{1|2}/name/{name}/bio.xml
// The name is percent-decoded and matched without regard to case. Unknown
// characters and every other path answer 404. A request must arrive whole
// within the size and time limits; anything else that is not a well-formed
// GET answers 400 (or 405 for another method) and the connection closes.
// HttpRequestReader makes the answer out of what a connection sent; the site
// keeps the listener, the connections and their time limit.

#include "chatd/HttpRequestReader.h"

#include <QObject>
#include <QString>

class QTcpServer;
class QTcpSocket;

namespace chatd {

class HttpSite : public QObject {
    Q_OBJECT
public:
    // Serves the characters of the directory, which must outlive the site.
    explicit HttpSite(const Directory& directory, QObject* parent = nullptr);
    ~HttpSite() override;

    // Listens on 127.0.0.1; 0 picks a free port. False with ErrorString() on failure.
    bool Listen(quint16 port);
    quint16 Port() const;
    QString ErrorString() const { return error_; }
    // The site address for the client: "http://127.0.0.1:{port}".
    QString Address() const;
    void Close();

    // Limits for one request (its request line and headers).
    void SetRequestTimeoutMs(int ms) { timeoutMs_ = ms; }
    int RequestTimeoutMs() const { return timeoutMs_; }
    static constexpr qsizetype kMaxRequestBytes = HttpRequestReader::kMaxRequestBytes;
    static constexpr int kMaxConnections = 64;

Q_SIGNALS:
    void LogLine(const QString& line);

private:
    void Accept();
    void ReadRequest(QTcpSocket* socket);
    void Respond(QTcpSocket* socket, const HttpResponse& response);

    HttpRequestReader reader_;
    QTcpServer* listener_ = nullptr;
    QString error_;
    int timeoutMs_ = 10000;
    int open_ = 0;
};

} // namespace chatd
