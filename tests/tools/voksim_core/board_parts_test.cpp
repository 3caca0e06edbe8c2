#include "platform/exception.h"
#include "support/scratch_dir.h"
#include "voksim/board_clock.h"
#include "voksim/board_memory.h"
#include "voksim/fault_injector.h"

#include <gtest/gtest.h>

namespace ravlo::voksim {
namespace {

using std::chrono::seconds;

TEST(voksimClock, RunsOnFromTheTimeItWasSetAcrossYearEnds) {
    BoardClock clock({1999, 12, 31, 23, 59, 50}, false, seconds(100));
    EXPECT_EQ(clock.Now(seconds(100)), (ClockTime{1999, 12, 31, 23, 59, 50}));
    EXPECT_EQ(clock.Now(seconds(111)), (ClockTime{2000, 1, 1, 0, 0, 1}));
    clock.Set({2100, 2, 28, 23, 59, 59}, seconds(200));
    EXPECT_EQ(clock.Now(seconds(201)), (ClockTime{2100, 3, 1, 0, 0, 0})); // 2100 is no leap year

    BoardClock stopped({2024, 1, 1, 0, 0, 0}, true, seconds(0));
    EXPECT_EQ(stopped.Now(seconds(1000)), (ClockTime{2024, 1, 1, 0, 0, 0}));
}

TEST(voksimClock, ValidatesAndParsesTimes) {
    EXPECT_TRUE(IsValidClockTime({2000, 2, 29, 0, 0, 0}));
    for (const ClockTime bad : {ClockTime{2023, 2, 29, 0, 0, 0}, ClockTime{1979, 1, 1, 0, 0, 0},
                                ClockTime{2024, 4, 31, 0, 0, 0}, ClockTime{2024, 1, 1, 24, 0, 0}}) {
        EXPECT_FALSE(IsValidClockTime(bad)) << bad.year << "-" << bad.month << "-" << bad.day;
    }
    EXPECT_EQ(ParseClockTime("2024-02-29T23:59:58"), (ClockTime{2024, 2, 29, 23, 59, 58}));
    EXPECT_EQ(ParseClockTime("2024-02-29 23:59:58"), (ClockTime{2024, 2, 29, 23, 59, 58}));
    EXPECT_FALSE(ParseClockTime("2024-2-29T23:59:58").has_value());
    EXPECT_FALSE(ParseClockTime("2024-02-29T23:59:5x").has_value());
}

TEST(voksimMemory, LoadsFilesThatFitAndSavesAllOfIt) {
    const ravlo::testing::ScratchDir dir;
    dir.Write("rom.bin", "ABCD");
    BoardMemory memory;
    memory.LoadFile(dir / "rom.bin", 0xFFFFC);
    EXPECT_EQ(memory.Read(0xFFFFF), 'D');
    EXPECT_THROW(memory.LoadFile(dir / "rom.bin", 0xFFFFD), EStreamError);
    EXPECT_THROW(memory.LoadFile(dir / "missing.bin", 0), EStreamError);
    // Blocks and sums wrap at 1 MB.
    memory.WriteBlock(0xFFFFF, std::vector<std::uint8_t>{1, 2});
    EXPECT_EQ(memory.Read(0), 2);
    EXPECT_EQ(memory.Sum(0xFFFFF, 2), 3);

    memory.SaveFile(dir / "out.bin");
    EXPECT_EQ(std::filesystem::file_size(dir / "out.bin"), BoardMemory::kSize);
    EXPECT_FALSE(std::filesystem::exists(dir / "out.bin.tmp"));
    BoardMemory again;
    again.LoadFile(dir / "out.bin", 0);
    EXPECT_EQ(again.ReadBlock(0xFFFFC, 5), memory.ReadBlock(0xFFFFC, 5));
}

TEST(voksimFaults, WhenSpecsStrikeTheFirstNAllOrAtARate) {
    EXPECT_FALSE(ParseFaultWhen("").has_value());
    EXPECT_FALSE(ParseFaultWhen("-1").has_value());
    EXPECT_FALSE(ParseFaultWhen("1.5").has_value());
    EXPECT_EQ(ParseFaultWhen("0")->kind, FaultWhen::Kind::Never);

    FaultOptions options;
    options.when[static_cast<std::size_t>(Fault::Mute)] = *ParseFaultWhen("2");
    options.when[static_cast<std::size_t>(Fault::CheckErr)] = *ParseFaultWhen("all");
    options.when[static_cast<std::size_t>(Fault::EmptHAL)] = *ParseFaultWhen("0.5");
    FaultInjector faults(options, 3);
    FaultInjector same(options, 3);
    int rate_hits = 0;
    for (int i = 0; i < 1000; ++i) {
        EXPECT_EQ(faults.Strike(Fault::Mute), i < 2);
        EXPECT_TRUE(faults.Strike(Fault::CheckErr));
        EXPECT_FALSE(faults.Strike(Fault::Delay));
        const bool hit = faults.Strike(Fault::EmptHAL);
        EXPECT_EQ(hit, same.Strike(Fault::EmptHAL));
        rate_hits += hit ? 1 : 0;
    }
    EXPECT_GT(rate_hits, 400);
    EXPECT_LT(rate_hits, 600);
    EXPECT_EQ(faults.Struck(Fault::Mute), 2u);
}

} // namespace
} // namespace ravlo::voksim
