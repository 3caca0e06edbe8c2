#include "framework/bcd.h"
#include "framework/number_parse.h"
#include "framework/number_text.h"
#include "framework/padding.h"
#include "platform/exception.h"

#include <array>
#include <cmath>
#include <gmock/gmock.h>
#include <limits>
#include <string>
#include <vector>

namespace ravlo {
namespace {

TEST(NumberTextTest, DecimalAndHexTextsAndWidths) {
    EXPECT_EQ(ByteStr(7, 3), "  7");
    EXPECT_EQ(IntStr(std::numeric_limits<std::int32_t>::min()), "-2147483648");
    EXPECT_EQ(LIntStr(123456, 3), "123456"); // a narrower width never cuts
    EXPECT_EQ(LIntStr(42, -4), "42");
    EXPECT_EQ(ByteStr(1, 1000).size(), 255u);
    EXPECT_EQ(DWordStr(0xFFFFFFFFu, 12), "  4294967295");
    EXPECT_EQ(HexN(0x1F), 'F');
    EXPECT_EQ(HexW(0x0A0B), "0A0B");
    EXPECT_EQ(HexDW(0xDEADBEEF), "DEADBEEF");
    EXPECT_EQ(TwoDigits(1999), "99");
}

TEST(NumberTextTest, RealStrFixedPoint) {
    const struct {
        double value;
        int width, decimals;
        const char* text;
    } cases[] = {{3.14159, 8, 3, "   3.142"},
                 {9.999, 8, 2, "   10.00"},
                 {-2.5, 0, 0, "-3"},
                 {0.15, 0, 1, "0.2"}, // rounds the value as typed, not its binary neighbour
                 {0.0001234, 0, 6, "0.000123"},
                 {-0.001, 0, 2, "0.00"},
                 {1e20, 0, 0, "100000000000000000000"},
                 {12.0, 0, -3, "12"},
                 // A width equal to the decimals shows one decimal less, cut to the width.
                 {1.5, 3, 3, "1.5"},
                 {123.456, 3, 3, "123"},
                 {1.5, 1, 1, "2"},
                 {std::numeric_limits<double>::infinity(), 5, 1, "  INF"}};
    for (const auto& c : cases) {
        EXPECT_EQ(RealStr(c.value, c.width, c.decimals), c.text) << c.value << " " << c.width;
    }
    EXPECT_EQ(RealStr(1e300, 0, 255).size(), 255u);
}

TEST(NumberTextTest, RealExpStrTrimsItsExponent) {
    EXPECT_EQ(RealExpStr(1.5, 10), "   1.5E+00");
    EXPECT_EQ(RealExpStr(-1.5e-123, 12), " -1.500E-123");
    EXPECT_EQ(RealExpStr(9.99, 0), "1.0E+01");
    EXPECT_EQ(RealExpStr(0.000123456, 13), "   1.2346E-04");
    EXPECT_EQ(RealExpStr(std::nan(""), 0), "NAN");
    EXPECT_EQ(TrimExponent("1.0E+0012"), "1.0E+12");
    EXPECT_EQ(TrimExponent("1.0e+0100"), "1.0e+100");
    EXPECT_EQ(TrimExponent("2.5e+00"), "2.5e+00");
    EXPECT_EQ(TrimExponent("1E5"), "1E5");
}

TEST(NumberTextTest, HexBufNeverReadsPastItsBufferOr255Characters) {
    const std::array<std::uint8_t, 3> bytes{0x01, 0xAB, 0xFF};
    EXPECT_EQ(HexBuf(bytes, 2), "01AB");
    EXPECT_EQ(HexBuf(bytes, 10), "01ABFF"); // a count beyond the buffer stops at its end
    const std::string text = HexBuf(std::vector<std::uint8_t>(300, 0x5A), 300);
    EXPECT_EQ(text.size(), 255u);
    EXPECT_EQ(text.find_first_not_of("5A"), std::string::npos);
}

TEST(NumberTextTest, RealDecimalsAlsoOfInfinityAndNaN) {
    EXPECT_EQ(Pow10R(-3), 1.0);
    EXPECT_EQ(Pow10R(3), 1000.0);
    EXPECT_EQ(RealDecimals(6, 3.14159), 4);
    EXPECT_EQ(RealDecimals(6, -3.14159), 3); // the sign takes a place
    EXPECT_EQ(RealDecimals(6, 9.99999), 3);  // rounding to 10.0000 would need one more digit
    EXPECT_EQ(RealDecimals(16, 1.5), 13);    // |X| * 10^14 does not fit a longint
    EXPECT_EQ(RealDecimals(6, 123456.7), 0);
    EXPECT_EQ(RealDecimals(0, 5.0), 0);
    for (const double odd : {1e308, std::numeric_limits<double>::infinity(), std::nan("")}) {
        EXPECT_EQ(RealDecimals(10, odd), 0) << odd;
    }
}

TEST(NumberParseTest, IntegersTakeDecimalAndHexPatternsWithinTheirType) {
    EXPECT_EQ(ValInt32("+5"), 5);
    EXPECT_EQ(ValInt32("-2147483648"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(ValInt32("$7fffffff"), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(ValInt32("$FFFFFFFF"), -1);
    EXPECT_EQ(ValInt32("-$10"), -16);
    EXPECT_EQ(ValInt32("$0000000000001"), 1); // leading zeros do not count
    for (const char* text : {"", "-", "$", "-$", " 1", "1 ", "12a", "$-1", "0x10", "1.0", "--1", "2147483648",
                             "-2147483649", "$100000000", "99999999999999999999999"}) {
        EXPECT_FALSE(ValInt32(text).has_value()) << text;
    }
    EXPECT_EQ(ValInt64("-9223372036854775808"), std::numeric_limits<std::int64_t>::min());
    EXPECT_FALSE(ValInt64("9223372036854775808").has_value());
    EXPECT_EQ(ValInt64("-$FFFFFFFF"), -4294967295LL);
    EXPECT_EQ(ValDWord("$FFFFFFFF"), 0xFFFFFFFFu);
    EXPECT_EQ(ValDWord("-0"), 0u);
    for (const char* text : {"4294967296", "$100000000", "-1"}) {
        EXPECT_FALSE(ValDWord(text).has_value()) << text;
    }
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

TEST(BcdTest, ConvertsBothWaysAndRaisesBeyondTheDigits) {
    EXPECT_EQ(WordToBCD(1234), 0x1234);
    EXPECT_EQ(BCDToByte(0xFF), 165); // nibbles are not checked
    for (int n = 0; n <= 9999; ++n) {
        ASSERT_EQ(BCDToWord(WordToBCD(n)), n);
        if (n <= 99) {
            ASSERT_EQ(BCDToByte(ByteToBCD(n)), n);
        }
    }
    EXPECT_THAT([] { ByteToBCD(300); },
                ::testing::ThrowsMessage<ERangeError>("ByteToBCD Error, byte 300 is not BCD convertable"));
    EXPECT_THAT([] { WordToBCD(65536 + 12); },
                ::testing::ThrowsMessage<ERangeError>("WordToBCD Error, word 65548 is not BCD convertable"));
    for (const int value : {100, -1}) {
        EXPECT_THROW(ByteToBCD(value), ERangeError) << value;
    }
    EXPECT_THROW(WordToBCD(10000), ERangeError);
}

TEST(PaddingTest, PadsUpToWidthAndNeverCuts) {
    EXPECT_EQ(PadRStr("ab", 5), "ab   ");
    EXPECT_EQ(PadLChr("7", 3, '0'), "007");
    EXPECT_EQ(PadRChr("abc", 2, 'x'), "abc");
    EXPECT_EQ(PadLChr("abc", -5, 'x'), "abc");
    EXPECT_EQ(PadRStr("", 1000).size(), 255u);
    EXPECT_EQ(CutToShort(std::string(300, 'a')).size(), 255u);
}

TEST(PaddingTest, PadPCharPadsAndTerminatesWithinTheBuffer) {
    std::array<char, 8> buf{'a', 'b', '\0', 'x', 'x', 'x', 'x', 'x'};
    PadPChar(buf, 100); // limited to size - 1
    EXPECT_EQ(std::string(buf.data()), "ab     ");
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
