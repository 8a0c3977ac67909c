// Packet throughput: reading received frames and writing frames to send, for
// the traffic a busy chat session carries (tells, group and private-group
// messages with 20-200 byte texts and small attachments, client names, pings).

#include "engine/VLChatFrameReader.h"
#include "engine/VLChatPacket.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {

// A fixed pseudo-random sequence, so every run measures the same traffic.
class Lcg {
public:
    uint32_t Next() {
        state_ = state_ * 1664525u + 1013904223u;
        return state_ >> 8;
    }
    int Between(int lo, int hi) { return lo + static_cast<int>(Next() % uint32_t(hi - lo + 1)); }

private:
    uint32_t state_ = 12345;
};

QByteArray text(Lcg& rng) {
    QByteArray t(rng.Between(20, 200), Qt::Uninitialized);
    for (char& c : t) {
        c = static_cast<char>(rng.Between(0x20, 0x7E));
    }
    return t;
}

// Attachment data: mostly the one-byte "none", sometimes an item or a text reference.
QByteArray attachment(Lcg& rng) {
    switch (rng.Next() % 8) {
    case 0:
        return QByteArray(17, '\x01');
    case 1:
        return QByteArray(28, '\x02');
    default:
        return QByteArray(1, '\0');
    }
}

TGroupId group(Lcg& rng) {
    return {0x03, 0x00, 0x00, static_cast<uint8_t>(rng.Next()), 0x2A};
}

void putU16(QByteArray& out, qsizetype v) {
    out.append(static_cast<char>((v >> 8) & 0xFF)).append(static_cast<char>(v & 0xFF));
}

void putI32(QByteArray& out, int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    out.append(char(u >> 24)).append(char((u >> 16) & 0xFF));
    out.append(char((u >> 8) & 0xFF)).append(char(u & 0xFF));
}

void putBytes(QByteArray& out, const QByteArray& b) {
    putU16(out, b.size());
    out.append(b);
}

// One server frame of the mix.
QByteArray serverFrame(Lcg& rng) {
    QByteArray body;
    uint16_t type = 0;
    const uint32_t pick = rng.Next() % 100;
    if (pick < 35) { // Group Message
        type = 65;
        const TGroupId g = group(rng);
        body.append(reinterpret_cast<const char*>(g.data()), 5);
        putI32(body, rng.Between(1, 1000000));
        putBytes(body, text(rng));
        putBytes(body, attachment(rng));
    } else if (pick < 60) { // Message Private
        type = 30;
        putI32(body, rng.Between(1, 1000000));
        putBytes(body, text(rng));
        putBytes(body, QByteArray(1, '\0') + attachment(rng));
    } else if (pick < 80) { // Privategroup Message
        type = 57;
        putI32(body, rng.Between(1, 1000000));
        putI32(body, rng.Between(1, 1000000));
        putBytes(body, text(rng));
        putBytes(body, attachment(rng));
    } else if (pick < 95) { // Client Name
        type = 20;
        putI32(body, rng.Between(1, 1000000));
        putBytes(body, QByteArray(rng.Between(4, 14), 'n'));
    } else { // Pong
        type = 100;
        putBytes(body, QByteArray(1, char(rng.Next())));
    }
    QByteArray frame;
    putU16(frame, type);
    putU16(frame, body.size());
    return frame + body;
}

QByteArray serverStream(int packets) {
    Lcg rng;
    QByteArray stream;
    for (int i = 0; i < packets; ++i) {
        stream += serverFrame(rng);
    }
    return stream;
}

std::vector<TVLChatOutgoingPacket> clientPackets(int count) {
    Lcg rng;
    std::vector<TVLChatOutgoingPacket> out;
    out.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const uint32_t pick = rng.Next() % 100;
        if (pick < 40) {
            out.emplace_back(cpGroupMessage,
                             TPacketArgs{TPacketArg::Group(group(rng)), TPacketArg::Text(text(rng)),
                                         TPacketArg::Data(attachment(rng))});
        } else if (pick < 70) {
            out.emplace_back(cpMessagePrivate,
                             TPacketArgs{TPacketArg::Int(rng.Between(1, 1000000)),
                                         TPacketArg::Text(text(rng)),
                                         TPacketArg::Data(QByteArray(1, '\0') + attachment(rng))});
        } else if (pick < 90) {
            out.emplace_back(cpPrivategroupMessage,
                             TPacketArgs{TPacketArg::Int(rng.Between(1, 1000000)),
                                         TPacketArg::Text(text(rng)),
                                         TPacketArg::Data(attachment(rng))});
        } else if (pick < 95) {
            out.emplace_back(cpNameLookup,
                             TPacketArgs{TPacketArg::Text(QByteArray(rng.Between(4, 14), 'n'))});
        } else {
            out.emplace_back(cpPing, TPacketArgs{TPacketArg::Data(QByteArray(1, '\x5A'))});
        }
    }
    return out;
}

// Takes every complete packet the source holds; returns how many.
int takeAll(TVLChatFrameReader& reader, plat::ByteQueue& source) {
    int taken = 0;
    while (auto p = reader.TakePacket(source)) {
        benchmark::DoNotOptimize(p);
        ++taken;
    }
    return taken;
}

// Received in segments of 1460 bytes; every complete packet is taken after each.
void BM_Packets_ReadFrames(benchmark::State& state) {
    const int packets = static_cast<int>(state.range(0));
    const QByteArray stream = serverStream(packets);
    constexpr qsizetype kSegment = 1460;
    for (auto _ : state) {
        TVLChatFrameReader reader;
        plat::ByteQueue received;
        int taken = 0;
        for (qsizetype at = 0; at < stream.size(); at += kSegment) {
            received.Append(
                QByteArrayView(stream).sliced(at, std::min(kSegment, stream.size() - at)));
            taken += takeAll(reader, received);
        }
        if (taken != packets) {
            state.SkipWithError("lost packets");
        }
    }
    state.SetItemsProcessed(state.iterations() * packets);
    state.SetBytesProcessed(state.iterations() * stream.size());
}
BENCHMARK(BM_Packets_ReadFrames)->Arg(10000);

// Everything arrives at once and is taken one packet at a time, as a backlog is.
// Time per packet must stay flat as the backlog grows.
void BM_Packets_ReadBacklog(benchmark::State& state) {
    const int packets = static_cast<int>(state.range(0));
    const QByteArray stream = serverStream(packets);
    for (auto _ : state) {
        TVLChatFrameReader reader;
        plat::ByteQueue received;
        received.Append(stream);
        if (takeAll(reader, received) != packets) {
            state.SkipWithError("lost packets");
        }
    }
    state.SetItemsProcessed(state.iterations() * packets);
    state.SetBytesProcessed(state.iterations() * stream.size());
}
BENCHMARK(BM_Packets_ReadBacklog)->Arg(1000)->Arg(10000)->Arg(100000);

void BM_Packets_WriteFrames(benchmark::State& state) {
    const std::vector<TVLChatOutgoingPacket> packets =
        clientPackets(static_cast<int>(state.range(0)));
    int64_t bytes = 0;
    for (auto _ : state) {
        for (const auto& p : packets) {
            const QByteArray frame = p.Frame();
            bytes += frame.size();
            benchmark::DoNotOptimize(frame.constData());
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(packets.size()));
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_Packets_WriteFrames)->Arg(10000);

} // namespace

BENCHMARK_MAIN();
