#include "TestClient.h"

#include "engine/VLCrypt.h"

#include <QHostAddress>

namespace chatd::test {

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

TPacketArgs Message(int32_t id, const QByteArray& text) {
    return {A::Int(id), A::Text(text), A::Data(QByteArray(1, '\0'))};
}

TPacketArgs Message(const TGroupId& group, const QByteArray& text) {
    return {A::Group(group), A::Text(text), A::Data(QByteArray(1, '\0'))};
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

void TestClient::Pump() {
    received_.Append(socket_.readAll());
    while (auto packet = reader_.TakePacket(received_)) {
        pending_.append(std::move(*packet));
    }
}

std::optional<Packet> TestClient::Next() {
    WaitUntil(
        [this] {
            Pump();
            return !pending_.isEmpty() || closed_;
        },
        kWaitMs);
    Pump();
    return pending_.isEmpty() ? std::nullopt : std::optional(pending_.takeFirst());
}

Packets TestClient::Sync() {
    const QByteArray marker = "sync" + QByteArray::number(++pings_);
    Send(cpPing, {A::Data(marker)});
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
    Send(cpLoginResponseGetCharList,
         {A::Int(0), A::Text(user), A::Text(MakeLoginKey(user, password, Seed))});
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
    Send(cpLoginSelectCharacter, {A::Int(list->Args(0).AsIntList()[at])});
    const auto result = Next();
    if (!result || result->Index() != spLoginResultOK) {
        return false;
    }
    AfterLogin = Said();
    return true;
}

void ChatServerTest::SetUp() {
    QObject::connect(&server, &ChatServer::LogLine, [this](const QString& line) { log << line; });
    Directory& accounts = server.Accounts();
    accounts.AddAccount("alice", "alicepw");
    accounts.AddAccount("bob", "bobpw");
    for (const auto& [user, id, name, level] : {std::tuple{"alice", 2001, "Alpha", 20},
                                                {"alice", 2002, "Bravo", 30},
                                                {"bob", 2003, "Charlie", 40}}) {
        Character c;
        c.Id = id;
        c.Name = name;
        c.Level = level;
        accounts.AddCharacter(user, c);
    }
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
