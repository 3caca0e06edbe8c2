#include "framework/number_parse.h"

#include <gtest/gtest.h>
#include <limits>

namespace ravlo {
namespace {

TEST(NumberParseTest, Int32TakesDecimalAndHexPatterns) {
    EXPECT_EQ(ValInt32("123"), 123);
    EXPECT_EQ(ValInt32("+5"), 5);
    EXPECT_EQ(ValInt32("-2147483648"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(ValInt32("2147483647"), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(ValInt32("$7fffffff"), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(ValInt32("$FFFFFFFF"), -1);
    EXPECT_EQ(ValInt32("-$10"), -16);
    EXPECT_EQ(ValInt32("$0000000000001"), 1); // leading zeros do not count
}

TEST(NumberParseTest, Int32RefusesMalformedAndOverflowingTexts) {
    for (const char* text : {"", "-", "+", "$", "-$", " 1", "1 ", "1G", "12a", "$-1", "0x10", "1.0", "--1",
                             "2147483648", "-2147483649", "$100000000", "99999999999999999999999"}) {
        EXPECT_FALSE(ValInt32(text).has_value()) << text;
    }
}

TEST(NumberParseTest, Int64AndDWordLimits) {
    EXPECT_EQ(ValInt64("9223372036854775807"), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(ValInt64("-9223372036854775808"), std::numeric_limits<std::int64_t>::min());
    EXPECT_FALSE(ValInt64("9223372036854775808").has_value());
    EXPECT_FALSE(ValInt64("-9223372036854775809").has_value());
    EXPECT_EQ(ValInt64("-$FFFFFFFF"), -4294967295LL);

    EXPECT_EQ(ValDWord("4294967295"), 0xFFFFFFFFu);
    EXPECT_EQ(ValDWord("$FFFFFFFF"), 0xFFFFFFFFu);
    EXPECT_EQ(ValDWord("-0"), 0u);
    EXPECT_FALSE(ValDWord("4294967296").has_value());
    EXPECT_FALSE(ValDWord("$100000000").has_value());
    EXPECT_FALSE(ValDWord("-1").has_value());
}

TEST(NumberParseTest, RealGrammar) {
    EXPECT_EQ(ValReal("1.5"), 1.5);
    EXPECT_EQ(ValReal("-2.5e3"), -2500.0);
    EXPECT_EQ(ValReal("1E+2"), 100.0);
    EXPECT_EQ(ValReal("+.5"), 0.5);
    EXPECT_EQ(ValReal("1."), 1.0);
    EXPECT_EQ(ValReal("-0"), 0.0);
    for (const char* text : {"", ".", "-", "1e", "e5", "1e+", "1,5", " 1", "1 ", "inf", "nan", "$10", "1.2.3",
                             "1e400", "1e-400", "0x1p3"}) {
        EXPECT_FALSE(ValReal(text).has_value()) << text;
    }
}

} // namespace
} // namespace ravlo
