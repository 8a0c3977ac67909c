// The web site's request reader on its own: when a request counts as whole,
// and that the site sends exactly the reader's answer.
#include "HttpRequests.h"

#include "chatd/Directory.h"
#include "chatd/HttpRequestReader.h"
#include "chatd/HttpSite.h"

namespace chatd::test {

namespace {

class HttpRequestReaderTest : public ::testing::TestWithParam<HttpRequestRow> {
protected:
    Directory directory;
    HttpRequestReader reader{directory};
};

TEST_P(HttpRequestReaderTest, AnswersOnceTheHeadIsWholeAsTheSiteDoes) {
    const HttpRequestRow& row = GetParam();
    QByteArray arrived;
    for (qsizetype i = 0; i + 1 < row.Pieces.size(); ++i) {
        arrived += row.Pieces[i];
        EXPECT_FALSE(reader.Read(arrived).has_value()) << "after piece " << i;
    }
    arrived += row.Pieces.last();
    const std::optional<HttpResponse> answer = reader.Read(arrived);
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(answer->Status, row.Status);
    if (row.Status == 200) {
        EXPECT_TRUE(answer->Body.contains(row.BodyHolds)) << answer->Body.constData();
    } else {
        EXPECT_EQ(answer->Body, row.BodyHolds);
    }
    // Whatever follows the head changes nothing.
    EXPECT_EQ(reader.Read(arrived + "\r\n\r\nGET / HTTP/1.1\r\n\r\n"), answer);

    HttpSite site(directory);
    ASSERT_TRUE(site.Listen(0));
    EXPECT_EQ(HttpExchange(site.Port(), row.Pieces).second, answer->Bytes());
}

INSTANTIATE_TEST_SUITE_P(Rows, HttpRequestReaderTest, ::testing::ValuesIn(HttpRequestRows()));

TEST(HttpResponseTest, BytesCarryTheStatusLineAndTheBodyLength) {
    const struct {
        HttpResponse Response;
        QByteArray Bytes;
    } rows[] = {
        {{200, "text/xml; charset=utf-8", "<a/>"},
         "HTTP/1.1 200 OK\r\nContent-Type: text/xml; charset=utf-8\r\nContent-Length: 4\r\n"
         "Connection: close\r\n\r\n<a/>"},
        {{408, "text/plain", ""},
         "HTTP/1.1 408 Request Timeout\r\nContent-Type: text/plain\r\nContent-Length: 0\r\n"
         "Connection: close\r\n\r\n"},
        {{405, "text/plain", "x"},
         "HTTP/1.1 405 Method Not Allowed\r\nContent-Type: text/plain\r\n"
         "Content-Length: 1\r\nConnection: close\r\n\r\nx"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.Response.Bytes(), row.Bytes);
    }
}

} // namespace

} // namespace chatd::test
