#pragma once

#include "engine/VLChat.h"

#include <QByteArray>

// Drives a TVLChat without a connection, for unit tests and the fuzzer. The
// component's own code paths run unchanged; only the source of received bytes
// and the state are set from outside. Not for the application.
class TVLChatTestSeam {
public:
    // Puts the component into a state as if the handshake had reached it.
    static void SetState(TVLChat& chat, TVLChatState state) { chat.SetState(state); }

    // Runs one read notification over `received` in place of the socket's
    // receive buffer: takes at most one whole frame from its front and handles
    // it as a notification from the socket does, raising what that raises
    // (a frame above the receive limit empties `received`, as a close drops
    // unread bytes). Returns whether a frame was taken.
    static bool ReadNotification(TVLChat& chat, QByteArray& received) {
        struct Restore {
            TVLChat& chat;
            ~Restore() { chat.testInput_ = nullptr; }
        } restore{chat};
        chat.testInput_ = &received;
        const qsizetype before = received.size();
        chat.SocketRead();
        return received.size() != before;
    }
};
