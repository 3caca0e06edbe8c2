#include "framework/rtdw_ini.h"
#include "platform/exception.h"
#include "shell/bin_read_model.h"
#include "shell/bin_write_model.h"
#include "shell/mem_view_model.h"
#include "shell/progress_model.h"
#include "shell/user_level.h"
#include "support/box_recorder.h"
#include "support/fake_board_memory.h"
#include "support/scoped_env.h"
#include "support/scratch_dir.h"

#include <gtest/gtest.h>
#include <numeric>
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

TEST_F(BinReader, TheFirstFileOfferedIsInTheProjectsFolderElseInTheHomeFolder) {
    const testing::ScopedEnv home("HOME", "/home/someone");
    EXPECT_EQ(TBinReadModel(board).FileName(), "/home/someone/ROM.bin");
    ProjectDir = "/work/prj/";
    EXPECT_EQ(TBinReadModel(board).FileName(), "/work/prj/ROM.bin");
    ProjectDir.clear();
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

constexpr WindowHandle kView = 42;

class MemViewModelTest : public ::testing::Test {
protected:
    MemViewModelTest() : view(board, kView) {
        UserLevel = 2;
        std::vector<std::uint8_t> page(256);
        std::iota(page.begin(), page.end(), 0);
        view.ShowPage(MakeFarPtr(0, 0xC800), page);
    }
    ~MemViewModelTest() override { UserLevel = 0; }

    std::optional<TMemCaret> Type(std::string_view keys, TMemCaret caret) {
        std::optional<TMemCaret> at = caret;
        for (const char key : keys) {
            at = view.KeyPress(key, at.value_or(caret));
        }
        return at;
    }

    testing::BoxRecorder boxes;
    testing::FakeBoardMemory board;
    TMemViewModel view;
};

TEST_F(MemViewModelTest, RowsOfSixteenOrEightBytes) {
    EXPECT_EQ(view.LineText(0).substr(57), std::string(16, ' ')) << "control bytes show as blanks";
    EXPECT_EQ(view.LineText(2), "$C8020  20-21-22-23-24-25-26-27-28-29-2A-2B-2C-2D-2E-2F   !\"#$%&'()*+,-./");
    EXPECT_TRUE(view.SetBytesPerRow(TMemViewModel::BytesPerRowFor(41)));
    EXPECT_EQ(view.LineText(5), "$C8028  28-29-2A-2B-2C-2D-2E-2F  ()*+,-./");
}

TEST_F(MemViewModelTest, TheCaretComesToRestOnAByteAndNamesItsAddress) {
    const std::tuple<TMemCaret, TMemCaret, const char*> cases[] = {
        {{0, 0}, {8, 0}, "Act.Addr: $C8000"},   // the address column
        {{10, 1}, {8, 1}, "Act.Addr: $C8010"},  // a separator
        {{12, 0}, {12, 0}, "Act.Addr: $C8001"}, // a low digit
        {{55, 3}, {53, 3}, "Act.Addr: $C803F"}, // between the areas
        {{99, 40}, {72, 15}, "Act.Addr: $C80FF"},
    };
    for (const auto& [from, to, actPos] : cases) {
        EXPECT_EQ(view.RefreshCursor(from), to) << actPos;
        EXPECT_EQ(view.ActPosText(), actPos);
    }
}

TEST_F(MemViewModelTest, KeysMoveByDigitsBytesAndRows) {
    using K = TMemKey;
    // The caret after the key (nothing: the edit's own handling), and whether it beeped.
    const std::tuple<K, TMemCaret, std::optional<TMemCaret>, int> cases[] = {
        {K::Left, {11, 0}, TMemCaret{8, 0}, 0},     {K::Left, {8, 1}, TMemCaret{53, 0}, 0},
        {K::Left, {8, 0}, TMemCaret{8, 0}, 1},      {K::Right, {53, 0}, TMemCaret{8, 1}, 0},
        {K::Right, {54, 15}, TMemCaret{54, 15}, 1}, {K::Right, {72, 0}, TMemCaret{57, 1}, 0},
        {K::Left, {57, 0}, TMemCaret{57, 0}, 1},    {K::PageDown, {14, 0}, TMemCaret{59, 0}, 0},
        {K::Down, {8, 15}, TMemCaret{8, 15}, 1},    {K::Down, {8, 3}, std::nullopt, 0},
    };
    for (const auto& [key, from, to, beeps] : cases) {
        const int before = boxes.beeps;
        EXPECT_EQ(view.KeyDown(key, from), to) << static_cast<int>(key) << " from " << from.Col;
        EXPECT_EQ(boxes.beeps - before, beeps);
    }
}

TEST_F(MemViewModelTest, EditingNeedsTheWriteLevel) {
    UserLevel = 1;
    EXPECT_FALSE(Type("A", {8, 0}));
    EXPECT_EQ(view.Page()[0], 0);
    UserLevel = 2;
    EXPECT_EQ(Type("A5", {8, 0}), (TMemCaret{11, 0}));
    EXPECT_EQ(view.Page()[0], 0xA5);
    EXPECT_EQ(Type("c3", {53, 0}), (TMemCaret{8, 1})) << "past the row's last byte";
    EXPECT_EQ(Type("FF", {53, 15}), (TMemCaret{54, 15})) << "the page's last byte keeps the caret";
    EXPECT_EQ(Type("z", {72, 0}), (TMemCaret{57, 1}));
    EXPECT_FALSE(view.KeyPress('\x07', {57, 1})) << "a control character changes nothing";
    EXPECT_EQ(view.Changed().count(), 3u);
}

TEST_F(MemViewModelTest, ATypedLetterTheCodePageCannotHoldIsRefusedAndTheByteStays) {
    // What the keyboard gives, where, the byte after it, whether the caret moved, boxes and beeps.
    const std::tuple<const char*, TMemCaret, std::uint8_t, bool, int> cases[] = {
        {"ä", {57, 0}, 0xE4, true, 0},  // a letter of the code page
        {"Ж", {57, 0}, 0x00, false, 1}, // Cyrillic
        {"\U0001F600", {57, 0}, 0x00, false, 1},
        {"Ж", {8, 0}, 0x00, false, 0},   // no hex digit: nothing, as any other letter
        {"ab", {57, 0}, 0x00, false, 0}, // only one character at a time
    };
    for (const auto& [text, at, byte, moved, refusals] : cases) {
        view.ShowPage(MakeFarPtr(0, 0xC800), std::vector<std::uint8_t>(256));
        const int beeps = boxes.beeps;
        EXPECT_EQ(view.KeyPressText(text, at).has_value(), moved) << text;
        EXPECT_EQ(view.Page()[0], byte) << text;
        EXPECT_EQ(view.Changed().count(), moved ? 1u : 0u) << text;
        EXPECT_EQ(boxes.texts.size(), static_cast<std::size_t>(refusals)) << text;
        EXPECT_EQ(boxes.beeps - beeps, refusals) << text;
        if (refusals != 0) {
            EXPECT_EQ(boxes.Take(), "Vok memory can't hold letters outside Central European code page 1250 "
                                    "(such as Cyrillic).");
        }
    }
    UserLevel = 1;
    EXPECT_FALSE(view.KeyPressText("Ж", {57, 0}));
    EXPECT_TRUE(boxes.texts.empty()) << "a user who may not write edits nothing, nor is told";
}

TEST_F(MemViewModelTest, SavingWritesThePageOrRestoresItAndPagesStepBy256Bytes) {
    Type("11", {8, 0});
    board.IsConnected = false;
    EXPECT_FALSE(view.Save());
    EXPECT_EQ(boxes.Take(), "Device not connected!");
    board.IsConnected = true;
    boxes.answers = {IDCANCEL, IDNO};
    EXPECT_FALSE(view.Save());
    EXPECT_TRUE(view.SaveEnabled()) << "Cancel keeps the edits";
    EXPECT_TRUE(view.Save());
    EXPECT_EQ(view.Page()[0], 0) << "No: the page as read";
    EXPECT_FALSE(view.SaveEnabled());
    Type("22", {8, 0});
    boxes.answers = {IDYES};
    EXPECT_TRUE(view.Save());
    ASSERT_EQ(board.Calls.size(), 1u);
    EXPECT_EQ(board.Calls[0].Address, MakeFarPtr(0, 0xC800));
    EXPECT_EQ(board.Calls[0].Data[0], 0x22);

    view.ShowPage(MakeFarPtr(0x20, 0x0010), std::vector<std::uint8_t>(256));
    EXPECT_TRUE(view.StepPage(-1));
    ASSERT_EQ(board.Calls.size(), 2u);
    EXPECT_EQ(board.Calls[1].Address, MakeFarPtr(0x20, 0x0000));
    EXPECT_EQ(board.Calls[1].Notify, kView);
    EXPECT_EQ(MemViewAddr(), MakeFarPtr(0x20, 0x0000)) << "where the next view opens";
    EXPECT_EQ(view.Addr(), MakeFarPtr(0x20, 0x0010)) << "until the page has come";

    view.ShowPage(MakeFarPtr(0, 0xFFF0), std::vector<std::uint8_t>(256));
    Type("1", {8, 0});
    EXPECT_THROW(view.StepPage(1), ERangeError);
    boxes.answers = {IDCANCEL};
    EXPECT_FALSE(view.StepPage(-1));
    EXPECT_EQ(board.Calls.size(), 2u) << "Cancel stays on the page";
}

} // namespace
} // namespace ravlo
