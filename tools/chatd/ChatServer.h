#pragma once

// The local chat service: the server side of the chat protocol on
// 127.0.0.1, for the client and for tests that start it in-process.
//
// A session goes: "Login Seed" -> the client's login key -> "Login
// CharacterList" (or "Login Result Error") -> the client's character
// selection -> "Login Result OK" (or "Login Result Error"). After OK the
// client gets its buddies ("Friend Added") and the public groups ("Group
// Join"). Every character id is announced with "Client Name" before a
// packet carries it, every public group with "Group Join" before its first
// message. A packet that is malformed or not allowed in the session's state
// closes that session.

#include "chatd/Directory.h"
#include "chatd/ServerCodec.h"
#include "engine/BigInt.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <map>

class QTcpServer;
class QTcpSocket;

namespace chatd {

class ChatSession;

class ChatServer : public QObject {
    Q_OBJECT
public:
    explicit ChatServer(QObject* parent = nullptr);
    ~ChatServer() override;

    // Accounts, characters and public groups. Lookups see changes at once;
    // a new character list or group set applies from the next login.
    Directory& Accounts() { return directory_; }
    const Directory& Accounts() const { return directory_; }

    // Listens on 127.0.0.1 on every port given; 0 picks a free port. On
    // failure nothing stays open and ErrorString() says which port failed.
    bool Listen(const QList<quint16>& ports);
    // The ports listened on, in the order given (free ports resolved).
    QList<quint16> Ports() const;
    QString ErrorString() const { return error_; }
    // Stops listening and closes every session.
    void Close();

    // Serves a client on a socket that is already connected, as the
    // listeners do with every connection they accept; the server takes the
    // socket over. Lets a harness talk to the service without a port.
    void Adopt(QTcpSocket* socket);

    // Open connections, logged in or not.
    int SessionCount() const { return static_cast<int>(sessions_.size()); }
    QStringList OnlineCharacters() const;
    bool IsOnline(const QString& character) const;
    // The characters that joined a private group (named by its owner).
    QStringList PrivateGroupMembers(const QString& owner) const;

    // Writes a frame as it stands to the session of a logged-in character
    // (tests use it to send what the service itself never sends). False
    // when the character is not online.
    bool SendFrame(const QString& character, const QByteArray& frame);
    // A "Message System" to a logged-in character.
    bool SendSystemMessage(const QString& character, const QString& text);
    // Closes the session of a logged-in character.
    bool DisconnectCharacter(const QString& character);

Q_SIGNALS:
    // One line per event: connections, logins, selections, messages,
    // private-group changes, closed sessions.
    void LogLine(const QString& line);

private:
    struct PrivateGroup {
        QList<int32_t> Members; // joined, in joining order; the owner is not one
        QSet<int32_t> Invited;  // invited and not yet joined
    };
    enum class PartKind { Kicked, Left, Disconnected };

    void Accept(QTcpServer* listener);
    void OnPacket(ChatSession* session, const ClientPacket& packet);
    void OnClosed(ChatSession* session, const QString& reason);
    void Log(const QString& line);

    // Login (ChatServer.cpp).
    void Login(ChatSession* session, const ClientPacket& packet);
    void SelectCharacter(ChatSession* session, const ClientPacket& packet);
    void LoginError(ChatSession* session, const QString& text, const QString& logLine);
    void GoOffline(const Character& character);

    // Logged in (ChatHandlers.cpp).
    void NameLookup(ChatSession* session, Character& self, const ClientPacket& packet);
    void Tell(ChatSession* session, Character& self, const ClientPacket& packet);
    void GroupMessage(ChatSession* session, Character& self, const ClientPacket& packet);
    void GroupDataSet(ChatSession* session, Character& self, const ClientPacket& packet);
    void FriendAdd(ChatSession* session, Character& self, const ClientPacket& packet);
    void FriendRemove(ChatSession* session, Character& self, const ClientPacket& packet);
    void BuddyStatusChanged(const Character& who, bool online);

    // Private groups (PrivateGroups.cpp).
    void PrivateGroupInvite(ChatSession* session, Character& self, const ClientPacket& packet);
    void PrivateGroupJoin(ChatSession* session, Character& self, const ClientPacket& packet);
    void PrivateGroupKick(Character& self, const ClientPacket& packet);
    void PrivateGroupKickAll(Character& self);
    void PrivateGroupPart(Character& self, const ClientPacket& packet);
    void PrivateGroupMessage(ChatSession* session, Character& self, const ClientPacket& packet);
    void RemoveMember(int32_t owner, int32_t member, PartKind kind);
    void LeaveAllPrivateGroups(int32_t character);

    // Helpers.
    ChatSession* SessionOf(int32_t character) const { return online_.value(character); }
    // The session of the character of that name; null when it is not online.
    ChatSession* SessionNamed(const QString& character) const;
    QList<ChatSession*> OnlineSessions() const;
    void Announce(ChatSession* session, const Character& character);
    void Announce(ChatSession* session, int32_t id);
    void SendGroupJoin(ChatSession* session, const PublicGroup& group, int32_t flags);
    void Notice(ChatSession* session, const QString& text);
    QString NameOf(int32_t id) const;

    Directory directory_;
    TBigInt secret_;
    QList<QTcpServer*> listeners_;
    QList<ChatSession*> sessions_;
    QHash<int32_t, ChatSession*> online_;
    std::map<int32_t, PrivateGroup> privateGroups_; // by owner id
    QString error_;
};

} // namespace chatd
