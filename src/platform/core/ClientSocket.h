#pragma once

#include "platform/core/ByteQueue.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>
#include <QString>
#include <QTcpSocket>

#include <cstdint>
#include <functional>

namespace plat {

// Asynchronous TCP client socket with posted notifications.
//
// Open resolves the host and connects in the background. Everything the
// socket reports reaches its owner through the callbacks below, each run
// from a posted (queued) call on the socket's thread and through
// plat::Guarded, so an exception thrown by a handler goes to the
// application's exception handler. Posted calls also run inside nested event
// loops, so a handler that waits in a local event loop keeps receiving.
//
// Receiving. Arriving bytes go into the socket's receive buffer, which the
// owner reads as a ByteSource. A read notification (OnRead) is raised when
// bytes arrive (from the connection's own report of them, also inside a
// handler's nested event loop), and posted whenever the owner takes bytes
// with Consume and unread bytes remain, at most one being pending at a time;
// bytes arriving while one is pending wait for it. The owner takes
// one unit (one frame) per notification: it looks at Peek(), and when a whole
// frame is there it handles it straight from the buffer and takes exactly
// that frame with Consume; an incomplete frame is left in place and the next
// arrival brings a new notification. A handler that takes nothing gets no
// further notification until more bytes arrive.
//
// Disconnect. OnDisconnect is raised exactly once per Open that it follows:
// - by Close, before Close returns, whenever a socket exists (resolving,
//   connecting, connected, or closed by the peer with the notification still
//   to come);
// - after the peer closed the connection: first every read notification due
//   for bytes that arrived before the close (so each whole frame can be taken
//   before the disconnect), then the disconnect. An incomplete tail is
//   dropped. A close by the peer is not an error.
// Pending notifications of a closed connection are dropped; after the
// disconnect notification the buffer is empty and Open may be called again.
//
// Errors. OnError receives a Windows Sockets error number (connection refused
// 10061, host not found 11001, timed out 10060, network down 10050, access
// denied 10013, out of resources 10055, anything else 10022) in a modifiable
// code. A handler that leaves it nonzero makes the socket raise ESocketError
// "Socket error %d: %s" to the application's exception handler and Close
// (raising the disconnect notification once). A handler that clears it takes
// the matter over; a failed connection then waits for Close. An error that
// ends an established connection is followed by the disconnect notification.
//
// Fail ends a connection the way a failed socket does, for a failure its owner
// detects (a peer that stops answering): OnError with the code given, then
// the close.
//
// A handler may destroy the socket (preferably with deleteLater()); nothing
// of the socket is touched after a handler that destroyed it. The destructor
// raises no notification.
class ClientSocket : public QObject, public ByteSource {
public:
    explicit ClientSocket(QObject* parent = nullptr);
    ~ClientSocket() override;
    ClientSocket(const ClientSocket&) = delete;
    ClientSocket& operator=(const ClientSocket&) = delete;

    // Starts the name lookup and the connection. Raises ESocketError "Socket
    // is already open" while a socket exists (Close first).
    void Open(const QString& host, uint16_t port);

    // Closes the connection, drops unread bytes and pending notifications and
    // raises OnDisconnect when a socket existed. Nothing otherwise.
    void Close();

    // True between the completed connection and its close.
    bool Connected() const;

    // True while connected with small writes sent at once (no coalescing
    // while an earlier write waits for its acknowledgement).
    bool LowDelay() const;

    // Hands the bytes to the connection as one unit, in order after those
    // handed over before. Raises EWriteError "Socket is not connected" when
    // not connected, and "Socket write failed: %s" when the bytes are not
    // taken; nothing is sent then.
    void Write(QByteArrayView bytes);

    // Reports errorCode to OnError as an error of the socket would be
    // (a handler that leaves it nonzero makes the socket raise ESocketError
    // "Socket error %d: %s" with the text given), then closes, raising the
    // disconnect notification once, unless a handler closed already. Nothing
    // when no socket exists.
    void Fail(int errorCode, const QString& text);

    // Unread bytes of the receive buffer.
    qsizetype BytesAvailable() const { return buffer_.Size(); }
    // A view of the unread bytes. Valid until the next Consume, Open or
    // Close, or until control returns to an event loop.
    QByteArrayView Peek() const override;
    // Takes up to count unread bytes (fewer when fewer are buffered).
    qsizetype Consume(qsizetype count) override;

    std::function<void(ClientSocket* sender)> OnRead;
    std::function<void(ClientSocket* sender)> OnDisconnect;
    std::function<void(ClientSocket* sender, int& errorCode)> OnError;

private:
    void Arrived();
    // Moves what the connection has ready into the receive buffer; whether
    // any bytes came.
    bool TakeArrived();
    void Release();
    void PeerClosed();
    void PostRead();
    void PostDisconnect();
    void DeliverRead(uint64_t session);
    void DeliverDisconnect(uint64_t session);
    void DeliverError(uint64_t session, int code, const QString& text);
    void SocketStateChanged(QAbstractSocket::SocketState state);
    void SocketError(QAbstractSocket::SocketError error);

    QTcpSocket* socket_ = nullptr; // from Open until the disconnect notification
    ByteQueue buffer_;             // unread bytes
    uint64_t session_ = 0;         // changes at every Open and close; stale posts are dropped
    bool wasConnected_ = false;
    bool peerClosed_ = false; // the disconnect notification is due
    bool readPosted_ = false;
    bool disconnectPosted_ = false;
    int arrivalDepth_ = 0; // read notifications raised inside the connection's report
};

} // namespace plat
