#include "engine/DimensionList.h"
#include "platform/core/Exception.h"

#include <QSet>

#include <gtest/gtest.h>

TEST(DimensionList, StartsWithTheFourBuiltInServersWhoseHostsTheEnvironmentMayReplace) {
    const struct {
        const char* name;
        const char* description;
        int32_t port;
    } builtIn[] = {{"Ostrelian", "Torvane 1 Dimension", 7012},
                   {"Vassa", "Torvane 2 Dimension", 7012},
                   {"Kelmarch", "German Dimension", 7013},
                   {"Test Dimension", "Public Vellinor Test Dimension", 7012}};
    qunsetenv(TDimensionList::HostOverrideVariable);
    TDimensionList list(nullptr);
    ASSERT_EQ(list.Count(), 4);
    QSet<QString> hosts;
    for (int i = 0; i < 4; ++i) {
        const auto d = list.Items(i);
        EXPECT_EQ(d->Name(), QString::fromUtf8(builtIn[i].name));
        EXPECT_EQ(d->Description(), QString::fromUtf8(builtIn[i].description));
        EXPECT_EQ(d->Port(), builtIn[i].port);
        EXPECT_EQ(d->Tag(), 0);
        EXPECT_TRUE(d->Host().endsWith(u".vellinor.example")) << d->Host().toStdString();
        hosts.insert(d->Host());
    }
    EXPECT_EQ(hosts.size(), 4); // one host per row
    list.Clear();
    EXPECT_EQ(list.Count(), 0);

    qputenv(TDimensionList::HostOverrideVariable, "127.0.0.1");
    TDimensionList local(nullptr);
    qunsetenv(TDimensionList::HostOverrideVariable);
    for (qsizetype i = 0; i < local.Count(); ++i) {
        EXPECT_EQ(local.Items(i)->Host(), u"127.0.0.1");
    }
    EXPECT_EQ(local.Add("Mine", "", 7100, "chat.example.org")->Host(), u"chat.example.org");
}

TEST(DimensionList, NamesCompareWithAsciiLettersUpperCased) {
    TDimensionList list(nullptr);
    EXPECT_EQ(list.IndexOfName("vassa"), 1);
    EXPECT_EQ(list.IndexOfName("VASSA"), 1);
    EXPECT_EQ(list.IndexOfName("Vassa "), -1);
    list.Add("Home", "", 7012, "a");
    list.Add("HOME", "", 7013, "b");
    EXPECT_EQ(list.IndexOfName("home"), 4);
    list.Add(QString::fromUtf8("\xC3\x86sir"), "", 1, "c");            // "Æsir"
    EXPECT_EQ(list.IndexOfName(QString::fromUtf8("\xC3\xA6SIR")), -1); // only a..z fold
}

TEST(DimensionList, EntriesHeldElsewhereSurviveEdits) {
    TDimensionList list(nullptr);
    const std::shared_ptr<TDimensionInfo> connected = list.Items(1);
    const std::shared_ptr<TDimensionInfo> other = list.Items(2);
    list.Delete(1);
    EXPECT_EQ(list.IndexOf(connected.get()), -1);
    EXPECT_EQ(list.Remove(other.get()), 1);
    EXPECT_EQ(list.Remove(other.get()), -1);
    list.Clear();
    EXPECT_EQ(connected->Name(), u"Vassa");
    EXPECT_EQ(connected->Port(), 7012);
    EXPECT_EQ(other->Name(), u"Kelmarch");

    list.AddInfo(connected);
    EXPECT_EQ(list.IndexOf(connected.get()), 0);
    try {
        list.Delete(1);
        ADD_FAILURE() << "no exception";
    } catch (const plat::EListError& e) {
        EXPECT_EQ(e.Message(), u"List index out of bounds (1)");
    }
    EXPECT_EQ(list.Count(), 1);
}
