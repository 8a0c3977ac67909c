#include "ConsoleTestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QHelpEvent>
#include <QTimer>
#include <QToolTip>

#include <functional>

#include <gtest/gtest.h>

TEST(ConsoleLinks, ClicksHoverHintsAndDragsWithoutActivation) {
    ConsoleRig rig(300, 60);
    EventLog log(rig.console);
    rig.console.OnDblClick = [&](TQvCustomConsole*) { log.log << u"dbl"_qs; };
    rig.console.SetHint(u"base"_qs);
    rig.console.AddLine(u"<a name=\"x\" params=\"y\" hint=\"z\">LINK</a> tail"_qs);
    log.Take();
    const QPoint p = rig.OnNewest();
    rig.MoveTo(p);
    EXPECT_TRUE(rig.console.LinkInformation().Valid);
    EXPECT_EQ(rig.console.viewport()->cursor().shape(), Qt::PointingHandCursor);
    QHelpEvent help(QEvent::ToolTip, p, rig.console.viewport()->mapToGlobal(p));
    QCoreApplication::sendEvent(rig.console.viewport(), &help);
    EXPECT_EQ(QToolTip::text(), u"z"_qs);
    const QStringList clicked = {u"down"_qs, u"click"_qs, u"link:x|y|z"_qs, u"up:x"_qs};
    rig.Press(p);
    rig.Release(p);
    EXPECT_EQ(log.Take(), clicked);
    // The press of a double click makes no second click.
    rig.Mouse(QEvent::MouseButtonDblClick, p, Qt::LeftButton, Qt::LeftButton);
    rig.Release(p);
    EXPECT_EQ(log.Take(), QStringList({u"dbl"_qs, u"down"_qs, u"up:x"_qs}));
    // A 4-pixel wobble is still a click; 10 pixels is a drag that selects, and
    // the owner sees no link at mouse-up.
    rig.Drag(p, p + QPoint(4, 0));
    EXPECT_EQ(log.Take(), clicked);
    rig.Drag(p, p + QPoint(10, 0));
    EXPECT_EQ(log.Take(), QStringList({u"down"_qs, u"click"_qs, u"up"_qs, u"select:LINK"_qs}));

    // Leaving the link restores the hint and the cursor.
    rig.MoveTo(QPoint(250, p.y()));
    EXPECT_FALSE(rig.console.LinkInformation().Valid);
    EXPECT_EQ(rig.console.Hint(), u"base"_qs);
    EXPECT_NE(rig.console.viewport()->cursor().shape(), Qt::PointingHandCursor);
    // Without ShowHint a newly hovered link's hint is not shown.
    rig.console.SetShowHint(false);
    rig.console.AddLine(u"<a name=n hint=another>N</a>"_qs);
    rig.MoveTo(rig.OnNewest());
    ASSERT_EQ(rig.console.Hint(), u"another"_qs);
    QCoreApplication::sendEvent(rig.console.viewport(), &help);
    EXPECT_EQ(QToolTip::text(), u"z"_qs);
    // A link without a hint leaves the control's hint alone.
    rig.console.AddLine(u"<a name=m>NOHINT</a>"_qs);
    rig.MoveTo(rig.OnNewest(5));
    EXPECT_EQ(rig.console.LinkInformation().Name, u"m"_qs);
    EXPECT_EQ(rig.console.Hint(), u"base"_qs);
    rig.console.MouseLeave();
    EXPECT_FALSE(rig.console.LinkInformation().Valid);
}

// A press that moves 5 pixels or more along either axis drags (and selects);
// less is a click on the link under it.
TEST(ConsoleLinks, DraggingStartsFivePixelsAway) {
    struct Row {
        int dx, dy;
        bool drags;
    };
    const Row table[] = {{4, 0, false},  {5, 0, true},  {0, 4, false}, {0, 5, true},
                         {-4, 0, false}, {-5, 0, true}, {0, -5, true}, {4, -4, false},
                         {-4, 4, false}, {5, -4, true}};
    ConsoleRig rig(300, 60);
    EventLog log(rig.console);
    rig.console.AddLine(u"<a name=x>LINKLINKLINK</a> tail"_qs);
    const QPoint p = rig.OnNewest(20);
    for (const Row& row : table) {
        SCOPED_TRACE(testing::Message() << row.dx << "," << row.dy);
        log.Take();
        rig.Drag(p, p + QPoint(row.dx, row.dy));
        const QStringList outcome = log.TakeOutcome();
        if (row.drags) {
            ASSERT_EQ(outcome.size(), 2);
            EXPECT_EQ(outcome[0], u"up"_qs);
            EXPECT_TRUE(outcome[1].startsWith(u"select:"_qs)) << outcome[1].toStdString();
        } else {
            EXPECT_EQ(outcome, QStringList({u"link:x||"_qs, u"up:x"_qs}));
        }
    }
}

TEST(ConsoleLinks, WebLinksOpenOnlyWhenAllowedAndNotEmpty) {
    struct Case {
        const char16_t* markup;
        bool detect;
        QStringList outcome;
    };
    const QString web = u"<a name=\"x\" params=\"http://example.com/\" type=\"URL\">web</a>"_qs;
    const QStringList reported = {u"link:x|http://example.com/|"_qs, u"up:x"_qs};
    const Case cases[] = {
        {u"<a name=\"x\" params=\"http://example.com/\" type=\"URL\">web</a>", false,
         QStringList{u"open:http://example.com/"_qs} + reported},
        {u"<a name=\"x\" params=\"http://example.com/\">web</a>", false, reported}, // not a URL
        // A bare link counts as a web link but has nothing to open.
        {u"<a \"http://example.com/\">bare</a>",
         false,
         {u"link:http://example.com/||"_qs, u"up:http://example.com/"_qs}},
        // Detected addresses: the desktop opens web addresses only.
        {u"mailto:bob@x.org",
         true,
         {u"link:URL|mailto:bob@x.org|Send email to mailto:bob@x.org via default mail client"_qs,
          u"up:URL"_qs}},
    };
    ConsoleRig rig(300, 60);
    EventLog log(rig.console);
    for (const Case& c : cases) {
        rig.console.AddLine(QString::fromUtf16(c.markup), nullptr, c.detect);
        log.Take();
        rig.Click(rig.OnNewest());
        EXPECT_EQ(log.TakeOutcome(), c.outcome) << QString::fromUtf16(c.markup).toStdString();
    }
    rig.console.SetOptions(rig.console.Options() & ~TConsoleOptions(coAutoOpenURLLinks));
    rig.console.AddLine(web);
    log.Take();
    rig.Click(rig.OnNewest());
    EXPECT_EQ(log.TakeOutcome(), reported);
}

TEST(ConsoleLinks, HoverGoesWithTheContentUnderThePointer) {
    ConsoleRig rig(300, 60);
    EventLog log(rig.console);
    // Lines that move, go or change under a still pointer take their link along.
    const std::pair<std::function<void()>, bool> changes[] = {
        {[&] { rig.console.AddLine(u"plain text"_qs); }, false},
        {[&] { rig.console.DeleteLine(rig.console.LastLine()); }, true},
        {[&] { rig.console.Clear(); }, true},
        {[&] { rig.console.SetLineText(rig.console.LastLine(), u"replaced"_qs, false); }, true},
        {[&] {
             rig.console.SetLimit(1);
             rig.console.AddLine(u"newer"_qs);
         },
         true},
    };
    for (const auto& [change, removed] : changes) {
        rig.console.AddLine(u"<a name=gone>GONE</a>"_qs);
        rig.MoveTo(rig.OnNewest());
        ASSERT_TRUE(rig.console.LinkInformation().Valid);
        change();
        EXPECT_EQ(rig.console.LinkInformation().Valid, !removed);
        log.Take();
        rig.Press(rig.OnNewest());
        rig.Release(rig.OnNewest());
        EXPECT_EQ(log.Take(), QStringList({u"down"_qs, u"click"_qs, u"up"_qs}));
    }
    rig.Grab();
}

TEST(ConsoleSelection, CopiedTextOfLinesBreaksAndUnselectableParts) {
    ConsoleRig rig(300, 100);
    EventLog log(rig.console);
    rig.console.SetWhitespace(cwsLeave);
    rig.console.AddLine(u"<noselect><font color=\"#808080\">[12:34]</font>&nbsp;</noselect>"
                        "<font color=\"#008000\">hello  world</font></font>"_qs);
    rig.console.AddLine(u"second<br>row"_qs);
    const int ch = rig.console.ClientHeight();
    const int h = rig.LineHeight();
    const QPoint from(1, ch - (2 * h + 2) - h / 2);
    const QPoint to(rig.console.ClientWidth() - 5, ch - 2);
    const QString text = u"hello  world\r\nsecond\r\nrow"_qs;
    rig.Drag(from, to);
    EXPECT_EQ(log.log.last(), u"select:"_qs + text);

    // Without OnSelect the text goes to the clipboard, with coAutoCopy only.
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(u"sentinel"_qs);
    rig.Drag(from, to);
    EXPECT_EQ(clipboard->text(), u"sentinel"_qs);
    rig.console.OnSelect = nullptr;
    rig.Drag(from, to);
    EXPECT_EQ(clipboard->text(), text);
    rig.console.SetOptions(rig.console.Options() & ~TConsoleOptions(coAutoCopy));
    clipboard->setText(u"sentinel"_qs);
    rig.Drag(from, to);
    EXPECT_EQ(clipboard->text(), u"sentinel"_qs);
}

TEST(ConsoleSelection, PartialRowsWrappedWordsAndUnselectableText) {
    ConsoleRig rig(300, 60);
    EventLog log(rig.console);
    const int y = rig.OnNewest().y();
    rig.console.AddLine(u"a<noselect>b</noselect>c"_qs);
    rig.Drag(QPoint(1, y), QPoint(200, y));
    EXPECT_EQ(log.log.last(), u"select:ac"_qs);
    // Within one row only the pieces between the points; order does not matter.
    rig.console.AddLine(u"one two three"_qs);
    const int twoAt = 2 + rig.Advance(u"one "_qs);
    rig.Drag(QPoint(twoAt + rig.Advance(u"two"_qs) - 1, y), QPoint(twoAt + 1, y));
    EXPECT_EQ(log.log.last(), u"select:two"_qs);
    // A space dropped at a soft wrap still separates the words it joined,
    // when both of them are selected.
    ConsoleRig narrow(2 + rig.Advance(u"hello"_qs) + 1 + 2, 60);
    EventLog narrowLog(narrow.console);
    narrow.console.AddLine(u"hello world"_qs);
    const int ch = narrow.console.ClientHeight();
    const int right = narrow.console.ClientWidth() - 1;
    ASSERT_EQ(narrow.console.RowHeights(narrow.console.LastLine()).size(), 2);
    narrow.Drag(QPoint(1, ch - 2 * narrow.LineHeight()), QPoint(right, ch - 1));
    EXPECT_EQ(narrowLog.log.last(), u"select:hello world"_qs);
    narrow.Drag(QPoint(12, ch - 1), QPoint(right, ch - 1));
    EXPECT_EQ(narrowLog.log.last(), u"select:world"_qs);
}

TEST(ConsoleSelection, ColumnsWrapEndsAndRowsLeftOut) {
    ConsoleRig rig(300, 100);
    EventLog log(rig.console);
    const int ch = rig.console.ClientHeight();
    const int h = rig.LineHeight();
    const int right = rig.console.ClientWidth() - 1;
    // A column copies as a tab.
    rig.console.AddLine(u"a<column 60>b"_qs);
    rig.Drag(QPoint(1, ch - h / 2), QPoint(right, ch - h / 2));
    EXPECT_EQ(log.log.last(), u"select:a\tb"_qs);
    // Rows of the line before the selection leave no empty lines in front.
    rig.console.AddLine(u"a<br>b<br>c"_qs);
    rig.Drag(QPoint(1, ch - h / 2), QPoint(right, ch - h / 2));
    EXPECT_EQ(log.log.last(), u"select:c"_qs);
    // A space dropped at a wrap is kept only between two selected words.
    ConsoleRig narrow(2 + rig.Advance(u"hello"_qs) + 1 + 2, 60);
    EventLog narrowLog(narrow.console);
    narrow.console.AddLine(u"hello world"_qs);
    const int nch = narrow.console.ClientHeight();
    const int nh = narrow.LineHeight();
    ASSERT_EQ(narrow.console.RowHeights(narrow.console.LastLine()).size(), 2);
    narrow.Drag(QPoint(1, nch - nh - nh / 2),
                QPoint(narrow.console.ClientWidth() - 1, nch - nh - nh / 2));
    EXPECT_EQ(narrowLog.log.last(), u"select:hello"_qs);
}

TEST(ConsoleSelection, HighlightPaintsWhileDraggingAndCanBeCancelled) {
    ConsoleRig rig(300, 60);
    EventLog log(rig.console);
    rig.console.AddLine(u"selected text"_qs);
    const QPoint p = rig.OnNewest(1);
    const QRect area(0, 0, 300, rig.console.ClientHeight());
    rig.Press(p);
    rig.MoveTo(QPoint(250, p.y()), Qt::LeftButton);
    rig.Grab();
    EXPECT_TRUE(HasColor(rig.last, area, 0x0A246A));  // highlight behind the text
    EXPECT_FALSE(HasColor(rig.last, area, 0x000000)); // text in the control colour
    // Removing selection during the drag ends it: nothing is delivered.
    rig.console.SetOptions(rig.console.Options() & ~TConsoleOptions(coSelection));
    rig.Release(QPoint(250, p.y()));
    rig.Grab();
    EXPECT_FALSE(HasColor(rig.last, area, 0x0A246A));
    // Without selection a press does not start a drag at all.
    rig.Drag(p, QPoint(250, p.y()));
    EXPECT_FALSE(log.log.join(u' ').contains(u"select:"_qs));
}

TEST(ConsoleSelection, LinesRemovedDuringADragAreSafe) {
    ConsoleRig rig(300, 100);
    EventLog log(rig.console);
    rig.console.SetLimit(2);
    rig.console.AddLine(u"<a name=a>first</a>"_qs);
    rig.console.AddLine(u"second"_qs);
    const int ch = rig.console.ClientHeight();
    const QPoint onFirst(4, ch - rig.LineHeight() - rig.LineHeight() / 2);
    rig.MoveTo(onFirst);
    rig.Press(onFirst);
    rig.MoveTo(QPoint(250, ch - 2), Qt::LeftButton);
    rig.console.AddLine(u"third"_qs); // trims "first"
    rig.console.AddLine(u"fourth"_qs);
    rig.Release(QPoint(250, ch - 2));
    EXPECT_EQ(rig.console.LineCount(), 2);
    EXPECT_FALSE(log.log.join(u' ').contains(u"link:"_qs));
    EXPECT_EQ(log.log.last(), u"select:third\r\nfourth"_qs);
}

TEST(ConsoleRendering, BlinkingTextHidesInOnePhaseAndOnlyItRepaints) {
    ConsoleRig rig(300, 60);
    PaintCounter counter;
    rig.console.viewport()->installEventFilter(&counter);
    auto* timer = rig.console.findChild<QTimer*>(u"BlinkTimer"_qs);
    ASSERT_NE(timer, nullptr);
    const auto paintsOfATick = [&] {
        Settle();
        counter.paints = 0;
        rig.console.BlinkTimerTick();
        Settle();
        return counter.paints;
    };
    rig.console.AddLine(u"steady"_qs);
    EXPECT_FALSE(timer->isActive()); // nothing blinks: no timer
    EXPECT_EQ(paintsOfATick(), 0);
    TMessageNode* blinking =
        rig.console.AddLine(u"<blink><font color=\"#FF0000\" size=20>WWW</font></blink>"_qs);
    EXPECT_TRUE(timer->isActive());
    const QRect area(0, 0, 300, rig.console.ClientHeight());
    if (rig.console.BlinkPhase()) {
        rig.console.BlinkTimerTick();
    }
    for (const bool shown : {true, false, true}) {
        rig.Grab();
        EXPECT_EQ(HasColor(rig.last, area, 0xFF0000), shown);
        EXPECT_GE(paintsOfATick(), 1);
    }
    // Without blinking the text always shows.
    rig.console.SetOptions(rig.console.Options() & ~TConsoleOptions(coBlinking));
    ASSERT_TRUE(rig.console.BlinkPhase());
    rig.Grab();
    EXPECT_TRUE(HasColor(rig.last, area, 0xFF0000));
    // Once the blinking line has left the view, ticks paint nothing.
    rig.console.SetOptions(rig.console.Options() | coBlinking);
    for (int i = 0; i < 10; ++i) {
        rig.console.AddLine(u"more"_qs);
    }
    paintsOfATick();
    EXPECT_EQ(paintsOfATick(), 0);
    rig.console.SetLineText(blinking, u"still"_qs, false);
    EXPECT_FALSE(timer->isActive());
}
