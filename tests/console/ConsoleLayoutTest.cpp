#include "ConsoleTestSupport.h"

#include "platform/gui/ImageList.h"

#include <QCoreApplication>
#include <QScreen>

#include <gtest/gtest.h>

namespace {

constexpr unsigned kWhite = 0xFFFFFF;
constexpr unsigned kBlack = 0x000000;
constexpr unsigned kRed = 0xFF0000;
constexpr unsigned kGreen = 0x00FF00;
constexpr unsigned kBlue = 0x0000FF;

QString nbsp(int n) {
    return u"&nbsp;"_qs.repeated(n);
}

QString onGreen(const QString& inner) {
    return u"<font backgroundcolor=\"#00FF00\">"_qs + inner + u"</font>"_qs;
}

} // namespace

TEST(ConsoleRendering, BackgroundColoursInEveryNotation) {
    // Channel order: "#" is RGB, "$" and decimal numbers are BGR.
    const std::pair<const char16_t*, unsigned> cases[] = {{u"#FF0000", kRed},
                                                          {u"$FF0000", kBlue},
                                                          {u"clBlue", kBlue},
                                                          {u"255", kRed},
                                                          {u"clHighlight", 0x0A246A}};
    for (const auto& [value, expected] : cases) {
        ConsoleRig rig(120, 40);
        rig.console.AddLine(u"<font backgroundcolor=\""_qs + QString::fromUtf16(value) + u"\">"_qs +
                            nbsp(4) + u"</font>"_qs);
        rig.Grab();
        EXPECT_EQ(Rgb(rig.Pixel(4, rig.console.ClientHeight() - 2)), expected)
            << QString::fromUtf16(value).toStdString();
    }
}

TEST(ConsoleRendering, NewestLineAtTheBottomWithMarginsInTheControlColour) {
    ConsoleRig rig(300, 100);
    rig.console.AddLine(onGreen(nbsp(8)));
    rig.console.AddLine(u"<font backgroundcolor=\"#0000FF\">"_qs + nbsp(2) + u"</font>"_qs);
    rig.Grab();
    const int ch = rig.console.ClientHeight();
    const int h = rig.LineHeight();
    const int pastTwo = 2 + rig.Advance(u"  "_qs) + 1;
    EXPECT_EQ(Rgb(rig.Pixel(3, ch - 1)), kBlue);
    EXPECT_EQ(Rgb(rig.Pixel(3, ch - h - 1)), kGreen);
    EXPECT_EQ(Rgb(rig.Pixel(1, ch - 1)), kWhite);
    EXPECT_EQ(Rgb(rig.Pixel(pastTwo, ch - 1)), kWhite);
    EXPECT_EQ(Rgb(rig.Pixel(pastTwo, ch - h - 1)), kGreen);
    EXPECT_EQ(Rgb(rig.Pixel(3, ch - 2 * h - 1)), kWhite); // above the oldest line
    // Line spacing puts a band of the control colour above each line.
    rig.console.SetLineSpacing(3);
    rig.Grab();
    EXPECT_EQ(Rgb(rig.Pixel(3, ch - h - 1)), kWhite);
    EXPECT_EQ(Rgb(rig.Pixel(3, ch - h - 4)), kGreen);
    EXPECT_EQ(rig.console.ScrollRange(), 2 * (h + 3) - (h + 2));
}

TEST(ConsoleRendering, RulesSpanTheirShareOfTheIndentedWidth) {
    ConsoleRig rig(212, 60); // usable width 210, hanging indent 10
    rig.console.AddLine(u"<hr width=50>"_qs);
    EXPECT_EQ(rig.console.LastLine()->Height, 2);
    rig.Grab();
    EXPECT_EQ(Rgb(rig.Pixel(105, 58)), kBlack);
    EXPECT_EQ(Rgb(rig.Pixel(109, 58)), kBlack);
    EXPECT_EQ(Rgb(rig.Pixel(110, 58)), kWhite); // ends at (210 - 10) * 50 / 100 + 10
    EXPECT_EQ(Rgb(rig.Pixel(5, 58)), kWhite);
    EXPECT_EQ(Rgb(rig.Pixel(10, 58)), kBlack);
    EXPECT_EQ(Rgb(rig.Pixel(105, 59)), kWhite);
    EXPECT_EQ(Rgb(rig.Pixel(105, 57)), kWhite);
    rig.console.SetLineText(rig.console.LastLine(), u"<font color=#FF0000></hr>"_qs, false);
    rig.Grab();
    EXPECT_EQ(Rgb(rig.Pixel(200, 58)), kRed);
    EXPECT_EQ(Rgb(rig.Pixel(210, 58)), kWhite);
    // Text before a rule closes its row; content after it starts at the indent.
    rig.console.SetLineText(rig.console.LastLine(), u"a<hr>b"_qs, false);
    const int h = rig.LineHeight();
    EXPECT_EQ(rig.console.RowHeights(rig.console.LastLine()), QList<int>({h, 2, h + 2}));
}

TEST(ConsoleLayout, RowHeightsOfBreaksAndEmptyLines) {
    ConsoleRig rig(200, 100);
    const int h = rig.LineHeight();
    rig.console.AddLine(QString());
    EXPECT_EQ(rig.console.LastLine()->Height, 0);
    rig.console.AddLine(u"a<br>"_qs);
    EXPECT_EQ(rig.console.LastLine()->Height, h); // a trailing break adds nothing
    rig.console.AddLine(u"a<br><br>b"_qs);
    EXPECT_EQ(rig.console.LastLine()->Height, h + 2 * (h + 2));
    rig.console.AddLine(u"<noselect></noselect>"_qs); // a hidden timestamp only
    EXPECT_EQ(rig.console.LastLine()->Height, 0);
    rig.console.SetTimestampEmptyLines(true);
    rig.console.SetTimestampVisible(true);
    rig.console.AddLine(QString());
    EXPECT_EQ(rig.console.LastLine()->Height, h);
    // Bigger text raises its row; rows share their bottom.
    rig.console.AddLine(u"a<font size=20>B</font>"_qs);
    EXPECT_GT(rig.console.LastLine()->Height, h);
}

TEST(ConsoleLayout, WrappingDropsTheSpaceAndNeverLoops) {
    ConsoleRig rig(100, 60);
    const int h = rig.LineHeight();
    const int a4 = rig.Advance(u"aaaa"_qs);
    rig.console.SetIndentType(itNone);
    rig.console.resize(2 + a4 + 1 + 2, 60); // usable width ends one pixel after "aaaa"
    rig.console.AddLine(u"aaaa "_qs + onGreen(u"b"_qs));
    EXPECT_EQ(rig.console.RowHeights(rig.console.LastLine()), QList<int>({h, h + 2}));
    rig.Grab();
    // The second row starts with "b" at the margin, not with the space.
    const int ch = rig.console.ClientHeight();
    EXPECT_EQ(Rgb(rig.Pixel(2, ch - 1)), kGreen);
    EXPECT_EQ(Rgb(rig.Pixel(1, ch - 1)), kWhite);

    // A word wider than the console takes one row and runs past the edge.
    rig.console.AddLine(u"wwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwww"_qs);
    EXPECT_EQ(rig.console.LastLine()->Height, h);
    // ... and after other text it stays on that text's row.
    rig.console.AddLine(u"a wwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwww"_qs);
    EXPECT_EQ(rig.console.LastLine()->Height, h);
    // A word that fits the usable width but not the rest of a row at the
    // indent is placed there without an empty row before it.
    rig.console.SetIndentType(itHanging);
    rig.console.AddLine(u"x<br>aaaa"_qs);
    EXPECT_EQ(rig.console.LastLine()->Height, h + h + 2);
}

TEST(ConsoleLayout, ContinuationRowsFollowTheIndentRules) {
    ConsoleRig rig(100, 80);
    const int ch = rig.console.ClientHeight();
    const auto startOfLastRow = [&](const QString& markup) {
        rig.console.Clear();
        rig.console.AddLine(onGreen(markup));
        const QImage img = rig.Grab();
        for (int x = 0; x < img.width(); ++x) {
            if (Rgb(img.pixel(x, ch - 1)) == kGreen) {
                return x;
            }
        }
        return -1;
    };
    const QString words = u"aaaa bbbb cccc dddd eeee ffff gggg"_qs;
    EXPECT_EQ(startOfLastRow(words), 10); // hanging indent, absolute
    rig.console.SetLeftMargin(20);
    EXPECT_EQ(startOfLastRow(words), 10);
    rig.console.SetIndentAmount(30);
    EXPECT_EQ(startOfLastRow(words), 30);
    rig.console.SetLeftMargin(2);
    rig.console.SetIndentType(itNone);
    EXPECT_EQ(startOfLastRow(words), 2);
    rig.console.SetIndentType(itTimestamp);
    EXPECT_EQ(startOfLastRow(words), 2); // no visible timestamp: the margin
    rig.console.SetTimestampFormat(u"'ts'"_qs);
    rig.console.SetTimestampVisible(true);
    EXPECT_EQ(startOfLastRow(words), 2 + rig.Advance(u"ts "_qs));
    rig.console.SetTimestampVisible(false);
    rig.console.SetIndentType(itHanging);
    rig.console.SetIndentAmount(10);
    // <indent> in the middle of a row: following rows start where it stood.
    EXPECT_EQ(startOfLastRow(u"ab <indent>"_qs + words),
              2 + rig.Advance(u"ab"_qs) + rig.Advance(u" "_qs));
    // Inside PRE a row keeps the start of the row before it.
    EXPECT_EQ(startOfLastRow(u"<pre>aa\rbb</pre>"_qs), 2);
    EXPECT_EQ(startOfLastRow(u"aa<br>bb"_qs), 10);
}

TEST(ConsoleRendering, LinksUseTheirOwnFontAndColumnsLeaveGaps) {
    ConsoleRig rig(300, 40);
    rig.console.AddLine(u"<font color=#FF0000>rr<a name=x>LLLL</a>rr</font>"_qs);
    const QImage img = rig.Grab();
    const int ch = rig.console.ClientHeight();
    const int h = rig.LineHeight();
    const int x0 = 2;
    const int x1 = x0 + rig.Advance(u"rr"_qs);
    const int x2 = x1 + rig.Advance(u"LLLL"_qs);
    const int x3 = x2 + rig.Advance(u"rr"_qs);
    EXPECT_TRUE(HasColor(img, QRect(x0, ch - h, x1 - x0, h), kRed));
    EXPECT_TRUE(HasColor(img, QRect(x1, ch - h, x2 - x1, h), kBlue));
    EXPECT_FALSE(HasColor(img, QRect(x1, ch - h, x2 - x1, h), kRed));
    EXPECT_TRUE(HasColor(img, QRect(x2, ch - h, x3 - x2, h), kRed));

    rig.console.AddLine(onGreen(u"a<column 60>b<column 10>c"_qs));
    rig.Grab();
    const int ax = 2 + rig.Advance(u"a"_qs);
    EXPECT_EQ(Rgb(rig.Pixel(ax - 1, ch - 1)), kGreen);
    EXPECT_EQ(Rgb(rig.Pixel(ax + 1, ch - 1)), kWhite); // the gap is the control colour
    EXPECT_EQ(Rgb(rig.Pixel(59, ch - 1)), kWhite);
    EXPECT_EQ(Rgb(rig.Pixel(60, ch - 1)), kGreen);
    // A column behind the pen changes nothing: "c" follows "b" directly.
    EXPECT_EQ(Rgb(rig.Pixel(60 + rig.Advance(u"bc"_qs) - 1, ch - 1)), kGreen);
}

TEST(ConsoleRendering, ImagesAreBottomAlignedAndNeedAList) {
    ConsoleRig rig(200, 60);
    const int h = rig.LineHeight();
    const int ch = rig.console.ClientHeight();
    rig.console.AddLine(u"a<img 0>b"_qs);
    EXPECT_EQ(rig.console.LastLine()->Height, h); // no list: images take no room

    plat::ImageList images(6, 30);
    QImage red(6, 30, QImage::Format_ARGB32);
    red.fill(Qt::red);
    images.Add(red);
    rig.console.SetImageList(&images);
    EXPECT_EQ(rig.console.LastLine()->Height, 30); // re-measured at once
    EXPECT_EQ(rig.console.ScrollRange(), 30 - (h + 2));
    rig.Grab();
    const int ix = 2 + rig.Advance(u"a"_qs);
    EXPECT_EQ(Rgb(rig.Pixel(ix, ch - 1)), kRed);
    EXPECT_EQ(Rgb(rig.Pixel(ix + 5, ch - 30)), kRed);
    EXPECT_EQ(Rgb(rig.Pixel(ix + 6, ch - 30)), kWhite);
    EXPECT_EQ(rig.console.LastLine()->Height, 30);

    // An index outside the list keeps the room but draws only the background.
    rig.console.SetLineText(rig.console.LastLine(), u"a<img 7><img -1>"_qs, false);
    rig.Grab();
    EXPECT_FALSE(HasColor(rig.last, QRect(ix, ch - 30, 12, 30), kRed));
    EXPECT_EQ(rig.console.LastLine()->Height, 30);
    rig.console.SetImageList(nullptr);
    EXPECT_EQ(rig.console.LastLine()->Height, h);
    // An image list that goes away is dropped, and the lines make room.
    auto* doomed = new plat::ImageList(6, 30);
    doomed->Add(red);
    rig.console.SetImageList(doomed);
    EXPECT_EQ(rig.console.LastLine()->Height, 30);
    delete doomed;
    EXPECT_EQ(rig.console.ImageList(), nullptr);
    EXPECT_EQ(rig.console.LastLine()->Height, h);
    rig.Grab();
}

TEST(ConsoleRendering, BlinkingTextHidesInOnePhase) {
    ConsoleRig rig(200, 60);
    rig.console.AddLine(u"<blink><font color=\"#FF0000\" size=20>WWW</font></blink>"_qs);
    const QRect area(0, 0, 200, rig.console.ClientHeight());
    rig.Grab();
    ASSERT_FALSE(rig.console.BlinkPhase());
    EXPECT_TRUE(HasColor(rig.last, area, kRed));
    rig.console.BlinkTimerTick();
    rig.Grab();
    EXPECT_FALSE(HasColor(rig.last, area, kRed));
    rig.console.BlinkTimerTick();
    rig.Grab();
    EXPECT_TRUE(HasColor(rig.last, area, kRed));
    // Without blinking the text always shows.
    rig.console.BlinkTimerTick();
    rig.console.SetOptions(rig.console.Options() & ~TConsoleOptions(coBlinking));
    ASSERT_TRUE(rig.console.BlinkPhase());
    rig.Grab();
    EXPECT_TRUE(HasColor(rig.last, area, kRed));
}

TEST(ConsoleRendering, OlderLinesNeverPaintOverNewerOnes) {
    // A trailing break leaves the pen at the hanging indent below the older
    // line's band; nothing may be drawn there.
    ConsoleRig rig(200, 60);
    const int h = rig.LineHeight();
    rig.console.AddLine(u"abc<br>"_qs);
    rig.console.AddLine(onGreen(nbsp(8)));
    rig.Grab();
    const int ch = rig.console.ClientHeight();
    EXPECT_EQ(Rgb(rig.Pixel(12, ch - h + 1)), kGreen);
    EXPECT_EQ(Rgb(rig.Pixel(12, ch - 1)), kGreen);
}

TEST(ConsoleLayout, SettingsThatMoveRowsReLayOutEveryLine) {
    ConsoleRig rig(100, 200);
    for (int i = 0; i < 3; ++i) {
        rig.console.AddLine(u"aaa bbb ccc"_qs);
    }
    rig.Grab();
    const int before = rig.console.LastLine()->Height;
    rig.console.SetTimestampFormat(u"'xxxxxxxxxxxxxx'"_qs);
    rig.console.SetTimestampVisible(true);
    rig.console.AddLine(u"aaa bbb ccc"_qs);
    const int fresh = rig.console.LastLine()->Height;
    EXPECT_GT(fresh, before);
    rig.Grab();
    for (TMessageNode* line = rig.console.FirstLine(); line; line = line->Next) {
        EXPECT_EQ(line->Height, fresh);
    }
    EXPECT_EQ(rig.console.ScrollRange(), 4 * fresh - rig.LineHeight() - 2);
    // Fonts: every cached extent is measured again.
    rig.console.SetFont(TestFont(14));
    rig.console.SetTimestampVisible(false);
    EXPECT_GT(rig.console.ScrollRange(), 4 * rig.LineHeight());
    rig.console.SetLineSpacing(-4);
    EXPECT_EQ(rig.console.LineSpacing(), 0);
}

TEST(ConsoleRendering, MovedPixelsMatchAFreshPaint) {
    // Lines added at the bottom move the painted pixels up and paint only the
    // new strip; what the window shows must equal a paint from scratch.
    ConsoleRig rig(300, 120);
    rig.console.SetLimit(4); // the oldest line is still in view when the limit removes it
    rig.console.SetLineSpacing(1);
    const auto shownEqualsFresh = [&] {
        // The move is queued, and the paint it asks for is queued after it.
        for (int round = 0; round < 3; ++round) {
            QCoreApplication::processEvents();
        }
        const QImage shown = rig.console.screen()
                                 ->grabWindow(rig.console.winId())
                                 .toImage()
                                 .convertToFormat(QImage::Format_RGB32);
        const QImage fresh = rig.console.grab().toImage().convertToFormat(QImage::Format_RGB32);
        return shown == fresh;
    };
    const auto addLines = [&](int count) {
        for (int i = 0; i < count; ++i) {
            rig.console.AddLine(onGreen(u"line %1"_qs.arg(i)) +
                                (i % 3 ? u"<br>two rows"_qs : QString()));
            ASSERT_TRUE(shownEqualsFresh()) << i;
        }
    };
    addLines(8);
    // Now the limit trims lines above the view.
    rig.console.SetLimit(12);
    addLines(16);
    // A burst without the event loop in between, and a paint that comes
    // before the pixels were moved.
    for (int i = 0; i < 4; ++i) {
        rig.console.AddLine(u"burst %1"_qs.arg(i));
    }
    EXPECT_TRUE(shownEqualsFresh());
    rig.console.viewport()->update(QRect(0, 0, 300, 10));
    rig.console.AddLine(u"painted before the move"_qs);
    QCoreApplication::sendPostedEvents(rig.console.window(), QEvent::UpdateRequest);
    EXPECT_TRUE(shownEqualsFresh());
    rig.console.AddLine(u"grabbed before the move"_qs);
    rig.console.grab();
    EXPECT_TRUE(shownEqualsFresh());
    rig.console.ScrollBy(3);
    rig.console.AddLine(u"while scrolled up"_qs);
    EXPECT_TRUE(shownEqualsFresh());
}
