// The structures behind a big console: the index of line positions, the
// shaped text kept per line and the frames paints are paced to.
#include "ConsoleTestSupport.h"

#include "console/LineIndex.h"

#include "WaitUntil.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace {

// --- the index against a plain list of extents ------------------------------

struct IndexModel {
    std::vector<std::unique_ptr<TMessageNode>> owned;
    std::vector<TMessageNode*> order; // oldest first
    std::vector<int> extents;

    TMessageNode* Make() {
        owned.push_back(std::make_unique<TMessageNode>());
        return owned.back().get();
    }
    // Every distance from the top finds the line a walk finds, where its
    // extent starts; lines report the extents before them.
    void Check(const TLineIndex& index) const {
        int64_t top = 0;
        ASSERT_EQ(index.Count(), int(order.size()));
        for (size_t i = 0; i < order.size(); ++i) {
            ASSERT_TRUE(index.Contains(order[i])) << i;
            ASSERT_EQ(index.Before(order[i]), top) << i;
            for (int d = 0; d < extents[i]; ++d) {
                int64_t start = -1;
                ASSERT_EQ(index.LineAt(top + d, &start), order[i]) << i << "+" << d;
                ASSERT_EQ(start, top);
            }
            top += extents[i];
        }
        EXPECT_EQ(index.Total(), top);
        EXPECT_EQ(index.LineAt(top), nullptr);
        EXPECT_EQ(index.LineAt(-1), nullptr);
    }
};

} // namespace

TEST(LineIndex, FindsEveryLineAsLinesComeGoAndChange) {
    TLineIndex index;
    index.Clear();
    IndexModel model;
    uint32_t seed = 17;
    const auto next = [&](int n) {
        seed = seed * 1664525u + 1013904223u;
        return int((seed >> 8) % uint32_t(n));
    };
    // Each step: what happens, then the index is checked against the model.
    struct Step {
        const char* what;
        std::function<void()> apply;
    };
    const Step steps[] = {
        {"append 300 (some of no extent)",
         [&] {
             for (int i = 0; i < 300; ++i) {
                 TMessageNode* line = model.Make();
                 const int extent = i % 11 == 0 ? 0 : 1 + next(40);
                 index.Append(line, extent);
                 model.order.push_back(line);
                 model.extents.push_back(extent);
             }
         }},
        {"trim 250 from the top (slots compacted on the way)",
         [&] {
             for (int i = 0; i < 250; ++i) {
                 index.Remove(model.order.front());
                 model.order.erase(model.order.begin());
                 model.extents.erase(model.extents.begin());
             }
         }},
        {"append 100 after the trim",
         [&] {
             for (int i = 0; i < 100; ++i) {
                 TMessageNode* line = model.Make();
                 index.Append(line, 1 + next(9));
                 model.order.push_back(line);
                 model.extents.push_back(index.Total() - index.Before(line));
             }
         }},
        {"remove from the middle and change extents",
         [&] {
             for (int i = 0; i < 20; ++i) {
                 const size_t at = size_t(next(int(model.order.size())));
                 index.Remove(model.order[at]);
                 model.order.erase(model.order.begin() + long(at));
                 model.extents.erase(model.extents.begin() + long(at));
                 const size_t changed = size_t(next(int(model.order.size())));
                 model.extents[changed] = next(30);
                 index.SetExtent(model.order[changed], model.extents[changed]);
             }
         }},
        {"rebuild from the links",
         [&] {
             for (size_t i = 0; i < model.order.size(); ++i) {
                 model.order[i]->Prev = i ? model.order[i - 1] : nullptr;
                 model.order[i]->Next = i + 1 < model.order.size() ? model.order[i + 1] : nullptr;
                 model.order[i]->Height = model.extents[i];
             }
             index.Rebuild(model.order.front(), [](const TMessageNode& l) { return l.Height; });
         }},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.apply();
        model.Check(index);
    }
    // A line of another index, or of none, is not found; after Clear no line is.
    TMessageNode stranger;
    EXPECT_FALSE(index.Contains(&stranger));
    index.Clear();
    EXPECT_FALSE(index.Contains(model.order.front()));
    EXPECT_EQ(index.Total(), 0);
    EXPECT_EQ(index.LineAt(0), nullptr);
}

// --- a console reached by edits looks like one filled afresh -----------------

namespace {

QString numberedLine(int i) {
    // Rows of differing heights: a second row, bigger text.
    return u"<a name=n params=%1>L%1</a> text"_qs.arg(i) +
           (i % 3 == 0 ? u"<br>second row"_qs : QString()) +
           (i % 7 == 0 ? u" <font size=15>big</font>"_qs : QString());
}

// Painted now and then, so that the index is kept up as lines come and go
// (instead of made afresh for the first paint after the edits).
void addNumbered(ConsoleRig& rig, int from, int to) {
    for (int i = from; i < to; ++i) {
        rig.console.AddLine(numberedLine(i));
        if (i % 37 == 0) {
            rig.Grab();
        }
    }
}

struct Edits {
    const char* name;
    std::function<void(ConsoleRig&)> apply;
    int spacing = 0;
};

class ConsoleIndex : public testing::TestWithParam<Edits> {};

} // namespace

TEST_P(ConsoleIndex, EditedConsoleShowsWhatAFreshOneShows) {
    const Edits& edits = GetParam();
    ConsoleRig edited(300, 120);
    edited.console.SetStoreText(true);
    edited.console.SetLimit(0);
    edits.apply(edited);
    ConsoleRig fresh(300, 120);
    fresh.console.SetLimit(0);
    fresh.console.SetLineSpacing(edits.spacing);
    for (const QString& text : Texts(edited.console)) {
        fresh.console.AddLine(text);
    }
    const int range = fresh.console.ScrollRange();
    ASSERT_EQ(edited.console.ScrollRange(), range);
    ASSERT_GT(range, 1000);
    for (const int position : {0, 7, range / 3, range / 2, range - 50, range}) {
        edited.console.SetScrollPosition(position);
        fresh.console.SetScrollPosition(position);
        EXPECT_EQ(edited.Grab(), fresh.Grab()) << "at " << position;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Edits, ConsoleIndex,
    testing::Values(Edits{"LimitTrimsTheTop",
                          [](ConsoleRig& rig) {
                              rig.console.SetLimit(300);
                              addNumbered(rig, 0, 1000);
                          }},
                    Edits{"TrimmedOnceBackAtTheBottom",
                          [](ConsoleRig& rig) {
                              addNumbered(rig, 0, 500);
                              rig.console.ScrollBy(400);
                              rig.console.SetLimit(200);
                              addNumbered(rig, 500, 600); // kept while scrolled up
                              rig.console.ScrollBy(-1000000);
                              addNumbered(rig, 600, 601);
                          }},
                    Edits{"ClearedAndFilledAgain",
                          [](ConsoleRig& rig) {
                              addNumbered(rig, 0, 400);
                              rig.Grab();
                              rig.console.Clear();
                              addNumbered(rig, 1000, 1300);
                          }},
                    Edits{"LinesDeletedAndInsertedInTheMiddle",
                          [](ConsoleRig& rig) {
                              addNumbered(rig, 0, 400);
                              TMessageNode* line = rig.console.FirstLine();
                              for (int i = 0; line && i < 300; ++i) {
                                  TMessageNode* next = line->Next;
                                  if (i % 4 == 1) {
                                      rig.console.DeleteLine(line);
                                  } else if (i % 9 == 2) {
                                      rig.console.AddLine(numberedLine(5000 + i), line);
                                      rig.Grab();
                                  }
                                  line = next;
                              }
                          }},
                    Edits{"SpacingAndTallerLines",
                          [](ConsoleRig& rig) {
                              addNumbered(rig, 0, 300);
                              rig.console.SetLineSpacing(3);
                              rig.Grab();
                              TMessageNode* line = rig.console.LastLine();
                              for (int i = 0; i < 100; ++i, line = line->Prev->Prev) {
                                  rig.console.SetLineText(line, numberedLine(3 * i), false);
                              }
                              addNumbered(rig, 300, 310);
                          },
                          3},
                    Edits{"WidthChanged",
                          [](ConsoleRig& rig) {
                              rig.console.resize(120, 120);
                              addNumbered(rig, 0, 300);
                              rig.Grab();
                              rig.console.resize(300, 120);
                          }}),
    [](const auto& info) { return std::string(info.param.name); });

// --- the mouse far up a big console ------------------------------------------

TEST(ConsoleBigView, LinksHoverAndSelectionFarUpABigConsole) {
    ConsoleRig rig(300, 100);
    EventLog log(rig.console);
    rig.console.SetLimit(0);
    constexpr int kLines = 20000;
    rig.console.BeginUpdate();
    for (int i = 0; i < kLines; ++i) {
        rig.console.AddLine(u"<a name=n params=%1>L%1</a> text %1"_qs.arg(i));
    }
    rig.console.EndUpdate();
    const int h = rig.LineHeight();
    const int bottomRow = rig.console.ClientHeight() - h / 2;
    // The view scrolled up by m rows shows line kLines - 1 - m in its bottom row.
    for (const int m : {0, 1, 777, kLines / 2, kLines - 2}) {
        SCOPED_TRACE(m);
        const QString below = QString::number(kLines - 1 - m);
        const QString above = QString::number(kLines - 2 - m);
        rig.console.SetScrollPosition(m * h);
        rig.Grab();
        log.Take();
        rig.MoveTo(QPoint(4, bottomRow));
        EXPECT_EQ(rig.console.LinkInformation().Params, below);
        rig.Click(QPoint(4, bottomRow));
        EXPECT_EQ(log.TakeOutcome(), QStringList({u"link:n|"_qs + below + u"|"_qs, u"up:n"_qs}));
        rig.Drag(QPoint(1, bottomRow - h), QPoint(299, bottomRow));
        EXPECT_EQ(
            log.TakeOutcome(),
            QStringList({u"up"_qs, u"select:L%1 text %1\r\nL%2 text %2"_qs.arg(above, below)}));
    }
}

// --- shaped text kept per line ----------------------------------------------

TEST(ConsoleShaping, UnchangedLinesAreNotShapedAgain) {
    ConsoleRig rig(300, 100);
    rig.console.SetLimit(0);
    addNumbered(rig, 0, 200);
    rig.Grab();
    rig.console.ScrollBy(300);
    const QImage up = rig.Grab();
    rig.console.ScrollBy(-300);
    const QImage down = rig.Grab();
    // Every line now in view or just left was drawn once: neither paints
    // nor scrolling over them ask for shaping again.
    const uint64_t before = TFontCache::ShapeRequests();
    for (int i = 0; i < 3; ++i) {
        rig.console.ScrollBy(300);
        EXPECT_EQ(rig.Grab(), up);
        rig.console.ScrollBy(-300);
        EXPECT_EQ(rig.Grab(), down);
    }
    EXPECT_EQ(TFontCache::ShapeRequests(), before);
}

// What changes the glyphs of text already drawn: the drawing afterwards is
// that of a console that never drew the old ones.
struct Reshape {
    const char* name;
    std::function<void(ConsoleRig&)> change;
};

class ConsoleReshape : public testing::TestWithParam<Reshape> {};

TEST_P(ConsoleReshape, DrawsWhatAFreshConsoleDraws) {
    const auto prepare = [](ConsoleRig& rig) {
        rig.console.SetTimestampVisible(true);
        rig.console.SetTimestampFormat(u"'[1]'"_qs);
    };
    const auto fill = [](ConsoleRig& rig) {
        rig.console.AddLine(u"<u>under</u> lined text wrapping on and on"_qs);
        rig.console.AddLine(u"<b>bold</b> <i>italic</i> <font size=14>big</font> plain"_qs);
        rig.console.AddLine(u"<a name=x>link words</a>"_qs);
    };
    ConsoleRig changed(200, 100);
    prepare(changed);
    fill(changed);
    changed.MoveTo(changed.OnNewest(2 + changed.Advance(u"[1] "_qs) + 5));
    ASSERT_TRUE(changed.console.LinkInformation().Valid);
    changed.Grab(); // shapes everything, the hovered link in its own font
    GetParam().change(changed);
    changed.console.MouseLeave();
    ConsoleRig fresh(200, 100);
    prepare(fresh);
    GetParam().change(fresh);
    fill(fresh);
    EXPECT_EQ(changed.Grab(), fresh.Grab());
}

INSTANTIATE_TEST_SUITE_P(
    Changes, ConsoleReshape,
    testing::Values(Reshape{"Font", [](ConsoleRig& rig) { rig.console.SetFont(TestFont(11)); }},
                    Reshape{"LinkFonts",
                            [](ConsoleRig& rig) {
                                plat::ColoredFont link = TestFont(10, plat::clRed);
                                link.font.setItalic(true);
                                rig.console.Links().SetFont(link);
                            }},
                    Reshape{"TimestampFormat",
                            [](ConsoleRig& rig) { rig.console.SetTimestampFormat(u"'[22]'"_qs); }},
                    Reshape{"HoverOnly", [](ConsoleRig&) {}},
                    Reshape{"Narrower", [](ConsoleRig& rig) { rig.console.resize(130, 100); }},
                    Reshape{"Wider", [](ConsoleRig& rig) { rig.console.resize(290, 100); }}),
    [](const auto& info) { return std::string(info.param.name); });

// --- frames ------------------------------------------------------------------

TEST(ConsoleFrames, LinesArrivingWithinAFrameArePaintedTogether) {
    ConsoleRig rig(300, 120);
    plat::ManualClock clock(1000000);
    PaintCounter counter;
    rig.console.viewport()->installEventFilter(&counter);
    Settle();
    // After a quiet spell the first line is painted at once.
    rig.console.AddLine(u"first"_qs);
    Settle();
    ASSERT_EQ(counter.paints, 1);
    // Forty lines, one event-loop turn each, within the frame: no paint yet.
    int delivered = 0;
    std::function<void()> deliver = [&] {
        rig.console.AddLine(u"line %1"_qs.arg(delivered++));
        if (delivered < 40) {
            QMetaObject::invokeMethod(&rig.console, deliver, Qt::QueuedConnection);
        }
    };
    deliver();
    ASSERT_TRUE(WaitUntil([&] { return delivered == 40; }));
    for (int i = 0; i < 5; ++i) {
        Settle();
    }
    EXPECT_EQ(counter.paints, 1);
    // The frame comes: what the window shows is the console as it is now,
    // painted in at most two paints (the new strip, then the rest).
    clock.Advance(1000);
    ASSERT_TRUE(WaitUntil([&] { return counter.paints > 1; }));
    EXPECT_TRUE(ShownEqualsFresh(rig.console));
    EXPECT_LE(counter.paints, 3);
}
