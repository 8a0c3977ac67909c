#include "engine/VLChatLists.h"
#include "platform/core/Clock.h"
#include "platform/core/Exception.h"

#include "Raises.h"

#include <gtest/gtest.h>

#include <algorithm>
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

    void FireFriendAdd(const std::shared_ptr<TFriendInfo>& e) override { Friend("add", e); }
    void FireFriendStatusChange(const std::shared_ptr<TFriendInfo>& e) override {
        Friend("change", e);
    }
    void FireFriendRemove(const std::shared_ptr<TFriendInfo>& e) override { Friend("remove", e); }
    void FireGroupListChange() override { events.push_back("groups"); }
    void SendNameLookup(const QByteArray& name) override { lookups.push_back(name); }
    void WaitForName(int64_t deadline) override {
        if (++waits > 100) {
            throw std::runtime_error("the wait never ends");
        }
        if (onWait) {
            onWait(deadline);
        }
    }
    bool IsLoggedIn() const override { return true; }

private:
    void Friend(const char* what, const std::shared_ptr<TFriendInfo>& e) {
        events.push_back(std::string(what) + ":" + e->Name().toStdString());
        if (onFriendEvent) {
            onFriendEvent(e);
        }
    }
};

} // namespace

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

    // Names compare without regard to case on their decoded text.
    names.Add("\xC4rger", 3003);             // "Ärger" in the wire code page
    EXPECT_EQ(names.IdOf("\xE4RGER"), 3003); // "äRGER"
    EXPECT_EQ(owner.lookups.size(), 2u);
    EXPECT_EQ(MessageOf([&] { names.NameOf(4242); }), "Name not found for ID 4242");
}

TEST(NameList, ANameWithANulIsAnsweredAsItsTextArrives) {
    // Received texts end at their first NUL: the answer names the part before it.
    const QByteArray asked("Zed\0x", 5);
    const struct {
        int32_t answered;
        int32_t found;
    } rows[] = {{77, 77}, {-1, -1}};
    for (const auto& row : rows) {
        FakeOwner owner;
        TNameList names(&owner);
        owner.onWait = [&](int64_t) { names.Add("ZED", row.answered); };
        EXPECT_EQ(names.IdOf(asked), row.found) << row.answered;
        EXPECT_EQ(owner.waits, 1);
        EXPECT_EQ(owner.lookups, std::vector<QByteArray>{asked}); // asked as typed
    }
}

TEST(NameList, ANameNoAnswerCouldCarryIsNotAskedFor) {
    // "Lookup Result" is an id and the name as text, in at most 4096 bytes.
    const struct {
        qsizetype length;
        bool asked;
    } rows[] = {{4090, true}, {4091, false}, {70000, false}};
    for (const auto& row : rows) {
        FakeOwner owner;
        TNameList names(&owner);
        const QByteArray name(row.length, 'z');
        owner.onWait = [&](int64_t) { names.Add(name, 9); };
        EXPECT_EQ(names.IdOf(name), row.asked ? 9 : -1) << row.length;
        EXPECT_EQ(owner.lookups.size(), row.asked ? 1u : 0u) << row.length;
    }
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

// --- buddies ---------------------------------------------------------------

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
    EXPECT_EQ(buddies.IndexOf("alice"), -1);

    // A handler that puts the removed buddy straight back: the new entry stays.
    owner.onFriendEvent = [&](const std::shared_ptr<TFriendInfo>& e) {
        owner.onFriendEvent = nullptr;
        buddies.Update(e->Name(), true, false);
    };
    buddies.Remove("b0");
    EXPECT_EQ(buddies.IndexOf("b0"), 63);
    EXPECT_EQ(buddies.IndexOf("b1"), 0);
}

// --- groups ----------------------------------------------------------------

TEST(GroupList, KeysMutingAndBounds) {
    // Replacement, notification and lookups by id and name are covered by the
    // dispatch tests and the scan model below.
    EXPECT_EQ(TGroupList::KeyOfId({0x0A, 0xFF, 0x00, 0x01, 0x7C}), u"0AFF00017C");
    for (const auto& [flags, muted] :
         {std::pair{0x01010000, true}, std::pair{0x01FF0001, true}, std::pair{0x01000000, false},
          std::pair{0x00010000, false}, std::pair{0, false}}) {
        EXPECT_EQ(TGroupInfo("g", flags).Muted(), muted) << flags;
    }
    TGroupList groups(nullptr);
    groups.Update({1, 2, 3, 4, 5}, "chat", 0);
    EXPECT_EQ(groups.GroupId(0), (TGroupId{1, 2, 3, 4, 5}));
    EXPECT_EQ(MessageOf<plat::EListError>([&] { groups.GroupId(1); }),
              "List index out of bounds (1)");
}

// --- all lists against plain scans --------------------------------------------

// The index of the first entry of a model that satisfies the predicate, or -1.
template <typename Model, typename Predicate>
qsizetype FirstIndex(const Model& model, Predicate predicate) {
    const auto it = std::find_if(model.begin(), model.end(), predicate);
    return it == model.end() ? -1 : it - model.begin();
}

// Random additions, changes and removals with many repeated names in every
// letter case; after each step every lookup must give what a scan of the
// entries in order gives (the first match wins).
TEST(Lists, LookupsMatchAScanInOrderThroughAddsChangesAndRemovals) {
    uint32_t rng = 2024;
    const auto next = [&rng](uint32_t n) {
        rng = rng * 1664525u + 1013904223u;
        return (rng >> 8) % n;
    };
    const auto fold = [](const QByteArray& b) { return b.toLower(); };
    TNameList names(nullptr);
    TFriendList buddies(nullptr);
    TGroupList groups(nullptr);
    std::vector<std::pair<QByteArray, int32_t>> nameModel;
    std::vector<QByteArray> buddyModel;
    std::vector<std::pair<TGroupId, QByteArray>> groupModel;

    for (int step = 0; step < 1200; ++step) {
        SCOPED_TRACE(step);
        if (step % 400 == 399) {
            names.Clear();
            buddies.Clear();
            groups.Clear();
            nameModel.clear();
            buddyModel.clear();
            groupModel.clear();
        }
        QByteArray name = "n" + QByteArray::number(next(8));
        name = next(2) ? name.toUpper() : name;
        const auto sameBuddy = [&](const QByteArray& b) { return fold(b) == fold(name); };
        const TGroupId id{static_cast<uint8_t>(next(6)), 0, 0, 0, 1};
        switch (next(4)) {
        case 0:
            names.Add(name, static_cast<int32_t>(id[0] + 4));
            nameModel.emplace_back(name, id[0] + 4);
            break;
        case 1:
            buddies.Update(name, true, false);
            if (const qsizetype at = FirstIndex(buddyModel, sameBuddy); at < 0) {
                buddyModel.push_back(name);
            } else {
                buddyModel[at] = name;
            }
            break;
        case 2:
            buddies.Remove(name);
            std::erase_if(buddyModel, sameBuddy);
            break;
        default:
            groups.Update(id, name, 0);
            if (const qsizetype at = FirstIndex(groupModel, [&](auto& g) { return g.first == id; });
                at < 0) {
                groupModel.emplace_back(id, name);
            } else {
                groupModel[at].second = name;
            }
        }
        for (int n = 0; n < 8; ++n) {
            const QByteArray probe = "N" + QByteArray::number(n);
            const qsizetype named =
                FirstIndex(nameModel, [&](auto& e) { return fold(e.first) == fold(probe); });
            ASSERT_EQ(names.IdOf(probe), named < 0 ? -1 : nameModel[named].second);
            ASSERT_EQ(buddies.IndexOf(probe),
                      FirstIndex(buddyModel, [&](auto& b) { return fold(b) == fold(probe); }));
            for (const QByteArray& exact : {probe, fold(probe)}) {
                ASSERT_EQ(groups.IndexOfName(exact),
                          FirstIndex(groupModel, [&](auto& g) { return g.second == exact; }));
            }
        }
        for (int32_t id = 4; id < 10; ++id) {
            const qsizetype at = FirstIndex(nameModel, [&](auto& e) { return e.second == id; });
            if (at >= 0) {
                ASSERT_EQ(names.NameOf(id), nameModel[at].first);
            }
        }
        for (size_t g = 0; g < groupModel.size(); ++g) {
            ASSERT_EQ(groups.IndexOfId(groupModel[g].first), static_cast<qsizetype>(g));
        }
        ASSERT_EQ(buddies.Count(), static_cast<qsizetype>(buddyModel.size()));
        ASSERT_EQ(names.Count(), static_cast<qsizetype>(nameModel.size()));
    }
}
