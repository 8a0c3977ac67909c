// What the client writes: the bytes of every operation, the state checks on
// the way out, flood pacing of the queue and the keep-alive, driven with a
// manual clock and the timer handlers.

#include "VLChatTestSupport.h"
#include "engine/VLChatTestSeam.h"

#include "platform/core/Clock.h"

using namespace chattest;

TEST_F(ChatTest, OperationsWriteTheirPackets) {
    LogIn();
    Deliver(ClientName(kBobId, "Bob") + GroupJoin(kGeneral, "General"));
    chat->SetFloodProtection(false);

    TTextBlob text;
    text.SetText("abc");
    TVoiceBlob voice;
    voice.SetBreed("Thessik");
    voice.SetGender("Female");
    voice.SetText1("wave");
    voice.SetText2("hello");

    EXPECT_TRUE(chat->SendPrivateMessage("Bob", "hello"));
    EXPECT_TRUE(chat->SendPrivateMessage("bob", "ref", &text));
    chat->SendGroupMessage("General", "hi");
    chat->SendGroupMessageByIndex(0, "v", &voice);
    EXPECT_TRUE(chat->SendPrivateGroupMessage("Alice", "yo"));
    chat->MuteGroup(0);
    chat->UnmuteGroup(0);
    EXPECT_TRUE(chat->PrivateGroupInvite("Bob"));
    EXPECT_TRUE(chat->PrivateGroupKick("Bob"));
    EXPECT_TRUE(chat->PrivateGroupJoin("Alice"));
    chat->PrivateGroupKickAll();
    EXPECT_TRUE(chat->AddFriend("Bob", true));
    EXPECT_TRUE(chat->AddFriend("Bob", false));
    EXPECT_TRUE(chat->RemoveFriend("Bob"));

    const Frames expected{
        Hex("00 1E 00 0E 00 00 03 E9 00 05 68 65 6C 6C 6F 00 01 00"),
        // The private kind puts one zero byte before the text reference.
        Hex("00 1E 00 20 00 00 03 E9 00 03 72 65 66 00 15 00 00 00 00 C3 50 00 00 00 00 00 00 00 "
            "00 00 00 00 03 61 62 63"),
        Hex("00 41 00 0C 01 02 03 04 05 00 02 68 69 00 01 00"),
        Hex("00 41 00 1A 01 02 03 04 05 00 01 76 00 10 01 02 03 00 04 77 61 76 65 00 05 68 65 6C "
            "6C 6F"),
        Hex("00 39 00 0B 00 00 30 39 00 02 79 6F 00 01 00"),
        Hex("00 40 00 0C 01 02 03 04 05 01 01 00 00 00 01 00"),
        Hex("00 40 00 0C 01 02 03 04 05 00 00 00 00 00 01 00"),
        Hex("00 32 00 04 00 00 03 E9"),
        Hex("00 33 00 04 00 00 03 E9"),
        Hex("00 34 00 04 00 00 30 39"),
        Hex("00 36 00 00"),
        Hex("00 28 00 07 00 00 03 E9 00 01 01"),
        Hex("00 28 00 07 00 00 03 E9 00 01 00"),
        Hex("00 29 00 04 00 00 03 E9"),
    };
    ASSERT_TRUE(server.WaitForFrames(expected.size()));
    EXPECT_EQ(server.FrameBytes(), expected);
    EXPECT_TRUE(errors.Take().isEmpty());
}

TEST_F(ChatTest, GroupOperationsRefuseGroupsNotInTheList) {
    LogIn();
    Deliver(GroupJoin(kGeneral, "General"));
    // Group names compare exactly.
    EXPECT_EQ(MessageOf([&] { chat->SendGroupMessage("general", "hi"); }),
              "List index out of bounds (-1)");
    EXPECT_EQ(MessageOf([&] { chat->MuteGroup(1); }), "List index out of bounds (1)");
    EXPECT_EQ(MessageOf([&] { chat->UnmuteGroup(-1); }), "List index out of bounds (-1)");
    EXPECT_EQ(MessageOf([&] { chat->SendGroupMessageByIndex(1, "hi"); }),
              "List index out of bounds (1)");
    EXPECT_EQ(FramesUpToMarker(), Frames{kKickAll}) << "nothing may be written before it";
}

TEST_F(ChatTest, OperationsRaiseTheStateErrorOutsideLoggedIn) {
    EXPECT_EQ(MessageOf([&] { chat->PrivateGroupKickAll(); }),
              "Packet type Privategroup Kickall not allowed in state Disconnected");
    ReachCharacterChoice();
    const uint32_t tick = chat->LastSendTick();
    const QString refused = " not allowed in state Ready for Login";
    EXPECT_EQ(MessageOf([&] { chat->AddFriend("Alice", true); }),
              "Packet type Friend Add" + refused);
    EXPECT_EQ(MessageOf([&] { chat->SendPrivateMessage("Alice", "hi"); }),
              "Packet type Message Private" + refused);
    EXPECT_EQ(MessageOf([&] { chat->RemoveFriend("Zed"); }), "Packet type Name Lookup" + refused);
    EXPECT_EQ(chat->LastSendTick(), tick);
    EXPECT_FALSE(chat->SendTimer().isActive());
    chat->SelectCharacter("Alice");
    ASSERT_TRUE(server.WaitForFrames(2));
    EXPECT_EQ(server.frames[1].type, 3) << "nothing may be written before the choice";
    EXPECT_EQ(MessageOf([&] { chat->SelectCharacter("Alice"); }),
              "Packet type Login Select Character not allowed in state Awaiting Login Result");
}

TEST_F(ChatTest, QueuedPacketsLeaveOnePerIntervalAndDirectOnesAtOnce) {
    plat::ManualClock clock(1000000);
    LogIn();
    Deliver(ClientName(kBobId, "Bob"));
    const int64_t t0 = clock.Now();
    for (const char* text : {"one", "two", "three"}) {
        ASSERT_TRUE(chat->SendPrivateMessage("Bob", text));
    }
    EXPECT_EQ(chat->LastSendTick(), static_cast<uint32_t>(t0));
    EXPECT_EQ(chat->SendQueueCount(), 2);
    EXPECT_TRUE(chat->SendTimer().isActive());
    EXPECT_EQ(chat->SendTimer().interval(), 3300);
    EXPECT_EQ(chat->SendTimer().timerType(), Qt::PreciseTimer);
    ASSERT_TRUE(chat->AddFriend("Bob", true)); // direct: not paced

    // A text too large for the protocol is refused to the caller, not queued.
    EXPECT_EQ(MessageOf([&] { chat->SendPrivateMessage("Bob", QByteArray(65536, 'x')); }),
              "Packet too large: 65536 bytes");
    EXPECT_EQ(chat->SendQueueCount(), 2);

    for (const int64_t at : {3300, 6600}) {
        clock.Set(t0 + at);
        chat->SendTimerTimer();
        EXPECT_EQ(chat->LastSendTick(), static_cast<uint32_t>(t0 + at));
    }
    EXPECT_EQ(chat->SendQueueCount(), 0);
    clock.Set(t0 + 9900);
    chat->SendTimerTimer();
    EXPECT_FALSE(chat->SendTimer().isActive()) << "an empty queue stops the timer";

    clock.Set(t0 + 16600);
    ASSERT_TRUE(chat->SendPrivateMessage("Bob", "four"));
    EXPECT_EQ(chat->LastSendTick(), static_cast<uint32_t>(t0 + 16600));
    EXPECT_EQ(chat->SendQueueCount(), 0);

    ASSERT_TRUE(server.WaitForFrames(5));
    Frames texts;
    for (const ClientFrame& f : server.frames) {
        texts.push_back(f.type == 30 ? f.Args().at(1).AsText() : "add friend");
    }
    EXPECT_EQ(texts, (Frames{"one", "add friend", "two", "three", "four"}));

    // Without flood protection every message leaves at once.
    clock.Advance(3300);
    chat->SendTimerTimer();
    ASSERT_FALSE(chat->SendTimer().isActive());
    chat->SetFloodProtection(false);
    for (const char* text : {"five", "six", "seven"}) {
        ASSERT_TRUE(chat->SendPrivateMessage("Bob", text));
    }
    EXPECT_EQ(chat->SendQueueCount(), 0);
    EXPECT_FALSE(chat->SendTimer().isActive());
    ASSERT_TRUE(server.WaitForFrames(8));
}

TEST_F(ChatTest, AQueuedPacketThatFailsIsReleasedAndTheTimerGoesOn) {
    LogIn();
    Deliver(ClientName(kBobId, "Bob"));
    for (const char* text : {"one", "two", "three"}) {
        ASSERT_TRUE(chat->SendPrivateMessage("Bob", text));
    }
    // The connection is gone while the queue still holds two packets.
    chat->Disconnect();
    TVLChatTestSeam::SetState(*chat, csLoggedIn);
    const uint32_t tick = chat->LastSendTick();
    for (const qsizetype left : {1, 0}) {
        EXPECT_EQ(MessageOf([&] { chat->SendTimerTimer(); }), "Socket is not connected");
        EXPECT_EQ(chat->SendQueueCount(), left);
        EXPECT_TRUE(chat->SendTimer().isActive());
        EXPECT_EQ(chat->LastSendTick(), tick) << "nothing was handed over";
    }
    chat->SendTimerTimer();
    EXPECT_FALSE(chat->SendTimer().isActive());
}

TEST_F(ChatTest, PingFollowsSixtySecondsOfSilence) {
    plat::ManualClock clock(5000000);
    LogIn();
    const int64_t lastSend = clock.Now();
    // The checks run every 5 s from a moment after the last send.
    int64_t pingAt = 0;
    for (int k = 1; k <= 14 && pingAt == 0; ++k) {
        clock.Set(lastSend + 2000 + 5000 * k);
        const QTime before = QTime::currentTime();
        chat->PingTimerTimer();
        const QTime after = QTime::currentTime();
        if (chat->LastSendTick() != static_cast<uint32_t>(lastSend)) {
            pingAt = clock.Now() - lastSend;
            ASSERT_TRUE(server.WaitForFrames(1));
            const QByteArray& frame = server.frames[0].bytes;
            EXPECT_EQ(frame.left(6), Hex("00 64 00 03 00 01"));
            const auto byte = static_cast<uint8_t>(frame.at(6));
            EXPECT_TRUE(byte == PingDataByte(before) || byte == PingDataByte(after));
        }
    }
    EXPECT_EQ(pingAt, 62000);
    EXPECT_TRUE(chat->SendTimer().isActive()) << "the ping goes through the queue";

    // The ping itself counts as a send.
    clock.Advance(5000);
    chat->PingTimerTimer();
    EXPECT_EQ(chat->LastSendTick(), static_cast<uint32_t>(lastSend + pingAt));
}

TEST_F(ChatTest, PingUsesTheUnsignedTickDifferenceAndOnlyWhenLoggedIn) {
    plat::ManualClock clock(0xFFFFF000);
    ReachCharacterChoice();
    clock.Advance(1000000);
    chat->PingTimerTimer();
    EXPECT_EQ(chat->SendQueueCount(), 0);
    clock.Set(0xFFFFF000);
    chat->SelectCharacter("Alice");
    server.Send(kLoginOK);
    ASSERT_TRUE(WaitForState(csLoggedIn));
    ASSERT_EQ(chat->LastSendTick(), 0xFFFFF000u);

    // The tick wraps past zero between the last send and the checks.
    clock.Set(0xFFFFF000 + 60000);
    chat->PingTimerTimer();
    EXPECT_EQ(chat->LastSendTick(), 0xFFFFF000u) << "60000 ms is not more than 60000 ms";
    clock.Set(0xFFFFF000 + 60001);
    chat->PingTimerTimer();
    EXPECT_EQ(chat->LastSendTick(), static_cast<uint32_t>(0xFFFFF000 + 60001));
}

TEST(VLChatTime, DateTimeToUnixTruncatesTowardZeroAndKeepsTheLow32Bits) {
    EXPECT_EQ(DateTimeToUnix(QDate(1970, 1, 1), QTime(0, 0)), 0);
    EXPECT_EQ(DateTimeToUnix(QDate(2001, 9, 9), QTime(1, 46, 40)), 1000000000);
    EXPECT_EQ(DateTimeToUnix(QDate(1969, 12, 31), QTime(23, 59, 59, 500)), 0);
    EXPECT_EQ(DateTimeToUnix(QDate(1969, 12, 31), QTime(23, 59, 58, 500)), -1);
    EXPECT_EQ(DateTimeToUnix(QDate(2038, 1, 19), QTime(3, 14, 8)), INT32_MIN);
    // -2209161600 seconds, whose low 32 bits read as a positive number.
    EXPECT_EQ(DateTimeToUnix(QDate(1899, 12, 30), QTime(0, 0)), 0x7C52DE80);

    EXPECT_EQ(PingDataByte(QTime(0, 0)), 0x80);
    EXPECT_EQ(PingDataByte(QTime(0, 0, 0, 500)), 0x81);
    EXPECT_EQ(PingDataByte(QTime(0, 0, 1)), 0x81);
    EXPECT_EQ(PingDataByte(QTime(12, 0)), 0x40);
    EXPECT_EQ(PingDataByte(QTime(23, 59, 59, 999)), 0x00);
}
