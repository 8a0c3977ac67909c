#include "app/xml/XmlClasses.h"

#include "platform/core/Exception.h"
#include "platform/core/Format.h"

#include <QFile>
#include <QIODevice>
#include <QSaveFile>

#include <new>

IXMLDocumentPtr NewXMLDocument() {
    return std::make_shared<TXmlDocument>();
}

IXMLNodePtr TXmlDocument::DocumentNode() const {
    if (!holder_) {
        xmlx::ThrowNil();
    }
    return std::make_shared<TXmlNode>(holder_, xmlDocGetRootElement(holder_->Doc()));
}

QString TXmlDocument::Encoding() const {
    return QStringLiteral("UTF8");
}

void TXmlDocument::New(const QString& rootName) {
    xmlx::EnsureParserReady();
    xmlDocPtr doc = xmlNewDoc(reinterpret_cast<const xmlChar*>("1.0"));
    if (!doc) {
        // The message names the document class of the parser library we use.
        const plat::Exception cause(QStringLiteral("Out of memory"));
        throw plat::Exception(plat::Format("Error creating XML Document class\r\r%s: %s",
                                           cause.ClassName(), cause.Message()));
    }
    auto holder = std::make_shared<xmlx::DocHolder>(doc);
    if (!rootName.isEmpty()) {
        xmlx::CheckName(rootName);
        const QByteArray utf8 = rootName.toUtf8();
        xmlNodePtr root = xmlNewDocNode(doc, nullptr, xmlx::AsXml(utf8), nullptr);
        if (!root) {
            throw std::bad_alloc();
        }
        xmlDocSetRootElement(doc, root);
    }
    holder_ = std::move(holder);
}

QByteArray TXmlDocument::Serialise() const {
    if (!holder_) {
        xmlx::ThrowNil();
    }
    xmlx::ErrorCapture capture;
    xmlChar* text = nullptr;
    int size = 0;
    xmlDocDumpMemoryEnc(holder_->Doc(), &text, &size, "UTF-8");
    if (!text) {
        throw std::bad_alloc();
    }
    QByteArray out(reinterpret_cast<const char*>(text), size);
    xmlFree(text);
    return out;
}

void TXmlDocument::SaveToStream(QIODevice& stream) const {
    const QByteArray data = Serialise();
    if (stream.write(data) != data.size()) {
        throw plat::EWriteError(QStringLiteral("Stream write error"));
    }
}

void TXmlDocument::SaveToFile(const QString& fileName) const {
    const QByteArray data = Serialise();
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
        throw plat::EWriteError(
            plat::Format("Cannot save XML document to %s: %s", fileName, file.errorString()));
    }
}

void TXmlDocument::LoadFromStream(QIODevice& stream) {
    holder_ = xmlx::ParseDocument(stream.readAll());
}

void TXmlDocument::LoadFromFile(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        xmlx::ThrowLoadError(file.errorString(), 0, 0);
    }
    holder_ = xmlx::ParseDocument(file.readAll());
}
