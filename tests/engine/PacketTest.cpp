#include "engine/VLChatPacket.h"

#include "Bytes.h"
#include "PacketText.h"
#include "Raises.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using A = TPacketArg;

uint32_t MaskOf(std::initializer_list<int> rows) {
    uint32_t mask = 0;
    for (const int row : rows) {
        mask |= 1u << row;
    }
    return mask;
}

} // namespace

TEST(PacketTables, RowConstantsMatchTheStateMasksAndEveryTypeFindsItsRow) {
    // The engine's state masks are built over row indices; the named rows must
    // land on the bits the masks expect.
    EXPECT_EQ(MaskOf({spClientName, spLookupResult, spMessagePrivate, spMessageSystem,
                      spFriendAdded, spFriendRemoved, spPrivategroupInvited, spPrivategroupKicked,
                      spPrivategroupClientJoin, spPrivategroupClientPart, spPrivategroupMessage,
                      spGroupJoin, spGroupMessage, spPong}),
              0x00DEF9C0u);
    EXPECT_EQ(
        MaskOf({cpNameLookup, cpMessagePrivate, cpFriendAdd, cpFriendRemove, cpPrivategroupInvite,
                cpPrivategroupKick, cpPrivategroupJoin, cpPrivategroupPart, cpPrivategroupKickall,
                cpPrivategroupMessage, cpGroupDataSet, cpGroupMessage, cpPing}),
        0x00047FBCu);
    EXPECT_EQ(MaskOf({spLoginResultError, spLoginCharacterList}), 0x18u);
    EXPECT_EQ(MaskOf({spLoginResultOK, spLoginResultError}), 0xCu);

    std::set<int32_t> seen;
    for (size_t row = 1; row < VLServerPackets.size(); ++row) {
        const int32_t type = VLServerPackets[row].Type;
        EXPECT_TRUE(seen.insert(type).second) << "type " << type << " twice";
        EXPECT_EQ(TVLChatIncomingPacket::RowOfType(type), row) << VLServerPackets[row].Name;
    }
    for (const char* body : {"", "AA BB CC"}) {
        EXPECT_EQ(Show(TVLChatIncomingPacket(9999, Hex(body))), "Unknown Packet Type");
    }
}

TEST(IncomingPacket, EveryKindDecodes) {
    const std::tuple<int32_t, const char*, const char*> cases[] = {
        {5, "", "Login Result OK"},
        // A text is cut at its first NUL.
        {36, "00 06 61 62 00 63 64 65", "Message System ab"},
        {7, "00 00 00 00 00 00 00 00", "Login CharacterList    "}, // four empty lists
        // Data of length 0 is empty, not one byte.
        {60, "01 02 03 04 05 00 07 47 65 6E 65 72 61 6C 00 00 00 00 00 00",
         "Group Join g0102030405 General 0 []"},
        // Lists keep wire order.
        {7,
         "00 02 00 00 30 39 00 00 03 09 00 02 00 05 41 6C 69 63 65 00 05 42 6F 62 62 79 00 02 00 "
         "00 00 0A 00 00 00 C8 00 02 00 00 00 01 00 00 00 00",
         "Login CharacterList 12345,777 Alice,Bobby 10,200 1,0"},
        // Signed big-endian integers; data keeps NULs and high bytes; 8-bit text passes.
        {65, "FF 00 80 7F FF FF FF FF FE 00 03 E9 00 41 00 03 00 FF 00",
         "Group Message gff00807fff -2 \\xE9 [00ff00]"},
        {1100, "00 01 80 00 00 00 00 00 00 01 7F FF FF FF", "Adm Mux Info -2147483648  2147483647"},
        {7, "00 00 00 03 00 03 61 00 62 00 00 00 02 FF FE 00 00 00 00",
         "Login CharacterList  a,,\\xFF\\xFE  "},
    };
    for (const auto& [type, body, shown] : cases) {
        EXPECT_EQ(Show(TVLChatIncomingPacket(type, Hex(body))), QString(shown)) << body;
    }
}

TEST(IncomingPacket, BodiesThatDoNotHoldTheirArgumentsAreRefused) {
    const std::tuple<int32_t, const char*, const char*> cases[] = {
        {36, "00 05 61", "Stream read error"},                       // text claims 5, 1 present
        {36, "00", "Stream read error"},                             // half a length
        {100, "80 01 00 00 00 00 00 00 00 00", "Stream read error"}, // data claims 0x8001
        {100, "FF FF 00", "Stream read error"},                      // data claims 65535
        {10, "00 00 01", "Stream read error"},                       // integer of 3 bytes
        {61, "01 02 03 04", "Stream read error"},                    // group id of 4 bytes
        {7, "FF FF 00 00 00 01", "Stream read error"},               // 65535 integers announced
        {7, "00 00 FF FF 00 01 61", "Stream read error"},            // 65535 texts announced
        {7, "00 00 00 02 00 01 61 00 09 62", "Stream read error"},   // second text cut short
        {57, "00 00 00 01 00 00 00 02 00 00 00 01", "Stream read error"}, // data: none left
        // "Forward" always fails on its letter M, after reading the integer before it.
        {110, "00 00 00 01 00 00", "Logic error, bad param type M."},
        {110, "00", "Stream read error"},
    };
    for (const auto& [type, body, message] : cases) {
        const int32_t t = type;
        const char* const b = body;
        EXPECT_EQ(MessageOf([t, b] { TVLChatIncomingPacket(t, Hex(b)); }), message)
            << t << ": " << b;
    }
    const QByteArray limit = Hex("0F FE") + QByteArray(4094, 'x');
    EXPECT_EQ(TVLChatIncomingPacket(100, limit).Args(0).AsData().size(), 4094);
    EXPECT_EQ(MessageOf<EPacketTooLarge>([&] { TVLChatIncomingPacket(100, limit + "x"); }),
              "Packet too large: 4097 bytes");
}

TEST(IncomingPacket, ArgumentsOutsideTheListAndWrongKinds) {
    const TVLChatIncomingPacket p(20, Hex("00 00 00 07 00 02 68 69"));
    EXPECT_EQ(MessageOf<plat::EListError>([&] { p.Args(2); }), "List index out of bounds (2)");
    EXPECT_EQ(MessageOf<plat::EListError>([&] { p.Args(-1); }), "List index out of bounds (-1)");
    EXPECT_THROW(p.Args(0).AsText(), plat::EConvertError);
    EXPECT_THROW(p.Args(1).AsData(), plat::EConvertError); // a text is not data
}

TEST(OutgoingPacket, ExactFramesAndTheirArgumentsReadBack) {
    const std::tuple<TVLClientPacket, TPacketArgs, const char*> cases[] = {
        {cpGroupMessage,
         {A::Group({1, 2, 3, 4, 5}), A::Text("hi"), A::Data(QByteArray(1, '\0'))},
         "00 41 00 0C 01 02 03 04 05 00 02 68 69 00 01 00"},
        {cpPrivategroupKickall, {}, "00 36 00 00"},
        {cpLoginResponseGetCharList,
         {A::Int(-1), A::Text(""), A::Text("\xFF")},
         "00 02 00 09 FF FF FF FF 00 00 00 01 FF"},
        {cpPing, {A::Data({})}, "00 64 00 02 00 00"},
    };
    for (const auto& [row, args, frame] : cases) {
        const TVLChatOutgoingPacket packet(row, args);
        EXPECT_EQ(packet.Frame(), Hex(frame));
        EXPECT_EQ(packet.Serialize(), Hex(frame).mid(4));
        // A peer reads back what was written.
        EXPECT_EQ(ReadPacketArgs(VLClientPackets[row].Signature, Hex(frame).mid(4)), args);
    }
}

TEST(OutgoingPacket, LengthLimits) {
    const auto lookup = [](qsizetype n) {
        return TVLChatOutgoingPacket(cpNameLookup, {A::Text(QByteArray(n, 'a'))}).Frame();
    };
    // The largest body that fits: a 65533-byte text plus its length field.
    const QByteArray frame = lookup(65533);
    EXPECT_EQ(frame.size(), 4 + 65535);
    EXPECT_EQ(frame.left(6), Hex("00 15 FF FF FF FD"));
    const std::pair<std::function<void()>, const char*> cases[] = {
        {[&] { lookup(65534); }, "Packet too large: 65536 bytes"},
        {[&] { lookup(65536); }, "Packet too large: 65536 bytes"},
        {[] { TVLChatOutgoingPacket(cpPing, {A::Data(QByteArray(70000, 'd'))}).Serialize(); },
         "Packet too large: 70000 bytes"},
        // Each part fits, the body does not.
        {[] {
             TVLChatOutgoingPacket(cpMessagePrivate, {A::Int(1), A::Text(QByteArray(40000, 't')),
                                                      A::Data(QByteArray(40000, 'd'))})
                 .Frame();
         },
         "Packet too large: 80008 bytes"},
        {[] {
             WritePacketFrame(7, "s", {A::TextList(QList<QByteArray>(2, QByteArray(40000, 'x')))});
         },
         "Packet too large: 80006 bytes"},
        // A list count that does not fit its field, and list bytes that overflow the body.
        {[] { WritePacketFrame(7, "i", {A::IntList(QList<int32_t>(65536, 0))}); },
         "Packet too large: 65536 bytes"},
        {[] { WritePacketFrame(7, "i", {A::IntList(QList<int32_t>(20000, 0))}); },
         "Packet too large: 80002 bytes"},
    };
    for (const auto& [build, message] : cases) {
        EXPECT_EQ(MessageOf<EPacketTooLarge>(build), message);
    }
}

TEST(OutgoingPacket, BadArgumentsAreRefused) {
    EXPECT_EQ(MessageOf<plat::EListError>([] { TVLChatOutgoingPacket(cpCount, {}); }),
              "List index out of bounds (20)");
    // One argument short: the missing one is reported, nothing is built.
    EXPECT_EQ(MessageOf<plat::EListError>(
                  [] { TVLChatOutgoingPacket(cpFriendAdd, {A::Int(1)}).Frame(); }),
              "List index out of bounds (1)");
    EXPECT_THROW(TVLChatOutgoingPacket(cpFriendAdd, {A::Int(1), A::Text("x")}).Serialize(),
                 plat::EConvertError);
    EXPECT_THROW(
        TVLChatOutgoingPacket(cpGroupDataSet, {A::Int(1), A::Int(1), A::Data("x")}).Serialize(),
        plat::EConvertError);
    EXPECT_EQ(MessageOf([] { WritePacketFrame(110, "IM", {A::Int(1)}); }), "Unknown param type M");
    // Nothing sends the client's list row: its letter cannot be written.
    EXPECT_EQ(MessageOf([] { TVLChatOutgoingPacket(cpCc, {A::TextList({"z"})}).Frame(); }),
              "Unknown param type s");
    EXPECT_THROW(WritePacketFrame(7, "i", {A::TextList({})}), plat::EConvertError);
    EXPECT_THROW(WritePacketFrame(7, "ii", {A::IntList({})}), plat::EListError);
}
