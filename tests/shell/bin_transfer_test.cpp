#include "shell/bin_read_model.h"
#include "shell/bin_write_model.h"
#include "support/box_recorder.h"
#include "support/fake_board_memory.h"
#include "support/scratch_dir.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using testing::FakeBoardMemory;

struct WriteCase {
    const char* name;
    TWriteSource source;
    const char* length;
    const char* address;
    const char* userVal;
    std::vector<int> answers; // to the questions asked
    std::string box;          // the last box ("" none)
    TWriterField focus;
    std::uint32_t written; // bytes handed to the board (0 none)
    std::string blockText; // what the block is called
};

TEST(BinWriter, ChecksInOrderThenTheBlockGoesToTheBoard) {
    testing::ScratchDir dir;
    const auto file = dir.Write("code.bin", "0123456789abcdef");
    const std::string fileName = file.string();
    const WriteCase cases[] = {
        {"hex length",
         TWriteSource::Empty,
         "10",
         "$C800:0000",
         "$EE",
         {},
         "",
         TWriterField::None,
         16,
         "< WHOLE BLOCK WITH $00 >"},
        {"zero length",
         TWriteSource::Empty,
         "0",
         "C800:0",
         "$EE",
         {},
         "Incorrect size format!",
         TWriterField::Length,
         0,
         ""},
        {"no number",
         TWriteSource::Empty,
         "1x",
         "C800:0",
         "$EE",
         {},
         "Incorrect size format!",
         TWriterField::Length,
         0,
         ""},
        {"past 1 MB",
         TWriteSource::Full,
         "$10001",
         "F000:0000",
         "$EE",
         {},
         "Exceed 1MB space!",
         TWriterField::None,
         0,
         ""},
        {"up to 1 MB",
         TWriteSource::Full,
         "$10000",
         "F000:0000",
         "$EE",
         {},
         "",
         TWriterField::None,
         0x10000,
         "< WHOLE BLOCK WITH $FF >"},
        {"user value",
         TWriteSource::User,
         "4",
         "C800:0",
         "$EE",
         {},
         "",
         TWriterField::None,
         4,
         "< WHOLE BLOCK WITH $EE >"},
        {"user value too big",
         TWriteSource::User,
         "4",
         "C800:0",
         "100",
         {},
         "Incorrect user value!",
         TWriterField::UserVal,
         0,
         ""},
        {"user value checked for a file too",
         TWriteSource::Specified,
         "4",
         "C800:0",
         "x",
         {},
         "Incorrect user value!",
         TWriterField::UserVal,
         0,
         ""},
        {"longer than the file",
         TWriteSource::Specified,
         "11",
         "C800:0",
         "0",
         {},
         "Length must not be higher that File size!",
         TWriterField::Length,
         0,
         ""},
        {"file", TWriteSource::Specified, "10", "C800:0", "0", {}, "", TWriterField::None, 16, fileName},
        {"bad address",
         TWriteSource::Empty,
         "4",
         "C800:10000",
         "0",
         {},
         "Incorrect address format!",
         TWriterField::Address,
         0,
         ""},
        {"lowest safe segment",
         TWriteSource::Empty,
         "4",
         "0400:0000",
         "0",
         {},
         "",
         TWriterField::None,
         4,
         "< WHOLE BLOCK WITH $00 >"},
        {"low segment, No",
         TWriteSource::Empty,
         "4",
         "03FF:0000",
         "0",
         {IDNO},
         "Address too low! (Overwrite BIOS working area.)\rAre you sure to write?",
         TWriterField::None,
         0,
         ""},
        {"low segment, Yes",
         TWriteSource::Empty,
         "4",
         "0000:F000",
         "0",
         {IDYES},
         "Address too low! (Overwrite BIOS working area.)\rAre you sure to write?",
         TWriterField::None,
         4,
         "< WHOLE BLOCK WITH $00 >"},
    };
    for (const WriteCase& c : cases) {
        SCOPED_TRACE(c.name);
        testing::BoxRecorder boxes;
        boxes.answers.assign(c.answers.begin(), c.answers.end());
        FakeBoardMemory board;
        TBinWriteModel writer(board);
        if (c.source == TWriteSource::Specified) {
            writer.FileName = file;
        }
        writer.SelectSource(c.source);
        writer.LengthText = c.length;
        writer.AddressText = c.address;
        writer.UserValText = c.userVal;
        EXPECT_EQ(writer.Write(), c.focus);
        EXPECT_EQ(boxes.Take(), c.box);
        ASSERT_EQ(board.Calls.size(), c.written > 0 ? 1u : 0u);
        if (c.written > 0) {
            EXPECT_EQ(board.Calls[0].Data.size(), c.written);
            EXPECT_EQ(board.Calls[0].Name, c.blockText);
            EXPECT_EQ(board.Calls[0].Address, LastWriteAddr());
        }
    }
}

TEST(BinWriter, BlocksHoldTheirValueOrTheFilesBytesAndTheAddressIsKept) {
    testing::ScratchDir dir;
    testing::BoxRecorder boxes;
    FakeBoardMemory board;
    TBinWriteModel writer(board);
    writer.UserValText = "$A5";
    writer.SelectSource(TWriteSource::User);
    writer.LengthText = "3";
    writer.AddressText = "$D000:0010";
    writer.Write();
    EXPECT_EQ(board.Calls.back().Data, (std::vector<std::uint8_t>{0xA5, 0xA5, 0xA5}));
    EXPECT_EQ(TBinWriteModel(board).AddressText, "$D000:0010") << "kept for the next window";

    // A chosen file sets the length; choosing the file source again cuts a longer one to it.
    EXPECT_TRUE(writer.FileChosen(dir.Write("a.bin", "ABCDE")));
    EXPECT_EQ(writer.LengthText, "$00000005");
    EXPECT_EQ(writer.Source(), TWriteSource::Specified);
    writer.LengthText = "2";
    writer.Write();
    EXPECT_EQ(board.Calls.back().Data, (std::vector<std::uint8_t>{'A', 'B'}));
    EXPECT_FALSE(writer.FileChosen(dir / "missing.bin"));
    EXPECT_EQ(boxes.Take(), "Can't open " + (dir / "missing.bin").string() + " !");
}

TEST(BinReader, TheRangeStaysInsideTheAddressSpace) {
    ReadSettings() = {};
    testing::BoxRecorder boxes;
    FakeBoardMemory board;
    TBinReadModel reader(board);
    EXPECT_EQ(reader.LengthText() + " " + reader.LengthBytesText(), "$18000 = 98304 bytes");
    EXPECT_TRUE(reader.AddressEntered("E000:0000"));
    EXPECT_EQ(ReadSettings().ReadLen, 0x18000u) << "ends inside 1 MB";
    EXPECT_TRUE(reader.AddressEntered("$F000:0000"));
    EXPECT_EQ(reader.LengthText(), "$10000");
    EXPECT_EQ(reader.RangeText(), "(Read Range:  000F0000h to 000FFFFFh)");
    // $100000 would leave nothing to read.
    for (const char* bad : {"FFFF:0010", "$100000", "1:2:3"}) {
        EXPECT_FALSE(reader.AddressEntered(bad)) << bad;
        EXPECT_EQ(boxes.Take(), "Incorrect address!");
    }
    EXPECT_EQ(reader.AddressText(), "$F000:0000");

    EXPECT_FALSE(reader.LengthEntered("$10001", false)) << "one byte too long, told at once";
    EXPECT_EQ(boxes.Take(), "Incorrect Len size!");
    EXPECT_TRUE(reader.LengthEntered("$", false)) << "still being typed";
    EXPECT_FALSE(reader.LengthEntered("", true));
    EXPECT_TRUE(reader.LengthEntered("100", false));
    EXPECT_EQ(reader.RangeText(), "(Read Range:  000F0000h to 000F00FFh)");
}

TEST(BinReader, ReadNeedsAFileInAnExistingFolderAndLeavesTheFileToTheRead) {
    ReadSettings() = {};
    testing::ScratchDir dir;
    testing::BoxRecorder boxes;
    FakeBoardMemory board;
    TBinReadModel reader(board);
    EXPECT_EQ(reader.FileName(), "./ROM.bin");
    reader.SetFileName({});
    EXPECT_FALSE(reader.Read());
    EXPECT_EQ(boxes.Take(), "At first select/enter file name.");
    reader.SetFileName(dir / "no" / "r.bin");
    EXPECT_FALSE(reader.Read());
    EXPECT_EQ(boxes.Take(), "Can't create " + (dir / "no" / "r.bin").string() + " !");
    const auto file = dir.Write("r.bin", "old");
    reader.SetFileName(file);
    EXPECT_TRUE(reader.Read());
    ASSERT_EQ(board.Calls.size(), 1u);
    EXPECT_EQ(board.Calls[0].Length, 0x18000u);
    EXPECT_EQ(board.Calls[0].Address, MakeFarPtr(0, 0xC800));
    EXPECT_EQ(dir.Text("r.bin"), "old") << "replaced only once all is read";
    EXPECT_EQ(TBinReadModel(board).FileName(), file);
}

} // namespace
} // namespace ravlo
