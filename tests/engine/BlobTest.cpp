#include "engine/VLBlob.h"

#include "Bytes.h"
#include "GoldenRows.h"
#include "Raises.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

using namespace BlobKind;

namespace {

std::unique_ptr<TVoiceBlob> Voice(const QByteArray& breed, const QByteArray& gender,
                                  const QByteArray& text1, const QByteArray& text2) {
    auto v = std::make_unique<TVoiceBlob>();
    v->SetBreed(breed);
    v->SetGender(gender);
    v->SetText1(text1);
    v->SetText2(text2);
    return v;
}

// An attachment as one line: its class and its fields; "-" for none.
QString Describe(const TBlob* blob) {
    if (const auto* v = dynamic_cast<const TVoiceBlob*>(blob)) {
        return "voice " + v->Breed() + "/" + v->Gender() + "/" + v->Text1() + "/" + v->Text2();
    }
    if (const auto* t = dynamic_cast<const TTextBlob*>(blob)) {
        return QString("text %1 ").arg(t->Value()) + t->Text();
    }
    if (const auto* i = dynamic_cast<const TItemBlob*>(blob)) {
        return QString("item %1 %2 %3").arg(i->Id1()).arg(i->Id2()).arg(i->Value());
    }
    if (const auto* u = dynamic_cast<const TUnknownBlob*>(blob)) {
        return QString(u->ClassName()) + " " + u->Data().toHex();
    }
    return "-";
}

QString Read(int kind, const QByteArray& data) {
    return Describe(TBlob::CreateBlob(kind, data).get());
}

// Claims only data ending in its own signature, so registering it disturbs no other test.
class TTestBlob : public TUnknownBlob {
public:
    const char* ClassName() const override { return "TTestBlob"; }
};

} // namespace

// Rows: the message kind, the data in hex, the attachment made.
TEST(BlobFactory, ChoosesVoiceThenTextThenItemThenUnknownAtTheKindsOffsets) {
    const std::map<QString, int> kinds{{"group", ServerGroupMessage},
                                       {"private", ServerPrivateMessage},
                                       {"private-group", ServerPrivateGroupMessage}};
    for (const QStringList& row : GoldenTextRows("engine/blob-factory.tsv", 3)) {
        EXPECT_EQ(Read(kinds.at(row[0]), Hex(row[1].toLatin1())), row[2])
            << row.join(u" | ").toStdString();
    }
    EXPECT_EQ(TItemBlob::CreateFromData(ServerPrivateMessage, QByteArray())->Id2(), 0u);

    // Classes registered later are asked first.
    const QByteArray data = Hex("01") + "QVTEST";
    EXPECT_TRUE(Read(ServerGroupMessage, data).startsWith("voice "));
    RegisterBlobClass({"TTestBlob", [](int, const QByteArray& d) { return d.endsWith("QVTEST"); },
                       [](int, const QByteArray&) -> std::unique_ptr<TBlob> {
                           return std::make_unique<TTestBlob>();
                       }});
    EXPECT_EQ(Read(ServerGroupMessage, data), "TTestBlob ");
}

// Rows: the attachment (a voice as breed/gender/text1/text2), the message
// kind, the bytes written in hex, the attachment read back.
TEST(BlobLayout, EachClassWritesItsBytesAndReadsThemBack) {
    auto text = std::make_shared<TTextBlob>();
    text->SetText("abc");
    text->SetValue(-2);
    auto item = std::make_shared<TItemBlob>();
    item->SetId1(0x1234);
    item->SetId2(0xFEDCBA98);
    item->SetValue(200);
    auto unknown = std::make_shared<TUnknownBlob>();
    unknown->SetData(Hex("0203"));
    const std::map<QString, std::shared_ptr<const TBlob>> blobs{
        {"text", text}, {"item", item}, {"unknown", unknown}};
    // The client's kind, and the server's that carries it back.
    const std::map<QString, std::pair<int, int>> kinds{
        {"group", {ClientGroupMessage, ServerGroupMessage}},
        {"private", {ClientPrivateMessage, ServerPrivateMessage}},
        {"private-group", {ClientPrivateGroupMessage, ServerPrivateGroupMessage}}};
    for (const QStringList& row : GoldenTextRows("engine/blob-layout.tsv", 4)) {
        SCOPED_TRACE(row.join(u" | ").toStdString());
        const QList<QByteArray> voice = row[0].toLatin1().split('/');
        const std::shared_ptr<const TBlob> blob =
            voice.size() == 4 ? Voice(voice[0], voice[1], voice[2], voice[3]) : blobs.at(row[0]);
        const auto [kind, serverKind] = kinds.at(row[1]);
        const QByteArray bytes = Hex(row[2].toLatin1());
        ASSERT_EQ(blob->SaveToVariant(kind), bytes);
        EXPECT_EQ(Read(serverKind, bytes), row[3]);
    }

    // A text too long for its length byte is cut so that the two agree.
    const QByteArray data =
        Voice("", "", QByteArray(300, 'x'), "hi")->SaveToVariant(ClientGroupMessage);
    EXPECT_EQ(data.size(), 5 + 255 + 2 + 2);
    EXPECT_EQ(Read(ServerGroupMessage, data), "voice //" + QByteArray(255, 'x') + "/hi");
}

TEST(BlobAssign, CopiesWithinAClassAndRefusesAcrossClasses) {
    TItemBlob item;
    item.SetId1(5);
    TTextBlob text;
    text.SetText("keep");
    EXPECT_EQ(MessageOf<plat::EConvertError>([&] { text.Assign(item); }),
              "Object of class TItemBlob cannot be assigned to object of class TTextBlob");
    EXPECT_EQ(text.Text(), "keep");
    TUnknownBlob u1, u2;
    EXPECT_THROW(u1.Assign(u2), plat::EConvertError);
    EXPECT_THROW(item.Assign(*Voice("", "", "", "")), plat::EConvertError);

    TItemBlob item2;
    item2.Assign(item);
    EXPECT_EQ(item2.Id1(), 5u);
    TVoiceBlob voice;
    voice.Assign(*Voice("grulk", "male", "a", "b"));
    EXPECT_EQ(voice.SaveToVariant(ClientGroupMessage), Hex("010402000161000162"));
}

// --- sound files -----------------------------------------------------------

class SoundFile : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        folder_ = dir_.path() + "/cd_image/sound/sfx/player/";
        ASSERT_TRUE(QDir().mkpath(folder_));
    }
    void Touch(const QString& path) { ASSERT_TRUE(QFile(path).open(QIODevice::WriteOnly)); }
    QString Find(const TVoiceBlob& v, const QString& base) {
        QString name = "unchanged";
        const bool found = v.GetSoundFile(base, name);
        EXPECT_EQ(found, name != "unchanged");
        return name;
    }
    QString Find(const TVoiceBlob& v) { return Find(v, dir_.path()); }

    QTemporaryDir dir_;
    QString folder_;
};

TEST_F(SoundFile, TriesTheFullestNameFirstInAnyLetterCase) {
    const auto v = Voice("thessik", "female", "wave", "hello");
    EXPECT_EQ(Find(*v), "unchanged");
    Touch(folder_ + "hello_01.wav");
    Touch(folder_ + "female_hello_01.wav");
    EXPECT_EQ(Find(*v), folder_ + "female_hello_01.wav");
    Touch(folder_ + "Thessik_FEMALE_Hello_01.WAV");
    EXPECT_EQ(Find(*v, dir_.path() + "/"), folder_ + "Thessik_FEMALE_Hello_01.WAV");
    Touch(folder_ + "thessik_female_wave_hello_01.wav");
    EXPECT_EQ(Find(*v), folder_ + "thessik_female_wave_hello_01.wav");
}

TEST_F(SoundFile, ReceivedTextsNeverLeaveTheSoundFolder) {
    Touch(dir_.path() + "/cd_image/sound/evil_01.wav");
    EXPECT_EQ(Find(*Voice("thessik", "female", "", "../../evil")), "unchanged");
    EXPECT_EQ(Find(*Voice("", "", "", "..\\..\\evil")), "unchanged");
    Touch(folder_ + "he\nllo_01.wav");
    EXPECT_EQ(Find(*Voice("", "", "", "he\nllo")), "unchanged");

    // An unsafe Text1 rules out only the name that uses it.
    ASSERT_TRUE(QDir().mkpath(folder_ + "thessik_female_a"));
    Touch(folder_ + "thessik_female_a/b_hello_01.wav");
    Touch(folder_ + "thessik_female_hello_01.wav");
    EXPECT_EQ(Find(*Voice("thessik", "female", "a/b", "hello")),
              folder_ + "thessik_female_hello_01.wav");
}
