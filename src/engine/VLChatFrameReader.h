#pragma once

#include "engine/VLChatPacket.h"
#include "platform/core/ByteQueue.h"

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>
#include <optional>

// Cuts the byte stream received from the server into frames and parses them.
// No socket I/O: the owner appends whatever arrived and takes one complete
// packet at a time. A frame that arrives in pieces is kept until the rest
// comes; several frames in one chunk are taken one by one.
class TVLChatFrameReader {
public:
    // Appends received bytes. Ignored once the reader has failed.
    void Append(QByteArrayView bytes);

    // True when TakePacket has something to deliver: a complete frame, or a
    // header whose length is above the receive limit.
    bool HasFrame() const;

    // Takes the next frame and parses it.
    // - No complete frame waiting: returns nothing; a partial frame stays.
    // - A frame whose arguments do not fit its body (EReadError "Stream read
    //   error") or whose signature cannot be read ("Logic error, bad param type
    //   %s."): the frame is consumed whole, so the next one is read normally,
    //   and the parse error is raised.
    // - A header announcing a body above 4096 bytes: raises EPacketTooLarge
    //   "Packet too large: %d bytes" and the reader fails (Failed() is true):
    //   the connection must be closed. Nothing more is taken until Clear.
    std::optional<TVLChatIncomingPacket> TakePacket();

    // True after an oversize frame: the stream cannot be trusted any more.
    bool Failed() const { return failed_; }

    // Drops everything buffered (an incomplete tail at disconnect) and the
    // failed state, ready for a new connection.
    void Clear();

    // Bytes received and not yet taken.
    qsizetype Buffered() const { return buffer_.Size(); }

private:
    static constexpr qsizetype kHeaderSize = 4;

    uint16_t peekU16(qsizetype offset) const;

    plat::ByteQueue buffer_; // starts with the first frame not yet taken
    bool failed_ = false;
};
