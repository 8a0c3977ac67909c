#include "ConsoleTestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTimer>
#include <QToolTip>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QStringList* log = nullptr;
public Q_SLOTS:
    void open(const QUrl& url) { *log << u"open:"_qs + url.toString(); }
};

void mouse(TQvConsole& c, QEvent::Type type, QPoint p, Qt::MouseButton button,
           Qt::MouseButtons buttons) {
    QMouseEvent e(type, QPointF(p), c.viewport()->mapToGlobal(QPointF(p)), button, buttons,
                  Qt::NoModifier);
    QCoreApplication::sendEvent(c.viewport(), &e);
}
void moveTo(TQvConsole& c, QPoint p, Qt::MouseButtons held = Qt::NoButton) {
    mouse(c, QEvent::MouseMove, p, Qt::NoButton, held);
}
void press(TQvConsole& c, QPoint p) {
    mouse(c, QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton);
}
void release(TQvConsole& c, QPoint p) {
    mouse(c, QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
}
void drag(TQvConsole& c, QPoint from, QPoint to) {
    moveTo(c, from);
    press(c, from);
    moveTo(c, to, Qt::LeftButton);
    release(c, to);
}

class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) {
            ++paints;
        }
        return false;
    }
};

void settle() {
    for (int round = 0; round < 3; ++round) {
        QCoreApplication::processEvents();
    }
}

// Records the console's events in order.
struct Recorder {
    explicit Recorder(TQvConsole& c) : console(c) {
        c.OnMouseDown = [this](TQvCustomConsole*, Qt::MouseButton, Qt::KeyboardModifiers, int,
                               int) { log << u"down"_qs; };
        c.OnClick = [this](TQvCustomConsole*) { log << u"click"_qs; };
        c.OnLink = [this](TQvCustomConsole*, const QString& n, const QString& p, const QString& h) {
            log << u"link:%1|%2|%3"_qs.arg(n, p, h);
        };
        c.OnMouseUp = [this](TQvCustomConsole* s, Qt::MouseButton, Qt::KeyboardModifiers, int,
                             int) {
            const TLinkInformation info = s->LinkInformation();
            log << (info.Valid ? u"up:"_qs + info.Name : u"up"_qs);
        };
        c.OnSelect = [this](TQvCustomConsole*, const QString& t) { log << u"select:"_qs + t; };
        c.OnTextAdded = [this](TQvCustomConsole*, int n, bool up) {
            log << u"added:%1,%2"_qs.arg(n).arg(up ? u"up"_qs : u"bottom"_qs);
        };
        catcher.log = &log;
        for (const char* scheme : {"http", "https", "mailto"}) {
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &catcher, "open");
        }
    }
    ~Recorder() {
        for (const char* scheme : {"http", "https", "mailto"}) {
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
        }
    }
    QStringList take() {
        QStringList l = log;
        log.clear();
        return l;
    }
    TQvConsole& console;
    UrlCatcher catcher;
    QStringList log;
};

// The middle of the newest line's first row, just inside the text.
QPoint onNewest(ConsoleRig& rig, int dx = 4) {
    return QPoint(dx, rig.console.ClientHeight() - rig.LineHeight() / 2);
}

} // namespace

TEST(ConsoleLinks, ClickOrderHoverAndDragWithoutActivation) {
    ConsoleRig rig(300, 60);
    Recorder rec(rig.console);
    rig.console.SetHint(u"base"_qs);
    rig.console.AddLine(u"<a name=\"x\" params=\"y\" hint=\"z\">LINK</a> tail"_qs);
    rec.take();
    const QPoint p = onNewest(rig);
    moveTo(rig.console, p);
    EXPECT_TRUE(rig.console.LinkInformation().Valid);
    EXPECT_EQ(rig.console.Hint(), u"z"_qs);
    EXPECT_EQ(rig.console.viewport()->cursor().shape(), Qt::PointingHandCursor);
    press(rig.console, p);
    release(rig.console, p);
    EXPECT_EQ(rec.take(), QStringList({u"down"_qs, u"click"_qs, u"link:x|y|z"_qs, u"up:x"_qs}));

    // A 4-pixel wobble is still a click; 10 pixels is a drag that selects.
    press(rig.console, p);
    moveTo(rig.console, p + QPoint(4, 0), Qt::LeftButton);
    release(rig.console, p + QPoint(4, 0));
    EXPECT_EQ(rec.take(), QStringList({u"down"_qs, u"click"_qs, u"link:x|y|z"_qs, u"up:x"_qs}));
    // A drag that starts on the link: the owner sees no link at mouse-up.
    moveTo(rig.console, p);
    press(rig.console, p);
    moveTo(rig.console, p + QPoint(10, 0), Qt::LeftButton);
    release(rig.console, p + QPoint(10, 0));
    EXPECT_EQ(rec.take(), QStringList({u"down"_qs, u"click"_qs, u"up"_qs, u"select:LINK"_qs}));

    // Leaving the link restores the hint and the cursor.
    moveTo(rig.console, QPoint(250, p.y()));
    EXPECT_FALSE(rig.console.LinkInformation().Valid);
    EXPECT_EQ(rig.console.Hint(), u"base"_qs);
    EXPECT_NE(rig.console.viewport()->cursor().shape(), Qt::PointingHandCursor);
    // A link without a hint leaves the control's hint alone.
    rig.console.AddLine(u"<a name=n>NOHINT</a>"_qs);
    moveTo(rig.console, onNewest(rig));
    EXPECT_EQ(rig.console.LinkInformation().Name, u"n"_qs);
    EXPECT_EQ(rig.console.Hint(), u"base"_qs);
    rig.console.MouseLeave();
    EXPECT_FALSE(rig.console.LinkInformation().Valid);
}

TEST(ConsoleLinks, WebLinksOpenOnlyWhenAllowedAndNotEmpty) {
    ConsoleRig rig(300, 60);
    Recorder rec(rig.console);
    const auto clickNewest = [&] {
        moveTo(rig.console, onNewest(rig));
        press(rig.console, onNewest(rig));
        release(rig.console, onNewest(rig));
        QStringList l = rec.take();
        l.removeAll(u"down"_qs);
        l.removeAll(u"click"_qs);
        return l;
    };
    rig.console.AddLine(u"<a name=\"x\" params=\"http://example.com/\" type=\"URL\">web</a>"_qs);
    EXPECT_EQ(clickNewest(), QStringList({u"added:1,bottom"_qs, u"open:http://example.com/"_qs,
                                          u"link:x|http://example.com/|"_qs, u"up:x"_qs}));
    // Other link types only report the click.
    rig.console.AddLine(u"<a name=\"x\" params=\"http://example.com/\">web</a>"_qs);
    EXPECT_EQ(clickNewest(),
              QStringList({u"added:1,bottom"_qs, u"link:x|http://example.com/|"_qs, u"up:x"_qs}));
    // A bare link counts as a web link but has nothing to open.
    rig.console.AddLine(u"<a \"http://example.com/\">bare</a>"_qs);
    EXPECT_EQ(clickNewest(), QStringList({u"added:1,bottom"_qs, u"link:http://example.com/||"_qs,
                                          u"up:http://example.com/"_qs}));
    // Detected addresses: the desktop opens web addresses only.
    rig.console.AddLine(u"see http://x.com/?a=1&amp;b=2 now"_qs, nullptr, true);
    rec.take();
    moveTo(rig.console, QPoint(4 + rig.Advance(u"see "_qs), onNewest(rig).y()));
    const TLinkInformation info = rig.console.LinkInformation();
    EXPECT_TRUE(info.Valid);
    EXPECT_EQ(info.Name, u"URL"_qs);
    EXPECT_EQ(info.Params, u"http://x.com/?a=1&b=2"_qs);
    EXPECT_EQ(info.Hint, u"Open http://x.com/?a=1&b=2 in default browser"_qs);
    rig.console.AddLine(u"mailto:bob@x.org"_qs, nullptr, true);
    EXPECT_EQ(clickNewest(),
              QStringList({u"added:1,bottom"_qs,
                           u"link:URL|mailto:bob@x.org|Send email to mailto:bob@x.org via default "
                           "mail client"_qs,
                           u"up:URL"_qs}));
    rig.console.SetOptions(rig.console.Options() & ~TConsoleOptions(coAutoOpenURLLinks));
    rig.console.AddLine(u"<a name=\"x\" params=\"http://example.com/\" type=\"URL\">web</a>"_qs);
    EXPECT_EQ(clickNewest(),
              QStringList({u"added:1,bottom"_qs, u"link:x|http://example.com/|"_qs, u"up:x"_qs}));
}

TEST(ConsoleLinks, ContentMovingUnderAStillPointerIsNotClicked) {
    ConsoleRig rig(300, 60);
    Recorder rec(rig.console);
    rig.console.AddLine(u"<a name=old>OLDLINK</a>"_qs);
    moveTo(rig.console, onNewest(rig));
    ASSERT_TRUE(rig.console.LinkInformation().Valid);
    rig.console.AddLine(u"plain text"_qs); // pushes the link up, no mouse move
    rec.take();
    press(rig.console, onNewest(rig));
    release(rig.console, onNewest(rig));
    EXPECT_EQ(rec.take(), QStringList({u"down"_qs, u"click"_qs, u"up"_qs}));
}

TEST(ConsoleLinks, RemovedLinesTakeTheirHoverAlong) {
    ConsoleRig rig(300, 60);
    Recorder rec(rig.console);
    const auto hoverNewLink = [&] {
        rig.console.AddLine(u"<a name=gone>GONE</a>"_qs);
        moveTo(rig.console, onNewest(rig));
        ASSERT_TRUE(rig.console.LinkInformation().Valid);
    };
    const auto clickFindsNothing = [&] {
        EXPECT_FALSE(rig.console.LinkInformation().Valid);
        rec.take();
        press(rig.console, onNewest(rig));
        release(rig.console, onNewest(rig));
        EXPECT_FALSE(rec.take().join(u' ').contains(u"link:"_qs));
    };
    hoverNewLink();
    rig.console.DeleteLine(rig.console.LastLine());
    clickFindsNothing();
    hoverNewLink();
    rig.console.Clear();
    clickFindsNothing();
    hoverNewLink();
    rig.console.SetLineText(rig.console.LastLine(), u"replaced"_qs, false);
    clickFindsNothing();
    rig.console.Clear();
    hoverNewLink();
    rig.console.SetLimit(1);
    rig.console.AddLine(u"newer"_qs);
    clickFindsNothing();
    rig.Grab();
}

TEST(ConsoleSelection, CopiedTextOfLinesBreaksAndUnselectableParts) {
    ConsoleRig rig(300, 100);
    Recorder rec(rig.console);
    rig.console.SetWhitespace(cwsLeave);
    rig.console.AddLine(u"<noselect><font color=\"#808080\">[12:34]</font>&nbsp;</noselect>"
                        "<font color=\"#008000\">hello  world</font></font>"_qs);
    rig.console.AddLine(u"second<br>row"_qs);
    const int ch = rig.console.ClientHeight();
    const int h = rig.LineHeight();
    const QPoint from(1, ch - (2 * h + 2) - h / 2);
    const QPoint to(rig.console.ClientWidth() - 5, ch - 2);
    drag(rig.console, from, to);
    EXPECT_EQ(rec.log.last(), u"select:hello  world\r\nsecond\r\nrow"_qs);

    // Without OnSelect the text goes to the clipboard; with it, never.
    QGuiApplication::clipboard()->setText(u"sentinel"_qs);
    drag(rig.console, from, to);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"sentinel"_qs);
    rig.console.OnSelect = nullptr;
    drag(rig.console, from, to);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"hello  world\r\nsecond\r\nrow"_qs);
    rig.console.SetOptions(rig.console.Options() & ~TConsoleOptions(coAutoCopy));
    QGuiApplication::clipboard()->setText(u"sentinel"_qs);
    drag(rig.console, from, to);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"sentinel"_qs);
}

TEST(ConsoleSelection, PartialRowsWrappedWordsAndUnselectableText) {
    ConsoleRig rig(300, 60);
    Recorder rec(rig.console);
    const int y = onNewest(rig).y();
    rig.console.AddLine(u"a<noselect>b</noselect>c"_qs);
    drag(rig.console, QPoint(1, y), QPoint(200, y));
    EXPECT_EQ(rec.log.last(), u"select:ac"_qs);
    // Within one row only the pieces between the points; order does not matter.
    rig.console.AddLine(u"one two three"_qs);
    const int twoAt = 2 + rig.Advance(u"one "_qs);
    drag(rig.console, QPoint(twoAt + rig.Advance(u"two"_qs) - 1, y), QPoint(twoAt + 1, y));
    EXPECT_EQ(rec.log.last(), u"select:two"_qs);
    // A space dropped at a soft wrap still separates the words it joined.
    ConsoleRig narrow(2 + rig.Advance(u"hello"_qs) + 1 + 2, 60);
    Recorder narrowRec(narrow.console);
    narrow.console.AddLine(u"hello world"_qs);
    const int ch = narrow.console.ClientHeight();
    ASSERT_EQ(narrow.console.RowHeights(narrow.console.LastLine()).size(), 2);
    drag(narrow.console, QPoint(1, ch - 2 * narrow.LineHeight()),
         QPoint(narrow.console.ClientWidth() - 1, ch - 1));
    EXPECT_EQ(narrowRec.log.last(), u"select:hello world"_qs);
    // Only when both neighbours are selected.
    drag(narrow.console, QPoint(12, ch - 1), QPoint(narrow.console.ClientWidth() - 1, ch - 1));
    EXPECT_EQ(narrowRec.log.last(), u"select:world"_qs);
}

TEST(ConsoleSelection, HighlightPaintsWhileDraggingAndCanBeCancelled) {
    ConsoleRig rig(300, 60);
    Recorder rec(rig.console);
    rig.console.AddLine(u"selected text"_qs);
    const QPoint p = onNewest(rig, 1);
    const QRect area(0, 0, 300, rig.console.ClientHeight());
    press(rig.console, p);
    moveTo(rig.console, QPoint(250, p.y()), Qt::LeftButton);
    rig.Grab();
    EXPECT_TRUE(HasColor(rig.last, area, 0x0A246A));  // highlight behind the text
    EXPECT_FALSE(HasColor(rig.last, area, 0x000000)); // text in the control colour
    // Removing selection during the drag ends it: nothing is delivered.
    rig.console.SetOptions(rig.console.Options() & ~TConsoleOptions(coSelection));
    release(rig.console, QPoint(250, p.y()));
    rig.Grab();
    EXPECT_FALSE(HasColor(rig.last, area, 0x0A246A));
    EXPECT_FALSE(rec.log.join(u' ').contains(u"select:"_qs));
    // Without selection a press does not start a drag at all.
    drag(rig.console, p, QPoint(250, p.y()));
    EXPECT_FALSE(rec.log.join(u' ').contains(u"select:"_qs));
}

TEST(ConsoleSelection, LinesRemovedDuringADragAreSafe) {
    ConsoleRig rig(300, 100);
    Recorder rec(rig.console);
    rig.console.SetLimit(2);
    rig.console.AddLine(u"<a name=a>first</a>"_qs);
    rig.console.AddLine(u"second"_qs);
    const int ch = rig.console.ClientHeight();
    const int h = rig.LineHeight();
    moveTo(rig.console, QPoint(4, ch - h - h / 2));
    press(rig.console, QPoint(4, ch - h - h / 2));
    moveTo(rig.console, QPoint(250, ch - 2), Qt::LeftButton);
    rig.console.AddLine(u"third"_qs); // trims "first"
    rig.console.AddLine(u"fourth"_qs);
    release(rig.console, QPoint(250, ch - 2));
    EXPECT_EQ(rig.console.LineCount(), 2);
    EXPECT_FALSE(rec.log.join(u' ').contains(u"link:"_qs));
    EXPECT_EQ(rec.log.last(), u"select:third\r\nfourth"_qs);
}

TEST(ConsoleEvents, DoubleClickAndContextPopup) {
    ConsoleRig rig(300, 60);
    Recorder rec(rig.console);
    rig.console.OnDblClick = [&](TQvCustomConsole*) { rec.log << u"dbl"_qs; };
    rig.console.AddLine(u"text"_qs);
    rec.take();
    const QPoint p = onNewest(rig);
    press(rig.console, p);
    release(rig.console, p);
    mouse(rig.console, QEvent::MouseButtonDblClick, p, Qt::LeftButton, Qt::LeftButton);
    release(rig.console, p);
    EXPECT_EQ(rec.take(),
              QStringList({u"down"_qs, u"click"_qs, u"up"_qs, u"dbl"_qs, u"down"_qs, u"up"_qs}));
    QPoint seen;
    rig.console.OnContextPopup = [&](TQvCustomConsole*, QPoint pos, bool& handled) {
        seen = pos;
        handled = true;
    };
    QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(7, 8), QPoint(107, 108));
    QCoreApplication::sendEvent(rig.console.viewport(), &menu);
    EXPECT_EQ(seen, QPoint(7, 8));
}

TEST(ConsoleEvents, LinkHintsShowAsToolTips) {
    ConsoleRig rig(300, 60);
    rig.console.AddLine(u"<a name=x hint=\"the hint\">LINK</a>"_qs);
    const QPoint p = onNewest(rig);
    moveTo(rig.console, p);
    QHelpEvent help(QEvent::ToolTip, p, rig.console.viewport()->mapToGlobal(p));
    QCoreApplication::sendEvent(rig.console.viewport(), &help);
    EXPECT_EQ(QToolTip::text(), u"the hint"_qs);
    // Without ShowHint a newly hovered link's hint is not shown.
    rig.console.SetShowHint(false);
    rig.console.AddLine(u"<a name=y hint=\"another\">LINK</a>"_qs);
    moveTo(rig.console, p + QPoint(1, 0));
    ASSERT_EQ(rig.console.Hint(), u"another"_qs);
    QCoreApplication::sendEvent(rig.console.viewport(), &help);
    EXPECT_EQ(QToolTip::text(), u"the hint"_qs);
}

TEST(ConsoleRendering, BlinkTimerRepaintsOnlyWhenBlinkingTextIsShown) {
    ConsoleRig rig(300, 60);
    PaintCounter counter;
    rig.console.viewport()->installEventFilter(&counter);
    rig.console.AddLine(u"steady"_qs);
    EXPECT_FALSE(rig.console.findChild<QTimer*>()->isActive()); // nothing blinks: no timer
    settle();
    counter.paints = 0;
    rig.console.BlinkTimerTick();
    settle();
    EXPECT_EQ(counter.paints, 0);
    TMessageNode* blinking = rig.console.AddLine(u"<blink>blinking</blink>"_qs);
    EXPECT_TRUE(rig.console.findChild<QTimer*>()->isActive());
    settle();
    counter.paints = 0;
    rig.console.BlinkTimerTick();
    settle();
    EXPECT_GE(counter.paints, 1);
    // Once the blinking line has left the view, ticks paint nothing.
    for (int i = 0; i < 10; ++i) {
        rig.console.AddLine(u"more"_qs);
    }
    settle();
    rig.console.BlinkTimerTick();
    settle();
    counter.paints = 0;
    rig.console.BlinkTimerTick();
    settle();
    EXPECT_EQ(counter.paints, 0);
    rig.console.SetLineText(blinking, u"still"_qs, false);
    EXPECT_FALSE(rig.console.findChild<QTimer*>()->isActive());
}

#include "ConsoleInteractionTest.moc"
