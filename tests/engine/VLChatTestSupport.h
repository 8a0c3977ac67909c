#pragma once

#include "WaitUntil.h"

// Shared pieces of the chat engine tests: a scripted server on loopback that
// sends exactly the bytes a test gives it and records what the client wrote,
// a recorder for the application's exception handler, and a fixture with an
// engine whose events are all bound and recorded.

#include "engine/VLChat.h"
#include "engine/VLChatPacket.h"

#include <QByteArray>
#include <QPointer>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace chattest {

// Bytes from hexadecimal pairs separated by blanks: "00 05 00 00".
QByteArray Hex(const char* text);

// A whole server frame: the row's type number, the body length and the body
// with the arguments written by the row's signature (test-side encoder).
QByteArray ServerFrame(TVLServerPacket row, const TPacketArgs& args = {});
// A "Client Name" frame announcing a character.
QByteArray ClientName(int32_t id, const QByteArray& name);

// A client frame split into type and body.
struct ClientFrame {
    int type = -1;
    QByteArray body;
    QByteArray bytes; // the whole frame as written
};

// The arguments of a client frame, read by the signature of the client row
// with its type number (test-side decoder for "I", "S", "G" and "D").
TPacketArgs ClientArgs(const ClientFrame& frame);

// Runs an event loop until done() holds or limitMs of real time pass;
// returns done(). The limit only catches a hang; tests never wait it out.

// Collects what reaches the application's exception handler.
class ExceptionRecorder {
public:
    ExceptionRecorder();
    ~ExceptionRecorder();
    ExceptionRecorder(const ExceptionRecorder&) = delete;
    ExceptionRecorder& operator=(const ExceptionRecorder&) = delete;

    QStringList messages;
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
    // Waits for a connection after the count given.
    bool WaitForConnection(int after);
    void Send(const QByteArray& bytes);
    // Closes the connection to the client (a close by the server).
    void CloseClient();
    // True once the client has closed its side.
    bool ClientGone() const { return clientGone_; }

    // Frames the client wrote on the current connection, in order.
    std::vector<ClientFrame> frames;
    // Runs for every client frame as it arrives, in whatever event loop is
    // running then (a wait inside the engine included).
    std::function<void(const ClientFrame&)> onFrame;

    // Waits until the client has written at least count frames.
    bool WaitForFrames(size_t count);

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
void RecordEvents(TVLChat& chat, std::vector<std::string>& events, int* disconnects = nullptr);

// The exact bytes of a logged-in session's setup (user "bob", password "pw").
inline constexpr int32_t kAliceId = 12345;
inline constexpr int32_t kBobbyId = 777;
inline constexpr int32_t kBobId = 1001;
QByteArray TwoCharacterList();

// An engine bound to a scripted server, with every event recorded as a line
// ("Login", "PrivateMessage Bob|hello|-", ...).
class ChatTest : public ::testing::Test {
protected:
    ChatTest();
    ~ChatTest() override;

    // Connects and waits until the server has the client.
    void ConnectToServer();
    // Through the seed to the character list (state Ready for Login).
    void ReachCharacterChoice();
    // The whole login with character Alice: state Logged In, server frames cleared.
    void LogIn();
    // Waits until the engine's state is the one given.
    bool WaitForState(TVLChatState state);
    // Sends frames and waits until the client has handled them, by sending a
    // "Message System" marker after them and waiting for it.
    void Deliver(const QByteArray& bytes);
    // Waits until OnDisconnect has fired count times in all.
    bool WaitForDisconnects(int count);
    // Events since the last call, and the exception messages since the last call.
    std::vector<std::string> TakeEvents();
    QStringList TakeErrors();

    ScriptedServer server;
    ExceptionRecorder errors;
    std::unique_ptr<TVLChat> chat;
    std::vector<std::string> events;
    int disconnects = 0;
};

} // namespace chattest
