#include "framework/text_settings.h"
#include "framework/token_readers.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

class TokenReadersTest : public ::testing::Test {
protected:
    void SetUp() override { ResetTextFormatSettings(); }
    void TearDown() override { ResetTextFormatSettings(); }
};

TEST_F(TokenReadersTest, RealTokenSkipsToItsStartAndStopsAfterIt) {
    const std::string_view text = "abc -12.5E+3xyz";
    std::size_t pos = 0;
    EXPECT_EQ(GetRealTok(pos, text), "-12.5E+3");
    EXPECT_EQ(pos, 12u);
    EXPECT_EQ(GetRealTok(pos, text), "");
    EXPECT_EQ(pos, text.size());

    pos = 100; // past the end: nothing, pos untouched
    EXPECT_EQ(GetRealTok(pos, text), "");
    EXPECT_EQ(pos, 100u);
}

TEST_F(TokenReadersTest, LocaleRealTokenStoresTheSeparatorAsPoint) {
    std::size_t pos = 0;
    DecimalSep = '.';
    EXPECT_EQ(GetLocRealTok(pos, "x 3,25;"), "3.25"); // "," stands for the locale's own "."
    pos = 0;
    DecimalSep = ',';
    EXPECT_EQ(GetLocRealTok(pos, ",5 1.5"), ".5");
    pos = 0;
    DecimalSep = '\'';
    EXPECT_EQ(GetLocRealTok(pos, "a'75"), ".75");
    pos = 0;
    DecimalSep = ',';
    FieldSep = ','; // then "," separates fields
    EXPECT_EQ(GetLocRealTok(pos, "3,25"), "3");
    EXPECT_EQ(pos, 1u);
}

TEST_F(TokenReadersTest, IntegerTokens) {
    std::size_t pos = 0;
    EXPECT_EQ(GetIntTok(pos, "  $1fZ"), "$1f");
    EXPECT_EQ(pos, 5u);
    pos = 0;
    EXPECT_EQ(GetIntTok(pos, "ab-12x"), "-12");
    pos = 0;
    EXPECT_EQ(GetIntTok(pos, "x12-3 "), "12-3");
    pos = 0;
    EXPECT_EQ(GetIntTok(pos, "12AB"), "12"); // hex digits only after "$"
}

TEST_F(TokenReadersTest, DateAndTimeTokensStopAtTheFieldSeparator) {
    std::size_t pos = 0;
    EXPECT_EQ(GetDateTok(pos, "at 12/03/2024;x"), "12/03/2024");
    EXPECT_EQ(pos, 13u);
    pos = 0;
    EXPECT_EQ(GetDateTok(pos, "ab;12/03"), "");
    EXPECT_EQ(pos, 2u);
    pos = 0;
    EXPECT_EQ(GetTimeTok(pos, "t=12:30:15 x"), "12:30:15");
    pos = 0;
    DateSep = '.';
    EXPECT_EQ(GetDateTok(pos, "1.2.79/5"), "1.2.79");
}

TEST_F(TokenReadersTest, DigitAndWordTokens) {
    const std::string_view date = "1.2.79";
    std::size_t pos = 0;
    EXPECT_EQ(GetDigitsTok(pos, date), "1");
    EXPECT_EQ(GetDigitsTok(pos, date), "2");
    EXPECT_EQ(GetDigitsTok(pos, date), "79");
    EXPECT_EQ(GetDigitsTok(pos, date), "");

    const std::string_view words = "  hello world ";
    pos = 0;
    EXPECT_EQ(GetWordTok(pos, words), "hello");
    EXPECT_EQ(pos, 7u);
    EXPECT_EQ(GetWordTok(pos, words), "world");
    EXPECT_EQ(GetWordTok(pos, words), "");
    EXPECT_EQ(pos, words.size());
}

} // namespace
} // namespace ravlo
