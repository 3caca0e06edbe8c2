// The IO window, the clock window and the COM dialog without widgets.
#include "channels/termios_port_driver.h"
#include "platform/ini_file.h"
#include "protocol/ma_messages.h"
#include "protocol/vok_frame.h"
#include "shell/com_param.h"
#include "shell/io_access.h"
#include "shell/vok_rtc.h"
#include "support/box_recorder.h"
#include "support/fake_tool_board.h"
#include "support/scoped_env.h"
#include "support/scratch_dir.h"

#include <array>
#include <deque>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <map>
#include <unistd.h>

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

TEST_F(IOAccessTest, ADescriptionTheCodePageCannotHoldIsRefusedOnceAndNothingOfItSaved) {
    const auto file = Ini("");
    TIOAccess io(board, kWindow, file);
    io.SetDescription("Latch");
    // The form hands on the code page text ("?" for each letter it lacks) and whether it fits.
    EXPECT_FALSE(io.SetDescription("Latch ?", false));
    EXPECT_EQ(boxes.Take(), "An IO port description can't hold letters outside Central European code page "
                            "1250 (such as Cyrillic).");
    EXPECT_EQ(boxes.beeps, 1);
    EXPECT_TRUE(io.DescriptionRefused());
    io.SetDescription("Latch ??", false);
    EXPECT_TRUE(boxes.texts.empty()) << "told once while the text stays refused";
    EXPECT_EQ(io.Description(), "Latch");
    EXPECT_EQ(io.DescrItems(), (std::vector<std::string>{"Latch"}));

    // A new port's description that does not fit makes no entry.
    TypeAddr(io, "4");
    EXPECT_FALSE(io.DescriptionRefused()) << "another entry shown";
    EXPECT_FALSE(io.SetDescription("?", false));
    EXPECT_EQ(boxes.Take(), "An IO port description can't hold letters outside Central European code page "
                            "1250 (such as Cyrillic).");
    EXPECT_EQ(io.List().Count(), 1U);
    ASSERT_TRUE(io.Close());
    EXPECT_EQ(IniFile(file).ReadString("IOACCESS1", "Descript"), "Latch");
    EXPECT_EQ(IniFile(file).ReadString("IOACCESS", "Count"), "1");

    EXPECT_TRUE(io.SetDescription("Port B")) << "a text that fits again is taken";
    EXPECT_FALSE(io.DescriptionRefused());
    EXPECT_EQ(io.List().Count(), 2U);
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

const TDTRec kNow{2025, 3, 14, 15, 9, 26};

// The board's answer in BCD, as the master copies it into the read buffer.
TClockBuffer Answer(std::uint16_t year, std::uint8_t month, std::uint8_t day,
                    std::uint16_t maxYear = 0x2099) {
    using B = std::uint8_t;
    return {ft_SetRTC, 0,    0,    B(year), B(year >> 8), month,      day,
            0x23,      0x59, 0x58, 0x80,    0x19,         B(maxYear), B(maxYear >> 8)};
}

TEST(CheckClockDate, CorrectsEachValueToTheBoundItBroke) {
    struct Case {
        TVokClockRec in;
        TVokClockRec corrected;
    };
    const Case cases[] = {
        {{2000, 2, 29}, {2000, 2, 29}}, {{2024, 2, 29}, {2024, 2, 29}},   {{2100, 2, 29}, {2100, 2, 28}},
        {{2023, 2, 29}, {2023, 2, 28}}, {{2024, 4, 31}, {2024, 4, 30}},   {{2024, 13, 0}, {2024, 1, 1}},
        {{1979, 1, 32}, {1980, 1, 1}},  {{2300, 12, 31}, {2199, 12, 31}},
    };
    for (const Case& c : cases) {
        TVokClockRec time = c.in;
        EXPECT_EQ(CheckClockDate(time, 1980, 2199, false), c.in == c.corrected)
            << c.in.Year << "-" << +c.in.Month;
        EXPECT_EQ(time, c.in) << "unchanged without correction";
        CheckClockDate(time, 1980, 2199, true);
        EXPECT_EQ(time, c.corrected) << c.in.Year << "-" << +c.in.Month << "-" << +c.in.Day;
    }
}

class VokRTCTest : public ::testing::Test {
protected:
    VokRTCTest() { rtc.Open(kNow); }
    // The latest read's answer arrives.
    void Answered(const TClockBuffer& answer) {
        *board.Reads.back() = answer;
        rtc.HandleMessage(wm_RTCRdOk, 0, 0);
    }

    testing::FakeToolBoard board;
    testing::BoxRecorder boxes;
    TVokRTC rtc{board, kWindow};
};

TEST_F(VokRTCTest, TheReadTimeIsShownInBinaryWithTheBiosYears) {
    ASSERT_EQ(board.Reads.size(), 1U) << "the window asks at once";
    EXPECT_TRUE(rtc.Reading());
    Answered(Answer(0x2024, 0x02, 0x29));
    EXPECT_EQ(rtc.EditTime(), (TVokClockRec{2024, 2, 29, 23, 59, 58}));
    EXPECT_EQ(rtc.YearMin(), 1980);
    EXPECT_EQ(rtc.YearMax(), 2099);
    EXPECT_FALSE(rtc.Reading());
    EXPECT_EQ(rtc.Status(), "Status: Read Time Ok");
    EXPECT_TRUE(boxes.texts.empty());
    rtc.SetMonth(1);
    rtc.SetDay(31);
    rtc.SetMonth(4);
    EXPECT_EQ(rtc.EditTime().Day, 30);
    rtc.SetTime();
    EXPECT_EQ(board.Writes.back(), (TVokClockRec{2024, 4, 30, 23, 59, 58}))
        << "binary, as the board takes it";
    rtc.SetTimeAsPC();
    EXPECT_EQ(board.Writes.back(), (TVokClockRec{2025, 3, 14, 15, 9, 26}));
}

TEST_F(VokRTCTest, ImpossibleAnswersAreToldAndCorrected) {
    Answered(Answer(0x2024, 0x02, 0x29, 0x2069));
    EXPECT_EQ(boxes.Take(), "Incorrect Max Year (2069) in BIOS!");
    EXPECT_EQ(rtc.YearMax(), 2069) << "applied all the same";
    rtc.GetTime();
    Answered(Answer(0x2023, 0x02, 0x29));
    EXPECT_EQ(boxes.Take(), "Incorrect Date, make correction!");
    EXPECT_EQ(rtc.EditTime().Day, 28);
    rtc.GetTime();
    Answered(Answer(0x2023, 0x1A, 0x01));
    EXPECT_EQ(rtc.Status(), "Status: Read Err") << "a time that is not BCD";
}

TEST_F(VokRTCTest, AnAnswerToAnEarlierReadWaitsForTheLatest) {
    const auto first = board.Reads.front();
    rtc.GetTime();
    *first = Answer(0x2001, 0x01, 0x01);
    rtc.HandleMessage(wm_RTCRdOk, 0, 0);
    EXPECT_TRUE(rtc.Reading());
    Answered(Answer(0x2002, 0x02, 0x02));
    EXPECT_EQ(rtc.EditTime().Year, 2002);
}

TEST_F(VokRTCTest, ErrorsShowTheirStatusForFourSeconds) {
    const std::pair<std::uintptr_t, const char*> statuses[] = {
        {2, "Status: Write Err"}, {0x31, "Status: Read Err"}, {0x1234, "Status: Unknown Err No 1234h"}};
    for (const auto& [error, status] : statuses) {
        rtc.HandleMessage(wm_RTCErr, error, 0);
        EXPECT_EQ(rtc.Status(), status);
    }
    EXPECT_EQ(boxes.texts.back(), "Unknown Err No 1234h");
    TDTRec now = kNow;
    EXPECT_FALSE(rtc.TimerTick(now)) << "the same second";
    for (int second = 1; second <= 4; ++second) {
        EXPECT_FALSE(rtc.Status().empty());
        now.Sec = static_cast<std::uint16_t>(kNow.Sec + second);
        EXPECT_TRUE(rtc.TimerTick(now));
    }
    EXPECT_EQ(rtc.Status(), "");
}

using Buttons = std::vector<TComParam::Button>;

// A fresh pseudo-terminal: its terminal end is a port that opens.
struct Pty {
    int fd = ::posix_openpt(O_RDWR | O_NOCTTY);
    ~Pty() { ::close(fd); }
    std::string Path() const { return ::grantpt(fd) == 0 && ::unlockpt(fd) == 0 ? ::ptsname(fd) : ""; }
};

// Ports 1 to n exist and are free.
TComPorts FreePorts(std::uint8_t n) {
    TComPorts ports;
    for (std::uint8_t i = 1; i <= n; ++i) {
        ports.Existing[i] = ports.Available[i] = true;
    }
    return ports;
}

TEST(ComParam, PortsPresentBusyAndAbsentAsTheirDevicesOpen) {
    std::array<std::string, TComPorts::kMaxPort + 1> names;
    std::deque<testing::ScopedEnv> env;
    std::deque<Pty> ptys(3);
    const std::array<std::uint8_t, 3> present = {1, 3, 4};
    for (std::uint8_t n = 1; n <= TComPorts::kMaxPort; ++n) {
        names[n] = "RAVLO_COM" + std::to_string(n);
        env.emplace_back(names[n].c_str(), "/nonexistent/tty" + std::to_string(n));
    }
    for (std::size_t i = 0; i < present.size(); ++i) {
        env.emplace_back(names[present[i]].c_str(), ptys[i].Path());
    }
    TermiosPortDriver holder; // another program's hold on COM3
    ASSERT_TRUE(holder.Open(ptys[1].Path()).Ok());

    const TComParam dialog(3, 9600, [] { return DetectComPorts(0); });
    EXPECT_EQ(dialog.Buttons(), (Buttons{{1, true}, {3, false}, {4, true}}));
    EXPECT_EQ(dialog.SelPort(), 0U) << "the current port is busy";
    const TComParam ownPort(3, 9600, [] { return DetectComPorts(3); });
    EXPECT_EQ(ownPort.Buttons()[1], (TComParam::Button{3, true})) << "the link's own port is offered";
    EXPECT_EQ(ownPort.ChosenPort(), 3) << "and preselected";
}

TEST(ComParam, SixButtonsAtMostAndTheBaudItems) {
    TComParam dialog(0, 28800, [] { return FreePorts(8); });
    EXPECT_EQ(dialog.Buttons().size(), 6U);
    EXPECT_EQ(dialog.BaudIndex(), 2) << "an unlisted rate shows 19 200";
    EXPECT_EQ(ComBaudIndex(0), -1);
    dialog.SetBaudIndex(-1);
    EXPECT_EQ(dialog.ChosenBaud(), 4800U);
}

TEST(ComParam, ShowComParamStoresTheChoiceOnOkOnly) {
    testing::ScratchDir dir;
    testing::BoxRecorder boxes;
    const auto file = dir / "RTDW.INI";
    std::uint8_t port = 2;
    std::uint32_t baud = 9600;
    const auto ok = [](TComParam&) {
        return true;
    };
    EXPECT_FALSE(ShowComParam(
        port, baud, ok, [] { return TComPorts{}; }, file));
    EXPECT_EQ(boxes.Take(), "There is no existing COM port!");
    EXPECT_FALSE(ShowComParam(
        port, baud, [](TComParam&) { return false; }, [] { return FreePorts(2); }, file));
    EXPECT_FALSE(std::filesystem::exists(file)) << "Cancel stores nothing";
    EXPECT_EQ(port, 2);

    TComPorts busy = FreePorts(4);
    busy.Available = {};
    busy.Available[4] = true;
    const auto choose = [](TComParam& dialog) {
        EXPECT_EQ(dialog.FocusButton(), 3U) << "the first enabled button, should OK find none chosen";
        dialog.ClickPort(1);
        dialog.ClickPort(4);
        dialog.SetBaudIndex(3);
        return dialog.Ok();
    };
    ASSERT_TRUE(ShowComParam(
        port, baud, choose, [&busy] { return busy; }, file));
    EXPECT_EQ(port, 4);
    EXPECT_EQ(baud, 38400U);
    const IniFile ini(file);
    EXPECT_EQ(ini.ReadInteger("COM", "COM", 0), 4);
    EXPECT_EQ(ini.ReadInteger("COM", "BDLD", 0), 38400);
}

} // namespace
} // namespace ravlo
