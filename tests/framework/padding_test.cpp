#include "framework/padding.h"

#include <array>
#include <gtest/gtest.h>
#include <string>

namespace ravlo {
namespace {

TEST(PaddingTest, PadsUpToWidthAndNeverCuts) {
    EXPECT_EQ(PadRStr("ab", 5), "ab   ");
    EXPECT_EQ(PadLChr("7", 3, '0'), "007");
    EXPECT_EQ(PadRChr("7", 3, '*'), "7**");
    EXPECT_EQ(PadRChr("abc", 2, 'x'), "abc");
    EXPECT_EQ(PadLChr("abc", 0, 'x'), "abc");
    EXPECT_EQ(PadLChr("abc", -5, 'x'), "abc");
    EXPECT_EQ(PadRStr("", 1000).size(), 255u);
    EXPECT_EQ(CutToShort(std::string(300, 'a')).size(), 255u);
    EXPECT_EQ(CutToShort("abc"), "abc");
}

TEST(PaddingTest, PadPCharPadsAndTerminatesWithinTheBuffer) {
    std::array<char, 8> buf{'a', 'b', '\0', 'x', 'x', 'x', 'x', 'x'};
    PadPChar(buf, 5);
    EXPECT_EQ(std::string(buf.data()), "ab   ");
    PadPChar(buf, 100); // limited to size - 1
    EXPECT_EQ(std::string(buf.data()), "ab     ");
    EXPECT_EQ(buf[7], '\0');

    std::array<char, 8> longer{'a', 'b', 'c', 'd', 'e', 'f', '\0', 'x'};
    PadPChar(longer, 3);
    EXPECT_EQ(std::string(longer.data()), "abc");
    std::array<char, 4> unterminated{'x', 'x', 'x', 'x'};
    PadPChar(unterminated, 10);
    EXPECT_EQ(std::string(unterminated.data()), "xxx");
    PadPChar(std::span<char>(), 5); // no room even for a terminator: nothing to do
    std::array<char, 1> one{'q'};
    PadPChar(one, 5);
    EXPECT_EQ(one[0], '\0');
}

} // namespace
} // namespace ravlo
