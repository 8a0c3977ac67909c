#pragma once

#include "engine/VLChat.h"

// Drives a TVLChat without a connection, for unit tests, benchmarks and the
// fuzzer: puts the component into a state as if the handshake had reached it.
// Received bytes are handed in through TVLChat::ReadNotification with a
// plat::ByteQueue as the source. Not for the application.
class TVLChatTestSeam {
public:
    static void SetState(TVLChat& chat, TVLChatState state) { chat.SetState(state); }
};
