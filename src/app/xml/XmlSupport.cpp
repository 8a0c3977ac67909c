#include "app/xml/XmlClasses.h"

#include "platform/core/Exception.h"
#include "platform/core/Format.h"

#include <libxml/parser.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <mutex>
#include <new>
#include <unordered_map>

namespace xmlx {

namespace {

void IgnoreGenericError(void* /*context*/, const char* /*message*/, ...) {}

// Entity references may expand to this many bytes of text in total, or to
// this many times the size of the document when that is more; a document
// beyond both is refused (a few declarations can otherwise expand to
// gigabytes when the text is read).
constexpr uint64_t kAllowedExpansion = 1000000;
constexpr uint64_t kMaxAmplification = 5;
// Nesting of entities within entities; libxml2 stops well before.
constexpr int kMaxEntityDepth = 64;

// Measures the text the entity references of a document expand to.
class ExpansionMeter {
public:
    ExpansionMeter(xmlDocPtr doc, uint64_t limit) : doc_(doc), limit_(limit) {}

    // Walks the tree; raises the load message when the limit is passed.
    void Check() { Walk(doc_->children); }

private:
    static constexpr uint64_t kInProgress = UINT64_MAX;

    void Walk(xmlNodePtr node) {
        for (; node; node = node->next) {
            if (node->type == XML_ENTITY_REF_NODE) {
                total_ += EntityLength(node, 0);
                if (total_ > limit_) {
                    ThrowLoadError(QStringLiteral("Maximum entity amplification factor exceeded"),
                                   static_cast<int>(xmlGetLineNo(node)), 0);
                }
            } else if (node->type == XML_ELEMENT_NODE) {
                for (xmlAttrPtr a = node->properties; a; a = a->next) {
                    Walk(a->children);
                }
                Walk(node->children);
            }
        }
    }

    // The length of the text an entity reference stands for.
    uint64_t EntityLength(xmlNodePtr reference, int depth) {
        xmlEntityPtr entity = nullptr;
        if (reference->children && reference->children->type == XML_ENTITY_DECL) {
            entity = reinterpret_cast<xmlEntityPtr>(reference->children);
        } else {
            entity = xmlGetDocEntity(doc_, reference->name);
        }
        if (!entity) {
            return 0;
        }
        const auto known = lengths_.find(entity);
        if (known != lengths_.end()) {
            return known->second == kInProgress ? limit_ + 1 : known->second;
        }
        if (depth > kMaxEntityDepth) {
            return limit_ + 1;
        }
        lengths_[entity] = kInProgress;
        const uint64_t length = TextLength(entity->children, depth + 1);
        lengths_[entity] = length;
        return length;
    }

    uint64_t TextLength(xmlNodePtr node, int depth) {
        uint64_t sum = 0;
        for (; node && sum <= limit_; node = node->next) {
            switch (node->type) {
            case XML_TEXT_NODE:
            case XML_CDATA_SECTION_NODE:
                sum += node->content ? xmlStrlen(node->content) : 0;
                break;
            case XML_ENTITY_REF_NODE:
                sum += EntityLength(node, depth);
                break;
            case XML_ELEMENT_NODE:
                for (xmlAttrPtr a = node->properties; a; a = a->next) {
                    sum += TextLength(a->children, depth);
                }
                sum += TextLength(node->children, depth);
                break;
            default:
                break;
            }
        }
        return sum;
    }

    xmlDocPtr doc_;
    uint64_t limit_;
    uint64_t total_ = 0;
    std::unordered_map<xmlEntityPtr, uint64_t> lengths_;
};

} // namespace

DocHolder::~DocHolder() {
    // Removed nodes first: they may use the document's dictionary and ids.
    for (xmlNodePtr node : orphans_) {
        xmlFreeNode(node);
    }
    xmlFreeDoc(doc_);
}

void DocHolder::Park(xmlNodePtr node) {
    orphans_.reserve(orphans_.size() + 1);
    xmlUnlinkNode(node);
    orphans_.push_back(node);
}

void DocHolder::ParkChildren(xmlNodePtr node) {
    xmlNodePtr child = node->children;
    while (child) {
        xmlNodePtr next = child->next;
        Park(child);
        child = next;
    }
}

ErrorCapture::ErrorCapture()
    : oldStructured_(xmlStructuredError), oldStructuredContext_(xmlStructuredErrorContext),
      oldGeneric_(xmlGenericError), oldGenericContext_(xmlGenericErrorContext) {
    xmlSetStructuredErrorFunc(this, &ErrorCapture::Receive);
    xmlSetGenericErrorFunc(nullptr, &IgnoreGenericError);
}

ErrorCapture::~ErrorCapture() {
    xmlSetStructuredErrorFunc(oldStructuredContext_, oldStructured_);
    xmlSetGenericErrorFunc(oldGenericContext_, oldGeneric_);
}

#if LIBXML_VERSION >= 21200
void ErrorCapture::Receive(void* capture, const xmlError* error) {
#else
void ErrorCapture::Receive(void* capture, xmlErrorPtr error) {
#endif
    auto* self = static_cast<ErrorCapture*>(capture);
    if (!self || !error) {
        return;
    }
    const bool isError = error->level >= XML_ERR_ERROR;
    if (self->has_ && (self->isError_ || !isError)) {
        return; // the first error wins; a warning only until an error comes
    }
    self->has_ = true;
    self->isError_ = isError;
    self->reason_ = QString::fromUtf8(error->message ? error->message : "").trimmed();
    self->line_ = error->line;
    self->column_ = error->int2;
}

void EnsureParserReady() {
    static std::once_flag once;
    std::call_once(once, [] { xmlInitParser(); });
}

QString TakeXml(xmlChar* text) {
    QString out = FromXml(text);
    xmlFree(text);
    return out;
}

void ThrowLoadError(const QString& reason, int line, int position) {
    throw plat::Exception(plat::Format(
        "Cannot load XML document.\rReason: %s\rLine: %d\rPosition: %d", reason, line, position));
}

void ThrowNil() {
    throw plat::Exception(QStringLiteral("DOMElement is NIL"));
}

void CheckName(const QString& name) {
    const QByteArray utf8 = name.toUtf8();
    if (name.isEmpty() || xmlValidateName(AsXml(utf8), 0) != 0) {
        throw plat::Exception(plat::Format("'%s' is not a valid XML name", name));
    }
}

DocHolderPtr ParseDocument(const QByteArray& data) {
    EnsureParserReady();
    if (data.size() > INT_MAX) {
        ThrowLoadError(QStringLiteral("Document too large"), 0, 0);
    }
    ErrorCapture capture;
    xmlParserCtxtPtr context = xmlNewParserCtxt();
    if (!context) {
        throw std::bad_alloc();
    }
    // No XML_PARSE_NOENT (entities stay references), no XML_PARSE_DTDLOAD
    // (external subsets are not read), no XML_PARSE_HUGE (libxml2's own
    // limits hold); XML_PARSE_NONET refuses every network address.
    xmlDocPtr doc = xmlCtxtReadMemory(context, data.constData(), static_cast<int>(data.size()),
                                      nullptr, nullptr, XML_PARSE_NONET | XML_PARSE_NOBLANKS);
    xmlFreeParserCtxt(context);
    if (!doc) {
        if (capture.HasError()) {
            ThrowLoadError(capture.Reason(), capture.Line(), capture.Column());
        }
        ThrowLoadError(QStringLiteral("The document could not be read"), 0, 0);
    }
    auto holder = std::make_shared<DocHolder>(doc);
    const uint64_t size = static_cast<uint64_t>(data.size());
    ExpansionMeter(doc, std::max(kAllowedExpansion, size * kMaxAmplification)).Check();
    return holder;
}

} // namespace xmlx
