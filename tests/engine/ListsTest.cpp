#include "engine/VLChatLists.h"
#include "platform/core/Clock.h"
#include "platform/core/Exception.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Stands in for the chat component: records events and lookups; its wait
// runs whatever the test scripts as "the event loop".
class FakeOwner : public TVLChatListOwner {
public:
    std::vector<std::string> events;
    std::function<void(const std::shared_ptr<TFriendInfo>&)> onFriendEvent;
    std::vector<QByteArray> lookups;
    std::function<void(int64_t deadline)> onWait;
    int waits = 0;
    bool loggedIn = true;

    void FireFriendAdd(const std::shared_ptr<TFriendInfo>& e) override { Friend("add", e); }
    void FireFriendStatusChange(const std::shared_ptr<TFriendInfo>& e) override {
        Friend("change", e);
    }
    void FireFriendRemove(const std::shared_ptr<TFriendInfo>& e) override { Friend("remove", e); }
    void FireGroupListChange() override { events.push_back("groups"); }
    void SendNameLookup(const QByteArray& name) override {
        if (!loggedIn) {
            throw plat::Exception("Packet type Name Lookup not allowed in state Ready for Login");
        }
        lookups.push_back(name);
    }
    void WaitForName(int64_t deadline) override {
        if (++waits > 100) {
            throw std::runtime_error("the wait never ends");
        }
        if (onWait) {
            onWait(deadline);
        }
    }
    bool IsLoggedIn() const override { return loggedIn; }

private:
    void Friend(const char* what, const std::shared_ptr<TFriendInfo>& e) {
        events.push_back(std::string(what) + ":" + e->Name().toStdString());
        if (onFriendEvent) {
            onFriendEvent(e);
        }
    }
};

void ExpectListError(const std::function<void()>& f, const char* message) {
    try {
        f();
        ADD_FAILURE() << "no exception";
    } catch (const plat::EListError& e) {
        EXPECT_EQ(e.Message(), QString::fromUtf8(message));
    }
}

} // namespace

TEST(CharList, KeepsOrderAndChecksIndexes) {
    TCharList list(nullptr);
    list.Add("Alice", 10, true);
    list.Add("Bobby", 200, false);
    EXPECT_EQ(list.Items(1)->Level(), 200);
    ExpectListError([&] { list.Items(2); }, "List index out of bounds (2)");
    ExpectListError([&] { list.Items(-1); }, "List index out of bounds (-1)");
}

// --- names -----------------------------------------------------------------

TEST(NameList, LookupsIgnoreCaseAndTheFirstEntryWins) {
    FakeOwner owner;
    TNameList names(&owner);
    names.Add("Bob", 1001);
    names.Add("BOB", 2002);      // a second announcement of the same name
    names.Add("\xC4rger", 3003); // "Ärger" in the wire code page
    EXPECT_EQ(names.IdOf("bob"), 1001);
    EXPECT_EQ(names.IdOf("\xE4RGER"), 3003); // "äRGER"
    EXPECT_EQ(names.NameOf(2002), "BOB");
    EXPECT_TRUE(owner.lookups.empty());
    try {
        names.NameOf(4242);
        ADD_FAILURE() << "no exception";
    } catch (const plat::Exception& e) {
        EXPECT_EQ(e.Message(), u"Name not found for ID 4242");
    }
}

TEST(NameList, UnknownNamesAreAskedForAndMinusOneIsNeverStored) {
    FakeOwner owner;
    TNameList names(&owner);
    owner.onWait = [&](int64_t) {
        names.Add("Amy", 5);
        names.Add("Amy", -1); // an answer for another name ends nothing here
        if (owner.waits == 2) {
            names.Add("zed", -1);
        }
    };
    EXPECT_EQ(names.IdOf("Zed"), -1);
    EXPECT_EQ(owner.waits, 2);
    EXPECT_THROW(names.NameOf(-1), plat::Exception);

    owner.onWait = [&](int64_t) { names.Add("ZED", 77); };
    EXPECT_EQ(names.IdOf("Zed"), 77); // asked again, not answered from memory
    EXPECT_EQ(owner.lookups, (std::vector<QByteArray>{"Zed", "Zed"}));
    EXPECT_EQ(names.Count(), 3);
}

TEST(NameList, TheWaitEndsAfterTenSecondsWithoutStoringAnything) {
    plat::ManualClock clock(50000);
    FakeOwner owner;
    TNameList names(&owner);
    std::vector<int64_t> deadlines;
    owner.onWait = [&](int64_t deadline) {
        deadlines.push_back(deadline);
        clock.Advance(owner.waits == 1 ? 9999 : 1); // one millisecond short, then due
    };
    EXPECT_EQ(names.IdOf("Zed"), -1);
    EXPECT_EQ(deadlines, (std::vector<int64_t>{60000, 60000}));
    EXPECT_EQ(names.Count(), 0);
}

TEST(NameList, TheWaitEndsWhenTheOwnerLeavesTheLoggedInState) {
    FakeOwner owner;
    TNameList names(&owner);
    owner.onWait = [&](int64_t) {
        owner.loggedIn = false;
        names.Clear(); // the disconnect clears the lists meanwhile
    };
    EXPECT_EQ(names.IdOf("Zed"), -1);
    EXPECT_EQ(owner.waits, 1);
    // Not logged in at all: the refused lookup reaches the caller.
    EXPECT_THROW(names.IdOf("Zed"), plat::Exception);
    EXPECT_EQ(owner.waits, 1);
}

TEST(NameList, NestedWaitsEachGetTheirOwnAnswer) {
    FakeOwner owner;
    TNameList names(&owner);
    int32_t inner = 0;
    owner.onWait = [&](int64_t) {
        if (owner.waits == 1) {
            inner = names.IdOf("Amy"); // a handler inside the wait looks up another name
        } else {
            names.Add("Amy", 5);
            names.Add("Zed", -1);
        }
    };
    EXPECT_EQ(names.IdOf("Zed"), -1);
    EXPECT_EQ(inner, 5);
    EXPECT_EQ(owner.lookups, (std::vector<QByteArray>{"Zed", "Amy"}));
}

// --- buddies ---------------------------------------------------------------

TEST(FriendList, UpdateAddsOrReplacesAndRemoveIgnoresAbsentNames) {
    FakeOwner owner;
    TFriendList buddies(&owner);
    buddies.Update("alice", true, true);
    buddies.Update("Bob", false, false);
    buddies.Update("ALICE", false, false);
    buddies.Remove("carol");
    EXPECT_EQ(owner.events, (std::vector<std::string>{"add:alice", "add:Bob", "change:ALICE"}));
    EXPECT_EQ(buddies.IndexOf("ALICE"), 0);
    EXPECT_FALSE(buddies.Items(0)->DataFlag());
    buddies.Remove("alice");
    EXPECT_EQ(owner.events.back(), "remove:ALICE");
    EXPECT_EQ(buddies.Count(), 1);
    ExpectListError([&] { buddies.Items(1); }, "List index out of bounds (1)");
}

TEST(FriendList, EntriesOutliveChangesMadeByTheirOwnEvent) {
    FakeOwner owner;
    TFriendList buddies(&owner);
    buddies.Update("alice", true, true);
    // A handler clears the list and fills it again (a nested disconnect and
    // login); the entry it was given must stay intact.
    owner.onFriendEvent = [&](const std::shared_ptr<TFriendInfo>& e) {
        owner.onFriendEvent = nullptr;
        buddies.Clear();
        for (int i = 0; i < 64; ++i) {
            buddies.Update("b" + QByteArray::number(i), false, false);
        }
        EXPECT_EQ(e->Name(), "alice");
        EXPECT_TRUE(e->DataFlag());
    };
    buddies.Update("alice", true, true);
    EXPECT_EQ(buddies.Count(), 64);

    // A handler that puts the removed buddy straight back: the new entry stays.
    owner.onFriendEvent = [&](const std::shared_ptr<TFriendInfo>& e) {
        owner.onFriendEvent = nullptr;
        buddies.Update(e->Name(), true, false);
    };
    buddies.Remove("b0");
    EXPECT_EQ(buddies.IndexOf("b0"), 63);
}

// --- groups ----------------------------------------------------------------

TEST(GroupList, KeysAreTenUpperCaseHexDigitsAndGiveTheIdBack) {
    FakeOwner owner;
    TGroupList groups(&owner);
    const TGroupId id{0x0A, 0xFF, 0x00, 0x01, 0x7C};
    EXPECT_EQ(TGroupList::KeyOfId(id), u"0AFF00017C");
    groups.Update({1, 2, 3, 4, 5}, "chat", 0);
    groups.Update(id, "Chat", 0);
    EXPECT_EQ(groups.IndexOfId(id), 1);
    EXPECT_EQ(groups.IndexOfId({0x0A, 0xFF, 0x00, 0x01, 0x7D}), -1);
    EXPECT_EQ(groups.GroupId(1), id);
    ExpectListError([&] { groups.GroupId(2); }, "List index out of bounds (2)");

    // Re-announcing replaces in place and always tells the owner.
    groups.Update(id, "Chat", 0x01010000);
    groups.Update(id, "Chat", 0x01010000);
    EXPECT_EQ(groups.Count(), 2);
    EXPECT_TRUE(groups.Items(1)->Muted());
    EXPECT_EQ(owner.events.size(), 4u);

    EXPECT_EQ(groups.IndexOfName("Chat"), 1); // names compare exactly
    EXPECT_EQ(groups.IndexOfName("CHAT"), -1);
}

TEST(GroupInfo, MutedNeedsBothBits) {
    EXPECT_TRUE(TGroupInfo("g", 0x01010000).Muted());
    EXPECT_TRUE(TGroupInfo("g", 0x01FF0001).Muted());
    EXPECT_FALSE(TGroupInfo("g", 0x01000000).Muted());
    EXPECT_FALSE(TGroupInfo("g", 0x00010000).Muted());
    EXPECT_FALSE(TGroupInfo("g", 0).Muted());
}
