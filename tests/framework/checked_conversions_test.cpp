#include "framework/checked_conversions.h"
#include "framework/text_settings.h"
#include "platform/cp1250.h"

#include <gtest/gtest.h>
#include <limits>

namespace ravlo {
namespace {

const std::string kIntegerSyntax = Utf8ToCp1250("Syntaktická chyba v zápisu čísla integer ");
const std::string kLongIntSyntax = Utf8ToCp1250("Syntaktická chyba v zápisu čísla longint ");
const std::string kRealSyntax = Utf8ToCp1250("Syntaktická chyba v zápisu čísla real ");
const std::string kOutOfRange = "Hodnota mimo meze ";

constexpr std::int32_t kIntMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kIntMin = std::numeric_limits<std::int32_t>::min();

// Runs StrToIntChk on text and answers the text it leaves (empty on success).
std::string IntResult(std::string text, std::int32_t& value, std::uint32_t options = 0,
                      std::int32_t max = kIntMax, std::int32_t min = kIntMin) {
    const bool ok = StrToIntChk(text, 255, value, options, max, min);
    EXPECT_EQ(ok, text.empty());
    return text;
}

TEST(CheckedConversionsTest, IntegerSuccessAndMessages) {
    std::int32_t value = -1;
    EXPECT_EQ(IntResult("123", value), "");
    EXPECT_EQ(value, 123);
    EXPECT_EQ(IntResult("$FF", value), "");
    EXPECT_EQ(value, 255);
    EXPECT_EQ(IntResult("  $10", value), ""); // typed input may start with blanks
    EXPECT_EQ(value, 16);

    value = 7;
    EXPECT_EQ(IntResult("12x", value), kIntegerSyntax);
    EXPECT_EQ(IntResult("12 ", value), kIntegerSyntax);
    EXPECT_EQ(IntResult("\t12", value), kIntegerSyntax);
    EXPECT_EQ(IntResult("   ", value), kIntegerSyntax);
    EXPECT_EQ(IntResult("", value), kIntegerSyntax);
    EXPECT_EQ(IntResult("2147483648", value), kIntegerSyntax); // beyond 32 bits is no number at all
    EXPECT_EQ(IntResult("2000", value, 0, 1000, 0), kOutOfRange);
    EXPECT_EQ(IntResult("-1", value, 0, 1000, 0), kOutOfRange);
    EXPECT_EQ(value, 7); // unchanged by every failure
}

TEST(CheckedConversionsTest, ExclusiveLimitOptions) {
    std::int32_t value = 0;
    EXPECT_EQ(IntResult("0", value, 0, 10, 0), "");
    EXPECT_EQ(IntResult("10", value, 0, 10, 0), "");
    EXPECT_EQ(IntResult("0", value, kChkMinExclusive, 10, 0), kOutOfRange);
    EXPECT_EQ(IntResult("1", value, kChkMinExclusive, 10, 0), "");
    EXPECT_EQ(IntResult("10", value, kChkMaxExclusive, 10, 0), kOutOfRange);
    EXPECT_EQ(IntResult("9", value, kChkMaxExclusive, 10, 0), "");
    EXPECT_EQ(IntResult("0", value, kChkMaxExclusive, 10, 0), ""); // 0x800 leaves the minimum inclusive
}

TEST(CheckedConversionsTest, MessageIsCutToMaxLenAndFailureStaysVisible) {
    std::string text = "abc";
    std::int32_t value = 0;
    EXPECT_FALSE(StrToIntChk(text, 9, value, 0, 10, 0));
    EXPECT_EQ(text, kIntegerSyntax.substr(0, 9));

    text = "abc";
    EXPECT_FALSE(StrToIntChk(text, 0, value, 0, 10, 0)); // an empty message is still a failure
    EXPECT_EQ(text, "");
}

TEST(CheckedConversionsTest, LongIntAndDWord) {
    std::string text = "x";
    std::int32_t longValue = 0;
    EXPECT_FALSE(StrToLongIntChk(text, 255, longValue, 0, 10, 0));
    EXPECT_EQ(text, kLongIntSyntax);
    text = "-$10";
    EXPECT_TRUE(StrToLongIntChk(text, 255, longValue, 0, 10, -20));
    EXPECT_EQ(longValue, -16);

    std::uint32_t value = 5;
    text = "4294967295";
    EXPECT_TRUE(StrToDWordChk(text, 255, value, 0, 0xFFFFFFFF, 0));
    EXPECT_EQ(value, 0xFFFFFFFFu);

    // Compared unsigned: $90000000 lies between $80000000 and $FFFFFFFF, 5 does not.
    text = "$90000000";
    EXPECT_TRUE(StrToDWordChk(text, 255, value, 0, 0xFFFFFFFF, 0x80000000));
    EXPECT_EQ(value, 0x90000000u);
    text = "5";
    EXPECT_FALSE(StrToDWordChk(text, 255, value, 0, 0xFFFFFFFF, 0x80000000));
    EXPECT_EQ(text, kOutOfRange);

    for (const char* outside : {"-1", "4294967296", "$100000000"}) {
        text = outside;
        EXPECT_FALSE(StrToDWordChk(text, 255, value, 0, 0xFFFFFFFF, 0)) << outside;
        EXPECT_EQ(text, kOutOfRange) << outside;
    }
    text = "abc";
    EXPECT_FALSE(StrToDWordChk(text, 255, value, 0, 0xFFFFFFFF, 0));
    EXPECT_EQ(text, kLongIntSyntax);
    EXPECT_EQ(value, 0x90000000u);
}

TEST(CheckedConversionsTest, Real) {
    std::string text = "1.5";
    double value = 0;
    EXPECT_TRUE(StrToRealChk(text, 255, value, 0, 10.0, 0.0));
    EXPECT_EQ(value, 1.5);
    for (const char* bad : {"1,5", "1e400", "$1"}) {
        text = bad;
        EXPECT_FALSE(StrToRealChk(text, 255, value, 0, 10.0, 0.0)) << bad;
        EXPECT_EQ(text, kRealSyntax) << bad;
    }
    text = "2.5";
    EXPECT_FALSE(StrToRealChk(text, 255, value, kChkMaxExclusive, 2.5, 0.0));
    EXPECT_EQ(text, kOutOfRange);
    EXPECT_EQ(value, 1.5);
}

class CheckedDateTimeTest : public ::testing::Test {
protected:
    void SetUp() override { ResetTextFormatSettings(); }
    void TearDown() override { ResetTextFormatSettings(); }

    // "year-month-day" on success, else the error text.
    static std::string Date(std::string_view text) {
        std::string err;
        std::uint16_t year = 0, month = 0, day = 0;
        if (!StrToDateChk(text, err, year, month, day)) {
            return err;
        }
        return std::to_string(year) + "-" + std::to_string(month) + "-" + std::to_string(day);
    }
    static std::string Time(std::string_view text) {
        std::string err;
        std::uint16_t hour = 0, min = 0, sec = 0;
        if (!StrToTimeChk(text, err, hour, min, sec)) {
            return err;
        }
        return std::to_string(hour) + ":" + std::to_string(min) + ":" + std::to_string(sec);
    }
};

TEST_F(CheckedDateTimeTest, TwoDigitYearsSplitAt80) {
    EXPECT_EQ(Date("1.2.79"), "2079-2-1");
    EXPECT_EQ(Date("1.2.80"), "1980-2-1");
    EXPECT_EQ(Date("1.2.0"), "2000-2-1");
    EXPECT_EQ(Date("1.2"), "2000-2-1"); // a missing year counts as 0
    EXPECT_EQ(Date("31.12.1980"), "1980-12-31");
    EXPECT_EQ(Date("1/2/2079"), "2079-2-1");
}

TEST_F(CheckedDateTimeTest, DateFieldRangesAndTheirMessages) {
    EXPECT_EQ(Date("1.2.1979"), kOutOfRange + "<1980,2079>");
    EXPECT_EQ(Date("1.2.2080"), kOutOfRange + "<1980,2079>");
    EXPECT_EQ(Date("1.2.079"), kOutOfRange + "<1980,2079>");
    EXPECT_EQ(Date("0.2.2000"), kOutOfRange + "< 1,31>");
    EXPECT_EQ(Date("32.1.2000"), kOutOfRange + "< 1,31>");
    EXPECT_EQ(Date(""), kOutOfRange + "< 1,31>");
    EXPECT_EQ(Date("1.13.2000"), kOutOfRange + "< 1,12>");
    EXPECT_EQ(Date("1.0.1900"), kOutOfRange + "< 1,12>"); // the day is checked first, then the month
    // A group of more than four digits is out of range, not cut into a valid-looking value.
    EXPECT_EQ(Date("1.2.20790"), kOutOfRange + "<1980,2079>");
    EXPECT_EQ(Date("00001.2.2000"), kOutOfRange + "< 1,31>");
    // Only the first 40 characters count: the year lies beyond them.
    EXPECT_EQ(Date("1.2." + std::string(36, ' ') + "1999"), "2000-2-1");
}

TEST_F(CheckedDateTimeTest, FieldsAreStoredAsTheyPass) {
    std::string err;
    std::uint16_t year = 0, month = 0, day = 0;
    EXPECT_FALSE(StrToDateChk("5.13.2000", err, year, month, day));
    EXPECT_EQ(day, 5);
    EXPECT_EQ(month, 0);
    EXPECT_EQ(year, 0);
}

TEST_F(CheckedDateTimeTest, DateOrders) {
    DateOrder = kDateOrderYearMonthDay;
    EXPECT_EQ(Date("2024-03-07"), "2024-3-7");
    DateOrder = kDateOrderMonthDayYear;
    EXPECT_EQ(Date("3/7/24"), "2024-3-7");
    EXPECT_EQ(Date("13/7/24"), kOutOfRange + "< 1,12>");
}

TEST_F(CheckedDateTimeTest, Times) {
    EXPECT_EQ(Time("12:30:15"), "12:30:15");
    EXPECT_EQ(Time("12:30"), "12:30:0");
    EXPECT_EQ(Time("0:0:0"), "0:0:0");
    EXPECT_EQ(Time("24:00:00"), kOutOfRange + "< 0,23>");
    EXPECT_EQ(Time("12:60"), kOutOfRange + "< 0,59>");
    EXPECT_EQ(Time("23:59:60"), kOutOfRange + "< 0,59>");
}

} // namespace
} // namespace ravlo
