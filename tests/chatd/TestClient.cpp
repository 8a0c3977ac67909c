#include "TestClient.h"

#include "engine/VLCrypt.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QHostAddress>
#include <QTimer>

namespace chatd::test {

TestClient::TestClient(quint16 port) {
    QObject::connect(&socket_, &QTcpSocket::disconnected, [this] { closed_ = true; });
    socket_.connectToHost(QHostAddress::LocalHost, port);
    WaitUntil([this] { return socket_.state() == QAbstractSocket::ConnectedState || closed_; });
}

bool TestClient::Connected() const {
    return socket_.state() == QAbstractSocket::ConnectedState;
}

bool TestClient::WaitClosed(int timeoutMs) {
    return WaitUntil(
        [this] { return closed_ || socket_.state() == QAbstractSocket::UnconnectedState; },
        timeoutMs);
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

std::optional<Packet> TestClient::Next(int timeoutMs) {
    WaitUntil(
        [this] {
            pump();
            return !pending_.isEmpty() || closed_;
        },
        timeoutMs);
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
        ADD_FAILURE() << "the server did not start with a login seed";
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

Packets OfRow(const Packets& packets, uint8_t row) {
    Packets out;
    for (const Packet& p : packets) {
        if (p.Index() == row) {
            out.append(p);
        }
    }
    return out;
}

QList<int> Rows(const Packets& packets) {
    QList<int> rows;
    for (const Packet& p : packets) {
        rows.append(p.Index());
    }
    return rows;
}

QByteArray RawFrame(uint16_t type, const QByteArray& body) {
    QByteArray frame;
    frame.append(char(type >> 8)).append(char(type & 0xFF));
    frame.append(char((body.size() >> 8) & 0xFF)).append(char(body.size() & 0xFF));
    return frame + body;
}

QByteArray NoAttachment() {
    return QByteArray(1, '\0');
}

void ChatServerTest::SetUp() {
    QObject::connect(&server, &ChatServer::LogLine,
                     [this](const QString& line) { log.append(line); });
    Directory& accounts = server.Accounts();
    accounts.AddAccount("alice", "alicepw");
    accounts.AddAccount("bob", "bobpw");
    Character alpha;
    alpha.Id = 2001;
    alpha.Name = "Alpha";
    alpha.Level = 20;
    accounts.AddCharacter("alice", alpha);
    Character bravo;
    bravo.Id = 2002;
    bravo.Name = "Bravo";
    bravo.Level = 30;
    accounts.AddCharacter("alice", bravo);
    Character charlie;
    charlie.Id = 2003;
    charlie.Name = "Charlie";
    charlie.Level = 40;
    accounts.AddCharacter("bob", charlie);
    ASSERT_TRUE(server.Listen({0})) << server.ErrorString().toStdString();
    port = server.Ports().at(0);
    ASSERT_NE(port, 0);
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

bool ChatServerTest::LogHas(const QString& text) const {
    return std::any_of(log.begin(), log.end(), [&](const QString& l) { return l.contains(text); });
}

} // namespace chatd::test
