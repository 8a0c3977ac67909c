#include "engine/VLChatFrameReader.h"

#include <gtest/gtest.h>

#include <utility>
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

// Takes every complete packet the reader holds.
void drain(TVLChatFrameReader& reader, std::vector<Taken>& out) {
    while (reader.HasFrame()) {
        const auto p = reader.TakePacket();
        ASSERT_TRUE(p.has_value());
        out.push_back(taken(*p));
    }
    EXPECT_FALSE(reader.TakePacket().has_value());
}

// Five frames of different shapes: empty body, text, unknown type, lists, data.
QByteArray mixedStream() {
    return frame(5, {}) + frame(36, hex("00 02 68 69")) + frame(9999, hex("AA BB CC")) +
           frame(7, hex("00 01 00 00 30 39 00 01 00 05 41 6C 69 63 65 00 01 00 00 00 0A 00 01"
                        "00 00 00 01")) +
           frame(100, hex("00 03 01 00 02"));
}

std::vector<Taken> mixedExpected() {
    return {
        {spLoginResultOK, {}},
        {spMessageSystem, {TPacketArg::Text("hi")}},
        {spUnknownPacketType, {}},
        {spLoginCharacterList,
         {TPacketArg::IntList({12345}), TPacketArg::TextList({"Alice"}), TPacketArg::IntList({10}),
          TPacketArg::IntList({1})}},
        {spPong, {TPacketArg::Data(QByteArray("\x01\x00\x02", 3))}},
    };
}

template <typename E, typename F>
QString messageOf(F&& f) {
    try {
        f();
    } catch (const E& e) {
        return e.Message();
    }
    return QStringLiteral("<no exception>");
}

} // namespace

TEST(FrameReader, SeveralFramesInOneChunkAreTakenOneByOne) {
    TVLChatFrameReader reader;
    EXPECT_FALSE(reader.HasFrame());
    EXPECT_FALSE(reader.TakePacket().has_value());
    reader.Append(mixedStream());
    std::vector<Taken> got;
    drain(reader, got);
    EXPECT_EQ(got, mixedExpected());
    EXPECT_EQ(reader.Buffered(), 0);
}

TEST(FrameReader, AFrameSplitAtAnyOffsetWaitsForItsRest) {
    const QByteArray stream = mixedStream();
    for (qsizetype cut = 0; cut <= stream.size(); ++cut) {
        TVLChatFrameReader reader;
        std::vector<Taken> got;
        reader.Append(stream.left(cut));
        drain(reader, got);
        reader.Append(stream.mid(cut));
        drain(reader, got);
        EXPECT_EQ(got, mixedExpected()) << "cut at " << cut;
    }
}

TEST(FrameReader, BytesArrivingOneAtATimeCompleteEachFrameAtItsLastByte) {
    const QByteArray stream = mixedStream();
    std::vector<qsizetype> ends;
    for (qsizetype at = 0; at < stream.size();) {
        const qsizetype length = (uint8_t(stream[at + 2]) << 8) | uint8_t(stream[at + 3]);
        at += 4 + length;
        ends.push_back(at);
    }
    TVLChatFrameReader reader;
    std::vector<qsizetype> completedAt;
    for (qsizetype i = 0; i < stream.size(); ++i) {
        reader.Append(stream.mid(i, 1));
        if (reader.HasFrame()) {
            completedAt.push_back(i + 1);
            ASSERT_TRUE(reader.TakePacket().has_value());
        }
        EXPECT_FALSE(reader.HasFrame());
    }
    EXPECT_EQ(completedAt, ends);
}

TEST(FrameReader, OversizeLengthFailsTheStreamAtItsHeader) {
    for (const auto& [header, message] :
         {std::pair{"00 24 10 01", u"Packet too large: 4097 bytes"},
          std::pair{"00 24 80 00", u"Packet too large: 32768 bytes"},
          std::pair{"00 05 FF FF", u"Packet too large: 65535 bytes"}}) {
        TVLChatFrameReader reader;
        reader.Append(frame(5, {}) + hex(header) + "abc");
        ASSERT_TRUE(reader.TakePacket().has_value()); // the frame before it is fine
        // Known as soon as the header is there, not after 4097 bytes.
        EXPECT_TRUE(reader.HasFrame());
        EXPECT_EQ(messageOf<EPacketTooLarge>([&] { reader.TakePacket(); }), message);
        EXPECT_TRUE(reader.Failed());
        // Nothing after it is trusted: later bytes are not framed.
        reader.Append(QByteArray(5000, 'x') + frame(5, {}));
        EXPECT_FALSE(reader.HasFrame());
        EXPECT_FALSE(reader.TakePacket().has_value());
        EXPECT_EQ(reader.Buffered(), 0);
        // A new connection starts clean.
        reader.Clear();
        EXPECT_FALSE(reader.Failed());
        reader.Append(frame(5, {}));
        ASSERT_TRUE(reader.HasFrame());
        EXPECT_EQ(reader.TakePacket()->Index(), spLoginResultOK);
    }
}

TEST(FrameReader, TheLargestBodyIsAccepted) {
    TVLChatFrameReader reader;
    const QByteArray limit = frame(100, hex("0F FE") + QByteArray(4094, 'p'));
    reader.Append(limit.left(4100 - 1));
    EXPECT_FALSE(reader.HasFrame());
    reader.Append(limit.right(1));
    const auto pong = reader.TakePacket();
    ASSERT_TRUE(pong.has_value());
    EXPECT_EQ(pong->Args(0).AsData(), QByteArray(4094, 'p'));
}

TEST(FrameReader, ABadBodyIsConsumedWholeAndTheNextFrameIsRead) {
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
        reader.Append(c.bad + frame(36, hex("00 02 68 69")));
        ASSERT_TRUE(reader.HasFrame());
        EXPECT_EQ(messageOf<plat::Exception>([&] { reader.TakePacket(); }), c.message);
        EXPECT_FALSE(reader.Failed());
        const auto next = reader.TakePacket();
        ASSERT_TRUE(next.has_value());
        EXPECT_EQ(taken(*next), (Taken{spMessageSystem, {TPacketArg::Text("hi")}}));
    }
}

TEST(FrameReader, ClearDropsAnIncompleteTail) {
    TVLChatFrameReader reader;
    reader.Append(hex("00 24 00 04 00 02 68"));
    EXPECT_EQ(reader.Buffered(), 7);
    reader.Clear();
    EXPECT_EQ(reader.Buffered(), 0);
    reader.Append(frame(5, {}));
    ASSERT_TRUE(reader.HasFrame());
    EXPECT_EQ(reader.TakePacket()->Index(), spLoginResultOK);
}

TEST(FrameReader, ManySmallFramesSurviveChunkingAndCompaction) {
    // Pings numbered 0..N-1, delivered in chunks that cut frames anywhere while
    // only a few packets are taken between chunks, so the taken front of the
    // buffer is dropped while a partial frame sits behind it.
    constexpr int kCount = 5000;
    QByteArray stream;
    for (int i = 0; i < kCount; ++i) {
        stream += frame(100, hex("00 02") + QByteArray(1, char(i >> 8)) + char(i & 0xFF));
    }
    TVLChatFrameReader reader;
    int next = 0;
    auto takeSome = [&](int n) {
        for (; n > 0 && reader.HasFrame(); --n, ++next) {
            const QByteArray data = reader.TakePacket()->Args(0).AsData();
            ASSERT_EQ(data.size(), 2);
            ASSERT_EQ((uint8_t(data[0]) << 8) | uint8_t(data[1]), next);
        }
    };
    for (qsizetype at = 0, chunk = 1; at < stream.size(); at += chunk, chunk = chunk % 997 + 13) {
        reader.Append(stream.mid(at, chunk));
        takeSome(80);
    }
    takeSome(kCount);
    EXPECT_EQ(next, kCount);
    EXPECT_EQ(reader.Buffered(), 0);
}
