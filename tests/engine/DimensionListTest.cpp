#include "engine/DimensionList.h"

#include "Raises.h"

#include <QSet>

#include <gtest/gtest.h>

namespace {

// The entries as "name|description|port|tag" rows and their hosts.
QStringList Rows(const TDimensionList& list, QStringList* hosts) {
    QStringList rows;
    for (qsizetype i = 0; i < list.Count(); ++i) {
        const auto d = list.Items(i);
        rows
            << QString("%1|%2|%3|%4").arg(d->Name(), d->Description()).arg(d->Port()).arg(d->Tag());
        *hosts << d->Host();
    }
    return rows;
}

} // namespace

TEST(DimensionList, StartsWithTheFourBuiltInServersWhoseHostsTheEnvironmentMayReplace) {
    qunsetenv(TDimensionList::HostOverrideVariable);
    TDimensionList list(nullptr);
    QStringList hosts;
    EXPECT_EQ(Rows(list, &hosts),
              QStringList({"Ostrelian|Torvane 1 Dimension|7012|0",
                           "Vassa|Torvane 2 Dimension|7012|0", "Kelmarch|German Dimension|7013|0",
                           "Test Dimension|Public Vellinor Test Dimension|7012|0"}));
    EXPECT_EQ(QSet<QString>(hosts.begin(), hosts.end()).size(), 4); // one host per row
    for (const QString& host : hosts) {
        EXPECT_TRUE(host.endsWith(u".vellinor.example")) << host.toStdString();
    }

    qputenv(TDimensionList::HostOverrideVariable, "127.0.0.1");
    TDimensionList local(nullptr);
    qunsetenv(TDimensionList::HostOverrideVariable);
    hosts.clear();
    Rows(local, &hosts);
    EXPECT_EQ(hosts, QStringList(4, "127.0.0.1"));
    EXPECT_EQ(local.Add("Mine", "", 7100, "chat.example.org")->Host(), u"chat.example.org");
}

// The environment's ports, in the order of the built-in ones (7012, 7013),
// for Ostrelian, Vassa, Kelmarch and Test Dimension; anything but a list of
// ports leaves them.
TEST(DimensionList, TheEnvironmentMayReplaceTheBuiltInPorts) {
    const struct {
        const char* value; // nullptr: unset
        QList<int32_t> ports;
    } rows[] = {
        {nullptr, {7012, 7012, 7013, 7012}},
        {"7112,7113", {7112, 7112, 7113, 7112}},
        {" 7112 , 7113 ", {7112, 7112, 7113, 7112}},
        {"7200", {7200, 7200, 7200, 7200}},
        {"7112,7113,7114", {7112, 7112, 7113, 7112}},
        {"", {7012, 7012, 7013, 7012}},
        {"7112,", {7012, 7012, 7013, 7012}},
        {"7112,x", {7012, 7012, 7013, 7012}},
        {"0", {7012, 7012, 7013, 7012}},
        {"65536", {7012, 7012, 7013, 7012}},
        {"-1", {7012, 7012, 7013, 7012}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.value ? row.value : "(unset)");
        if (row.value) {
            qputenv(TDimensionList::PortsOverrideVariable, row.value);
        } else {
            qunsetenv(TDimensionList::PortsOverrideVariable);
        }
        const TDimensionList list(nullptr);
        qunsetenv(TDimensionList::PortsOverrideVariable);
        QList<int32_t> ports;
        for (qsizetype i = 0; i < list.Count(); ++i) {
            ports << list.Items(i)->Port();
        }
        EXPECT_EQ(ports, row.ports);
    }
}

TEST(DimensionList, NamesCompareWithAsciiLettersUpperCasedAndHeldEntriesSurviveEdits) {
    TDimensionList list(nullptr);
    EXPECT_EQ(list.IndexOfName("vassa"), 1);
    EXPECT_EQ(list.IndexOfName("VASSA"), 1);
    EXPECT_EQ(list.IndexOfName("Vassa "), -1);
    list.Add("Home", "", 7012, "a");
    list.Add("HOME", "", 7013, "b");
    EXPECT_EQ(list.IndexOfName("home"), 4);
    list.Add(QString::fromUtf8("\xC3\x86sir"), "", 1, "c");            // "Æsir"
    EXPECT_EQ(list.IndexOfName(QString::fromUtf8("\xC3\xA6SIR")), -1); // only a..z fold

    // Entries held elsewhere survive edits.
    const std::shared_ptr<TDimensionInfo> connected = list.Items(1);
    const std::shared_ptr<TDimensionInfo> other = list.Items(2);
    list.Delete(1);
    EXPECT_EQ(list.IndexOf(connected.get()), -1);
    EXPECT_EQ(list.Remove(other.get()), 1);
    EXPECT_EQ(list.Remove(other.get()), -1);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(connected->Name() + other->Name(), u"VassaKelmarch");
    EXPECT_EQ(connected->Port(), 7012);

    list.AddInfo(connected);
    EXPECT_EQ(list.IndexOf(connected.get()), 0);
    EXPECT_EQ(MessageOf<plat::EListError>([&] { list.Delete(1); }), "List index out of bounds (1)");
    EXPECT_EQ(list.Count(), 1);
}
