// The main window's away mode, reconnection and friends and groups trees on
// their own.
#include "GoldenRows.h"
#include "MainFormTestSupport.h"

#include "app/away/AwayMode.h"
#include "app/mainform/FriendsGroupsTrees.h"
#include "app/mainform/MainFormControls.h"
#include "app/mainform/Reconnector.h"
#include "app/settings/Settings.h"
#include "platform/core/Clock.h"
#include "platform/core/Exception.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <map>
#include <random>

namespace {

class AwayModeTest : public ::testing::Test {
protected:
    plat::ManualClock clock{1'000'000};
    TMainSettings settings;
    TAwayMode away{settings};
};

TEST_F(AwayModeTest, TheCommandLineGivesTheReason) {
    for (const auto& row : GoldenRows("away/commands.txt", 4)) {
        SCOPED_TRACE(row[0].constData());
        TAwayMode mode(settings);
        if (row[1] == "1") {
            mode.Enter(QStringLiteral("/away before"));
        }
        EXPECT_EQ(mode.Enter(QString::fromLatin1(row[0])), row[2] == "1");
        EXPECT_TRUE(mode);
        EXPECT_EQ(mode.Reason(), QString::fromLatin1(row[3]));
    }
}

TEST_F(AwayModeTest, ReplyTextFollowsReasonAndLogging) {
    for (const auto& row : GoldenRows("away/replies.txt", 3)) {
        settings.AwayLogging = row[1] == "1";
        away.Leave();
        away.Enter("/away " + QString::fromLatin1(row[0]));
        EXPECT_EQ(away.Reply(QStringLiteral("Bob")), QString::fromLatin1(row[2]))
            << row[0].constData();
    }
}

TEST_F(AwayModeTest, EachSenderIsAnsweredAtMostOnceAMinute) {
    away.Enter(QStringLiteral("/away"));
    EXPECT_TRUE(away.Reply(QStringLiteral("Bob")));
    clock.Advance(59'999);
    EXPECT_FALSE(away.Reply(QStringLiteral("BOB"))); // the same sender, ignoring case
    EXPECT_TRUE(away.Reply(QStringLiteral("Cara")));
    clock.Advance(1);
    EXPECT_TRUE(away.Reply(QStringLiteral("bob")));
    // Back and away again answers everyone at once.
    EXPECT_TRUE(away.Leave());
    EXPECT_FALSE(away.Leave());
    away.Enter(QStringLiteral("/away"));
    EXPECT_TRUE(away.Reply(QStringLiteral("Bob")));
}

TEST(AwayListTest, SendersAreFoundIgnoringAsciiCaseOnly) {
    TAwayList list;
    list.Add()->SetName(QStringLiteral("\u00c9lan"));
    EXPECT_EQ(list.IndexOf(u"\u00e9lan"), -1);
    EXPECT_THROW(list.Items(1), plat::EListError);
    EXPECT_THROW(list.Items(0)->Messages().Items(0), plat::EListError);
}

TEST_F(AwayModeTest, TellsAreLoggedUnreadPerSender) {
    away.AddMessage(QStringLiteral("Bob"), QStringLiteral("\x10\x0chi"));
    away.List().Items(0)->SetTag(1);
    away.AddMessage(QStringLiteral("bob"), QStringLiteral("again"));
    away.AddMessage(QStringLiteral("Cara"), QStringLiteral("x"));
    ASSERT_EQ(away.List().Count(), 2);
    EXPECT_EQ(away.List().Items(0)->Tag(), 0); // unread again
    EXPECT_EQ(away.List().Items(0)->Messages().Count(), 2);
    EXPECT_EQ(away.List().Items(0)->Messages().Items(0)->Text(), QStringLiteral("\x10\x0chi"));
    EXPECT_EQ(away.Unread(), 3);
    away.MarkRead();
    EXPECT_EQ(away.Unread(), 0);
    EXPECT_EQ(away.List().Count(), 2); // the log stays
}

TEST_F(AwayModeTest, IdleTimeUpAfterTheIdleMinutesWithAutoAway) {
    settings.AutoAwayIdle = 1;
    clock.Advance(60'000);
    EXPECT_FALSE(away.IdleTimeUp()); // AutoAway off
    settings.AutoAway = true;
    EXPECT_TRUE(away.IdleTimeUp());
    away.Enter(QStringLiteral("/away"));
    away.Leave(); // coming back is activity
    EXPECT_FALSE(away.IdleTimeUp());
    settings.AutoAwayIdle = 0; // never
    clock.Advance(3'600'000);
    EXPECT_FALSE(away.IdleTimeUp());
}

class ReconnectorTest : public ::testing::Test {
protected:
    ReconnectorTest() {
        settings.AutoReconnect = true;
        settings.ReconnectTimes = 2;
        settings.ReconnectDelay = 3;
        reconnector.OnAttempt = [this](int attempt) { attempts.push_back(attempt); };
    }
    TMainSettings settings;
    QTimer timer;
    TReconnector reconnector{settings, timer};
    std::vector<int> attempts;
};

TEST_F(ReconnectorTest, SuccessfulReconnectsUseUpTheAttempts) {
    using TNext = TReconnector::TNext;
    EXPECT_EQ(reconnector.Disconnected(), TNext::None); // never connected
    EXPECT_FALSE(reconnector.Connected());
    for (int attempt = 1; attempt <= 2; ++attempt) {
        ASSERT_EQ(reconnector.Disconnected(), TNext::Waiting);
        EXPECT_EQ(timer.isActive() ? timer.interval() : -1, 3000);
        reconnector.TimerFired();
        EXPECT_FALSE(timer.isActive());
        EXPECT_TRUE(reconnector.Reconnecting());
        EXPECT_TRUE(reconnector.Connected()); // the character comes back unasked
    }
    EXPECT_EQ(attempts, (std::vector<int>{1, 2}));
    EXPECT_EQ(reconnector.Disconnected(), TNext::GaveUp);
    EXPECT_FALSE(timer.isActive());
    // A connection the user opened starts the count afresh.
    EXPECT_FALSE(reconnector.Connected());
    EXPECT_EQ(reconnector.Attempts(), 0);
    settings.AutoReconnect = false;
    EXPECT_EQ(reconnector.Disconnected(), TNext::GaveUp);
}

TEST_F(ReconnectorTest, TheUsersDisconnectStopsReconnecting) {
    reconnector.Connected();
    reconnector.Disconnected();
    reconnector.Cancel();
    reconnector.TimerFired();
    EXPECT_TRUE(attempts.empty());
    EXPECT_EQ(reconnector.Disconnected(), TReconnector::TNext::None);
    // A delay beyond what a timer takes waits as long as it can.
    settings.ReconnectDelay = INT_MAX;
    reconnector.Connected();
    reconnector.Disconnected();
    EXPECT_EQ(timer.interval(), INT_MAX);
}

using mainformtest::Children;

class FriendsGroupsTreesTest : public ::testing::Test {
protected:
    QStringList Friends() const {
        return Children(trees.OnlineFriendsNode()) + QStringList{u"|"_qs} +
               Children(trees.OfflineFriendsNode()) + QStringList{u"|"_qs} +
               Children(trees.UnknownFriendsNode());
    }

    TTreeView friends;
    TTreeView groups;
    TFriendsGroupsTrees trees{friends, groups};
};

// Group names arrive as the server spells them: the node is the name's
// whatever its case, and never leaves a second one. (Friends are covered by
// the re-sort test below.)
TEST_F(FriendsGroupsTreesTest, GroupNamesMatchWithoutRegardToCase) {
    trees.SetPublicGroups({{u"Trade"_qs, true}, {u"general"_qs, false}});
    trees.SetPublicGroups({{u"TRADE"_qs, false}, {u"GENERAL"_qs, true}});
    EXPECT_EQ(Children(trees.PublicGroupsNode()), QStringList({"general:8", "Trade:7"}));
    trees.AddPrivateGroup(u"Kara"_qs);
    trees.AddPrivateGroup(u"KARA"_qs);
    EXPECT_EQ(Children(trees.PrivateGroupsNode()), QStringList{"Kara:7"});
    trees.RemovePrivateGroup(u"kara"_qs);
    EXPECT_EQ(trees.PrivateGroupsNode()->ChildCount(), 0);
}

// Many adds and removes in no order, names differing in case and by
// prefixes: each root holds what a list of the buddies, re-sorted, would.
TEST_F(FriendsGroupsTreesTest, ChildrenStayWhereAReSortWouldPutThem) {
    std::mt19937 random(11);
    std::map<QString, std::pair<QString, int>> expected; // folded name -> name, root
    for (int step = 0; step < 3000; ++step) {
        QString name;
        for (int length = 1 + static_cast<int>(random() % 3); length > 0; --length) {
            name += QChar(u"aAbBcC"[random() % 6]);
        }
        if (random() % 4 == 0) {
            trees.RemoveFriend(name);
            expected.erase(name.toCaseFolded());
            continue;
        }
        const int root = static_cast<int>(random() % 3);
        trees.AddFriend(name, root == 0, root != 2);
        expected[name.toCaseFolded()] = {name, root};
    }
    std::vector<QStringList> roots(3);
    for (const auto& [key, entry] : expected) {
        roots[static_cast<size_t>(entry.second)] << entry.first;
    }
    for (size_t root = 0; root < roots.size(); ++root) {
        std::sort(roots[root].begin(), roots[root].end(), [](const QString& a, const QString& b) {
            const int order = QString::compare(a, b, Qt::CaseInsensitive);
            return order < 0 || (order == 0 && a < b);
        });
        for (QString& name : roots[root]) {
            name += root == 0 ? u":3"_qs : u":4"_qs;
        }
    }
    EXPECT_EQ(Children(trees.OnlineFriendsNode()), roots[0]);
    EXPECT_EQ(Children(trees.OfflineFriendsNode()), roots[1]);
    EXPECT_EQ(Children(trees.UnknownFriendsNode()), roots[2]);
    trees.Clear();
    trees.AddFriend(u"a"_qs, true, true);
    EXPECT_EQ(Friends(), QStringList({"a:3", "|", "|"}));
}

} // namespace
