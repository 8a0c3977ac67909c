#include "GoldenRows.h"
#include "HttpRequests.h"
#include "TestClient.h"

#include "chatd/Directory.h"
#include "chatd/HttpSite.h"

#include <QXmlStreamReader>

namespace chatd::test {

namespace {

struct Response {
    int Status = 0;
    QByteArray Head;
    QByteArray Body;
};

// Sends the bytes as they stand and reads until the site closes.
Response exchange(quint16 port, const QByteArray& request) {
    const auto [status, received] = HttpExchange(port, {request});
    Response response;
    const qsizetype split = received.indexOf("\r\n\r\n");
    response.Head = received.left(split);
    response.Body = split < 0 ? QByteArray() : received.mid(split + 4);
    response.Status = status;
    return response;
}

Response get(quint16 port, const QByteArray& path) {
    return exchange(port, "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
}

// Element paths and their texts as the client reads them, in document order:
// "basic_stats/level=60".
QStringList elementsOf(const QByteArray& xml) {
    QStringList out;
    QXmlStreamReader reader(xml);
    QStringList path;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            path.append(reader.name().toString());
        } else if (reader.isEndElement()) {
            path.removeLast();
        } else if (reader.isCharacters() && !reader.isWhitespace() && path.size() > 1) {
            out << path.mid(1).join(u'/') + "=" + reader.text().toString();
        }
    }
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    return out;
}

class HttpSiteTest : public ::testing::Test {
protected:
    void SetUp() override {
        directory.AddAccount("alice", "pw");
        Character plain;
        plain.Id = 3001;
        plain.Name = "Ana Lía";
        plain.Level = 7;
        plain.Bio.FirstName = "A<n>a & \"co\"";
        plain.Bio.Nick = QString("bell\x07") + "e";
        directory.AddCharacter("alice", plain);
        ASSERT_TRUE(site.Listen(0)) << site.ErrorString().toStdString();
        port = site.Port();
    }

    Directory directory;
    HttpSite site{directory};
    quint16 port = 0;
};

} // namespace

TEST_F(HttpSiteTest, BiographyHoldsTheElementsTheClientReads) {
    QStringList demochar;
    for (const QStringList& row : GoldenTextRows("chatd/demochar-bio.tsv", 1)) {
        demochar << row[0];
    }
    for (const char* dimension : {"1", "2"}) {
        const Response r =
            get(port, QByteArray("/character/bio/d/") + dimension + "/name/demochar/bio.xml");
        ASSERT_EQ(r.Status, 200) << dimension;
        EXPECT_TRUE(r.Head.contains("Content-Type: text/xml"));
        EXPECT_TRUE(r.Head.contains("Content-Length: " + QByteArray::number(r.Body.size())));
        EXPECT_EQ(elementsOf(r.Body), demochar);
    }

    // Names are percent-decoded and compared without regard to case ("ana
    // lía" in UTF-8); values are escaped, control characters dropped, and
    // empty fields left out (the client would read an empty element).
    const Response r = get(port, "/character/bio/d/1/name/ana%20l%C3%ADa/bio.xml?x=1");
    ASSERT_EQ(r.Status, 200);
    EXPECT_EQ(elementsOf(r.Body), (QStringList{"name/firstname=A<n>a & \"co\"", "name/nick=belle",
                                               "basic_stats/level=7"}));
    EXPECT_FALSE(r.Body.contains("organization_membership"));
    EXPECT_FALSE(r.Body.contains("pictureurl"));
}

TEST_F(HttpSiteTest, EverythingElseIsRefused) {
    const char* notFound[] = {"/character/bio/d/1/name/Nobody/bio.xml",
                              "/character/bio/d/3/name/Demochar/bio.xml",
                              "/character/bio/d/1/name/Demochar",
                              "/character/bio/d/1/name//bio.xml",
                              "/character/bio/d/1/name/Demo%63har/bio.xml/x",
                              "/"};
    for (const char* path : notFound) {
        EXPECT_EQ(get(port, path).Status, 404) << path;
    }
    EXPECT_EQ(
        exchange(port, "POST /character/bio/d/1/name/Demochar/bio.xml HTTP/1.1\r\n\r\n").Status,
        405);
    EXPECT_EQ(exchange(port, "garbage\r\n\r\n").Status, 400);
    EXPECT_EQ(exchange(port, QByteArray("\x00\xFF\x10 \x01\n\n", 8)).Status, 400);
    EXPECT_EQ(exchange(port, "GET relative HTTP/1.1\r\n\r\n").Status, 400);
    // A request that never ends within the size limit.
    EXPECT_EQ(exchange(port, "GET /" + QByteArray(HttpSite::kMaxRequestBytes, 'a')).Status, 400);
    // The site still answers.
    EXPECT_EQ(get(port, "/character/bio/d/2/name/Testchar/bio.xml").Status, 200);
    // A request that stops half way times out.
    site.SetRequestTimeoutMs(50);
    EXPECT_EQ(exchange(port, "GET /character/bio/d/1/na").Status, 408);
}

} // namespace chatd::test
