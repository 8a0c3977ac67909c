#include "engine/VLChat.h"

#include "engine/VLCrypt.h"
#include "platform/core/ClientSocket.h"
#include "platform/core/Clock.h"
#include "platform/core/Exception.h"
#include "platform/core/Format.h"
#include "platform/core/Guarded.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <limits>

int32_t DateTimeToUnix(QDate date, QTime time) {
    // Tenths of a microsecond since 1601-01-01, then seconds since 1970-01-01.
    constexpr int64_t kTicksPerDay = 864000000000;
    constexpr int64_t kUnixEpochTicks = 116444736000000000;
    const int64_t days = QDate(1601, 1, 1).daysTo(date);
    const int64_t ticks = days * kTicksPerDay + int64_t{time.msecsSinceStartOfDay()} * 10000;
    const int64_t seconds = (ticks - kUnixEpochTicks) / 10000000; // truncates toward zero
    return static_cast<int32_t>(static_cast<uint32_t>(seconds));
}

uint8_t PingDataByte(QTime timeOfDay) {
    return static_cast<uint8_t>(DateTimeToUnix(QDate(1899, 12, 30), timeOfDay));
}

TVLChat::TBusy::TBusy(TVLChat& chat) : chat_(chat) {
    ++chat_.busy_;
}

TVLChat::TBusy::~TBusy() {
    if (--chat_.busy_ == 0 && chat_.deleteRequested_) {
        chat_.deleteRequested_ = false;
        // Posted from here, the deletion runs once control is back in the
        // event loop, after the code that was running has returned.
        QCoreApplication::postEvent(&chat_, new QDeferredDeleteEvent());
    }
}

TVLChat::TVLChat(QObject* owner)
    : QObject(owner), charList_(this), nameList_(this), friendList_(this), groupList_(this),
      dimensionList_(this), socket_(new plat::ClientSocket(this)), sendTimer_(new QTimer(this)),
      pingTimer_(new QTimer(this)), loginTimer_(new QTimer(this)) {
    sendTimer_->setTimerType(Qt::PreciseTimer);
    pingTimer_->setInterval(PingCheckInterval);
    loginTimer_->setSingleShot(true);
    loginTimer_->setTimerType(Qt::PreciseTimer);
    plat::ConnectGuarded(sendTimer_, &QTimer::timeout, this, [this] { SendTimerTimer(); });
    plat::ConnectGuarded(pingTimer_, &QTimer::timeout, this, [this] { PingTimerTimer(); });
    plat::ConnectGuarded(loginTimer_, &QTimer::timeout, this, [this] { LoginTimerTimer(); });
    // The socket runs its callbacks through plat::Guarded.
    socket_->OnRead = [this](plat::ClientSocket* sender) { ReadNotification(*sender); };
    socket_->OnDisconnect = [this](plat::ClientSocket*) { SocketDisconnect(); };
    socket_->OnError = [this](plat::ClientSocket*, int& code) { SocketError(code); };
}

TVLChat::~TVLChat() {
    shuttingDown_ = true;
    // The socket is a child and goes with the component; it raises nothing
    // while being destroyed.
    socket_->OnRead = nullptr;
    socket_->OnDisconnect = nullptr;
    socket_->OnError = nullptr;
}

bool TVLChat::event(QEvent* e) {
    if (e->type() == QEvent::DeferredDelete && busy_ > 0) {
        // Code of this component is on the stack (a wait runs a nested event
        // loop): end the waits and delete once that code has returned.
        deleteRequested_ = true;
        shuttingDown_ = true;
        WakeWaits();
        return true;
    }
    return QObject::event(e);
}

// --- states and connection -------------------------------------------------

namespace {

// The states in which the engine waits for the server to take the login on.
bool IsLoginStep(TVLChatState state) {
    return state == csConnecting || state == csAuthorizing || state == csAwaitingAuthorization ||
           state == csAwaitingLoginResult;
}

} // namespace

void TVLChat::SetState(TVLChatState state) {
    state_ = state;
    // Every login step gets its own time; choosing a character has none.
    if (IsLoginStep(state)) {
        loginDeadline_ = plat::MonotonicMs() + LoginStepTimeout;
        loginTimer_->start(LoginStepTimeout);
    } else {
        loginTimer_->stop();
    }
    // A wait for a name ends when the state leaves Logged In.
    WakeWaits();
}

void TVLChat::LoginTimerTimer() {
    const TBusy busy(*this);
    if (!IsLoginStep(state_)) {
        return;
    }
    const int64_t remaining = loginDeadline_ - plat::MonotonicMs();
    if (remaining > 0) {
        loginTimer_->start(static_cast<int>(std::min<int64_t>(remaining, LoginStepTimeout)));
        return;
    }
    FailLogin();
}

void TVLChat::FailLogin() {
    loginTimer_->stop();
    socket_->Fail(TimedOutError, QStringLiteral("Connection timed out"));
}

void TVLChat::Connect() {
    const TBusy busy(*this);
    if (!dimension_) {
        throw plat::Exception(QStringLiteral("No dimension selected"));
    }
    const int32_t port = dimension_->Port();
    if (port < 1 || port > 65535) {
        throw plat::Exception(plat::Format("Invalid port number %d", port));
    }
    if (state_ == csDisconnecting) {
        CompleteDisconnect();
        if (state_ != csDisconnected) {
            return; // the OnDisconnect handler connected already
        }
    } else if (state_ != csDisconnected) {
        throw plat::Exception(QStringLiteral("Already connected"));
    }
    reader_.Clear();
    socket_->Open(dimension_->Host(), static_cast<uint16_t>(port));
    SetState(csConnecting);
}

void TVLChat::Disconnect() {
    CloseSocket();
}

void TVLChat::CloseSocket() {
    // Raises the disconnect notification before returning when a socket exists.
    socket_->Close();
}

void TVLChat::SocketDisconnect() {
    const TBusy busy(*this);
    reader_.Clear();
    sendTimer_->stop();
    sendTimer_->setInterval(DisconnectDelay);
    SetState(csDisconnecting);
    sendTimer_->start();
}

void TVLChat::SocketError(int& errorCode) {
    const TBusy busy(*this);
    if (const auto handler = OnError) {
        handler(this, errorCode);
    }
}

void TVLChat::CompleteDisconnect() {
    sendTimer_->stop();
    SetState(csDisconnected);
    ClearLists();
    if (const auto handler = OnDisconnect) {
        handler(this);
    }
}

void TVLChat::ClearLists() {
    nameList_.Clear();
    groupList_.Clear();
    friendList_.Clear();
    charList_.Clear();
    pingTimer_->stop();
    lastSendTick_ = 0;
    sendQueue_.clear();
}

// --- sending ---------------------------------------------------------------

void TVLChat::CheckAllowed(uint8_t clientRow) const {
    if (!InRowSet(VLChatStates[state_].Allowed, clientRow)) {
        throw plat::Exception(plat::Format("Packet type %s not allowed in state %s",
                                           VLClientPackets[clientRow].Name,
                                           VLChatStates[state_].Name));
    }
}

void TVLChat::WriteFrame(const QByteArray& frame) {
    socket_->Write(frame); // raises when the connection does not take it
    lastSendTick_ = plat::TickCount();
}

void TVLChat::SendPacket(const TVLChatOutgoingPacket& packet) {
    CheckAllowed(packet.Index());
    WriteFrame(packet.Frame());
}

void TVLChat::QueuePacket(const TVLChatOutgoingPacket& packet) {
    if (!floodProtection_) {
        SendPacket(packet);
    } else if (!sendTimer_->isActive()) {
        SendPacket(packet);
        sendTimer_->setInterval(SendInterval);
        sendTimer_->start();
    } else {
        // Written now, so that a packet too large for the protocol is refused
        // to the caller rather than at the tick.
        sendQueue_.push_back(TQueued{packet.Index(), packet.Frame()});
    }
}

void TVLChat::SendTimerTimer() {
    const TBusy busy(*this);
    switch (state_) {
    case csLoggedIn:
        if (sendQueue_.empty()) {
            sendTimer_->stop();
        } else {
            // Released whatever the write does; the timer goes on.
            const TQueued next = std::move(sendQueue_.front());
            sendQueue_.pop_front();
            CheckAllowed(next.index);
            WriteFrame(next.frame);
        }
        break;
    case csDisconnecting:
        if (!socket_->Connected()) {
            CompleteDisconnect();
        }
        break;
    default:
        break;
    }
}

void TVLChat::PingTimerTimer() {
    const TBusy busy(*this);
    if (state_ == csLoggedIn &&
        static_cast<uint32_t>(plat::TickCount() - lastSendTick_) > PingIdleLimit) {
        Ping();
    }
}

void TVLChat::Ping() {
    const QByteArray data(1, static_cast<char>(PingDataByte(QTime::currentTime())));
    QueuePacket(TVLChatOutgoingPacket(cpPing, {TPacketArg::Data(data)}));
}

QByteArray TVLChat::MakeLoginKey() const {
    return ::MakeLoginKey(userName_, password_, loginSeed_);
}

void TVLChat::Login() {
    if (userName_.isEmpty()) {
        throw plat::Exception(QStringLiteral("Need a username!"));
    }
    if (password_.isEmpty()) {
        throw plat::Exception(QStringLiteral("No password!"));
    }
    SendPacket(TVLChatOutgoingPacket(
        cpLoginResponseGetCharList,
        {TPacketArg::Int(0), TPacketArg::Text(userName_), TPacketArg::Text(MakeLoginKey())}));
    SetState(csAwaitingAuthorization);
}

// --- what the lists need ---------------------------------------------------

void TVLChat::FireFriendAdd(const std::shared_ptr<TFriendInfo>& entry) {
    if (const auto handler = OnFriendAdd) {
        handler(this, *entry);
    }
}

void TVLChat::FireFriendStatusChange(const std::shared_ptr<TFriendInfo>& entry) {
    if (const auto handler = OnFriendStatusChange) {
        handler(this, *entry);
    }
}

void TVLChat::FireFriendRemove(const std::shared_ptr<TFriendInfo>& entry) {
    if (const auto handler = OnFriendRemove) {
        handler(this, *entry);
    }
}

void TVLChat::FireGroupListChange() {
    if (const auto handler = OnGroupListChange) {
        handler(this);
    }
}

void TVLChat::SendNameLookup(const QByteArray& name) {
    SendPacket(TVLChatOutgoingPacket(cpNameLookup, {TPacketArg::Text(name)}));
}

bool TVLChat::IsLoggedIn() const {
    return state_ == csLoggedIn && !shuttingDown_ && socket_->Connected();
}

void TVLChat::WakeWaits() {
    for (QEventLoop* loop : waitLoops_) {
        loop->quit();
    }
}

void TVLChat::WaitForName(int64_t deadlineMs) {
    const int64_t remaining = deadlineMs - plat::MonotonicMs();
    if (remaining <= 0 || !IsLoggedIn()) {
        return;
    }
    const TBusy busy(*this);
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer);
    connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    deadline.start(static_cast<int>(std::min<int64_t>(remaining, std::numeric_limits<int>::max())));
    waitLoops_.push_back(&loop);
    // A deletion asked for meanwhile waits until busy_ drops (see event()),
    // so the component outlives the loop; the pointer is checked all the same.
    const QPointer<TVLChat> self(this);
    loop.exec();
    if (self) {
        std::erase(waitLoops_, &loop);
    }
}
