#include "platform/gui/KitMessage.h"

#include "WaitUntil.h"

#include <QCoreApplication>
#include <QObject>
#include <QThread>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using namespace plat;

namespace {

constexpr int kQueryBackColor = 1262;
constexpr int kAnimationStep = 2389;

// Answers kQueryBackColor with WParam + LParam; records every kit message.
class Receiver : public QObject {
public:
    struct Seen {
        int msg;
        qintptr wParam;
        qintptr lParam;
        QThread* thread;
    };
    std::vector<Seen> seen;
    int foreign = 0;

protected:
    bool event(QEvent* e) override {
        if (KitMessageEvent* m = KitMessageEvent::From(e)) {
            seen.push_back({m->Msg(), m->WParam, m->LParam, QThread::currentThread()});
            if (m->Msg() == kQueryBackColor) {
                m->Result = m->WParam + m->LParam;
            }
            return true;
        }
        if (e->type() >= QEvent::User) {
            ++foreign;
        }
        return QObject::event(e);
    }
};

TEST(KitMessage, AnswersTravelInTheResultFieldAndForeignEventsAreNotOurs) {
    Receiver receiver;
    EXPECT_EQ(SendMessage(&receiver, kQueryBackColor, 40, 2), 42);
    EXPECT_EQ(SendMessage(&receiver, kAnimationStep, 1, 2), 0);
    // A plain object ignores the message: no answer, although Qt calls it handled.
    QObject plain;
    EXPECT_EQ(SendMessage(&plain, kQueryBackColor, 40, 2), 0);
    EXPECT_EQ(SendMessage(nullptr, kQueryBackColor, 40, 2), 0);
    ASSERT_EQ(receiver.seen.size(), 2u);
    EXPECT_EQ(receiver.seen[1].msg, kAnimationStep);

    // Foreign events in the same numbers are not ours.
    receiver.seen.clear();
    QEvent lookalike(KitMessageEvent::TypeOf(kQueryBackColor));
    QCoreApplication::sendEvent(&receiver, &lookalike);
    EXPECT_EQ(receiver.foreign, 1);
    EXPECT_TRUE(receiver.seen.empty());
    EXPECT_EQ(KitMessageEvent::From(nullptr), nullptr);
    KitMessageEvent last(KitMessageEvent::kLastMessage);
    EXPECT_EQ(KitMessageEvent::From(&last), &last);
}

TEST(KitMessage, PostsFromAWorkerArriveInOrderOnTheReceiversThread) {
    Receiver receiver;
    std::thread worker([&] {
        for (int i = 1; i <= 3; ++i) {
            PostMessage(&receiver, kAnimationStep, 0, i);
        }
        SendNotifyMessage(&receiver, kAnimationStep, 0, 4); // not our thread: posted
    });
    worker.join();
    EXPECT_TRUE(receiver.seen.empty()); // nothing ran on the worker
    ASSERT_TRUE(WaitUntil([&] { return receiver.seen.size() == 4; }));
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(receiver.seen[i].lParam, static_cast<qintptr>(i + 1));
        EXPECT_EQ(receiver.seen[i].thread, receiver.thread());
    }
    // On the receiver's own thread the notification is delivered at once.
    SendNotifyMessage(&receiver, kAnimationStep, 0, 5);
    ASSERT_EQ(receiver.seen.size(), 5u);
    EXPECT_EQ(receiver.seen.back().lParam, 5);
}

} // namespace
