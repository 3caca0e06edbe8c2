#include "shell/bin_read_model.h"
#include "shell/bin_write_model.h"
#include "shell/progress_model.h"
#include "support/box_recorder.h"
#include "support/fake_board_memory.h"
#include "support/scratch_dir.h"

#include <gtest/gtest.h>
#include <tuple>

namespace ravlo {
namespace {

using S = TWriteSource;
using F = TWriterField;
constexpr const char* kLowQuestion =
    "Address too low! (Overwrite BIOS working area.)\rAre you sure to write?";

TEST(BinWriter, ChecksInOrderThenTheBlockGoesToTheBoard) {
    testing::ScratchDir dir;
    const auto file = dir.Write("code.bin", "0123456789abcdef");
    // Source, length, address, user value, the answer to a question (0: none asked), the last box or
    // the name of the block written, the bytes written, the control focused after a refusal.
    const std::tuple<S, const char*, const char*, const char*, int, std::string, std::uint32_t, F> cases[] = {
        {S::Empty, "10", "$C800:0000", "$EE", 0, "< WHOLE BLOCK WITH $00 >", 16, F::None},
        {S::Empty, "0", "C800:0", "$EE", 0, "Incorrect size format!", 0, F::Length},
        {S::Full, "$10001", "F000:0000", "$EE", 0, "Exceed 1MB space!", 0, F::None},
        {S::Full, "$10000", "F000:0000", "$EE", 0, "< WHOLE BLOCK WITH $FF >", 0x10000, F::None},
        {S::User, "4", "C800:0", "$A5", 0, "< WHOLE BLOCK WITH $A5 >", 4, F::None},
        {S::User, "4", "C800:0", "100", 0, "Incorrect user value!", 0, F::UserVal},
        {S::Specified, "4", "C800:0", "x", 0, "Incorrect user value!", 0, F::UserVal},
        {S::Specified, "11", "C800:0", "0", 0, "Length must not be higher that File size!", 0, F::Length},
        {S::Specified, "10", "C800:0", "0", 0, file.string(), 16, F::None},
        {S::Empty, "4", "C800:10000", "0", 0, "Incorrect address format!", 0, F::Address},
        {S::Empty, "4", "0400:0000", "0", 0, "< WHOLE BLOCK WITH $00 >", 4, F::None},
        {S::Empty, "4", "03FF:0000", "0", IDNO, kLowQuestion, 0, F::None},
        {S::Empty, "4", "0000:F000", "0", IDYES, "< WHOLE BLOCK WITH $00 >", 4, F::None},
    };
    for (const auto& [source, length, address, userVal, answer, outcome, written, focus] : cases) {
        SCOPED_TRACE(std::string(length) + " at " + address + ", " + outcome);
        testing::BoxRecorder boxes;
        boxes.answers = {answer};
        testing::FakeBoardMemory board;
        TBinWriteModel writer(board);
        writer.FileName = source == S::Specified ? file : std::filesystem::path();
        writer.SelectSource(source);
        writer.LengthText = length;
        writer.AddressText = address;
        writer.UserValText = userVal;
        EXPECT_EQ(writer.Write(), focus);
        ASSERT_EQ(board.Calls.size(), written > 0 ? 1u : 0u);
        EXPECT_EQ(written > 0 ? board.Calls[0].Name : boxes.Take(), outcome);
        if (written > 0) {
            EXPECT_EQ(board.Calls[0].Data.size(), written);
            EXPECT_EQ(board.Calls[0].Address, LastWriteAddr());
        }
    }
}

TEST(BinWriter, BlocksHoldTheFilesBytesOrTheValueAndTheAddressIsKept) {
    testing::ScratchDir dir;
    testing::BoxRecorder boxes;
    testing::FakeBoardMemory board;
    LastWriteAddr() = MakeFarPtr(0x10, 0xD000);
    TBinWriteModel writer(board);
    EXPECT_EQ(writer.AddressText, "$D000:0010") << "the last write's address, kept for the run";
    EXPECT_TRUE(writer.FileChosen(dir.Write("a.bin", "ABCDE")));
    EXPECT_EQ(writer.LengthText, "$00000005");
    writer.LengthText = "2";
    writer.Write();
    EXPECT_EQ(board.Calls.back().Data, (std::vector<std::uint8_t>{'A', 'B'}));
    writer.SelectSource(S::User);
    writer.UserValText = "$A5";
    writer.Write();
    EXPECT_EQ(board.Calls.back().Data, std::vector<std::uint8_t>(2, 0xA5));
    EXPECT_FALSE(writer.FileChosen(dir / "none.bin"));
    EXPECT_EQ(boxes.Take(), "Can't open " + (dir / "none.bin").string() + " !");
}

class BinReader : public ::testing::Test {
protected:
    BinReader() { ReadSettings() = {}; }
    testing::BoxRecorder boxes;
    testing::FakeBoardMemory board;
    TBinReadModel reader{board};
};

TEST_F(BinReader, TheRangeStaysInsideTheAddressSpace) {
    EXPECT_EQ(reader.LengthText() + " " + reader.LengthBytesText(), "$18000 = 98304 bytes");
    EXPECT_TRUE(reader.AddressEntered("E000:0000"));
    EXPECT_EQ(ReadSettings().ReadLen, 0x18000u) << "ends inside 1 MB";
    EXPECT_TRUE(reader.AddressEntered("$F000:0000"));
    EXPECT_EQ(reader.LengthText(), "$10000");
    EXPECT_EQ(reader.RangeText(), "(Read Range:  000F0000h to 000FFFFFh)");
    for (const char* bad : {"FFFF:0010", "$100000", "1:2:3"}) { // $100000 would leave nothing to read
        EXPECT_FALSE(reader.AddressEntered(bad)) << bad;
        EXPECT_EQ(boxes.Take(), "Incorrect address!");
    }
    EXPECT_EQ(reader.AddressText(), "$F000:0000");
    EXPECT_FALSE(reader.LengthEntered("$10001", false)) << "one byte too long, told at once";
    EXPECT_EQ(boxes.Take(), "Incorrect Len size!");
    EXPECT_TRUE(reader.LengthEntered("$", false)) << "still being typed";
    EXPECT_FALSE(reader.LengthEntered("", true));
}

TEST_F(BinReader, ReadNeedsAFileInAnExistingFolderAndLeavesTheFileToTheRead) {
    testing::ScratchDir dir;
    for (const std::filesystem::path& bad : {std::filesystem::path(), dir / "no" / "r.bin"}) {
        reader.SetFileName(bad);
        EXPECT_FALSE(reader.Read());
    }
    EXPECT_EQ(boxes.texts,
              (std::vector<std::string>{"At first select/enter file name.",
                                        "Can't create " + (dir / "no" / "r.bin").string() + " !"}));
    reader.SetFileName(dir.Write("r.bin", "old"));
    EXPECT_TRUE(reader.Read());
    ASSERT_EQ(board.Calls.size(), 1u);
    EXPECT_EQ(board.Calls[0].Length, 0x18000u);
    EXPECT_EQ(dir.Text("r.bin"), "old") << "replaced only once all is read";
    EXPECT_EQ(TBinReadModel(board).FileName(), dir / "r.bin");
}

TProgressRequest Transfer(std::uint32_t first, std::uint32_t end, std::int32_t done) {
    return {"Reading Data from Vok", "ROM1.BIN", LinToFarPtr(first), LinToFarPtr(end), done};
}

TEST(ProgressModel, TheRateIsComputedOncePerSecondAndKeptBetween) {
    TProgressModel model;
    const auto ticks = [&model](int count) {
        while (count-- > 0) {
            model.TimerTick();
        }
    };
    model.Open(Transfer(0xC8000, 0xCFFFF, 0));
    ticks(9);
    model.UpdateProgress(Transfer(0xC8000, 0xCFFFF, 4096));
    EXPECT_EQ(model.SpeedText(), "") << "fewer than ten ticks";
    model.TimerTick();
    model.UpdateProgress(Transfer(0xC8000, 0xCFFFF, 5120));
    EXPECT_EQ(model.SpeedText(), " 5.0 kB/s");
    ticks(3);
    model.UpdateProgress(Transfer(0xC8000, 0xCFFFF, 8192));
    EXPECT_EQ(model.SpeedText(), " 5.0 kB/s") << "kept until the next computation";
}

TEST(ProgressModel, GaugeAcrossTheEndOfMemoryAtTheLastByteAndWithoutATransfer) {
    TProgressModel model;
    model.Open(Transfer(0xFFF00, 0x000FF, 0));
    model.UpdateProgress(Transfer(0xFFF00, 0x000FF, 0x100));
    EXPECT_EQ(model.Gauge(), 50) << "the end past 1 MB counts on above it";
    model.UpdateProgress(Transfer(0xFFF00, 0x000FF, 0x200));
    EXPECT_EQ(model.Gauge(), 100) << "one past the last byte stays full";
    model.UpdateProgress(std::nullopt);
    EXPECT_EQ(model.Gauge(), 100);
    EXPECT_EQ(model.FileText(), "");
    EXPECT_EQ(*model.Caption(), "Reading Data from Vok") << "the caption stays";
}

} // namespace
} // namespace ravlo
