#include "engine/VLChatPacket.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

namespace {

QByteArray hex(const char* text) {
    return QByteArray::fromHex(text); // spaces are skipped
}

TVLChatIncomingPacket parse(int32_t type, const char* bodyHex) {
    return TVLChatIncomingPacket(type, hex(bodyHex));
}

template <typename E, typename F>
QString messageOf(F&& f) {
    try {
        f();
    } catch (const E& e) {
        return e.Message();
    }
    return QStringLiteral("<no exception>");
}

uint32_t maskOf(std::initializer_list<int> rows) {
    uint32_t mask = 0;
    for (const int row : rows) {
        mask |= 1u << row;
    }
    return mask;
}

} // namespace

// ---- tables --------------------------------------------------------------

TEST(PacketTables, RowConstantsMatchTheStateMasks) {
    // The engine's state masks are built over row indices; the named rows must
    // land on the bits the masks expect.
    EXPECT_EQ(maskOf({spClientName, spLookupResult, spMessagePrivate, spMessageSystem,
                      spFriendAdded, spFriendRemoved, spPrivategroupInvited, spPrivategroupKicked,
                      spPrivategroupClientJoin, spPrivategroupClientPart, spPrivategroupMessage,
                      spGroupJoin, spGroupMessage, spPong}),
              0x00DEF9C0u);
    EXPECT_EQ(
        maskOf({cpNameLookup, cpMessagePrivate, cpFriendAdd, cpFriendRemove, cpPrivategroupInvite,
                cpPrivategroupKick, cpPrivategroupJoin, cpPrivategroupPart, cpPrivategroupKickall,
                cpPrivategroupMessage, cpGroupDataSet, cpGroupMessage, cpPing}),
        0x00047FBCu);
    EXPECT_EQ(maskOf({spLoginResultError, spLoginCharacterList}), 0x18u);
    EXPECT_EQ(maskOf({spLoginResultOK, spLoginResultError}), 0xCu);
    EXPECT_EQ(VLServerPackets.size(), 26u);
    EXPECT_EQ(VLClientPackets.size(), 20u);
}

TEST(PacketTables, EveryServerTypeFindsItsOwnRow) {
    std::set<int32_t> seen;
    for (size_t row = 1; row < VLServerPackets.size(); ++row) {
        const int32_t type = VLServerPackets[row].Type;
        EXPECT_TRUE(seen.insert(type).second) << "type " << type << " twice";
        EXPECT_EQ(TVLChatIncomingPacket::RowOfType(type), row) << VLServerPackets[row].Name;
    }
    EXPECT_EQ(TVLChatIncomingPacket::RowOfType(9999), spUnknownPacketType);
    EXPECT_EQ(TVLChatIncomingPacket::RowOfType(0xFFFF), spUnknownPacketType);
    EXPECT_STREQ(VLServerPackets[spUnknownPacketType].Name, "Unknown Packet Type");
}

TEST(PacketTables, OnlyTheListRowOfTheClientTableCannotBeSerialised) {
    // Build default arguments for each client row from its signature letters.
    for (size_t row = 0; row < VLClientPackets.size(); ++row) {
        TPacketArgs args;
        for (const char* p = VLClientPackets[row].Signature; *p; ++p) {
            switch (*p) {
            case 'I':
                args.append(TPacketArg::Int(1));
                break;
            case 'S':
                args.append(TPacketArg::Text("x"));
                break;
            case 'G':
                args.append(TPacketArg::Group({}));
                break;
            case 'D':
                args.append(TPacketArg::Data("y"));
                break;
            default:
                args.append(TPacketArg::TextList({"z"}));
                break;
            }
        }
        TVLChatOutgoingPacket packet(static_cast<uint8_t>(row), args);
        if (row == cpCc) {
            EXPECT_EQ(messageOf<plat::Exception>([&] { packet.Frame(); }), u"Unknown param type s");
        } else {
            const QByteArray frame = packet.Frame();
            ASSERT_GE(frame.size(), 4) << VLClientPackets[row].Name;
            EXPECT_EQ((uint8_t(frame[0]) << 8) | uint8_t(frame[1]), VLClientPackets[row].Type);
            EXPECT_EQ((uint8_t(frame[2]) << 8) | uint8_t(frame[3]), frame.size() - 4);
        }
    }
}

// ---- parsing -------------------------------------------------------------

TEST(IncomingPacket, SmallExamples) {
    const auto ok = parse(5, "");
    EXPECT_EQ(ok.Index(), spLoginResultOK);
    EXPECT_EQ(ok.ArgCount(), 0);

    const auto system = parse(36, "00 06 61 62 00 63 64 65");
    EXPECT_EQ(system.Index(), spMessageSystem);
    EXPECT_EQ(system.Args(0).AsText(), QByteArray("ab"));

    const auto lists = parse(7, "00 00 00 00 00 00 00 00");
    ASSERT_EQ(lists.ArgCount(), 4);
    EXPECT_TRUE(lists.Args(0).AsIntList().isEmpty());
    EXPECT_TRUE(lists.Args(1).AsTextList().isEmpty());
    EXPECT_TRUE(lists.Args(3).AsIntList().isEmpty());

    // Group Join with a data argument of length 0: an empty value, not one byte.
    const auto join = parse(60, "01 02 03 04 05 00 07 47 65 6E 65 72 61 6C 00 00 00 00 00 00");
    EXPECT_EQ(join.Index(), spGroupJoin);
    EXPECT_EQ(join.Args(0).AsGroup(), (TGroupId{1, 2, 3, 4, 5}));
    EXPECT_EQ(join.Args(1).AsText(), QByteArray("General"));
    EXPECT_EQ(join.Args(2).AsInt(), 0);
    EXPECT_EQ(join.Args(3).AsData(), QByteArray());
    EXPECT_EQ(join.Args(3).AsData().size(), 0);
}

TEST(IncomingPacket, EveryKindDecodes) {
    // Login CharacterList with two characters: lists keep wire order.
    const auto chars = parse(7, "00 02 00 00 30 39 00 00 03 09 00 02 00 05 41 6C 69 63 65 00 05 42"
                                "6F 62 62 79 00 02 00 00 00 0A 00 00 00 C8 00 02 00 00 00 01 00 00"
                                "00 00");
    EXPECT_EQ(chars.Args(0).AsIntList(), (QList<int32_t>{12345, 777}));
    EXPECT_EQ(chars.Args(1).AsTextList(), (QList<QByteArray>{"Alice", "Bobby"}));
    EXPECT_EQ(chars.Args(2).AsIntList(), (QList<int32_t>{10, 200}));
    EXPECT_EQ(chars.Args(3).AsIntList(), (QList<int32_t>{1, 0}));

    // Integers are signed big-endian; data keeps NULs and high bytes; list
    // texts are cut at their first NUL; 8-bit text bytes pass unchanged.
    const auto group = parse(65, "FF 00 80 7F FF FF FF FF FE 00 03 E9 00 41 00 03 00 FF 00");
    EXPECT_EQ(group.Index(), spGroupMessage);
    EXPECT_EQ(group.Args(0).AsGroup(), (TGroupId{0xFF, 0x00, 0x80, 0x7F, 0xFF}));
    EXPECT_EQ(group.Args(1).AsInt(), -2);
    EXPECT_EQ(group.Args(2).AsText(), QByteArray("\xE9", 1));
    EXPECT_EQ(group.Args(3).AsData(), QByteArray("\x00\xFF\x00", 3));

    const auto mux = parse(1100, "00 01 80 00 00 00 00 00 00 01 7F FF FF FF");
    EXPECT_EQ(mux.Args(0).AsIntList(), QList<int32_t>{INT32_MIN});
    EXPECT_EQ(mux.Args(2).AsIntList(), QList<int32_t>{INT32_MAX});

    const auto names = parse(7, "00 00 00 03 00 03 61 00 62 00 00 00 02 FF FE 00 00 00 00");
    EXPECT_EQ(names.Args(1).AsTextList(), (QList<QByteArray>{"a", "", "\xFF\xFE"}));
}

TEST(IncomingPacket, UnknownTypeHasNoArgumentsWhateverTheBody) {
    for (const char* body : {"", "AA BB CC", "00 01 02 03 04 05 06 07 08 09"}) {
        const auto p = parse(9999, body);
        EXPECT_EQ(p.Index(), spUnknownPacketType);
        EXPECT_EQ(p.ArgCount(), 0);
        EXPECT_STREQ(p.Info().Name, "Unknown Packet Type");
    }
}

TEST(IncomingPacket, ForwardAlwaysFailsOnItsSignature) {
    EXPECT_EQ(messageOf<plat::Exception>([] { parse(110, "00 00 00 01 00 00"); }),
              u"Logic error, bad param type M.");
    // The integer before the bad letter is read first: a short body fails on it.
    EXPECT_EQ(messageOf<plat::EReadError>([] { parse(110, "00"); }), u"Stream read error");
}

TEST(IncomingPacket, LengthsBeyondTheBodyAreReadErrors) {
    const struct {
        int32_t type;
        const char* body;
    } cases[] = {
        {36, "00 05 61"},                            // text claims 5, 1 present
        {36, "00"},                                  // half a length
        {100, "80 01 00 00 00 00 00 00 00 00"},      // data claims 0x8001 in 10 bytes
        {100, "FF FF 00"},                           // data claims 65535
        {10, "00 00 01"},                            // integer of 3 bytes
        {61, "01 02 03 04"},                         // group identifier of 4 bytes
        {7, "FF FF 00 00 00 01"},                    // 65535 integers announced
        {7, "00 00 FF FF 00 01 61"},                 // 65535 texts announced
        {7, "00 00 00 02 00 01 61 00 09 62"},        // second list text cut short
        {57, "00 00 00 01 00 00 00 02 00 00 00 01"}, // data claims 1 byte, none left
    };
    for (const auto& c : cases) {
        EXPECT_EQ(messageOf<plat::EReadError>([&] { parse(c.type, c.body); }), u"Stream read error")
            << c.type << ": " << c.body;
    }
}

TEST(IncomingPacket, BodiesAboveTheReceiveLimitAreRefused) {
    const QByteArray limit = hex("0F FE") + QByteArray(4094, 'x');
    EXPECT_EQ(TVLChatIncomingPacket(100, limit).Args(0).AsData().size(), 4094);
    const QByteArray over = limit + "x";
    EXPECT_EQ(messageOf<EPacketTooLarge>([&] { TVLChatIncomingPacket(100, over); }),
              u"Packet too large: 4097 bytes");
}

TEST(IncomingPacket, ArgumentsOutsideTheListAndWrongKinds) {
    const auto p = parse(20, "00 00 00 07 00 02 68 69");
    EXPECT_EQ(messageOf<plat::EListError>([&] { p.Args(2); }), u"List index out of bounds (2)");
    EXPECT_EQ(messageOf<plat::EListError>([&] { p.Args(-1); }), u"List index out of bounds (-1)");
    EXPECT_THROW(p.Args(0).AsText(), plat::EConvertError);
    EXPECT_THROW(p.Args(1).AsData(), plat::EConvertError); // a text is not data
    EXPECT_EQ(p.Args(1).Kind(), TArgKind::Text);
}

// ---- serialising ---------------------------------------------------------

TEST(OutgoingPacket, ExactFrames) {
    const TVLChatOutgoingPacket group(cpGroupMessage,
                                      {TPacketArg::Group({1, 2, 3, 4, 5}), TPacketArg::Text("hi"),
                                       TPacketArg::Data(QByteArray(1, '\0'))});
    EXPECT_EQ(group.Serialize(), hex("01 02 03 04 05 00 02 68 69 00 01 00"));
    EXPECT_EQ(group.Frame(), hex("00 41 00 0C 01 02 03 04 05 00 02 68 69 00 01 00"));

    EXPECT_EQ(TVLChatOutgoingPacket(cpPrivategroupKickall, {}).Frame(), hex("00 36 00 00"));
    EXPECT_EQ(TVLChatOutgoingPacket(cpPrivategroupKickall, {}).Serialize(), QByteArray());

    const TVLChatOutgoingPacket mute(cpGroupDataSet,
                                     {TPacketArg::Group({1, 2, 3, 4, 5}),
                                      TPacketArg::Int(0x01010000), TPacketArg::Data(hex("00"))});
    EXPECT_EQ(mute.Frame(), hex("00 40 00 0C 01 02 03 04 05 01 01 00 00 00 01 00"));

    const TVLChatOutgoingPacket friendAdd(cpFriendAdd,
                                          {TPacketArg::Int(1001), TPacketArg::Data(hex("01"))});
    EXPECT_EQ(friendAdd.Frame(), hex("00 28 00 07 00 00 03 E9 00 01 01"));

    const TVLChatOutgoingPacket tell(
        cpMessagePrivate,
        {TPacketArg::Int(1001), TPacketArg::Text("hello"), TPacketArg::Data(hex("00"))});
    EXPECT_EQ(tell.Frame(), hex("00 1E 00 0E 00 00 03 E9 00 05 68 65 6C 6C 6F 00 01 00"));

    const TVLChatOutgoingPacket login(
        cpLoginResponseGetCharList,
        {TPacketArg::Int(-1), TPacketArg::Text(""), TPacketArg::Text("\xFF")});
    EXPECT_EQ(login.Frame(), hex("00 02 00 09 FF FF FF FF 00 00 00 01 FF"));
}

TEST(OutgoingPacket, ParsedBackGivesTheSameArguments) {
    // Rows with the same signature on both sides read back what was written.
    const TPacketArgs args{TPacketArg::Int(-123456), TPacketArg::Text(QByteArray(300, 'q')),
                           TPacketArg::Data(QByteArray("\x00\x01\x02\xFF", 4))};
    const TVLChatOutgoingPacket tell(cpMessagePrivate, args);
    const TVLChatIncomingPacket back(VLClientPackets[cpMessagePrivate].Type, tell.Serialize());
    EXPECT_EQ(back.Index(), spMessagePrivate);
    ASSERT_EQ(back.ArgCount(), 3);
    for (qsizetype n = 0; n < 3; ++n) {
        EXPECT_EQ(back.Args(n), args[n]) << n;
    }
    const TPacketArgs ping{TPacketArg::Data(QByteArray())};
    const TVLChatIncomingPacket pong(100, TVLChatOutgoingPacket(cpPing, ping).Serialize());
    EXPECT_EQ(pong.Args(0), ping[0]);
}

TEST(OutgoingPacket, LengthLimits) {
    auto lookup = [](qsizetype n) {
        return TVLChatOutgoingPacket(cpNameLookup, {TPacketArg::Text(QByteArray(n, 'a'))});
    };
    // The largest body that fits: a 65533-byte text plus its length field.
    const QByteArray frame = lookup(65533).Frame();
    EXPECT_EQ(frame.size(), 4 + 65535);
    EXPECT_EQ(frame.left(6), hex("00 15 FF FF FF FD"));
    EXPECT_EQ(messageOf<EPacketTooLarge>([&] { lookup(65534).Frame(); }),
              u"Packet too large: 65536 bytes");
    EXPECT_EQ(messageOf<EPacketTooLarge>([&] { lookup(65536).Serialize(); }),
              u"Packet too large: 65536 bytes");
    EXPECT_EQ(messageOf<EPacketTooLarge>([&] {
                  TVLChatOutgoingPacket(cpPing, {TPacketArg::Data(QByteArray(70000, 'd'))}).Frame();
              }),
              u"Packet too large: 70000 bytes");
    // Each part fits, the body does not.
    EXPECT_EQ(messageOf<EPacketTooLarge>([&] {
                  TVLChatOutgoingPacket(cpMessagePrivate,
                                        {TPacketArg::Int(1),
                                         TPacketArg::Text(QByteArray(40000, 't')),
                                         TPacketArg::Data(QByteArray(40000, 'd'))})
                      .Frame();
              }),
              u"Packet too large: 80008 bytes");
}

TEST(OutgoingPacket, BadArgumentsAreRefused) {
    EXPECT_EQ(messageOf<plat::EListError>([] { TVLChatOutgoingPacket(cpCount, {}); }),
              u"List index out of bounds (20)");
    // One argument short: the missing one is reported, nothing is built.
    EXPECT_EQ(messageOf<plat::EListError>(
                  [] { TVLChatOutgoingPacket(cpFriendAdd, {TPacketArg::Int(1)}).Frame(); }),
              u"List index out of bounds (1)");
    EXPECT_THROW(
        TVLChatOutgoingPacket(cpFriendAdd, {TPacketArg::Int(1), TPacketArg::Text("x")}).Serialize(),
        plat::EConvertError);
    EXPECT_THROW(TVLChatOutgoingPacket(cpGroupDataSet, {TPacketArg::Int(1), TPacketArg::Int(1),
                                                        TPacketArg::Data("x")})
                     .Serialize(),
                 plat::EConvertError);
}

// ---- signature-driven encoding (either table) ----------------------------

TEST(PacketEncoding, ServerCharacterListFrameIsExact) {
    // Two characters: Alice 12345 level 10 online, Bobby 777 level 200 offline.
    const TPacketArgs args{TPacketArg::IntList({12345, 777}),
                           TPacketArg::TextList({"Alice", "Bobby"}), TPacketArg::IntList({10, 200}),
                           TPacketArg::IntList({1, 0})};
    const QByteArray frame = WritePacketFrame(7, "isii", args);
    EXPECT_EQ(frame, hex("00 07 00 2E 00 02 00 00 30 39 00 00 03 09 00 02 00 05 41 6C 69 63 65 00"
                         "05 42 6F 62 62 79 00 02 00 00 00 0A 00 00 00 C8 00 02 00 00 00 01 00 00"
                         "00 00"));
    // The client's parser reads back what was written.
    const TVLChatIncomingPacket back(7, frame.mid(4));
    for (qsizetype n = 0; n < 4; ++n) {
        EXPECT_EQ(back.Args(n), args[n]) << n;
    }
    EXPECT_EQ(WritePacketFrame(7, "isii",
                               {TPacketArg::IntList({}), TPacketArg::TextList({}),
                                TPacketArg::IntList({}), TPacketArg::IntList({})}),
              hex("00 07 00 08 00 00 00 00 00 00 00 00"));
}

TEST(PacketEncoding, ClientSignaturesReadBackFromTheirFrames) {
    // The other direction: client packets as a peer reads them.
    const TPacketArgs mute{TPacketArg::Group({1, 2, 3, 4, 5}), TPacketArg::Int(0x01010000),
                           TPacketArg::Data(QByteArray(1, '\0'))};
    const QByteArray frame = TVLChatOutgoingPacket(cpGroupDataSet, mute).Frame();
    EXPECT_EQ(frame, hex("00 40 00 0C 01 02 03 04 05 01 01 00 00 00 01 00"));
    EXPECT_EQ(ReadPacketArgs("GID", frame.mid(4)), mute);
    EXPECT_TRUE(ReadPacketArgs("", hex("01 02")).isEmpty()); // trailing bytes ignored
    EXPECT_EQ(ReadPacketArgs("s", hex("00 02 00 02 61 00 00 00")).at(0).AsTextList(),
              (QList<QByteArray>{"a", ""}));
    // Short bodies, lists claiming more than remains and unknown letters.
    EXPECT_THROW(ReadPacketArgs("ISD", hex("00 00 00 01 00 05 61 62")), plat::EReadError);
    EXPECT_THROW(ReadPacketArgs("i", hex("FF FF 00 00 00 01")), plat::EReadError);
    EXPECT_THROW(ReadPacketArgs("s", hex("00 02 00 01 61")), plat::EReadError);
    EXPECT_EQ(messageOf<plat::Exception>([] { ReadPacketArgs("IM", hex("00 00 00 01")); }),
              u"Logic error, bad param type M.");
}

TEST(PacketEncoding, WriterChecksKindsCountsAndLetters) {
    EXPECT_EQ(messageOf<plat::Exception>([] { WritePacketFrame(110, "IM", {TPacketArg::Int(1)}); }),
              u"Unknown param type M");
    EXPECT_THROW(WritePacketFrame(7, "i", {TPacketArg::TextList({})}), plat::EConvertError);
    EXPECT_THROW(WritePacketFrame(7, "ii", {TPacketArg::IntList({})}), plat::EListError);
    // A list whose count does not fit its 16-bit field, and one whose bytes
    // overflow the body, are refused before anything is built.
    EXPECT_THROW(WritePacketFrame(7, "i", {TPacketArg::IntList(QList<int32_t>(65536, 0))}),
                 EPacketTooLarge);
    EXPECT_THROW(WritePacketFrame(7, "i", {TPacketArg::IntList(QList<int32_t>(20000, 0))}),
                 EPacketTooLarge);
    EXPECT_EQ(messageOf<EPacketTooLarge>([] {
                  WritePacketFrame(
                      7, "s", {TPacketArg::TextList(QList<QByteArray>(2, QByteArray(40000, 'x')))});
              }),
              u"Packet too large: 80006 bytes");
}
