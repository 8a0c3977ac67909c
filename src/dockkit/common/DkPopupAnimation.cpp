#include "dockkit/common/DkPopupAnimation.h"

#include "dockkit/common/DkCommon.h"
#include "dockkit/common/DkMessages.h"
#include "dockkit/common/DkModalLoop.h"

#include "platform/gui/KitMessage.h"
#include "platform/gui/MulDiv.h"
#include "platform/gui/SystemParams.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QRegion>
#include <QWidget>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace dk {

namespace {

constexpr int kStepSize = 16;
constexpr int kFadeStart = 32;

quint64 PackPoint(QPoint p) {
    return (static_cast<quint64>(static_cast<quint32>(p.x())) << 32) | static_cast<quint32>(p.y());
}

QPoint UnpackPoint(quint64 v) {
    return {static_cast<int>(static_cast<quint32>(v >> 32)),
            static_cast<int>(static_cast<quint32>(v))};
}

// What the GUI thread and the worker share. Everything but the atomics is
// fixed before the worker starts.
struct Shared {
    int timeMs = 0;
    QRect clientRect; // screen coordinates
    QPoint startCursor;
    qintptr sequence = 0;
    QObject* relay = nullptr;
    std::atomic<int> current{0};
    std::atomic<bool> stop{false};
    std::atomic<bool> finished{false};
    std::atomic<int> stepPending{0};
    std::atomic<quint64> cursor{0};
    std::mutex mutex;
    std::condition_variable wake;
};

// The GUI thread's side: the window, its picture and where it is shown.
struct Animation {
    QPointer<QWidget> window;
    bool fade = false;
    unsigned directions = 0;
    QPixmap picture;
    QPoint offset;
    bool stepPaint = false;      // a step is painting the window
    bool firstPaintDone = false; // the showing paint is the picture too
    std::shared_ptr<Shared> shared;
    std::thread worker;
};

Animation& Current() {
    static Animation animation;
    return animation;
}

qintptr& Sequence() {
    static qintptr sequence = 0;
    return sequence;
}

// Receives the worker's step messages in the GUI thread and hands them to the
// animated window, and records the pointer for the worker.
class Relay final : public QObject {
public:
    using QObject::QObject;
    ~Relay() override { FinishPopupAnimation(nullptr); }

    bool event(QEvent* e) override {
        const plat::KitMessageEvent* message = plat::KitMessageEvent::From(e);
        if (message == nullptr || message->Msg() != kAnimationStepMessage) {
            return QObject::event(e);
        }
        if (QWidget* window = Current().window) {
            plat::SendMessage(window, kAnimationStepMessage, 0, message->LParam);
        }
        return true;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::MouseMove && Current().shared) {
            const QPoint p = static_cast<QMouseEvent*>(e)->globalPosition().toPoint();
            Current().shared->cursor.store(PackPoint(p), std::memory_order_relaxed);
        }
        return QObject::eventFilter(watched, e);
    }
};

Relay* TheRelay() {
    static QPointer<Relay> relay;
    if (relay == nullptr) {
        relay = new Relay(QCoreApplication::instance());
    }
    return relay;
}

void Work(std::shared_ptr<Shared> shared) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    QPoint last = shared->startCursor;
    while (!shared->stop.load()) {
        const auto elapsed =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
        const int step = PopupAnimationStepAt(elapsed, shared->timeMs);
        if (step < 0) {
            break;
        }
        const QPoint cursor = UnpackPoint(shared->cursor.load(std::memory_order_relaxed));
        if (cursor != last) {
            // The user is reaching into the menu: show it whole at once.
            if (shared->clientRect.contains(cursor)) {
                break;
            }
            last = cursor;
        }
        const int current = shared->current.load();
        if (step > current) {
            shared->current.store(step);
            if (shared->stepPending.exchange(1) == 0) {
                plat::PostMessage(shared->relay, kAnimationStepMessage, 0, shared->sequence);
            }
            continue;
        }
        const int waitMs =
            std::max(1, plat::MulDiv(current + kStepSize - step, shared->timeMs, 255));
        std::unique_lock lock(shared->mutex);
        shared->wake.wait_for(lock, std::chrono::milliseconds(waitMs),
                              [&] { return shared->stop.load(); });
    }
    shared->finished.store(true);
    if (!shared->stop.load()) {
        plat::PostMessage(shared->relay, kAnimationStepMessage, 0, shared->sequence);
    }
}

QRegion SlideMask(QPoint offset, QSize size) {
    // Outside the window when nothing shows yet: an empty region would mean
    // no mask at all.
    return QRegion(QRect(offset, size));
}

} // namespace

int PopupAnimationStepAt(int64_t elapsedMs, int timeMs) {
    if (timeMs <= 0 || elapsedMs >= timeMs) {
        return -1;
    }
    const int raw = plat::MulDiv(255, static_cast<int>(elapsedMs), timeMs);
    const int step = raw / kStepSize * kStepSize;
    return step < 0 || step >= 255 ? -1 : step;
}

QPoint PopupSlideOffset(QSize size, int step, unsigned directions) {
    const auto along = [step](int extent) { return plat::MulDiv(extent, step, 255); };
    int x = 0;
    int y = 0;
    if ((directions & adTopToBottom) != 0) {
        y = along(size.height()) - size.height();
    } else if ((directions & adBottomToTop) != 0) {
        y = size.height() - along(size.height());
    }
    if ((directions & adLeftToRight) != 0) {
        x = along(size.width()) - size.width();
    } else if ((directions & adRightToLeft) != 0) {
        x = size.width() - along(size.width());
    }
    return {x, y};
}

void BeginPopupAnimation(QWidget* window, int timeMs, bool fade, unsigned directions) {
    FinishPopupAnimation(nullptr);
    if (window == nullptr) {
        return;
    }
    Relay* relay = TheRelay();
    Animation& a = Current();
    // Fading needs a window system that blends windows; else it slides.
    a.fade = fade && plat::CurrentSystemParameters().LayeredWindows();
    a.directions = directions;
    a.picture = window->grab();
    a.window = window;
    a.stepPaint = false;
    a.firstPaintDone = false;
    auto shared = std::make_shared<Shared>();
    shared->timeMs = timeMs;
    shared->clientRect =
        QRect(window->mapToGlobal(window->contentsRect().topLeft()), window->contentsRect().size());
    shared->relay = relay;
    shared->startCursor = CursorPos();
    shared->cursor.store(PackPoint(shared->startCursor));
    if (a.fade) {
        shared->current.store(kFadeStart);
        window->setWindowOpacity(kFadeStart / 255.0);
    } else {
        a.offset = PopupSlideOffset(window->size(), 0, directions);
        window->setMask(SlideMask(a.offset, window->size()));
    }
    a.shared = shared;
    window->setAttribute(Qt::WA_ShowWithoutActivating);
    // The window's own showing rules lead here: show it past them.
    window->QWidget::setVisible(true);
    QCoreApplication::instance()->installEventFilter(relay);
    shared->sequence = ++Sequence();
    try {
        a.worker = std::thread(Work, shared);
    } catch (const std::system_error&) {
        FinishPopupAnimation(window);
    }
}

bool PopupAnimationStep(QWidget* window, qintptr sequence) {
    Animation& a = Current();
    if (!a.shared || window == nullptr || a.window != window || a.shared->sequence != sequence) {
        return false;
    }
    if (a.shared->finished.load()) {
        FinishPopupAnimation(window);
        return true;
    }
    const int step = a.shared->current.load();
    if (a.fade) {
        window->setWindowOpacity(step / 255.0);
    } else {
        a.offset = PopupSlideOffset(window->size(), step, a.directions);
        window->setMask(SlideMask(a.offset, window->size()));
        a.stepPaint = true;
        window->repaint();
        a.stepPaint = false;
    }
    a.shared->stepPending.store(0);
    return true;
}

void FinishPopupAnimation(QWidget* window) {
    Animation& a = Current();
    if (!a.shared || (window != nullptr && a.window != window)) {
        return;
    }
    {
        std::lock_guard lock(a.shared->mutex);
        a.shared->stop.store(true);
    }
    a.shared->wake.notify_all();
    if (a.worker.joinable()) {
        a.worker.join();
    }
    if (QObject* relay = a.shared->relay) {
        // A step the worker sent before it stopped must not reach the window.
        DiscardMessages(relay, kAnimationStepMessage, kAnimationStepMessage);
        QCoreApplication::instance()->removeEventFilter(relay);
    }
    const QPointer<QWidget> target = a.window;
    const bool faded = a.fade;
    a.shared.reset();
    a.window = nullptr;
    a.picture = QPixmap();
    a.stepPaint = false;
    if (target == nullptr) {
        return;
    }
    if (faded) {
        target->setWindowOpacity(1.0);
    } else {
        target->clearMask();
    }
    target->update();
    plat::SendNotifyMessage(target, kAnimationEndedMessage);
}

bool PopupAnimating(const QWidget* window) {
    const Animation& a = Current();
    return a.shared != nullptr && window != nullptr && a.window == window;
}

bool PaintPopupAnimation(const QWidget* window, QPainter& painter) {
    Animation& a = Current();
    if (!PopupAnimating(window) || (!a.stepPaint && a.firstPaintDone)) {
        return false;
    }
    a.firstPaintDone = true;
    painter.drawPixmap(a.fade ? QPoint() : a.offset, a.picture);
    return true;
}

qintptr PopupAnimationSequence() {
    return Sequence();
}

} // namespace dk
