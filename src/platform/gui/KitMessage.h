#pragma once
// The kits' own window messages, carried as Qt events in one band of event
// types: message n travels as QEvent::User + n, so the numbers stay visible
// in logs. Qt's registerEventType() hands out types downwards from MaxUser
// and never reaches the band.
//
// An answer travels in the event's Result field, never in sendEvent's return
// value: QObject::event() reports every user event as handled.

#include <QEvent>
#include <QtGlobal>

class QObject;

namespace plat {

class KitMessageEvent final : public QEvent {
public:
    // Message numbers 0 .. kLastMessage.
    static constexpr int kLastMessage = 4095;

    static constexpr QEvent::Type TypeOf(int msg) {
        return static_cast<QEvent::Type>(QEvent::User + msg);
    }
    // True for the event types of the band.
    static constexpr bool InBand(int type) {
        return type >= QEvent::User && type <= QEvent::User + kLastMessage;
    }
    // The event as a kit message, or null when it is anything else.
    static KitMessageEvent* From(QEvent* event);

    // msg must lie in 0 .. kLastMessage.
    explicit KitMessageEvent(int msg, qintptr wParam = 0, qintptr lParam = 0);

    int Msg() const { return msg_; }

    qintptr WParam = 0;
    qintptr LParam = 0;
    qintptr Result = 0;

private:
    int msg_;
};

static_assert(QEvent::User + KitMessageEvent::kLastMessage <= QEvent::MaxUser);

// A character offered to the controls of a window as an accelerator (a
// label with the caption "&Name" acts on N): WParam is the character's
// UTF-16 code; a control that acts on it sets Result to 1. The toolbar
// kit's key router offers typed accelerators this way.
inline constexpr int kDialogCharMessage = 1300;

// Delivers the message at once (the receiver must live in this thread) and
// returns the receiver's Result; 0 for a null receiver.
qintptr SendMessage(QObject* receiver, int msg, qintptr wParam = 0, qintptr lParam = 0);
// Queues the message for the receiver's thread; callable from any thread.
void PostMessage(QObject* receiver, int msg, qintptr wParam = 0, qintptr lParam = 0);
// Sends when the receiver lives in the calling thread, else posts; no answer.
void SendNotifyMessage(QObject* receiver, int msg, qintptr wParam = 0, qintptr lParam = 0);

} // namespace plat
