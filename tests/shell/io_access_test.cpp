#include "platform/ini_file.h"
#include "protocol/ma_messages.h"
#include "shell/io_access.h"
#include "support/box_recorder.h"
#include "support/fake_tool_board.h"
#include "support/scratch_dir.h"

#include <gtest/gtest.h>
#include <map>

namespace ravlo {
namespace {

using Key = THexOverwriteEdit::Key;
constexpr WindowHandle kWindow = 77;

TEST(HexOverwriteEdit, TypesOverTheDigitsBehindTheDollar) {
    struct Case {
        const char* start;
        std::size_t caret;
        std::string keys;
        const char* text;
        std::size_t caretAfter;
    };
    const Case cases[] = {
        {"$2300", 1, "4", "$4300", 2},   {"$2300", 1, "4B", "$0300", 1},  {"$2300", 1, "BL", "$2300", 1},
        {"$2300", 3, "HaD", "$A300", 2}, {"$2300", 4, "xg9", "$2309", 5}, {"$2300", 5, "7", "$2300", 5},
        {"$F", 2, "c", "$FC", 3},        {"$FC", 3, "1", "$FC", 3},       {"$", 1, "", "$0", 1},
    };
    // Backspace, Home, Left and Delete by their letters; other characters are typed.
    const std::map<char, Key> keys = {
        {'B', Key::Backspace}, {'H', Key::Home}, {'L', Key::Left}, {'D', Key::Delete}};
    for (const Case& c : cases) {
        THexOverwriteEdit edit(std::string_view(c.start).size() > 3 ? 5 : 3);
        edit.SetText(c.start);
        edit.SetCaret(c.caret);
        for (const char k : c.keys) {
            keys.contains(k) ? static_cast<void>(edit.Press(keys.at(k))) : static_cast<void>(edit.Type(k));
        }
        EXPECT_EQ(edit.Text(), c.text) << c.start << " " << c.keys;
        EXPECT_EQ(edit.Caret(), c.caretAfter) << c.start << " " << c.keys;
    }
}

class IOAccessTest : public ::testing::Test {
protected:
    // Types an address over the shown one, as the user does from after the "$".
    static void TypeAddr(TIOAccess& io, std::string_view digits) {
        io.SetAddrCaret(1);
        for (const char c : digits) {
            io.AddrType(c);
        }
    }
    std::filesystem::path Ini(std::string_view text) { return dir.Write("RTDW.INI", text); }

    testing::ScratchDir dir;
    testing::FakeToolBoard board;
    testing::BoxRecorder boxes;
};

TEST_F(IOAccessTest, TenPortsUsedKeepTheLastEightNewestFirstInTheFileAndBack) {
    const auto file = Ini("[OTHER]\r\nKey=1\r\n");
    {
        TIOAccess io(board, kWindow, file);
        for (int i = 0; i < 10; ++i) {
            TypeAddr(io, "30" + std::to_string(i) + "0");
            io.SetDescription("port " + std::to_string(i));
        }
        io.SetByteAccess(false);
        io.DataType('1');
        ASSERT_TRUE(io.Close());
    }
    const IniFile ini(file);
    EXPECT_EQ(ini.ReadString("IOACCESS", "Count"), "8");
    EXPECT_EQ(ini.ReadString("IOACCESS1", "Addr"), std::to_string(0x3090));
    EXPECT_EQ(ini.ReadString("IOACCESS1", "BitAccess"), "16");
    EXPECT_EQ(ini.ReadString("OTHER", "Key"), "1");

    const TIOAccess again(board, kWindow, file);
    ASSERT_EQ(again.List().Count(), 8U);
    EXPECT_EQ(again.List()[0], (TIOItem{0x3090, "port 9", false, 0x1000}));
    EXPECT_EQ(again.List()[7], (TIOItem{0x3020, "port 2", true, 0}));
    EXPECT_EQ(again.Addr().Text(), "$3090") << "entry 1 shown";
}

TEST_F(IOAccessTest, LoadingLeavesOutEntriesWithoutDescriptionOrWithBadValues) {
    const auto file = Ini("[IOACCESS]\r\nCount=4\r\n[IOACCESS1]\r\nAddr=768\r\nDescript=\r\n"
                          "[IOACCESS2]\r\nAddr=770\r\nDescript=word\r\nBitAccess=16\r\nData=4660\r\n"
                          "[IOACCESS3]\r\nAddr=70000\r\nDescript=too far\r\n"
                          "[IOACCESS4]\r\nDescript=defaults\r\nBitAccess=12\r\n");
    const TIOAccess io(board, kWindow, file);
    EXPECT_EQ(io.List().Items(),
              (std::vector<TIOItem>{{770, "word", false, 0x1234}, {0x2300, "defaults", false, 0}}));

    TIOAccess none(board, kWindow, dir / "missing.ini");
    none.SetDescription("first");
    EXPECT_EQ(none.List().Count(), 1U) << "the first description makes an entry";
    EXPECT_TRUE(none.Close());
    EXPECT_FALSE(std::filesystem::exists(dir / "missing.ini")) << "a missing file is not created";
}

TEST_F(IOAccessTest, TypingAnAddressShowsItsEntryOrStartsANewOneAndTheDataFollowsTheWidth) {
    TIOAccess io(board, kWindow, dir / "none.ini");
    io.SetDescription("A");
    TypeAddr(io, "4");
    io.SetDescription("B");
    io.SetByteAccess(false);
    EXPECT_EQ(io.AddrItems(), (std::vector<std::string>{"$4300", "$2300"}));
    TypeAddr(io, "2");
    EXPECT_EQ(io.SelIdx(), 2);
    EXPECT_EQ(io.Description(), "A");
    EXPECT_TRUE(io.ByteAccess()) << "the entry's own width";
    EXPECT_EQ(io.Addr().Caret(), 2U) << "the caret stays with the typing";
    TypeAddr(io, "5");
    EXPECT_EQ(io.SelIdx(), TIOAccess::kNoEntry);
    EXPECT_EQ(io.Description(), "");
    io.SelectEntry(1);
    EXPECT_EQ(io.Addr().Text(), "$2300");
    io.SetDescription("renamed");
    EXPECT_EQ(io.DescrItems(), (std::vector<std::string>{"renamed", "B"}));

    // The width and the bits follow the data.
    io.SetByteAccess(false);
    io.SetDataCaret(1);
    for (const char c : std::string("1234")) {
        io.DataType(c);
    }
    io.SetByteAccess(true);
    EXPECT_EQ(io.DataEdit().Text(), "$34");
    io.SetBit(0, true);
    io.SetByteAccess(false);
    EXPECT_EQ(io.DataEdit().Text(), "$1235") << "the high byte kept";
    EXPECT_EQ(io.List()[0].Data, 0x1235);
}

TEST_F(IOAccessTest, ReadAndWriteGoToTheBoardAndTheirAnswersToTheStatus) {
    TIOAccess io(board, kWindow, dir / "none.ini");
    board.Link = false;
    io.Read();
    EXPECT_EQ(boxes.Take(), "Device not connected!");
    EXPECT_TRUE(board.IOCalls.empty());

    board.Link = true;
    io.HandleMessage(wm_IORdDone, 0x12, 1); // no read asked for
    io.Read();
    io.HandleMessage(wm_IORdDone, 0xABCD, 2);
    EXPECT_EQ(io.DataEdit().Text(), "$00") << "a word answer to a byte read changes nothing but the status";
    EXPECT_EQ(io.Status(), "Data read successfully");
    EXPECT_FALSE(io.ReadPending());
    io.Read();
    io.HandleMessage(wm_IORdDone, 0x5A, 1);
    EXPECT_EQ(io.DataEdit().Text(), "$5A");
    io.SetByteAccess(false);
    io.Write();
    io.HandleMessage(wm_IOWrDone, 0, 0);
    EXPECT_EQ(io.Status(), "Data written successfully");
    EXPECT_EQ(board.IOCalls.back(), (testing::FakeToolBoard::IOCall{true, false, 0x2300, 0x005A, kWindow}));
}

} // namespace
} // namespace ravlo
