// The chat engine as the user feels it: how many messages a running engine
// receives, decodes and dispatches per second over loopback, what it keeps in
// memory per known character name, and how long a whole login takes on
// loopback against a server that verifies the login key for real.

#include "chatd/ChatServer.h"
#include "chatd/LoginVerifier.h"
#include "engine/BigInt.h"
#include "engine/VLChat.h"
#include "engine/VLChatTestSeam.h"
#include "platform/core/ByteQueue.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <malloc.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace {

void PutU16(QByteArray& out, qsizetype v) {
    out.append(static_cast<char>((v >> 8) & 0xFF)).append(static_cast<char>(v & 0xFF));
}

void PutI32(QByteArray& out, int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.append(static_cast<char>((u >> shift) & 0xFF));
    }
}

void PutBytes(QByteArray& out, const QByteArray& b) {
    PutU16(out, b.size());
    out.append(b);
}

QByteArray Frame(int type, const QByteArray& body) {
    QByteArray f;
    PutU16(f, type);
    PutU16(f, body.size());
    return f + body;
}

const QByteArray kGroup("\x03\x00\x00\x01\x2A", 5);
constexpr int32_t kFirstSender = 100000;
constexpr int kSenders = 100;

// A busy session's traffic: tells, group and private-group messages with
// 20-200 byte texts, a few of them with attachments.
QByteArray MessageTraffic(int count) {
    uint32_t rng = 12345;
    const auto next = [&rng] {
        rng = rng * 1664525u + 1013904223u;
        return rng >> 8;
    };
    QByteArray out;
    for (int i = 0; i < count; ++i) {
        const int32_t sender = kFirstSender + static_cast<int32_t>(next() % kSenders);
        const QByteArray text(20 + static_cast<int>(next() % 181), 'a' + char(next() % 26));
        QByteArray body;
        switch (next() % 3) {
        case 0: // a tell, sometimes with an item
            PutI32(body, sender);
            PutBytes(body, text);
            PutBytes(body, next() % 8 == 0 ? QByteArray(18, '\x01') : QByteArray(1, '\0'));
            out += Frame(30, body);
            break;
        case 1: // a group message, sometimes with a text reference
            body = kGroup;
            PutI32(body, sender);
            PutBytes(body, text);
            PutBytes(body, next() % 8 == 0
                               ? QByteArray::fromHex("000000C350000000070000000000000003616263")
                               : QByteArray(1, '\0'));
            out += Frame(65, body);
            break;
        default: // a private-group message
            PutI32(body, kFirstSender);
            PutI32(body, sender);
            PutBytes(body, text);
            PutBytes(body, QByteArray(1, '\0'));
            out += Frame(57, body);
        }
    }
    return out;
}

// A chat server on loopback that logs clients in with the real key check
// and then sends whatever it is given.
class LoginServer {
public:
    LoginServer() {
        QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] { Accept(); });
        server_.listen(QHostAddress::LocalHost, 0);
    }
    uint16_t Port() const { return server_.serverPort(); }
    void Send(const QByteArray& bytes) {
        if (client_) {
            client_->write(bytes);
        }
    }
    // Sent right after "Login Result OK".
    QByteArray afterLogin;

private:
    void Accept() {
        while (QTcpSocket* next = server_.nextPendingConnection()) {
            if (client_) {
                client_->deleteLater();
            }
            client_ = next;
            pending_.clear();
            seed_ = QByteArray::number(++connections_ * 7919 + 1000003);
            QObject::connect(next, &QTcpSocket::readyRead, next, [this] { Receive(); });
            QByteArray body;
            PutBytes(body, seed_);
            next->write(Frame(0, body));
        }
    }

    void Receive() {
        pending_ += client_->readAll();
        while (pending_.size() >= 4) {
            const auto* p = reinterpret_cast<const uint8_t*>(pending_.constData());
            const int type = (p[0] << 8) | p[1];
            const qsizetype length = (p[2] << 8) | p[3];
            if (pending_.size() < 4 + length) {
                return;
            }
            const QByteArray body = pending_.mid(4, length);
            pending_.remove(0, 4 + length);
            Handle(type, body);
        }
    }

    static QByteArray Text(const QByteArray& body, qsizetype& at) {
        const auto* p = reinterpret_cast<const uint8_t*>(body.constData() + at);
        const qsizetype n = (p[0] << 8) | p[1];
        QByteArray t = body.mid(at + 2, n);
        at += 2 + n;
        return t;
    }

    void Handle(int type, const QByteArray& body) {
        if (type == 2) { // login response: 0, user, key
            qsizetype at = 4;
            const QByteArray user = Text(body, at);
            const QByteArray key = Text(body, at);
            static const TBigInt secret = TBigInt::CreateHex(QStringView(chatd::kLoginSecretHex));
            if (chatd::RecoverLoginPassword(key, user, seed_, secret) != QByteArray("pw")) {
                QByteArray error;
                PutBytes(error, "Bad password");
                client_->write(Frame(6, error));
                return;
            }
            QByteArray list;
            PutU16(list, 1);
            PutI32(list, kFirstSender);
            PutU16(list, 1);
            PutBytes(list, "Alice");
            PutU16(list, 1);
            PutI32(list, 10);
            PutU16(list, 1);
            PutI32(list, 1);
            client_->write(Frame(7, list));
        } else if (type == 3) { // character chosen
            client_->write(Frame(5, {}) + afterLogin);
        }
    }

    QTcpServer server_;
    QPointer<QTcpSocket> client_;
    QByteArray pending_;
    QByteArray seed_;
    int connections_ = 0;
};

// Runs the event loop until done() holds (checked whenever quit() is asked).
class Waiter {
public:
    void Wait(const std::function<bool()>& done) {
        while (!done()) {
            loop_.exec();
        }
    }
    void Wake() { loop_.quit(); }

private:
    QEventLoop loop_;
};

struct Session {
    Session(uint16_t port, const QByteArray& user, const QByteArray& password,
            const QByteArray& character) {
        auto dimension = std::make_shared<TDimensionInfo>();
        dimension->SetHost("127.0.0.1");
        dimension->SetPort(port);
        chat.SetDimension(dimension);
        chat.SetUserName(user);
        chat.SetPassword(password);
        chat.OnConnect = [character](TVLChat* sender) { sender->SelectCharacter(character); };
        chat.OnLogin = [this](TVLChat*) { waiter.Wake(); };
        chat.OnDisconnect = [this](TVLChat*) { waiter.Wake(); };
        chat.OnGroupListChange = [this](TVLChat*) { waiter.Wake(); };
    }
    void LogIn() {
        chat.Connect();
        waiter.Wait([this] { return chat.State() == csLoggedIn; });
    }
    void Disconnect() {
        chat.Disconnect();
        waiter.Wait([this] { return chat.State() == csDisconnected; });
    }
    TVLChat chat;
    Waiter waiter;
};

void BM_Engine_IncomingThroughput(benchmark::State& state) {
    constexpr int kBatch = 2000;
    LoginServer server;
    // Every sender and the group are known before the traffic starts.
    for (int i = 0; i < kSenders; ++i) {
        QByteArray body;
        PutI32(body, kFirstSender + i);
        PutBytes(body, "Sender" + QByteArray::number(i));
        server.afterLogin += Frame(20, body);
    }
    QByteArray join = kGroup;
    PutBytes(join, "General");
    PutI32(join, 0);
    PutBytes(join, {});
    server.afterLogin += Frame(60, join);

    Session session(server.Port(), "bench", "pw", "Alice");
    int64_t received = 0;
    int64_t target = 0;
    qsizetype checksum = 0;
    const auto count = [&](const QByteArray& text, const TBlob* blob) {
        checksum += text.size() + (blob != nullptr);
        if (++received == target) {
            session.waiter.Wake();
        }
    };
    session.chat.OnPrivateMessage = [&](TVLChat*, const QByteArray&, const QByteArray& m,
                                        const TBlob* b) { count(m, b); };
    session.chat.OnGroupMessage = [&](TVLChat*, int, const QByteArray&, const QByteArray& m,
                                      const TBlob* b) { count(m, b); };
    session.chat.OnPrivateGroupMessage = [&](TVLChat*, const QByteArray&, const QByteArray&,
                                             const QByteArray& m, const TBlob* b) { count(m, b); };
    session.LogIn();
    session.waiter.Wait([&] { return session.chat.GroupList().Count() == 1; });

    const QByteArray traffic = MessageTraffic(kBatch);
    for (auto _ : state) {
        target = received + kBatch;
        server.Send(traffic);
        session.waiter.Wait([&] { return received >= target; });
    }
    benchmark::DoNotOptimize(checksum);
    state.SetItemsProcessed(received);
    state.SetBytesProcessed(state.iterations() * traffic.size());
    session.Disconnect();
}
BENCHMARK(BM_Engine_IncomingThroughput)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Engine_NameMemory(benchmark::State& state) {
    constexpr int kNames = 10000;
    // The names arrive as "Client Name" packets through the engine's read path.
    QByteArray traffic;
    for (int i = 0; i < kNames; ++i) {
        QByteArray body;
        PutI32(body, kFirstSender + i);
        PutBytes(body, "Character" + QByteArray::number(i));
        traffic += Frame(20, body);
    }
    double bytesPerName = 0;
    for (auto _ : state) {
        TVLChat chat;
        TVLChatTestSeam::SetState(chat, csLoggedIn);
        plat::ByteQueue received;
        received.Append(traffic);
        const size_t before = mallinfo2().uordblks;
        while (chat.ReadNotification(received)) {
        }
        const size_t after = mallinfo2().uordblks;
        bytesPerName = static_cast<double>(after - before) / kNames;
        benchmark::DoNotOptimize(chat.NameList().Count());
    }
    state.counters["bytes_per_name"] = bytesPerName;
    state.SetItemsProcessed(state.iterations() * kNames);
}
BENCHMARK(BM_Engine_NameMemory)->Unit(benchmark::kMillisecond);

// Tells from one engine relayed by the local chat service to another: the
// sender's writes, the service and the receiving engine together.
void BM_Engine_IncomingThroughputService(benchmark::State& state) {
    constexpr int kBatch = 2000;
    chatd::ChatServer service;
    service.Accounts().AddAccount("eve", "secret");
    chatd::Character evelyn;
    evelyn.Id = 3001;
    evelyn.Name = "Evelyn";
    service.Accounts().AddCharacter("eve", evelyn);
    service.Listen({0});
    Session sender(service.Ports().at(0), "demo", "demo", "Demochar");
    Session receiver(service.Ports().at(0), "eve", "secret", "Evelyn");
    sender.chat.SetFloodProtection(false);
    int64_t received = 0;
    int64_t target = 0;
    receiver.chat.OnPrivateMessage = [&](TVLChat*, const QByteArray&, const QByteArray&,
                                         const TBlob*) {
        if (++received == target) {
            receiver.waiter.Wake();
        }
    };
    sender.LogIn();
    receiver.LogIn();

    std::vector<QByteArray> texts;
    uint32_t rng = 777;
    for (int i = 0; i < kBatch; ++i) {
        rng = rng * 1664525u + 1013904223u;
        texts.emplace_back(20 + static_cast<int>((rng >> 8) % 181), 'a' + char(i % 26));
    }
    for (auto _ : state) {
        target = received + kBatch;
        for (const QByteArray& text : texts) {
            sender.chat.SendPrivateMessage("Evelyn", text);
        }
        receiver.waiter.Wait([&] { return received >= target; });
    }
    state.SetItemsProcessed(received);
    receiver.Disconnect();
    sender.Disconnect();
}
BENCHMARK(BM_Engine_IncomingThroughputService)->Unit(benchmark::kMillisecond)->UseRealTime();

// --- lookups at scale ---------------------------------------------------------
// A session that knows n character names (and, for the buddy benchmarks, has
// every one of them as a buddy), fed through the engine's read path without a
// connection. The cost per message and per buddy change must not grow with n.

constexpr int kSweepBatch = 2000;

QByteArray SweepName(int i) {
    return "Character" + QByteArray::number(i);
}

QByteArray ClientNameFrame(int i) {
    QByteArray body;
    PutI32(body, kFirstSender + i);
    PutBytes(body, SweepName(i));
    return Frame(20, body);
}

QByteArray FriendAddedFrame(int i, bool online) {
    QByteArray body;
    PutI32(body, kFirstSender + i);
    PutI32(body, online ? 1 : 0);
    PutBytes(body, QByteArray(1, '\x01'));
    return Frame(40, body);
}

// Senders drawn over the whole list, so that a scan would cost n/2 on average.
std::vector<int> SweepPicks(int n) {
    std::vector<int> picks;
    uint32_t rng = 4242;
    for (int i = 0; i < kSweepBatch; ++i) {
        rng = rng * 1664525u + 1013904223u;
        picks.push_back(static_cast<int>((rng >> 8) % static_cast<uint32_t>(n)));
    }
    return picks;
}

// Hands frames to the engine one read notification each.
void Feed(TVLChat& chat, const std::vector<QByteArray>& frames) {
    plat::ByteQueue received;
    for (const QByteArray& frame : frames) {
        received.Append(frame);
        chat.ReadNotification(received);
    }
}

std::vector<QByteArray> NameFrames(int n) {
    std::vector<QByteArray> frames;
    frames.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        frames.push_back(ClientNameFrame(i));
    }
    return frames;
}

void SweepArgs(benchmark::internal::Benchmark* b) {
    for (const int n : {10, 100, 1000, 10000, 100000}) {
        b->Arg(n);
    }
}

// A private message from one of n known senders: the sender's name is looked up by id.
void BM_Engine_MessageLookupSweep(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    TVLChat chat;
    TVLChatTestSeam::SetState(chat, csLoggedIn);
    int64_t received = 0;
    chat.OnPrivateMessage = [&](TVLChat*, const QByteArray&, const QByteArray&, const TBlob*) {
        ++received;
    };
    Feed(chat, NameFrames(n));
    std::vector<QByteArray> traffic;
    for (const int pick : SweepPicks(n)) {
        QByteArray body;
        PutI32(body, kFirstSender + pick);
        PutBytes(body, "a message of about forty bytes of text..");
        PutBytes(body, QByteArray(1, '\0'));
        traffic.push_back(Frame(30, body));
    }
    for (auto _ : state) {
        Feed(chat, traffic);
    }
    if (received != state.iterations() * kSweepBatch) {
        state.SkipWithError("messages lost");
    }
    state.counters["per_message"] = benchmark::Counter(
        kSweepBatch, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_Engine_MessageLookupSweep)->Apply(SweepArgs)->Iterations(20);

// A status change of one of n buddies: the name by id, then the buddy by name.
void BM_Engine_BuddyStatusSweep(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    TVLChat chat;
    TVLChatTestSeam::SetState(chat, csLoggedIn);
    int64_t changes = 0;
    chat.OnFriendStatusChange = [&](TVLChat*, const TFriendInfo&) { ++changes; };
    Feed(chat, NameFrames(n));
    std::vector<QByteArray> buddies;
    buddies.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        buddies.push_back(FriendAddedFrame(i, false));
    }
    Feed(chat, buddies);
    std::vector<QByteArray> traffic;
    bool online = true;
    for (const int pick : SweepPicks(n)) {
        traffic.push_back(FriendAddedFrame(pick, online));
        online = !online;
    }
    for (auto _ : state) {
        Feed(chat, traffic);
    }
    if (changes != state.iterations() * kSweepBatch || chat.FriendList().Count() != n) {
        state.SkipWithError("changes lost");
    }
    state.counters["per_change"] = benchmark::Counter(
        kSweepBatch, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_Engine_BuddyStatusSweep)->Apply(SweepArgs)->Iterations(5);

// n buddies added one after the other, as after the login of a large account.
void BM_Engine_BuddyAddSweep(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    std::vector<QByteArray> buddies;
    buddies.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        buddies.push_back(FriendAddedFrame(i, true));
    }
    const std::vector<QByteArray> names = NameFrames(n);
    for (auto _ : state) {
        state.PauseTiming();
        auto chat = std::make_unique<TVLChat>();
        TVLChatTestSeam::SetState(*chat, csLoggedIn);
        Feed(*chat, names);
        state.ResumeTiming();
        Feed(*chat, buddies);
        state.PauseTiming();
        if (chat->FriendList().Count() != n) {
            state.SkipWithError("buddies lost");
        }
        chat.reset();
        state.ResumeTiming();
    }
    state.counters["per_add"] = benchmark::Counter(
        n, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_Engine_BuddyAddSweep)->Apply(SweepArgs)->Iterations(1)->Unit(benchmark::kMillisecond);

void LoginRoundTrip(benchmark::State& state, Session& session) {
    for (auto _ : state) {
        session.LogIn();
        state.PauseTiming();
        session.Disconnect();
        state.ResumeTiming();
    }
}

void BM_Engine_LoginRoundTrip(benchmark::State& state) {
    LoginServer server;
    Session session(server.Port(), "bench", "pw", "Alice");
    LoginRoundTrip(state, session);
}
BENCHMARK(BM_Engine_LoginRoundTrip)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Engine_LoginRoundTripService(benchmark::State& state) {
    chatd::ChatServer service;
    service.Listen({0});
    Session session(service.Ports().at(0), "demo", "demo", "Demochar");
    LoginRoundTrip(state, session);
}
BENCHMARK(BM_Engine_LoginRoundTripService)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
