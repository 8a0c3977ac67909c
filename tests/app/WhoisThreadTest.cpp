#include "app/whois/VLWhoisThread.h"

#include "chatd/Directory.h"
#include "chatd/HttpSite.h"
#include "platform/core/Exception.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

#include "GoldenRows.h"
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

// The results of a lookup as one line: success, full name, level, breed,
// gender, faction, profession, picture, organisation name, rank, address.
QString Fields(const TVLWhoisThread& t) {
    QStringList f{t.Success() ? "ok" : "failed", t.FullName(), QString::number(t.Level())};
    f << t.Breed() << t.Gender() << t.Faction() << t.Profession() << t.PictureURL() << t.OrgName()
      << t.Rank() << t.OrgURL();
    return f.join(u'|');
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
    EXPECT_EQ(Fields(*demo.T), "ok|Dana \"Demochar\" Velt|60|miravel|female|Neutral|"
                               "Engineer (Tinkerer)||Quorvel Testers|Member|" +
                                   web + "/org/stats/d/2/name/7001");
    EXPECT_EQ(demo->BioURL(), web + "/character/bio/d/2/name/Demochar");
    EXPECT_EQ(Fields(*test.T), "ok|Tess \"Testchar\" Ardent|15|corlan|male|Neutral|Scout||||");
    EXPECT_EQ(test->BioURL(), web + "/character/bio/d/1/name/testCHAR");

    // An unknown character fails; the address built before the failure stays.
    const Lookup unknown = RunLookup(web, "Nobody", 1);
    EXPECT_EQ(Fields(*unknown.T), "failed||0||||||||");
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
    for (const auto& row : GoldenRows("whois/bios.txt", 2)) {
        TVLWhoisThread t;
        t.SetSite("http://site.example/");
        t.SetCharName("Bob");
        t.SetDimensionID(1);
        try {
            t.ParseBio(row[0]);
        } catch (const plat::Exception&) {
            EXPECT_FALSE(t.Success()) << row[0].constData();
        }
        EXPECT_EQ(Fields(t), QString::fromUtf8(row[1]));
    }
}

TEST(WhoisThreadTest, FailedTransfersEndQuietly) {
    const QByteArray bio = "<c><name><firstname>Ann</firstname></name></c>";
    const QByteArray padded = bio + "<!--" + QByteArray(1000 - bio.size() - 7, 'p') + "-->";
    ASSERT_EQ(padded.size(), 1000);
    const struct {
        QByteArray answer;
        bool success;
    } cases[] = {
        // An error status fails even with a readable document.
        {HttpAnswer(500, bio), false},
        {"HTTP/1.1 302 Found\r\nContent-Length: " + QByteArray::number(bio.size()) +
             "\r\nConnection: close\r\n\r\n" + bio,
         false},
        // The size limit (1000 bytes here): a body within it is read, a
        // larger one fails, announced or not.
        {HttpAnswer(200, padded), true},
        {HttpAnswer(200, padded + " "), false},
        {"HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + bio + QByteArray(5000, ' '), false},
    };
    ScriptedSite scripted;
    for (const auto& c : cases) {
        scripted.Answer = c.answer;
        const Lookup l =
            RunLookup(scripted.Address(), "Ann", 1, [](TVLWhoisThread& t) { t.SetMaxBytes(1000); });
        EXPECT_EQ(l->Success(), c.success) << c.answer.left(40).constData();
    }

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

TEST(WhoisThreadTest, CancellingStopsTransfers) {
    ScriptedSite silent;
    silent.Silent = true;
    int callbacks = 0;
    // A lookup of the silent site, started.
    const auto begin = [&](bool freeOnTerminate, const QString& site = {}) {
        auto* t = new TVLWhoisThread;
        t->SetSite(site.isEmpty() ? silent.Address() : site);
        t->SetCharName("Ann");
        t->SetFreeOnTerminate(freeOnTerminate);
        t->OnTerminate = [&](TVLWhoisThread* sender) {
            EXPECT_FALSE(sender->Success());
            ++callbacks;
        };
        t->Resume();
        return t;
    };

    // Cancel ends a transfer; the lookup reports the failure, then goes.
    QPointer<TVLWhoisThread> cancelled = begin(true);
    ASSERT_TRUE(WaitUntil([&] { return silent.Requests.size() == 1; }));
    cancelled->Cancel();
    ASSERT_TRUE(WaitUntil([&] { return cancelled.isNull(); }, 5000));
    EXPECT_EQ(callbacks, 1);

    // Deleting a lookup while its transfer runs stops and joins it, silently.
    TVLWhoisThread* running = begin(false);
    ASSERT_TRUE(WaitUntil([&] { return silent.Requests.size() == 2; }));
    delete running;
    DrainEvents();
    EXPECT_EQ(callbacks, 1);

    // CancelAll stops every lookup, transfers running or not started yet,
    // without callbacks, and deletes those that free themselves.
    QPointer<TVLWhoisThread> freeing = begin(true);
    std::unique_ptr<TVLWhoisThread> owned(begin(false));
    ASSERT_TRUE(WaitUntil([&] { return silent.Requests.size() == 4; }));
    QPointer<TVLWhoisThread> early = begin(true);
    QElapsedTimer timer;
    timer.start();
    TVLWhoisThread::CancelAll();
    EXPECT_LT(timer.elapsed(), 5000); // well within the 30 s transfer limit
    EXPECT_TRUE(freeing.isNull());
    EXPECT_TRUE(early.isNull());
    EXPECT_TRUE(owned->isFinished());
    DrainEvents();
    EXPECT_EQ(callbacks, 1);

    // A termination event may itself stop every lookup (the window closing).
    QPointer<TVLWhoisThread> closing = begin(true, "file:///x");
    closing->OnTerminate = [&](TVLWhoisThread*) {
        ++callbacks;
        TVLWhoisThread::CancelAll();
    };
    ASSERT_TRUE(WaitUntil([&] { return closing.isNull(); }));
    EXPECT_EQ(callbacks, 2);
}
