#include "engine/ArrStrm.h"
#include "platform/core/Exception.h"

#include <gtest/gtest.h>

TEST(ArrayStream, WritesGrowToExactlyTheEndAndSizesZeroFill) {
    TArrayStream s;
    EXPECT_EQ(s.GetArray(), QByteArray(1, '\0')); // a new stream holds one byte
    EXPECT_EQ(s.Position(), 0);
    s.Write("abc", 3);
    EXPECT_EQ(s.GetArray(), QByteArray("abc"));
    s.Seek(5, TArrayStream::Origin::Beginning);
    s.Write("z", 1);
    EXPECT_EQ(s.GetArray(), QByteArray("abc\0\0z", 6));
    s.SetPosition(1);
    s.Write("B", 1); // overwrite inside keeps the size
    EXPECT_EQ(s.GetArray(), QByteArray("aBc\0\0z", 6));

    // A size below the position moves it; a larger size zero-fills.
    s.SetPosition(6);
    s.SetSize(2);
    EXPECT_EQ(s.Position(), 2);
    s.SetPosition(1);
    s.SetSize(4);
    EXPECT_EQ(s.Position(), 1);
    EXPECT_EQ(s.GetArray(), QByteArray("aB\0\0", 4));
}

TEST(ArrayStream, ReadsStopAtTheEndAndAFailedReadConsumesNothing) {
    TArrayStream s;
    s.SetArray(QByteArray("\x01\x02\x03", 3));
    char buf[8] = {};
    EXPECT_EQ(s.Read(buf, 8), 3);
    EXPECT_EQ(s.Read(buf, 8), 0);
    s.SetPosition(1);
    EXPECT_THROW(s.ReadBuffer(buf, 3), plat::EReadError);
    EXPECT_EQ(s.Position(), 1);
    s.ReadBuffer(buf, 2);
    EXPECT_EQ(buf[1], '\x03');
}
