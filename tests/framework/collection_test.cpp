#include "framework/collection.h"
#include "framework/stream_test_support.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using test::TCountingObj;

// Records the Error calls the base ignores.
class TRecordingColl : public TrbCollection {
public:
    void Error(std::int32_t code, std::int32_t info) const override { errors.emplace_back(code, info); }
    mutable std::vector<std::pair<std::int32_t, std::int32_t>> errors;
};

class TFixedColl : public TRecordingColl {
public:
    void Grow() override {}
};

std::uint16_t ValueAt(const TrbCollection& collection, std::int32_t index) {
    const auto* item = dynamic_cast<const TCountingObj*>(collection.At(index));
    return item != nullptr ? item->Value : 0xFFFF;
}

class CollectionTest : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(TCountingObj::Live, 0); }
};

TEST_F(CollectionTest, GrowStepsAreAdditive) {
    TrbCollection collection;
    std::vector<std::int32_t> limits;
    for (int i = 0; i < 40; ++i) {
        const std::int32_t before = collection.Limit();
        collection.Insert(std::make_unique<TCountingObj>(static_cast<std::uint16_t>(i)));
        if (collection.Limit() != before) {
            limits.push_back(collection.Limit());
        }
    }
    EXPECT_EQ(limits, (std::vector<std::int32_t>{4, 8, 16, 32, 48}));
    EXPECT_EQ(collection.Count(), 40);
    EXPECT_EQ(ValueAt(collection, 39), 39);
}

TEST_F(CollectionTest, InsertDeleteAndExchangeKeepOrderAndOwnership) {
    TRecordingColl collection;
    collection.Insert(std::make_unique<TCountingObj>(1));
    collection.Insert(std::make_unique<TCountingObj>(3));
    const TrbInsertResult middle = collection.AtInsert(1, std::make_unique<TCountingObj>(2));
    EXPECT_TRUE(middle.Inserted);
    EXPECT_EQ(middle.Index, 1);
    EXPECT_EQ(ValueAt(collection, 0) * 100 + ValueAt(collection, 1) * 10 + ValueAt(collection, 2), 123);

    // A bad index hands the item back untouched.
    TrbInsertResult refused = collection.AtInsert(5, std::make_unique<TCountingObj>(9));
    EXPECT_FALSE(refused.Inserted);
    ASSERT_NE(refused.Refused, nullptr);
    EXPECT_EQ(static_cast<TCountingObj&>(*refused.Refused).Value, 9);
    EXPECT_EQ(collection.errors.back(), std::make_pair(TrbCollection::coIndexError, 5));
    EXPECT_EQ(collection.Count(), 3);

    TrbStreamable* second = collection.At(1);
    EXPECT_EQ(collection.IndexOf(second), 1);
    std::unique_ptr<TrbStreamable> taken = collection.AtDelete(1);
    EXPECT_EQ(taken.get(), second);
    EXPECT_EQ(TCountingObj::Live, 4); // taken out, not freed
    EXPECT_EQ(collection.IndexOf(second), -1);

    const TrbDeleteResult deleted = collection.Delete(collection.At(1));
    EXPECT_EQ(deleted.Index, 1);
    EXPECT_EQ(collection.Delete(taken.get()).Index, -1);

    collection.Insert(std::make_unique<TCountingObj>(7));
    collection.Exchange(0, 1);
    EXPECT_EQ(ValueAt(collection, 0), 7);
    EXPECT_EQ(ValueAt(collection, 1), 1);
    collection.Exchange(0, 2);
    EXPECT_EQ(collection.errors.back(), std::make_pair(TrbCollection::coIndexError, 2));
    EXPECT_EQ(collection.At(-1), nullptr);
    EXPECT_EQ(collection.errors.back(), std::make_pair(TrbCollection::coIndexError, -1));
}

TEST_F(CollectionTest, FreeingLeavesNilSlotsAndReleasesItems) {
    TrbCollection collection;
    collection.Insert(std::make_unique<TCountingObj>(1));
    collection.SetCount(3);
    EXPECT_EQ(collection.Count(), 3);
    EXPECT_EQ(collection.Limit(), 4);
    EXPECT_EQ(collection.At(2), nullptr);

    collection.AtFree(1);
    EXPECT_EQ(collection.Count(), 3);
    collection.AtFree(7);
    EXPECT_EQ(collection.Count(), 3);

    collection.FreeObj(collection.At(0));
    EXPECT_EQ(collection.Count(), 2);
    EXPECT_EQ(TCountingObj::Live, 0);

    collection.SetCount(0);
    collection.Insert(std::make_unique<TCountingObj>(1));
    collection.Insert(std::make_unique<TCountingObj>(2));
    collection.SetCount(1);
    EXPECT_EQ(TCountingObj::Live, 1);

    std::vector<std::unique_ptr<TrbStreamable>> released = collection.DeleteAll();
    EXPECT_EQ(released.size(), 1u);
    EXPECT_EQ(collection.Limit(), 0);
    EXPECT_EQ(TCountingObj::Live, 1);
    released.clear();

    collection.Insert(std::make_unique<TCountingObj>(1));
    collection.Insert(std::make_unique<TCountingObj>(2));
    collection.FreeAll();
    EXPECT_EQ(collection.Count(), 0);
    EXPECT_EQ(collection.Limit(), 0);
    EXPECT_EQ(TCountingObj::Live, 0);

    {
        TrbCollection owner;
        owner.Insert(std::make_unique<TCountingObj>(1));
        EXPECT_EQ(TCountingObj::Live, 1);
    }
    EXPECT_EQ(TCountingObj::Live, 0);
}

TEST_F(CollectionTest, LimitsOutsideTheRulesChangeNothing) {
    TRecordingColl collection;
    for (std::uint16_t i = 0; i < 6; ++i) {
        collection.Insert(std::make_unique<TCountingObj>(i));
    }
    EXPECT_EQ(collection.Limit(), 8);
    collection.SetLimit(5);
    EXPECT_EQ(collection.Limit(), 8);
    EXPECT_EQ(collection.errors.back(), std::make_pair(TrbCollection::coOverflow, 5));
    collection.SetLimit(TrbCollection::kMaxCollectionSize);
    EXPECT_EQ(collection.Limit(), 8);
    collection.SetCount(-1);
    EXPECT_EQ(collection.Count(), 6);
    collection.SetLimit(6);
    EXPECT_EQ(collection.Limit(), 6);
    EXPECT_EQ(ValueAt(collection, 5), 5);

    // A Grow that makes no room refuses the insert instead of passing the limit.
    TFixedColl fixed;
    TrbInsertResult result = fixed.Insert(std::make_unique<TCountingObj>(1));
    EXPECT_FALSE(result.Inserted);
    EXPECT_NE(result.Refused, nullptr);
    EXPECT_EQ(fixed.Count(), 0);
    EXPECT_EQ(fixed.errors.back().first, TrbCollection::coOverflow);
}

} // namespace
} // namespace ravlo
