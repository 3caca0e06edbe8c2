#include "platform/cp1250.h"
#include "platform/text_case.h"

#include <gtest/gtest.h>
#include <string>

namespace ravlo {
namespace {

TEST(Cp1250, EveryByteSurvivesTheRoundTripAndCzechLettersConvertBothWays) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all += static_cast<char>(b);
    }
    EXPECT_EQ(Utf8ToCp1250(Cp1250ToUtf8(all)), all);

    const std::string utf8 = "Příliš žluťoučký kůň úpěl ďábelské ódy ĚŠČŘŽÝÁÍÉÚŮŤĎŇ € „…“ – — ™";
    const std::string cp1250 =
        "P\xF8\xED\x6C\x69\x9A \x9Elu\x9Dou\xE8k\xFD k\xF9\xF2 \xFAp\xECl \xEF\xE1"
        "belsk\xE9 \xF3"
        "dy \xCC\x8A\xC8\xD8\x8E\xDD\xC1\xCD\xC9\xDA\xD9\x8D\xCF\xD2 \x80 \x84\x85\x93 \x96 \x97 \x99";
    EXPECT_EQ(Utf8ToCp1250(utf8), cp1250);
    EXPECT_EQ(Cp1250ToUtf8(cp1250), utf8);
}

TEST(Cp1250, MalformedUtf8PassesThroughAndUnmappableCharactersBecomeQuestionMarks) {
    const struct {
        std::string in, out;
    } cases[] = {
        {"a\xC3", "a\xC3"},                                                           // cut short at the end
        {"\xC3(", "\xC3("},                                                           // bad continuation byte
        {"\xC0\xAF", "\xC0\xAF"},                                                     // overlong
        {"\xE0\x80\x80", "\xE0\x80\x80"},                                             // overlong, three bytes
        {"\xED\xA0\x80", "\xED\xA0\x80"},                                             // a surrogate
        {"\xF8\x88\x80\x80\x80", "\xF8\x88\x80\x80\x80"},                             // no such lead byte
        {"\xE8\x61\x73 \xF8\xED\x7A\x65n\xED", "\xE8\x61\x73 \xF8\xED\x7A\x65n\xED"}, // stored, never UTF-8
        {"日本", "??"},
        {"a😀b", "a?b"},
        {"ñ", "?"}, // Latin, but not in this code page
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8ToCp1250(c.in), c.out) << c.in;
    }
}

TEST(TextCase, CzechSlovakAndPolishLettersHaveCaseAndEveryPairIsConsistent) {
    const std::string small = Utf8ToCp1250("příliš žluťoučký kůň úpěl ďábelské ódy ľščťžýáíéäôĺŕ łąśźżş");
    const std::string capital = Utf8ToCp1250("PŘÍLIŠ ŽLUŤOUČKÝ KŮŇ ÚPĚL ĎÁBELSKÉ ÓDY ĽŠČŤŽÝÁÍÉÄÔĹŔ ŁĄŚŹŻŞ");
    EXPECT_EQ(Cp1250ToUpper(small), capital);
    EXPECT_TRUE(SameTextNoCase(small, capital));
    EXPECT_EQ(CompareTextNoCase(capital, small), 0);

    // Times, divide and sharp s have no case partner; every other pair maps back and forth.
    for (int b = 0; b < 256; ++b) {
        const char c = static_cast<char>(b);
        EXPECT_EQ(Cp1250ToLower(Cp1250ToUpper(Cp1250ToLower(c))), Cp1250ToLower(c)) << b;
        if (Cp1250ToUpper(c) != c) {
            EXPECT_EQ(Cp1250ToLower(Cp1250ToUpper(c)), c) << b;
        }
    }
    EXPECT_EQ(Cp1250ToUpper("\xD7\xF7\xDF 1-9 [x]"), "\xD7\xF7\xDF 1-9 [X]");
    EXPECT_EQ(Cp1250ToLower('\xD7'), '\xD7');
    EXPECT_FALSE(SameTextNoCase("\xD7", "\xF7"));
    EXPECT_FALSE(SameTextNoCase("ab", "abc"));
    EXPECT_EQ(CompareTextNoCase("abc", "ABD"), -1);
    EXPECT_EQ(CompareTextNoCase("ab", "abc"), -1);
    EXPECT_EQ(CompareTextNoCase("z", Utf8ToCp1250("č")), -1);
}

} // namespace
} // namespace ravlo
