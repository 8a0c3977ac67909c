#pragma once
// Driving menus without a display: input delivered the way the window system
// delivers it while a menu holds the mouse, scripts whose steps run inside
// the running menu loop, and a fixture with a pop-up menu on a fake screen,
// a manual clock and counted clicks and beeps.

#include "PlatformFakes.h"

#include "dockkit/items/DkItem/DkItem.h"
#include "dockkit/items/DkItemViewer.h"
#include "dockkit/items/DkView/DkView.h"
#include "dockkit/menus/DkPopupMenu.h"

#include "platform/core/Clock.h"
#include "platform/gui/Sound.h"

#include <QEvent>
#include <QPoint>
#include <QWidget>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>

// Mutes what the offscreen platform says about grabs, masks and opacity it
// cannot do.
class QuietPlatform {
public:
    QuietPlatform();
    ~QuietPlatform();
    QuietPlatform(const QuietPlatform&) = delete;
    QuietPlatform& operator=(const QuietPlatform&) = delete;

private:
    QtMessageHandler previous_;
};

// Input as the window system hands it on: mouse events go to the widget that
// holds the mouse, else to the one under the point; keys to the focus widget,
// else to `fallback`.
void SendMouse(QEvent::Type type, QPoint global, Qt::MouseButton button = Qt::LeftButton,
               QWidget* fallback = nullptr);
void MoveMouse(QPoint global);
void ClickMouse(QPoint global, Qt::MouseButton button = Qt::LeftButton);
void SendKey(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = {},
             QWidget* fallback = nullptr);
// A key that types the character.
void TypeChar(QChar ch, QWidget* fallback = nullptr);

// The views of the running menu loop, the loop's own first.
std::vector<TDkView*> OpenMenuViews();
// The view of the running menus that shows the item, or null.
TDkView* ViewShowing(const TDkCustomItem* item);
// The screen point at the middle of the item's viewer in the running menus.
QPoint ScreenCenterOf(const TDkCustomItem* item);
// The item selected in the deepest open menu, or null.
TDkCustomItem* SelectedItem();
// How many pop-up windows are open.
int OpenPopupCount();

// Steps that run one after another inside the running event loop. After the
// last step a menu loop that still runs is cancelled, so that a test that
// fails never hangs.
class MenuScript {
public:
    MenuScript& Then(std::function<void()> step);
    // One step per key: "v" Down, "^" Up, "<" Home, ">" End, "t" Tab, "T"
    // Shift+Tab, "r" Return, "e" Escape, "A" Alt, "F" F10, "R" Right, "L"
    // Left; a character after "'" types it.
    MenuScript& Keys(const char* keys);
    // Posts the first step; call before the loop starts.
    void Start();
    // Drops the steps not run and the pending call of the next one.
    void Finish();
    bool LeftLoopRunning() const { return leftRunning_; }
    int StepsRun() const { return run_; }
    bool AllRun() const { return steps_.empty(); }

private:
    void Next();
    void Post();
    std::deque<std::function<void()>> steps_;
    std::unique_ptr<QObject> context_ = std::make_unique<QObject>();
    bool leftRunning_ = false;
    int run_ = 0;
};

// A context menu on an 1024 x 768 screen, with the menu show delay 400 on a
// manual clock, no menu animation, and every click and beep counted.
class MenuTest : public ::testing::Test {
public:
    ~MenuTest() override;

protected:
    MenuTest();

    // An item with the caption under `parent` (the menu's root when null);
    // with `submenu`, it opens a pop-up of its own subitems (and its clicks,
    // which come with each opening, are counted but not logged).
    TDkCustomItem* AddItem(const char* caption, TDkCustomItem* parent = nullptr,
                           bool submenu = false);
    int Clicks(const TDkCustomItem* item) const;
    // The commands chosen so far (items without a submenu), by caption, in order.
    std::string ClickLog() const { return clickLog_; }
    // Runs the menu at the point with the script, then lets the deferred
    // click run. Fails when the script left the loop running or a click ran
    // before the menu had closed.
    void RunMenu(QPoint at = QPoint(100, 100));
    // Moves the clock and fires the timers that are due.
    void Advance(int ms);

    QuietPlatform quiet_;
    FakeScreens screens_{{{plat::TRect(0, 0, 1024, 768), plat::TRect(0, 0, 1024, 768)}}};
    FakeSystemParameters params_;
    plat::ManualClock clock_{100000};
    int beeps_ = 0;
    plat::ScopedMessageBeep beep_{[this] { ++beeps_; }};
    QWidget desk_;
    QObject owner_;
    TDkPopupMenu menu_{&owner_};
    MenuScript script_;
    bool insidePopup_ = false;
    bool clickInsidePopup_ = false;
    std::map<const TDkCustomItem*, int> clicks_;
    std::string clickLog_;
};
