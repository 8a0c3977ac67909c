#pragma once

// One client connection of the chat service: frame reading with the
// client's limits, the session's login state and the ids the client has
// been told about.

#include "chatd/ServerCodec.h"

#include <QByteArray>
#include <QObject>
#include <QSet>
#include <QString>

#include <cstdint>
#include <functional>
#include <set>

class QTcpSocket;
class QTimer;

namespace chatd {

enum class SessionState {
    AwaitingLogin,  // "Login Seed" sent; the client answers with its login key
    AwaitingSelect, // character list sent; the client selects a character
    LoggedIn,
    Closed,
};

QString SessionStateName(SessionState state);

// True when a client-table row may arrive in the state (the same sets the
// client uses for sending).
bool ClientMaySend(SessionState state, uint8_t clientRow);

class ChatSession : public QObject {
    Q_OBJECT
public:
    // Takes over the connected socket.
    ChatSession(QTcpSocket* socket, QObject* parent = nullptr);
    ~ChatSession() override;

    SessionState State() const { return state_; }
    void SetState(SessionState state) { state_ = state; }
    // "address:port" of the client.
    QString Peer() const { return peer_; }
    quint16 LocalPort() const { return localPort_; }

    // Login data: the seed sent, the account's user name once the key was
    // accepted, the character once selected (0 before).
    QByteArray Seed;
    QString User;
    int32_t CharacterId = 0;

    // Writes a frame; ignored once the session is closed.
    void Send(const QByteArray& frame);
    void Send(TVLServerPacket row, const TPacketArgs& args);

    // Ids the client has a name for ("Login CharacterList", "Client Name",
    // "Lookup Result") and groups it has had a "Group Join" for.
    bool Knows(int32_t id) const { return knownIds_.contains(id); }
    void MarkKnown(int32_t id) { knownIds_.insert(id); }
    bool KnowsGroup(const TGroupId& id) const { return knownGroups_.count(id) != 0; }
    void MarkGroupKnown(const TGroupId& id) { knownGroups_.insert(id); }

    // Ends the session: reading stops at once, what was already sent is
    // still delivered, then the connection closes. OnClosed fires once, from
    // inside this call, with the reason. Further calls do nothing.
    void Close(const QString& reason);

    // A complete packet that the state allows. An exception raised here
    // closes the session with its message.
    std::function<void(ChatSession*, const ClientPacket&)> OnPacket;
    std::function<void(ChatSession*, const QString& reason)> OnClosed;

    // How long a closing connection may take to deliver what was sent.
    static constexpr int kCloseTimeoutMs = 5000;

private:
    void ReadFrames();
    bool TakeFrame();

    QTcpSocket* socket_;
    QTimer* closeTimer_;
    QString peer_;
    quint16 localPort_ = 0;
    SessionState state_ = SessionState::AwaitingLogin;
    QSet<int32_t> knownIds_;
    std::set<TGroupId> knownGroups_;
};

} // namespace chatd
