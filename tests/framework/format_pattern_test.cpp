#include "framework/format_pattern.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

namespace ravlo {
namespace {

std::string Fmt(std::string_view pattern, std::vector<FormatArg> args = {}) {
    return FormatPattern(pattern, args);
}

FormatArg I(std::int64_t v) {
    return v;
}
FormatArg U(std::uint64_t v) {
    return v;
}
FormatArg D(double v) {
    return v;
}
FormatArg S(std::string v) {
    return v;
}

TEST(FormatPatternTest, PlainTextAndPercent) {
    EXPECT_EQ(Fmt(""), "");
    EXPECT_EQ(Fmt("no conversions"), "no conversions");
    EXPECT_EQ(Fmt("100%% sure"), "100% sure");
    EXPECT_EQ(Fmt("%%%%"), "%%");
    EXPECT_EQ(Fmt("%%d", {I(5)}), "%d");
}

TEST(FormatPatternTest, SignedDecimal) {
    EXPECT_EQ(Fmt("%d|%i", {I(-42), I(7)}), "-42|7");
    EXPECT_EQ(Fmt("%5d|%-5d|%05d", {I(42), I(42), I(-42)}), "   42|42   |-0042");
    EXPECT_EQ(Fmt("%+d|% d|%+d", {I(5), I(5), I(-5)}), "+5| 5|-5");
    EXPECT_EQ(Fmt("%.4d|%6.3d", {I(7), I(-7)}), "0007|  -007");
    EXPECT_EQ(Fmt("%.0d|", {I(0)}), "|");
    EXPECT_EQ(Fmt("%d", {I(INT64_MIN)}), "-9223372036854775808");
    EXPECT_EQ(Fmt("%d", {U(UINT64_MAX)}), "18446744073709551615");
    EXPECT_EQ(Fmt("%-05d|", {I(3)}), "3    |");
    EXPECT_EQ(Fmt("%05.2d", {I(3)}), "   03");
}

TEST(FormatPatternTest, UnsignedAndHex) {
    EXPECT_EQ(Fmt("%u", {I(300)}), "300");
    EXPECT_EQ(Fmt("%x|%X|%04X", {I(255), I(255), I(10)}), "FF|FF|000A");
    EXPECT_EQ(Fmt("$%x", {U(0xFFFFFFFFFFULL)}), "$FFFFFFFFFF");
    // Negative values in 32 bits print their 32-bit two's complement.
    EXPECT_EQ(Fmt("%x|%X|%u", {I(-1), I(-2), I(-1)}), "FFFFFFFF|FFFFFFFE|4294967295");
    EXPECT_EQ(Fmt("%X", {I(INT32_MIN)}), "80000000");
    EXPECT_EQ(Fmt("%X", {I(INT64_MIN)}), "8000000000000000");
    // Sign flags do not apply to unsigned conversions.
    EXPECT_EQ(Fmt("%+x|% u", {I(1), I(1)}), "1|1");
}

TEST(FormatPatternTest, Reals) {
    EXPECT_EQ(Fmt("%f", {D(1.5)}), "1.500000");
    EXPECT_EQ(Fmt("%.2f|%8.3f|%-8.1f|", {D(3.14159), D(-2.5), D(2.25)}), "3.14|  -2.500|2.2     |");
    EXPECT_EQ(Fmt("%08.2f|%+.1f", {D(-1.5), D(0.25)}), "-0001.50|+0.2");
    EXPECT_EQ(Fmt("%g|%g|%g", {D(0.0001), D(1e20), D(100.0)}), "0.0001|1e+20|100");
    EXPECT_EQ(Fmt("%e|%.2e", {D(12345.678), D(-0.5)}), "1.234568e+04|-5.00e-01");
    EXPECT_EQ(Fmt("%.0f", {D(2.5)}), "2");
    // An integer is printed as a real.
    EXPECT_EQ(Fmt("%.1f", {I(-3)}), "-3.0");
    EXPECT_EQ(Fmt("%f|%05f", {D(std::numeric_limits<double>::infinity()), D(std::nan(""))}), "inf|  nan");
    EXPECT_EQ(Fmt("%.1f", {D(1e300)}).size(), 303U);
}

TEST(FormatPatternTest, TextsAndCharacters) {
    EXPECT_EQ(Fmt("<%s>", {S("abc")}), "<abc>");
    EXPECT_EQ(Fmt("<%5s|%-5s|%.2s|%05s>", {S("ab"), S("ab"), S("abcdef"), S("x")}), "<   ab|ab   |ab|    x>");
    EXPECT_EQ(Fmt("%s", {S(std::string("a\0b", 3))}), std::string("a\0b", 3));
    // Numbers for %s are printed in decimal.
    EXPECT_EQ(Fmt("%s %s %s", {I(-12), U(34), D(0.5)}), "-12 34 0.5");
    EXPECT_EQ(Fmt("%c%c|%3c", {I('O'), U('K'), I(0x141)}), "OK|  A");
}

TEST(FormatPatternTest, MissingArgumentsAreMarked) {
    EXPECT_EQ(Fmt("%d"), "<?>");
    EXPECT_EQ(Fmt("Hodnota %d mimo meze <%d;%d>", {I(21)}), "Hodnota 21 mimo meze <<?>;<?>>");
    EXPECT_EQ(Fmt("%10s|", {}), "<?>|");
}

TEST(FormatPatternTest, MismatchedArgumentsAreMarkedAndConsumed) {
    EXPECT_EQ(Fmt("%d|%d", {S("x"), I(2)}), "<?!>|2");
    EXPECT_EQ(Fmt("%x", {D(1.5)}), "<?!>");
    EXPECT_EQ(Fmt("%f", {S("1.5")}), "<?!>");
    EXPECT_EQ(Fmt("%c", {S("a")}), "<?!>");
}

TEST(FormatPatternTest, ExtraArgumentsAreIgnored) {
    EXPECT_EQ(Fmt("%d", {I(1), I(2), S("three")}), "1");
    EXPECT_EQ(Fmt("plain", {I(1)}), "plain");
}

TEST(FormatPatternTest, OddPatternsStayAsWritten) {
    EXPECT_EQ(Fmt("%", {I(1)}), "%");
    EXPECT_EQ(Fmt("abc%", {I(1)}), "abc%");
    EXPECT_EQ(Fmt("%q|%d", {I(1)}), "%q|1");
    EXPECT_EQ(Fmt("%-5", {I(1)}), "%-5");
    EXPECT_EQ(Fmt("%.", {I(1)}), "%.");
    // "*" takes no argument: the pattern is copied and the argument waits for %d.
    EXPECT_EQ(Fmt("%*d %d", {I(7)}), "%*d 7");
    EXPECT_EQ(Fmt("%5%d", {I(7)}), "%57");
    EXPECT_EQ(Fmt("%ld", {I(7)}), "%ld");
}

TEST(FormatPatternTest, HugeWidthAndPrecisionAreCapped) {
    EXPECT_EQ(Fmt("%99999999999999999999d", {I(1)}).size(), 255U);
    EXPECT_EQ(Fmt("%.99999999999999999999f", {D(1.0)}).size(), 257U);
    EXPECT_EQ(Fmt("%.300s", {S(std::string(400, 'z'))}).size(), 255U);
}

} // namespace
} // namespace ravlo
