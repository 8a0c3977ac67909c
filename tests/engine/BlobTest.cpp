#include "engine/VLBlob.h"
#include "platform/core/Exception.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace BlobKind;

namespace {

QByteArray Hex(const char* hex) {
    return QByteArray::fromHex(hex);
}

template <typename T>
const T* As(const std::unique_ptr<TBlob>& blob) {
    return dynamic_cast<const T*>(blob.get());
}

std::unique_ptr<TVoiceBlob> Voice(const QByteArray& breed, const QByteArray& gender,
                                  const QByteArray& text1, const QByteArray& text2) {
    auto v = std::make_unique<TVoiceBlob>();
    v->SetBreed(breed);
    v->SetGender(gender);
    v->SetText1(text1);
    v->SetText2(text2);
    return v;
}

// Claims only data ending in its own signature, so registering it disturbs no other test.
class TTestBlob : public TUnknownBlob {
public:
    const char* ClassName() const override { return "TTestBlob"; }
};

} // namespace

// --- factory ---------------------------------------------------------------

TEST(BlobFactory, ChoosesVoiceThenTextThenItemThenUnknownAtTheKindsOffsets) {
    const QByteArray text17 = Hex("000000C350") + QByteArray(12, '\0');
    const struct {
        int kind;
        QByteArray data;
        const char* made; // nullptr: no attachment
    } cases[] = {
        {ServerGroupMessage, QByteArray(), nullptr},
        {ServerPrivateMessage, Hex("00"), nullptr},
        {ServerGroupMessage, Hex("01"), "TVoiceBlob"},
        // 17 bytes, the size of an item: the text test comes first.
        {ServerGroupMessage, text17, "TTextBlob"},
        {ServerPrivateGroupMessage, QByteArray(17, 0), "TItemBlob"},
        {ServerGroupMessage, QByteArray(16, 0), "TUnknownBlob"},
        // Private messages: everything one byte further on; items have 18 bytes.
        {ServerPrivateMessage, QByteArray(17, 0), "TUnknownBlob"},
        {ServerPrivateMessage, Hex("0001"), "TVoiceBlob"},
        {ServerPrivateMessage, QByteArray(18, 0), "TItemBlob"},
        // Too short for the tests at their offsets: unknown, not a misread.
        {ServerPrivateMessage, Hex("01"), "TUnknownBlob"},
        {ServerGroupMessage, Hex("000000C3"), "TUnknownBlob"},
    };
    for (const auto& c : cases) {
        const auto blob = TBlob::CreateBlob(c.kind, c.data);
        EXPECT_STREQ(blob ? blob->ClassName() : nullptr, c.made)
            << c.kind << " " << c.data.toHex().data();
    }
    const auto item =
        TBlob::CreateBlob(ServerPrivateMessage, Hex("000000001234000056780000002A00000000"));
    ASSERT_NE(As<TItemBlob>(item), nullptr);
    EXPECT_EQ(As<TItemBlob>(item)->Id1(), 0x1234u);
    EXPECT_EQ(As<TItemBlob>(item)->Id2(), 22136u);
    EXPECT_EQ(As<TItemBlob>(item)->Value(), 42);

    // Classes registered later are asked first.
    const QByteArray data = Hex("01") + "QVTEST";
    EXPECT_NE(As<TVoiceBlob>(TBlob::CreateBlob(ServerGroupMessage, data)), nullptr);
    RegisterBlobClass({"TTestBlob", [](int, const QByteArray& d) { return d.endsWith("QVTEST"); },
                       [](int, const QByteArray&) -> std::unique_ptr<TBlob> {
                           return std::make_unique<TTestBlob>();
                       }});
    EXPECT_NE(As<TTestBlob>(TBlob::CreateBlob(ServerGroupMessage, data)), nullptr);
}

TEST(BlobFactory, LengthsLargerThanTheDataGiveOnlyTheBytesPresent) {
    const auto text = TBlob::CreateBlob(ServerGroupMessage, Hex("00"
                                                                "0000C350"
                                                                "00000007" // Value
                                                                "00000000"
                                                                "FFFFFFFF" // length
                                                                "6869"));
    ASSERT_NE(As<TTextBlob>(text), nullptr);
    EXPECT_EQ(As<TTextBlob>(text)->Text(), "hi");
    EXPECT_EQ(As<TTextBlob>(text)->Value(), 7);
    const auto voice = TBlob::CreateBlob(ServerGroupMessage, Hex("01090200C8616263"));
    ASSERT_NE(As<TVoiceBlob>(voice), nullptr);
    EXPECT_EQ(As<TVoiceBlob>(voice)->Breed(), ""); // unknown code
    EXPECT_EQ(As<TVoiceBlob>(voice)->Gender(), "male");
    EXPECT_EQ(As<TVoiceBlob>(voice)->Text1(), "abc");
    EXPECT_EQ(As<TVoiceBlob>(voice)->Text2(), "");
    EXPECT_EQ(TItemBlob::CreateFromData(ServerPrivateMessage, QByteArray())->Id2(), 0u);
}

// --- layouts ---------------------------------------------------------------

TEST(BlobLayout, Voice) {
    const auto v = Voice("Thessik", "Female", "wave", "hello");
    const QByteArray group = Hex("01020300"
                                 "0477617665"     // 4, "wave"
                                 "00"             //
                                 "0568656C6C6F"); // 5, "hello"
    EXPECT_EQ(v->SaveToVariant(ClientGroupMessage), group);
    EXPECT_EQ(v->SaveToVariant(ClientPrivateGroupMessage), group);
    EXPECT_EQ(v->SaveToVariant(ClientPrivateMessage), Hex("00") + group);
    for (const auto& [kind, data] : {std::pair{ServerGroupMessage, group},
                                     std::pair{ServerPrivateMessage, Hex("00") + group}}) {
        const auto back = TBlob::CreateBlob(kind, data);
        ASSERT_NE(As<TVoiceBlob>(back), nullptr);
        EXPECT_EQ(As<TVoiceBlob>(back)->Breed(), "thessik");
        EXPECT_EQ(As<TVoiceBlob>(back)->Gender(), "female");
        EXPECT_EQ(As<TVoiceBlob>(back)->Text1(), "wave");
        EXPECT_EQ(As<TVoiceBlob>(back)->Text2(), "hello");
    }
    EXPECT_EQ(Voice("corlan", "neuter", "", "")->SaveToVariant(ClientGroupMessage).left(3),
              Hex("010101"));
    EXPECT_EQ(Voice("GRULK", "male", "", "")->SaveToVariant(ClientGroupMessage).left(3),
              Hex("010402"));
    EXPECT_EQ(Voice("miravel", "other", "", "")->SaveToVariant(ClientGroupMessage),
              Hex("01030000000000"));

    // A text too long for its length byte is cut so that the two agree.
    const QByteArray longText(300, 'x');
    const QByteArray data = Voice("", "", longText, "hi")->SaveToVariant(ClientGroupMessage);
    EXPECT_EQ(data.size(), 5 + 255 + 2 + 2);
    const auto back = TBlob::CreateBlob(ServerGroupMessage, data);
    EXPECT_EQ(As<TVoiceBlob>(back)->Text1(), longText.left(255));
    EXPECT_EQ(As<TVoiceBlob>(back)->Text2(), "hi");
}

TEST(BlobLayout, Text) {
    TTextBlob t;
    t.SetText("abc");
    const QByteArray group = Hex("00"
                                 "0000C350"
                                 "00000000" // Value
                                 "00000000"
                                 "00000003"
                                 "616263");
    EXPECT_EQ(t.SaveToVariant(ClientGroupMessage), group);
    EXPECT_EQ(t.SaveToVariant(ClientPrivateMessage), Hex("00") + group);

    t.SetValue(-2);
    const auto back =
        TBlob::CreateBlob(ServerPrivateMessage, t.SaveToVariant(ClientPrivateMessage));
    ASSERT_NE(As<TTextBlob>(back), nullptr);
    EXPECT_EQ(As<TTextBlob>(back)->Value(), -2);
    EXPECT_EQ(As<TTextBlob>(back)->Text(), "abc");
}

TEST(BlobLayout, ItemAndUnknown) {
    TItemBlob item;
    item.SetId1(0x1234);
    item.SetId2(0xFEDCBA98);
    item.SetValue(200);
    const QByteArray group = Hex("0000001234FEDCBA98000000C800000000");
    EXPECT_EQ(item.SaveToVariant(ClientGroupMessage), group);
    EXPECT_EQ(item.SaveToVariant(ClientPrivateMessage), Hex("00") + group);
    const auto back = TBlob::CreateBlob(ServerPrivateMessage, Hex("00") + group);
    ASSERT_NE(As<TItemBlob>(back), nullptr);
    EXPECT_EQ(As<TItemBlob>(back)->Id2(), 0xFEDCBA98u);
    EXPECT_EQ(As<TItemBlob>(back)->Value(), 200);

    TUnknownBlob unknown;
    unknown.SetData(Hex("0203"));
    EXPECT_EQ(unknown.SaveToVariant(ClientPrivateMessage), Hex("0203"));
}

TEST(BlobAssign, CopiesWithinAClassAndRefusesAcrossClasses) {
    TItemBlob item;
    item.SetId1(5);
    TTextBlob text;
    text.SetText("keep");
    try {
        text.Assign(item);
        ADD_FAILURE() << "no exception";
    } catch (const plat::EConvertError& e) {
        EXPECT_EQ(e.Message(),
                  u"Object of class TItemBlob cannot be assigned to object of class TTextBlob");
    }
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
