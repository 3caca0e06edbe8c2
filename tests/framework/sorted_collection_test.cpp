#include "framework/framework_classes.h"
#include "framework/sorted_collection.h"
#include "framework/stream_test_support.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using test::TCountingObj;
using Values = std::vector<std::uint16_t>;

// Sorted by the counting object's Value.
class TValueColl : public TrbTypedCollection<TCountingObj, TrbSortedCollection> {
public:
    static constexpr std::string_view kClassName = "TValueColl";
    std::string_view ClassName() const override { return kClassName; }
    const void* KeyOf(const TrbStreamable* item) const override {
        return &static_cast<const TCountingObj*>(item)->Value;
    }
    int Compare(const void* key1, const void* key2) const override {
        const auto a = *static_cast<const std::uint16_t*>(key1);
        const auto b = *static_cast<const std::uint16_t*>(key2);
        return a < b ? -1 : (a > b ? 1 : 0);
    }
};

TCountingObj* Add(TrbSortedCollection& collection, std::uint16_t value) {
    auto item = std::make_unique<TCountingObj>(value);
    TCountingObj* raw = item.get();
    return collection.Insert(std::move(item)).Inserted ? raw : nullptr;
}

Values ValuesOf(const TrbCollection& collection) {
    Values values;
    for (std::int32_t i = 0; i < collection.Count(); ++i) {
        values.push_back(static_cast<const TCountingObj*>(collection.At(i))->Value);
    }
    return values;
}

class SortedCollectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterFrameworkClasses();
        RegisterStreamClass<TCountingObj>();
        RegisterStreamClass<TValueColl>();
    }
    void TearDown() override { EXPECT_EQ(TCountingObj::Live, 0); }
};

TEST_F(SortedCollectionTest, WithoutDuplicatesAnEqualKeyIsHandedBack) {
    TValueColl collection;
    for (const std::uint16_t value : {5, 1, 9, 3}) {
        Add(collection, value);
    }
    EXPECT_EQ(ValuesOf(collection), (Values{1, 3, 5, 9}));
    auto equal = std::make_unique<TCountingObj>(5);
    TCountingObj* raw = equal.get();
    TrbInsertResult result = collection.Insert(std::move(equal));
    EXPECT_FALSE(result.Inserted);
    EXPECT_EQ(result.Index, 2);
    EXPECT_EQ(result.Refused.get(), raw);
    EXPECT_EQ(collection.Count(), 4);
    // IndexOf finds the equal key even for another object; deleting and freeing do not.
    EXPECT_EQ(collection.IndexOf(raw), 2);
    EXPECT_EQ(collection.Delete(raw).Index, -1);
    collection.FreeObj(raw);
    EXPECT_EQ(TCountingObj::Live, 5);
    std::int32_t index = -1;
    const std::uint16_t missing = 4;
    EXPECT_FALSE(collection.Search(&missing, index));
    EXPECT_EQ(index, 2);
}

TEST_F(SortedCollectionTest, WithDuplicatesSearchFindsTheFirstOfEqualItems) {
    TValueColl collection;
    collection.Duplicates = true;
    Add(collection, 2);
    TCountingObj* first = Add(collection, 7);
    TCountingObj* second = Add(collection, 7);
    TCountingObj* third = Add(collection, 7);
    Add(collection, 9);
    Add(collection, 1);
    // A new equal item goes before the existing equal ones.
    EXPECT_EQ(std::vector<const TrbStreamable*>({collection.At(2), collection.At(3), collection.At(4)}),
              std::vector<const TrbStreamable*>({third, second, first}));
    std::int32_t index = -1;
    const std::uint16_t key = 7;
    EXPECT_TRUE(collection.Search(&key, index));
    EXPECT_EQ(index, 2);
    EXPECT_EQ(collection.IndexOf(first), 4);
    TCountingObj stranger(7);
    EXPECT_EQ(collection.IndexOf(&stranger), -1);
    collection.FreeObj(second);
    EXPECT_EQ(collection.IndexOf(first), 3);
    // An item whose key changed after it was inserted is still deleted by identity.
    first->Value = 0;
    const TrbDeleteResult deleted = collection.Delete(first);
    EXPECT_EQ(deleted.Index, 3);
    EXPECT_EQ(deleted.Item.get(), first);
}

TEST_F(SortedCollectionTest, LoadReSortsAndFreesRefusedItems) {
    TValueColl source;
    source.Duplicates = true;
    for (const std::uint16_t value : {4, 2, 4, 8}) {
        Add(source, value);
    }
    auto written = test::WriteObjects([&](TrbObjStream& s) { s.Put(&source); });
    EXPECT_EQ(written.bytes[2], 0x01); // Duplicates
    EXPECT_EQ(ValuesOf(*test::ReadObject<TValueColl>(written)), (Values{2, 4, 4, 8}));
    written.bytes[2] = 0x00;
    const auto unique = test::ReadObject<TValueColl>(written);
    EXPECT_FALSE(unique->Duplicates);
    EXPECT_EQ(ValuesOf(*unique), (Values{2, 4, 8}));
    EXPECT_EQ(TCountingObj::Live, 4 + 3);

    // A nil entry has no key and is dropped; an entry of another class is refused by its class.
    const auto nilEntry = test::Bytes({0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0xFF, 0xFF});
    EXPECT_EQ(test::ReadObject<TValueColl>(nilEntry, written.classNames)->Count(), 0);
    const auto otherEntry =
        test::Bytes({0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00});
    EXPECT_THROW(test::ReadObject<TrbStreamable>(otherEntry, {"TValueColl", "TrbCollection"}), EInvalidCast);
}

TEST_F(SortedCollectionTest, BaseCompareAppendsInInsertOrder) {
    TrbSortedCollection collection;
    Add(collection, 3);
    Add(collection, 1);
    EXPECT_EQ(ValuesOf(collection), (Values{3, 1}));
    EXPECT_EQ(collection.IndexOf(collection.At(0)), -1);
    collection.FreeObj(collection.At(0));
    EXPECT_EQ(ValuesOf(collection), (Values{1}));
}

} // namespace
} // namespace ravlo
