// Arbitrary bytes as a biography document: the XML document model reads
// them, the whois lookup takes its fields from them, and the document model
// is walked, queried, written and read back.
//
// Checked on every input:
// - a document that cannot be used fails with the document model's own
//   exception, and the lookup then reports no success;
// - the organisation address stays one path segment below the site;
// - every node the walk reaches answers its questions, and a document once
//   written reads back to the same text.
#include "app/whois/VLWhoisThread.h"
#include "app/xml/XmlDoc.h"
#include "platform/core/Exception.h"

#include <QBuffer>
#include <QCoreApplication>

#include <cstdint>

#include "FuzzCheck.h" // last: Qt's headers use the name check

namespace {

constexpr int kMaxNodes = 200;

// Visits up to kMaxNodes nodes (each element's text is the text of all
// below it, so a larger walk grows with the square of the document).
void walk(const IXMLNodePtr& node, int& budget) {
    if (--budget < 0) {
        return;
    }
    volatile qsizetype sink = node->Name().size() + node->LocalName().size();
    sink = sink + node->Value().toString().size();
    for (int i = 0; i < node->AttributesCount(); ++i) {
        const IXMLNodePtr attribute = node->Attributes(i);
        check(node->GetAttributeByName(attribute->Name()) != nullptr);
        check(node->GetAttributeByNameValue(attribute->Name(), attribute->Value()) != nullptr);
    }
    for (int i = 0; i < node->ChildrenCount() && budget > 0; ++i) {
        const IXMLNodePtr child = node->Children(i);
        check(child->Parent() != nullptr);
        walk(child, budget);
    }
}

QByteArray written(const IXMLDocumentPtr& doc) {
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    doc->SaveToStream(out);
    return out.data();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    TVLWhoisThread lookup;
    lookup.SetCharName(QStringLiteral("Bob"));
    lookup.SetDimensionID(1);
    lookup.SetSite(QStringLiteral("http://site.example"));
    try {
        lookup.ParseBio(bytes);
        check(lookup.Success());
    } catch (const plat::Exception&) {
        check(!lookup.Success());
    }
    if (!lookup.OrgURL().isEmpty()) {
        const QString head = QStringLiteral("http://site.example/org/stats/d/1/name/");
        check(lookup.OrgURL().startsWith(head));
        const QString segment = lookup.OrgURL().mid(head.size());
        check(!segment.contains(u'/') && !segment.contains(u'?') && !segment.contains(u'#') &&
              segment != u"." && segment != u"..");
    }

    const IXMLDocumentPtr doc = NewXMLDocument();
    doc->New(QString());
    QByteArray input = bytes;
    QBuffer stream(&input);
    stream.open(QIODevice::ReadOnly);
    try {
        doc->LoadFromStream(stream);
    } catch (const plat::Exception&) {
        return 0;
    }
    try {
        const IXMLNodePtr root = doc->DocumentNode();
        int budget = kMaxNodes;
        walk(root, budget);
        for (const char* xpath : {"*", "//*", "@*", "text()", "basic_stats/level", ".."}) {
            if (const IXMLNodeListPtr nodes = root->GetNodesByName(QString::fromLatin1(xpath))) {
                check(nodes->Count() > 0);
                check(nodes->Nodes(0) != nullptr);
            }
        }
    } catch (const plat::Exception&) {
        // A document without a root element.
    }
    const QByteArray once = written(doc);
    QByteArray copy = once;
    QBuffer again(&copy);
    again.open(QIODevice::ReadOnly);
    const IXMLDocumentPtr reread = NewXMLDocument();
    reread->LoadFromStream(again);
    check(written(reread) == once);
    return 0;
}
