#pragma once

// A small XML document model: nodes, node lists and documents behind
// reference-counted interfaces, on libxml2.
//
// Every node and node list keeps its document alive. Nodes removed from the
// tree (Delete, replaced text) stay allocated until the document goes, so an
// interface held by a caller never dangles.
//
// Parsing never touches the network, never reads external entities or DTDs
// and refuses documents whose internal entities would expand out of
// proportion to their size. Parser messages never reach the standard error
// stream; a failed load raises "Cannot load XML document..." with the reason,
// line and position.

#include <QString>
#include <QVariant>

#include <memory>

class QIODevice;
struct _xmlNode;

class IXMLNode;
class IXMLNodeList;
class IXMLDocument;
using IXMLNodePtr = std::shared_ptr<IXMLNode>;
using IXMLNodeListPtr = std::shared_ptr<IXMLNodeList>;
using IXMLDocumentPtr = std::shared_ptr<IXMLDocument>;

class IXMLNode {
public:
    virtual ~IXMLNode() = default;

    // The qualified name; "#text", "#comment", "#cdata-section", "#document"
    // for the nodes without a name.
    virtual QString Name() const = 0;
    // The name without namespace prefix; empty for nodes without a name.
    virtual QString LocalName() const = 0;
    // The underlying libxml2 node, valid while this document lives.
    virtual _xmlNode* Ref() const = 0;
    // The parent node (the document node for the root element); nil for the
    // document, for attributes and for removed nodes.
    virtual IXMLNodePtr Parent() const = 0;
    // The node's text: for an element the text of all its descendants.
    virtual QVariant Value() const = 0;
    // Replaces the node's content with the value's text, stored literally.
    virtual void SetValue(const QVariant& value) = 0;
    // The node serialised.
    virtual QString XML() const = 0;
    // Index operations raise "DOMElement is NIL" for an index out of range.
    virtual IXMLNodePtr Attributes(int index) const = 0;
    virtual int AttributesCount() const = 0;
    virtual IXMLNodePtr Children(int index) const = 0;
    virtual int ChildrenCount() const = 0;
    // Appends a new element of that name as the last child and returns it.
    virtual IXMLNodePtr Add(const QString& name) = 0;
    // Sets an attribute (replacing one of the same name) and returns it.
    virtual IXMLNodePtr AddAttribute(const QString& name, const QVariant& value) = 0;
    virtual void Delete(int index) = 0;
    virtual void Delete(const IXMLNodePtr& node) = 0;
    // The first node the XPath expression selects relative to this node, nil
    // when none. A plain element name selects a direct child element.
    virtual IXMLNodePtr GetNodeByName(const QString& xpath) const = 0;
    // The attribute of that qualified name, nil when absent.
    virtual IXMLNodePtr GetAttributeByName(const QString& name) const = 0;
    // All nodes the expression selects, in document order; nil when none.
    virtual IXMLNodeListPtr GetNodesByName(const QString& xpath) const = 0;
    // The first attribute with that name and that value (compared as text);
    // nil when none.
    virtual IXMLNodePtr GetAttributeByNameValue(const QString& name,
                                                const QVariant& value) const = 0;
};

class IXMLNodeList {
public:
    virtual ~IXMLNodeList() = default;

    // Raises "DOMElement is NIL" for an index out of range.
    virtual IXMLNodePtr Nodes(int index) const = 0;
    virtual int Count() const = 0;
};

class IXMLDocument {
public:
    virtual ~IXMLDocument() = default;

    // The root element; raises "DOMElement is NIL" when there is none.
    virtual IXMLNodePtr DocumentNode() const = 0;
    // Always "UTF8".
    virtual QString Encoding() const = 0;
    // Starts an empty document; with a root name, an element of that name
    // becomes the root element.
    virtual void New(const QString& rootName) = 0;
    // Writes the document as UTF-8.
    virtual void SaveToStream(QIODevice& stream) const = 0;
    virtual void SaveToFile(const QString& fileName) const = 0;
    // Replaces the document with the one read from the stream's current
    // position to its end.
    virtual void LoadFromStream(QIODevice& stream) = 0;
    virtual void LoadFromFile(const QString& fileName) = 0;
};

// A new document object; call New (or one of the loads) first.
IXMLDocumentPtr NewXMLDocument();
