// Feeds arbitrary bytes, cut into arbitrary chunks, through the frame reader
// and the packet parser, as a hostile server would send them.
//
// Input: byte 0 seeds the chunk sizes; the rest is the received stream.
// Checked on every input:
// - no crash, no sanitizer report, no exception other than the documented ones;
// - the outcomes (packets and errors, in order) do not depend on how the
//   stream was cut into chunks;
// - what stays unread is at most one incomplete frame of at most the receive
//   limit, and nothing while an oversize frame is being skipped;
// - a packet whose signature a client row shares serialises and parses back
//   to the same arguments.

#include "engine/VLChatFrameReader.h"
#include "engine/VLChatPacket.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// One outcome of TakePacket: a packet (row and arguments) or an error message.
struct Outcome {
    int row = -1;
    TPacketArgs args;
    QString error;
    friend bool operator==(const Outcome&, const Outcome&) = default;
};

// The client row whose signature equals the server row's, or -1.
int clientRowFor(uint8_t serverRow) {
    for (size_t row = 0; row < VLClientPackets.size(); ++row) {
        if (std::strcmp(VLClientPackets[row].Signature, VLServerPackets[serverRow].Signature) ==
            0) {
            return static_cast<int>(row);
        }
    }
    return -1;
}

void checkRoundTrip(const TVLChatIncomingPacket& packet) {
    const int clientRow = clientRowFor(packet.Index());
    if (clientRow < 0 || packet.ArgCount() == 0) {
        return;
    }
    TPacketArgs args;
    for (qsizetype n = 0; n < packet.ArgCount(); ++n) {
        args.append(packet.Args(n));
    }
    const TVLChatOutgoingPacket out(static_cast<uint8_t>(clientRow), args);
    const QByteArray frame = out.Frame();
    const QByteArray body = out.Serialize();
    if (frame.mid(4) != body) {
        std::abort();
    }
    const TVLChatIncomingPacket back(packet.Info().Type, body);
    for (qsizetype n = 0; n < packet.ArgCount(); ++n) {
        if (!(back.Args(n) == packet.Args(n))) {
            std::abort();
        }
    }
}

// Takes every unit the source holds, noting each packet and each error.
void takeAll(TVLChatFrameReader& reader, plat::ByteQueue& source, std::vector<Outcome>& out) {
    for (;;) {
        const qsizetype before = source.Size();
        Outcome o;
        try {
            const auto packet = reader.TakePacket(source);
            if (!packet) {
                if (source.Size() == before) {
                    return;
                }
                continue; // a part of an oversize frame was skipped
            }
            if (source.Size() >= before) {
                std::abort(); // a packet must take its frame
            }
            checkRoundTrip(*packet);
            o.row = packet->Index();
            for (qsizetype n = 0; n < packet->ArgCount(); ++n) {
                o.args.append(packet->Args(n));
            }
        } catch (const EPacketTooLarge& e) {
            if (source.Size() != 0 && reader.SkipRemaining() != 0) {
                std::abort(); // what has arrived of it is skipped at once
            }
            o.error = e.Message();
        } catch (const plat::EReadError& e) {
            o.error = e.Message();
        } catch (const plat::Exception& e) {
            if (!e.Message().startsWith(QLatin1String("Logic error, bad param type"))) {
                std::abort();
            }
            o.error = e.Message();
        }
        out.push_back(std::move(o));
    }
}

// What stays unread: nothing while skipping, else at most one incomplete frame.
void checkLeftOver(const TVLChatFrameReader& reader, const plat::ByteQueue& source) {
    const QByteArrayView left = source.Peek();
    if (reader.SkipRemaining() > 0) {
        if (!left.isEmpty()) {
            std::abort();
        }
        return;
    }
    if (left.size() >= 4) {
        const qsizetype length =
            (static_cast<uint8_t>(left[2]) << 8) | static_cast<uint8_t>(left[3]);
        if (length > kMaxIncomingBody || left.size() >= 4 + length) {
            std::abort();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    uint32_t seed = data[0] * 2654435761u + 1;
    const QByteArrayView stream(reinterpret_cast<const char*>(data + 1),
                                static_cast<qsizetype>(size - 1));

    // The whole stream in one chunk.
    std::vector<Outcome> whole;
    {
        TVLChatFrameReader reader;
        plat::ByteQueue source;
        source.Append(stream);
        takeAll(reader, source, whole);
        checkLeftOver(reader, source);
    }

    // The same stream in chunks of 0 to 63 bytes, taking what is complete after each.
    std::vector<Outcome> chunked;
    TVLChatFrameReader reader;
    plat::ByteQueue source;
    for (qsizetype at = 0; at < stream.size();) {
        seed = seed * 1103515245u + 12345u;
        const qsizetype n = std::min<qsizetype>((seed >> 16) & 63, stream.size() - at);
        source.Append(stream.sliced(at, n));
        at += n;
        takeAll(reader, source, chunked);
        checkLeftOver(reader, source);
    }
    if (chunked != whole) {
        std::abort();
    }
    reader.Clear();
    if (reader.SkipRemaining() != 0) {
        std::abort();
    }
    return 0;
}
