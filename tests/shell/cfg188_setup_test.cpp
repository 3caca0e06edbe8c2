// The setup records on bytes: the 188's decoding with its corrections and encoding that keeps the
// bits no field covers; the 386's setting and setup check; the setup dialogs' enum types.
#include "framework/app_data.h"
#include "shell/cfg188_setup.h"
#include "shell/cfg386_setup.h"
#include "shell/main_enum_types.h"

#include <functional>
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

constexpr std::uint8_t Socket(int type, int chip, int oper) {
    return static_cast<std::uint8_t>(type << 6 | chip << 3 | oper);
}
constexpr std::uint8_t Space(int addressCode, int size) {
    return static_cast<std::uint8_t>(addressCode << 3 | size);
}

// FLASH 512 kB (all of it operating) in socket 1, RAM 512 kB in socket 2, sockets 3 and 4 empty;
// High ROM $C0000 + 256 kB, Cut ROM $80000 + 0 kB, Low ROM $80000 + 256 kB (ending at High).
const Bytes kValid{Socket(2, 6, 6), 0x03, Socket(1, 6, 6), 0x01, 0, 0, 0, 0, Space(24, 5), Space(16, 0),
                   Space(16, 5),    0x00, 0x40};

TEST(Cfg386Setup, EachRuleFailsWithItsMessageAndTheFirstFailureWins) {
    struct Case {
        const char* status;
        std::vector<std::pair<int, std::uint8_t>> bytes;
        std::function<void(TCfg386Setting&)> edit;
    };
    const Case cases[] = {
        {"Ok", {}, {}},
        {"Invalid memory type in Socket1 (only FLASH or ROM)", {{0, Socket(1, 6, 6)}, {2, 0}}, {}},
        {"Invalid memory type in Socket2 (only RAM)", {{2, Socket(2, 6, 6)}}, {}},
        {"Invalid memory type in Socket3 (only None or FLASH or ROM)", {{4, Socket(1, 0, 0)}}, {}},
        {"Invalid memory type in Socket4 (only None or RAM)", {{6, Socket(3, 0, 0)}}, {}},
        {"Chip 1 size differs from Chip 3 size", {{4, Socket(2, 5, 6)}}, {}},
        {"Chip 2 size differs from Chip 4 size", {{6, Socket(1, 5, 6)}}, {}},
        {"Operation ROM memory is higher then Chip ROM size", {{0, Socket(2, 5, 7)}, {4, Socket(2, 5, 7)}}, {}},
        {"Operation RAM memory is higher then Chip RAM size", {{2, Socket(1, 5, 6)}}, {}},
        {"Operation ROM memory 1 differs from Operation ROM memory 3",
         {{0, Socket(2, 5, 5)}, {4, Socket(2, 5, 4)}},
         {}},
        {"Operation ROM memory 2 differs from Operation ROM memory 4", {{6, Socket(1, 6, 5)}}, {}},
        {"Invalid numeric value High ROM space", {}, [](TCfg386Setting& s) { s.High.Address.reset(); }},
        {"Invalid numeric value Low ROM space", {}, [](TCfg386Setting& s) { s.Low.Address.reset(); }},
        {"Invalid numeric value Cut ROM space", {}, [](TCfg386Setting& s) { s.Cut.Address.reset(); }},
        {"High ROM space address is too low", {{8, Space(15, 0)}}, {}},
        {"High ROM space address is too high", {}, [](TCfg386Setting& s) { s.High.Address = 0x100000; }},
        {"High ROM space exceeds 1MB", {{8, Space(31, 3)}}, {}},
        {"Ok", {{8, Space(30, 3)}}, {}},
        {"Low ROM space address is too low", {{10, Space(15, 0)}}, {}},
        {"Low ROM space overlaps High ROM space", {{8, Space(28, 3)}, {10, Space(16, 6)}}, {}},
        {"Cut ROM space address is too low", {{9, Space(15, 0)}}, {}},
        {"Cut ROM space address is too high", {}, [](TCfg386Setting& s) { s.Cut.Address = 0x100000; }},
        {"Cut ROM space exceeds 1MB", {{9, Space(31, 3)}}, {}},
    };
    for (const Case& c : cases) {
        Bytes record = kValid;
        for (const auto& [at, value] : c.bytes) {
            record[at] = value;
        }
        TCfg386Setting setting = DecodeCfg386(record).value();
        if (c.edit) {
            c.edit(setting);
        }
        const TCfg386Check check = CheckSetting(setting);
        EXPECT_EQ(check.Status, c.status) << ::testing::PrintToString(record);
        EXPECT_EQ(check.Ok, check.Status == "Ok");
    }
    EXPECT_FALSE(DecodeCfg386(Bytes(12)).has_value());
    EXPECT_FALSE(DecodeCfg386(Bytes(14)).has_value());
}

TEST(Cfg386Setup, ExtDiskIsWhatTheChipsLeaveBesideTheOperatingMemory) {
    const struct {
        std::uint8_t socket1, socket3;
        std::array<std::string, 4> ext;
    } cases[] = {
        {Socket(2, 6, 5), 0, {"256 kB", "0 kB", "0 kB", "0 kB"}},
        {Socket(2, 5, 5), Socket(2, 5, 5), {"128 kB", "0 kB", "128 kB", "0 kB"}},
        {Socket(0, 6, 5), 0, {"-256 kB", "0 kB", "0 kB", "0 kB"}}, // a socket without memory has no chip
    };
    for (const auto& c : cases) {
        Bytes record = kValid;
        record[0] = c.socket1;
        record[4] = c.socket3;
        EXPECT_EQ(CheckSetting(*DecodeCfg386(record)).ExtDisk, c.ext);
    }
}

TEST(MainEnumTypes, AppendedAfterTypesThatAreThereAndFoundThroughTheExtension) {
    ResetAppExtension();
    AppExtension().AppData = std::make_unique<TAppData>();
    TAppData& data = *AppExtension().AppData;
    data.EnumTypesColl = std::make_unique<TEnumTypesColl>();
    data.EnumTypesColl->Insert(std::make_unique<TEnumTypeDefinition>());
    EXPECT_EQ(CreateMainEnumTypes(data), 1u);
    EXPECT_EQ(data.EnumTypesColl->Count(), 10);
    ASSERT_NE(AppExtension().GetEnumStrings(7), nullptr);
    EXPECT_EQ(AppExtension().GetEnumStrings(7)->Get(31), "$F8000");
    ResetAppExtension();
}

} // namespace
} // namespace ravlo
