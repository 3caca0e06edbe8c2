#include "platform/exception.h"
#include "shell/mem_view_model.h"
#include "shell/user_level.h"
#include "support/box_recorder.h"
#include "support/fake_board_memory.h"

#include <gtest/gtest.h>
#include <numeric>
#include <tuple>

namespace ravlo {
namespace {

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

    // Pages step by 256 bytes.
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
