#include "framework/crc16.h"

#include <gtest/gtest.h>
#include <random>
#include <string_view>
#include <vector>

namespace ravlo {
namespace {

std::uint16_t BytewiseCrc(std::span<const std::uint8_t> data, std::uint16_t start) {
    tCrc16 crc(start);
    for (const std::uint8_t b : data) {
        crc.AddByte(b);
    }
    return crc.GetCrc();
}

TEST(Crc16Test, CheckValueOfCrc16ArcAndTheStartValue) {
    const std::string_view text = "123456789";
    const std::vector<std::uint8_t> data(text.begin(), text.end());
    EXPECT_EQ(Crc16Block(data, 0), 0xBB3D);
    EXPECT_EQ(BytewiseCrc(data, 0), 0xBB3D);
    EXPECT_NE(Crc16Block(data, 0xFFFF), 0xBB3D);
    EXPECT_EQ(Crc16Block({}, 0x1234), 0x1234);
}

TEST(Crc16Test, BytewiseBlockAndSplitAgreeAndTheAppendedCrcLowByteFirstGivesZero) {
    std::mt19937 engine(7);
    for (const std::uint16_t start : {0x0000, 0xFFFF, 0x1D0F, 0x8005}) {
        for (const std::size_t size : {1U, 17U, 1000U}) {
            std::vector<std::uint8_t> data(size);
            for (auto& b : data) {
                b = static_cast<std::uint8_t>(engine());
            }
            const std::span<const std::uint8_t> all(data);
            const std::uint16_t crc = Crc16Block(data, start);
            EXPECT_EQ(BytewiseCrc(data, start), crc) << start << " " << size;
            EXPECT_EQ(Crc16Block(all.subspan(size / 2), Crc16Block(all.first(size / 2), start)), crc);
            data.push_back(static_cast<std::uint8_t>(crc & 0xFF));
            data.push_back(static_cast<std::uint8_t>(crc >> 8));
            EXPECT_EQ(Crc16Block(data, start), 0);
        }
    }
}

} // namespace
} // namespace ravlo
