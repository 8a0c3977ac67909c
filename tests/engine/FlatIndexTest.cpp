#include "engine/FlatIndex.h"

#include <QByteArray>

#include <gtest/gtest.h>

#include <map>
#include <vector>

// Keys chosen so that many share a hash or a home slot, near the end of the
// table too, with insertions and removals mixed; every key must stay findable
// and removed ones gone, checked against a plain map.
namespace {

struct Payload {
    int key = 0;
    QByteArray name; // a payload of the size the name list keeps
};

} // namespace

TEST(FlatIndex, KeysSharingHashesAndSlotsStayFindableThroughRemovals) {
    TFlatIndex<Payload> index;
    std::map<int, size_t> model; // key -> hash
    const auto hashOf = [](int key) { return static_cast<size_t>(key % 5 == 0 ? 7 : key % 23); };
    uint32_t rng = 7;
    for (int step = 0; step < 4000; ++step) {
        rng = rng * 1664525u + 1013904223u;
        const int key = static_cast<int>((rng >> 8) % 60);
        const size_t hash = hashOf(key);
        const auto matches = [key](const Payload& p) { return p.key == key; };
        if (model.count(key) != 0) {
            ASSERT_TRUE(index.Erase(hash, matches)) << "step " << step;
            model.erase(key);
        } else {
            index.Insert(hash, Payload{key, QByteArray::number(key)});
            model[key] = hash;
        }
        ASSERT_FALSE(index.Erase(hashOf(1000 + key), [](const Payload&) { return false; }));
        for (int probe = 0; probe < 60; ++probe) {
            const Payload* found =
                index.Find(hashOf(probe), [probe](const Payload& p) { return p.key == probe; });
            ASSERT_EQ(found != nullptr, model.count(probe) != 0) << "step " << step;
            ASSERT_TRUE(found == nullptr || found->name == QByteArray::number(probe));
        }
    }
    int visited = 0;
    index.ForEach([&](Payload&) { ++visited; });
    EXPECT_EQ(visited, static_cast<int>(model.size()));
    index.Clear();
    EXPECT_EQ(index.Find(hashOf(5), [](const Payload&) { return true; }), nullptr);
}
