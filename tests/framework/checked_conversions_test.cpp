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

// Typed input may start with blanks; beyond 32 bits is no number at all; with an exclusive maximum
// the minimum stays inclusive. Every failure leaves the value as it was.
TEST(CheckedConversionsTest, IntegerSuccessMessagesAndExclusiveLimits) {
    const struct {
        const char* text;
        std::uint32_t options;
        std::int32_t max, min;
        std::string message; // empty: converted
        std::int32_t value = 0;
    } cases[] = {{"$FF", 0, kIntMax, kIntMin, "", 255},
                 {"  $10", 0, kIntMax, kIntMin, "", 16},
                 {"12 ", 0, kIntMax, kIntMin, kIntegerSyntax},
                 {"\t12", 0, kIntMax, kIntMin, kIntegerSyntax}, // only blanks may lead
                 {"", 0, kIntMax, kIntMin, kIntegerSyntax},
                 {"2147483648", 0, kIntMax, kIntMin, kIntegerSyntax},
                 {"-1", 0, 1000, 0, kOutOfRange},
                 {"10", 0, 10, 0, "", 10},
                 {"0", kChkMinExclusive, 10, 0, kOutOfRange},
                 {"1", kChkMinExclusive, 10, 0, "", 1},
                 {"10", kChkMaxExclusive, 10, 0, kOutOfRange},
                 {"0", kChkMaxExclusive, 10, 0, "", 0}};
    for (const auto& c : cases) {
        std::string text = c.text;
        std::int32_t value = 7;
        EXPECT_EQ(StrToIntChk(text, 255, value, c.options, c.max, c.min), c.message.empty()) << c.text;
        EXPECT_EQ(text, c.message) << c.text;
        EXPECT_EQ(value, c.message.empty() ? c.value : 7) << c.text;
    }
    // The message is cut to the asked length; an empty message is still a failure.
    std::string text = "abc";
    std::int32_t value = 0;
    EXPECT_FALSE(StrToIntChk(text, 9, value, 0, 10, 0));
    EXPECT_EQ(text, kIntegerSyntax.substr(0, 9));
    text = "abc";
    EXPECT_FALSE(StrToIntChk(text, 0, value, 0, 10, 0));
}

TEST(CheckedConversionsTest, LongIntDWordAndReal) {
    std::string text = "x";
    std::int32_t longValue = 0;
    EXPECT_FALSE(StrToLongIntChk(text, 255, longValue, 0, 10, 0));
    EXPECT_EQ(text, kLongIntSyntax);
    text = "-$10";
    EXPECT_TRUE(StrToLongIntChk(text, 255, longValue, 0, 10, -20));
    EXPECT_EQ(longValue, -16);
    // Compared unsigned: $90000000 lies between $80000000 and $FFFFFFFF, 5 does not.
    std::uint32_t value = 5;
    text = "$90000000";
    EXPECT_TRUE(StrToDWordChk(text, 255, value, 0, 0xFFFFFFFF, 0x80000000));
    EXPECT_EQ(value, 0x90000000u);
    for (const char* outside : {"5", "-1", "4294967296"}) {
        text = outside;
        EXPECT_FALSE(StrToDWordChk(text, 255, value, 0, 0xFFFFFFFF, 0x80000000)) << outside;
        EXPECT_EQ(text, kOutOfRange) << outside;
    }
    text = "abc";
    EXPECT_FALSE(StrToDWordChk(text, 255, value, 0, 0xFFFFFFFF, 0));
    EXPECT_EQ(text, kLongIntSyntax);
    EXPECT_EQ(value, 0x90000000u);
    double real = 0;
    text = "1.5";
    EXPECT_TRUE(StrToRealChk(text, 255, real, 0, 10.0, 0.0));
    text = "1,5"; // what reads as a real: NumberParseTest.RealGrammar
    EXPECT_FALSE(StrToRealChk(text, 255, real, 0, 10.0, 0.0));
    EXPECT_EQ(text, kRealSyntax);
    text = "2.5";
    EXPECT_FALSE(StrToRealChk(text, 255, real, kChkMaxExclusive, 2.5, 0.0));
    EXPECT_EQ(text, kOutOfRange);
    EXPECT_EQ(real, 1.5);
}

class CheckedDateTimeTest : public ::testing::Test {
protected:
    void SetUp() override { ResetTextFormatSettings(); }
    void TearDown() override { ResetTextFormatSettings(); }

    // The three fields joined by sep on success (year-month-day, hour:min:sec), else the error text.
    template <class Check>
    static std::string Fields(Check check, std::string_view text, const char* sep) {
        std::string err;
        std::uint16_t a = 0, b = 0, c = 0;
        if (!check(text, err, a, b, c)) {
            return err;
        }
        return std::to_string(a) + sep + std::to_string(b) + sep + std::to_string(c);
    }
    static std::string Date(std::string_view text) {
        return Fields([](auto&... f) { return StrToDateChk(f...); }, text, "-");
    }
    static std::string Time(std::string_view text) {
        return Fields([](auto&... f) { return StrToTimeChk(f...); }, text, ":");
    }
};

TEST_F(CheckedDateTimeTest, DatesTwoDigitYearsAndFieldRanges) {
    const std::string years = kOutOfRange + "<1980,2079>", days = kOutOfRange + "< 1,31>",
                      months = kOutOfRange + "< 1,12>";
    const struct {
        int order;
        std::string text, result;
    } cases[] = {{kDateOrderDayMonthYear, "1.2.79", "2079-2-1"}, // two-digit years split at 80
                 {kDateOrderDayMonthYear, "1.2.80", "1980-2-1"},
                 {kDateOrderDayMonthYear, "1.2", "2000-2-1"}, // a missing year counts as 0
                 {kDateOrderDayMonthYear, "1/2/2079", "2079-2-1"},
                 {kDateOrderDayMonthYear, "1.2.1979", years},
                 {kDateOrderDayMonthYear, "1.2.2080", years},
                 {kDateOrderDayMonthYear, "1.2.079", years}, // three digits are no two-digit year
                 {kDateOrderDayMonthYear, "0.2.2000", days},
                 {kDateOrderDayMonthYear, "32.1.2000", days},
                 {kDateOrderDayMonthYear, "1.13.2000", months},
                 {kDateOrderDayMonthYear, "1.0.1900", months}, // the day is checked first, then the month
                 // A group of more than four digits is out of range, not cut into a valid-looking value.
                 {kDateOrderDayMonthYear, "1.2.20790", years},
                 {kDateOrderDayMonthYear, "00001.2.2000", days},
                 // Only the first 40 characters count: the year lies beyond them.
                 {kDateOrderDayMonthYear, "1.2." + std::string(36, ' ') + "1999", "2000-2-1"},
                 {kDateOrderYearMonthDay, "2024-03-07", "2024-3-7"},
                 {kDateOrderMonthDayYear, "3/7/24", "2024-3-7"},
                 {kDateOrderMonthDayYear, "13/7/24", months}};
    for (const auto& c : cases) {
        DateOrder = c.order;
        EXPECT_EQ(Date(c.text), c.result) << c.text;
    }
}

TEST_F(CheckedDateTimeTest, TimesAndFieldsStoredAsTheyPass) {
    EXPECT_EQ(Time("12:30"), "12:30:0");
    EXPECT_EQ(Time("24:00:00"), kOutOfRange + "< 0,23>");
    EXPECT_EQ(Time("23:59:60"), kOutOfRange + "< 0,59>");
    std::string err;
    std::uint16_t year = 0, month = 0, day = 0;
    EXPECT_FALSE(StrToDateChk("5.13.2000", err, year, month, day));
    EXPECT_EQ(std::tuple(day, month, year), std::tuple(5, 0, 0));
}

} // namespace
} // namespace ravlo
