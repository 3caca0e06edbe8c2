#include "framework/bcd.h"
#include "platform/exception.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

TEST(BcdTest, ConvertsBothWays) {
    EXPECT_EQ(ByteToBCD(42), 0x42);
    EXPECT_EQ(WordToBCD(1234), 0x1234);
    EXPECT_EQ(BCDToByte(0xFF), 165); // nibbles are not checked
    for (int n = 0; n <= 9999; ++n) {
        ASSERT_EQ(BCDToWord(WordToBCD(n)), n);
        if (n <= 99) {
            ASSERT_EQ(BCDToByte(ByteToBCD(n)), n);
        }
    }
}

template <class Convert>
std::string ErrorText(Convert convert) {
    try {
        convert();
    } catch (const ERangeError& e) {
        return e.what();
    }
    return "no exception";
}

TEST(BcdTest, ValuesBeyondTheDigitsRaiseTheirTexts) {
    EXPECT_EQ(ErrorText([] { ByteToBCD(300); }), "ByteToBCD Error, byte 300 is not BCD convertable");
    EXPECT_EQ(ErrorText([] { WordToBCD(65536 + 12); }), "WordToBCD Error, word 65548 is not BCD convertable");
    for (const int value : {100, -1}) {
        EXPECT_THROW(ByteToBCD(value), ERangeError) << value;
    }
    EXPECT_THROW(WordToBCD(10000), ERangeError);
}

} // namespace
} // namespace ravlo
