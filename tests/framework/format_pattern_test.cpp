#include "framework/format_pattern.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

namespace ravlo {
namespace {

// Arguments as literals: 5L is a signed, 5UL an unsigned 64-bit integer, "x"s a text.
using namespace std::string_literals;

std::string Fmt(std::string_view pattern, std::vector<FormatArg> args = {}) {
    return FormatPattern(pattern, args);
}

TEST(FormatPatternTest, IntegersFlagsWidthAndPrecision) {
    EXPECT_EQ(Fmt("%d|%i", {-42L, 7L}), "-42|7");
    EXPECT_EQ(Fmt("%5d|%-5d|%05d", {42L, 42L, -42L}), "   42|42   |-0042");
    EXPECT_EQ(Fmt("%+d|% d", {5L, 5L}), "+5| 5");
    EXPECT_EQ(Fmt("%.4d|%6.3d|%.0d|", {7L, -7L, 0L}), "0007|  -007||");
    EXPECT_EQ(Fmt("%d", {std::int64_t{INT64_MIN}}), "-9223372036854775808");
    EXPECT_EQ(Fmt("%d", {std::uint64_t{UINT64_MAX}}), "18446744073709551615");
    EXPECT_EQ(Fmt("%-05d|%05.2d", {3L, 3L}), "3    |   03");
    EXPECT_EQ(Fmt("%x|%04X", {255L, 10L}), "FF|000A");
    EXPECT_EQ(Fmt("$%x", {0xFFFFFFFFFFUL}), "$FFFFFFFFFF");
    // Negative values in 32 bits print their 32-bit two's complement.
    EXPECT_EQ(Fmt("%X|%u", {-2L, -1L}), "FFFFFFFE|4294967295");
    EXPECT_EQ(Fmt("%X", {std::int64_t{INT64_MIN}}), "8000000000000000");
    EXPECT_EQ(Fmt("%+x|% u", {1L, 1L}), "1|1"); // sign flags do not apply to unsigned conversions
}

TEST(FormatPatternTest, RealsTextsAndCharacters) {
    EXPECT_EQ(Fmt("%f|%.2f|%8.3f|%-8.1f|", {1.5, 3.14159, -2.5, 2.25}), "1.500000|3.14|  -2.500|2.2     |");
    EXPECT_EQ(Fmt("%08.2f|%+.1f", {-1.5, 0.25}), "-0001.50|+0.2");
    EXPECT_EQ(Fmt("%g|%g|%e", {0.0001, 1e20, 12345.678}), "0.0001|1e+20|1.234568e+04");
    EXPECT_EQ(Fmt("%.1f", {-3L}), "-3.0"); // an integer is printed as a real
    EXPECT_EQ(Fmt("%f|%05f", {std::numeric_limits<double>::infinity(), std::nan("")}), "inf|  nan");
    EXPECT_EQ(Fmt("%.1f", {1e300}).size(), 303U);
    EXPECT_EQ(Fmt("<%5s|%-5s|%.2s|%05s>", {"ab"s, "ab"s, "abcdef"s, "x"s}), "<   ab|ab   |ab|    x>");
    EXPECT_EQ(Fmt("%s", {std::string("a\0b", 3)}), std::string("a\0b", 3));
    EXPECT_EQ(Fmt("%s %s %s", {-12L, 34UL, 0.5}), "-12 34 0.5"); // numbers for %s in decimal
    EXPECT_EQ(Fmt("%c%c|%3c", {std::int64_t{'O'}, std::uint64_t{'K'}, 0x141L}), "OK|  A");
}

TEST(FormatPatternTest, MissingAndMismatchedArgumentsAreMarkedAndExtraOnesIgnored) {
    EXPECT_EQ(Fmt("Hodnota %d mimo meze <%d;%d>", {21L}), "Hodnota 21 mimo meze <<?>;<?>>");
    EXPECT_EQ(Fmt("%10s|", {}), "<?>|");
    EXPECT_EQ(Fmt("%d|%d", {"x"s, 2L}), "<?!>|2");
    for (const char* pattern : {"%x", "%c"}) {
        EXPECT_EQ(Fmt(pattern, {"1"s}), "<?!>") << pattern;
    }
    EXPECT_EQ(Fmt("%x", {1.5}), "<?!>");
    EXPECT_EQ(Fmt("%f", {"1.5"s}), "<?!>");
    EXPECT_EQ(Fmt("%d", {1L, 2L, "three"s}), "1");
}

TEST(FormatPatternTest, PercentOddPatternsAndHugeSizes) {
    EXPECT_EQ(Fmt("100%% sure|%%d", {5L}), "100% sure|%d");
    EXPECT_EQ(Fmt("abc%", {1L}), "abc%");
    EXPECT_EQ(Fmt("%q|%d", {1L}), "%q|1");
    EXPECT_EQ(Fmt("%-5", {1L}), "%-5");
    EXPECT_EQ(Fmt("%.", {1L}), "%.");
    // "*" takes no argument: the pattern is copied and the argument waits for %d.
    EXPECT_EQ(Fmt("%*d %d", {7L}), "%*d 7");
    EXPECT_EQ(Fmt("%5%d", {7L}), "%57");
    EXPECT_EQ(Fmt("%ld", {7L}), "%ld");
    EXPECT_EQ(Fmt("%99999999999999999999d", {1L}).size(), 255U);
    EXPECT_EQ(Fmt("%.99999999999999999999f", {1.0}).size(), 257U);
    EXPECT_EQ(Fmt("%.300s", {std::string(400, 'z')}).size(), 255U);
}

} // namespace
} // namespace ravlo
