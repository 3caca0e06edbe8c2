// The 386 setup record on bytes: the setting it holds and the setup check with its Ext. disk sizes;
// the setup dialogs' enum types.
#include "framework/app_data.h"
#include "shell/cfg386_setup.h"
#include "shell/main_enum_types.h"

#include <functional>
#include <gtest/gtest.h>

namespace ravlo {
namespace {

using Bytes = std::vector<std::uint8_t>;

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
