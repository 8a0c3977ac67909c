#pragma once

// Shared pieces of the chat engine tests: frame builders, a scripted server
// on loopback that sends exactly the bytes a test gives it and records what
// the client wrote, and fixtures with an engine whose events are all bound
// and recorded.

#include "Bytes.h"
#include "Raises.h"
#include "WaitUntil.h"

#include "engine/VLChat.h"
#include "engine/VLChatPacket.h"
#include "platform/core/ByteQueue.h"

#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace chattest {

using A = TPacketArg;
using Events = std::vector<std::string>;
using Frames = std::vector<QByteArray>;

// A whole server frame of a row with its arguments.
QByteArray ServerFrame(TVLServerPacket row, const TPacketArgs& args = {});
QByteArray ClientName(int32_t id, const QByteArray& name);
QByteArray System(const QByteArray& text);
QByteArray LookupResult(int32_t id, const QByteArray& name);
QByteArray PrivateMessage(int32_t from, const QByteArray& text, const QByteArray& data = Hex("00"));
inline const TGroupId kGeneral{1, 2, 3, 4, 5};
QByteArray GroupJoin(const TGroupId& id, const QByteArray& name, int32_t flags = 0);
inline const QByteArray kLoginSeed = Hex("00 00 00 06 00 04 53 33 33 44"); // "S33D"
inline const QByteArray kLoginOK = Hex("00 05 00 00");
inline const QByteArray kKickAll = Hex("00 36 00 00"); // a client frame without arguments
// Alice 12345 level 10 online; Bobby 777 level 200 offline.
inline constexpr int32_t kAliceId = 12345;
inline constexpr int32_t kBobbyId = 777;
inline constexpr int32_t kBobId = 1001;
QByteArray TwoCharacterList();

// "Error in packet handler, packet type: {packet}, error {error}".
QString HandlerError(const char* packet, const QString& error);
// "... error Packet type {packet} not allowed in state {state}".
QString Refused(const char* packet, const char* state);

// A client frame as the server received it.
struct ClientFrame {
    int type = -1;
    QByteArray body;
    QByteArray bytes; // the whole frame as written
    // The arguments, read by the frame's row's signature.
    TPacketArgs Args() const;
};

// A chat server on 127.0.0.1 with a script instead of a brain: it accepts one
// client at a time, sends what it is told and records the client's frames.
class ScriptedServer {
public:
    ScriptedServer();
    ~ScriptedServer();

    uint16_t Port() const { return server_.serverPort(); }
    // Connections accepted so far.
    int Connections() const { return connections_; }
    bool WaitForConnection(int after);
    void Send(const QByteArray& bytes);
    // Closes the connection to the client (a close by the server).
    void CloseClient();
    // True once the client has closed its side.
    bool ClientGone() const { return clientGone_; }
    bool WaitClientGone() const;
    // Waits until the client has written at least count frames.
    bool WaitForFrames(size_t count);
    // The bytes of the frames written so far.
    Frames FrameBytes() const;

    // Frames the client wrote on the current connection, in order.
    std::vector<ClientFrame> frames;
    // Runs for every client frame as it arrives, in whatever event loop is
    // running then (a wait inside the engine included).
    std::function<void(const ClientFrame&)> onFrame;

private:
    void Receive();

    QTcpServer server_;
    QPointer<QTcpSocket> client_;
    QByteArray pending_;
    bool clientGone_ = false;
    int connections_ = 0;
};

// Binds every event of an engine to a line in events ("Login",
// "PrivateMessage Bob|hello|-", ...); OnDisconnect also counts in *disconnects.
void RecordEvents(TVLChat& chat, Events& events, int* disconnects = nullptr);

// An engine with every event recorded as a line, and the application's
// exception handler recorded.
class EngineTest : public ::testing::Test {
public:
    ~EngineTest() override { chat.reset(); }

protected:
    EngineTest();
    // The events since the last call.
    Events TakeEvents() { return std::exchange(events, {}); }

    ExceptionLog errors;
    std::unique_ptr<TVLChat> chat;
    Events events;
    int disconnects = 0;
};

// An engine fed by hand, without a connection: received bytes go in through
// a byte queue, one read notification after the other, as the socket feeds
// them, and what the notifications raise reaches the exception handler.
class OfflineTest : public EngineTest {
protected:
    explicit OfflineTest(TVLChatState state = csLoggedIn);
    // Appends the bytes and runs read notifications while they take bytes.
    void Feed(const QByteArray& bytes);

    plat::ByteQueue received;
};

// An engine bound to a scripted server.
class ChatTest : public EngineTest {
protected:
    ChatTest();

    // Connects and waits until the server has the client.
    void ConnectToServer();
    // Connects and waits until the seed is answered (Awaiting Authorization).
    void ReachCharacterList();
    // Through the seed to the character list (state Ready for Login).
    void ReachCharacterChoice();
    // Chooses Alice and waits until the server has the choice.
    void ReachLoginResult();
    // The whole login with character Alice: state Logged In, server frames
    // and events cleared.
    void LogIn();
    // The steps of the login: what reaches each and the state it waits in.
    struct LoginStep {
        const char* name;
        std::function<void()> reach;
        TVLChatState state;
    };
    std::vector<LoginStep> LoginSteps();
    bool WaitForState(TVLChatState state);
    // Sends frames and waits until the client has handled them, by sending a
    // "Message System" marker after them and waiting for it.
    void Deliver(const QByteArray& bytes);
    // Waits until OnDisconnect has fired count times in all.
    bool WaitForDisconnects(int count);
    // Has the client write a Privategroup Kickall as a marker and waits for
    // it; the frames the server got on this connection, the marker included.
    Frames FramesUpToMarker();

    ScriptedServer server;
};

} // namespace chattest
