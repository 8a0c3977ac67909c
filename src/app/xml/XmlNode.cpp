#include "app/xml/XmlClasses.h"

#include "platform/core/Exception.h"
#include "platform/core/Format.h"

#include <libxml/valid.h>
#include <libxml/xpath.h>

#include <new>

using xmlx::AsXml;
using xmlx::FromXml;
using xmlx::TakeXml;

namespace {

QString QualifiedName(xmlNsPtr ns, const xmlChar* name) {
    if (ns && ns->prefix) {
        return FromXml(ns->prefix) + u':' + FromXml(name);
    }
    return FromXml(name);
}

QString QualifiedName(xmlAttrPtr attribute) {
    return QualifiedName(attribute->ns, attribute->name);
}

// The child nodes shown to callers. Entity references and DTD contents are
// shown without children: what lies below them are declarations, which are
// not nodes of the tree.
bool ShowsChildren(xmlNodePtr node) {
    switch (node->type) {
    case XML_ELEMENT_NODE:
    case XML_ATTRIBUTE_NODE:
    case XML_DOCUMENT_NODE:
    case XML_HTML_DOCUMENT_NODE:
    case XML_DOCUMENT_FRAG_NODE:
        return true;
    default:
        return false;
    }
}

xmlNodePtr FirstChild(xmlNodePtr node) {
    return ShowsChildren(node) ? node->children : nullptr;
}

// The node kinds an XPath result may hand out (namespace nodes and
// declarations are not tree nodes).
bool IsTreeNode(xmlNodePtr node) {
    switch (node->type) {
    case XML_ELEMENT_NODE:
    case XML_ATTRIBUTE_NODE:
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
    case XML_ENTITY_REF_NODE:
    case XML_PI_NODE:
    case XML_COMMENT_NODE:
    case XML_DOCUMENT_NODE:
    case XML_HTML_DOCUMENT_NODE:
    case XML_DOCUMENT_FRAG_NODE:
    case XML_DTD_NODE:
        return true;
    default:
        return false;
    }
}

xmlAttrPtr FindAttribute(xmlNodePtr element, const QString& name) {
    if (element->type != XML_ELEMENT_NODE) {
        return nullptr;
    }
    for (xmlAttrPtr a = element->properties; a; a = a->next) {
        if (QualifiedName(a) == name) {
            return a;
        }
    }
    return nullptr;
}

QString AttributeValue(xmlAttrPtr attribute) {
    return TakeXml(xmlNodeGetContent(reinterpret_cast<xmlNodePtr>(attribute)));
}

struct XPathContextFree {
    void operator()(xmlXPathContextPtr context) const { xmlXPathFreeContext(context); }
};
struct XPathObjectFree {
    void operator()(xmlXPathObjectPtr object) const { xmlXPathFreeObject(object); }
};

} // namespace

TXmlNode::TXmlNode(xmlx::DocHolderPtr holder, xmlNodePtr node)
    : holder_(std::move(holder)), node_(node) {
    if (!node_ || !holder_) {
        xmlx::ThrowNil();
    }
}

IXMLNodePtr TXmlNode::Wrap(xmlNodePtr node) const {
    return std::make_shared<TXmlNode>(holder_, node);
}

QString TXmlNode::Name() const {
    switch (node_->type) {
    case XML_ELEMENT_NODE:
        return QualifiedName(node_->ns, node_->name);
    case XML_ATTRIBUTE_NODE:
        return QualifiedName(reinterpret_cast<xmlAttrPtr>(node_));
    case XML_TEXT_NODE:
        return QStringLiteral("#text");
    case XML_CDATA_SECTION_NODE:
        return QStringLiteral("#cdata-section");
    case XML_COMMENT_NODE:
        return QStringLiteral("#comment");
    case XML_DOCUMENT_NODE:
    case XML_HTML_DOCUMENT_NODE:
        return QStringLiteral("#document");
    case XML_DOCUMENT_FRAG_NODE:
        return QStringLiteral("#document-fragment");
    default:
        return FromXml(node_->name);
    }
}

QString TXmlNode::LocalName() const {
    switch (node_->type) {
    case XML_ELEMENT_NODE:
    case XML_ATTRIBUTE_NODE:
    case XML_PI_NODE:
    case XML_ENTITY_REF_NODE:
        return FromXml(node_->name);
    default:
        return QString();
    }
}

IXMLNodePtr TXmlNode::Parent() const {
    switch (node_->type) {
    case XML_ATTRIBUTE_NODE: // libxml2 keeps the owner element there
    case XML_DOCUMENT_NODE:
    case XML_HTML_DOCUMENT_NODE:
        return nullptr;
    default:
        return node_->parent ? Wrap(node_->parent) : nullptr;
    }
}

QVariant TXmlNode::Value() const {
    QString text = TakeXml(xmlNodeGetContent(node_));
    if (text.isNull()) {
        text = QLatin1String("");
    }
    return QVariant(text);
}

void TXmlNode::SetValue(const QVariant& value) {
    const QString text = value.toString();
    const QByteArray utf8 = text.toUtf8();
    switch (node_->type) {
    case XML_ELEMENT_NODE:
    case XML_DOCUMENT_FRAG_NODE:
        // A new text node holds the text literally (no entity references).
        holder_->ParkChildren(node_);
        if (!text.isEmpty()) {
            xmlAddChild(node_, xmlNewDocText(holder_->Doc(), AsXml(utf8)));
        }
        break;
    case XML_ATTRIBUTE_NODE:
        SetAttributeText(reinterpret_cast<xmlAttrPtr>(node_), text);
        break;
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
    case XML_COMMENT_NODE:
    case XML_PI_NODE:
        xmlNodeSetContent(node_, AsXml(utf8)); // stored as it stands for these kinds
        break;
    default:
        throw plat::Exception(plat::Format("The value of a %s node cannot be set", Name()));
    }
}

void TXmlNode::SetAttributeText(xmlAttrPtr attribute, const QString& text) {
    xmlx::ErrorCapture capture; // a duplicate id is reported, not printed
    const xmlDocPtr doc = holder_->Doc();
    const QByteArray utf8 = text.toUtf8();
    if (attribute->atype == XML_ATTRIBUTE_ID) {
        xmlRemoveID(doc, attribute);
    }
    holder_->ParkChildren(reinterpret_cast<xmlNodePtr>(attribute));
    if (!text.isEmpty()) {
        xmlNodePtr textNode = xmlNewDocText(doc, AsXml(utf8));
        if (!textNode) {
            throw std::bad_alloc();
        }
        textNode->parent = reinterpret_cast<xmlNodePtr>(attribute);
        attribute->children = textNode;
        attribute->last = textNode;
    }
    if (attribute->parent && xmlIsID(doc, attribute->parent, attribute) == 1) {
        xmlAddID(nullptr, doc, AsXml(utf8), attribute);
    }
}

QString TXmlNode::XML() const {
    xmlx::ErrorCapture capture;
    if (node_->type == XML_DOCUMENT_NODE || node_->type == XML_HTML_DOCUMENT_NODE) {
        xmlChar* text = nullptr;
        int size = 0;
        xmlDocDumpMemoryEnc(holder_->Doc(), &text, &size, "UTF-8");
        return TakeXml(text);
    }
    xmlBufferPtr buffer = xmlBufferCreate();
    if (!buffer) {
        throw std::bad_alloc();
    }
    xmlNodeDump(buffer, holder_->Doc(), node_, 0, 0);
    QString out = FromXml(xmlBufferContent(buffer));
    xmlBufferFree(buffer);
    if (node_->type == XML_ATTRIBUTE_NODE && out.startsWith(u' ')) {
        out.remove(0, 1); // libxml2 writes the separating blank
    }
    return out;
}

xmlAttrPtr TXmlNode::AttributeAt(int index) const {
    if (node_->type != XML_ELEMENT_NODE || index < 0) {
        return nullptr;
    }
    xmlAttrPtr a = node_->properties;
    for (; a && index > 0; a = a->next) {
        --index;
    }
    return a;
}

IXMLNodePtr TXmlNode::Attributes(int index) const {
    return Wrap(reinterpret_cast<xmlNodePtr>(AttributeAt(index)));
}

int TXmlNode::AttributesCount() const {
    int count = 0;
    if (node_->type == XML_ELEMENT_NODE) {
        for (xmlAttrPtr a = node_->properties; a; a = a->next) {
            ++count;
        }
    }
    return count;
}

xmlNodePtr TXmlNode::ChildAt(int index) const {
    if (index < 0) {
        return nullptr;
    }
    xmlNodePtr c = FirstChild(node_);
    for (; c && index > 0; c = c->next) {
        --index;
    }
    return c;
}

IXMLNodePtr TXmlNode::Children(int index) const {
    return Wrap(ChildAt(index));
}

int TXmlNode::ChildrenCount() const {
    int count = 0;
    for (xmlNodePtr c = FirstChild(node_); c; c = c->next) {
        ++count;
    }
    return count;
}

IXMLNodePtr TXmlNode::Add(const QString& name) {
    const bool asRoot = node_->type == XML_DOCUMENT_NODE;
    if (!(node_->type == XML_ELEMENT_NODE || node_->type == XML_DOCUMENT_FRAG_NODE ||
          (asRoot && !xmlDocGetRootElement(holder_->Doc())))) {
        throw plat::Exception(plat::Format("An element cannot be added to this %s node", Name()));
    }
    xmlx::CheckName(name);
    const QByteArray utf8 = name.toUtf8();
    xmlNodePtr element = xmlNewDocNode(holder_->Doc(), nullptr, AsXml(utf8), nullptr);
    if (!element) {
        throw std::bad_alloc();
    }
    if (asRoot) {
        xmlDocSetRootElement(holder_->Doc(), element);
    } else {
        xmlAddChild(node_, element);
    }
    return Wrap(element);
}

IXMLNodePtr TXmlNode::AddAttribute(const QString& name, const QVariant& value) {
    if (node_->type != XML_ELEMENT_NODE) {
        throw plat::Exception(plat::Format("An attribute cannot be added to this %s node", Name()));
    }
    xmlx::CheckName(name);
    xmlAttrPtr attribute = FindAttribute(node_, name);
    if (!attribute) {
        const QByteArray utf8 = name.toUtf8();
        attribute = xmlNewProp(node_, AsXml(utf8), nullptr);
        if (!attribute) {
            throw std::bad_alloc();
        }
    }
    SetAttributeText(attribute, value.toString());
    return Wrap(reinterpret_cast<xmlNodePtr>(attribute));
}

void TXmlNode::Delete(int index) {
    xmlNodePtr child = ChildAt(index);
    if (!child) {
        xmlx::ThrowNil();
    }
    holder_->Park(child);
}

void TXmlNode::Delete(const IXMLNodePtr& node) {
    if (!node) {
        xmlx::ThrowNil();
    }
    xmlNodePtr child = node->Ref();
    if (child->type == XML_ATTRIBUTE_NODE || child->parent != node_ || !ShowsChildren(node_)) {
        throw plat::Exception(
            plat::Format("The %s node is not a child of this %s node", node->Name(), Name()));
    }
    holder_->Park(child);
}

std::vector<xmlNodePtr> TXmlNode::Select(const QString& xpath) const {
    xmlx::EnsureParserReady();
    xmlx::ErrorCapture capture;
    std::unique_ptr<xmlXPathContext, XPathContextFree> context(xmlXPathNewContext(holder_->Doc()));
    if (!context) {
        throw std::bad_alloc();
    }
    context->node = node_; // the expression is relative to this node
    const QByteArray expression = xpath.toUtf8();
    std::unique_ptr<xmlXPathObject, XPathObjectFree> result(
        xmlXPathEvalExpression(AsXml(expression), context.get()));
    if (!result) {
        throw plat::Exception(
            plat::Format("Invalid XPath expression '%s': %s", xpath,
                         capture.HasError() ? capture.Reason() : QStringLiteral("no result")));
    }
    std::vector<xmlNodePtr> nodes;
    if (result->type == XPATH_NODESET && result->nodesetval) {
        const xmlNodeSetPtr set = result->nodesetval;
        nodes.reserve(static_cast<size_t>(set->nodeNr));
        for (int i = 0; i < set->nodeNr; ++i) {
            if (set->nodeTab[i] && IsTreeNode(set->nodeTab[i])) {
                nodes.push_back(set->nodeTab[i]);
            }
        }
    }
    return nodes;
}

IXMLNodePtr TXmlNode::GetNodeByName(const QString& xpath) const {
    const std::vector<xmlNodePtr> nodes = Select(xpath);
    return nodes.empty() ? nullptr : Wrap(nodes.front());
}

IXMLNodeListPtr TXmlNode::GetNodesByName(const QString& xpath) const {
    std::vector<xmlNodePtr> nodes = Select(xpath);
    if (nodes.empty()) {
        return nullptr;
    }
    return std::make_shared<TXmlNodeList>(holder_, std::move(nodes));
}

IXMLNodePtr TXmlNode::GetAttributeByName(const QString& name) const {
    xmlAttrPtr attribute = FindAttribute(node_, name);
    return attribute ? Wrap(reinterpret_cast<xmlNodePtr>(attribute)) : nullptr;
}

IXMLNodePtr TXmlNode::GetAttributeByNameValue(const QString& name, const QVariant& value) const {
    if (node_->type != XML_ELEMENT_NODE) {
        return nullptr;
    }
    const QString wanted = value.toString();
    for (xmlAttrPtr a = node_->properties; a; a = a->next) {
        if (QualifiedName(a) == name && AttributeValue(a) == wanted) {
            return Wrap(reinterpret_cast<xmlNodePtr>(a));
        }
    }
    return nullptr;
}

IXMLNodePtr TXmlNodeList::Nodes(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= nodes_.size()) {
        xmlx::ThrowNil();
    }
    return std::make_shared<TXmlNode>(holder_, nodes_[static_cast<size_t>(index)]);
}
