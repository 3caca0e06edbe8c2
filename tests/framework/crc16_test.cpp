#include "framework/crc16.h"

#include <gtest/gtest.h>
#include <random>
#include <string_view>
#include <vector>

namespace ravlo {
namespace {

std::vector<std::uint8_t> BytesOf(std::string_view text) {
    return {text.begin(), text.end()};
}

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
    std::uniform_int_distribution<int> byte(0, 255);
    std::vector<std::uint8_t> data(count);
    for (auto& b : data) {
        b = static_cast<std::uint8_t>(byte(engine));
    }
    return data;
}

TEST(Crc16Test, CheckValueOfCrc16Arc) {
    const auto data = BytesOf("123456789");
    EXPECT_EQ(Crc16Block(data, 0), 0xBB3D);
    EXPECT_EQ(BytewiseCrc(data, 0), 0xBB3D);
}

TEST(Crc16Test, TableHoldsSingleByteCrcs) {
    EXPECT_EQ(kCrc16Table[0], 0x0000);
    EXPECT_EQ(kCrc16Table[1], 0xC0C1);
    EXPECT_EQ(kCrc16Table[2], 0xC181);
    EXPECT_EQ(kCrc16Table[3], 0x0140);
    EXPECT_EQ(kCrc16Table[255], 0x4040);
    for (int i = 0; i < 256; ++i) {
        const std::uint8_t byte = static_cast<std::uint8_t>(i);
        EXPECT_EQ(kCrc16Table[byte], Crc16Block(std::span(&byte, 1), 0)) << i;
    }
}

TEST(Crc16Test, EmptyBlockReturnsStart) {
    EXPECT_EQ(Crc16Block({}, 0), 0);
    EXPECT_EQ(Crc16Block({}, 0x1234), 0x1234);
}

TEST(Crc16Test, BytewiseAndBlockAgreeOnRandomDataAndStarts) {
    for (const std::uint16_t start : {0x0000, 0xFFFF, 0x1D0F, 0x8005, 0x00FF}) {
        for (const std::size_t size : {1U, 2U, 17U, 1000U}) {
            const auto data = RandomBytes(size, static_cast<unsigned>(start + size));
            EXPECT_EQ(Crc16Block(data, start), BytewiseCrc(data, start)) << start << " " << size;
        }
    }
}

TEST(Crc16Test, BlockCanBeSplitAtAnyPoint) {
    const auto data = RandomBytes(64, 7);
    const std::span<const std::uint8_t> all(data);
    const std::uint16_t whole = Crc16Block(all, 0xABCD);
    for (std::size_t cut = 0; cut <= data.size(); cut += 9) {
        EXPECT_EQ(Crc16Block(all.subspan(cut), Crc16Block(all.first(cut), 0xABCD)), whole);
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

TEST(Crc16Test, DifferentStartValuesGiveDifferentResults) {
    const auto data = BytesOf("123456789");
    EXPECT_NE(Crc16Block(data, 0), Crc16Block(data, 0xFFFF));
    tCrc16 crc(0xFFFF);
    EXPECT_EQ(crc.GetCrc(), 0xFFFF);
}

} // namespace
} // namespace ravlo
