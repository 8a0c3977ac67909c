// Feeds arbitrary server bytes to a chat engine in a chosen state, through the
// same path a read notification of the socket takes (one frame per
// notification, state check, dispatch into the lists and events), without a
// connection.
//
// Input: byte 0 chooses the state (low 3 bits) and what is set up:
//   0x08 every event bound (message events resolve names only when bound);
//   0x10 event handlers call operations back into the engine;
//   0x20 a user name is set (a "Login Seed" then fails on the missing password;
//        the key computation itself is left out: it is slow and has its own tests);
//   0x40 flood protection off.
// The rest is the received stream.
// Checked on every input:
// - no crash, no sanitizer report, no hang;
// - every exception that leaves a notification is one of the documented
//   kinds: a wrapped handler error, a frame that cannot be parsed, an
//   oversize frame;
// - after the stream no whole frame is left unread (nor anything while an
//   oversize frame is being skipped), the state is one of the eight, and
//   clearing the lists empties them.

#include "engine/VLChat.h"
#include "engine/VLChatTestSeam.h"
#include "platform/core/ByteQueue.h"
#include "platform/core/Exception.h"

#include <QCoreApplication>

#include <cstdint>
#include <cstdlib>

namespace {

bool Documented(const QString& message) {
    return message.startsWith(QLatin1String("Error in packet handler, packet type: ")) ||
           message == QLatin1String("Stream read error") ||
           message.startsWith(QLatin1String("Logic error, bad param type ")) ||
           message.startsWith(QLatin1String("Packet too large: "));
}

void Bind(TVLChat& chat, bool callBack) {
    // Handlers look at what they get, and may call back into the engine,
    // which cannot send without a connection and raises.
    const auto touch = [callBack](TVLChat* sender, const QByteArray& name) {
        volatile qsizetype sink = name.size();
        (void)sink;
        if (callBack) {
            (void)sender->SendPrivateMessage(name, "re");
        }
    };
    chat.OnConnect = [](TVLChat*) {};
    chat.OnLogin = [callBack](TVLChat* sender) {
        if (callBack) {
            sender->PrivateGroupKickAll();
        }
    };
    chat.OnSystemMessage = [](TVLChat*, const QByteArray&) {};
    chat.OnPrivateMessage = [touch](TVLChat* s, const QByteArray& c, const QByteArray&,
                                    const TBlob* b) {
        if (b != nullptr) {
            (void)b->ClassName();
        }
        touch(s, c);
    };
    chat.OnGroupMessage = [callBack](TVLChat* s, int g, const QByteArray&, const QByteArray&,
                                     const TBlob*) {
        if (callBack && g >= 0) {
            s->MuteGroup(g);
        }
    };
    chat.OnFriendAdd = [](TVLChat*, const TFriendInfo&) {};
    chat.OnFriendRemove = [](TVLChat*, const TFriendInfo&) {};
    chat.OnFriendStatusChange = [callBack](TVLChat* s, const TFriendInfo& f) {
        if (callBack) {
            (void)s->RemoveFriend(f.Name());
        }
    };
    chat.OnGroupListChange = [](TVLChat*) {};
    chat.OnLoginError = [](TVLChat*, const QByteArray&) {};
    chat.OnPrivateGroupInvite = [touch](TVLChat* s, const QByteArray& g) { touch(s, g); };
    chat.OnPrivateGroupKick = [](TVLChat*, const QByteArray&) {};
    chat.OnPrivateGroupMessage = [touch](TVLChat* s, const QByteArray& g, const QByteArray&,
                                         const QByteArray&, const TBlob*) { touch(s, g); };
    chat.OnPrivateGroupJoin = [](TVLChat*, const QByteArray&, const QByteArray&) {};
    chat.OnPrivateGroupLeave = [](TVLChat*, const QByteArray&, const QByteArray&) {};
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv); // timers need the application object
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    const uint8_t setup = data[0];
    TVLChat chat;
    if (setup & 0x08) {
        Bind(chat, (setup & 0x10) != 0);
    }
    if (setup & 0x20) {
        chat.SetUserName("fuzz");
    }
    chat.SetFloodProtection((setup & 0x40) == 0);
    TVLChatTestSeam::SetState(chat, static_cast<TVLChatState>(setup & 0x07));

    plat::ByteQueue received;
    received.Append(
        QByteArrayView(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1)));
    for (;;) {
        try {
            if (!chat.ReadNotification(received)) {
                break;
            }
        } catch (const plat::Exception& e) {
            if (!Documented(e.Message())) {
                std::abort();
            }
        }
    }

    // What is left is at most one incomplete frame.
    const QByteArrayView left = received.Peek();
    if (left.size() >= 4 &&
        left.size() >= 4 + ((static_cast<uint8_t>(left[2]) << 8) | static_cast<uint8_t>(left[3]))) {
        std::abort();
    }
    if (chat.State() >= csCount) {
        std::abort();
    }
    chat.ClearLists();
    if (chat.NameList().Count() + chat.CharList().Count() + chat.FriendList().Count() +
            chat.GroupList().Count() + chat.SendQueueCount() !=
        0) {
        std::abort();
    }
    return 0;
}
