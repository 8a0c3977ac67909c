#include "app/whois/VLWhoisThread.h"

#include "chatd/Directory.h"
#include "chatd/HttpSite.h"
#include "platform/core/Exception.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include "WaitUntil.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

QByteArray HttpAnswer(int status, const QByteArray& body) {
    return "HTTP/1.1 " + QByteArray::number(status) +
           " X\r\nContent-Type: text/xml\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}

// A web server on loopback that records each request line and gives every
// request the same answer, or (Silent) never answers.
class ScriptedSite : public QObject {
public:
    QByteArray Answer = HttpAnswer(404, "Not Found");
    bool Silent = false;
    QList<QByteArray> Requests;

    ScriptedSite() {
        EXPECT_TRUE(server_.listen(QHostAddress::LocalHost, 0));
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
            }
        });
    }
    QString Address() const { return "http://127.0.0.1:" + QString::number(server_.serverPort()); }

private:
    void read(QTcpSocket* socket) {
        QByteArray& received = pending_[socket];
        received += socket->readAll();
        if (!received.contains("\r\n\r\n")) {
            return;
        }
        Requests.append(received.left(received.indexOf("\r\n")));
        received.clear();
        if (!Silent) {
            socket->write(Answer);
            socket->disconnectFromHost();
        }
    }

    QTcpServer server_;
    QHash<QTcpSocket*, QByteArray> pending_;
};

// A lookup object kept by the test, and how often its termination event ran
// (checking that it runs on the GUI thread).
struct Lookup {
    std::unique_ptr<TVLWhoisThread> T = std::make_unique<TVLWhoisThread>();
    std::shared_ptr<int> Calls = std::make_shared<int>(0);
    TVLWhoisThread* operator->() const { return T.get(); }
};

Lookup Start(const QString& site, const QString& name, int dimension,
             const std::function<void(TVLWhoisThread&)>& setup = {}) {
    Lookup l;
    l->SetSite(site);
    l->SetCharName(name);
    l->SetDimensionID(dimension);
    if (setup) {
        setup(*l.T);
    }
    l->OnTerminate = [calls = l.Calls](TVLWhoisThread*) {
        EXPECT_EQ(QThread::currentThread(), QCoreApplication::instance()->thread());
        ++*calls;
    };
    l->Resume();
    return l;
}

// Runs a lookup until its termination event ran.
Lookup RunLookup(const QString& site, const QString& name, int dimension,
                 const std::function<void(TVLWhoisThread&)>& setup = {}) {
    Lookup l = Start(site, name, dimension, setup);
    EXPECT_TRUE(WaitUntil([&] { return *l.Calls > 0; })) << name.toStdString();
    EXPECT_EQ(*l.Calls, 1);
    return l;
}

// Reads a document into a lookup that was never started.
std::unique_ptr<TVLWhoisThread> Parsed(const QByteArray& xml, const QString& name = "Bob",
                                       int dimension = 1) {
    auto t = std::make_unique<TVLWhoisThread>();
    t->SetSite("http://site.example/");
    t->SetCharName(name);
    t->SetDimensionID(dimension);
    t->ParseBio(xml);
    return t;
}

void DrainEvents() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

} // namespace

TEST(WhoisThreadTest, CharactersAreReadFromTheSite) {
    chatd::Directory directory;
    chatd::HttpSite site(directory);
    ASSERT_TRUE(site.Listen(0));
    const QString web = site.Address();
    // Two lookups at once, each with its own result.
    const Lookup demo = Start(web, "Demochar", 2);
    const Lookup test = Start(web, "testCHAR", 1);
    ASSERT_TRUE(WaitUntil([&] { return *demo.Calls == 1 && *test.Calls == 1; }));
    EXPECT_TRUE(demo->Success());
    EXPECT_EQ(demo->FullName(), "Dana \"Demochar\" Velt");
    EXPECT_EQ(demo->Level(), 60);
    EXPECT_EQ(demo->Breed(), "miravel");
    EXPECT_EQ(demo->Gender(), "female");
    EXPECT_EQ(demo->Faction(), "Neutral");
    EXPECT_EQ(demo->Profession(), "Engineer (Tinkerer)");
    EXPECT_EQ(demo->PictureURL(), "");
    EXPECT_EQ(demo->OrgName(), "Quorvel Testers");
    EXPECT_EQ(demo->Rank(), "Member");
    EXPECT_EQ(demo->OrgURL(), web + "/org/stats/d/2/name/7001");
    EXPECT_EQ(demo->BioURL(), web + "/character/bio/d/2/name/Demochar");

    EXPECT_TRUE(test->Success());
    EXPECT_EQ(test->FullName(), "Tess \"Testchar\" Ardent");
    EXPECT_EQ(test->Level(), 15);
    EXPECT_EQ(test->Profession(), "Scout");
    EXPECT_EQ(test->OrgName(), "");
    EXPECT_EQ(test->OrgURL(), "");
    EXPECT_EQ(test->BioURL(), web + "/character/bio/d/1/name/testCHAR");

    // An unknown character fails; the address built before the failure stays.
    const Lookup unknown = RunLookup(web, "Nobody", 1);
    EXPECT_FALSE(unknown->Success());
    EXPECT_EQ(unknown->FullName(), "");
    EXPECT_EQ(unknown->BioURL(), web + "/character/bio/d/1/name/Nobody");
}

TEST(WhoisThreadTest, NamesTravelAsOneEscapedPathSegment) {
    const QString odd = "Odd/Name? #50% x";
    ScriptedSite scripted;
    const Lookup r = RunLookup(scripted.Address(), odd, 1);
    EXPECT_FALSE(r->Success()); // the scripted site answers 404
    const QByteArray segment = "Odd%2FName%3F%20%2350%25%20x";
    EXPECT_EQ(r->BioURL(), scripted.Address() + "/character/bio/d/1/name/" + segment);
    // "." and ".." would climb the path even encoded: no request at all.
    EXPECT_FALSE(RunLookup(scripted.Address(), "..", 2)->Success());
    EXPECT_FALSE(RunLookup(scripted.Address(), ".", 2)->Success());
    EXPECT_TRUE(RunLookup(scripted.Address(), "...", 2)->BioURL().endsWith("/name/..."));
    ASSERT_EQ(scripted.Requests.size(), 2);
    EXPECT_EQ(scripted.Requests[0], "GET /character/bio/d/1/name/" + segment + "/bio.xml HTTP/1.1");
    EXPECT_EQ(scripted.Requests[1], "GET /character/bio/d/2/name/.../bio.xml HTTP/1.1");

    // The site decodes the segment and finds the character.
    chatd::Directory directory;
    chatd::Character c;
    c.Id = 4001;
    c.Name = odd;
    c.Level = 3;
    c.Bio.FirstName = "Odd";
    directory.AddCharacter("demo", c);
    chatd::HttpSite site(directory);
    ASSERT_TRUE(site.Listen(0));
    const Lookup found = RunLookup(site.Address(), odd, 1);
    EXPECT_TRUE(found->Success());
    EXPECT_EQ(found->FullName(), "Odd");
    EXPECT_EQ(found->Level(), 3);
}

TEST(WhoisThreadTest, BiographyFieldsAreBuiltFromTheDocument) {
    const auto full = Parsed("<character><name><firstname>John</firstname><nick>Jo</nick>"
                             "<lastname>Smith</lastname></name><basic_stats><level>42</level>"
                             "<breed>elf</breed><gender>male</gender><faction>Free</faction>"
                             "<profession>Doctor</profession>"
                             "<profession_title>Surgeon</profession_title></basic_stats>"
                             "<pictureurl>http://p.example/1.png</pictureurl>"
                             "<organization_membership><organization_id>777</organization_id>"
                             "<organization_name>Healers</organization_name><rank>Member</rank>"
                             "</organization_membership></character>",
                             "Bob", 2);
    EXPECT_TRUE(full->Success());
    EXPECT_EQ(full->FullName(), "John \"Jo\" Smith");
    EXPECT_EQ(full->Level(), 42);
    EXPECT_EQ(full->Breed(), "elf");
    EXPECT_EQ(full->Gender(), "male");
    EXPECT_EQ(full->Faction(), "Free");
    EXPECT_EQ(full->Profession(), "Doctor (Surgeon)");
    EXPECT_EQ(full->PictureURL(), "http://p.example/1.png");
    EXPECT_EQ(full->OrgName(), "Healers");
    EXPECT_EQ(full->Rank(), "Member");
    EXPECT_EQ(full->OrgURL(), "http://site.example/org/stats/d/2/name/777"); // the id, not the name

    // Only the root: the looked-up name and nothing else.
    const auto bare = Parsed("<character><unknown>x</unknown></character>");
    EXPECT_TRUE(bare->Success());
    EXPECT_EQ(bare->FullName(), "Bob");
    EXPECT_EQ(bare->Level(), 0);
    EXPECT_EQ(bare->Profession(), "");
    EXPECT_EQ(bare->OrgURL(), "");

    // Without a first name the nick and last name follow the looked-up name;
    // a title without a profession stands alone; an organisation id is escaped.
    const auto partial = Parsed("<c><name><nick>Jo</nick><lastname>Smith</lastname></name>"
                                "<basic_stats><profession_title>Surgeon</profession_title>"
                                "</basic_stats><organization_membership>"
                                "<organization_id>7/../7 ?x</organization_id>"
                                "</organization_membership></c>");
    EXPECT_EQ(partial->FullName(), "Bob \"Jo\" Smith");
    EXPECT_EQ(partial->Profession(), " (Surgeon)");
    EXPECT_EQ(partial->OrgURL(), "http://site.example/org/stats/d/1/name/7%2F..%2F7%20%3Fx");
    EXPECT_EQ(partial->OrgName(), "");
    const auto dots = Parsed("<c><organization_membership><organization_id>..</organization_id>"
                             "<rank>R</rank></organization_membership></c>");
    EXPECT_TRUE(dots->Success());
    EXPECT_EQ(dots->OrgURL(), "");
    EXPECT_EQ(dots->Rank(), "R");

    // An empty first name is taken as it stands.
    EXPECT_EQ(Parsed("<c><name><firstname/><lastname>S</lastname></name></c>")->FullName(), " S");
}

TEST(WhoisThreadTest, LevelsThatAreNotNumbersCountAsZero) {
    const auto words = Parsed("<c><basic_stats><level>N/A</level><breed>elf</breed></basic_stats>"
                              "<organization_membership><rank>Boss</rank>"
                              "</organization_membership></c>");
    EXPECT_TRUE(words->Success());
    EXPECT_EQ(words->Level(), 0);
    EXPECT_EQ(words->Breed(), "elf");
    EXPECT_EQ(words->Rank(), "Boss");
    EXPECT_EQ(Parsed("<c><basic_stats><level> 42\n</level></basic_stats></c>")->Level(), 42);
    EXPECT_EQ(Parsed("<c><basic_stats><level/></basic_stats></c>")->Level(), 0);
    EXPECT_EQ(Parsed("<c><basic_stats><level>99999999999</level></basic_stats></c>")->Level(), 0);
}

TEST(WhoisThreadTest, DocumentsThatAreNotXmlRaiseAndLeaveSuccessFalse) {
    TVLWhoisThread t;
    t.SetCharName("Bob");
    EXPECT_THROW(t.ParseBio("Not Found\n"), plat::Exception);
    EXPECT_THROW(t.ParseBio("<c><name>"), plat::Exception);
    EXPECT_FALSE(t.Success());
    EXPECT_EQ(t.FullName(), "");
}

TEST(WhoisThreadTest, FailedTransfersEndQuietly) {
    const QByteArray bio = "<c><name><firstname>Ann</firstname></name></c>";
    ScriptedSite scripted;
    // An error status fails even with a readable document.
    scripted.Answer = HttpAnswer(500, bio);
    EXPECT_FALSE(RunLookup(scripted.Address(), "Ann", 1)->Success());
    scripted.Answer = "HTTP/1.1 302 Found\r\nContent-Length: " + QByteArray::number(bio.size()) +
                      "\r\nConnection: close\r\n\r\n" + bio;
    EXPECT_FALSE(RunLookup(scripted.Address(), "Ann", 1)->Success());

    // Size limit: a body within it is read, a larger one fails.
    const auto limit = [](TVLWhoisThread& t) { t.SetMaxBytes(1000); };
    const QByteArray padded = bio + "<!--" + QByteArray(1000 - bio.size() - 7, 'p') + "-->";
    ASSERT_EQ(padded.size(), 1000);
    scripted.Answer = HttpAnswer(200, padded);
    EXPECT_TRUE(RunLookup(scripted.Address(), "Ann", 1, limit)->Success());
    scripted.Answer = HttpAnswer(200, padded + " ");
    EXPECT_FALSE(RunLookup(scripted.Address(), "Ann", 1, limit)->Success());
    // The same without a length in advance.
    scripted.Answer = "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + bio + QByteArray(5000, ' ');
    EXPECT_FALSE(RunLookup(scripted.Address(), "Ann", 1, limit)->Success());

    // A site that never answers fails after the time limit.
    scripted.Silent = true;
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(RunLookup(scripted.Address(), "Ann", 1, [](TVLWhoisThread& t) {
                     t.SetTimeoutMs(300);
                 })->Success());
    EXPECT_GE(timer.elapsed(), 250);
    EXPECT_LT(timer.elapsed(), 5000);

    // No server at all, and an address that is not a web address.
    QString closedPort;
    {
        QTcpServer gone;
        ASSERT_TRUE(gone.listen(QHostAddress::LocalHost, 0));
        closedPort = "http://127.0.0.1:" + QString::number(gone.serverPort());
    }
    EXPECT_FALSE(RunLookup(closedPort, "Ann", 1)->Success());
    EXPECT_FALSE(RunLookup("file:///etc", "passwd", 1)->Success());
}

TEST(WhoisThreadTest, CancelAllStopsRunningLookupsWithoutCallbacks) {
    ScriptedSite silent;
    silent.Silent = true;
    int callbacks = 0;
    const auto count = [&](TVLWhoisThread*) { ++callbacks; };

    QPointer<TVLWhoisThread> freeing = new TVLWhoisThread;
    freeing->SetFreeOnTerminate(true);
    auto owned = std::make_unique<TVLWhoisThread>();
    for (TVLWhoisThread* t : {freeing.data(), owned.get()}) {
        t->SetSite(silent.Address());
        t->SetCharName("Ann");
        t->SetDimensionID(1);
        t->OnTerminate = count;
        t->Resume();
    }
    ASSERT_TRUE(WaitUntil([&] { return silent.Requests.size() == 2; }));
    // One more, cancelled before its transfer can start.
    QPointer<TVLWhoisThread> early = new TVLWhoisThread;
    early->SetSite(silent.Address());
    early->SetFreeOnTerminate(true);
    early->OnTerminate = count;
    early->Resume();

    QElapsedTimer timer;
    timer.start();
    TVLWhoisThread::CancelAll();
    EXPECT_LT(timer.elapsed(), 5000); // well within the 30 s transfer limit
    EXPECT_TRUE(freeing.isNull());
    EXPECT_TRUE(early.isNull());
    EXPECT_TRUE(owned->isFinished());
    DrainEvents();
    EXPECT_EQ(callbacks, 0);
    EXPECT_FALSE(owned->Success());
}

TEST(WhoisThreadTest, CancelEndsATransferAndStillReports) {
    ScriptedSite silent;
    silent.Silent = true;
    // A lookup that frees itself reports the failure, then goes.
    int calls = 0;
    QPointer<TVLWhoisThread> t = new TVLWhoisThread;
    t->SetSite(silent.Address());
    t->SetFreeOnTerminate(true);
    t->OnTerminate = [&](TVLWhoisThread* sender) {
        EXPECT_FALSE(sender->Success());
        ++calls;
    };
    t->Resume();
    ASSERT_TRUE(WaitUntil([&] { return silent.Requests.size() == 1; }));
    t->Cancel();
    ASSERT_TRUE(WaitUntil([&] { return t.isNull(); }, 5000));
    EXPECT_EQ(calls, 1);

    // Deleting a lookup while its transfer runs stops and joins it.
    int callbacks = 0;
    auto* running = new TVLWhoisThread;
    running->SetSite(silent.Address());
    running->OnTerminate = [&](TVLWhoisThread*) { ++callbacks; };
    running->Resume();
    ASSERT_TRUE(WaitUntil([&] { return silent.Requests.size() == 2; }));
    delete running;
    DrainEvents();
    EXPECT_EQ(callbacks, 0);

    // A termination event may itself stop every lookup (the window closing).
    QPointer<TVLWhoisThread> closing = new TVLWhoisThread;
    closing->SetSite("file:///x");
    closing->SetFreeOnTerminate(true);
    closing->OnTerminate = [&](TVLWhoisThread*) {
        ++callbacks;
        TVLWhoisThread::CancelAll();
    };
    closing->Resume();
    ASSERT_TRUE(WaitUntil([&] { return closing.isNull(); }));
    EXPECT_EQ(callbacks, 1);
}
