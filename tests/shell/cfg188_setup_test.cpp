// The 188 setup record on bytes: decoding with its corrections and their messages, and encoding
// that keeps the bits no field covers.
#include "shell/cfg188_setup.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Patches = std::vector<std::pair<int, std::uint8_t>>;

// Code at $80000, 512 kB flash, 3 wait states with extended access 1, both NMIs, KERNEL.SYS at $0100.
Bytes Clean(const Patches& patches = {}) {
    Bytes raw(32);
    raw[0] = 0x04, raw[1] = 0x08, raw[2] = 0x13, raw[3] = 0x03, raw[30] = 0x01;
    const std::string_view file = "KERNEL  SYS";
    std::copy(file.begin(), file.end(), raw.begin() + 16);
    for (const auto& [at, value] : patches) {
        raw[at] = value;
    }
    return raw;
}

std::string Default(std::string_view field, std::string_view value) {
    return "Error in \"" + std::string(field) + "\"!\rDefault value " + std::string(value) + " is used";
}

TEST(Cfg188Setup, DecodingReplacesEachBadValueByItsDefaultWithItsMessage) {
    const std::string name = "Error in \"CF Boot | Boot file name\"!\rDafault value \"KERNEL.SYS\" is used";
    const struct {
        Patches bytes;
        std::vector<std::string> errors;
        Patches corrected; // the decoded record: the input with these bytes
    } cases[] = {
        {{}, {}, {}},
        {{{1, 0xA3}}, {Default("Flash chip memory size", "512KB")}, {{1, 0xA8}}},
        {{{2, 0x22}}, {Default("Extended access time", "1")}, {{2, 0x12}}},
        // One wait state allows no extended access at all: the default is what it allows.
        {{{2, 0xD1}}, {Default("Extended access time", "0")}, {{2, 0xC1}}},
        {{{2, 0x00}}, {}, {}},
        {{{0, 0xFE}}, {Default("Start of code memory", "$80000")}, {{0, 0xFC}}},
        {{{16, 'A'}, {17, ' '}, {25, 'y'}}, {name}, {{16, 'K'}, {17, 'E'}, {25, 'Y'}}},
        {{{16, '~'}, {25, '_'}}, {}, {}},
        {{{29, 0xAF}, {30, 0x00}}, {Default("CF Booting | Segment", "$0100")}, {{29, 0x00}, {30, 0x01}}},
        {{{29, 0xB0}, {30, 0x00}}, {}, {}},
        {{{29, 0x00}, {30, 0xFD}}, {}, {}},
        {{{0, 0x05}, {29, 0x01}, {30, 0xFD}},
         {Default("Start of code memory", "$80000"), Default("CF Booting | Segment", "$0100")},
         {{0, 0x04}, {29, 0x00}, {30, 0x01}}},
    };
    for (const auto& c : cases) {
        Bytes expected = Clean(c.bytes);
        const std::optional<TCfg188Decoded> decoded = DecodeCfg188(expected);
        ASSERT_TRUE(decoded.has_value());
        SCOPED_TRACE(::testing::PrintToString(expected));
        for (const auto& [at, value] : c.corrected) {
            expected[at] = value;
        }
        EXPECT_EQ(decoded->Errors, c.errors);
        EXPECT_EQ(Bytes(decoded->Raw.begin(), decoded->Raw.end()), expected);
        // The edit record is what the corrected record holds: it decodes again without a word.
        const TCfg188Decoded again = DecodeCfg188(decoded->Raw).value();
        EXPECT_TRUE(again.Errors.empty());
        EXPECT_EQ(again.Edit, decoded->Edit);
    }
    EXPECT_EQ(DecodeCfg188(Clean())->Edit, (TCfg188Edit{0, 0, 16, 3, 0, 3, 1, 3, "KERNEL", "SYS", 0x0100}));
    const TCfg188Edit banks = DecodeCfg188(Clean({{1, 0x0A}, {0, 0x18}}))->Edit;
    EXPECT_TRUE(banks.BankHigh == 3 && banks.BankLow == 2 && banks.RunFromCF == 1 && banks.RunInRam == 1);
    EXPECT_FALSE(DecodeCfg188(Bytes(31)).has_value());
    EXPECT_FALSE(DecodeCfg188(Bytes(33)).has_value());
}

TEST(Cfg188Setup, EncodingWritesTheFieldsAndKeepsEveryOtherBit) {
    Bytes raw = Clean({{0, 0xE4}, {1, 0x58}, {2, 0xD3}, {3, 0xF7}, {27, 7}, {28, 8}, {31, 0x99}});
    for (std::size_t i = 4; i < 16; ++i) {
        raw[i] = static_cast<std::uint8_t>(0x31 * i);
    }
    TCfg188Decoded decoded = DecodeCfg188(raw).value();
    EncodeCfg188(decoded.Edit, decoded.Raw);
    Bytes expected = raw;
    expected[27] = expected[28] = 0;
    EXPECT_EQ(Bytes(decoded.Raw.begin(), decoded.Raw.end()), expected);

    const TCfg188Edit edit{1, 1, 2, 3, 2, 5, 3, 1, "AUTOEXEC", "BA", 0x1234};
    EXPECT_EQ(UnpackCfg188Edit(PackCfg188Edit(edit)), edit);
    EncodeCfg188(edit, decoded.Raw);
    expected[0] = 0xF9, expected[1] = 0x5A, expected[2] = 0xF5, expected[3] = 0xF5;
    const std::string_view file = "AUTOEXECBA ";
    std::copy(file.begin(), file.end(), expected.begin() + 16);
    expected[29] = 0x34, expected[30] = 0x12;
    EXPECT_EQ(Bytes(decoded.Raw.begin(), decoded.Raw.end()), expected);
}

} // namespace
} // namespace ravlo
