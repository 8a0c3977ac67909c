#pragma once
// A chat server in the fuzzer's process for one client engine: it logs the
// client in as Kara whatever the key, announces a fixed cast, buddies and
// public groups, answers name lookups and pings, echoes group and
// private-group messages as a server does, and checks every byte the client
// writes (a failure aborts):
// - the bytes are whole frames of client packet types, each body exactly
//   what the type's signature reads (so never above 65535 bytes);
// - each packet is one the client may send at that point of the login;
// - every character id a packet carries is one the server announced (never
//   the -1 of an unknown name), every group one it announced.

#include "engine/VLChatPacket.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTcpServer>

#include <cstdint>
#include <optional>
#include <utility>

class QTcpSocket;

class FakeChatServer : public QObject {
public:
    struct Person {
        const char* Name; // Windows-1252
        int32_t Id;
    };
    struct Group {
        const char* Name; // Windows-1252
        TGroupId Id;
        int32_t Flags;
    };
    // Kara first; a name lookup finds these without regard to case.
    static const Person kCast[];
    static const Group kGroups[];

    FakeChatServer();

    // The id of a name of the cast, -1 for an unknown one.
    static int32_t IdOf(const QByteArray& name);

    quint16 Port() const { return listener_.serverPort(); }
    bool Connected() const;
    // Pings received so far.
    int Pings() const { return pings_; }
    // Whether a frame has begun and not ended.
    bool PartFrame() const { return !buffer_.isEmpty(); }

    // Sends the public groups with their first flags again.
    void AnnounceGroups();
    // A tell from Bob to the client, the text cut to what a packet may carry.
    void TellFromBob(const QByteArray& text);

    // The last tell the client sent since the last call.
    struct Tell {
        int32_t Id;
        QByteArray Text;
    };
    std::optional<Tell> TakeTell() { return std::exchange(tell_, std::nullopt); }

private:
    void Accept();
    void Read();
    void Handle(int row, const TPacketArgs& args, const QList<QByteArray>& raw);
    void Send(int serverRow, const TPacketArgs& args);
    void LogIn();
    void Echo(int serverRow, const TPacketArgs& args);

    QTcpServer listener_;
    QTcpSocket* peer_ = nullptr;
    QByteArray buffer_;
    bool loggedIn_ = false;
    int pings_ = 0;
    std::optional<Tell> tell_;
};
