#include "engine/VLChatFrameReader.h"

#include "platform/core/Format.h"

void TVLChatFrameReader::Append(QByteArrayView bytes) {
    if (failed_ || bytes.isEmpty()) {
        return;
    }
    if (head_ == buffer_.size()) {
        // Everything taken: start over at the front, keeping the capacity.
        buffer_.resize(0);
        head_ = 0;
    } else if (head_ >= kCompactAt && head_ * 2 >= buffer_.size()) {
        // Drop the taken bytes only once they are the larger part, so that
        // taking many small frames costs linear time in total.
        buffer_.remove(0, head_);
        head_ = 0;
    }
    buffer_.append(bytes.data(), bytes.size());
}

uint16_t TVLChatFrameReader::peekU16(qsizetype offset) const {
    const auto* p = reinterpret_cast<const uint8_t*>(buffer_.constData() + head_ + offset);
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
        buffer_.clear();
        head_ = 0;
        throw EPacketTooLarge(plat::Format("Packet too large: %d bytes", int64_t{length}));
    }
    const QByteArrayView body(buffer_.constData() + head_ + kHeaderSize, length);
    // Consume the frame before parsing, so that a bad body leaves the stream in step.
    head_ += kHeaderSize + length;
    // The view stays valid: the buffer changes only in Append and Clear.
    return TVLChatIncomingPacket(type, body);
}

void TVLChatFrameReader::Clear() {
    buffer_.clear();
    head_ = 0;
    failed_ = false;
}
