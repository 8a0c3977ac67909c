#include "engine/ArrStrm.h"
#include "platform/core/Exception.h"

#include <gtest/gtest.h>

TEST(ArrayStream, NewStreamHoldsOneByte) {
    TArrayStream s;
    EXPECT_EQ(s.Size(), 1);
    EXPECT_EQ(s.GetArray(), QByteArray(1, '\0'));
    EXPECT_EQ(s.Position(), 0);
}

TEST(ArrayStream, WritesGrowToExactlyTheEnd) {
    TArrayStream s;
    s.Write("abc", 3);
    EXPECT_EQ(s.GetArray(), QByteArray("abc"));
    s.Seek(5, TArrayStream::Origin::Beginning);
    s.Write("z", 1);
    EXPECT_EQ(s.GetArray(), QByteArray("abc\0\0z", 6));
    s.SetPosition(1);
    s.Write("B", 1); // overwrite inside keeps the size
    EXPECT_EQ(s.Size(), 6);
    EXPECT_EQ(s.GetArray().left(3), QByteArray("aBc"));
}

TEST(ArrayStream, SetSizeMovesAPositionBeyondTheEnd) {
    TArrayStream s;
    s.Write("abcdef", 6);
    s.SetSize(2);
    EXPECT_EQ(s.Position(), 2);
    s.SetPosition(1);
    s.SetSize(4);
    EXPECT_EQ(s.Position(), 1);
}

TEST(ArrayStream, ReadsStopAtTheEnd) {
    TArrayStream s;
    s.SetArray(QByteArray("\x01\x02\x03", 3));
    EXPECT_EQ(s.Size(), 3);
    char buf[8] = {};
    EXPECT_EQ(s.Read(buf, 8), 3);
    EXPECT_EQ(s.Read(buf, 8), 0);
    s.SetPosition(1);
    try {
        s.ReadBuffer(buf, 3);
        FAIL() << "no exception";
    } catch (const plat::EReadError& e) {
        EXPECT_EQ(e.Message(), u"Stream read error");
    }
    EXPECT_EQ(s.Position(), 1); // a failed read consumes nothing
    s.ReadBuffer(buf, 2);
    EXPECT_EQ(buf[1], '\x03');
}

TEST(ArrayStream, GrowingBySetSizeZeroFills) {
    TArrayStream s;
    s.SetArray(QByteArray("ab"));
    s.SetSize(5);
    EXPECT_EQ(s.GetArray(), QByteArray("ab\0\0\0", 5));
}
