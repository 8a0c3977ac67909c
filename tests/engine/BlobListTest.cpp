#include "engine/BlobList.h"

#include "Raises.h"

#include <gtest/gtest.h>

namespace {

std::unique_ptr<TTextBlob> Text(const QByteArray& text) {
    auto t = std::make_unique<TTextBlob>();
    t->SetText(text);
    return t;
}

} // namespace

TEST(BlobList, StoresCopiesUnderFreshKeys) {
    TBlobList store;
    auto text = Text("abc");
    TItemBlob item;
    item.SetId2(77);
    TUnknownBlob unknown;
    unknown.SetData("\x07\x08");

    const QString textKey = store.Add(*text);
    const QString itemKey = store.Add(item);
    const QString unknownKey = store.Add(unknown);
    EXPECT_EQ(textKey.size(), 38);
    EXPECT_NE(textKey, itemKey);
    ASSERT_EQ(store.Count(), 3);

    text->SetText("changed"); // the original goes away after its message
    text.reset();
    const auto* copy = dynamic_cast<const TTextBlob*>(store.Blobs(store.IndexOf(textKey)));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Text(), "abc");
    EXPECT_EQ(dynamic_cast<const TItemBlob&>(*store.Blobs(1)).Id2(), 77u);
    EXPECT_EQ(dynamic_cast<const TUnknownBlob&>(*store.Blobs(2)).Data(), "\x07\x08");

    EXPECT_EQ(store.IndexOf(unknownKey.toLower()), 2);
    EXPECT_EQ(MessageOf<plat::EListError>([&] { store.Blobs(3); }), "List index out of bounds (3)");
}

TEST(BlobList, DropsTheOldestOnlyToStoreANewCopy) {
    TBlobList store;
    EXPECT_EQ(store.MaxCount(), 500);
    std::vector<QString> keys;
    keys.reserve(500);
    for (int i = 0; i < 500; ++i) {
        keys.push_back(store.Add(*Text(QByteArray::number(i))));
    }
    // Voice attachments are not stored, and cost the full list nothing.
    TVoiceBlob voice;
    EXPECT_EQ(store.Add(voice), u"");
    EXPECT_EQ(store.Count(), 500);
    EXPECT_EQ(store.IndexOf(keys[0]), 0);

    const QString newest = store.Add(*Text("new"));
    EXPECT_EQ(store.Count(), 500);
    EXPECT_EQ(store.IndexOf(keys[0]), -1);
    EXPECT_EQ(store.IndexOf(keys[1]), 0);
    EXPECT_EQ(store.IndexOf(newest), 499);

    // A capacity below one keeps the newest copy.
    for (const qsizetype capacity : {qsizetype(0), qsizetype(-3)}) {
        store.SetMaxCount(capacity);
        EXPECT_EQ(store.MaxCount(), 1);
        const QString key = store.Add(*Text("c"));
        EXPECT_EQ(store.Count(), 1);
        EXPECT_EQ(store.IndexOf(key), 0);
    }
}
