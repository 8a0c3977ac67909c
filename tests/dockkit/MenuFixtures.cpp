#include "MenuFixtures.h"
#include "MouseInput.h"

#include "dockkit/common/DkModalLoop.h"
#include "dockkit/common/DkTimers.h"
#include "dockkit/menus/DkMenuLoop.h"
#include "dockkit/menus/DkPopupWindow.h"

#include "platform/core/Guarded.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

#include <cstring>

namespace {

Qt::MouseButtons& HeldButtons() {
    static Qt::MouseButtons held;
    return held;
}

QtMessageHandler& PreviousHandler() {
    static QtMessageHandler previous = nullptr;
    return previous;
}

void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QLatin1String("This plugin does not support"))) {
        return;
    }
    if (PreviousHandler() != nullptr) {
        PreviousHandler()(type, context, message);
    }
}

} // namespace

QuietPlatform::QuietPlatform() : previous_(qInstallMessageHandler(QuietHandler)) {
    PreviousHandler() = previous_;
}

QuietPlatform::~QuietPlatform() {
    qInstallMessageHandler(previous_);
}

void SendMouse(QEvent::Type type, QPoint global, Qt::MouseButton button, QWidget* fallback) {
    Qt::MouseButtons& held = HeldButtons();
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
        held |= button;
    } else if (type == QEvent::MouseButtonRelease) {
        held &= ~Qt::MouseButtons(button);
    }
    SendMouseAt(type, global, button, held, fallback);
}

void MoveMouse(QPoint global) {
    SendMouse(QEvent::MouseMove, global);
}

void ClickMouse(QPoint global, Qt::MouseButton button) {
    SendMouse(QEvent::MouseButtonPress, global, button);
    SendMouse(QEvent::MouseButtonRelease, global, button);
}

void SendKey(int key, Qt::KeyboardModifiers modifiers, const QString& text, QWidget* fallback) {
    QWidget* target = QApplication::focusWidget();
    if (target == nullptr) {
        target = fallback != nullptr ? fallback : QApplication::activeWindow();
    }
    if (target == nullptr && !QApplication::topLevelWidgets().isEmpty()) {
        target = QApplication::topLevelWidgets().first();
    }
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(target, &release);
}

void TypeChar(QChar ch, QWidget* fallback) {
    const QChar upper = ch.toUpper();
    const int key = upper.isLetterOrNumber() ? upper.unicode() : ch.unicode();
    SendKey(key, Qt::NoModifier, QString(ch), fallback);
}

std::vector<TDkView*> OpenMenuViews() {
    std::vector<TDkView*> views;
    for (TDkView* view = dk::RunningMenuLoopView(); view != nullptr; view = view->OpenView()) {
        views.push_back(view);
    }
    return views;
}

TDkView* ViewShowing(const TDkCustomItem* item) {
    for (TDkView* view : OpenMenuViews()) {
        for (int i = 0; i < view->ViewerCount(); ++i) {
            if (view->Viewers(i)->Item() == item) {
                return view;
            }
        }
    }
    return nullptr;
}

QPoint ScreenCenterOf(const TDkCustomItem* item) {
    TDkView* view = ViewShowing(item);
    if (view == nullptr) {
        ADD_FAILURE() << "no open menu shows " << item->Caption().toStdString();
        return {};
    }
    view->ValidatePositions();
    const TDkItemViewer* viewer = view->Find(item);
    const QWidget* window = view->Window();
    return window->mapToGlobal(window->contentsRect().topLeft() +
                               viewer->BoundsRect.ToQRect().center());
}

TDkCustomItem* SelectedItem() {
    const std::vector<TDkView*> views = OpenMenuViews();
    if (views.empty() || views.back()->Selected() == nullptr) {
        return nullptr;
    }
    return views.back()->Selected()->Item();
}

int OpenPopupCount() {
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        count += qobject_cast<TDkPopupWindow*>(widget) != nullptr && widget->isVisible() ? 1 : 0;
    }
    return count;
}

MenuScript& MenuScript::Then(std::function<void()> step) {
    steps_.push_back(std::move(step));
    return *this;
}

MenuScript& MenuScript::Keys(const char* keys) {
    static const char letters[] = "v^<>tTreAFRL";
    static const int codes[] = {Qt::Key_Down, Qt::Key_Up,      Qt::Key_Home,   Qt::Key_End,
                                Qt::Key_Tab,  Qt::Key_Backtab, Qt::Key_Return, Qt::Key_Escape,
                                Qt::Key_Alt,  Qt::Key_F10,     Qt::Key_Right,  Qt::Key_Left};
    while (*keys != 0) {
        const char k = *keys++;
        const char* letter = std::strchr(letters, k);
        if (k == '\'') {
            Then([ch = QChar::fromLatin1(*keys++)] { TypeChar(ch); });
        } else if (letter != nullptr) {
            const int code = codes[letter - letters];
            const Qt::KeyboardModifiers modifiers = k == 'T'   ? Qt::ShiftModifier
                                                    : k == 'A' ? Qt::AltModifier
                                                               : Qt::NoModifier;
            const QString text = QString::fromLatin1(k == 't'   ? "\t"
                                                     : k == 'r' ? "\r"
                                                     : k == 'e' ? "\x1b"
                                                                : "");
            Then([=] { SendKey(code, modifiers, text); });
        } else {
            ADD_FAILURE() << "unknown key " << k;
        }
    }
    return *this;
}

void MenuScript::Start() {
    Post();
}

void MenuScript::Post() {
    QTimer::singleShot(0, context_.get(), [this] { Next(); });
}

void MenuScript::Finish() {
    steps_.clear();
    context_ = std::make_unique<QObject>();
}

void MenuScript::Next() {
    if (steps_.empty()) {
        // A loop that has ended may not have unwound yet.
        if (dk::ModalMouseLoop* loop = dk::ModalMouseLoop::Current(); loop && loop->Running()) {
            leftRunning_ = true;
            loop->Cancel();
        }
        return;
    }
    const std::function<void()> step = std::move(steps_.front());
    steps_.pop_front();
    ++run_;
    step();
    Post();
}

MenuTest::MenuTest() {
    desk_.setGeometry(0, 0, 1024, 768);
    desk_.show();
    QCursor::setPos(1020, 760);
    menu_.OnPopup = nullptr;
}

MenuTest::~MenuTest() {
    HeldButtons() = Qt::NoButton;
}

TDkCustomItem* MenuTest::AddItem(const char* caption, TDkCustomItem* parent, bool submenu) {
    auto* item = new TDkCustomItem(&owner_);
    item->SetCaption(QString::fromUtf8(caption));
    // Opening a submenu clicks its item; that is counted but is no command.
    if (submenu) {
        item->SetItemStyle(item->ItemStyle() | dk::StyleSubmenu);
    }
    item->OnClick = [this, item, submenu](QObject*) {
        ++clicks_[item];
        if (!submenu) {
            clickLog_ += (clickLog_.empty() ? "" : " ") + item->Caption().toStdString();
            clickInsidePopup_ = clickInsidePopup_ || insidePopup_;
        }
    };
    (parent != nullptr ? parent : menu_.Items())->Add(item);
    return item;
}

int MenuTest::Clicks(const TDkCustomItem* item) const {
    const auto it = clicks_.find(item);
    return it != clicks_.end() ? it->second : 0;
}

void MenuTest::RunMenu(QPoint at) {
    script_.Start();
    insidePopup_ = true;
    // As an event handler of the program runs it: what the menu throws goes
    // to the application's handler.
    plat::Guarded([&] { menu_.Popup(at.x(), at.y()); });
    insidePopup_ = false;
    EXPECT_TRUE(script_.AllRun()) << "the menu closed before the script's step "
                                  << script_.StepsRun() + 1;
    script_.Finish();
    EXPECT_FALSE(script_.LeftLoopRunning()) << "the script ended with the menu still open";
    EXPECT_EQ(dk::RunningMenuLoopView(), nullptr);
    EXPECT_EQ(OpenPopupCount(), 0);
    QCoreApplication::sendPostedEvents();
    EXPECT_FALSE(clickInsidePopup_) << "a click ran before the menu had closed";
}

void MenuTest::Advance(int ms) {
    clock_.Advance(ms);
    dk::FireDueTimers();
}
