#include "engine/BufferList.h"

#include <gtest/gtest.h>

TEST(BufferList, BrowsingWrapsAroundBothWays) {
    TBufferList history;
    EXPECT_EQ(history.Previous(), u"");
    EXPECT_EQ(history.Next(), u"");
    history.Add("a");
    history.Add("b");
    history.Add("c");
    EXPECT_EQ(history.Previous(), u"c");
    EXPECT_EQ(history.Previous(), u"b");
    EXPECT_EQ(history.Previous(), u"a");
    EXPECT_EQ(history.Previous(), u"c");
    EXPECT_EQ(history.Next(), u"a");
    EXPECT_EQ(history.Next(), u"b");

    history.Add("d"); // a fresh line puts the cursor behind the last line
    EXPECT_EQ(history.Next(), u"a");
    EXPECT_EQ(history.Previous(), u"d");
    EXPECT_EQ(history.Previous(), u"c");
    history.ResetPosition();
    EXPECT_EQ(history.Previous(), u"d");
}

TEST(BufferList, OnlyAnExactRepeatOfTheLastLineIsDropped) {
    TBufferList history;
    history.Add("b");
    history.Previous();
    history.Add("b"); // not added, but the cursor is reset
    EXPECT_EQ(history.Count(), 1);
    EXPECT_EQ(history.Previous(), u"b");
    history.Add("B");
    history.Add("b");
    EXPECT_EQ(history.Count(), 3);
}

TEST(BufferList, KeepsTheLastHundredLines) {
    TBufferList history;
    for (int i = 0; i < 101; ++i) {
        history.Add(QString::number(i));
    }
    EXPECT_EQ(history.Count(), 100);
    EXPECT_EQ(history.Next(), u"1");
    EXPECT_EQ(history.Previous(), u"100");
}
