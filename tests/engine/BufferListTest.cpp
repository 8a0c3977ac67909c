#include "engine/BufferList.h"

#include <gtest/gtest.h>

namespace {

// Browses with '<' (Previous) and '>' (Next); the lines shown, "_" for none.
QString Browse(TBufferList& history, const char* keys) {
    QStringList shown;
    for (const char* k = keys; *k != 0; ++k) {
        const QString line = *k == '<' ? history.Previous() : history.Next();
        shown << (line.isEmpty() ? "_" : line);
    }
    return shown.join(u' ');
}

} // namespace

TEST(BufferList, BrowsingWrapsAroundBothWaysAndAFreshLineResetsIt) {
    TBufferList history;
    EXPECT_EQ(Browse(history, "<>"), "_ _");
    for (const char* line : {"a", "b", "c"}) {
        history.Add(line);
    }
    EXPECT_EQ(Browse(history, "<<<<>>"), "c b a c a b");
    history.Add("d"); // a fresh line puts the cursor behind the last line
    EXPECT_EQ(Browse(history, "><<"), "a d c");
    history.ResetPosition();
    EXPECT_EQ(Browse(history, "<"), "d");
}

TEST(BufferList, OnlyAnExactRepeatOfTheLastLineIsDroppedAndTheLastHundredStay) {
    TBufferList history;
    history.Add("b");
    history.Previous();
    history.Add("b"); // not added, but the cursor is reset
    EXPECT_EQ(history.Count(), 1);
    EXPECT_EQ(Browse(history, "<"), "b");
    history.Add("B");
    history.Add("b");
    EXPECT_EQ(history.Count(), 3);
    for (int i = 0; i < 101; ++i) {
        history.Add(QString::number(i));
    }
    EXPECT_EQ(history.Count(), 100);
    EXPECT_EQ(Browse(history, "><"), "1 100");
}
