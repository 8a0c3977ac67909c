#include "engine/VLChatPacket.h"

#include "Bytes.h"
#include "GoldenRows.h"
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

// Rows: type, body in hex, what the packet shows or the error it raises.
TEST(IncomingPacket, EveryKindDecodesAndBodiesThatDoNotHoldTheirArgumentsAreRefused) {
    for (const char* file : {"engine/incoming-decoded.tsv", "engine/incoming-refused.tsv"}) {
        const bool refused = std::string(file).find("refused") != std::string::npos;
        for (const QStringList& row : GoldenTextRows(file, 3)) {
            const int32_t type = row[0].toInt();
            const QByteArray body = row[1].toLatin1();
            const QString got = refused ? MessageOf([&] { TVLChatIncomingPacket(type, Hex(body)); })
                                        : QString(Show(TVLChatIncomingPacket(type, Hex(body))));
            EXPECT_EQ(got, row[2]) << file << ": " << row.join(u" | ").toStdString();
        }
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
