// Received packets of a logged-in session, fed through the read path without
// a connection: every row into its list or event, attachments, names resolved
// through the name list, and the errors that end at the exception handler.

#include "VLChatTestSupport.h"

#include "platform/core/Exception.h"

#include <stdexcept>

using namespace chattest;

namespace {

QByteArray GroupMessage(const TGroupId& id, const QByteArray& text, const QByteArray& data) {
    return ServerFrame(spGroupMessage,
                       {A::Group(id), A::Int(kBobId), A::Text(text), A::Data(data)});
}

QByteArray FriendAdded(int32_t id, int32_t online, const QByteArray& data) {
    return ServerFrame(spFriendAdded, {A::Int(id), A::Int(online), A::Data(data)});
}

QByteArray Ids(TVLServerPacket row, int32_t a, std::optional<int32_t> b = std::nullopt) {
    return b ? ServerFrame(row, {A::Int(a), A::Int(*b)}) : ServerFrame(row, {A::Int(a)});
}

class DispatchTest : public OfflineTest {
protected:
    DispatchTest() { Feed(ClientName(kAliceId, "Alice") + ClientName(kBobId, "Bob")); }
};

} // namespace

TEST_F(DispatchTest, MessagesReachTheirEventsWithTheirAttachments) {
    // Each attachment is read with the offsets of its packet's kind.
    const QByteArray item = Hex("00 00 00 00 12 34 00 00 56 78 00 00 00 2A 00 00 00 00");
    const QByteArray textRef = Hex("00 00 00 C3 50 00 00 00 07 00 00 00 00 00 00 00 03 61 62 63");
    const QByteArray voice = Hex("01 02 03 00 04 77 61 76 65 00 05 68 65 6C 6C 6F");
    Feed(PrivateMessage(kBobId, "hello", Hex("00")) + PrivateMessage(kBobId, "item", item) +
         System("Server restart") + GroupJoin(kGeneral, "General") +
         GroupMessage(kGeneral, "hi", Hex("00")) + GroupMessage(kGeneral, "ref", textRef) +
         GroupMessage({9, 9, 9, 9, 9}, "lost", {}) +
         ServerFrame(spPrivategroupMessage,
                     {A::Int(kAliceId), A::Int(kBobId), A::Text("yo"), A::Data(voice)}) +
         ServerFrame(spPong, {A::Data(Hex("80"))}));
    EXPECT_EQ(TakeEvents(),
              (Events{"PrivateMessage Bob|hello|-", "PrivateMessage Bob|item|TItemBlob",
                      "System Server restart", "GroupListChange", "GroupMessage 0|Bob|hi|-",
                      "GroupMessage 0|Bob|ref|TTextBlob", "GroupMessage -1|Bob|lost|-",
                      "PrivateGroupMessage Alice|Bob|yo|TVoiceBlob"}));
    EXPECT_TRUE(errors.Take().isEmpty());
}

// Rows that share a handler still reach their own events.
TEST_F(DispatchTest, PrivateGroupRowsAndBuddyRemovalReachTheirOwnEvents) {
    Feed(Ids(spPrivategroupInvited, kAliceId) + Ids(spPrivategroupClientJoin, kAliceId, kBobId) +
         Ids(spPrivategroupClientPart, kAliceId, kBobId) + Ids(spPrivategroupKicked, kAliceId) +
         FriendAdded(kBobId, 1, Hex("01")) + Ids(spFriendRemoved, kBobId));
    EXPECT_EQ(TakeEvents(),
              (Events{"PrivateGroupInvite Alice", "PrivateGroupJoin Alice|Bob",
                      "PrivateGroupLeave Alice|Bob", "PrivateGroupKick Alice",
                      "FriendAdd Bob online=1 data=1", "FriendRemove Bob online=1 data=1"}));
    EXPECT_TRUE(errors.Take().isEmpty());
}

TEST_F(DispatchTest, BuddyDataFlagsAndRefusedBuddies) {
    // Status changes and removals are followed through the window's buddy tree;
    // the data flag is the first byte being 1, and empty data or an
    // unannounced character change nothing.
    Feed(FriendAdded(kBobId, 1, Hex("01")) + FriendAdded(kBobId, 0, Hex("02 01")) +
         FriendAdded(kBobId, 1, {}) + FriendAdded(4242, 1, Hex("01")));
    EXPECT_EQ(TakeEvents(),
              (Events{"FriendAdd Bob online=1 data=1", "FriendStatusChange Bob online=0 data=0"}));
    EXPECT_EQ(errors.Take(),
              (QStringList{HandlerError("Friend Added", "Buddy data is empty"),
                           HandlerError("Friend Added", "Name not found for ID 4242")}));
}

TEST_F(DispatchTest, GroupsAreAddedAndReplacedByIdentifier) {
    const TGroupId odd{0x0A, 0xFF, 0x00, 0x01, 0x7C};
    Feed(GroupJoin(kGeneral, "General") + GroupJoin(odd, "Trade", 0x01000000) +
         GroupJoin(kGeneral, "General", TGroupInfo::MutedFlags));
    EXPECT_EQ(TakeEvents(), (Events{"GroupListChange", "GroupListChange", "GroupListChange"}));
    ASSERT_EQ(chat->GroupList().Count(), 2);
    EXPECT_TRUE(chat->GroupList().Items(0)->Muted());
    EXPECT_FALSE(chat->GroupList().Items(1)->Muted());
    EXPECT_EQ(chat->GroupList().IndexOfId(odd), 1);
}

TEST_F(DispatchTest, NamesResolveOnlyForBoundMessageEventsAndTheFirstIdentifierStays) {
    // Message events resolve names only when bound; the others always do.
    Feed(PrivateMessage(4242, "hi", Hex("00")) + Ids(spPrivategroupInvited, 4243) +
         Ids(spPrivategroupClientJoin, kAliceId, 4244));
    EXPECT_EQ(
        errors.Take(),
        (QStringList{HandlerError("Message Private", "Name not found for ID 4242"),
                     HandlerError("Privategroup Invited", "Name not found for ID 4243"),
                     HandlerError("Privategroup Client Join", "Name not found for ID 4244")}));
    chat->OnPrivateMessage = nullptr;
    chat->OnPrivateGroupInvite = nullptr;
    Feed(PrivateMessage(4242, "hi", Hex("00")) + Ids(spPrivategroupInvited, 4243));
    EXPECT_EQ(errors.Take(),
              QStringList{HandlerError("Privategroup Invited", "Name not found for ID 4243")});
    EXPECT_TRUE(TakeEvents().empty());

    // Both rows add names; a name announced again keeps its first identifier.
    Feed(LookupResult(2002, "BOB") + LookupResult(3003, "Cy"));
    EXPECT_EQ(chat->NameList().IdOf("bob"), kBobId);
    EXPECT_EQ(chat->NameList().NameOf(2002), "BOB");
    EXPECT_EQ(chat->NameList().IdOf("cy"), 3003);
}

TEST_F(DispatchTest, HandlerExceptionsAreWrappedWithThePacketName) {
    chat->OnPrivateGroupInvite = [](TVLChat*, const QByteArray&) {
        throw plat::Exception("Invitation box failed");
    };
    chat->OnPrivateGroupKick = [](TVLChat*, const QByteArray&) {
        throw std::runtime_error("out of luck");
    };
    Feed(Ids(spPrivategroupInvited, kAliceId) + Ids(spPrivategroupKicked, kAliceId) +
         System("still here"));
    EXPECT_EQ(errors.Take(),
              (QStringList{HandlerError("Privategroup Invited", "Invitation box failed"),
                           HandlerError("Privategroup Kicked", "out of luck")}));
    EXPECT_EQ(TakeEvents(), Events{"System still here"});
    EXPECT_EQ(chat->State(), csLoggedIn);
}
