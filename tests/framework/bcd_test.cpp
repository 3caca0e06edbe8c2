#include "framework/baud_code.h"
#include "framework/bcd.h"
#include "platform/exception.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

template <class Convert>
std::string ErrorText(Convert convert) {
    try {
        convert();
    } catch (const ERangeError& e) {
        return e.what();
    }
    return "no exception";
}

TEST(BcdTest, ConvertsBothWays) {
    EXPECT_EQ(ByteToBCD(42), 0x42);
    EXPECT_EQ(ByteToBCD(0), 0x00);
    EXPECT_EQ(WordToBCD(1234), 0x1234);
    EXPECT_EQ(BCDToByte(0x42), 42);
    EXPECT_EQ(BCDToByte(0xFF), 165); // nibbles are not checked
    EXPECT_EQ(BCDToWord(0x1234), 1234);
    for (int n = 0; n <= 99; ++n) {
        EXPECT_EQ(BCDToByte(ByteToBCD(n)), n);
    }
    for (int n = 0; n <= 9999; ++n) {
        ASSERT_EQ(BCDToWord(WordToBCD(n)), n);
    }
}

TEST(BcdTest, ValuesBeyondTheDigitsRaiseTheirTexts) {
    EXPECT_EQ(ErrorText([] { ByteToBCD(100); }), "ByteToBCD Error, byte 100 is not BCD convertable");
    EXPECT_EQ(ErrorText([] { ByteToBCD(-1); }), "ByteToBCD Error, byte -1 is not BCD convertable");
    EXPECT_EQ(ErrorText([] { ByteToBCD(300); }), "ByteToBCD Error, byte 300 is not BCD convertable");
    EXPECT_EQ(ErrorText([] { WordToBCD(10000); }), "WordToBCD Error, word 10000 is not BCD convertable");
    EXPECT_EQ(ErrorText([] { WordToBCD(65536 + 12); }), "WordToBCD Error, word 65548 is not BCD convertable");
}

TEST(BaudCodeTest, KnownRatesAndTheDefault) {
    EXPECT_EQ(BaudToBoardCode(4800), 10);
    EXPECT_EQ(BaudToBoardCode(9600), 11);
    EXPECT_EQ(BaudToBoardCode(19200), 12);
    EXPECT_EQ(BaudToBoardCode(38400), 13);
    EXPECT_EQ(BaudToBoardCode(57600), 14);
    EXPECT_EQ(BaudToBoardCode(115200), 15);
    EXPECT_EQ(BaudToBoardCode(2400), 10);
    EXPECT_EQ(BaudToBoardCode(0), 10);
}

} // namespace
} // namespace ravlo
