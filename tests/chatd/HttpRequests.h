#pragma once
// Requests to the web site as a client sends them, piece by piece, with the
// answer each must get; and a client that sends them over loopback.

#include "WaitUntil.h"

#include "chatd/HttpRequestReader.h"

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <ostream>

namespace chatd::test {

struct HttpRequestRow {
    const char* Name;
    // Written one after the other; the head is whole only with the last.
    QList<QByteArray> Pieces;
    int Status;
    // The answer's body holds this (the whole body for text answers).
    QByteArray BodyHolds;

    friend void PrintTo(const HttpRequestRow& row, std::ostream* out) { *out << row.Name; }
};

inline QByteArray BioRequest(const QByteArray& name, const QByteArray& tail = " HTTP/1.1") {
    return "GET /character/bio/d/1/name/" + name + "/bio.xml" + tail;
}

// A request line and headers of exactly `size` bytes up to its blank line.
inline QByteArray PaddedHead(qsizetype size) {
    const QByteArray line = "GET /x HTTP/1.1\r\nX-Pad: ";
    return line + QByteArray(size - line.size(), 'p');
}

inline QList<HttpRequestRow> HttpRequestRows() {
    const QByteArray dana = "<firstname>Dana</firstname>";
    const QByteArray tess = "<firstname>Tess</firstname>";
    const QByteArray notFound = "Not Found\n";
    const QByteArray bad = "Bad Request\n";
    const qsizetype max = HttpRequestReader::kMaxRequestBytes;
    return {
        {"whole", {BioRequest("Demochar") + "\r\nHost: a\r\n\r\n"}, 200, dana},
        {"split in the request line and the blank line",
         {"GE", BioRequest("Demochar").mid(2, 20), BioRequest("Demochar").mid(22) + "\r\n\r", "\n"},
         200,
         dana},
        {"bare line feeds", {BioRequest("testCHAR", " HTTP/1.0") + "\nHost: a\n", "\n"}, 200, tess},
        {"a bare blank line before a full one",
         {"GET /x HTTP/1.1\r\nA: b\n\n" + BioRequest("Demochar") + "\r\n\r\n"},
         404,
         notFound},
        {"a second request on the connection",
         {BioRequest("Nobody") + "\r\n\r\n" + BioRequest("Demochar") + "\r\n\r\n"},
         404,
         notFound},
        {"percent-encoded name", {BioRequest("%44emo%63har"), "\r\n\r\n"}, 200, dana},
        {"encoded slash in the name", {BioRequest("Demo%2Fchar") + "\r\n\r\n"}, 404, notFound},
        {"broken escape", {BioRequest("Demo%zzchar") + "\r\n\r\n"}, 404, notFound},
        {"query", {BioRequest("Demochar", "?a=/b%20 HTTP/1.1") + "\r\n\r\n"}, 200, dana},
        {"fragment", {BioRequest("Demochar", "#top HTTP/1.1") + "\r\n\r\n"}, 404, notFound},
        {"dimension 2",
         {"GET /character/bio/d/2/name/Demochar/bio.xml HTTP/1.1\r\n\r\n"},
         200,
         dana},
        {"dimension 3",
         {"GET /character/bio/d/3/name/Demochar/bio.xml HTTP/1.1\r\n\r\n"},
         404,
         notFound},
        {"lower-case method",
         {"get" + BioRequest("Demochar").mid(3) + "\r\n\r\n"},
         405,
         "Method Not Allowed\n"},
        {"HEAD",
         {"HEAD /character/bio/d/1/name/Demochar/bio.xml HTTP/1.1\r\n\r\n"},
         405,
         "Method Not Allowed\n"},
        {"HTTP/2", {BioRequest("Demochar", " HTTP/2") + "\r\n\r\n"}, 400, bad},
        {"two blanks",
         {"GET  /character/bio/d/1/name/Demochar/bio.xml HTTP/1.1\r\n\r\n"},
         400,
         bad},
        {"tabs", {"GET\t/character/bio/d/1/name/Demochar/bio.xml\tHTTP/1.1\r\n\r\n"}, 400, bad},
        {"blank line first", {"\r\n" + BioRequest("Demochar") + "\r\n\r\n"}, 400, bad},
        {"no line at all", {"\r\n\r\n"}, 400, bad},
        {"head of the largest size", {PaddedHead(max - 4), "\r\n\r\n"}, 404, notFound},
        {"blank line ending on the last byte looked at",
         {PaddedHead(max - 3) + "\r\n\r", "\n"},
         404,
         notFound},
        {"bare blank line ending on the last byte looked at",
         {PaddedHead(max - 1) + "\n", "\n"},
         404,
         notFound},
        {"head one byte too large",
         {PaddedHead(max - 2) + "\r\n", "\r\n"},
         400,
         "Request too large\n"},
        {"no blank line past the limit",
         {PaddedHead(max / 2), PaddedHead(max / 2 + 1)},
         400,
         "Request too large\n"},
    };
}

// Writes the pieces one by one, each once the last has left, and reads until
// the site closes: the status and the whole answer.
inline std::pair<int, QByteArray> HttpExchange(quint16 port, const QList<QByteArray>& pieces) {
    QTcpSocket socket;
    QByteArray received;
    bool closed = false;
    QObject::connect(&socket, &QTcpSocket::readyRead, [&] { received += socket.readAll(); });
    QObject::connect(&socket, &QTcpSocket::disconnected, [&] { closed = true; });
    socket.connectToHost(QHostAddress::LocalHost, port);
    EXPECT_TRUE(WaitUntil([&] { return socket.state() == QAbstractSocket::ConnectedState; }));
    for (const QByteArray& piece : pieces) {
        socket.write(piece);
        EXPECT_TRUE(WaitUntil([&] { return closed || socket.bytesToWrite() == 0; }));
    }
    EXPECT_TRUE(WaitUntil([&] { return closed; })) << pieces.value(0).left(60).constData();
    const QList<QByteArray> status = received.left(received.indexOf("\r\n")).split(' ');
    return {status.size() > 1 ? status[1].toInt() : 0, received};
}

} // namespace chatd::test
