#include "ConsoleTestSupport.h"

#include "platform/core/Exception.h"

#include <QCoreApplication>
#include <QScrollBar>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace {

QStringList numbered(int from, int to) {
    QStringList out;
    for (int i = from; i <= to; ++i) {
        out << QString::number(i);
    }
    return out;
}

void addNumbered(TQvConsole& console, int from, int to) {
    for (const QString& text : numbered(from, to)) {
        console.AddLine(text);
    }
}

} // namespace

TEST(ConsoleLimit, TrimsAtTheBottomOnlyAndAtOnce) {
    ConsoleRig rig(200, 40);
    EventLog log(rig.console);
    rig.console.SetStoreText(true);
    rig.console.SetLimit(3);
    addNumbered(rig.console, 1, 5);
    EXPECT_EQ(Texts(rig.console), numbered(3, 5));
    EXPECT_EQ(log.Take(), QStringList(5, u"added:1,bottom"_qs));
    // Scrolled up nothing is trimmed until the next line at the bottom.
    rig.console.ScrollBy(1000);
    addNumbered(rig.console, 6, 7);
    rig.console.SetLimit(2);
    EXPECT_EQ(rig.console.LineCount(), 5);
    EXPECT_EQ(log.Take(), QStringList(2, u"added:1,up"_qs));
    rig.console.ScrollBy(-100000);
    EXPECT_EQ(rig.console.LineCount(), 5);
    rig.console.SetLimit(3);
    rig.console.AddLine(u"8"_qs);
    EXPECT_EQ(Texts(rig.console), numbered(6, 8));
    // ... unless asked to; the view stays on its content.
    rig.console.Scrolling().SetRemoveLinesWhileScrolledUp(true);
    rig.console.ScrollBy(5);
    rig.console.AddLine(u"9"_qs);
    EXPECT_EQ(Texts(rig.console), numbered(7, 9));
    EXPECT_EQ(rig.console.ScrollPosition(), 5 + rig.LineHeight());
    rig.console.ScrollBy(-100000);
    log.Take();

    // A batch larger than the limit: one event, the newest lines kept.
    rig.console.BeginUpdate();
    addNumbered(rig.console, 11, 20);
    EXPECT_TRUE(log.Take().isEmpty());
    rig.console.EndUpdate();
    EXPECT_EQ(log.Take(), QStringList({u"added:10,bottom"_qs}));
    EXPECT_EQ(Texts(rig.console), numbered(18, 20));
    EXPECT_EQ(rig.console.ScrollRange(), 3 * rig.LineHeight() - rig.LineHeight() - 2);
    // No limit, a negative one, and a limit applied at once.
    rig.console.SetLimit(0);
    addNumbered(rig.console, 21, 30);
    rig.console.SetLimit(-5);
    EXPECT_EQ(rig.console.Limit(), 0);
    EXPECT_EQ(rig.console.LineCount(), 13);
    rig.console.SetLimit(1);
    EXPECT_EQ(Texts(rig.console), QStringList({u"30"_qs}));
    EXPECT_EQ(rig.console.ScrollRange(), 0);
}

TEST(ConsoleLimit, ANewConsoleKeeps500Lines) {
    ConsoleRig rig(200, 40);
    EXPECT_EQ(rig.console.Limit(), 500);
    rig.console.SetStoreText(true);
    addNumbered(rig.console, 1, 501);
    EXPECT_EQ(rig.console.LineCount(), 500);
    EXPECT_EQ(rig.console.FirstLine()->Text, u"2"_qs);
}

TEST(ConsoleLimit, AnInsertedLineTheLimitRemovesIsNotReturned) {
    ConsoleRig rig(200, 40);
    rig.console.SetStoreText(true);
    addNumbered(rig.console, 1, 5);
    rig.console.ScrollBy(1000);
    rig.console.SetLimit(3); // waits: scrolled up
    rig.console.ScrollBy(-100000);
    EXPECT_EQ(rig.console.AddLine(u"x"_qs, rig.console.FirstLine()), nullptr);
    EXPECT_EQ(Texts(rig.console), numbered(3, 5));
    ASSERT_NE(rig.console.AddLine(u"y"_qs, rig.console.FirstLine()->Next), nullptr);
    EXPECT_EQ(Texts(rig.console), QStringList({u"4"_qs, u"y"_qs, u"5"_qs}));
    rig.console.AddLine(u"z"_qs, rig.console.LastLine());
    EXPECT_EQ(rig.console.LastLine()->Text, u"z"_qs);
}

TEST(ConsoleLines, ReplacingDeletingClearingAndFormatting) {
    ConsoleRig rig(200, 60);
    EventLog log(rig.console);
    rig.console.SetStoreText(true);
    TMessageNode* a = rig.console.AddLineFmt(u"<b>%s</b>"_qs, {u"x"_qs});
    TMessageNode* b = rig.console.AddLine(u"b"_qs);
    const QDateTime stamp = a->Timestamp;
    rig.console.SetLineTextFmt(a, u"%s!"_qs, {u"new"_qs}, false);
    EXPECT_EQ(Texts(rig.console), QStringList({u"new!"_qs, u"b"_qs}));
    EXPECT_EQ(a->Timestamp, stamp);
    EXPECT_EQ(DumpChunks(a->Chunks), u"ts t:new!"_qs);
    EXPECT_EQ(log.Take().size(), 2); // replacing adds nothing

    // A bad colour leaves the line and the console as they were.
    EXPECT_THROW(rig.console.SetLineText(a, u"<color>x"_qs, true), plat::EConvertError);
    EXPECT_EQ(DumpChunks(a->Chunks), u"ts t:new!"_qs);
    EXPECT_THROW(rig.console.AddLine(u"<font color=\"red\">x"_qs), plat::EConvertError);
    EXPECT_EQ(rig.console.LineCount(), 2);
    rig.console.AddLine(u"c"_qs);
    EXPECT_EQ(log.Take(), QStringList({u"added:1,bottom"_qs}));
    rig.Grab();

    rig.console.DeleteLine(b);
    EXPECT_EQ(Texts(rig.console), QStringList({u"new!"_qs, u"c"_qs}));
    TMessageNode foreign;
    for (TMessageNode* wrong : {static_cast<TMessageNode*>(nullptr), &foreign}) {
        EXPECT_THROW(rig.console.DeleteLine(wrong), EAssertionFailed);
        EXPECT_THROW(rig.console.SetLineText(wrong, u"x"_qs, false), EAssertionFailed);
    }
    EXPECT_THROW(rig.console.AddLine(u"x"_qs, &foreign), EAssertionFailed);
    EXPECT_EQ(rig.console.LineCount(), 2);
    rig.console.SetStoreText(false);
    EXPECT_TRUE(rig.console.AddLine(u"plain"_qs)->Text.isEmpty());
    rig.console.Clear();
    EXPECT_EQ(rig.console.FirstLine(), nullptr);
    EXPECT_EQ(rig.console.ScrollRange(), 0);
}

TEST(ConsoleMemory, LinesFarFromTheViewKeepOnlyTheirHeightAndComeBackWhole) {
    const QString first = u"<a name=far hint=h>FARLINK</a> two <font size=14>words</font>"_qs;
    ConsoleRig rig(300, 60);
    EventLog log(rig.console);
    rig.console.SetLimit(0);
    rig.console.BeginUpdate();
    rig.console.AddLine(first);
    for (int i = 0; i < TQvConsole::kGeometryLines + 50; ++i) {
        rig.console.AddLine(u"filler %1"_qs.arg(i));
    }
    rig.console.EndUpdate();
    log.Take();
    rig.Grab();
    EXPECT_LT(rig.console.FirstLine()->GeometrySlot, 0);
    // Scrolled to the top it looks as in a console that holds it alone.
    rig.console.SetScrollPosition(rig.console.ScrollRange());
    ConsoleRig alone(300, 60);
    alone.console.AddLine(first);
    alone.console.SetScrollPosition(alone.console.ScrollRange());
    EXPECT_EQ(rig.Grab(), alone.Grab());
    EXPECT_EQ(rig.console.RowHeights(rig.console.FirstLine()),
              alone.console.RowHeights(alone.console.FirstLine()));
    // Its link and its text answer the mouse again.
    rig.Click(rig.OnNewest());
    rig.Drag(QPoint(1, rig.OnNewest().y()), QPoint(299, rig.OnNewest().y()));
    EXPECT_EQ(log.TakeOutcome(), QStringList({u"link:far||h"_qs, u"up:far"_qs, u"up"_qs,
                                              u"select:FARLINK two words"_qs}));
    EXPECT_LE(rig.console.GeometryLines(), TQvConsole::kGeometryLines);
}

TEST(ConsoleMemory, OnePaintOfMoreLinesThanTheBudgetKeepsThemAll) {
    ConsoleRig rig(300, 60);
    EventLog log(rig.console);
    rig.console.SetLimit(0);
    const int count = TQvConsole::kGeometryLines + 50;
    for (int i = 0; i < count; ++i) {
        rig.console.AddLine(u"<font size=1>x</font>"_qs);
    }
    const int all = rig.console.ScrollRange() + rig.LineHeight() + 2;
    rig.console.resize(300, all + 10);
    rig.Drag(QPoint(1, 1), QPoint(299, all + 9));
    EXPECT_EQ(log.log.last(), u"select:"_qs + QStringList(count, u"x"_qs).join(u"\r\n"_qs));
}

TEST(ConsoleScrolling, ScrolledUpViewStaysStillAsLinesArrive) {
    ConsoleRig rig(200, 60);
    for (int i = 0; i < 10; ++i) {
        rig.console.AddLine(u"line %1"_qs.arg(i));
    }
    rig.console.ScrollBy(20);
    const QImage before = rig.Grab();
    const int position = rig.console.ScrollPosition();
    TMessageNode* line = rig.console.AddLine(u"<font size=14>new</font>"_qs);
    EXPECT_EQ(rig.console.ScrollPosition(), position + line->Height);
    EXPECT_EQ(rig.Grab(), before);
    // An empty console starts at the bottom again, painted or not.
    rig.console.hide();
    rig.console.Clear();
    EventLog log(rig.console);
    rig.console.AddLine(u"after clear"_qs);
    EXPECT_EQ(rig.console.ScrollPosition(), 0);
    EXPECT_EQ(log.Take(), QStringList({u"added:1,bottom"_qs}));
}

TEST(ConsoleScrolling, SmoothScrollingAcceleratesAndSlowsDown) {
    ConsoleRig rig(200, 60);
    for (int i = 0; i < 120; ++i) {
        rig.console.AddLine(u"line"_qs);
    }
    ASSERT_GE(rig.console.ScrollRange(), 1000);
    rig.console.Scrolling().SetSmoothScrolling(true);
    rig.console.SetScrollPosition(1000);
    EXPECT_EQ(rig.console.ScrollTarget(), 1000);
    EXPECT_EQ(rig.console.ScrollPosition(), 0);
    std::vector<int> seen;
    for (int frame = 0; frame < 100 && (seen.empty() || seen.back() != 1000); ++frame) {
        rig.Grab();
        seen.push_back(rig.console.ScrollPosition());
    }
    std::vector<int> expected;
    for (int p = 20; p <= 800; p += 20) {
        expected.push_back(p);
    }
    for (int p : {819, 837, 854, 870, 885, 899, 912, 924, 935, 945, 954, 962, 969, 975, 980, 984,
                  987, 989}) {
        expected.push_back(p);
    }
    for (int p = 990; p <= 1000; ++p) {
        expected.push_back(p);
    }
    EXPECT_EQ(seen, expected);

    // A new line at the bottom slides in from below, one pixel per frame.
    rig.console.ScrollBy(-100000);
    while (rig.console.ScrollPosition() != 0) {
        rig.Grab();
    }
    TMessageNode* line = rig.console.AddLine(u"slide"_qs);
    EXPECT_EQ(rig.console.ScrollTarget(), 0);
    for (int expect = line->Height; expect >= 0; --expect) {
        EXPECT_EQ(rig.console.ScrollPosition(), expect);
        rig.Grab();
    }
}

// With the default speed 20 and ranges 210: slowing starts at the frame
// that leaves exactly 210 pixels to go, not one frame later.
TEST(ConsoleScrolling, SmoothScrollingSlowsFromTheDecelerationRangeOn) {
    struct Row {
        int target;
        std::vector<int> frames; // positions after each frame
    };
    const Row table[] = {{250, {20, 40, 59, 77, 94}}, {251, {20, 40, 60, 79, 97}}};
    for (const Row& row : table) {
        SCOPED_TRACE(row.target);
        ConsoleRig rig(200, 60);
        addNumbered(rig.console, 1, 60);
        ASSERT_GE(rig.console.ScrollRange(), row.target);
        rig.console.Scrolling().SetSmoothScrolling(true);
        rig.console.SetScrollPosition(row.target);
        std::vector<int> seen;
        for (size_t i = 0; i < row.frames.size(); ++i) {
            rig.Grab();
            seen.push_back(rig.console.ScrollPosition());
        }
        EXPECT_EQ(seen, row.frames);
    }
}

TEST(ConsoleScrolling, ScrollBarFollowsDrivesAndPaintsOnlyWhenItLooksDifferent) {
    ConsoleRig rig(200, 60);
    rig.console.setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    QScrollBar* bar = rig.console.verticalScrollBar();
    rig.console.AddLine(u"one"_qs);
    QCoreApplication::processEvents();
    EXPECT_FALSE(bar->isVisible());
    EXPECT_EQ(rig.console.ClientWidth(), 200);
    addNumbered(rig.console, 1, 10);
    ASSERT_TRUE(ShownEqualsFresh(rig.console)); // the bar is shown by a posted layout request
    EXPECT_TRUE(bar->isVisible());
    EXPECT_LT(rig.console.ClientWidth(), 200);
    PaintCounter counter;
    bar->installEventFilter(&counter);
    for (int i = 0; i < 10; ++i) {
        rig.console.AddLine(u"line"_qs); // the range grows, the handle stays at the bottom
        Settle();
    }
    EXPECT_EQ(counter.paints, 0);
    EXPECT_TRUE(ShownEqualsFresh(rig.console));

    const int range = rig.console.ScrollRange();
    const int row = rig.LineHeight() + 2;
    const int page = rig.console.ClientHeight();
    EXPECT_EQ(bar->maximum(), range);
    EXPECT_EQ(bar->value(), range); // at the bottom
    const std::pair<QAbstractSlider::SliderAction, int> actions[] = {
        {QAbstractSlider::SliderSingleStepSub, row},
        {QAbstractSlider::SliderPageStepSub, row + page},
        {QAbstractSlider::SliderSingleStepAdd, page},
        {QAbstractSlider::SliderToMinimum, range},
        {QAbstractSlider::SliderPageStepAdd, range - page},
        {QAbstractSlider::SliderToMaximum, 0}};
    for (const auto& [action, position] : actions) {
        bar->triggerAction(action);
        EXPECT_EQ(rig.console.ScrollPosition(), position) << action;
        EXPECT_EQ(bar->value(), range - position);
    }
    rig.console.ScrollBy(60);
    EXPECT_TRUE(ShownEqualsFresh(rig.console));
    EXPECT_GE(counter.paints, 1);
    EXPECT_EQ(bar->value(), range - 60);
    // Dragging the thumb moves position and target together, even when smooth.
    rig.console.Scrolling().SetSmoothScrolling(true);
    bar->setSliderPosition(range - 100);
    EXPECT_EQ(rig.console.ScrollPosition(), 100);
    EXPECT_EQ(rig.console.ScrollTarget(), 100);
}

TEST(ConsoleEvents, WheelIsLeftToTheOwner) {
    ConsoleRig rig(200, 60);
    addNumbered(rig.console, 1, 20);
    QStringList log;
    rig.console.OnMouseWheel = [&](TQvCustomConsole*, Qt::KeyboardModifiers, int delta, QPoint,
                                   bool& handled) {
        log << u"wheel:%1"_qs.arg(delta);
        handled = delta > 0;
    };
    rig.console.OnMouseWheelDown = [&](auto...) { log << u"down"_qs; };
    rig.console.OnMouseWheelUp = [&](auto...) { log << u"up"_qs; };
    for (const int delta : {-120, 120}) {
        QWheelEvent e(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(rig.console.viewport(), &e);
        EXPECT_EQ(e.isAccepted(), delta > 0);
    }
    EXPECT_EQ(log, QStringList({u"wheel:-120"_qs, u"down"_qs, u"wheel:120"_qs}));
    EXPECT_EQ(rig.console.ScrollPosition(), 0);
}
