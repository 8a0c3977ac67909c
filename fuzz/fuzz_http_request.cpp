// Bytes a connection sends to the local chat service's web site, through its
// request reader as they arrive piece by piece, up to the one answer the
// connection gets.
//
// Input: byte 0 says how the rest arrives: 0 all at once, else in pieces of
// 1 to byte 0 bytes (their sizes drawn from a generator seeded with it). The
// rest is what the connection sends: request lines, headers, several
// requests, anything.
//
// The site knows the built-in characters and a few whose names need
// encoding: "Ana Lía", "a/b", "100%", "Q?x#y", "Ünï".
//
// Checked on every input (a failure aborts):
// - no answer while the first kMaxRequestBytes + 1 bytes hold no blank line
//   and no more than kMaxRequestBytes bytes came; an answer from then on, the
//   same whatever arrives later and however the bytes were split;
// - the answer depends on the request line alone, never on the headers;
// - the response is a status line of 200, 400, 404 or 405 with its reason,
//   the content type, the exact body length and "Connection: close";
// - 200 answers a GET of a biography path whose name, percent-decoded, is a
//   character's without regard to case, with that character's document,
//   which reads as XML; the name percent-encoded byte by byte in other
//   letter case gets the same; 405 answers another method, 404 only a GET.
#include "chatd/Directory.h"
#include "chatd/HttpRequestReader.h"

#include <QCoreApplication>
#include <QUrl>
#include <QXmlStreamReader>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

using chatd::HttpRequestReader;
using chatd::HttpResponse;

void FuzzCheck(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "check failed: %s\n", what);
        std::abort();
    }
}
#define check(condition) FuzzCheck((condition), #condition)

constexpr qsizetype kLimit = HttpRequestReader::kMaxRequestBytes;

const chatd::Directory& Characters() {
    static const chatd::Directory directory = [] {
        chatd::Directory d;
        d.AddAccount(QStringLiteral("fuzz"), QStringLiteral("pw"));
        int32_t id = 5000;
        for (const QString& name :
             {QStringLiteral("Ana L\u00EDa"), QStringLiteral("a/b"), QStringLiteral("100%"),
              QStringLiteral("Q?x#y"), QStringLiteral("\u00DCn\u00EF")}) {
            chatd::Character c;
            c.Id = id++;
            c.Name = name;
            c.Bio.FirstName = QStringLiteral("<&\"") + name;
            c.Bio.Nick = QStringLiteral("bell\x07") + QChar(0xD800) + QChar(0xFFFE) + u'!';
            c.Bio.OrganizationName = QStringLiteral("]]>");
            d.AddCharacter(QStringLiteral("fuzz"), c);
        }
        return d;
    }();
    return directory;
}

// Whether a reader must answer what arrived so far.
bool Due(const QByteArray& arrived) {
    const QByteArray looked = arrived.left(kLimit + 1);
    return looked.contains("\r\n\r\n") || looked.contains("\n\n") || looked.size() > kLimit;
}

// Feeds the bytes in pieces as a connection delivers them; the first answer.
std::optional<HttpResponse> Deliver(const HttpRequestReader& reader, QByteArrayView bytes,
                                    uint8_t spread) {
    uint32_t state = spread;
    QByteArray arrived;
    qsizetype at = 0;
    while (at < bytes.size()) {
        state = state * 1103515245u + 12345u;
        const qsizetype piece = spread == 0 ? bytes.size() : 1 + (state >> 16) % spread;
        arrived += bytes.sliced(at, std::min(piece, bytes.size() - at));
        at += piece;
        const std::optional<HttpResponse> answer = reader.Read(arrived);
        check(answer.has_value() == Due(arrived));
        if (answer) {
            return answer;
        }
    }
    return std::nullopt;
}

void CheckBytes(const HttpResponse& response) {
    const QByteArray bytes = response.Bytes();
    const QByteArray head = QByteArray("HTTP/1.1 ") + QByteArray::number(response.Status) + ' ' +
                            HttpResponse::Reason(response.Status) +
                            "\r\nContent-Type: " + response.ContentType +
                            "\r\nContent-Length: " + QByteArray::number(response.Body.size()) +
                            "\r\nConnection: close\r\n\r\n";
    check(bytes == head + response.Body);
    const bool xml = response.Status == 200;
    check(response.ContentType == (xml ? "text/xml; charset=utf-8" : "text/plain"));
    check(QByteArray(HttpResponse::Reason(response.Status)) != "Error");
}

// The request line as the reader takes it: to the first line end, trimmed.
QByteArray RequestLine(const QByteArray& arrived) {
    const QByteArray looked = arrived.left(kLimit + 1);
    const qsizetype end = looked.indexOf('\n');
    return (end < 0 ? looked : looked.left(end)).trimmed();
}

// A biography of a known character, and the same name encoded otherwise.
void CheckFound(const HttpRequestReader& reader, const QByteArray& line,
                const HttpResponse& response) {
    const QList<QByteArray> parts = line.split(' ');
    check(parts.size() == 3 && parts[0] == "GET" && parts[2].startsWith("HTTP/1."));
    const qsizetype query = parts[1].indexOf('?');
    const QByteArray path = query < 0 ? parts[1] : parts[1].left(query);
    check(path.startsWith("/character/bio/d/1/name/") ||
          path.startsWith("/character/bio/d/2/name/"));
    check(path.endsWith("/bio.xml"));
    const QByteArray encoded = path.mid(24, path.size() - 24 - 8);
    const QString name = QUrl::fromPercentEncoding(encoded);
    const chatd::Character* character = Characters().FindCharacterByName(name);
    check(character != nullptr);
    check(name.compare(character->Name, Qt::CaseInsensitive) == 0);
    check(response.Body == HttpRequestReader::BioDocument(*character));
    QXmlStreamReader xml(response.Body);
    while (!xml.atEnd()) {
        xml.readNext();
    }
    check(!xml.hasError());

    QByteArray every;
    for (char c : name.toUtf8()) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
            c ^= 0x20; // the other letter case
        }
        every += '%' + QByteArray(1, c).toHex().toUpper();
    }
    const QByteArray again = "GET " + path.left(24) + every + "/bio.xml HTTP/1.0\r\n\r\n";
    check(reader.Read(again) == response);
}

void CheckMeaning(const HttpRequestReader& reader, const QByteArray& arrived,
                  const HttpResponse& response) {
    const QByteArray looked = arrived.left(kLimit + 1);
    const bool blank = looked.contains("\r\n\r\n") || looked.contains("\n\n");
    const QByteArray line = RequestLine(arrived);
    // Headers never count: the request line alone gets the same.
    if (blank) {
        check(reader.Answer(line) == response);
    }
    switch (response.Status) {
    case 200:
        CheckFound(reader, line, response);
        break;
    case 400:
        check(response.Body == (blank ? "Bad Request\n" : "Request too large\n"));
        break;
    case 404:
        check(blank && line.startsWith("GET /"));
        break;
    case 405:
        check(blank && !line.startsWith("GET "));
        break;
    default:
        check(false);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);
    Characters();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const HttpRequestReader reader(Characters());
    const QByteArrayView bytes(data + 1, static_cast<qsizetype>(size - 1));
    const std::optional<HttpResponse> answer = Deliver(reader, bytes, data[0]);
    // However it arrives, and whatever follows what it answered, the answer
    // is the one to all of it at once.
    check(answer == reader.Read(bytes.toByteArray()));
    if (answer) {
        CheckBytes(*answer);
        CheckMeaning(reader, bytes.toByteArray(), *answer);
    }
    return 0;
}
