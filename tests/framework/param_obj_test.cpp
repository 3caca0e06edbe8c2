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

TEST(ParamObj, SameContentReportsOnceAndStartsFromTheFieldValue) {
    Record record;
    record.Put<std::uint8_t>(3, 17);
    TByteParamObj value(&record, 3, 0, 3, 0, 255);
    EXPECT_EQ(value.Last, 17) << "the current field value is not a change";
    EXPECT_FALSE(value.Changed(&record));
    record.Put<std::uint8_t>(3, 18);
    EXPECT_TRUE(value.Changed(&record));
    EXPECT_FALSE(value.Changed(&record));
    EXPECT_EQ(value.FormatValue(), " 18");
}

TEST(ParamObj, BaseClassMatchesOnTheRecordAlone) {
    Record record;
    TParamObj value(&record, 4, 0, 2);
    EXPECT_TRUE(value.Changed(&record));
    EXPECT_TRUE(value.Changed(&record));
    EXPECT_EQ(value.FormatValue(), "");
    EXPECT_EQ(value.GetValuePtr(), record.bytes.data() + 2);
    EXPECT_EQ(value.GetSize(), 0u);
}

TEST(ParamObj, RangeFlagShowsBlanksOutsideMinMax) {
    Record record;
    record.Put<std::uint8_t>(0, 12);
    TByteParamObj value(&record, 3, kParamRange, 0, 1, 9);
    EXPECT_EQ(value.FormatValue(), "   ");
    record.Put<std::uint8_t>(0, 9);
    ASSERT_TRUE(value.Changed(&record));
    EXPECT_EQ(value.FormatValue(), "  9");
    record.Put<std::uint8_t>(0, 0);
    ASSERT_TRUE(value.Changed(&record));
    EXPECT_EQ(value.FormatValue(), "   ");
}

TEST(ParamObj, IntegerComparesSignedAndShowsTheLowWordInHex) {
    Record record;
    record.Put<std::int32_t>(5, 0x12345678);
    TIntegerParamObj hex(&record, 0, kParamHex, 5, 0, 0x7FFFFFFF);
    EXPECT_EQ(hex.FormatValue(), "$5678");
    EXPECT_EQ(hex.GetSize(), 4u);
    EXPECT_EQ(*static_cast<const std::int32_t*>(hex.GetLastPtr()), 0x12345678);

    record.Put<std::int32_t>(5, -5);
    TIntegerParamObj ranged(&record, 4, kParamRange, 5, -10, 10);
    EXPECT_EQ(ranged.FormatValue(), "  -5") << "-5 lies inside -10..10 only when compared signed";
    TIntegerParamObj decimal(&record, 6, 0, 5, 0, 0);
    EXPECT_EQ(decimal.FormatValue(), "    -5");
    // Hex texts have the width of their type.
    record.Put<std::uint8_t>(0, 0x0A);
    record.Put<std::uint16_t>(1, 0x00BE);
    EXPECT_EQ(TByteParamObj(&record, 0, kParamHex, 0, 0, 255).FormatValue(), "$0A");
    EXPECT_EQ(TWordParamObj(&record, 0, kParamHex, 1, 0, 65535).FormatValue(), "$00BE");
}

TEST(ParamObj, WithoutARecordTheValueHasItsMarkerAndNeverChanges) {
    TByteParamObj byteValue(nullptr, 3, 0, 4, 0, 255);
    TWordParamObj wordValue(nullptr, 5, 0, 4, 0, 65535);
    TIntegerParamObj intValue(nullptr, 5, 0, 4, -100, 100);
    EXPECT_EQ(byteValue.Last, 255);
    EXPECT_EQ(wordValue.Last, 65535);
    EXPECT_EQ(intValue.Last, -1);
    EXPECT_EQ(byteValue.GetValuePtr(), nullptr);
    // A notification with a nil base matches the nil base, but there is no field to read.
    EXPECT_FALSE(byteValue.Changed(nullptr));
    EXPECT_FALSE(wordValue.Changed(nullptr));
    EXPECT_FALSE(intValue.Changed(nullptr));
}

TEST(ParamObj, OnlyANotificationForItsRecordReportsAChangeAndSetBaseRebinds) {
    Record first;
    Record second;
    TWordParamObj value(&first, 5, 0, 1, 0, 65535);
    first.Put<std::uint16_t>(1, 42);
    EXPECT_FALSE(value.Changed(&second));
    EXPECT_FALSE(value.Changed(nullptr));
    EXPECT_TRUE(value.Changed(&first));
    EXPECT_EQ(value.Last, 42);

    second.Put<std::uint16_t>(4, 500);
    value.SetBase(&second, 4);
    EXPECT_EQ(value.GetValuePtr(), second.bytes.data() + 4);
    EXPECT_FALSE(value.Changed(&first));
    EXPECT_TRUE(value.Changed(&second));
    EXPECT_EQ(value.FormatValue(), "  500");
    value.SetBase(nullptr, 4);
    EXPECT_EQ(value.GetValuePtr(), nullptr);
    EXPECT_FALSE(value.Changed(nullptr));
}

} // namespace
} // namespace ravlo
