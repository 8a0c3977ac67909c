// Pop-up windows fading or sliding in: the step pacing, the worker that
// drives it, and which steps count; and how a pop-up window decides to
// animate or show at once.

#include "MenuFixtures.h"
#include "WaitUntil.h"

#include "dockkit/menus/DkPopupAnimation.h"
#include "dockkit/menus/DkPopupWindow.h"

#include "platform/gui/KitMessage.h"

#include <QElapsedTimer>
#include <QPainter>

#include <algorithm>

namespace {

using dk::adBottomToTop;
using dk::adLeftToRight;
using dk::adRightToLeft;
using dk::adTopToBottom;

TEST(AnimationStep, GoesBySixteenthsAndEndsInTime) {
    const std::tuple<int64_t, int, int> cases[] = {{0, 150, 0},     {10, 150, 16},   {75, 150, 128},
                                                   {140, 150, 224}, {149, 150, 240}, {150, 150, -1},
                                                   {400, 150, -1},  {0, 0, -1}};
    for (const auto& [elapsed, time, step] : cases) {
        EXPECT_EQ(dk::PopupAnimationStepAt(elapsed, time), step) << elapsed << " of " << time;
    }
}

TEST(SlideOffset, MovesThePictureInFromItsSide) {
    const std::tuple<unsigned, int, QPoint> cases[] = {
        {adTopToBottom, 0, QPoint(0, -60)},
        {adTopToBottom, 128, QPoint(0, -30)},
        {adTopToBottom, 255, QPoint(0, 0)},
        {adBottomToTop, 0, QPoint(0, 60)},
        {adLeftToRight, 64, QPoint(-75, 0)},
        {adRightToLeft, 0, QPoint(100, 0)},
        {adTopToBottom | adLeftToRight, 0, QPoint(-100, -60)},
        {0, 0, QPoint(0, 0)}};
    for (const auto& [directions, step, offset] : cases) {
        EXPECT_EQ(dk::PopupSlideOffset(QSize(100, 60), step, directions), offset)
            << directions << " step " << step;
    }
}

// A window that animates like a pop-up and notes the messages it gets: "S"
// an applied step, "s" an ignored one, "E" the end.
class AnimatedWindow : public QWidget {
public:
    AnimatedWindow(QPoint at) : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint) {
        setGeometry(QRect(at, QSize(100, 100)));
    }
    ~AnimatedWindow() override { dk::FinishPopupAnimation(this); }
    std::string Log;
    int Count(char c) const { return static_cast<int>(std::count(Log.begin(), Log.end(), c)); }

protected:
    bool event(QEvent* e) override {
        if (const plat::KitMessageEvent* m = plat::KitMessageEvent::From(e)) {
            if (m->Msg() == dk::kAnimationStepMessage) {
                const bool applied = dk::PopupAnimationStep(this, m->LParam);
                Log += applied ? 'S' : 's';
                return true;
            }
            if (m->Msg() == dk::kAnimationEndedMessage) {
                Log += 'E';
                return true;
            }
        }
        return QWidget::event(e);
    }
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        if (!dk::PaintPopupAnimation(this, painter)) {
            dk::FinishPopupAnimation(this);
            painter.fillRect(rect(), Qt::darkBlue);
        }
    }
};

class PopupAnimation : public ::testing::Test {
protected:
    PopupAnimation() { QCursor::setPos(790, 790); }
    QuietPlatform quiet_;
    FakeSystemParameters params_;
};

TEST_F(PopupAnimation, ASlideStepsAtMostSixteenTimesThenShowsTheWindowWhole) {
    AnimatedWindow window(QPoint(200, 200));
    dk::BeginPopupAnimation(&window, 64, false, adTopToBottom);
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(dk::PopupAnimating(&window));
    EXPECT_FALSE(window.mask().isEmpty()) << "nothing of it shows yet";
    ASSERT_TRUE(WaitUntil([&] { return window.Count('E') > 0; }, 3000));
    EXPECT_EQ(window.Count('E'), 1);
    EXPECT_GE(window.Count('S'), 1);
    EXPECT_LE(window.Count('S'), 17);
    EXPECT_EQ(window.Count('s'), 0);
    EXPECT_FALSE(dk::PopupAnimating(&window));
    EXPECT_TRUE(window.mask().isEmpty());
}

TEST_F(PopupAnimation, AFadeNeedsAWindowSystemThatBlends) {
    AnimatedWindow window(QPoint(200, 200));
    dk::BeginPopupAnimation(&window, 10000, true, 0);
    EXPECT_EQ(window.windowOpacity(), 1.0) << "without blending it slides";
    EXPECT_FALSE(window.mask().isEmpty());
    dk::FinishPopupAnimation(&window);

    params_.Answers.LayeredWindows = true;
    dk::BeginPopupAnimation(&window, 10000, true, 0);
    EXPECT_NEAR(window.windowOpacity(), 32 / 255.0, 0.01);
    EXPECT_TRUE(window.mask().isEmpty());
    dk::FinishPopupAnimation(&window);
    EXPECT_EQ(window.windowOpacity(), 1.0);
    EXPECT_EQ(window.Log, "EE");
}

TEST_F(PopupAnimation, ASecondAnimationEndsTheFirstBeforeItsOwnSteps) {
    AnimatedWindow first(QPoint(200, 200));
    AnimatedWindow second(QPoint(400, 200));
    dk::BeginPopupAnimation(&first, 10000, false, adLeftToRight);
    const qintptr firstSequence = dk::PopupAnimationSequence();
    dk::BeginPopupAnimation(&second, 10000, false, adLeftToRight);
    EXPECT_EQ(first.Log, "E");
    EXPECT_TRUE(first.mask().isEmpty());
    EXPECT_TRUE(dk::PopupAnimating(&second));
    // A step of the first animation counts for neither window.
    EXPECT_FALSE(dk::PopupAnimationStep(&first, firstSequence));
    EXPECT_FALSE(dk::PopupAnimationStep(&second, firstSequence));
    EXPECT_EQ(second.Log, "");
    dk::FinishPopupAnimation(&second);
    EXPECT_EQ(second.Log, "E");
}

TEST_F(PopupAnimation, ThePointerReachingIntoTheWindowEndsItAtOnce) {
    AnimatedWindow window(QPoint(200, 200));
    QElapsedTimer elapsed;
    elapsed.start();
    // Two seconds, so that the worker looks at the pointer every 125 ms.
    dk::BeginPopupAnimation(&window, 2000, false, adTopToBottom);
    // The menu loop holds the mouse, so the move reaches the program.
    SendMouse(QEvent::MouseMove, QPoint(250, 250), Qt::NoButton, &window);
    ASSERT_TRUE(WaitUntil([&] { return window.Count('E') > 0; }, 5000));
    EXPECT_LT(elapsed.elapsed(), 1000);
    EXPECT_FALSE(dk::PopupAnimating(&window));
}

TEST_F(PopupAnimation, OnlyTheFirstPaintAndTheStepsShowThePictureAndLateStepsDoNothing) {
    AnimatedWindow window(QPoint(200, 200));
    dk::BeginPopupAnimation(&window, 10000, false, adTopToBottom);
    window.grab(); // the showing paint
    EXPECT_TRUE(dk::PopupAnimating(&window));
    window.grab(); // anything else painting: the menu changed
    EXPECT_FALSE(dk::PopupAnimating(&window));
    // A step arriving after the end changes nothing.
    plat::SendMessage(&window, dk::kAnimationStepMessage, 0, dk::PopupAnimationSequence());
    EXPECT_EQ(window.Log, "Es");
    EXPECT_TRUE(window.mask().isEmpty());
}

TEST_F(PopupAnimation, AWindowDeletedWhileItAnimatesStopsTheWorker) {
    auto* window = new AnimatedWindow(QPoint(200, 200));
    dk::BeginPopupAnimation(window, 10000, false, adTopToBottom);
    delete window;
    EXPECT_FALSE(dk::PopupAnimating(nullptr));
    AnimatedWindow next(QPoint(200, 200));
    dk::BeginPopupAnimation(&next, 64, false, adTopToBottom);
    ASSERT_TRUE(WaitUntil([&] { return next.Count('E') > 0; }, 3000));
}

// --- How a pop-up window shows itself ----------------------------------------------------

// Notes the pop-up notifications (codes 1, 2, 3) and may veto the animation.
class NotedPopup : public TDkPopupWindow {
public:
    using TDkPopupWindow::TDkPopupWindow;
    std::string Codes;
    bool Veto = false;

protected:
    bool event(QEvent* e) override {
        if (plat::KitMessageEvent* m = plat::KitMessageEvent::From(e)) {
            if (m->Msg() == dk::kPopupNotifyMessage) {
                Codes += static_cast<char>('0' + m->WParam);
                m->Result = m->WParam == 1 && Veto ? 1 : 0;
                return true;
            }
        }
        return TDkPopupWindow::event(e);
    }
};

TEST_F(PopupAnimation, APopupAnimatesOnlyWhenAllowedAndSaysHowItShowed) {
    const struct {
        const char* name;
        bool animation, fade;
        unsigned direction;
        bool veto, selected, parentClosing;
        const char* codes; // after showing and ending any animation
        bool animated;
    } cases[] = {
        {"animation off", false, false, adTopToBottom, false, false, false, "3", false},
        {"slide", true, false, adTopToBottom, false, false, false, "12", true},
        {"fade without a direction", true, true, 0, false, false, false, "12", true},
        {"no direction, no fade", true, false, 0, false, false, false, "3", false},
        {"vetoed", true, false, adTopToBottom, true, false, false, "13", false},
        {"opened with a selection", true, false, adTopToBottom, false, true, false, "3", false},
        {"parent closing", true, false, adTopToBottom, false, false, true, "3", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        params_.Answers.MenuAnimation = c.animation;
        params_.Answers.MenuFade = c.fade;
        QObject owner;
        QWidget parentWindow;
        auto* root = new TDkRootItem(&owner);
        auto* item = new TDkCustomItem(&owner);
        item->SetCaption(QStringLiteral("&Item"));
        root->Add(item);
        TDkView parent(&owner, nullptr, root, &parentWindow, false, false, false);
        parent.SetState(vsClosing, c.parentClosing);
        NotedPopup popup(&parent, root, false);
        popup.Veto = c.veto;
        popup.SetAnimationDirection(c.direction);
        if (c.selected) {
            popup.View()->Select(popup.View()->FirstSelectable());
        }
        popup.View()->UpdatePositions();
        popup.move(300, 300);
        popup.show();
        EXPECT_TRUE(popup.isVisible());
        EXPECT_EQ(dk::PopupAnimating(&popup), c.animated);
        dk::FinishPopupAnimation(&popup);
        EXPECT_EQ(popup.Codes, c.codes);
    }
}

} // namespace
