#include "engine/VLChatPacket.h"

#include <gtest/gtest.h>

#include <set>

namespace {

QByteArray hex(const char* text) {
    return QByteArray::fromHex(text); // spaces are skipped
}

TPacketArgs argsOf(const TVLChatIncomingPacket& p) {
    TPacketArgs args;
    for (qsizetype n = 0; n < p.ArgCount(); ++n) {
        args.append(p.Args(n));
    }
    return args;
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

using A = TPacketArg;

} // namespace

// ---- tables --------------------------------------------------------------

TEST(PacketTables, RowConstantsMatchTheStateMasksAndEveryTypeFindsItsRow) {
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

    std::set<int32_t> seen;
    for (size_t row = 1; row < VLServerPackets.size(); ++row) {
        const int32_t type = VLServerPackets[row].Type;
        EXPECT_TRUE(seen.insert(type).second) << "type " << type << " twice";
        EXPECT_EQ(TVLChatIncomingPacket::RowOfType(type), row) << VLServerPackets[row].Name;
    }
    for (const char* body : {"", "AA BB CC"}) {
        const TVLChatIncomingPacket unknown(9999, hex(body));
        EXPECT_EQ(unknown.Index(), spUnknownPacketType);
        EXPECT_EQ(unknown.ArgCount(), 0);
        EXPECT_STREQ(unknown.Info().Name, "Unknown Packet Type");
    }
}

// ---- parsing -------------------------------------------------------------

TEST(IncomingPacket, EveryKindDecodes) {
    const struct {
        int32_t type;
        const char* body;
        TVLServerPacket row;
        TPacketArgs args;
    } cases[] = {
        {5, "", spLoginResultOK, {}},
        // A text is cut at its first NUL.
        {36, "00 06 61 62 00 63 64 65", spMessageSystem, {A::Text("ab")}},
        {7,
         "00 00 00 00 00 00 00 00",
         spLoginCharacterList,
         {A::IntList({}), A::TextList({}), A::IntList({}), A::IntList({})}},
        // Data of length 0 is empty, not one byte.
        {60,
         "01 02 03 04 05 00 07 47 65 6E 65 72 61 6C 00 00 00 00 00 00",
         spGroupJoin,
         {A::Group({1, 2, 3, 4, 5}), A::Text("General"), A::Int(0), A::Data({})}},
        // Lists keep wire order.
        {7,
         "00 02 00 00 30 39 00 00 03 09 00 02 00 05 41 6C 69 63 65 00 05 42 6F 62 62 79 00 02 00 "
         "00 00 0A 00 00 00 C8 00 02 00 00 00 01 00 00 00 00",
         spLoginCharacterList,
         {A::IntList({12345, 777}), A::TextList({"Alice", "Bobby"}), A::IntList({10, 200}),
          A::IntList({1, 0})}},
        // Signed big-endian integers; data keeps NULs and high bytes; 8-bit text passes.
        {65,
         "FF 00 80 7F FF FF FF FF FE 00 03 E9 00 41 00 03 00 FF 00",
         spGroupMessage,
         {A::Group({0xFF, 0x00, 0x80, 0x7F, 0xFF}), A::Int(-2), A::Text("\xE9"),
          A::Data(QByteArray("\x00\xFF\x00", 3))}},
        {1100,
         "00 01 80 00 00 00 00 00 00 01 7F FF FF FF",
         spAdmMuxInfo,
         {A::IntList({INT32_MIN}), A::IntList({}), A::IntList({INT32_MAX})}},
        {7,
         "00 00 00 03 00 03 61 00 62 00 00 00 02 FF FE 00 00 00 00",
         spLoginCharacterList,
         {A::IntList({}), A::TextList({"a", "", "\xFF\xFE"}), A::IntList({}), A::IntList({})}},
    };
    for (const auto& c : cases) {
        const TVLChatIncomingPacket p(c.type, hex(c.body));
        EXPECT_EQ(p.Index(), c.row) << c.body;
        EXPECT_EQ(argsOf(p), c.args) << c.body;
    }
}

TEST(IncomingPacket, BodiesThatDoNotHoldTheirArgumentsAreRefused) {
    const struct {
        int32_t type;
        const char* body;
        const char16_t* message;
    } cases[] = {
        {36, "00 05 61", u"Stream read error"},                       // text claims 5, 1 present
        {36, "00", u"Stream read error"},                             // half a length
        {100, "80 01 00 00 00 00 00 00 00 00", u"Stream read error"}, // data claims 0x8001
        {100, "FF FF 00", u"Stream read error"},                      // data claims 65535
        {10, "00 00 01", u"Stream read error"},                       // integer of 3 bytes
        {61, "01 02 03 04", u"Stream read error"},                    // group id of 4 bytes
        {7, "FF FF 00 00 00 01", u"Stream read error"},               // 65535 integers announced
        {7, "00 00 FF FF 00 01 61", u"Stream read error"},            // 65535 texts announced
        {7, "00 00 00 02 00 01 61 00 09 62", u"Stream read error"},   // second text cut short
        {57, "00 00 00 01 00 00 00 02 00 00 00 01", u"Stream read error"}, // data: none left
        // "Forward" always fails on its letter M, after reading the integer before it.
        {110, "00 00 00 01 00 00", u"Logic error, bad param type M."},
        {110, "00", u"Stream read error"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(messageOf<plat::Exception>([&] { TVLChatIncomingPacket(c.type, hex(c.body)); }),
                  c.message)
            << c.type << ": " << c.body;
    }
    const QByteArray limit = hex("0F FE") + QByteArray(4094, 'x');
    EXPECT_EQ(TVLChatIncomingPacket(100, limit).Args(0).AsData().size(), 4094);
    EXPECT_EQ(messageOf<EPacketTooLarge>([&] { TVLChatIncomingPacket(100, limit + "x"); }),
              u"Packet too large: 4097 bytes");
}

TEST(IncomingPacket, ArgumentsOutsideTheListAndWrongKinds) {
    const TVLChatIncomingPacket p(20, hex("00 00 00 07 00 02 68 69"));
    EXPECT_EQ(messageOf<plat::EListError>([&] { p.Args(2); }), u"List index out of bounds (2)");
    EXPECT_EQ(messageOf<plat::EListError>([&] { p.Args(-1); }), u"List index out of bounds (-1)");
    EXPECT_THROW(p.Args(0).AsText(), plat::EConvertError);
    EXPECT_THROW(p.Args(1).AsData(), plat::EConvertError); // a text is not data
}

// ---- serialising ---------------------------------------------------------

TEST(OutgoingPacket, ExactFramesAndTheirArgumentsReadBack) {
    const struct {
        TVLClientPacket row;
        TPacketArgs args;
        const char* frame;
    } cases[] = {
        {cpGroupMessage,
         {A::Group({1, 2, 3, 4, 5}), A::Text("hi"), A::Data(QByteArray(1, '\0'))},
         "00 41 00 0C 01 02 03 04 05 00 02 68 69 00 01 00"},
        {cpPrivategroupKickall, {}, "00 36 00 00"},
        {cpGroupDataSet,
         {A::Group({1, 2, 3, 4, 5}), A::Int(0x01010000), A::Data(QByteArray(1, '\0'))},
         "00 40 00 0C 01 02 03 04 05 01 01 00 00 00 01 00"},
        {cpFriendAdd, {A::Int(1001), A::Data("\x01")}, "00 28 00 07 00 00 03 E9 00 01 01"},
        {cpMessagePrivate,
         {A::Int(1001), A::Text("hello"), A::Data(QByteArray(1, '\0'))},
         "00 1E 00 0E 00 00 03 E9 00 05 68 65 6C 6C 6F 00 01 00"},
        {cpLoginResponseGetCharList,
         {A::Int(-1), A::Text(""), A::Text("\xFF")},
         "00 02 00 09 FF FF FF FF 00 00 00 01 FF"},
        {cpPing, {A::Data({})}, "00 64 00 02 00 00"},
    };
    for (const auto& c : cases) {
        const TVLChatOutgoingPacket packet(c.row, c.args);
        EXPECT_EQ(packet.Frame(), hex(c.frame));
        EXPECT_EQ(packet.Serialize(), hex(c.frame).mid(4));
        // A peer reads back what was written.
        EXPECT_EQ(ReadPacketArgs(VLClientPackets[c.row].Signature, hex(c.frame).mid(4)), c.args);
    }
}

TEST(OutgoingPacket, LengthLimits) {
    const auto lookup = [](qsizetype n) {
        return TVLChatOutgoingPacket(cpNameLookup, {A::Text(QByteArray(n, 'a'))}).Frame();
    };
    // The largest body that fits: a 65533-byte text plus its length field.
    const QByteArray frame = lookup(65533);
    EXPECT_EQ(frame.size(), 4 + 65535);
    EXPECT_EQ(frame.left(6), hex("00 15 FF FF FF FD"));
    const struct {
        std::function<void()> build;
        const char16_t* message;
    } cases[] = {
        {[&] { lookup(65534); }, u"Packet too large: 65536 bytes"},
        {[&] { lookup(65536); }, u"Packet too large: 65536 bytes"},
        {[] { TVLChatOutgoingPacket(cpPing, {A::Data(QByteArray(70000, 'd'))}).Serialize(); },
         u"Packet too large: 70000 bytes"},
        // Each part fits, the body does not.
        {[] {
             TVLChatOutgoingPacket(cpMessagePrivate, {A::Int(1), A::Text(QByteArray(40000, 't')),
                                                      A::Data(QByteArray(40000, 'd'))})
                 .Frame();
         },
         u"Packet too large: 80008 bytes"},
        {[] {
             WritePacketFrame(7, "s", {A::TextList(QList<QByteArray>(2, QByteArray(40000, 'x')))});
         },
         u"Packet too large: 80006 bytes"},
        // A list count that does not fit its field, and list bytes that overflow the body.
        {[] { WritePacketFrame(7, "i", {A::IntList(QList<int32_t>(65536, 0))}); },
         u"Packet too large: 65536 bytes"},
        {[] { WritePacketFrame(7, "i", {A::IntList(QList<int32_t>(20000, 0))}); },
         u"Packet too large: 80002 bytes"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(messageOf<EPacketTooLarge>(c.build), c.message);
    }
}

TEST(OutgoingPacket, BadArgumentsAreRefused) {
    EXPECT_EQ(messageOf<plat::EListError>([] { TVLChatOutgoingPacket(cpCount, {}); }),
              u"List index out of bounds (20)");
    // One argument short: the missing one is reported, nothing is built.
    EXPECT_EQ(messageOf<plat::EListError>(
                  [] { TVLChatOutgoingPacket(cpFriendAdd, {A::Int(1)}).Frame(); }),
              u"List index out of bounds (1)");
    EXPECT_THROW(TVLChatOutgoingPacket(cpFriendAdd, {A::Int(1), A::Text("x")}).Serialize(),
                 plat::EConvertError);
    EXPECT_THROW(
        TVLChatOutgoingPacket(cpGroupDataSet, {A::Int(1), A::Int(1), A::Data("x")}).Serialize(),
        plat::EConvertError);
    EXPECT_EQ(messageOf<plat::Exception>([] { WritePacketFrame(110, "IM", {A::Int(1)}); }),
              u"Unknown param type M");
    // Nothing sends the client's list row: its letter cannot be written.
    EXPECT_EQ(messageOf<plat::Exception>(
                  [] { TVLChatOutgoingPacket(cpCc, {A::TextList({"z"})}).Frame(); }),
              u"Unknown param type s");
    EXPECT_THROW(WritePacketFrame(7, "i", {A::TextList({})}), plat::EConvertError);
    EXPECT_THROW(WritePacketFrame(7, "ii", {A::IntList({})}), plat::EListError);
}
