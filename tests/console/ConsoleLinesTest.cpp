#include "ConsoleTestSupport.h"

#include "platform/core/Exception.h"

#include <QCoreApplication>
#include <QScreen>
#include <QScrollBar>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace {

QStringList texts(const TQvConsole& c) {
    QStringList out;
    for (TMessageNode* line = c.FirstLine(); line; line = line->Next) {
        out << line->Text;
    }
    return out;
}

struct AddedLog {
    explicit AddedLog(TQvConsole& c) {
        c.OnTextAdded = [this](TQvCustomConsole*, int n, bool up) {
            events << u"%1,%2"_qs.arg(n).arg(up ? u"up"_qs : u"bottom"_qs);
        };
    }
    QStringList take() {
        QStringList l = events;
        events.clear();
        return l;
    }
    QStringList events;
};

} // namespace

TEST(ConsoleLimit, TrimsAtTheBottomAndWaitsWhileScrolledUp) {
    ConsoleRig rig(200, 40);
    AddedLog added(rig.console);
    rig.console.SetStoreText(true);
    rig.console.SetLimit(3);
    for (int i = 1; i <= 5; ++i) {
        rig.console.AddLine(QString::number(i));
    }
    EXPECT_EQ(texts(rig.console), QStringList({u"3"_qs, u"4"_qs, u"5"_qs}));
    EXPECT_EQ(added.take(), QStringList(5, u"1,bottom"_qs));

    rig.console.ScrollBy(1000);
    ASSERT_GT(rig.console.ScrollPosition(), 0);
    rig.console.AddLine(u"6"_qs);
    rig.console.AddLine(u"7"_qs);
    EXPECT_EQ(rig.console.LineCount(), 5);
    EXPECT_EQ(added.take(), QStringList({u"1,up"_qs, u"1,up"_qs}));

    rig.console.ScrollBy(-100000);
    EXPECT_EQ(rig.console.LineCount(), 5); // only the next line trims
    rig.console.AddLine(u"8"_qs);
    EXPECT_EQ(texts(rig.console), QStringList({u"6"_qs, u"7"_qs, u"8"_qs}));
    EXPECT_EQ(added.take(), QStringList({u"1,bottom"_qs}));

    // Trimming while scrolled up when asked to; the view stays on its content.
    rig.console.Scrolling().SetRemoveLinesWhileScrolledUp(true);
    rig.console.ScrollBy(5);
    rig.console.AddLine(u"9"_qs);
    EXPECT_EQ(texts(rig.console), QStringList({u"7"_qs, u"8"_qs, u"9"_qs}));
    EXPECT_EQ(rig.console.ScrollPosition(), 5 + rig.LineHeight());
}

TEST(ConsoleLimit, BulkInsertsZeroNegativeAndRunTimeChanges) {
    ConsoleRig rig(200, 60);
    AddedLog added(rig.console);
    rig.console.SetStoreText(true);
    rig.console.SetLimit(3);
    rig.console.BeginUpdate();
    for (int i = 1; i <= 10; ++i) {
        rig.console.AddLine(QString::number(i));
    }
    EXPECT_TRUE(added.take().isEmpty());
    rig.console.EndUpdate();
    EXPECT_EQ(added.take(), QStringList({u"10,bottom"_qs}));
    EXPECT_EQ(texts(rig.console), QStringList({u"8"_qs, u"9"_qs, u"10"_qs}));
    EXPECT_EQ(rig.console.ScrollRange(), 3 * rig.LineHeight() - rig.LineHeight() - 2);

    rig.console.SetLimit(0);
    for (int i = 11; i <= 20; ++i) {
        rig.console.AddLine(QString::number(i));
    }
    EXPECT_EQ(rig.console.LineCount(), 13);
    rig.console.SetLimit(-5);
    EXPECT_EQ(rig.console.Limit(), 0);
    EXPECT_EQ(rig.console.LineCount(), 13);
    rig.console.SetLimit(4); // applied at once
    EXPECT_EQ(texts(rig.console), QStringList({u"17"_qs, u"18"_qs, u"19"_qs, u"20"_qs}));
    EXPECT_TRUE(added.take().size() == 10);
    rig.console.ScrollBy(10);
    rig.console.SetLimit(2); // not while scrolled up
    EXPECT_EQ(rig.console.LineCount(), 4);
    rig.console.ScrollBy(-10);
    rig.console.SetLimit(1);
    EXPECT_EQ(texts(rig.console), QStringList({u"20"_qs}));
    EXPECT_EQ(rig.console.ScrollRange(), 0);
}

TEST(ConsoleLimit, AnInsertedLineTheLimitRemovesIsNotReturned) {
    ConsoleRig rig(200, 40);
    rig.console.SetStoreText(true);
    for (int i = 1; i <= 5; ++i) {
        rig.console.AddLine(QString::number(i));
    }
    rig.console.ScrollBy(1000);
    rig.console.SetLimit(3); // waits: scrolled up
    rig.console.ScrollBy(-100000);
    EXPECT_EQ(rig.console.AddLine(u"x"_qs, rig.console.FirstLine()), nullptr);
    EXPECT_EQ(texts(rig.console), QStringList({u"3"_qs, u"4"_qs, u"5"_qs}));
    TMessageNode* kept = rig.console.AddLine(u"y"_qs, rig.console.FirstLine()->Next);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(texts(rig.console), QStringList({u"4"_qs, u"y"_qs, u"5"_qs}));
    rig.console.AddLine(u"z"_qs, rig.console.LastLine());
    EXPECT_EQ(rig.console.LastLine()->Text, u"z"_qs);
}

TEST(ConsoleLines, ReplacingDeletingClearingAndFormatting) {
    ConsoleRig rig(200, 60);
    AddedLog added(rig.console);
    rig.console.SetStoreText(true);
    TMessageNode* a = rig.console.AddLineFmt(u"<b>%s</b> %d"_qs, {u"x"_qs, 5});
    EXPECT_EQ(a->Text, u"<b>x</b> 5"_qs);
    TMessageNode* b = rig.console.AddLine(u"b"_qs);
    const QDateTime stamp = a->Timestamp;
    rig.console.SetLineTextFmt(a, u"%s!"_qs, {u"new"_qs}, false);
    EXPECT_EQ(a->Text, u"new!"_qs);
    EXPECT_EQ(a->Timestamp, stamp);
    EXPECT_EQ(DumpChunks(a->Chunks), u"ts t:new!"_qs);
    EXPECT_EQ(rig.console.LineCount(), 2);
    EXPECT_EQ(added.take().size(), 2); // replacing adds nothing

    // A bad colour leaves the line and the console as they were.
    EXPECT_THROW(rig.console.SetLineText(a, u"<color>x"_qs, true), plat::EConvertError);
    EXPECT_EQ(DumpChunks(a->Chunks), u"ts t:new!"_qs);
    EXPECT_THROW(rig.console.AddLine(u"<font color=\"red\">x"_qs), plat::EConvertError);
    EXPECT_EQ(rig.console.LineCount(), 2);
    rig.console.AddLine(u"c"_qs);
    EXPECT_EQ(added.take(), QStringList({u"1,bottom"_qs}));
    rig.Grab();

    rig.console.DeleteLine(b);
    EXPECT_EQ(texts(rig.console), QStringList({u"new!"_qs, u"c"_qs}));
    EXPECT_THROW(rig.console.DeleteLine(nullptr), EAssertionFailed);
    EXPECT_THROW(rig.console.SetLineText(nullptr, u"x"_qs, false), EAssertionFailed);
    TMessageNode foreign;
    EXPECT_THROW(rig.console.DeleteLine(&foreign), EAssertionFailed);
    EXPECT_THROW(rig.console.AddLine(u"x"_qs, &foreign), EAssertionFailed);
    EXPECT_EQ(rig.console.LineCount(), 2);

    // StoreText off keeps no markup.
    rig.console.SetStoreText(false);
    EXPECT_TRUE(rig.console.AddLine(u"plain"_qs)->Text.isEmpty());

    // A surplus EndUpdate does not stop later batches from finishing.
    rig.console.EndUpdate();
    rig.console.EndUpdate();
    rig.console.AddLine(u"d"_qs);
    EXPECT_EQ(added.take(), QStringList({u"1,bottom"_qs, u"1,bottom"_qs}));
    rig.console.Clear();
    EXPECT_EQ(rig.console.LineCount(), 0);
    EXPECT_EQ(rig.console.FirstLine(), nullptr);
    EXPECT_EQ(rig.console.ScrollRange(), 0);
}

TEST(ConsoleScrolling, ScrolledUpViewStaysStillAsLinesArrive) {
    ConsoleRig rig(200, 60);
    for (int i = 0; i < 10; ++i) {
        rig.console.AddLine(u"line %1"_qs.arg(i));
    }
    rig.console.ScrollBy(20);
    const QImage before = rig.Grab();
    const int position = rig.console.ScrollPosition();
    rig.console.SetLineSpacing(0);
    TMessageNode* line = rig.console.AddLine(u"<font size=14>new</font>"_qs);
    EXPECT_EQ(rig.console.ScrollPosition(), position + line->Height);
    EXPECT_EQ(rig.Grab(), before);
    // An empty console starts at the bottom again, painted or not.
    rig.console.hide();
    rig.console.Clear();
    AddedLog added(rig.console);
    rig.console.AddLine(u"after clear"_qs);
    EXPECT_EQ(rig.console.ScrollPosition(), 0);
    EXPECT_EQ(added.take(), QStringList({u"1,bottom"_qs}));
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
    rig.Grab();
    EXPECT_EQ(rig.console.ScrollPosition(), 1000);

    // A new line at the bottom slides in from below, one pixel per frame.
    rig.console.ScrollBy(-100000);
    while (rig.console.ScrollPosition() != 0) {
        rig.Grab();
    }
    TMessageNode* line = rig.console.AddLine(u"slide"_qs);
    EXPECT_EQ(rig.console.ScrollPosition(), line->Height);
    EXPECT_EQ(rig.console.ScrollTarget(), 0);
    for (int expect = line->Height - 1; expect >= 0; --expect) {
        rig.Grab();
        EXPECT_EQ(rig.console.ScrollPosition(), expect);
    }
}

TEST(ConsoleScrolling, ScrollBarFollowsAndDrivesThePosition) {
    ConsoleRig rig(200, 60);
    rig.console.setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    QScrollBar* bar = rig.console.verticalScrollBar();
    rig.console.AddLine(u"one"_qs);
    QCoreApplication::processEvents();
    EXPECT_FALSE(bar->isVisible());
    EXPECT_EQ(rig.console.ClientWidth(), 200);
    for (int i = 0; i < 20; ++i) {
        rig.console.AddLine(u"more"_qs);
    }
    QCoreApplication::processEvents(); // the bar is shown by a posted layout request
    EXPECT_TRUE(bar->isVisible());
    EXPECT_LT(rig.console.ClientWidth(), 200);
    const int range = rig.console.ScrollRange();
    const int row = rig.LineHeight() + 2;
    EXPECT_EQ(bar->maximum(), range);
    EXPECT_EQ(bar->value(), range); // at the bottom
    bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(rig.console.ScrollPosition(), row);
    EXPECT_EQ(bar->value(), range - row);
    bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(rig.console.ScrollPosition(), row + rig.console.ClientHeight());
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(rig.console.ScrollPosition(), rig.console.ClientHeight());
    bar->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(rig.console.ScrollPosition(), range);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(rig.console.ScrollPosition(), range - rig.console.ClientHeight());
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(rig.console.ScrollPosition(), 0);
    // Dragging the thumb moves position and target together, even when smooth.
    rig.console.Scrolling().SetSmoothScrolling(true);
    bar->setSliderPosition(range - 100);
    EXPECT_EQ(rig.console.ScrollPosition(), 100);
    EXPECT_EQ(rig.console.ScrollTarget(), 100);
}

TEST(ConsoleScrolling, ScrollBarPaintsOnlyWhenItLooksDifferent) {
    ConsoleRig rig(200, 80);
    rig.console.setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    QScrollBar* bar = rig.console.verticalScrollBar();
    struct Counter : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            paints += e->type() == QEvent::Paint;
            return false;
        }
    } counter;
    bar->installEventFilter(&counter);
    const auto settle = [] {
        for (int round = 0; round < 3; ++round) {
            QCoreApplication::processEvents();
        }
    };
    const auto shownEqualsFresh = [&] {
        settle();
        const QImage shown = rig.console.screen()->grabWindow(rig.console.winId()).toImage();
        return shown.convertToFormat(QImage::Format_RGB32) ==
               rig.console.grab().toImage().convertToFormat(QImage::Format_RGB32);
    };
    for (int i = 0; i < 10; ++i) {
        rig.console.AddLine(u"line"_qs);
    }
    ASSERT_TRUE(shownEqualsFresh());
    counter.paints = 0;
    for (int i = 0; i < 10; ++i) {
        rig.console.AddLine(u"line"_qs); // the range grows, the handle stays at the bottom
        settle();
    }
    EXPECT_EQ(counter.paints, 0);
    EXPECT_TRUE(shownEqualsFresh());
    rig.console.ScrollBy(60);
    EXPECT_TRUE(shownEqualsFresh());
    EXPECT_GE(counter.paints, 1);
    EXPECT_EQ(bar->value(), bar->maximum() - 60);
}

TEST(ConsoleEvents, WheelIsLeftToTheOwner) {
    ConsoleRig rig(200, 60);
    for (int i = 0; i < 20; ++i) {
        rig.console.AddLine(u"line"_qs);
    }
    QStringList log;
    rig.console.OnMouseWheel = [&](TQvCustomConsole*, Qt::KeyboardModifiers, int delta, QPoint,
                                   bool& handled) {
        log << u"wheel:%1"_qs.arg(delta);
        handled = delta > 0;
    };
    rig.console.OnMouseWheelDown = [&](TQvCustomConsole*, Qt::KeyboardModifiers, QPoint, bool&) {
        log << u"down"_qs;
    };
    rig.console.OnMouseWheelUp = [&](TQvCustomConsole*, Qt::KeyboardModifiers, QPoint, bool&) {
        log << u"up"_qs;
    };
    for (const int delta : {-120, 120}) {
        QWheelEvent e(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(rig.console.viewport(), &e);
        EXPECT_EQ(e.isAccepted(), delta > 0);
    }
    EXPECT_EQ(log, QStringList({u"wheel:-120"_qs, u"down"_qs, u"wheel:120"_qs}));
    EXPECT_EQ(rig.console.ScrollPosition(), 0);
}

TEST(ConsoleProperties, ClampingAndCopiedSubObjects) {
    TQvConsole console;
    EXPECT_EQ(console.size(), QSize(100, 80));
    console.SetPackageVersion(u"2"_qs);
    EXPECT_EQ(console.PackageVersion(), u"1.09"_qs);
    console.SetLeftMargin(50);
    console.SetRightMargin(-3);
    console.Scrolling().SetMaxScrollSpeed(0);
    console.Scrolling().SetDecelerationRange(-1);
    EXPECT_EQ(console.LeftMargin(), 30);
    EXPECT_EQ(console.RightMargin(), 0);
    EXPECT_EQ(console.Scrolling().MaxScrollSpeed(), 1);
    EXPECT_EQ(console.Scrolling().DecelerationRange(), 0);
    // Sub-objects copy their values; link fonts default to blue, hovered underlined.
    EXPECT_EQ(console.Links().Font().color, plat::clBlue);
    EXPECT_TRUE(console.Links().HoverFont().font.underline());
    TScrollingData scrolling;
    scrolling.SetSmoothScrolling(true);
    console.SetScrolling(scrolling);
    scrolling.SetSmoothScrolling(false);
    EXPECT_TRUE(console.Scrolling().SmoothScrolling());
    TQvConsole other;
    other.Links().SetFont(TestFont(12, plat::clRed));
    console.SetLinks(other.Links());
    EXPECT_EQ(console.Links().Font().color, plat::clRed);
}
