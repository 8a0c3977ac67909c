#include "chatd/HttpRequestReader.h"

#include "chatd/Directory.h"
#include "platform/core/Format.h"

#include <QList>
#include <QRegularExpression>
#include <QUrl>
#include <QXmlStreamWriter>

namespace chatd {

namespace {

// XML 1.0 has no place for most control characters; they are dropped.
QString XmlText(const QString& value) {
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c.isHighSurrogate() && i + 1 < value.size() && value[i + 1].isLowSurrogate()) {
            out.append(c).append(value[++i]);
        } else if (c.isSurrogate() ||
                   (c.unicode() < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') ||
                   c.unicode() == 0xFFFE || c.unicode() == 0xFFFF) {
            continue;
        } else {
            out.append(c);
        }
    }
    return out;
}

// Writes an element only when it has a value: the client reads a present
// element even when empty, and an empty first name would replace the name.
void Element(QXmlStreamWriter& xml, const char* name, const QString& value) {
    if (!value.isEmpty()) {
        xml.writeTextElement(QLatin1String(name), XmlText(value));
    }
}

HttpResponse Text(int status, const QByteArray& body) {
    return {status, "text/plain", body};
}

} // namespace

const char* HttpResponse::Reason(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 400:
        return "Bad Request";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 408:
        return "Request Timeout";
    default:
        return "Error";
    }
}

QByteArray HttpResponse::Bytes() const {
    QByteArray head = plat::Format("HTTP/1.1 %d %s\r\n", Status, Reason(Status)).toLatin1();
    head += "Content-Type: " + ContentType + "\r\n";
    head += "Content-Length: " + QByteArray::number(Body.size()) + "\r\n";
    head += "Connection: close\r\n\r\n";
    return head + Body;
}

std::optional<HttpResponse> HttpRequestReader::Read(const QByteArray& arrived) const {
    const QByteArray buffered = arrived.left(kMaxRequestBytes + 1);
    qsizetype end = buffered.indexOf("\r\n\r\n");
    if (end < 0) {
        end = buffered.indexOf("\n\n");
    }
    if (end < 0) {
        if (buffered.size() > kMaxRequestBytes) {
            return Text(400, "Request too large\n");
        }
        return std::nullopt; // the rest may still come
    }
    return Answer(buffered.left(end));
}

HttpResponse HttpRequestReader::Answer(const QByteArray& head) const {
    const qsizetype lineEnd = head.indexOf('\n');
    const QByteArray line = (lineEnd < 0 ? head : head.left(lineEnd)).trimmed();
    const QList<QByteArray> parts = line.split(' ');
    if (parts.size() != 3 || !parts[2].startsWith("HTTP/1.") || !parts[1].startsWith('/')) {
        return Text(400, "Bad Request\n");
    }
    if (parts[0] != "GET") {
        return Text(405, "Method Not Allowed\n");
    }
    QByteArray path = parts[1];
    const qsizetype query = path.indexOf('?');
    if (query >= 0) {
        path.truncate(query);
    }
    static const QRegularExpression bio(
        QStringLiteral("^/character/bio/d/([12])/name/([^/]+)/bio\\.xml$"));
    const QRegularExpressionMatch match = bio.match(QString::fromLatin1(path));
    if (match.hasMatch()) {
        const QString name = QUrl::fromPercentEncoding(match.captured(2).toLatin1());
        if (const Character* character = directory_.FindCharacterByName(name)) {
            return {200, "text/xml; charset=utf-8", BioDocument(*character)};
        }
    }
    return Text(404, "Not Found\n");
}

QByteArray HttpRequestReader::BioDocument(const Character& character) {
    const Biography& bio = character.Bio;
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("character"));
    if (!bio.FirstName.isEmpty() || !bio.Nick.isEmpty() || !bio.LastName.isEmpty()) {
        xml.writeStartElement(QStringLiteral("name"));
        Element(xml, "firstname", bio.FirstName);
        Element(xml, "nick", bio.Nick);
        Element(xml, "lastname", bio.LastName);
        xml.writeEndElement();
    }
    xml.writeStartElement(QStringLiteral("basic_stats"));
    xml.writeTextElement(QStringLiteral("level"), QString::number(character.Level));
    Element(xml, "breed", bio.Breed);
    Element(xml, "gender", bio.Gender);
    Element(xml, "faction", bio.Faction);
    Element(xml, "profession", bio.Profession);
    Element(xml, "profession_title", bio.ProfessionTitle);
    xml.writeEndElement();
    Element(xml, "pictureurl", bio.PictureUrl);
    if (!bio.OrganizationId.isEmpty() || !bio.OrganizationName.isEmpty()) {
        xml.writeStartElement(QStringLiteral("organization_membership"));
        Element(xml, "organization_id", bio.OrganizationId);
        Element(xml, "organization_name", bio.OrganizationName);
        Element(xml, "rank", bio.Rank);
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return out;
}

} // namespace chatd
