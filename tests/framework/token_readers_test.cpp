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

using Reader = std::string (*)(std::size_t&, std::string_view);

TEST_F(TokenReadersTest, ReadersSkipToTheirTokenAndStopAfterIt) {
    const struct {
        Reader read;
        std::string_view text;
        std::string token;
        std::size_t pos;
    } cases[] = {{GetRealTok, "abc -12.5E+3xyz", "-12.5E+3", 12},
                 {GetIntTok, "  $1fZ", "$1f", 5},
                 {GetIntTok, "ab-12x", "-12", 5},
                 {GetIntTok, "x12-3 ", "12-3", 5},
                 {GetIntTok, "12AB", "12", 2}, // hex digits only after "$"
                 {GetDateTok, "at 12/03/2024;x", "12/03/2024", 13},
                 {GetDateTok, "ab;12/03", "", 2}, // stops at the field separator
                 {GetTimeTok, "t=12:30:15 x", "12:30:15", 10},
                 {GetWordTok, "  hello world ", "hello", 7}};
    for (const auto& c : cases) {
        std::size_t pos = 0;
        EXPECT_EQ(c.read(pos, c.text), c.token) << c.text;
        EXPECT_EQ(pos, c.pos) << c.text;
    }
    std::size_t pos = 100; // past the end: nothing, pos untouched
    EXPECT_EQ(GetRealTok(pos, "1.5"), "");
    EXPECT_EQ(pos, 100u);
    pos = 0;
    for (const char* digits : {"1", "2", "79", ""}) {
        EXPECT_EQ(GetDigitsTok(pos, "1.2.79"), digits);
    }
    pos = 0;
    DateSep = '.';
    EXPECT_EQ(GetDateTok(pos, "1.2.79/5"), "1.2.79");
}

TEST_F(TokenReadersTest, LocaleRealTokenStoresTheSeparatorAsPoint) {
    std::size_t pos = 0;
    EXPECT_EQ(GetLocRealTok(pos, "x 3,25;"), "3.25"); // "," stands for the locale's own "."
    pos = 0;
    DecimalSep = '\'';
    EXPECT_EQ(GetLocRealTok(pos, "a'75"), ".75");
    pos = 0;
    DecimalSep = ',';
    FieldSep = ','; // then "," separates fields
    EXPECT_EQ(GetLocRealTok(pos, "3,25"), "3");
    EXPECT_EQ(pos, 1u);
}

} // namespace
} // namespace ravlo
