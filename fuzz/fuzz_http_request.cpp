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
// - 200 answers exactly a GET of a biography path whose name, percent-decoded,
//   is a character's without regard to case, with that character's document,
//   which reads as XML; the name percent-encoded byte by byte in the other
//   letter case gets the same; 400 answers a request line that is not
//   "method /path HTTP/1.x" (or no blank line in time), 405 such a line of
//   another method, 404 such a GET.
#include "chatd/Directory.h"
#include "chatd/HttpRequestReader.h"

#include <QCoreApplication>
#include <QUrl>
#include <QXmlStreamReader>

#include <cstdint>
#include <optional>

#include "FuzzCheck.h" // last: Qt's headers use the name check

namespace {

using chatd::HttpRequestReader;
using chatd::HttpResponse;

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

// A request line "GET /character/bio/d/{1|2}/name/{name}/bio.xml[?...] HTTP/1.x":
// its name segment as it stands; nothing for any other line.
std::optional<QByteArray> BiographyName(const QByteArray& line) {
    const QList<QByteArray> parts = line.split(' ');
    if (parts.size() != 3 || parts[0] != "GET" || !parts[2].startsWith("HTTP/1.")) {
        return std::nullopt;
    }
    const qsizetype query = parts[1].indexOf('?');
    const QByteArray path = query < 0 ? parts[1] : parts[1].left(query);
    const QByteArray head = path.left(24);
    const QByteArray name = path.mid(24, path.size() - 24 - 8);
    if ((head != "/character/bio/d/1/name/" && head != "/character/bio/d/2/name/") ||
        !path.endsWith("/bio.xml") || path.size() <= 32 || name.contains('/')) {
        return std::nullopt;
    }
    return name;
}

// The character a request line asks for: its name percent-decoded (UTF-8),
// without regard to case.
const chatd::Character* Requested(const QByteArray& line) {
    const std::optional<QByteArray> name = BiographyName(line);
    if (!name) {
        return nullptr;
    }
    const QString decoded = QUrl::fromPercentEncoding(*name);
    for (const chatd::Account& account : Characters().Accounts()) {
        for (const int32_t id : account.Characters) {
            const chatd::Character* character = Characters().FindCharacter(id);
            if (decoded.compare(character->Name, Qt::CaseInsensitive) == 0) {
                return character;
            }
        }
    }
    return nullptr;
}

// The document reads as XML, and the name encoded byte by byte in the other
// letter case finds it again.
void CheckFound(const HttpRequestReader& reader, const chatd::Character& character,
                const QByteArray& line, const HttpResponse& response) {
    check(response.Body == HttpRequestReader::BioDocument(character));
    QXmlStreamReader xml(response.Body);
    while (!xml.atEnd()) {
        xml.readNext();
    }
    check(!xml.hasError());

    QByteArray every;
    for (char c : character.Name.toUtf8()) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
            c ^= 0x20; // the other letter case
        }
        every += '%' + QByteArray(1, c).toHex().toUpper();
    }
    const QByteArray again = "GET " + line.mid(4, 24) + every + "/bio.xml HTTP/1.0\r\n\r\n";
    check(reader.Read(again) == response);
}

void CheckMeaning(const HttpRequestReader& reader, const QByteArray& arrived,
                  const HttpResponse& response) {
    const QByteArray looked = arrived.left(kLimit + 1);
    if (!looked.contains("\r\n\r\n") && !looked.contains("\n\n")) {
        check(response.Status == 400 && response.Body == "Request too large\n");
        return;
    }
    const QByteArray line = RequestLine(arrived);
    // Headers never count: the request line alone gets the same.
    check(reader.Answer(line) == response);
    const chatd::Character* character = Requested(line);
    check((response.Status == 200) == (character != nullptr));
    const QList<QByteArray> parts = line.split(' ');
    const bool wellFormed =
        parts.size() == 3 && parts[1].startsWith('/') && parts[2].startsWith("HTTP/1.");
    switch (response.Status) {
    case 200:
        CheckFound(reader, *character, line, response);
        break;
    case 400:
        check(!wellFormed && response.Body == "Bad Request\n");
        break;
    case 404:
        check(wellFormed && parts[0] == "GET");
        break;
    case 405:
        check(wellFormed && parts[0] != "GET");
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
