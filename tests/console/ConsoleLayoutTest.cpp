#include "ConsoleTestSupport.h"
#include "GoldenRows.h"

#include "platform/gui/ImageList.h"

#include <QCoreApplication>
#include <QFontMetrics>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <numeric>
#include <tuple>

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

TEST(ConsoleRendering, NewestLineAtTheBottomAndNoLinePaintsOverAnother) {
    ConsoleRig rig(300, 100);
    const int ch = rig.console.ClientHeight();
    const int h = rig.LineHeight();
    // A trailing break leaves the pen below the older line's band: nothing
    // may be drawn there.
    rig.console.AddLine(u"abc<br>"_qs);
    rig.console.AddLine(onGreen(nbsp(8)));
    rig.console.AddLine(u"<font backgroundcolor=\"#0000FF\">"_qs + nbsp(2) + u"</font>"_qs);
    rig.Grab();
    const int pastTwo = 2 + rig.Advance(u"  "_qs) + 1;
    EXPECT_EQ(WrongPixels(rig, {{3, ch - 1, kBlue},
                                {12, ch - h - 1, kGreen},
                                {12, ch - 2 * h + 1, kGreen},
                                {1, ch - 1, kWhite}, // the margin
                                {pastTwo, ch - 1, kWhite},
                                {pastTwo, ch - h - 1, kGreen}}),
              QString());
    // Line spacing puts a band of the control colour above each line.
    rig.console.SetLineSpacing(3);
    rig.Grab();
    EXPECT_EQ(WrongPixels(rig, {{3, ch - h - 1, kWhite}, {3, ch - h - 4, kGreen}}), QString());
    EXPECT_EQ(rig.console.ScrollRange(), 3 * (h + 3) - (h + 2));
}

TEST(ConsoleRendering, RulesSpanTheirShareOfTheIndentedWidth) {
    ConsoleRig rig(212, 60); // usable width 210, hanging indent 10
    rig.console.AddLine(u"<hr width=50>"_qs);
    EXPECT_EQ(rig.console.LastLine()->Height, 2);
    rig.Grab();
    // It ends at (210 - 10) * 50 / 100 + 10.
    EXPECT_EQ(WrongPixels(rig, {{105, 58, kBlack},
                                {109, 58, kBlack},
                                {110, 58, kWhite},
                                {5, 58, kWhite},
                                {10, 58, kBlack},
                                {105, 59, kWhite},
                                {105, 57, kWhite}}),
              QString());
    rig.console.SetLineText(rig.console.LastLine(), u"<font color=#FF0000></hr>"_qs, false);
    rig.Grab();
    EXPECT_EQ(WrongPixels(rig, {{200, 58, kRed}, {210, 58, kWhite}}), QString());
}

TEST(ConsoleLayout, RowHeightsOfBreaksRulesWrapsAndEmptyLines) {
    ConsoleRig rig(100, 100);
    const int h = rig.LineHeight();
    const int a4 = rig.Advance(u"aaaa"_qs);
    const int h20 = QFontMetrics(TestFont(20).font).height();
    const std::map<QString, int> heights{
        {"0", 0}, {"2", 2}, {"h", h}, {"h+2", h + 2}, {"h20", h20}};
    rig.console.SetIndentType(itNone);
    rig.console.resize(2 + a4 + 1 + 2, 100); // usable width ends one pixel after "aaaa"
    for (const QStringList& row : GoldenTextRows("console/row-heights.tsv", 2)) {
        SCOPED_TRACE(row.join(u" | ").toStdString());
        QList<int> rows;
        for (const QString& name : row[1].split(u' ')) {
            rows << heights.at(name);
        }
        rig.console.AddLine(row[0]);
        EXPECT_EQ(rig.console.RowHeights(rig.console.LastLine()), rows);
        EXPECT_EQ(rig.console.LastLine()->Height, std::accumulate(rows.begin(), rows.end(), 0));
    }
    // The second row of "aaaa b" starts with "b" at the margin.
    rig.console.AddLine(u"aaaa "_qs + onGreen(u"b"_qs));
    rig.Grab();
    const int ch = rig.console.ClientHeight();
    EXPECT_EQ(WrongPixels(rig, {{2, ch - 1, kGreen}, {1, ch - 1, kWhite}}), QString());
    // A word that fits the usable width but not the rest of a row at the
    // hanging indent is placed there without an empty row before it.
    rig.console.SetIndentType(itHanging);
    rig.console.AddLine(u"x<br>aaaa"_qs);
    EXPECT_EQ(rig.console.LastLine()->Height, h + h + 2);
    // Empty lines get a row when their timestamp shows.
    rig.console.SetTimestampEmptyLines(true);
    rig.console.SetTimestampVisible(true);
    rig.console.AddLine(QString());
    EXPECT_EQ(rig.console.LastLine()->Height, h);
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

// Lines laid out again after changes of width and settings look exactly as
// the same lines added to a console that had the final width and settings
// from the start, whether their pieces were kept, replayed or dropped.
struct Relayout {
    const char* name;
    int from, to; // widths
    int via = 0;  // a width on the way, laid out in between
    int points = 9;
    TIndentType indent = itHanging;
    int leftMargin = 2;
};

class ConsoleRelayout : public testing::TestWithParam<Relayout> {};

TEST_P(ConsoleRelayout, LooksLikeAFreshConsole) {
    const Relayout& c = GetParam();
    const auto fill = [](ConsoleRig& rig) {
        rig.console.SetTimestampFormat(u"'[12:00]'"_qs);
        for (const QString& line : {
                 u"aaaa bbbb cccc dddd eeee ffff gggg hhhh iiii"_qs,
                 u"<font size=16>big</font> small <a name=x>link text here</a> and tail words"_qs,
                 u"x<br>two<indent>indented row that wraps along</indent> out"_qs,
                 u"<pre>keep   spaces\rsecond row</pre> after pre"_qs,
                 u"a<column 60>b<hr width=50>c <b>bold words</b> <i>italic</i> plain"_qs,
                 u"<font size=5>tiny<br></font>then normal words after a break"_qs,
                 u"short"_qs,
             }) {
            rig.console.AddLine(line);
        }
    };
    const auto change = [&](ConsoleRig& rig) {
        rig.console.SetFont(TestFont(c.points));
        rig.console.SetIndentType(c.indent);
        rig.console.SetTimestampVisible(c.indent == itTimestamp);
        rig.console.SetLeftMargin(c.leftMargin);
    };
    ConsoleRig changed(c.from, 400);
    fill(changed);
    changed.Grab();
    if (c.via) {
        changed.console.resize(c.via, 400);
        changed.console.ScrollRange();
    }
    change(changed);
    changed.console.resize(c.to, 400);
    ConsoleRig fresh(c.to, 400);
    change(fresh);
    fill(fresh);
    for (TMessageNode *a = changed.console.FirstLine(), *b = fresh.console.FirstLine(); a && b;
         a = a->Next, b = b->Next) {
        EXPECT_EQ(changed.console.RowHeights(a), fresh.console.RowHeights(b));
        EXPECT_EQ(a->Height, b->Height);
    }
    EXPECT_EQ(changed.console.ScrollRange(), fresh.console.ScrollRange());
    EXPECT_EQ(changed.Grab(), fresh.Grab());
}

INSTANTIATE_TEST_SUITE_P(WidthAndSettings, ConsoleRelayout,
                         testing::Values(Relayout{"Narrower", 400, 130},
                                         Relayout{"Wider", 130, 400},
                                         Relayout{"WiderThenNarrower", 200, 170, 500},
                                         Relayout{"Font", 300, 320, 0, 12},
                                         Relayout{"TimestampIndent", 300, 350, 0, 9, itTimestamp},
                                         Relayout{"Margin", 300, 300, 0, 9, itHanging, 25}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(WordWidths, EveryWordFindsItsOwnWidthThroughGrowthAndClear) {
    TWordWidths widths;
    const auto word = [](int i) { return u"w%1"_qs.arg(i, 4, 36, QLatin1Char('0')); };
    for (int i = 0; i < 3000; ++i) { // many growths, words of one length
        widths.Insert(word(i), TWordWidths::Hash(word(i)), i);
    }
    for (int i = 0; i < 3000; ++i) {
        ASSERT_EQ(widths.Find(word(i), TWordWidths::Hash(word(i))), i) << i;
    }
    EXPECT_EQ(widths.Find(u"w00000"_qs, TWordWidths::Hash(u"w00000"_qs)), -1); // longer
    EXPECT_EQ(widths.Find(u"w"_qs, TWordWidths::Hash(u"w"_qs)), -1);
    widths.Clear();
    EXPECT_EQ(widths.Find(word(7), TWordWidths::Hash(word(7))), -1);
}

TEST(ConsoleRendering, LinksUseTheirOwnFontAndColumnsLeaveGaps) {
    ConsoleRig rig(300, 40);
    rig.console.AddLine(u"<font color=#FF0000>rr<a name=x>LLLL</a>rr</font>"_qs);
    const QImage img = rig.Grab();
    const int ch = rig.console.ClientHeight();
    const int h = rig.LineHeight();
    const int x1 = 2 + rig.Advance(u"rr"_qs);
    const int x2 = x1 + rig.Advance(u"LLLL"_qs);
    const int x3 = x2 + rig.Advance(u"rr"_qs);
    EXPECT_TRUE(HasColor(img, QRect(2, ch - h, x1 - 2, h), kRed));
    EXPECT_TRUE(HasColor(img, QRect(x1, ch - h, x2 - x1, h), kBlue));
    EXPECT_FALSE(HasColor(img, QRect(x1, ch - h, x2 - x1, h), kRed));
    EXPECT_TRUE(HasColor(img, QRect(x2, ch - h, x3 - x2, h), kRed));

    rig.console.AddLine(onGreen(u"a<column 60>b<column 10>c"_qs));
    rig.Grab();
    // The gap is the control colour; a column behind the pen changes nothing,
    // so "c" follows "b" directly.
    const int ax = 2 + rig.Advance(u"a"_qs);
    EXPECT_EQ(WrongPixels(rig, {{ax - 1, ch - 1, kGreen},
                                {ax + 1, ch - 1, kWhite},
                                {59, ch - 1, kWhite},
                                {60, ch - 1, kGreen},
                                {60 + rig.Advance(u"bc"_qs) - 1, ch - 1, kGreen}}),
              QString());
}

// An underline runs on under the spaces between words: a hovered link of
// several words, and underlined text, show one unbroken line.
TEST(ConsoleRendering, UnderlinesRunUnbrokenUnderSpaces) {
    ConsoleRig rig(300, 40);
    const int ch = rig.console.ClientHeight();
    const int h = rig.LineHeight();
    const int space = 2 + rig.Advance(u"two"_qs);
    const int spaceWidth = rig.Advance(u" "_qs);
    ASSERT_GT(spaceWidth, 1);
    // The space's own columns, without the letters' ink at either side.
    const QRect gap(space + 1, ch - h, spaceWidth - 2, h);

    rig.console.AddLine(u"<a name=x>two words</a>"_qs);
    rig.Grab();
    EXPECT_FALSE(HasColor(rig.last, gap, kBlue)) << "an unhovered link is not underlined";
    rig.MoveTo(rig.OnNewest());
    ASSERT_TRUE(rig.console.LinkInformation().Valid);
    rig.Grab();
    EXPECT_TRUE(HasColor(rig.last, gap, kBlue)) << "the hover underline spans the space";

    rig.MoveTo(QPoint(290, 2));
    rig.console.AddLine(u"<font color=#FF0000><u>two words</u></font>"_qs);
    rig.Grab();
    EXPECT_TRUE(HasColor(rig.last, gap, kRed)) << "underlined text";
}

TEST(ConsoleRendering, StyleTagsSwitchTheirStyleOnAndOff) {
    ConsoleRig rig(300, 40);
    QFont bold = TestFont().font;
    bold.setBold(true);
    const int plain = rig.Advance(u"WWWW"_qs);
    ASSERT_GT(QFontMetrics(bold).horizontalAdvance(u"WWWW"_qs), plain + 2);
    const int ch = rig.console.ClientHeight();
    // The background shows how far the text reaches: bold runs past the
    // plain width, and after the closing tag the text is plain again.
    rig.console.AddLine(onGreen(u"<b>WWWW</b>"_qs));
    rig.Grab();
    EXPECT_EQ(WrongPixels(rig, {{2 + plain + 1, ch - 1, kGreen}}), QString());
    rig.console.AddLine(onGreen(u"<b></b>WWWW"_qs));
    rig.Grab();
    EXPECT_EQ(WrongPixels(rig, {{2 + plain - 1, ch - 1, kGreen}, {2 + plain + 1, ch - 1, kWhite}}),
              QString());
}

TEST(ConsoleRendering, ImagesAreBottomAlignedAndNeedAList) {
    ConsoleRig rig(200, 60);
    const int h = rig.LineHeight();
    const int ch = rig.console.ClientHeight();
    rig.console.AddLine(u"a<img 0>b"_qs);
    EXPECT_EQ(rig.console.LastLine()->Height, h); // no list: images take no room

    QImage red(6, 30, QImage::Format_ARGB32);
    red.fill(Qt::red);
    auto* images = new plat::ImageList(6, 30);
    images->Add(red);
    rig.console.SetImageList(images);
    EXPECT_EQ(rig.console.LastLine()->Height, 30); // re-measured at once
    EXPECT_EQ(rig.console.ScrollRange(), 30 - (h + 2));
    rig.Grab();
    const int ix = 2 + rig.Advance(u"a"_qs);
    EXPECT_EQ(
        WrongPixels(rig, {{ix, ch - 1, kRed}, {ix + 5, ch - 30, kRed}, {ix + 6, ch - 30, kWhite}}),
        QString());

    // An index outside the list keeps the room but draws only the background.
    rig.console.SetLineText(rig.console.LastLine(), u"a<img 7><img -1>"_qs, false);
    rig.Grab();
    EXPECT_FALSE(HasColor(rig.last, QRect(ix, ch - 30, 12, 30), kRed));
    EXPECT_EQ(rig.console.LastLine()->Height, 30);
    // An image list that goes away is dropped, and the lines make room.
    delete images;
    EXPECT_EQ(rig.console.ImageList(), nullptr);
    EXPECT_EQ(rig.console.LastLine()->Height, h);
    rig.Grab();
}

TEST(ConsoleRendering, MovedPixelsMatchAFreshPaint) {
    // Lines added at the bottom move the painted pixels up and paint only the
    // new strip; what the window shows must equal a paint from scratch.
    ConsoleRig rig(300, 120);
    rig.console.SetLimit(4); // the oldest line is still in view when the limit removes it
    rig.console.SetLineSpacing(1);
    const auto addLines = [&](int count) {
        for (int i = 0; i < count; ++i) {
            rig.console.AddLine(onGreen(u"line %1"_qs.arg(i)) +
                                (i % 3 ? u"<br>two rows"_qs : QString()));
            ASSERT_TRUE(ShownEqualsFresh(rig.console)) << i;
        }
    };
    addLines(8);
    rig.console.SetLimit(12); // now the limit trims lines above the view
    addLines(16);
    // A burst without the event loop in between, and a paint that comes
    // before the pixels were moved.
    for (int i = 0; i < 4; ++i) {
        rig.console.AddLine(u"burst %1"_qs.arg(i));
    }
    EXPECT_TRUE(ShownEqualsFresh(rig.console));
    rig.console.viewport()->update(QRect(0, 0, 300, 10));
    rig.console.AddLine(u"painted before the move"_qs);
    QCoreApplication::sendPostedEvents(rig.console.window(), QEvent::UpdateRequest);
    EXPECT_TRUE(ShownEqualsFresh(rig.console));
    rig.console.AddLine(u"grabbed before the move"_qs);
    rig.console.grab();
    EXPECT_TRUE(ShownEqualsFresh(rig.console));
    rig.console.ScrollBy(3);
    rig.console.AddLine(u"while scrolled up"_qs);
    EXPECT_TRUE(ShownEqualsFresh(rig.console));
}

// A piece that ends exactly at the usable width goes to the next row; one
// pixel more room and it stays.
TEST(ConsoleLayout, APieceEndingAtTheUsableWidthWraps) {
    struct Row {
        int room; // usable width minus the right end of "aaaa b"
        int rows;
    };
    const Row table[] = {{-1, 2}, {0, 2}, {1, 1}, {5, 1}};
    ConsoleRig rig(300, 60);
    const int end = 2 + rig.Advance(u"aaaa"_qs) + rig.Advance(u" "_qs) + rig.Advance(u"b"_qs);
    for (const Row& row : table) {
        rig.console.resize(end + row.room + 2, 60); // client width = usable width + 2
        rig.console.AddLine(u"aaaa b"_qs);
        EXPECT_EQ(rig.console.RowHeights(rig.console.LastLine()).size(), row.rows)
            << "room " << row.room;
    }
}
