#include "GoldenRows.h"
#include "Raises.h"

#include "app/xml/XmlDoc.h"

#include "platform/core/Exception.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QHostAddress>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <functional>

namespace {

const QString kNil = QStringLiteral("DOMElement is NIL");

IXMLDocumentPtr load(const QByteArray& xml) {
    QByteArray data = xml;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    IXMLDocumentPtr doc = NewXMLDocument();
    doc->LoadFromStream(buffer);
    return doc;
}

const QString kNone = QStringLiteral("<no exception>");

QString text(const IXMLNodePtr& node) {
    return node->Value().toString();
}

} // namespace

TEST(XmlDocTest, NodesReportNamesParentsTextAndAttributes) {
    const IXMLDocumentPtr doc = load("<a x='1' p:y='2' xmlns:p='urn:p' y2='2'>\n  "
                                     "<b>x</b><b>y<i>z</i></b><!--c--><p:c/><![CDATA[<d>]]>\n</a>");
    const IXMLNodePtr a = doc->DocumentNode();
    EXPECT_EQ(a->Name(), "a");
    EXPECT_EQ(a->ChildrenCount(), 5);   // layout whitespace is not a node
    EXPECT_EQ(a->AttributesCount(), 3); // namespace declarations are not attributes here
    EXPECT_EQ(text(a), "xyz<d>");       // the text of all descendants
    const IXMLNodePtr pc = a->Children(3);
    EXPECT_EQ(pc->Name() + "/" + pc->LocalName(), "p:c/c");
    const IXMLNodePtr py = a->Attributes(1);
    EXPECT_EQ(py->Name() + "/" + py->LocalName() + "=" + text(py), "p:y/y=2");
    EXPECT_EQ(a->Children(2)->Name() + a->Children(4)->Name(), "#comment#cdata-section");

    const IXMLNodePtr z = a->Children(1)->Children(1)->Children(0);
    EXPECT_EQ(z->Name() + "/" + z->LocalName() + "=" + text(z), "#text/=z");
    // Up the tree: text, i, b, a, the document, then nothing.
    const IXMLNodePtr document = z->Parent()->Parent()->Parent()->Parent();
    EXPECT_EQ(document->Name(), "#document");
    EXPECT_EQ(document->Parent(), nullptr);
    EXPECT_EQ(document->Children(0)->Ref(), a->Ref());
    EXPECT_EQ(py->Parent(), nullptr); // attributes have no parent
    // The same node reached twice is the same underlying node.
    EXPECT_EQ(a->Children(0)->Ref(), a->GetNodeByName("b")->Ref());

    // Attributes by name (case-sensitive) and by name and value (as text).
    EXPECT_EQ(text(a->GetAttributeByName("x")), "1");
    EXPECT_EQ(a->GetAttributeByName("X"), nullptr);
    EXPECT_EQ(a->GetAttributeByNameValue("x", 1)->Name(), "x");
    EXPECT_EQ(a->GetAttributeByNameValue("y2", "2")->Ref(), a->Attributes(2)->Ref());
    EXPECT_EQ(a->GetAttributeByNameValue("x", "2"), nullptr);
    EXPECT_EQ(a->GetAttributeByNameValue("z", "1"), nullptr);
}

TEST(XmlDocTest, WhatIsNotThereRaisesNil) {
    const IXMLDocumentPtr doc = load("<a x='1'><b>x</b><b>y</b></a>");
    const IXMLNodePtr a = doc->DocumentNode();
    const IXMLNodeListPtr list = a->GetNodesByName("b");
    ASSERT_NE(list, nullptr);
    const IXMLDocumentPtr empty = NewXMLDocument();
    const std::function<void()> calls[] = {
        [&] { a->Children(2); },
        [&] { a->Children(-1); },
        [&] { a->Attributes(1); },
        [&] { a->Children(0)->Children(0)->Attributes(0); },
        [&] { a->Delete(5); },
        [&] { a->Delete(IXMLNodePtr()); },
        [&] { list->Nodes(2); },
        [&] { list->Nodes(-1); },
        [&] { empty->DocumentNode(); }, // before New
        [&] {
            empty->New("");
            empty->DocumentNode();
        },
    };
    for (const auto& call : calls) {
        EXPECT_EQ(MessageOf(call), kNil);
    }
    EXPECT_EQ(a->ChildrenCount(), 2); // the failed deletes removed nothing

    EXPECT_EQ(empty->Encoding(), "UTF8");
    empty->New("root");
    EXPECT_EQ(empty->DocumentNode()->Name(), "root");
    EXPECT_EQ(empty->DocumentNode()->ChildrenCount(), 0);
    EXPECT_EQ(MessageOf([&] { empty->New("no good"); }), "'no good' is not a valid XML name");
    EXPECT_EQ(empty->DocumentNode()->Name(), "root"); // a failed New changes nothing
}

TEST(XmlDocTest, XPathSelectsRelativeToTheNode) {
    const IXMLDocumentPtr doc = load("<a><b>1</b><d k='v'><b>2</b><b>3</b></d><b>4</b></a>");
    const IXMLNodePtr a = doc->DocumentNode();
    const IXMLNodePtr d = a->GetNodeByName("d");
    ASSERT_NE(d, nullptr);
    for (const auto& row : GoldenRows("xml/xpath.txt", 3)) {
        SCOPED_TRACE(row[1].data());
        const IXMLNodePtr& node = row[0] == "a" ? a : d;
        // Nothing selected: nil, not an empty list, and no error.
        const IXMLNodeListPtr list = node->GetNodesByName(QString::fromLatin1(row[1]));
        EXPECT_EQ(list == nullptr, row[2].isEmpty());
        QStringList selected;
        for (int i = 0; list && i < list->Count(); ++i) {
            selected << list->Nodes(i)->Name() + "=" + text(list->Nodes(i));
        }
        EXPECT_EQ(selected.join(u'|'), QString::fromLatin1(row[2]));
        const IXMLNodePtr first = node->GetNodeByName(QString::fromLatin1(row[1]));
        EXPECT_EQ(first ? first->Name() + "=" + text(first) : QString(), selected.value(0));
    }
    EXPECT_EQ(d->GetNodeByName("/a")->Ref(), a->Ref());
    const QString bad = MessageOf([&] { a->GetNodeByName("b["); });
    EXPECT_TRUE(bad.startsWith("Invalid XPath expression 'b[': ")) << bad.toStdString();
}

TEST(XmlDocTest, EditingStoresTextLiterallyAndReplacesAttributes) {
    const IXMLDocumentPtr doc = NewXMLDocument();
    doc->New("r");
    const IXMLNodePtr r = doc->DocumentNode();
    r->SetValue("a<b&c");
    EXPECT_EQ(r->XML(), "<r>a&lt;b&amp;c</r>");
    EXPECT_EQ(text(r), "a<b&c");
    r->SetValue("&amp;"); // no entity reference is interpreted
    EXPECT_EQ(text(r), "&amp;");

    const IXMLNodePtr c = r->Add("c");
    const IXMLNodePtr e = r->Add("e");
    EXPECT_EQ(r->Children(2)->Ref(), e->Ref()); // appended last
    EXPECT_EQ(c->Parent()->Ref(), r->Ref());

    const IXMLNodePtr k = c->AddAttribute("k", 5);
    EXPECT_EQ(c->XML(), "<c k=\"5\"/>");
    const IXMLNodePtr oldText = k->Children(0);
    const IXMLNodePtr k2 = c->AddAttribute("k", "say \"hi\" & <go>");
    EXPECT_EQ(c->AttributesCount(), 1);
    EXPECT_EQ(k2->Ref(), k->Ref());
    EXPECT_EQ(text(k), "say \"hi\" & <go>");
    EXPECT_EQ(k->XML(), "k=\"say &quot;hi&quot; &amp; &lt;go&gt;\"");
    EXPECT_EQ(text(oldText), "5"); // the replaced text node is still readable

    // Replacing an element's text keeps earlier interfaces to its children valid.
    const IXMLNodePtr first = r->Children(0);
    r->SetValue("plain");
    EXPECT_EQ(r->ChildrenCount(), 1);
    EXPECT_EQ(text(first), "&amp;");
    EXPECT_EQ(first->Parent(), nullptr);
    EXPECT_EQ(c->Parent(), nullptr);
    EXPECT_EQ(text(c->Attributes(0)), "say \"hi\" & <go>");

    EXPECT_EQ(MessageOf([&] { r->Add("1x"); }), "'1x' is not a valid XML name");
    EXPECT_EQ(MessageOf([&] { r->AddAttribute("a b", 1); }), "'a b' is not a valid XML name");
    EXPECT_NE(MessageOf([&] { r->Children(0)->Add("x"); }), kNone); // a text node
    EXPECT_EQ(r->XML(), "<r>plain</r>");
}

TEST(XmlDocTest, DeletedNodesAndReplacedDocumentsStayReadable) {
    const IXMLDocumentPtr doc = load("<a><b>1</b><c>2</c><d>3</d></a>");
    const IXMLNodePtr a = doc->DocumentNode();
    const IXMLNodePtr c = a->Children(1);
    a->Delete(1);
    EXPECT_EQ(a->XML(), "<a><b>1</b><d>3</d></a>");
    EXPECT_EQ(text(c), "2"); // still readable, now without a parent
    EXPECT_EQ(c->Parent(), nullptr);

    const IXMLNodePtr b = a->GetNodeByName("b");
    const QString notChild = MessageOf([&] { b->Delete(a->GetNodeByName("d")); });
    EXPECT_EQ(notChild, "The d node is not a child of this b node");
    EXPECT_NE(MessageOf([&] { a->Delete(c); }), kNone); // removed already
    EXPECT_EQ(a->ChildrenCount(), 2);
    a->Delete(b);
    EXPECT_EQ(a->XML(), "<a><d>3</d></a>");
    EXPECT_EQ(text(b->Children(0)), "1");

    // Removing the root element leaves the document without one.
    const IXMLNodePtr document = a->Parent();
    document->Delete(a);
    EXPECT_EQ(MessageOf([&] { doc->DocumentNode(); }), kNil);
    EXPECT_EQ(text(a), "3");

    // Nodes and lists keep their document alive, replaced or gone.
    IXMLNodePtr x;
    IXMLNodeListPtr list;
    {
        IXMLDocumentPtr other = load("<a><b>x</b><b>y</b></a>");
        x = other->DocumentNode()->Children(0);
        list = other->DocumentNode()->GetNodesByName("b");
        other->New("other");
        EXPECT_EQ(other->DocumentNode()->Name(), "other");
    }
    EXPECT_EQ(text(x), "x");
    EXPECT_EQ(text(x->Parent()), "xy");
    EXPECT_EQ(text(list->Nodes(1)), "y");
}

TEST(XmlDocTest, SaveAndLoadThroughStreamsAndFiles) {
    const IXMLDocumentPtr doc = NewXMLDocument();
    doc->New("bio");
    doc->DocumentNode()->Add("name")->SetValue(QString::fromUtf8("Lía & Co"));
    doc->DocumentNode()->AddAttribute("v", 2);

    QByteArray saved;
    {
        QBuffer out(&saved);
        out.open(QIODevice::WriteOnly);
        out.write("prefix");
        doc->SaveToStream(out);
    }
    EXPECT_TRUE(saved.startsWith("prefix<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
    EXPECT_TRUE(saved.contains("<bio v=\"2\"><name>L\xC3\xAD"
                               "a &amp; Co</name></bio>"));

    // Loading starts at the stream's current position.
    QBuffer in(&saved);
    in.open(QIODevice::ReadOnly);
    in.seek(6);
    const IXMLDocumentPtr copy = NewXMLDocument();
    copy->LoadFromStream(in);
    EXPECT_EQ(text(copy->DocumentNode()->GetNodeByName("name")), QString::fromUtf8("Lía & Co"));

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath("bio.xml");
    doc->SaveToFile(file);
    const IXMLDocumentPtr fromFile = NewXMLDocument();
    fromFile->LoadFromFile(file);
    EXPECT_EQ(fromFile->DocumentNode()->XML(), doc->DocumentNode()->XML());

    const QString missing = MessageOf([&] { fromFile->LoadFromFile(dir.filePath("none.xml")); });
    EXPECT_TRUE(missing.startsWith("Cannot load XML document.\rReason: ")) << missing.toStdString();
    EXPECT_TRUE(missing.endsWith("\rLine: 0\rPosition: 0"));
    EXPECT_EQ(fromFile->DocumentNode()->Name(), "bio"); // a failed load keeps the document
    EXPECT_NE(MessageOf([&] { doc->SaveToFile(dir.filePath("no/such/dir/x.xml")); }), kNone);
}

TEST(XmlDocTest, MalformedInputReportsReasonLineAndPositionOnlyInTheMessage) {
    // Whatever the parser has to say must not reach the standard error stream.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray path = QFile::encodeName(dir.filePath("stderr.txt"));
    std::fflush(stderr);
    const int saved = dup(2);
    FILE* sink = std::fopen(path.constData(), "w");
    ASSERT_NE(sink, nullptr);
    dup2(fileno(sink), 2);

    EXPECT_EQ(MessageOf([] { load("<a><b></a>"); }),
              "Cannot load XML document.\rReason: Opening and ending tag mismatch: b line 1 and "
              "a\rLine: 1\rPosition: 11");
    EXPECT_EQ(MessageOf([] { load("<a>\n  <b x='1' x='2'/>\n</a>"); }),
              "Cannot load XML document.\rReason: Attribute x redefined\rLine: 2\rPosition: 17");
    for (const QByteArray& input : {QByteArray(), QByteArray("Not Found\n"), QByteArray("<a>")}) {
        const QString message = MessageOf([&] { load(input); });
        EXPECT_TRUE(message.startsWith("Cannot load XML document.\rReason: ") &&
                    message.contains("\rLine: 1\rPosition: "))
            << message.toStdString();
    }
    MessageOf([] { load("<!DOCTYPE a [<!ENTITY e SYSTEM 'nowhere.txt'>]><a x='&e;'/>"); });
    MessageOf([] { load("<a/>")->DocumentNode()->GetNodeByName("]["); });

    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
    std::fclose(sink);
    QFile written(QString::fromLocal8Bit(path));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), QByteArray());
}

TEST(XmlDocTest, ExternalEntitiesAndDtdsAreNeverRead) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray marker = "MARKER-7f3a";
    const QString textFile = dir.filePath("entity.txt");
    const QString dtdFile = dir.filePath("defs.dtd");
    const auto write = [](const QString& path, const QByteArray& bytes) {
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    };
    ASSERT_TRUE(write(textFile, marker) && write(dtdFile, "<!ENTITY m \"" + marker + "\">"));
    QTcpServer web; // a network address must not be contacted either
    ASSERT_TRUE(web.listen(QHostAddress::LocalHost, 0));
    const QByteArray textUrl = QUrl::fromLocalFile(textFile).toEncoded();
    const QByteArray dtdUrl = QUrl::fromLocalFile(dtdFile).toEncoded();
    const QByteArray webUrl = "http://127.0.0.1:" + QByteArray::number(web.serverPort()) + "/x";
    const QByteArray inputs[] = {
        "<!DOCTYPE r [<!ENTITY x SYSTEM '" + textUrl + "'>]><r>&x;</r>",
        "<!DOCTYPE r [<!ENTITY x SYSTEM '" + textFile.toUtf8() + "'>]><r a='&x;'>&x;</r>",
        "<!DOCTYPE r SYSTEM '" + dtdUrl + "'><r>&m;</r>",
        "<!DOCTYPE r [<!ENTITY % p SYSTEM '" + dtdUrl + "'> %p;]><r>&m;</r>",
        "<!DOCTYPE r [<!ENTITY x SYSTEM '" + webUrl + "'>]><r>&x;</r>",
        "<!DOCTYPE r SYSTEM '" + webUrl + "'><r/>",
    };
    for (const QByteArray& input : inputs) {
        try {
            const IXMLDocumentPtr doc = load(input);
            const IXMLNodePtr r = doc->DocumentNode();
            EXPECT_FALSE(text(r).contains(marker)) << input.constData();
            EXPECT_FALSE(r->Parent()->XML().contains(marker)) << input.constData();
            EXPECT_EQ(r->GetNodeByName("//text()"), nullptr) << input.constData();
        } catch (const plat::Exception& e) {
            EXPECT_FALSE(e.Message().contains(marker)) << input.constData();
        }
    }
    EXPECT_FALSE(web.waitForNewConnection(0));
    // Had the parameter entity been read, it would have declared "m".
    EXPECT_TRUE(MessageOf([&] { load(inputs[3]); }).contains("Entity 'm' not defined"));
}

TEST(XmlDocTest, EntityExpansionBombsAreRefusedQuickly) {
    QByteArray laughs = "<!DOCTYPE l [<!ENTITY l0 'lol'>";
    for (int i = 1; i <= 10; ++i) {
        laughs += "<!ENTITY l" + QByteArray::number(i) + " '" +
                  QByteArray("&l" + QByteArray::number(i - 1) + ";").repeated(10) + "'>";
    }
    laughs += "]><l>&l10;</l>";
    // One large entity referenced many times: 50 kB x 20000 = 1 GB of text.
    const QByteArray quadratic = "<!DOCTYPE q [<!ENTITY a '" + QByteArray(50000, 'x') + "'>]><q>" +
                                 QByteArray("&a;").repeated(20000) + "</q>";
    for (const QByteArray& input : {laughs, quadratic}) {
        QElapsedTimer timer;
        timer.start();
        const QString message = MessageOf([&] { load(input)->DocumentNode()->Value(); });
        EXPECT_LT(timer.elapsed(), 2000);
        EXPECT_TRUE(message.startsWith("Cannot load XML document.\rReason: "))
            << input.left(40).constData();
    }
    EXPECT_TRUE(MessageOf([&] { load(quadratic); }).contains("Maximum entity amplification"));

    // Entities in proportion to the document are read as text.
    const IXMLDocumentPtr doc = load("<!DOCTYPE r [<!ENTITY a 'x&amp;y'>]><r>&a;-&a;</r>");
    EXPECT_EQ(text(doc->DocumentNode()), "x&y-x&y");
    EXPECT_EQ(doc->DocumentNode()->XML(), "<r>&a;-&a;</r>");
}
