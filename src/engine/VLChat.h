#pragma once

// The chat client component: one connection to a chat server, the login
// handshake, the state checks in both directions, the dispatch of received
// packets into the lists and events, the paced send queue and the keep-alive.
//
// Everything runs on the thread that owns the component. Received packets,
// timer ticks and user actions can run inside a name lookup's wait (an
// operation that takes a character name may ask the server and wait for the
// answer), so handlers must tolerate the lists changing meanwhile. Destroy the
// component with deleteLater(): while any of its code is on the stack (a
// notification, a tick, a wait) the deletion is put off until that code has
// returned, and a wait ends at once when the deletion is asked for.

#include "engine/DimensionList.h"
#include "engine/VLBlob.h"
#include "engine/VLChatFrameReader.h"
#include "engine/VLChatLists.h"
#include "engine/VLChatPacket.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QObject>
#include <QTime>

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QEventLoop;
class QTimer;
namespace plat {
class ByteSource;
class ClientSocket;
} // namespace plat

enum TVLChatState : uint8_t {
    csDisconnected = 0,
    csConnecting,
    csAuthorizing,
    csAwaitingAuthorization,
    csReadyForLogin,
    csAwaitingLoginResult,
    csLoggedIn,
    csDisconnecting,
    csCount
};

// One state: its display name (it appears in error messages), the server
// rows it accepts and the client rows it allows to be sent, as masks over row
// indices (bit i = row i).
struct TChatStateInfo {
    const char* Name;
    uint32_t Accepted;
    uint32_t Allowed;
};

inline constexpr std::array<TChatStateInfo, csCount> VLChatStates{{
    {"Disconnected", 0, 0},
    {"Connecting", 0x00000002, 0},
    {"Authorizing", 0, 0x00000001},
    {"Awaiting Authoriziation", 0x00000018, 0},
    {"Ready for Login", 0, 0x00000002},
    {"Awaiting Login Result", 0x0000000C, 0},
    {"Logged In", 0x00DEF9C0, 0x00047FBC},
    {"Disconnecting", 0, 0},
}};

// Whether a row index is in a mask; an index above 31 never is.
constexpr bool InRowSet(uint32_t mask, unsigned index) {
    return index < 32 && (mask & (uint32_t{1} << index)) != 0;
}

// Seconds since 1970-01-01 of a date and time taken as UTC, truncated toward
// zero, low 32 bits. Dates before 1970 give negative counts.
int32_t DateTimeToUnix(QDate date, QTime time);

// The data byte of a keep-alive ping for a local time of day: the low 8 bits
// of DateTimeToUnix of that time on 1899-12-30.
uint8_t PingDataByte(QTime timeOfDay);

class TVLChat;

// Events. Every one receives the component first. Texts are the server's
// 8-bit bytes. An attachment (Blob) is null for a message without one and is
// valid during the call only; a handler that needs it later copies it.
using TVLChatNotifyEvent = std::function<void(TVLChat* Sender)>;
using TSystemMessageEvent = std::function<void(TVLChat* Sender, const QByteArray& Message)>;
using TPrivateMessageEvent = std::function<void(TVLChat* Sender, const QByteArray& CharName,
                                                const QByteArray& Message, const TBlob* Blob)>;
using TGroupMessageEvent =
    std::function<void(TVLChat* Sender, int GroupIdx, const QByteArray& CharName,
                       const QByteArray& Message, const TBlob* Blob)>;
using TFriendListEvent = std::function<void(TVLChat* Sender, const TFriendInfo& Friend)>;
using TLoginErrorEvent = std::function<void(TVLChat* Sender, const QByteArray& Message)>;
using TPrivateGroupEvent = std::function<void(TVLChat* Sender, const QByteArray& GroupName)>;
using TPrivateGroupMessageEvent =
    std::function<void(TVLChat* Sender, const QByteArray& GroupName, const QByteArray& CharName,
                       const QByteArray& Message, const TBlob* Blob)>;
using TPrivateGroupChannelEvent =
    std::function<void(TVLChat* Sender, const QByteArray& GroupName, const QByteArray& CharName)>;
using TChatErrorEvent = std::function<void(TVLChat* Sender, int& ErrorCode)>;

class TVLChat : public QObject, public TVLChatListOwner {
public:
    // Rate-limited packets leave at most one per this many milliseconds.
    static constexpr int SendInterval = 3300;
    // After a disconnect notification, the disconnect completes this much later.
    static constexpr int DisconnectDelay = 5;
    // How often the keep-alive check runs, and how long the connection may
    // stay silent before a ping is sent.
    static constexpr int PingCheckInterval = 5000;
    static constexpr uint32_t PingIdleLimit = 60000;
    // Each step of the login (the seed, the character list, the login result)
    // must come within this many milliseconds; otherwise the connection ends
    // as a timed-out one does, with this error code.
    static constexpr int LoginStepTimeout = 30000;
    static constexpr int TimedOutError = 10060;

    explicit TVLChat(QObject* owner = nullptr);
    ~TVLChat() override;

    // --- properties ------------------------------------------------------
    const QByteArray& UserName() const { return userName_; }
    void SetUserName(const QByteArray& value) { userName_ = value; }
    const QByteArray& Password() const { return password_; }
    void SetPassword(const QByteArray& value) { password_ = value; }
    // The server to connect to; shared with the dimension list, so editing
    // the list never leaves it dangling.
    const std::shared_ptr<TDimensionInfo>& Dimension() const { return dimension_; }
    void SetDimension(std::shared_ptr<TDimensionInfo> value) { dimension_ = std::move(value); }
    TVLChatState State() const { return state_; }
    // The text of the last "Login Seed".
    const QByteArray& LoginSeed() const { return loginSeed_; }
    TCharList& CharList() { return charList_; }
    TNameList& NameList() { return nameList_; }
    TFriendList& FriendList() { return friendList_; }
    TGroupList& GroupList() { return groupList_; }
    TDimensionList& DimensionList() { return dimensionList_; }
    // Whether rate-limited packets go through the send queue (default true).
    bool FloodProtection() const { return floodProtection_; }
    void SetFloodProtection(bool value) { floodProtection_ = value; }
    // Tick count of the last packet handed to the socket; 0 at start and
    // after the lists are cleared.
    uint32_t LastSendTick() const { return lastSendTick_; }
    // Rate-limited packets waiting to be sent.
    qsizetype SendQueueCount() const { return static_cast<qsizetype>(sendQueue_.size()); }
    const QTimer& SendTimer() const { return *sendTimer_; }
    const QTimer& PingTimer() const { return *pingTimer_; }
    const QTimer& LoginTimer() const { return *loginTimer_; }

    // --- events (fired only when set) --------------------------------------
    TVLChatNotifyEvent OnConnect;            // the character list has arrived
    TVLChatNotifyEvent OnDisconnect;         // a disconnect completed; lists are empty
    TVLChatNotifyEvent OnLogin;              // "Login Result OK"
    TSystemMessageEvent OnSystemMessage;     // "Message System"
    TPrivateMessageEvent OnPrivateMessage;   // "Message Private"
    TGroupMessageEvent OnGroupMessage;       // "Group Message"; GroupIdx -1 for an unknown group
    TFriendListEvent OnFriendAdd;            // a buddy entry was added
    TFriendListEvent OnFriendRemove;         // a buddy entry was removed
    TFriendListEvent OnFriendStatusChange;   // a buddy entry was replaced
    TVLChatNotifyEvent OnGroupListChange;    // a group entry was added or replaced
    TLoginErrorEvent OnLoginError;           // "Login Result Error"; the connection closes
    TPrivateGroupEvent OnPrivateGroupInvite; // "Privategroup Invited"
    TPrivateGroupEvent OnPrivateGroupKick;   // "Privategroup Kicked"
    TPrivateGroupMessageEvent OnPrivateGroupMessage; // "Privategroup Message"
    TPrivateGroupChannelEvent OnPrivateGroupJoin;    // "Privategroup Client Join"
    TPrivateGroupChannelEvent OnPrivateGroupLeave;   // "Privategroup Client Part"
    TChatErrorEvent OnError; // the socket reports an error; clear the code to handle it

    // --- connection --------------------------------------------------------
    // Opens the connection to Dimension and enters Connecting. Raises when no
    // dimension is set, for a port outside 1..65535, and while a connection
    // exists (Connecting to Logged In). A pending disconnect (Disconnecting)
    // is completed first, OnDisconnect included.
    void Connect();
    // Closes the connection; the state follows through Disconnecting to
    // Disconnected, as for a close by the server. Works in every state with a
    // connection, from Connecting on, so a login in progress can be cancelled.
    // Nothing when not connected.
    void Disconnect();

    // --- sending -------------------------------------------------------------
    // Sends at once. Raises "Packet type %s not allowed in state %s" when the
    // state does not allow the packet, the packet layer's errors for a packet
    // that cannot be written, and the socket's EWriteError when the connection
    // does not take it; nothing is sent then and LastSendTick keeps its value.
    void SendPacket(const TVLChatOutgoingPacket& packet);
    // Sends a rate-limited packet: at once when FloodProtection is off or
    // nothing was paced lately, else after the packets queued before it. A
    // packet that cannot be written raises here and is not queued; the state
    // check of a queued packet happens when it is sent.
    void QueuePacket(const TVLChatOutgoingPacket& packet);
    // Queues a keep-alive "Ping".
    void Ping();

    // --- operations ------------------------------------------------------------
    // Operations that take a character name turn it into an identifier and may
    // ask the server and wait for the answer. Those returning bool give false,
    // and send nothing, when the server knows no such character (or the wait
    // ended without an answer); they raise nothing for that case.
    // Sends "Login Select Character" and enters Awaiting Login Result.
    void SelectCharacter(const QByteArray& name);
    bool SendPrivateMessage(const QByteArray& name, const QByteArray& text,
                            const TBlob* blob = nullptr);
    // The group by its index in GroupList, or by its exact name; an index
    // outside the list (a name not in it) raises "List index out of bounds (%d)".
    void SendGroupMessageByIndex(qsizetype groupIndex, const QByteArray& text,
                                 const TBlob* blob = nullptr);
    void SendGroupMessage(const QByteArray& groupName, const QByteArray& text,
                          const TBlob* blob = nullptr);
    // A private group is named by its owner's character name.
    bool SendPrivateGroupMessage(const QByteArray& groupName, const QByteArray& text,
                                 const TBlob* blob = nullptr);
    void MuteGroup(qsizetype groupIndex);
    void UnmuteGroup(qsizetype groupIndex);
    bool PrivateGroupInvite(const QByteArray& name);
    bool PrivateGroupKick(const QByteArray& name);
    bool PrivateGroupJoin(const QByteArray& groupName);
    void PrivateGroupKickAll();
    bool AddFriend(const QByteArray& name, bool flag);
    bool RemoveFriend(const QByteArray& name);

    // --- internals, public for the timers' sake and for tests ----------------
    // One SendTimer tick: the next queued packet in Logged In (stopping the
    // timer when the queue is empty); the end of a disconnect in Disconnecting.
    void SendTimerTimer();
    // One PingTimer tick: a ping when logged in and nothing was sent for more
    // than PingIdleLimit milliseconds.
    void PingTimerTimer();
    // One LoginTimer tick: when a login step has waited LoginStepTimeout
    // milliseconds, the connection fails with TimedOutError (OnError, then
    // the disconnect); an early tick waits for the rest of the time.
    void LoginTimerTimer();
    // One read notification over a byte source: takes at most one frame (or
    // a part of an oversize frame being skipped) from its front and handles
    // it, raising what the frame reader and the handlers raise. The socket's
    // notifications come here with the socket as the source; code without a
    // connection may hand in a plat::ByteQueue. Returns whether bytes were taken.
    bool ReadNotification(plat::ByteSource& source);
    // Empties the lists and the send queue, stops the keep-alive and resets
    // LastSendTick.
    void ClearLists();
    // The login key for UserName, Password and LoginSeed.
    QByteArray MakeLoginKey() const;

    // --- TVLChatListOwner ----------------------------------------------------
    void FireFriendAdd(const std::shared_ptr<TFriendInfo>& entry) override;
    void FireFriendStatusChange(const std::shared_ptr<TFriendInfo>& entry) override;
    void FireFriendRemove(const std::shared_ptr<TFriendInfo>& entry) override;
    void FireGroupListChange() override;
    void SendNameLookup(const QByteArray& name) override;
    void WaitForName(int64_t deadlineMs) override;
    bool IsLoggedIn() const override;

protected:
    bool event(QEvent* e) override;

private:
    friend class TVLChatTestSeam;

    // Counts the component's code on the stack; deletion waits for zero.
    class TBusy {
    public:
        explicit TBusy(TVLChat& chat);
        ~TBusy();
        TBusy(const TBusy&) = delete;
        TBusy& operator=(const TBusy&) = delete;

    private:
        TVLChat& chat_;
    };

    struct TQueued {
        uint8_t index;
        QByteArray frame;
    };

    void SetState(TVLChatState state);
    void CheckAllowed(uint8_t clientRow) const;
    void WriteFrame(const QByteArray& frame);
    void WakeWaits();
    void CompleteDisconnect();
    void CloseSocket();

    // Socket notifications.
    void SocketDisconnect();
    void SocketError(int& errorCode);

    // Ends a login that cannot go on, as a timed-out connection ends.
    void FailLogin();
    // State check and dispatch of one packet, failures wrapped as
    // "Error in packet handler, packet type: %s, error %s".
    void HandlePacket(const TVLChatIncomingPacket& packet);
    void Dispatch(const TVLChatIncomingPacket& packet);
    // What each server packet does to the lists, the state and the events.
    using TPacketHandler = void (TVLChat::*)(const TVLChatIncomingPacket&);
    static const std::array<TPacketHandler, spCount> packetHandlers_;
    void ReceiveLoginSeed(const TVLChatIncomingPacket& p);
    void ReceiveLoginResultOK(const TVLChatIncomingPacket& p);
    void ReceiveLoginResultError(const TVLChatIncomingPacket& p);
    void ReceiveCharacterList(const TVLChatIncomingPacket& p);
    void ReceiveName(const TVLChatIncomingPacket& p);
    void ReceivePrivateMessage(const TVLChatIncomingPacket& p);
    void ReceiveSystemMessage(const TVLChatIncomingPacket& p);
    void ReceiveFriendAdded(const TVLChatIncomingPacket& p);
    void ReceiveFriendRemoved(const TVLChatIncomingPacket& p);
    void ReceivePrivateGroupInvitation(const TVLChatIncomingPacket& p);
    void ReceivePrivateGroupMember(const TVLChatIncomingPacket& p);
    void ReceivePrivateGroupMessage(const TVLChatIncomingPacket& p);
    void ReceiveGroupJoin(const TVLChatIncomingPacket& p);
    void ReceiveGroupMessage(const TVLChatIncomingPacket& p);
    void Login();
    bool SendToCharacter(uint8_t clientRow, const QByteArray& name);

    QByteArray userName_;
    QByteArray password_;
    std::shared_ptr<TDimensionInfo> dimension_;
    TVLChatState state_ = csDisconnected;
    QByteArray loginSeed_;
    TCharList charList_;
    TNameList nameList_;
    TFriendList friendList_;
    TGroupList groupList_;
    TDimensionList dimensionList_;
    plat::ClientSocket* socket_;
    QTimer* sendTimer_;
    QTimer* pingTimer_;
    QTimer* loginTimer_;
    int64_t loginDeadline_ = 0;
    std::deque<TQueued> sendQueue_;
    bool floodProtection_ = true;
    uint32_t lastSendTick_ = 0;

    TVLChatFrameReader reader_;
    std::vector<QEventLoop*> waitLoops_;
    int busy_ = 0;
    bool deleteRequested_ = false;
    bool shuttingDown_ = false;
};
