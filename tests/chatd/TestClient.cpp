#include "TestClient.h"

#include "engine/VLCrypt.h"

#include <QHostAddress>

namespace chatd::test {

namespace {

QString ShowArg(const TPacketArg& arg) {
    QStringList numbers;
    switch (arg.Kind()) {
    case TArgKind::Int:
        return QString::number(arg.AsInt());
    case TArgKind::Text:
        return QString::fromLatin1(arg.AsText());
    case TArgKind::Group:
        return "g" + QByteArrayView(arg.AsGroup()).toByteArray().toHex();
    case TArgKind::Data:
        return "[" + arg.AsData().toHex() + "]";
    case TArgKind::IntList:
        for (const int32_t n : arg.AsIntList()) {
            numbers << QString::number(n);
        }
        return numbers.join(u',');
    case TArgKind::TextList:
        return QString::fromLatin1(QByteArrayList(arg.AsTextList()).join(','));
    }
    return {};
}

} // namespace

QString Show(const Packet& packet) {
    QStringList parts{QString::fromLatin1(packet.Info().Name)};
    for (qsizetype i = 0; i < packet.ArgCount(); ++i) {
        parts << ShowArg(packet.Args(i));
    }
    return parts.join(u' ');
}

QStringList Show(const Packets& packets) {
    QStringList lines;
    for (const Packet& p : packets) {
        lines << Show(p);
    }
    return lines;
}

QStringList Show(const std::optional<Packet>& packet) {
    return packet ? QStringList{Show(*packet)} : QStringList{};
}

QByteArray RawFrame(uint16_t type, const QByteArray& body) {
    QByteArray frame;
    frame.append(char(type >> 8)).append(char(type & 0xFF));
    frame.append(char((body.size() >> 8) & 0xFF)).append(char(body.size() & 0xFF));
    return frame + body;
}

TPacketArgs Message(int32_t id, const QByteArray& text) {
    return {TPacketArg::Int(id), TPacketArg::Text(text), TPacketArg::Data(QByteArray(1, '\0'))};
}

TPacketArgs Message(const TGroupId& group, const QByteArray& text) {
    return {TPacketArg::Group(group), TPacketArg::Text(text),
            TPacketArg::Data(QByteArray(1, '\0'))};
}

TestClient::TestClient(quint16 port) {
    QObject::connect(&socket_, &QTcpSocket::disconnected, [this] { closed_ = true; });
    socket_.connectToHost(QHostAddress::LocalHost, port);
    WaitUntil([this] { return Connected() || closed_; });
}

bool TestClient::WaitClosed() {
    return WaitUntil(
        [this] { return closed_ || socket_.state() == QAbstractSocket::UnconnectedState; },
        kWaitMs);
}

void TestClient::Send(uint8_t clientRow, const TPacketArgs& args) {
    SendRaw(TVLChatOutgoingPacket(clientRow, args).Frame());
}

void TestClient::SendRaw(const QByteArray& bytes) {
    socket_.write(bytes);
    socket_.flush();
}

void TestClient::pump() {
    if (socket_.bytesAvailable() > 0) {
        received_.Append(socket_.readAll());
    }
    while (auto packet = reader_.TakePacket(received_)) {
        pending_.append(std::move(*packet));
    }
}

std::optional<Packet> TestClient::Next() {
    WaitUntil(
        [this] {
            pump();
            return !pending_.isEmpty() || closed_;
        },
        kWaitMs);
    pump();
    if (pending_.isEmpty()) {
        return std::nullopt;
    }
    return pending_.takeFirst();
}

Packets TestClient::Sync() {
    const QByteArray marker = "sync" + QByteArray::number(++pings_);
    Send(cpPing, {TPacketArg::Data(marker)});
    Packets before;
    while (auto packet = Next()) {
        if (packet->Index() == spPong && packet->Args(0).AsData() == marker) {
            return before;
        }
        before.append(std::move(*packet));
    }
    ADD_FAILURE() << "no answer to the sync ping";
    return before;
}

std::optional<Packet> TestClient::RequestCharacters(const QByteArray& user,
                                                    const QByteArray& password) {
    auto seed = Next();
    if (!seed || seed->Index() != spLoginSeed) {
        ADD_FAILURE() << "the service did not start with a login seed";
        return std::nullopt;
    }
    Seed = seed->Args(0).AsText();
    Send(cpLoginResponseGetCharList, {TPacketArg::Int(0), TPacketArg::Text(user),
                                      TPacketArg::Text(MakeLoginKey(user, password, Seed))});
    return Next();
}

bool TestClient::Login(const QByteArray& user, const QByteArray& password,
                       const QByteArray& character) {
    const auto list = RequestCharacters(user, password);
    if (!list || list->Index() != spLoginCharacterList) {
        return false;
    }
    const qsizetype at = list->Args(1).AsTextList().indexOf(character);
    if (at < 0) {
        return false;
    }
    Send(cpLoginSelectCharacter, {TPacketArg::Int(list->Args(0).AsIntList()[at])});
    const auto result = Next();
    if (!result || result->Index() != spLoginResultOK) {
        return false;
    }
    AfterLogin = Sync();
    return true;
}

void ChatServerTest::SetUp() {
    QObject::connect(&server, &ChatServer::LogLine,
                     [this](const QString& line) { log.append(line); });
    Directory& accounts = server.Accounts();
    accounts.AddAccount("alice", "alicepw");
    accounts.AddAccount("bob", "bobpw");
    const auto add = [&](const char* user, int32_t id, const char* name, int32_t level) {
        Character c;
        c.Id = id;
        c.Name = name;
        c.Level = level;
        accounts.AddCharacter(user, c);
    };
    add("alice", 2001, "Alpha", 20);
    add("alice", 2002, "Bravo", 30);
    add("bob", 2003, "Charlie", 40);
    ASSERT_TRUE(server.Listen({0})) << server.ErrorString().toStdString();
    port = server.Ports().at(0);
}

std::unique_ptr<TestClient> ChatServerTest::Connect() {
    auto client = std::make_unique<TestClient>(port);
    EXPECT_TRUE(client->Connected());
    return client;
}

std::unique_ptr<TestClient> ChatServerTest::LoginAs(const QByteArray& user,
                                                    const QByteArray& password,
                                                    const QByteArray& character) {
    auto client = Connect();
    EXPECT_TRUE(client->Login(user, password, character)) << "login as " << character.constData();
    return client;
}

void ChatServerTest::LogOut(std::unique_ptr<TestClient>& client, const QString& character) {
    client.reset();
    EXPECT_TRUE(WaitUntil([&] { return !server.IsOnline(character); }));
}

bool ChatServerTest::LogHas(const QString& text) const {
    return std::any_of(log.begin(), log.end(), [&](const QString& l) { return l.contains(text); });
}

} // namespace chatd::test
