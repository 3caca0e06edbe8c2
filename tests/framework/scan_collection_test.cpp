#include "framework/framework_classes.h"
#include "framework/scan_collection.h"
#include "framework/stream_test_support.h"
#include "platform/cp1250.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>

namespace ravlo {
namespace {

using test::Bytes;

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

// Items numbered by W so that every sort's result reads as a list of W.
void FillSample(TScanObjColl& collection) {
    AddScan(collection, 0, 5, "beta");
    AddScan(collection, 1, 0xFFFFFFFF, std::nullopt);
    AddScan(collection, 2, 0x80000000, "Alpha");
    AddScan(collection, 3, 7, "");
    AddScan(collection, 4, 0x7FFFFFFF, "alpha2");
    AddScan(collection, 5, 0, "\xC8"); // capital C caron
}

TEST(ScanCollectionTest, FiveSortsOrderByTheirKeys) {
    TScanObjColl collection;
    FillSample(collection);
    collection.QuickSort_L();
    EXPECT_EQ(Ws(collection), (std::vector<std::uint16_t>{2, 1, 5, 0, 3, 4}));
    collection.QuickSort_DW();
    EXPECT_EQ(Ws(collection), (std::vector<std::uint16_t>{5, 0, 3, 4, 2, 1}));
    collection.QuickSort_Pch();
    EXPECT_EQ(Ws(collection), (std::vector<std::uint16_t>{1, 3, 2, 4, 0, 5}));
    collection.QuickSort_AnsiPch();
    EXPECT_EQ(Ws(collection), (std::vector<std::uint16_t>{1, 3, 2, 4, 0, 5}));
    collection.QuickSort_W();
    EXPECT_EQ(Ws(collection), (std::vector<std::uint16_t>{0, 1, 2, 3, 4, 5}));

    // Ignoring case puts "alpha" before "Beta"; the byte compare puts "B" first.
    TScanObjColl texts;
    AddScan(texts, 0, 0, "alpha");
    AddScan(texts, 1, 0, "Beta");
    AddScan(texts, 2, 0, "ALPHA");
    texts.QuickSort_Pch();
    EXPECT_EQ(Ws(texts), (std::vector<std::uint16_t>{2, 1, 0}));
    texts.QuickSort_AnsiPch();
    EXPECT_EQ(Ws(texts)[2], 1);
}

TEST(ScanCollectionTest, NilTextsAndNilSlotsSortFirst) {
    TScanObjColl collection;
    AddScan(collection, 0, 0, "a");
    AddScan(collection, 1, 0, std::nullopt);
    collection.Insert(nullptr);
    AddScan(collection, 3, 0, std::nullopt);
    collection.QuickSort_Pch();
    const std::vector<std::uint16_t> order = Ws(collection);
    ASSERT_EQ(order.size(), 4u);
    EXPECT_EQ(order[0], 0xFFFF);
    EXPECT_EQ(std::min(order[1], order[2]), 1);
    EXPECT_EQ(std::max(order[1], order[2]), 3);
    EXPECT_EQ(order[3], 0);

    TScanObjColl empty;
    empty.QuickSort_W();
    EXPECT_EQ(empty.Count(), 0);
}

TEST(ScanCollectionTest, LargeSortsMatchAStableReference) {
    std::mt19937 random(12345);
    TScanObjColl collection;
    std::vector<std::uint32_t> reference;
    for (int i = 0; i < 2000; ++i) {
        // Few distinct keys, many repeats, to exercise equal keys around the pivot.
        const std::uint32_t l = random() % 50 - 25;
        AddScan(collection, static_cast<std::uint16_t>(i), l, std::nullopt);
        reference.push_back(l);
    }
    collection.QuickSort_L();
    std::sort(reference.begin(), reference.end(), [](std::uint32_t a, std::uint32_t b) {
        return static_cast<std::int32_t>(a) < static_cast<std::int32_t>(b);
    });
    std::vector<std::uint32_t> sorted;
    std::vector<bool> seen(2000, false);
    for (std::int32_t i = 0; i < collection.Count(); ++i) {
        sorted.push_back(collection.ItemAt(i)->L);
        seen[collection.ItemAt(i)->W] = true;
    }
    EXPECT_EQ(sorted, reference);
    EXPECT_TRUE(std::all_of(seen.begin(), seen.end(), [](bool b) { return b; }));
}

TEST(ScanCollectionTest, ScanObjectStreamLayoutAndLoadClearsReferences) {
    RegisterFrameworkClasses();
    int marker = 0;
    TScanObject obj(0x0102, 0xA0B0C0D0, &marker, &marker, "hi");
    const auto written = test::WriteObjects([&](TrbObjStream& s) { s.Put(&obj); });
    EXPECT_EQ(written.bytes,
              Bytes({0x00, 0x00, 0x02, 0x01, 0xD0, 0xC0, 0xB0, 0xA0, 0x02, 0x00, 0x00, 0x00, 'h', 'i'}));
    const auto loaded = test::ReadObject<TScanObject>(written);
    EXPECT_EQ(std::tuple(loaded->W, loaded->L, loaded->Text), std::tuple(0x0102, 0xA0B0C0D0u, "hi"));
    EXPECT_EQ(loaded->Ref1, nullptr);
    EXPECT_EQ(loaded->Ref2, nullptr);
}

} // namespace
} // namespace ravlo
