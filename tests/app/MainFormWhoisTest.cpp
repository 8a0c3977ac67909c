#include "GoldenRows.h"
#include "MainFormTestSupport.h"

#include "app/whois/VLWhoisThread.h"
#include "chatd/Directory.h"
#include "chatd/HttpSite.h"
#include "console/ConsoleModel.h"
#include "console/QvConsole/QvConsole.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

#include <map>

namespace mainformtest {
namespace {

// A main window, values in maroon, whose lookups go to an in-process web site.
class WhoisTest : public MainFormTest {
protected:
    void SetUp() override {
        MainFormTest::SetUp();
        ASSERT_TRUE(site.Listen(0));
        QObject::connect(&site, &chatd::HttpSite::LogLine, [this] { ++requests; });
        qputenv(TVLWhoisThread::SiteVariable, site.Address().toUtf8());
        Create();
        form->Settings.OutputMemo.Font.Color = plat::clMaroon;
    }
    void TearDown() override {
        MainFormTest::TearDown();
        qunsetenv(TVLWhoisThread::SiteVariable);
    }
    void OnDimension(qsizetype i) {
        form->VLChat->SetDimension(i < 0 ? nullptr : form->VLChat->DimensionList().Items(i));
    }
    // The lines of whois/shown.txt for the case, by their line numbers.
    std::map<int, QString> Shown(const char* name) const {
        std::map<int, QString> lines;
        for (const auto& row : GoldenRows("whois/shown.txt", 4)) {
            if (row[0] == name) {
                lines[row[1].toInt()] = Line(row[2].constData(), QString::fromUtf8(row[3]))
                                            .replace("{site}", site.Address());
            }
        }
        return lines;
    }
    // The console lines after the welcome line, once there are `count`.
    QStringList WaitForLines(qsizetype count) {
        EXPECT_TRUE(WaitUntil([&] { return ConsoleLines().size() > count; }));
        return ConsoleLines().mid(1);
    }

    chatd::Directory directory;
    chatd::HttpSite site{directory};
    int requests = 0;
};

TEST_F(WhoisTest, FoundCharactersAreShownWithTheirLinks) {
    OnDimension(1);
    form->ParseCommand("/whois Demochar");
    const QStringList found = WaitForLines(7);
    for (const auto& [line, shown] : Shown("found")) {
        EXPECT_EQ(found.value(line), shown) << line;
    }
    EXPECT_EQ(found.size(), 7);
    // The first dimension is number 1; no organisation, six lines.
    OnDimension(0);
    form->ParseCommand("/w testCHAR");
    const QStringList test = WaitForLines(13).mid(7);
    ASSERT_EQ(test.size(), 6);
    EXPECT_TRUE(test[0].contains("/character/bio/d/1/name/testCHAR\">Tess \"Testchar\" Ardent"));
    form->ParseCommand("/whois Nobody");
    EXPECT_EQ(WaitForLines(14).last(), Line("FF0000", "Unknown character: Nobody"));
}

TEST_F(WhoisTest, OnlyTheFirstTwoDimensionsHaveWhois) {
    for (const qsizetype position : {2, -1}) {
        OnDimension(position);
        form->ShowWhois("Demochar");
        EXPECT_EQ(BoxTexts(boxes),
                  QStringList{"Information: Whois information is only "
                              "available on the Ostrelian and Vassa \nDimensions."});
        boxes.clear();
    }
    OnDimension(0);
    form->ShowWhois("Nobody");
    EXPECT_EQ(WaitForLines(1).size(), 1);
    EXPECT_EQ(requests, 1); // the refused lookups asked nothing
}

TEST_F(WhoisTest, TextFromTheWebIsShownLiterally) {
    chatd::Character odd;
    odd.Id = 4001;
    odd.Name = "A<b>\"&x";
    odd.Bio.FirstName = "<i>Ann</i>";
    odd.Bio.Breed = " \t<elf> ";
    odd.Bio.OrganizationId = "9\"><a";
    odd.Bio.OrganizationName = "K & \"L\">";
    odd.Bio.Rank = "<u>R</u>";
    directory.AddCharacter("demo", odd);
    OnDimension(0);
    form->ShowWhois(odd.Name);
    const QStringList lines = WaitForLines(7);
    const QString bio = site.Address() + "/character/bio/d/1/name/A%3Cb%3E%22%26x";
    for (const auto& [line, shown] : Shown("literal")) {
        EXPECT_EQ(lines.value(line), shown) << line;
    }
    // The console reads the link's address intact, and the name as text.
    const TChunkList& parsed = form->OutputMemo->FirstLine()->Next->Chunks;
    EXPECT_EQ(parsed.Links.At(0).Params, bio);
    EXPECT_TRUE(parsed.Pool.Contains("<i>Ann</i>"));

    form->ParseCommand("/whois Bad<Name");
    EXPECT_EQ(WaitForLines(8).last(), Line("FF0000", "Unknown character: Bad&lt;Name"));
}

TEST_F(WhoisTest, LookupsStillRunningEndWithTheWindow) {
    QTcpServer silent; // takes requests, never answers
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    qputenv(TVLWhoisThread::SiteVariable,
            "http://127.0.0.1:" + QByteArray::number(silent.serverPort()));
    OnDimension(0);
    form->ShowWhois("Ann");
    form->ShowWhois("Bob");
    QList<QTcpSocket*> connections;
    ASSERT_TRUE(WaitUntil([&] {
        while (QTcpSocket* socket = silent.nextPendingConnection()) {
            connections << socket;
        }
        return connections.size() == 2;
    }));
    // Both transfers (limit 30 s) stop with the window, reporting nothing.
    form.reset();
    EXPECT_TRUE(WaitUntil(
        [&] {
            return connections[0]->state() == QAbstractSocket::UnconnectedState &&
                   connections[1]->state() == QAbstractSocket::UnconnectedState;
        },
        5000));
}

} // namespace
} // namespace mainformtest
