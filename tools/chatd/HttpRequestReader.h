#pragma once

// What the web site makes of the bytes a connection has sent so far: nothing
// while the request's head may still be on its way, else the one answer the
// connection gets. Only the request line counts; headers are read past, a
// body or a second request after the head is never looked at.
//
//   GET /character/bio/d/{1|2}/name/{name}/bio.xml[?query] HTTP/1.x
//     200 with the character's biography document (the name percent-decoded,
//     matched without regard to case), 404 for an unknown character or any
//     other path;
//   another method: 405; a request line that is not "method /path HTTP/1.x":
//   400; no blank line within kMaxRequestBytes: 400 "Request too large".

#include <QByteArray>

#include <optional>

namespace chatd {

class Directory;
struct Character;

struct HttpResponse {
    int Status = 0;
    QByteArray ContentType;
    QByteArray Body;

    // The reason phrase of a status the site answers with ("OK", "Not Found").
    static const char* Reason(int status);
    // Status line, Content-Type, Content-Length and "Connection: close", then
    // the body.
    QByteArray Bytes() const;

    friend bool operator==(const HttpResponse&, const HttpResponse&) = default;
};

class HttpRequestReader {
public:
    // A request line and its headers hold at most this many bytes.
    static constexpr qsizetype kMaxRequestBytes = 8192;

    // Serves the characters of the directory, which must outlive the reader.
    explicit HttpRequestReader(const Directory& directory) : directory_(directory) {}

    // The answer to what arrived so far: the head ends at the first blank
    // line ("\r\n\r\n", else "\n\n") within the first kMaxRequestBytes + 1
    // bytes. Nothing while no blank line came and no more than
    // kMaxRequestBytes bytes did.
    std::optional<HttpResponse> Read(const QByteArray& arrived) const;

    // The answer to a complete head (without its blank line).
    HttpResponse Answer(const QByteArray& head) const;

    // The biography document of a character (UTF-8 XML).
    static QByteArray BioDocument(const Character& character);

private:
    const Directory& directory_;
};

} // namespace chatd
