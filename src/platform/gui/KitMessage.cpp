#include "platform/gui/KitMessage.h"

#include <QCoreApplication>
#include <QObject>
#include <QThread>

namespace plat {

KitMessageEvent* KitMessageEvent::From(QEvent* event) {
    // The type alone is not proof: another library may use the same numbers.
    return event != nullptr && InBand(event->type()) ? dynamic_cast<KitMessageEvent*>(event)
                                                     : nullptr;
}

KitMessageEvent::KitMessageEvent(int msg, qintptr wParam, qintptr lParam)
    : QEvent(TypeOf(msg)), WParam(wParam), LParam(lParam), msg_(msg) {
    Q_ASSERT(msg >= 0 && msg <= kLastMessage);
}

qintptr SendMessage(QObject* receiver, int msg, qintptr wParam, qintptr lParam) {
    if (receiver == nullptr) {
        return 0;
    }
    KitMessageEvent event(msg, wParam, lParam);
    QCoreApplication::sendEvent(receiver, &event);
    return event.Result;
}

void PostMessage(QObject* receiver, int msg, qintptr wParam, qintptr lParam) {
    if (receiver != nullptr) {
        QCoreApplication::postEvent(receiver, new KitMessageEvent(msg, wParam, lParam));
    }
}

void SendNotifyMessage(QObject* receiver, int msg, qintptr wParam, qintptr lParam) {
    if (receiver != nullptr && receiver->thread() == QThread::currentThread()) {
        SendMessage(receiver, msg, wParam, lParam);
    } else {
        PostMessage(receiver, msg, wParam, lParam);
    }
}

} // namespace plat
