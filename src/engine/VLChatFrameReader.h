#pragma once

#include "engine/VLChatPacket.h"
#include "platform/core/ByteQueue.h"

#include <cstdint>
#include <optional>

// Cuts the bytes received from the server into frames and parses them,
// reading straight from the byte source (the socket's receive buffer, or any
// other): a frame's bytes are looked at where they arrived and taken once the
// frame is handled. No socket I/O and no buffer of its own. A frame that
// arrives in pieces stays in the source until the rest comes.
class TVLChatFrameReader {
public:
    // Takes the next unit from the source:
    // - a whole frame: taken and parsed into a packet;
    // - a frame whose arguments do not fit its body (EReadError "Stream read
    //   error") or whose signature cannot be read ("Logic error, bad param type
    //   %s."): taken whole, so the next one is read normally, and the parse
    //   error raised;
    // - a header announcing a body above the receive limit: the frame is
    //   skipped whole. Its header and the part of its body already there are
    //   taken, EPacketTooLarge "Packet too large: %d bytes" is raised, and the
    //   rest of the body is taken by the next calls as it arrives, returning
    //   nothing; the frame after it is read normally;
    // - an incomplete frame: nothing is taken and nothing returned.
    std::optional<TVLChatIncomingPacket> TakePacket(plat::ByteSource& source);

    // Bytes of an oversize frame still to be skipped.
    qsizetype SkipRemaining() const { return skipRemaining_; }

    // Forgets a frame being skipped, ready for a new connection.
    void Clear() { skipRemaining_ = 0; }

private:
    qsizetype skipRemaining_ = 0;
};
