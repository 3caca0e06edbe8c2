#include "platform/cp1250.h"
#include "platform/text_case.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

TEST(TextCase, CzechSlovakAndPolishLettersHaveCase) {
    const std::string small = Utf8ToCp1250("příliš žluťoučký kůň úpěl ďábelské ódy ľščťžýáíéäôĺŕ łąśźżş");
    const std::string capital = Utf8ToCp1250("PŘÍLIŠ ŽLUŤOUČKÝ KŮŇ ÚPĚL ĎÁBELSKÉ ÓDY ĽŠČŤŽÝÁÍÉÄÔĹŔ ŁĄŚŹŻŞ");
    EXPECT_EQ(Cp1250ToUpper(small), capital);
    EXPECT_TRUE(SameTextNoCase(small, capital));
    EXPECT_EQ(CompareTextNoCase(capital, small), 0);
}

TEST(TextCase, EveryPairIsConsistent) {
    for (int b = 0; b < 256; ++b) {
        const char c = static_cast<char>(b);
        EXPECT_EQ(Cp1250ToLower(Cp1250ToUpper(Cp1250ToLower(c))), Cp1250ToLower(c)) << b;
        if (Cp1250ToUpper(c) != c) {
            EXPECT_EQ(Cp1250ToLower(Cp1250ToUpper(c)), c) << b;
        }
    }
}

TEST(TextCase, CaselessSymbolsStayAloneAndComparisonsOrder) {
    // Times, divide and sharp s have no case partner.
    EXPECT_EQ(Cp1250ToUpper("\xD7\xF7\xDF 1-9 [x]"), "\xD7\xF7\xDF 1-9 [X]");
    EXPECT_EQ(Cp1250ToLower('\xD7'), '\xD7');
    EXPECT_EQ(Cp1250ToLower('\xDF'), '\xDF');
    EXPECT_FALSE(SameTextNoCase("\xD7", "\xF7"));
    EXPECT_FALSE(SameTextNoCase("ab", "abc"));
    EXPECT_TRUE(SameTextNoCase("", ""));
    EXPECT_EQ(CompareTextNoCase("abc", "ABD"), -1);
    EXPECT_EQ(CompareTextNoCase("ABC", "abc"), 0);
    EXPECT_EQ(CompareTextNoCase("ab", "abc"), -1);
    EXPECT_EQ(CompareTextNoCase("z", Utf8ToCp1250("č")), -1);
}

} // namespace
} // namespace ravlo
