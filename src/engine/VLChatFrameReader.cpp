#include "engine/VLChatFrameReader.h"

#include "platform/core/Format.h"

namespace {

constexpr qsizetype kHeaderSize = 4;

uint16_t U16At(QByteArrayView bytes, qsizetype offset) {
    return static_cast<uint16_t>((static_cast<uint8_t>(bytes[offset]) << 8) |
                                 static_cast<uint8_t>(bytes[offset + 1]));
}

} // namespace

std::optional<TVLChatIncomingPacket> TVLChatFrameReader::TakePacket(plat::ByteSource& source) {
    if (skipRemaining_ > 0) {
        skipRemaining_ -= source.Consume(skipRemaining_);
        return std::nullopt;
    }
    const QByteArrayView available = source.Peek();
    if (available.size() < kHeaderSize) {
        return std::nullopt;
    }
    const uint16_t type = U16At(available, 0);
    const qsizetype length = U16At(available, 2); // unsigned: 0..65535
    if (length > kMaxIncomingBody) {
        // The header is intact, so the frame can be counted down and the
        // stream stays in step; its body is never kept.
        source.Consume(kHeaderSize);
        skipRemaining_ = length - source.Consume(length);
        throw EPacketTooLarge(plat::Format("Packet too large: %d bytes", int64_t{length}));
    }
    if (available.size() < kHeaderSize + length) {
        return std::nullopt;
    }
    // Taken whether or not the body parses, so that a bad body leaves the
    // stream in step. The view stays valid until then.
    struct TakeFrame {
        plat::ByteSource& source;
        qsizetype size;
        ~TakeFrame() { source.Consume(size); }
    } take{source, kHeaderSize + length};
    return TVLChatIncomingPacket(type, available.sliced(kHeaderSize, length));
}
