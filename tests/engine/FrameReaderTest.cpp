#include "engine/VLChatFrameReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <vector>

namespace {

QByteArray hex(const char* text) {
    return QByteArray::fromHex(text); // spaces are skipped
}

QByteArray frame(uint16_t type, const QByteArray& body) {
    QByteArray out;
    out.append(char(type >> 8)).append(char(type & 0xFF));
    out.append(char(body.size() >> 8)).append(char(body.size() & 0xFF));
    return out + body;
}

// A packet as the tests compare it: its row and its arguments.
struct Taken {
    uint8_t index;
    TPacketArgs args;
    friend bool operator==(const Taken&, const Taken&) = default;
};

Taken taken(const TVLChatIncomingPacket& p) {
    TPacketArgs args;
    for (qsizetype n = 0; n < p.ArgCount(); ++n) {
        args.append(p.Args(n));
    }
    return {p.Index(), args};
}

const QByteArray kHi = frame(36, hex("00 02 68 69"));
const Taken kHiTaken{spMessageSystem, {TPacketArg::Text("hi")}};

// Five frames of different shapes: empty body, text, unknown type, lists, data.
QByteArray mixedStream() {
    return frame(5, {}) + kHi + frame(9999, hex("AA BB CC")) +
           frame(7, hex("00 01 00 00 30 39 00 01 00 05 41 6C 69 63 65 00 01 00 00 00 0A 00 01"
                        "00 00 00 01")) +
           frame(100, hex("00 03 01 00 02"));
}

const std::vector<Taken> kMixed{
    {spLoginResultOK, {}},
    kHiTaken,
    {spUnknownPacketType, {}},
    {spLoginCharacterList,
     {TPacketArg::IntList({12345}), TPacketArg::TextList({"Alice"}), TPacketArg::IntList({10}),
      TPacketArg::IntList({1})}},
    {spPong, {TPacketArg::Data(QByteArray("\x01\x00\x02", 3))}},
};

// What one call gave: a packet, an error, or nothing.
struct Outcome {
    std::optional<Taken> packet;
    QString error;
};

Outcome takeOne(TVLChatFrameReader& reader, plat::ByteSource& source) {
    try {
        const auto p = reader.TakePacket(source);
        return {p ? std::optional(taken(*p)) : std::nullopt, {}};
    } catch (const plat::Exception& e) {
        return {std::nullopt, e.Message()};
    }
}

} // namespace

TEST(FrameReader, FramesAreTakenOneByOneAndEachCompletesAtItsLastByte) {
    const QByteArray stream = mixedStream();
    // All at once: one packet per call, nothing left.
    {
        TVLChatFrameReader reader;
        plat::ByteQueue source;
        source.Append(stream);
        std::vector<Taken> got;
        while (const auto p = reader.TakePacket(source)) {
            got.push_back(taken(*p));
        }
        EXPECT_EQ(got, kMixed);
        EXPECT_TRUE(source.IsEmpty());
    }
    // One byte at a time: a frame is taken exactly when its last byte is there.
    std::vector<qsizetype> ends;
    for (qsizetype at = 0; at < stream.size();) {
        at += 4 + ((uint8_t(stream[at + 2]) << 8) | uint8_t(stream[at + 3]));
        ends.push_back(at);
    }
    TVLChatFrameReader reader;
    plat::ByteQueue source;
    std::vector<Taken> got;
    std::vector<qsizetype> completedAt;
    for (qsizetype i = 0; i < stream.size(); ++i) {
        source.Append(stream.mid(i, 1));
        if (const auto p = reader.TakePacket(source)) {
            completedAt.push_back(i + 1);
            got.push_back(taken(*p));
            EXPECT_TRUE(source.IsEmpty());
        }
    }
    EXPECT_EQ(completedAt, ends);
    EXPECT_EQ(got, kMixed);
}

TEST(FrameReader, ABadBodyIsTakenWholeAndTheNextFrameIsRead) {
    const struct {
        QByteArray bad;
        const char16_t* message;
    } cases[] = {
        {frame(36, hex("00 05 61")), u"Stream read error"},                       // short text
        {frame(100, hex("80 01 00 00 00 00 00 00 00 00")), u"Stream read error"}, // data 0x8001
        {frame(57, hex("00 00 00 01")), u"Stream read error"},                    // short body
        {frame(110, hex("00 00 00 01 00 00 00 00")), u"Logic error, bad param type M."},
    };
    for (const auto& c : cases) {
        TVLChatFrameReader reader;
        plat::ByteQueue source;
        source.Append(c.bad + kHi);
        EXPECT_EQ(takeOne(reader, source).error, c.message);
        EXPECT_EQ(takeOne(reader, source).packet, kHiTaken);
    }
}

TEST(FrameReader, AFrameAboveTheLimitIsSkippedWholeAndNeverKept) {
    const QByteArray largest = frame(100, hex("0F FE") + QByteArray(4094, 'p')); // 4096 bytes
    for (const qsizetype length : {4097, 32768, 65535}) {
        SCOPED_TRACE(length);
        const QByteArray oversize = frame(30, QByteArray(length, 'x'));
        const QString message = QString("Packet too large: %1 bytes").arg(length);
        const QByteArray stream = kHi + oversize + largest + kHi;
        {
            // All at once: the error once, then the frames around it.
            TVLChatFrameReader reader;
            plat::ByteQueue source;
            source.Append(stream);
            EXPECT_EQ(takeOne(reader, source).packet, kHiTaken);
            EXPECT_EQ(takeOne(reader, source).error, message);
            EXPECT_EQ(reader.SkipRemaining(), 0);
            const auto limit = takeOne(reader, source).packet;
            ASSERT_TRUE(limit.has_value());
            EXPECT_EQ(limit->args.at(0).AsData().size(), 4094);
            EXPECT_EQ(takeOne(reader, source).packet, kHiTaken);
            EXPECT_TRUE(source.IsEmpty());
        }
        // One byte at a time: each byte of the oversize frame is taken as it
        // comes, so nothing of it piles up, and the error is raised once.
        TVLChatFrameReader reader;
        plat::ByteQueue source;
        QStringList raised;
        int packets = 0;
        qsizetype mostKept = 0;
        for (const char byte : stream) {
            source.Append(QByteArrayView(&byte, 1));
            const Outcome o = takeOne(reader, source);
            packets += o.packet.has_value();
            if (!o.error.isEmpty()) {
                raised << o.error;
            }
            if (reader.SkipRemaining() > 0) {
                mostKept = std::max(mostKept, source.Size());
            }
        }
        EXPECT_EQ(raised, QStringList{message});
        EXPECT_EQ(packets, 3);
        EXPECT_EQ(mostKept, 0);
        EXPECT_TRUE(source.IsEmpty());
    }
}

TEST(FrameReader, ClearForgetsAFrameBeingSkipped) {
    TVLChatFrameReader reader;
    plat::ByteQueue source;
    source.Append(hex("00 1E 20 00") + "abc"); // 8192 bytes announced, 3 there
    EXPECT_EQ(takeOne(reader, source).error, u"Packet too large: 8192 bytes");
    EXPECT_EQ(reader.SkipRemaining(), 8189);
    reader.Clear(); // a new connection
    source.Append(kHi);
    EXPECT_EQ(takeOne(reader, source).packet, kHiTaken);
}

TEST(FrameReader, ManySmallFramesSurviveChunkingAndCompaction) {
    // Pings numbered 0..N-1, delivered in chunks that cut frames anywhere while
    // only a few packets are taken between chunks, so the taken front of the
    // queue is dropped while a partial frame sits behind it.
    constexpr int kCount = 5000;
    QByteArray stream;
    for (int i = 0; i < kCount; ++i) {
        stream += frame(100, hex("00 02") + QByteArray(1, char(i >> 8)) + char(i & 0xFF));
    }
    TVLChatFrameReader reader;
    plat::ByteQueue source;
    int next = 0;
    auto takeSome = [&](int n) {
        for (; n > 0; --n, ++next) {
            const auto p = reader.TakePacket(source);
            if (!p) {
                return;
            }
            const QByteArray data = p->Args(0).AsData();
            ASSERT_EQ(data.size(), 2);
            ASSERT_EQ((uint8_t(data[0]) << 8) | uint8_t(data[1]), next);
        }
    };
    for (qsizetype at = 0, chunk = 1; at < stream.size(); at += chunk, chunk = chunk % 997 + 13) {
        source.Append(stream.mid(at, chunk));
        takeSome(80);
    }
    takeSome(kCount);
    EXPECT_EQ(next, kCount);
    EXPECT_TRUE(source.IsEmpty());
}
