#include "framework/collection.h"
#include "framework/framework_classes.h"
#include "framework/scan_collection.h"
#include "framework/sorted_collection.h"
#include "framework/stream_test_support.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>

namespace ravlo {
namespace {

using test::Bytes;
using test::TCountingObj;
using Values = std::vector<std::uint16_t>;

// Records the Error calls the base ignores.
class TRecordingColl : public TrbCollection {
public:
    void Error(std::int32_t code, std::int32_t info) const override { errors.emplace_back(code, info); }
    std::pair<std::int32_t, std::int32_t> LastError() const { return errors.back(); }
    mutable std::vector<std::pair<std::int32_t, std::int32_t>> errors;
};

// The values of the items in order, 0xFFFF for a nil slot.
Values ValuesOf(const TrbCollection& collection) {
    Values values;
    for (std::int32_t i = 0; i < collection.Count(); ++i) {
        const auto* item = dynamic_cast<const TCountingObj*>(collection.At(i));
        values.push_back(item != nullptr ? item->Value : 0xFFFF);
    }
    return values;
}

void Fill(TrbCollection& collection, Values values) {
    for (const std::uint16_t value : values) {
        collection.Insert(std::make_unique<TCountingObj>(value));
    }
}

class CollectionTest : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(TCountingObj::Live, 0); }
};

TEST_F(CollectionTest, InsertDeleteAndExchangeKeepOrderAndOwnership) {
    TRecordingColl collection;
    Fill(collection, {1, 3});
    EXPECT_EQ(collection.AtInsert(1, std::make_unique<TCountingObj>(2)).Index, 1);
    EXPECT_EQ(ValuesOf(collection), (Values{1, 2, 3}));
    // A bad index hands the item back untouched.
    TrbInsertResult refused = collection.AtInsert(5, std::make_unique<TCountingObj>(9));
    EXPECT_FALSE(refused.Inserted);
    EXPECT_EQ(static_cast<TCountingObj&>(*refused.Refused).Value, 9);
    EXPECT_EQ(collection.LastError(), std::make_pair(TrbCollection::coIndexError, 5));
    TrbStreamable* second = collection.At(1);
    std::unique_ptr<TrbStreamable> taken = collection.AtDelete(1);
    EXPECT_EQ(taken.get(), second);
    EXPECT_EQ(TCountingObj::Live, 4); // taken out, not freed
    EXPECT_EQ(collection.IndexOf(second), -1);
    EXPECT_EQ(collection.Delete(collection.At(1)).Index, 1);
    EXPECT_EQ(collection.Delete(taken.get()).Index, -1);
    Fill(collection, {7});
    collection.Exchange(0, 1);
    EXPECT_EQ(ValuesOf(collection), (Values{7, 1}));
    collection.Exchange(0, 2);
    EXPECT_EQ(collection.LastError(), std::make_pair(TrbCollection::coIndexError, 2));
    EXPECT_EQ(collection.At(-1), nullptr);
    EXPECT_EQ(collection.LastError(), std::make_pair(TrbCollection::coIndexError, -1));
}

TEST_F(CollectionTest, FreeingLeavesNilSlotsAndReleasesItems) {
    TrbCollection collection;
    Fill(collection, {1});
    collection.SetCount(3);
    EXPECT_EQ(ValuesOf(collection), (Values{1, 0xFFFF, 0xFFFF}));
    collection.AtFree(1);
    collection.AtFree(7);
    EXPECT_EQ(collection.Count(), 3);
    collection.FreeObj(collection.At(0));
    EXPECT_EQ(collection.Count(), 2);
    EXPECT_EQ(TCountingObj::Live, 0);
    collection.SetCount(0);
    Fill(collection, {1, 2});
    collection.SetCount(1); // frees what falls off the end
    EXPECT_EQ(TCountingObj::Live, 1);
    std::vector<std::unique_ptr<TrbStreamable>> released = collection.DeleteAll();
    EXPECT_EQ(released.size(), 1u);
    EXPECT_EQ(collection.Limit(), 0);
    EXPECT_EQ(TCountingObj::Live, 1);
    released.clear();
    Fill(collection, {1, 2});
    collection.FreeAll();
    EXPECT_EQ(std::pair(collection.Count(), collection.Limit()), std::pair(0, 0));
    EXPECT_EQ(TCountingObj::Live, 0);
}

TEST_F(CollectionTest, LimitsOutsideTheRulesChangeNothing) {
    TRecordingColl collection;
    Fill(collection, {0, 1, 2, 3, 4, 5});
    collection.SetLimit(5);
    EXPECT_EQ(collection.Limit(), 8);
    EXPECT_EQ(collection.LastError(), std::make_pair(TrbCollection::coOverflow, 5));
    collection.SetLimit(TrbCollection::kMaxCollectionSize);
    EXPECT_EQ(collection.Limit(), 8);
    collection.SetCount(-1);
    collection.SetLimit(6);
    EXPECT_EQ(collection.Limit(), 6);
    EXPECT_EQ(ValuesOf(collection), (Values{0, 1, 2, 3, 4, 5}));
    // A Grow that makes no room refuses the insert instead of passing the limit.
    class TFixedColl : public TRecordingColl {
        void Grow() override {}
    } fixed;
    EXPECT_NE(fixed.Insert(std::make_unique<TCountingObj>(1)).Refused, nullptr);
    EXPECT_EQ(fixed.Count(), 0);
    EXPECT_EQ(fixed.LastError().first, TrbCollection::coOverflow);
}

// Sorted by the counting object's Value.
class TValueColl : public TrbTypedCollection<TCountingObj, TrbSortedCollection> {
public:
    static constexpr std::string_view kClassName = "TValueColl";
    std::string_view ClassName() const override { return kClassName; }
    const void* KeyOf(const TrbStreamable* item) const override {
        return &static_cast<const TCountingObj*>(item)->Value;
    }
    int Compare(const void* key1, const void* key2) const override {
        return *static_cast<const std::uint16_t*>(key1) - *static_cast<const std::uint16_t*>(key2);
    }
};

TCountingObj* Add(TrbSortedCollection& collection, std::uint16_t value) {
    auto item = std::make_unique<TCountingObj>(value);
    TCountingObj* raw = item.get();
    return collection.Insert(std::move(item)).Inserted ? raw : nullptr;
}

class SortedCollectionTest : public CollectionTest {
protected:
    void SetUp() override {
        RegisterFrameworkClasses();
        RegisterStreamClass<TCountingObj>();
        RegisterStreamClass<TValueColl>();
    }
};

TEST_F(SortedCollectionTest, WithoutDuplicatesAnEqualKeyIsHandedBack) {
    TValueColl collection;
    Fill(collection, {5, 1, 9, 3});
    EXPECT_EQ(ValuesOf(collection), (Values{1, 3, 5, 9}));
    auto equal = std::make_unique<TCountingObj>(5);
    TCountingObj* raw = equal.get();
    TrbInsertResult result = collection.Insert(std::move(equal));
    EXPECT_FALSE(result.Inserted);
    EXPECT_EQ(result.Index, 2);
    EXPECT_EQ(result.Refused.get(), raw);
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
    Fill(collection, {9, 1});
    // A new equal item goes before the existing equal ones.
    EXPECT_EQ(std::vector<const TrbStreamable*>({collection.At(2), collection.At(3), collection.At(4)}),
              std::vector<const TrbStreamable*>({third, second, first}));
    std::int32_t index = -1;
    const std::uint16_t key = 7;
    EXPECT_TRUE(collection.Search(&key, index));
    EXPECT_EQ(index, 2);
    EXPECT_EQ(collection.IndexOf(first), 4);
    collection.FreeObj(second);
    // An item whose key changed after it was inserted is still deleted by identity.
    first->Value = 0;
    const TrbDeleteResult deleted = collection.Delete(first);
    EXPECT_EQ(deleted.Index, 3);
    EXPECT_EQ(deleted.Item.get(), first);
}

TEST_F(SortedCollectionTest, LoadReSortsAndFreesRefusedItems) {
    TValueColl source;
    source.Duplicates = true;
    Fill(source, {4, 2, 4, 8});
    auto written = test::WriteObjects([&](TrbObjStream& s) { s.Put(&source); });
    EXPECT_EQ(written.bytes[2], 0x01); // Duplicates
    EXPECT_EQ(ValuesOf(*test::ReadObject<TValueColl>(written)), (Values{2, 4, 4, 8}));
    written.bytes[2] = 0x00;
    const auto unique = test::ReadObject<TValueColl>(written);
    EXPECT_EQ(ValuesOf(*unique), (Values{2, 4, 8}));
    EXPECT_EQ(TCountingObj::Live, 4 + 3);
    // A nil entry has no key and is dropped; an entry of another class is refused by its class.
    const auto nilEntry = Bytes({0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0xFF, 0xFF});
    EXPECT_EQ(test::ReadObject<TValueColl>(nilEntry, written.classNames)->Count(), 0);
    const auto otherEntry =
        Bytes({0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00});
    EXPECT_THROW(test::ReadObject<TrbStreamable>(otherEntry, {"TValueColl", "TrbCollection"}), EInvalidCast);
}

void AddScan(TScanObjColl& collection, std::uint16_t w, std::uint32_t l, std::optional<std::string> text) {
    collection.Insert(std::make_unique<TScanObject>(w, l, nullptr, nullptr, std::move(text)));
}

std::vector<std::uint16_t> Ws(const TScanObjColl& collection) {
    std::vector<std::uint16_t> ws;
    for (std::int32_t i = 0; i < collection.Count(); ++i) {
        const TScanObject* item = collection.ItemAt(i);
        ws.push_back(item != nullptr ? item->W : 0xFFFF);
    }
    return ws;
}

TEST(ScanCollectionTest, FiveSortsOrderByTheirKeysNilsFirst) {
    // Items numbered by W so that every sort's result reads as a list of W.
    TScanObjColl collection;
    AddScan(collection, 0, 5, "beta");
    AddScan(collection, 1, 0xFFFFFFFF, std::nullopt);
    AddScan(collection, 2, 0x80000000, "Alpha");
    AddScan(collection, 3, 7, "");
    AddScan(collection, 4, 0x7FFFFFFF, "alpha2");
    AddScan(collection, 5, 0, "\xC8"); // capital C caron
    const struct {
        void (TScanObjColl::*sort)();
        std::vector<std::uint16_t> order;
    } sorts[] = {{&TScanObjColl::QuickSort_L, {2, 1, 5, 0, 3, 4}},
                 {&TScanObjColl::QuickSort_DW, {5, 0, 3, 4, 2, 1}},
                 {&TScanObjColl::QuickSort_Pch, {1, 3, 2, 4, 0, 5}},
                 {&TScanObjColl::QuickSort_AnsiPch, {1, 3, 2, 4, 0, 5}},
                 {&TScanObjColl::QuickSort_W, {0, 1, 2, 3, 4, 5}}};
    for (const auto& s : sorts) {
        (collection.*s.sort)();
        EXPECT_EQ(Ws(collection), s.order);
    }
    // Ignoring case puts "alpha" before "Beta"; the byte compare puts "B" first. A nil slot sorts first.
    TScanObjColl texts;
    AddScan(texts, 0, 0, "alpha");
    AddScan(texts, 1, 0, "Beta");
    AddScan(texts, 2, 0, "ALPHA");
    texts.Insert(nullptr);
    texts.QuickSort_Pch();
    EXPECT_EQ(Ws(texts), (std::vector<std::uint16_t>{0xFFFF, 2, 1, 0}));
    texts.QuickSort_AnsiPch();
    EXPECT_EQ(Ws(texts)[3], 1);
    TScanObjColl empty;
    empty.QuickSort_W();
}

TEST(ScanCollectionTest, LargeSortKeepsEveryItemInOrder) {
    std::mt19937 random(12345);
    TScanObjColl collection;
    for (int i = 0; i < 2000; ++i) {
        // Few distinct keys, many repeats, to exercise equal keys around the pivot.
        AddScan(collection, static_cast<std::uint16_t>(i), random() % 50 - 25, std::nullopt);
    }
    collection.QuickSort_L();
    std::vector<bool> seen(2000, false);
    for (std::int32_t i = 0; i < collection.Count(); ++i) {
        seen[collection.ItemAt(i)->W] = true;
        ASSERT_TRUE(i == 0 || static_cast<std::int32_t>(collection.ItemAt(i - 1)->L) <=
                                  static_cast<std::int32_t>(collection.ItemAt(i)->L))
            << i;
    }
    EXPECT_EQ(std::count(seen.begin(), seen.end(), false), 0);
}

// Loading a scan object (and clearing its references) is in ObjStreamTest.GetIntoExisting...
TEST(ScanCollectionTest, ScanObjectStreamLayout) {
    RegisterFrameworkClasses();
    int marker = 0;
    TScanObject obj(0x0102, 0xA0B0C0D0, &marker, &marker, "hi");
    EXPECT_EQ(test::WriteObjects([&](TrbObjStream& s) { s.Put(&obj); }).bytes,
              Bytes({0x00, 0x00, 0x02, 0x01, 0xD0, 0xC0, 0xB0, 0xA0, 0x02, 0x00, 0x00, 0x00, 'h', 'i'}));
}

} // namespace
} // namespace ravlo
