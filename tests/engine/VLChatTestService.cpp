// Two engines against the local chat service: a whole session end to end,
// with the real key check, lookups, relayed tells, echoed group and
// private-group messages, buddies, muting and the keep-alive.

#include "VLChatTestSupport.h"

#include "chatd/ChatServer.h"

#include <algorithm>

using namespace chattest;

namespace {

class ServiceTest : public ::testing::Test {
protected:
    struct Client {
        std::unique_ptr<TVLChat> chat = std::make_unique<TVLChat>();
        std::vector<std::string> events;
        int disconnects = 0;

        bool Saw(const std::string& event) const {
            return std::find(events.begin(), events.end(), event) != events.end();
        }
        bool WaitFor(const std::string& event) const {
            return WaitUntil([&] { return Saw(event); });
        }
    };

    void SetUp() override {
        service.Accounts().AddAccount("eve", "secret");
        chatd::Character evelyn;
        evelyn.Id = 3001;
        evelyn.Name = "Evelyn";
        service.Accounts().AddCharacter("eve", evelyn);
        ASSERT_TRUE(service.Listen({0})) << service.ErrorString().toStdString();
    }

    void Prepare(Client& client, const QByteArray& user, const QByteArray& password,
                 const QByteArray& character) {
        auto dimension = std::make_shared<TDimensionInfo>();
        dimension->SetHost("127.0.0.1");
        dimension->SetPort(service.Ports().at(0));
        client.chat->SetDimension(dimension);
        client.chat->SetUserName(user);
        client.chat->SetPassword(password);
        client.chat->SetFloodProtection(false);
        RecordEvents(*client.chat, client.events, &client.disconnects);
        const auto onConnect = client.chat->OnConnect;
        client.chat->OnConnect = [onConnect, character](TVLChat* sender) {
            onConnect(sender);
            sender->SelectCharacter(character);
        };
    }

    bool LogIn(Client& client) {
        client.chat->Connect();
        return WaitUntil([&] { return client.chat->State() == csLoggedIn; });
    }

    ExceptionRecorder errors;
    chatd::ChatServer service;
    Client demo;
    Client eve;
};

} // namespace

TEST_F(ServiceTest, ASessionEndToEnd) {
    Prepare(demo, "demo", "demo", "Demochar");
    Prepare(eve, "eve", "secret", "Evelyn");
    ASSERT_TRUE(LogIn(demo));
    ASSERT_TRUE(LogIn(eve));
    // After the login: the buddy list and the public groups.
    ASSERT_TRUE(demo.WaitFor("FriendAdd Testchar online=0 data=1"));
    ASSERT_TRUE(WaitUntil([&] { return eve.chat->GroupList().Count() == 3; }));
    ASSERT_TRUE(WaitUntil([&] { return demo.chat->GroupList().Count() == 3; }));

    // A tell needs a lookup first; the service relays it.
    EXPECT_TRUE(demo.chat->SendPrivateMessage("evelyn", "hello"));
    EXPECT_TRUE(eve.WaitFor("PrivateMessage Demochar|hello|-"));
    EXPECT_FALSE(demo.chat->SendPrivateMessage("Nobody", "anyone?"));

    // A group message comes back to its sender too, with its attachment.
    TTextBlob reference;
    reference.SetText("a link");
    const qsizetype general = demo.chat->GroupList().IndexOfName("General");
    demo.chat->SendGroupMessage("General", "hi all", &reference);
    const std::string echo =
        "GroupMessage " + std::to_string(general) + "|Demochar|hi all|TTextBlob";
    EXPECT_TRUE(demo.WaitFor(echo));
    EXPECT_TRUE(eve.WaitFor("GroupMessage " +
                            std::to_string(eve.chat->GroupList().IndexOfName("General")) +
                            "|Demochar|hi all|TTextBlob"));

    // Private group: invite, join, message, kick everyone.
    EXPECT_TRUE(demo.chat->PrivateGroupInvite("Evelyn"));
    ASSERT_TRUE(eve.WaitFor("PrivateGroupInvite Demochar"));
    EXPECT_TRUE(eve.chat->PrivateGroupJoin("Demochar"));
    EXPECT_TRUE(demo.WaitFor("PrivateGroupJoin Demochar|Evelyn"));
    EXPECT_TRUE(demo.chat->SendPrivateGroupMessage("Demochar", "inside"));
    EXPECT_TRUE(eve.WaitFor("PrivateGroupMessage Demochar|Demochar|inside|-"));
    demo.chat->PrivateGroupKickAll();
    EXPECT_TRUE(eve.WaitFor("PrivateGroupKick Demochar"));

    // Buddies and muting change the lists when the service answers.
    EXPECT_TRUE(demo.chat->AddFriend("Evelyn", true));
    EXPECT_TRUE(demo.WaitFor("FriendAdd Evelyn online=1 data=1"));
    EXPECT_TRUE(demo.chat->RemoveFriend("Evelyn"));
    EXPECT_TRUE(demo.WaitFor("FriendRemove Evelyn online=1 data=1"));
    demo.chat->MuteGroup(general);
    EXPECT_TRUE(WaitUntil([&] { return demo.chat->GroupList().Items(general)->Muted(); }));
    demo.chat->UnmuteGroup(general);
    EXPECT_TRUE(WaitUntil([&] { return !demo.chat->GroupList().Items(general)->Muted(); }));

    // The keep-alive is answered and the answer ignored.
    demo.chat->Ping();
    eve.chat->Disconnect();
    ASSERT_TRUE(WaitUntil([&] { return eve.disconnects == 1; }));
    demo.chat->Disconnect();
    ASSERT_TRUE(WaitUntil([&] { return demo.disconnects == 1; }));
    EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join("\n").toStdString();
    EXPECT_EQ(service.SessionCount(), 0);
}

TEST_F(ServiceTest, AWrongPasswordIsRefusedByTheService) {
    Prepare(eve, "eve", "wrong", "Evelyn");
    eve.chat->Connect();
    ASSERT_TRUE(WaitUntil([&] { return eve.disconnects == 1; }));
    ASSERT_FALSE(eve.events.empty());
    EXPECT_EQ(eve.events.front().rfind("LoginError ", 0), 0u) << eve.events.front();
    EXPECT_EQ(eve.events.back(), "Disconnect");
    EXPECT_TRUE(errors.messages.isEmpty());
}
