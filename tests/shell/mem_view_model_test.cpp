#include "platform/exception.h"
#include "shell/mem_view_model.h"
#include "shell/user_level.h"
#include "support/box_recorder.h"
#include "support/fake_board_memory.h"

#include <gtest/gtest.h>
#include <numeric>

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
    EXPECT_EQ(view.LineText(0).substr(0, 19), "$C8000  00-01-02-03");
    EXPECT_EQ(view.LineText(0).substr(57), std::string(16, ' ')) << "control bytes show as blanks";
    EXPECT_EQ(view.LineText(2), "$C8020  20-21-22-23-24-25-26-27-28-29-2A-2B-2C-2D-2E-2F   !\"#$%&'()*+,-./");
    EXPECT_EQ(TMemViewModel::BytesPerRowFor(72), 8);
    EXPECT_TRUE(view.SetBytesPerRow(TMemViewModel::BytesPerRowFor(41)));
    EXPECT_EQ(view.LastRow(), 31);
    EXPECT_EQ(view.LineText(5), "$C8028  28-29-2A-2B-2C-2D-2E-2F  ()*+,-./");
    EXPECT_EQ(view.DataHeadText(), "Data hexa (ofs 00-01-02-...-07)");
}

TEST_F(MemViewModelTest, TheCaretComesToRestOnAByteAndNamesItsAddress) {
    struct Case {
        TMemCaret from;
        TMemCaret to;
        bool high;
        const char* actPos;
    };
    const Case cases[] = {
        {{0, 0}, {8, 0}, true, "Act.Addr: $C8000"},    // the address column
        {{10, 1}, {8, 1}, true, "Act.Addr: $C8010"},   // a separator
        {{12, 0}, {12, 0}, false, "Act.Addr: $C8001"}, // a low digit
        {{55, 3}, {53, 3}, true, "Act.Addr: $C803F"},  // between the areas
        {{60, 2}, {60, 2}, true, "Act.Addr: $C8023"},  // the character area
        {{99, 40}, {72, 15}, true, "Act.Addr: $C80FF"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(view.RefreshCursor(c.from), c.to) << c.actPos;
        EXPECT_EQ(view.ActPosText(), c.actPos);
        if (view.InHex()) {
            EXPECT_EQ(view.HighNibble(), c.high) << c.actPos;
        }
    }
}

TEST_F(MemViewModelTest, KeysMoveByDigitsBytesAndRows) {
    struct Case {
        TMemKey key;
        TMemCaret from;
        std::optional<TMemCaret> to; // nothing: the edit's own handling
        int beeps;
    };
    const Case cases[] = {
        {TMemKey::Left, {11, 0}, TMemCaret{8, 0}, 0},    {TMemKey::Left, {12, 0}, TMemCaret{11, 0}, 0},
        {TMemKey::Left, {8, 1}, TMemCaret{53, 0}, 0},    {TMemKey::Left, {8, 0}, TMemCaret{8, 0}, 1},
        {TMemKey::Right, {8, 0}, TMemCaret{11, 0}, 0},   {TMemKey::Right, {9, 0}, TMemCaret{11, 0}, 0},
        {TMemKey::Right, {53, 0}, TMemCaret{8, 1}, 0},   {TMemKey::Right, {54, 15}, TMemCaret{54, 15}, 1},
        {TMemKey::Right, {72, 0}, TMemCaret{57, 1}, 0},  {TMemKey::Left, {57, 1}, TMemCaret{72, 0}, 0},
        {TMemKey::Left, {57, 0}, TMemCaret{57, 0}, 1},   {TMemKey::PageDown, {14, 0}, TMemCaret{59, 0}, 0},
        {TMemKey::PageUp, {59, 0}, TMemCaret{14, 0}, 0}, {TMemKey::Home, {20, 3}, TMemCaret{8, 3}, 0},
        {TMemKey::End, {60, 3}, TMemCaret{72, 3}, 0},    {TMemKey::Down, {8, 15}, TMemCaret{8, 15}, 1},
        {TMemKey::Down, {8, 3}, std::nullopt, 0},
    };
    for (const Case& c : cases) {
        const int before = boxes.beeps;
        EXPECT_EQ(view.KeyDown(c.key, c.from), c.to) << static_cast<int>(c.key) << " from " << c.from.Col;
        EXPECT_EQ(boxes.beeps - before, c.beeps);
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
    EXPECT_FALSE(view.KeyPress('g', {8, 2})) << "no hex digit";
    EXPECT_EQ(view.Page()[15], 'z');
    EXPECT_EQ(view.Changed().count(), 3u);
    EXPECT_TRUE(view.SaveEnabled());
}

TEST_F(MemViewModelTest, SavingWritesThePageOrRestoresIt) {
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
    EXPECT_EQ(boxes.Take(), "Save changes to Vok?");
    ASSERT_EQ(board.Calls.size(), 1u);
    EXPECT_EQ(board.Calls[0].Address, MakeFarPtr(0, 0xC800));
    EXPECT_EQ(board.Calls[0].Data, view.Page());
    EXPECT_EQ(board.Calls[0].Data[0], 0x22);
    EXPECT_TRUE(view.Changed().none());
}

TEST_F(MemViewModelTest, PageStepsAskForTheNeighbouringPage) {
    view.ShowPage(MakeFarPtr(0x20, 0x0010), std::vector<std::uint8_t>(256));
    EXPECT_TRUE(view.StepPage(-1));
    ASSERT_EQ(board.Calls.size(), 1u);
    EXPECT_EQ(board.Calls[0].Address, MakeFarPtr(0x20, 0x0000));
    EXPECT_EQ(board.Calls[0].Notify, kView);
    EXPECT_EQ(MemViewAddr(), MakeFarPtr(0x20, 0x0000)) << "where the next view opens";
    EXPECT_EQ(view.Addr(), MakeFarPtr(0x20, 0x0010)) << "until the page has come";

    view.ShowPage(MakeFarPtr(0, 0xFFF0), std::vector<std::uint8_t>(256));
    Type("1", {8, 0});
    EXPECT_THROW(view.StepPage(1), ERangeError);
    boxes.answers = {IDCANCEL};
    EXPECT_FALSE(view.StepPage(-1));
    EXPECT_EQ(board.Calls.size(), 1u);
    EXPECT_TRUE(view.SaveEnabled());
    board.IsConnected = false;
    EXPECT_FALSE(view.StepPage(-1));
    EXPECT_EQ(boxes.Take(), "Device not connected!");
}

} // namespace
} // namespace ravlo
