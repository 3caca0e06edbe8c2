#include "framework/param_obj.h"

#include <array>
#include <cstring>
#include <gtest/gtest.h>

namespace ravlo {
namespace {

// A packed record as the board state blocks are: fields at odd offsets.
struct Record {
    std::array<std::uint8_t, 16> bytes{};

    template <typename T>
    void Put(std::size_t offset, T value) {
        std::memcpy(bytes.data() + offset, &value, sizeof value);
    }
};

TEST(ParamObj, OnlyANewValueOfItsRecordIsAChangeAndSetBaseRebinds) {
    Record first;
    Record second;
    first.Put<std::uint16_t>(1, 17);
    TWordParamObj value(&first, 5, 0, 1, 0, 65535);
    EXPECT_EQ(value.Last, 17) << "the current field value is not a change";
    EXPECT_FALSE(value.Changed(&first));
    first.Put<std::uint16_t>(1, 42);
    EXPECT_FALSE(value.Changed(&second));
    EXPECT_FALSE(value.Changed(nullptr));
    EXPECT_TRUE(value.Changed(&first));
    EXPECT_FALSE(value.Changed(&first));
    second.Put<std::uint16_t>(4, 500);
    value.SetBase(&second, 4);
    EXPECT_FALSE(value.Changed(&first));
    EXPECT_TRUE(value.Changed(&second));
    EXPECT_EQ(value.FormatValue(), "  500");
    value.SetBase(nullptr, 4);
    EXPECT_EQ(value.GetValuePtr(), nullptr);
    EXPECT_FALSE(value.Changed(nullptr));
    // The base class has no value: every notification for its record is a change.
    TParamObj plain(&first, 4, 0, 2);
    EXPECT_TRUE(plain.Changed(&first));
    EXPECT_TRUE(plain.Changed(&first));
    EXPECT_EQ(plain.FormatValue(), "");
}

TEST(ParamObj, TextsAreSignedRangedOrHexOfTheirTypesWidth) {
    Record record;
    record.Put<std::int32_t>(5, -5);
    record.Put<std::uint8_t>(0, 0x0A);
    record.Put<std::uint16_t>(1, 0x00BE);
    EXPECT_EQ(TIntegerParamObj(&record, 4, kParamRange, 5, -10, 10).FormatValue(), "  -5")
        << "-5 lies inside -10..10 only when compared signed";
    EXPECT_EQ(TIntegerParamObj(&record, 6, 0, 5, 0, 0).FormatValue(), "    -5");
    EXPECT_EQ(TByteParamObj(&record, 3, kParamRange, 0, 11, 20).FormatValue(), "   ");
    EXPECT_EQ(TByteParamObj(&record, 3, kParamRange, 0, 1, 9).FormatValue(), "   ");
    EXPECT_EQ(TByteParamObj(&record, 3, kParamRange, 0, 1, 10).FormatValue(), " 10");
    EXPECT_EQ(TByteParamObj(&record, 0, kParamHex, 0, 0, 255).FormatValue(), "$0A");
    EXPECT_EQ(TWordParamObj(&record, 0, kParamHex, 1, 0, 65535).FormatValue(), "$00BE");
    record.Put<std::int32_t>(5, 0x12345678);
    EXPECT_EQ(TIntegerParamObj(&record, 0, kParamHex, 5, 0, 0x7FFFFFFF).FormatValue(), "$5678"); // low word
}

// That a nil base never changes is in the first test; every type shares Changed.
TEST(ParamObj, WithoutARecordTheValueHasItsMarker) {
    EXPECT_EQ(TByteParamObj(nullptr, 3, 0, 4, 0, 255).Last, 255);
    EXPECT_EQ(TWordParamObj(nullptr, 5, 0, 4, 0, 65535).Last, 65535);
    EXPECT_EQ(TIntegerParamObj(nullptr, 5, 0, 4, -100, 100).Last, -1);
}

} // namespace
} // namespace ravlo
