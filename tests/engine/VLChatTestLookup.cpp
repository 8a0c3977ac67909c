// Operations that name a character the client does not know yet: the lookup
// goes out directly, the engine waits for the answer while it keeps handling
// packets, and every way the wait can end.

#include "VLChatTestSupport.h"

#include "platform/core/Clock.h"

#include <QElapsedTimer>

using namespace chattest;

namespace {

const QByteArray kLookupZed = Hex("00 15 00 05 00 03 5A 65 64");

class LookupTest : public ChatTest {
protected:
    void SetUp() override {
        LogIn();
        Deliver(ClientName(kBobId, "Bob"));
    }

    // Answers the lookup of a name with the frames given, once.
    void OnLookup(const QByteArray& lookup, const std::function<void()>& answer) {
        server.onFrame = [this, lookup, answer](const ClientFrame& f) {
            if (f.bytes == lookup) {
                server.onFrame = nullptr;
                answer();
            }
        };
    }

    // Runs an operation that waits; the wait must end with its cause, long
    // before the time limit.
    template <typename F>
    static bool Prompt(F operation) {
        QElapsedTimer elapsed;
        elapsed.start();
        const bool result = operation();
        EXPECT_LT(elapsed.elapsed(), TNameList::NameLookupTimeoutMs / 4);
        return result;
    }
};

} // namespace

TEST_F(LookupTest, TheLookupGoesOutDirectlyAndPacketsArriveDuringTheWait) {
    ASSERT_TRUE(chat->SendPrivateMessage("Bob", "busy")); // the queue is now paced
    ASSERT_TRUE(chat->SendPrivateMessage("Bob", "queued"));
    OnLookup(kLookupZed, [this] {
        server.Send(PrivateMessage(kBobId, "meanwhile") + LookupResult(4242, "ZED"));
    });
    events.push_back("call");
    EXPECT_TRUE(Prompt([&] { return chat->SendPrivateGroupMessage("Zed", "hello"); }));
    events.push_back("returned");
    EXPECT_EQ(TakeEvents(), (Events{"call", "PrivateMessage Bob|meanwhile|-", "returned"}));
    EXPECT_EQ(chat->NameList().IdOf("zed"), 4242);
    EXPECT_EQ(chat->SendQueueCount(), 2);
    // The lookup overtook the queue.
    ASSERT_TRUE(server.WaitForFrames(2));
    EXPECT_EQ(server.frames[1].bytes, kLookupZed);
}

TEST_F(LookupTest, AnUnknownCharacterSendsNothingAndIsAskedForAgain) {
    OnLookup(kLookupZed, [this] { server.Send(LookupResult(-1, "Zed")); });
    EXPECT_FALSE(Prompt([&] { return chat->SendPrivateMessage("Zed", "hello"); }));
    OnLookup(kLookupZed, [this] { server.Send(LookupResult(-1, "zed")); });
    EXPECT_FALSE(Prompt([&] { return chat->AddFriend("Zed", true); }));
    EXPECT_EQ(FramesUpToMarker(), (Frames{kLookupZed, kLookupZed, kKickAll}));
    EXPECT_TRUE(errors.Take().isEmpty());
    EXPECT_EQ(chat->SendQueueCount(), 0);
}

TEST_F(LookupTest, NoAnswerEndsTheWaitAtTheTimeLimit) {
    plat::ManualClock clock(1000000);
    OnLookup(kLookupZed, [&] {
        // Time passes without an answer; an unrelated name wakes the wait.
        clock.Advance(TNameList::NameLookupTimeoutMs);
        server.Send(ClientName(5555, "Other"));
    });
    // The time limit comes from the clock.
    EXPECT_FALSE(Prompt([&] { return chat->PrivateGroupInvite("Zed"); }));
    EXPECT_EQ(FramesUpToMarker(), (Frames{kLookupZed, kKickAll}));
    EXPECT_EQ(chat->NameList().IdOf("Other"), 5555);
}

TEST_F(LookupTest, AServerCloseEndsTheWait) {
    OnLookup(kLookupZed, [this] { server.CloseClient(); });
    EXPECT_FALSE(Prompt([&] { return chat->RemoveFriend("Zed"); }));
    EXPECT_NE(chat->State(), csLoggedIn);
    ASSERT_TRUE(WaitForDisconnects(1));
    EXPECT_EQ(server.frames.size(), 1u);
    EXPECT_TRUE(errors.Take().isEmpty());
}

TEST_F(LookupTest, LookupsNestAndBothComplete) {
    // The message that arrives during the wait for Zed makes its handler look up Yan.
    chat->OnPrivateMessage = [&](TVLChat* sender, const QByteArray&, const QByteArray&,
                                 const TBlob*) {
        events.push_back("reply " +
                         std::to_string(Prompt([&] { return sender->PrivateGroupJoin("Yan"); })));
    };
    const QByteArray lookupYan = Hex("00 15 00 05 00 03 59 61 6E");
    OnLookup(kLookupZed, [&] {
        server.Send(PrivateMessage(kBobId, "ask Yan"));
        OnLookup(lookupYan, [&] {
            // The outer name first: the inner wait must keep waiting for its own.
            server.Send(LookupResult(4242, "Zed") + LookupResult(4343, "Yan"));
        });
    });
    EXPECT_TRUE(Prompt([&] { return chat->PrivateGroupJoin("Zed"); }));
    EXPECT_EQ(TakeEvents(), Events{"reply 1"});
    EXPECT_EQ(FramesUpToMarker(), (Frames{kLookupZed, lookupYan, Hex("00 34 00 04 00 00 10 F7"),
                                          Hex("00 34 00 04 00 00 10 92"), kKickAll}));
}

TEST_F(LookupTest, DeletingTheEngineDuringTheWaitEndsItSafely) {
    // Asked for before the wait (picked up by the wait's own event loop) and
    // asked for from inside the wait.
    for (const bool fromInside : {false, true}) {
        SCOPED_TRACE(fromInside ? "from inside the wait" : "before the wait");
        if (!chat) {
            chat = std::make_unique<TVLChat>();
            chat->SetDimension(std::make_shared<TDimensionInfo>());
            chat->Dimension()->SetHost("127.0.0.1");
            chat->Dimension()->SetPort(server.Port());
            chat->SetUserName("bob");
            chat->SetPassword("pw");
            LogIn();
        }
        TVLChat* engine = chat.release();
        const QPointer<TVLChat> watched(engine);
        OnLookup(kLookupZed, [&] {
            if (fromInside) {
                engine->deleteLater();
            }
        });
        if (!fromInside) {
            engine->deleteLater();
        }
        EXPECT_FALSE(Prompt([&] { return engine->SendPrivateMessage("Zed", "hello"); }));
        ASSERT_FALSE(watched.isNull()) << "not while its operation runs";
        EXPECT_TRUE(WaitUntil([&] { return watched.isNull(); }));
        EXPECT_TRUE(server.WaitClientGone());
        EXPECT_TRUE(errors.Take().isEmpty());
        server.onFrame = nullptr;
    }
}
