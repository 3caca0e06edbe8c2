#include "framework/crc16.h"

#include <gtest/gtest.h>
#include <random>
#include <string_view>
#include <vector>

namespace ravlo {
namespace {

std::uint16_t BytewiseCrc(std::span<const std::uint8_t> data, std::uint16_t start) {
    tCrc16 crc;
    crc.SetCrc(start);
    for (const std::uint8_t b : data) {
        crc.AddByte(b);
    }
    return crc.GetCrc();
}

std::vector<std::uint8_t> RandomBytes(std::size_t count, unsigned seed) {
    std::mt19937 engine(seed);
    std::vector<std::uint8_t> data(count);
    for (auto& b : data) {
        b = static_cast<std::uint8_t>(engine());
    }
    return data;
}

TEST(Crc16Test, CheckValueOfCrc16ArcAndTheStartValue) {
    const std::string_view text = "123456789";
    const std::vector<std::uint8_t> data(text.begin(), text.end());
    EXPECT_EQ(Crc16Block(data, 0), 0xBB3D);
    EXPECT_EQ(BytewiseCrc(data, 0), 0xBB3D);
    EXPECT_NE(Crc16Block(data, 0xFFFF), 0xBB3D);
    EXPECT_EQ(Crc16Block({}, 0x1234), 0x1234);
    EXPECT_EQ(tCrc16(0xFFFF).GetCrc(), 0xFFFF);
}

TEST(Crc16Test, BytewiseAndBlockAgreeForAnyDataStartAndSplit) {
    for (const std::uint16_t start : {0x0000, 0xFFFF, 0x1D0F, 0x8005, 0x00FF}) {
        for (const std::size_t size : {1U, 2U, 17U, 1000U}) {
            const auto data = RandomBytes(size, static_cast<unsigned>(start + size));
            EXPECT_EQ(Crc16Block(data, start), BytewiseCrc(data, start)) << start << " " << size;
        }
    }
    const auto data = RandomBytes(64, 7);
    const std::span<const std::uint8_t> all(data);
    for (std::size_t cut = 0; cut <= data.size(); cut += 9) {
        EXPECT_EQ(Crc16Block(all.subspan(cut), Crc16Block(all.first(cut), 0xABCD)), Crc16Block(all, 0xABCD));
    }
}

TEST(Crc16Test, AppendingCrcLowByteFirstGivesZero) {
    for (const std::uint16_t start : {0x0000, 0x4321}) {
        auto data = RandomBytes(100, start);
        const std::uint16_t crc = Crc16Block(data, start);
        data.push_back(static_cast<std::uint8_t>(crc & 0xFF));
        data.push_back(static_cast<std::uint8_t>(crc >> 8));
        EXPECT_EQ(Crc16Block(data, start), 0);
        EXPECT_EQ(BytewiseCrc(data, start), 0);
    }
}

} // namespace
} // namespace ravlo
