#include "chatd/ChatServer.h"

#include "chatd/ChatSession.h"
#include "chatd/LoginVerifier.h"
#include "platform/core/Cp1252.h"
#include "platform/core/Format.h"
#include "platform/core/Guarded.h"

#include <QHostAddress>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>

#include <algorithm>

namespace chatd {

namespace {

QByteArray NewSeed() {
    return QByteArray::number(QRandomGenerator::system()->generate64(), 16).rightJustified(16, '0');
}

} // namespace

ChatServer::ChatServer(QObject* parent)
    : QObject(parent), secret_(TBigInt::CreateHex(kLoginSecretHex)) {}

ChatServer::~ChatServer() {
    // Sessions die with the server; they must not call back into it.
    for (ChatSession* session : std::as_const(sessions_)) {
        session->OnClosed = nullptr;
        session->OnPacket = nullptr;
    }
}

bool ChatServer::Listen(const QList<quint16>& ports) {
    error_.clear();
    for (const quint16 port : ports) {
        auto* listener = new QTcpServer(this);
        if (!listener->listen(QHostAddress::LocalHost, port)) {
            error_ = plat::Format("port %d: %s", int{port}, listener->errorString());
            delete listener;
            for (QTcpServer* open : std::as_const(listeners_)) {
                delete open;
            }
            listeners_.clear();
            return false;
        }
        plat::ConnectGuarded(listener, &QTcpServer::newConnection, this,
                             [this, listener] { Accept(listener); });
        listeners_.append(listener);
    }
    return true;
}

QList<quint16> ChatServer::Ports() const {
    QList<quint16> ports;
    for (const QTcpServer* listener : listeners_) {
        ports.append(listener->serverPort());
    }
    return ports;
}

void ChatServer::Close() {
    for (QTcpServer* listener : std::as_const(listeners_)) {
        delete listener;
    }
    listeners_.clear();
    for (ChatSession* session : QList<ChatSession*>(sessions_)) {
        session->Close(QStringLiteral("the service stops"));
    }
}

QStringList ChatServer::OnlineCharacters() const {
    QStringList names;
    for (auto it = online_.begin(); it != online_.end(); ++it) {
        names.append(NameOf(it.key()));
    }
    names.sort(Qt::CaseInsensitive);
    return names;
}

bool ChatServer::IsOnline(const QString& character) const {
    const Character* c = directory_.FindCharacterByName(character);
    return c && online_.contains(c->Id);
}

QStringList ChatServer::PrivateGroupMembers(const QString& owner) const {
    QStringList names;
    const Character* c = directory_.FindCharacterByName(owner);
    if (!c) {
        return names;
    }
    const auto it = privateGroups_.find(c->Id);
    if (it != privateGroups_.end()) {
        for (const int32_t member : it->second.Members) {
            names.append(NameOf(member));
        }
    }
    return names;
}

bool ChatServer::SendFrame(const QString& character, const QByteArray& frame) {
    ChatSession* session = SessionNamed(character);
    if (!session) {
        return false;
    }
    session->Send(frame);
    return true;
}

bool ChatServer::SendSystemMessage(const QString& character, const QString& text) {
    ChatSession* session = SessionNamed(character);
    if (!session) {
        return false;
    }
    Notice(session, text);
    return true;
}

bool ChatServer::DisconnectCharacter(const QString& character) {
    ChatSession* session = SessionNamed(character);
    if (!session) {
        return false;
    }
    session->Close(QStringLiteral("disconnected by the service"));
    return true;
}

ChatSession* ChatServer::SessionNamed(const QString& character) const {
    const Character* c = directory_.FindCharacterByName(character);
    return c ? SessionOf(c->Id) : nullptr;
}

void ChatServer::Log(const QString& line) {
    Q_EMIT LogLine(line);
}

// ---- sessions ------------------------------------------------------------

void ChatServer::Accept(QTcpServer* listener) {
    while (QTcpSocket* socket = listener->nextPendingConnection()) {
        Adopt(socket);
    }
}

void ChatServer::Adopt(QTcpSocket* socket) {
    auto* session = new ChatSession(socket, this);
    session->OnPacket = [this](ChatSession* s, const ClientPacket& p) { OnPacket(s, p); };
    session->OnClosed = [this](ChatSession* s, const QString& reason) { OnClosed(s, reason); };
    sessions_.append(session);
    Log(plat::Format("connect %s on port %d", session->Peer(), int{session->LocalPort()}));
    session->Seed = NewSeed();
    session->Send(spLoginSeed, {TPacketArg::Text(session->Seed)});
}

void ChatServer::OnClosed(ChatSession* session, const QString& reason) {
    sessions_.removeAll(session);
    const Character* character = directory_.FindCharacter(session->CharacterId);
    if (character && SessionOf(character->Id) == session) {
        online_.remove(character->Id);
        Log(plat::Format("disconnect %s %s: %s", character->Name, session->Peer(), reason));
        GoOffline(*character);
    } else {
        Log(plat::Format("disconnect %s: %s", session->Peer(), reason));
    }
}

void ChatServer::GoOffline(const Character& character) {
    LeaveAllPrivateGroups(character.Id);
    BuddyStatusChanged(character, false);
}

void ChatServer::OnPacket(ChatSession* session, const ClientPacket& packet) {
    switch (packet.Row) {
    case cpLoginResponseGetCharList:
        Login(session, packet);
        return;
    case cpLoginSelectCharacter:
        SelectCharacter(session, packet);
        return;
    default:
        break;
    }
    Character* self = directory_.FindCharacter(session->CharacterId);
    if (!self) {
        // The character was taken out of the directory while logged in.
        session->Close(QStringLiteral("the character no longer exists"));
        return;
    }
    switch (packet.Row) {
    case cpNameLookup:
        NameLookup(session, *self, packet);
        break;
    case cpMessagePrivate:
        Tell(session, *self, packet);
        break;
    case cpFriendAdd:
        FriendAdd(session, *self, packet);
        break;
    case cpFriendRemove:
        FriendRemove(session, *self, packet);
        break;
    case cpPrivategroupInvite:
        PrivateGroupInvite(session, *self, packet);
        break;
    case cpPrivategroupKick:
        PrivateGroupKick(*self, packet);
        break;
    case cpPrivategroupJoin:
        PrivateGroupJoin(session, *self, packet);
        break;
    case cpPrivategroupPart:
        PrivateGroupPart(*self, packet);
        break;
    case cpPrivategroupKickall:
        PrivateGroupKickAll(*self);
        break;
    case cpPrivategroupMessage:
        PrivateGroupMessage(session, *self, packet);
        break;
    case cpGroupDataSet:
        GroupDataSet(session, *self, packet);
        break;
    case cpGroupMessage:
        GroupMessage(session, *self, packet);
        break;
    case cpPing:
        session->Send(spPong, {packet.Args[0]});
        break;
    default:
        // Rows outside the logged-in set never get here (the session checks).
        session->Close(plat::Format("Packet type %s not handled", packet.Name()));
        break;
    }
}

// ---- login ---------------------------------------------------------------

void ChatServer::LoginError(ChatSession* session, const QString& text, const QString& logLine) {
    Log(logLine);
    session->Send(spLoginResultError, {TPacketArg::Text(plat::ToCp1252(text))});
    session->Close(text);
}

void ChatServer::Login(ChatSession* session, const ClientPacket& packet) {
    const QByteArray userBytes = packet.Args[1].AsText();
    const QString user = plat::FromCp1252(userBytes);
    const Account* account = directory_.FindAccount(user);
    if (!account) {
        LoginError(session, QStringLiteral("Unknown user name"),
                   plat::Format("login failed %s user %s: unknown user", session->Peer(), user));
        return;
    }
    const auto password =
        RecoverLoginPassword(packet.Args[2].AsText(), userBytes, session->Seed, secret_);
    if (!password) {
        LoginError(
            session, QStringLiteral("Invalid login key"),
            plat::Format("login failed %s user %s: invalid login key", session->Peer(), user));
        return;
    }
    if (*password != plat::ToCp1252(account->Password)) {
        LoginError(session, QStringLiteral("Wrong password"),
                   plat::Format("login failed %s user %s: wrong password", session->Peer(), user));
        return;
    }
    session->User = account->User;
    session->SetState(SessionState::AwaitingSelect);
    QList<int32_t> ids;
    QList<QByteArray> names;
    QList<int32_t> levels;
    QList<int32_t> onlineFlags;
    for (const int32_t id : account->Characters) {
        const Character* c = directory_.FindCharacter(id);
        ids.append(id);
        names.append(c->WireName());
        levels.append(c->Level);
        onlineFlags.append(online_.contains(id) ? 1 : 0);
        session->MarkKnown(id);
    }
    Log(plat::Format("login ok %s user %s", session->Peer(), account->User));
    session->Send(spLoginCharacterList,
                  {TPacketArg::IntList(ids), TPacketArg::TextList(names),
                   TPacketArg::IntList(levels), TPacketArg::IntList(onlineFlags)});
}

void ChatServer::SelectCharacter(ChatSession* session, const ClientPacket& packet) {
    const int32_t id = packet.Args[0].AsInt();
    const Account* account = directory_.FindAccount(session->User);
    Character* character = directory_.FindCharacter(id);
    if (!account || !character || !account->Characters.contains(id)) {
        LoginError(session, QStringLiteral("Unknown character"),
                   plat::Format("select failed %s user %s: no character %d on this account",
                                session->Peer(), session->User, id));
        return;
    }
    if (ChatSession* previous = SessionOf(id)) {
        previous->Close(
            plat::Format("%s logged in again from %s", character->Name, session->Peer()));
    }
    session->CharacterId = id;
    session->SetState(SessionState::LoggedIn);
    online_.insert(id, session);
    Log(plat::Format("select %s (%s) %s", character->Name, session->User, session->Peer()));
    session->Send(spLoginResultOK, {});

    for (const Buddy& buddy : std::as_const(character->Buddies)) {
        if (const Character* b = directory_.FindCharacter(buddy.Id)) {
            Announce(session, *b);
            session->Send(spFriendAdded,
                          {TPacketArg::Int(b->Id), TPacketArg::Int(online_.contains(b->Id) ? 1 : 0),
                           TPacketArg::Data(QByteArray(1, buddy.Permanent ? '\1' : '\0'))});
        }
    }
    for (const PublicGroup& group : directory_.Groups()) {
        SendGroupJoin(session, group, character->FlagsOf(group.Id));
    }
    BuddyStatusChanged(*character, true);
}

// ---- helpers -------------------------------------------------------------

QList<ChatSession*> ChatServer::OnlineSessions() const {
    QList<ChatSession*> list = online_.values();
    std::sort(list.begin(), list.end(), [](const ChatSession* a, const ChatSession* b) {
        return a->CharacterId < b->CharacterId;
    });
    return list;
}

void ChatServer::Announce(ChatSession* session, const Character& character) {
    if (!session->Knows(character.Id)) {
        session->Send(spClientName,
                      {TPacketArg::Int(character.Id), TPacketArg::Text(character.WireName())});
        session->MarkKnown(character.Id);
    }
}

void ChatServer::Announce(ChatSession* session, int32_t id) {
    if (const Character* c = directory_.FindCharacter(id)) {
        Announce(session, *c);
    }
}

void ChatServer::SendGroupJoin(ChatSession* session, const PublicGroup& group, int32_t flags) {
    session->Send(spGroupJoin,
                  {TPacketArg::Group(group.Id), TPacketArg::Text(plat::ToCp1252(group.Name)),
                   TPacketArg::Int(flags), TPacketArg::Data({})});
    session->MarkGroupKnown(group.Id);
}

void ChatServer::Notice(ChatSession* session, const QString& text) {
    session->Send(spMessageSystem, {TPacketArg::Text(plat::ToCp1252(text))});
}

QString ChatServer::NameOf(int32_t id) const {
    const Character* c = directory_.FindCharacter(id);
    return c ? c->Name : plat::Format("#%d", id);
}

} // namespace chatd
