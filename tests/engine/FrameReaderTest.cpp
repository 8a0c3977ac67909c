#include "engine/VLChatFrameReader.h"

#include "Bytes.h"
#include "GoldenRows.h"
#include "PacketText.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const QByteArray kHi = Frame(36, Hex("00 02 68 69"));

// What one call gave: the packet shown, "error" and the message, or nothing.
QString TakeOne(TVLChatFrameReader& reader, plat::ByteSource& source) {
    try {
        const auto p = reader.TakePacket(source);
        return p ? Show(*p) : QString();
    } catch (const plat::Exception& e) {
        return "error " + e.Message();
    }
}

} // namespace

TEST(FrameReader, FramesAreTakenOneByOneAndEachCompletesAtItsLastByte) {
    QByteArray stream;
    QStringList expected;
    std::vector<qsizetype> ends;
    for (const QList<QByteArray>& row : GoldenRows("engine/mixed-frames.tsv", 3)) {
        stream += Frame(row[0].toUShort(), QByteArray::fromHex(row[1]));
        expected << QString::fromUtf8(row[2]);
        ends.push_back(stream.size());
    }
    // All at once: one unit per call, a bad body taken whole so that the
    // next frame is read, nothing left.
    TVLChatFrameReader reader;
    plat::ByteQueue source;
    source.Append(stream);
    QStringList got;
    for (QString o; !(o = TakeOne(reader, source)).isEmpty();) {
        got << o;
    }
    EXPECT_EQ(got, expected);
    EXPECT_TRUE(source.IsEmpty());
    // One byte at a time: a frame is taken exactly when its last byte is there.
    got.clear();
    std::vector<qsizetype> completedAt;
    for (qsizetype i = 0; i < stream.size(); ++i) {
        source.Append(stream.mid(i, 1));
        if (const QString o = TakeOne(reader, source); !o.isEmpty()) {
            completedAt.push_back(i + 1);
            got << o;
            EXPECT_TRUE(source.IsEmpty());
        }
    }
    EXPECT_EQ(completedAt, ends);
    EXPECT_EQ(got, expected);
}

TEST(FrameReader, AFrameAboveTheLimitIsSkippedWholeAndNeverKept) {
    const QByteArray largest = Frame(100, Hex("0F FE") + QByteArray(4094, 'p')); // 4096 bytes
    const QString limit = "Pong [" + QByteArray(4094, 'p').toHex() + "]";
    for (const qsizetype length : {4097, 32768, 65535}) {
        SCOPED_TRACE(length);
        const QString tooLarge = QString("error Packet too large: %1 bytes").arg(length);
        const QByteArray stream = kHi + Frame(30, QByteArray(length, 'x')) + largest + kHi;
        {
            // All at once: the error once, then the frames around it.
            TVLChatFrameReader reader;
            plat::ByteQueue source;
            source.Append(stream);
            EXPECT_EQ(TakeOne(reader, source), "Message System hi");
            EXPECT_EQ(TakeOne(reader, source), tooLarge);
            EXPECT_EQ(reader.SkipRemaining(), 0);
            EXPECT_EQ(TakeOne(reader, source), limit);
            EXPECT_EQ(TakeOne(reader, source), "Message System hi");
            EXPECT_TRUE(source.IsEmpty());
        }
        // One byte at a time: each byte of the oversize frame is taken as it
        // comes, so nothing of it piles up (only a header waits for its last
        // byte), and the error is raised once.
        TVLChatFrameReader reader;
        plat::ByteQueue source;
        QStringList got;
        qsizetype mostKept = 0;
        for (qsizetype i = 0; i < stream.size(); ++i) {
            source.Append(stream.mid(i, 1));
            if (const QString o = TakeOne(reader, source); !o.isEmpty()) {
                got << o;
            }
            if (i >= kHi.size() && i < kHi.size() + 4 + length) {
                mostKept = std::max(mostKept, source.Size());
            }
        }
        EXPECT_EQ(got, QStringList({"Message System hi", tooLarge, limit, "Message System hi"}));
        EXPECT_LE(mostKept, 3);
        EXPECT_TRUE(source.IsEmpty());
    }
}

TEST(FrameReader, ClearForgetsAFrameBeingSkipped) {
    TVLChatFrameReader reader;
    plat::ByteQueue source;
    source.Append(Hex("00 1E 20 00") + "abc"); // 8192 bytes announced, 3 there
    EXPECT_EQ(TakeOne(reader, source), "error Packet too large: 8192 bytes");
    EXPECT_EQ(reader.SkipRemaining(), 8189);
    reader.Clear(); // a new connection
    source.Append(kHi);
    EXPECT_EQ(TakeOne(reader, source), "Message System hi");
}

TEST(FrameReader, ManySmallFramesSurviveChunkingAndCompaction) {
    // Pings numbered 0..N-1, delivered in chunks that cut frames anywhere while
    // only a few packets are taken between chunks, so the taken front of the
    // queue is dropped while a partial frame sits behind it.
    constexpr int kCount = 5000;
    QByteArray stream;
    for (int i = 0; i < kCount; ++i) {
        stream += Frame(100, Hex("00 02") + QByteArray(1, char(i >> 8)) + char(i & 0xFF));
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
