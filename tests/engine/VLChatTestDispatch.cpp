// Received packets of a logged-in session: every row into its list or event,
// attachments, names resolved through the name list, and the errors that end
// at the application's exception handler.

#include "VLChatTestSupport.h"

#include "platform/core/Exception.h"

#include <stdexcept>

using namespace chattest;

namespace {

using Events = std::vector<std::string>;

const TGroupId kGeneral{1, 2, 3, 4, 5};

QByteArray PrivateMessage(int32_t from, const QByteArray& text, const QByteArray& data) {
    return ServerFrame(spMessagePrivate,
                       {TPacketArg::Int(from), TPacketArg::Text(text), TPacketArg::Data(data)});
}

QByteArray GroupJoin(const TGroupId& id, const QByteArray& name, int32_t flags) {
    return ServerFrame(spGroupJoin, {TPacketArg::Group(id), TPacketArg::Text(name),
                                     TPacketArg::Int(flags), TPacketArg::Data({})});
}

QByteArray GroupMessage(const TGroupId& id, int32_t from, const QByteArray& text,
                        const QByteArray& data) {
    return ServerFrame(spGroupMessage, {TPacketArg::Group(id), TPacketArg::Int(from),
                                        TPacketArg::Text(text), TPacketArg::Data(data)});
}

QByteArray FriendAdded(int32_t id, int32_t online, const QByteArray& data) {
    return ServerFrame(spFriendAdded,
                       {TPacketArg::Int(id), TPacketArg::Int(online), TPacketArg::Data(data)});
}

QByteArray OneId(TVLServerPacket row, int32_t id) {
    return ServerFrame(row, {TPacketArg::Int(id)});
}

QByteArray TwoIds(TVLServerPacket row, int32_t a, int32_t b) {
    return ServerFrame(row, {TPacketArg::Int(a), TPacketArg::Int(b)});
}

QString HandlerError(const char* packet, const QString& error) {
    return QString("Error in packet handler, packet type: %1, error %2").arg(packet, error);
}

} // namespace

TEST_F(ChatTest, MessagesReachTheirEventsWithTheirAttachments) {
    LogIn();
    const QByteArray item = Hex("00 00 00 00 12 34 00 00 56 78 00 00 00 2A 00 00 00 00");
    const QByteArray textRef = Hex("00 00 00 C3 50 00 00 00 07 00 00 00 00 00 00 00 03 61 62 63");
    const QByteArray voice = Hex("01 02 03 00 04 77 61 76 65 00 05 68 65 6C 6C 6F");
    Deliver(ClientName(kBobId, "Bob") + PrivateMessage(kBobId, "hello", Hex("00")) +
            PrivateMessage(kBobId, "item", item) +
            ServerFrame(spMessageSystem, {TPacketArg::Text("Server restart")}) +
            GroupJoin(kGeneral, "General", 0) + GroupMessage(kGeneral, kBobId, "hi", Hex("00")) +
            GroupMessage(kGeneral, kBobId, "ref", textRef) +
            GroupMessage({9, 9, 9, 9, 9}, kBobId, "lost", {}) +
            ServerFrame(spPrivategroupMessage, {TPacketArg::Int(kAliceId), TPacketArg::Int(kBobId),
                                                TPacketArg::Text("yo"), TPacketArg::Data(voice)}) +
            ServerFrame(spPong, {TPacketArg::Data(Hex("80"))}));
    EXPECT_EQ(TakeEvents(), (Events{
                                "PrivateMessage Bob|hello|-",
                                "PrivateMessage Bob|item|TItemBlob",
                                "System Server restart",
                                "GroupListChange",
                                "GroupMessage 0|Bob|hi|-",
                                "GroupMessage 0|Bob|ref|TTextBlob",
                                "GroupMessage -1|Bob|lost|-",
                                "PrivateGroupMessage Alice|Bob|yo|TVoiceBlob",
                            }));
    EXPECT_TRUE(TakeErrors().isEmpty());

    // The attachments are read with the offsets of their packet's kind.
    QString seen;
    chat->OnPrivateMessage = [&](TVLChat*, const QByteArray&, const QByteArray&, const TBlob* b) {
        const auto* blob = dynamic_cast<const TItemBlob*>(b);
        seen = blob ? QString("item %1 %2 %3").arg(blob->Id1()).arg(blob->Id2()).arg(blob->Value())
                    : "no item";
    };
    chat->OnGroupMessage = [&](TVLChat*, int, const QByteArray&, const QByteArray&,
                               const TBlob* b) {
        const auto* blob = dynamic_cast<const TTextBlob*>(b);
        seen =
            blob ? QString("text %1 %2").arg(QString(blob->Text())).arg(blob->Value()) : "no text";
    };
    chat->OnPrivateGroupMessage = [&](TVLChat*, const QByteArray&, const QByteArray&,
                                      const QByteArray&, const TBlob* b) {
        const auto* blob = dynamic_cast<const TVoiceBlob*>(b);
        seen = blob ? QString("voice %1 %2 %3 %4")
                          .arg(QString(blob->Breed()), QString(blob->Gender()),
                               QString(blob->Text1()), QString(blob->Text2()))
                    : "no voice";
    };
    Deliver(PrivateMessage(kBobId, "item", item));
    EXPECT_EQ(seen, "item 4660 22136 42");
    Deliver(GroupMessage(kGeneral, kBobId, "ref", textRef));
    EXPECT_EQ(seen, "text abc 7");
    Deliver(ServerFrame(spPrivategroupMessage, {TPacketArg::Int(kAliceId), TPacketArg::Int(kBobId),
                                                TPacketArg::Text("yo"), TPacketArg::Data(voice)}));
    EXPECT_EQ(seen, "voice thessik female wave hello");
}

TEST_F(ChatTest, BuddiesAreAddedChangedAndRemoved) {
    LogIn();
    Deliver(ClientName(kBobId, "Bob") + FriendAdded(kBobId, 1, Hex("01")) +
            FriendAdded(kBobId, 0, Hex("02 01")) + OneId(spFriendRemoved, kAliceId));
    EXPECT_EQ(TakeEvents(),
              (Events{"FriendAdd Bob online=1 data=1", "FriendStatusChange Bob online=0 data=0"}));
    ASSERT_EQ(chat->FriendList().Count(), 1);
    EXPECT_FALSE(chat->FriendList().Items(0)->Online());

    // Empty data and an unannounced character change nothing.
    Deliver(FriendAdded(kBobId, 1, {}) + FriendAdded(4242, 1, Hex("01")));
    EXPECT_EQ(TakeErrors(),
              (QStringList{HandlerError("Friend Added", "Buddy data is empty"),
                           HandlerError("Friend Added", "Name not found for ID 4242")}));
    EXPECT_TRUE(TakeEvents().empty());
    EXPECT_FALSE(chat->FriendList().Items(0)->Online());

    Deliver(OneId(spFriendRemoved, kBobId));
    EXPECT_EQ(TakeEvents(), Events{"FriendRemove Bob online=0 data=0"});
    EXPECT_EQ(chat->FriendList().Count(), 0);
}

TEST_F(ChatTest, GroupsAreAddedAndReplacedByIdentifier) {
    LogIn();
    const TGroupId odd{0x0A, 0xFF, 0x00, 0x01, 0x7C};
    Deliver(GroupJoin(kGeneral, "General", 0) + GroupJoin(odd, "Trade", 0x01000000) +
            GroupJoin(kGeneral, "General", TGroupInfo::MutedFlags));
    EXPECT_EQ(TakeEvents(), (Events{"GroupListChange", "GroupListChange", "GroupListChange"}));
    ASSERT_EQ(chat->GroupList().Count(), 2);
    EXPECT_TRUE(chat->GroupList().Items(0)->Muted());
    EXPECT_FALSE(chat->GroupList().Items(1)->Muted());
    EXPECT_EQ(chat->GroupList().GroupId(1), odd);
    EXPECT_EQ(chat->GroupList().IndexOfId(odd), 1);
}

TEST_F(ChatTest, PrivateGroupEventsNameTheOwnerAndTheCharacter) {
    LogIn();
    Deliver(ClientName(kBobId, "Bob") + OneId(spPrivategroupInvited, kBobId) +
            TwoIds(spPrivategroupClientJoin, kBobId, kAliceId) +
            TwoIds(spPrivategroupClientPart, kBobId, kAliceId) +
            OneId(spPrivategroupKicked, kBobId));
    EXPECT_EQ(TakeEvents(), (Events{"PrivateGroupInvite Bob", "PrivateGroupJoin Bob|Alice",
                                    "PrivateGroupLeave Bob|Alice", "PrivateGroupKick Bob"}));
    EXPECT_TRUE(TakeErrors().isEmpty());
}

TEST_F(ChatTest, NamesResolveOnlyForBoundMessageEvents) {
    LogIn();
    // Message events resolve names only when bound; the others always do.
    Deliver(PrivateMessage(4242, "hi", Hex("00")) + OneId(spPrivategroupInvited, 4243) +
            TwoIds(spPrivategroupClientJoin, kAliceId, 4244));
    EXPECT_EQ(
        TakeErrors(),
        (QStringList{HandlerError("Message Private", "Name not found for ID 4242"),
                     HandlerError("Privategroup Invited", "Name not found for ID 4243"),
                     HandlerError("Privategroup Client Join", "Name not found for ID 4244")}));
    chat->OnPrivateMessage = nullptr;
    chat->OnPrivateGroupInvite = nullptr;
    Deliver(PrivateMessage(4242, "hi", Hex("00")) + OneId(spPrivategroupInvited, 4243));
    EXPECT_EQ(TakeErrors(),
              QStringList{HandlerError("Privategroup Invited", "Name not found for ID 4243")});
    EXPECT_TRUE(TakeEvents().empty());
}

TEST_F(ChatTest, TheFirstIdentifierOfANameStaysInEffect) {
    LogIn();
    Deliver(ClientName(kBobId, "Bob") +
            ServerFrame(spLookupResult, {TPacketArg::Int(2002), TPacketArg::Text("BOB")}));
    EXPECT_EQ(chat->NameList().IdOf("bob"), kBobId);
    EXPECT_EQ(chat->NameList().NameOf(2002), "BOB");
}

TEST_F(ChatTest, HandlerExceptionsAreWrappedWithThePacketName) {
    LogIn();
    chat->OnPrivateGroupInvite = [](TVLChat*, const QByteArray&) {
        throw plat::Exception("Invitation box failed");
    };
    chat->OnPrivateGroupKick = [](TVLChat*, const QByteArray&) {
        throw std::runtime_error("out of luck");
    };
    Deliver(OneId(spPrivategroupInvited, kAliceId) + OneId(spPrivategroupKicked, kAliceId) +
            ServerFrame(spMessageSystem, {TPacketArg::Text("still here")}));
    EXPECT_EQ(TakeErrors(),
              (QStringList{HandlerError("Privategroup Invited", "Invitation box failed"),
                           HandlerError("Privategroup Kicked", "out of luck")}));
    EXPECT_EQ(TakeEvents(), Events{"System still here"});
    EXPECT_EQ(chat->State(), csLoggedIn);
}
