#pragma once

// The classes behind the XML interfaces, and what they share. Only the XML
// layer's own sources include this header.

#include "app/xml/XmlDoc.h"

#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

namespace xmlx {

// Owns one libxml2 document and every node removed from its tree: removed
// nodes are freed with the document, never while an interface may still
// point at them.
class DocHolder {
public:
    explicit DocHolder(xmlDocPtr doc) : doc_(doc) {}
    ~DocHolder();
    DocHolder(const DocHolder&) = delete;
    DocHolder& operator=(const DocHolder&) = delete;

    xmlDocPtr Doc() const { return doc_; }
    // Unlinks the node from its tree and keeps it until the document goes.
    void Park(xmlNodePtr node);
    // Parks every child of the node (elements, attributes, fragments).
    void ParkChildren(xmlNodePtr node);

private:
    xmlDocPtr doc_;
    std::vector<xmlNodePtr> orphans_;
};
using DocHolderPtr = std::shared_ptr<DocHolder>;

// Collects the errors libxml2 raises on this thread while it exists,
// instead of letting them reach the standard error stream. Scopes nest.
class ErrorCapture {
public:
    ErrorCapture();
    ~ErrorCapture();
    ErrorCapture(const ErrorCapture&) = delete;
    ErrorCapture& operator=(const ErrorCapture&) = delete;

    bool HasError() const { return has_; }
    // The first error (warnings only when no error came): its message
    // without the trailing line break, its line and its column.
    const QString& Reason() const { return reason_; }
    int Line() const { return line_; }
    int Column() const { return column_; }

#if LIBXML_VERSION >= 21200
    static void Receive(void* capture, const xmlError* error);
#else
    static void Receive(void* capture, xmlErrorPtr error);
#endif

private:
    xmlStructuredErrorFunc oldStructured_;
    void* oldStructuredContext_;
    xmlGenericErrorFunc oldGeneric_;
    void* oldGenericContext_;
    bool has_ = false;
    bool isError_ = false;
    QString reason_;
    int line_ = 0;
    int column_ = 0;
};

// Prepares libxml2 once per process; every entry into the layer calls it.
void EnsureParserReady();

inline QString FromXml(const xmlChar* text) {
    return text ? QString::fromUtf8(reinterpret_cast<const char*>(text)) : QString();
}
inline const xmlChar* AsXml(const QByteArray& utf8) {
    return reinterpret_cast<const xmlChar*>(utf8.constData());
}
// Takes a string libxml2 allocated, frees it and returns its text.
QString TakeXml(xmlChar* text);

// Raises "Cannot load XML document..." with the reason, line and position.
[[noreturn]] void ThrowLoadError(const QString& reason, int line, int position);
// Raises "DOMElement is NIL".
[[noreturn]] void ThrowNil();
// Raises unless the text is a valid XML name.
void CheckName(const QString& name);

// Parses a whole document without network access, external entities, DTD
// loading or entity substitution. Raises the load message on failure and for
// a document whose entity references expand out of proportion to its size.
DocHolderPtr ParseDocument(const QByteArray& data);

} // namespace xmlx

class TXmlNode : public IXMLNode {
public:
    // Raises "DOMElement is NIL" when node is null.
    TXmlNode(xmlx::DocHolderPtr holder, xmlNodePtr node);

    QString Name() const override;
    QString LocalName() const override;
    _xmlNode* Ref() const override { return node_; }
    IXMLNodePtr Parent() const override;
    QVariant Value() const override;
    void SetValue(const QVariant& value) override;
    QString XML() const override;
    IXMLNodePtr Attributes(int index) const override;
    int AttributesCount() const override;
    IXMLNodePtr Children(int index) const override;
    int ChildrenCount() const override;
    IXMLNodePtr Add(const QString& name) override;
    IXMLNodePtr AddAttribute(const QString& name, const QVariant& value) override;
    void Delete(int index) override;
    void Delete(const IXMLNodePtr& node) override;
    IXMLNodePtr GetNodeByName(const QString& xpath) const override;
    IXMLNodePtr GetAttributeByName(const QString& name) const override;
    IXMLNodeListPtr GetNodesByName(const QString& xpath) const override;
    IXMLNodePtr GetAttributeByNameValue(const QString& name, const QVariant& value) const override;

private:
    IXMLNodePtr Wrap(xmlNodePtr node) const;
    xmlNodePtr ChildAt(int index) const;
    xmlAttrPtr AttributeAt(int index) const;
    std::vector<xmlNodePtr> Select(const QString& xpath) const;
    void SetAttributeText(xmlAttrPtr attribute, const QString& text);

    xmlx::DocHolderPtr holder_;
    xmlNodePtr node_;
};

class TXmlNodeList : public IXMLNodeList {
public:
    TXmlNodeList(xmlx::DocHolderPtr holder, std::vector<xmlNodePtr> nodes)
        : holder_(std::move(holder)), nodes_(std::move(nodes)) {}

    IXMLNodePtr Nodes(int index) const override;
    int Count() const override { return static_cast<int>(nodes_.size()); }

private:
    xmlx::DocHolderPtr holder_;
    std::vector<xmlNodePtr> nodes_;
};

class TXmlDocument : public IXMLDocument {
public:
    IXMLNodePtr DocumentNode() const override;
    QString Encoding() const override;
    void New(const QString& rootName) override;
    void SaveToStream(QIODevice& stream) const override;
    void SaveToFile(const QString& fileName) const override;
    void LoadFromStream(QIODevice& stream) override;
    void LoadFromFile(const QString& fileName) override;

private:
    QByteArray Serialise() const;

    xmlx::DocHolderPtr holder_;
};
