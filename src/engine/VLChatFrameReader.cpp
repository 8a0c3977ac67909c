#include "engine/VLChatFrameReader.h"

#include "platform/core/Format.h"

void TVLChatFrameReader::Append(QByteArrayView bytes) {
    if (!failed_) {
        buffer_.Append(bytes);
    }
}

uint16_t TVLChatFrameReader::peekU16(qsizetype offset) const {
    const auto* p = reinterpret_cast<const uint8_t*>(buffer_.View().data() + offset);
    return static_cast<uint16_t>((p[0] << 8) | p[1]);
}

bool TVLChatFrameReader::HasFrame() const {
    if (failed_ || Buffered() < kHeaderSize) {
        return false;
    }
    const qsizetype length = peekU16(2);
    return length > kMaxIncomingBody || Buffered() >= kHeaderSize + length;
}

std::optional<TVLChatIncomingPacket> TVLChatFrameReader::TakePacket() {
    if (!HasFrame()) {
        return std::nullopt;
    }
    const uint16_t type = peekU16(0);
    const qsizetype length = peekU16(2);
    if (length > kMaxIncomingBody) {
        failed_ = true;
        buffer_.Clear();
        throw EPacketTooLarge(plat::Format("Packet too large: %d bytes", int64_t{length}));
    }
    const QByteArrayView body = buffer_.View().sliced(kHeaderSize, length);
    // Consume the frame before parsing, so that a bad body leaves the stream in step.
    // The view stays valid: the storage changes only in Append and Clear.
    buffer_.Consume(kHeaderSize + length);
    return TVLChatIncomingPacket(type, body);
}

void TVLChatFrameReader::Clear() {
    buffer_.Clear();
    failed_ = false;
}
