#include "engine/BufferList.h"

#include <gtest/gtest.h>

// Browsing both ways with wrap-around and the reset by a fresh line are
// covered through the input line of the main window.
TEST(BufferList, OnlyAnExactRepeatOfTheLastLineIsDroppedAndTheLastHundredStay) {
    TBufferList history;
    EXPECT_TRUE(history.Previous().isEmpty());
    EXPECT_TRUE(history.Next().isEmpty());
    history.Add("b");
    history.Previous();
    history.Add("b"); // not added, but the cursor is reset
    EXPECT_EQ(history.Count(), 1);
    EXPECT_EQ(history.Previous(), "b");
    history.Add("B");
    history.Add("b");
    EXPECT_EQ(history.Count(), 3);
    for (int i = 0; i < 101; ++i) {
        history.Add(QString::number(i));
    }
    EXPECT_EQ(history.Count(), 100);
    EXPECT_EQ(history.Next(), "1");
    EXPECT_EQ(history.Previous(), "100");
}
