// After a bar's button is clicked through the window system's path (the
// press and the release reach the form's window first), the mouse goes
// where the pointer is: the form's window must have seen the button go up,
// or it would keep sending the mouse to the pressed bar.
#include "ToolbarFixtures.h"

#include <QTest>
#include <QTimer>
#include <QWindow>

namespace {

class MoveCounter : public QObject {
public:
    explicit MoveCounter(QWidget& widget) : widget_(widget) { widget.installEventFilter(this); }
    int Moves = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &widget_ && event->type() == QEvent::MouseMove) {
            ++Moves;
        }
        return false;
    }

private:
    QWidget& widget_;
};

TEST_F(ToolbarTest, AfterAClickedButtonTheMouseGoesWhereThePointerIs) {
    TDkToolbar* bar = AddBar("Bar", f_.top, 2);
    f_.Settle();
    QWidget other;
    other.setMouseTracking(true);
    other.setGeometry(700, 500, 200, 100);
    other.show();
    f_.Settle();
    MoveCounter counter(other);

    QWindow* window = f_.form.windowHandle();
    ASSERT_NE(window, nullptr);
    const QPoint at = f_.form.mapFromGlobal(CenterOf(bar, bar->Items()->Items(0)));
    // The press starts the bar's loop; the release, queued, ends it.
    QTimer::singleShot(0, [window, at] { QTest::mouseRelease(window, Qt::LeftButton, {}, at); });
    QTest::mousePress(window, Qt::LeftButton, {}, at);
    EXPECT_EQ(TakeClicks(), "B0");

    QTest::mouseMove(other.windowHandle(), QPoint(50, 50));
    QTest::mouseMove(other.windowHandle(), QPoint(60, 50));
    EXPECT_GT(counter.Moves, 0) << "the moves went to the bar that was pressed";
}

} // namespace
