// The board master process with the real communication process, over a pseudo-terminal, against
// the board simulator at line timing: the operations the tool windows' end-to-end tests do not run
// (a 386, checksums, Go and Run), and a change of the line's rate.
#include "platform/tick.h"
#include "protocol/comm_process.h"
#include "support/ma_sim_rig.h"
#include "support/voksim_on_com.h"

#include <chrono>
#include <gtest/gtest.h>
#include <numeric>
#include <optional>

namespace ravlo {
namespace {

using testing::SimRig;
using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

constexpr std::uint8_t kPort = 7;
constexpr std::uint8_t kOtherPort = 8;
constexpr std::uint32_t kImageAt = 0x20000; // where --memory-in puts the image (hex 20000)
constexpr std::size_t kImageSize = 0x2000;

Bytes Image() {
    Bytes image(kImageSize);
    for (std::size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<std::uint8_t>((i * 131 + 17) ^ (i >> 8));
    }
    return image;
}

Bytes Prefix(const Bytes& bytes, std::size_t count) {
    return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count));
}

class MaVoksimTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!voksim_.Found()) {
            GTEST_SKIP() << "voksim is not built beside the test programs (build the target voksim)";
        }
    }
    void TearDown() override { StopBoard(); }
    // Closes the link and stops the simulator, which then writes its memory and trace files.
    void StopBoard() {
        if (rig) {
            rig->ma->CloseComm();
            rig->RunUntil([this] { return rig->ma->LinkState == ravlost_Inactive; }, 3s);
        }
        rig.reset();
        EXPECT_EQ(voksim_.Stop(), 0) << "voksim ends cleanly on SIGTERM";
    }

    // The simulator with a known image at kImageAt, and the rig on its terminal as COM7.
    void Start(std::vector<std::string> args, std::string_view maSettings = "DWN=0 PER=1000 RET=1000 AST=1") {
        const Bytes image = Image();
        const auto file = dir_.Write("image.bin", std::string(image.begin(), image.end()));
        args.insert(args.end(), {"--memory-in", file.string() + "@20000"});
        ASSERT_TRUE(voksim_.Start(kPort, args)) << "voksim did not start or named no terminal";
        rig.emplace(maSettings);
    }

    // Opens the port at baud; the keep-alive then finds and identifies the board.
    void ConnectAndIdentify(std::uint32_t baud, DEV_VokType kind) {
        rig->ma->DefBd = rig->ma->BDLD = rig->ma->CurBaud = baud;
        rig->ma->SetChnParam(kPort, baud);
        rig->ma->OpenComm();
        ASSERT_TRUE(rig->RunUntil(
            [this, kind] { return rig->ma->Device == kind && !rig->ma->BiosIdText.empty() && rig->Idle(); },
            10s))
            << Report();
        EXPECT_EQ(rig->ma->Connected, kBoardConnected);
        EXPECT_EQ(ComBaud, baud);
    }

    // Reads count bytes at lin into a fresh file and answers them.
    std::optional<Bytes> ReadBack(std::uint32_t lin, std::uint32_t count) {
        const auto file = dir_.Write("read.bin", "");
        if (!rig->ma->ReadMemBlock(LinToFarPtr(lin), count, file) || !rig->RunUntilIdle(10s)) {
            return std::nullopt;
        }
        const auto text = dir_.Read("read.bin");
        if (!text) {
            return std::nullopt;
        }
        return Bytes(text->begin(), text->end());
    }

    // The failures met, for the message of a failed wait.
    std::string Report() const {
        std::string text = "errors:";
        for (const std::string& line : rig->errors->Values()) {
            text += " [" + line + "]";
        }
        for (const std::string& line : rig->writer.Errors()) {
            text += "\n  " + line;
        }
        return text;
    }

    std::optional<SimRig> rig;
    testing::ScratchDir dir_;

private:
    testing::VoksimOnCom voksim_;
};

TEST_F(MaVoksimTest, WriteReadChecksumGoAndRunOnA386) {
    Start({"--baud", "115200", "--board", "386", "--strict-load"});
    ConnectAndIdentify(115200, DEV_Vok386);
    EXPECT_EQ(rig->ma->BiosIdText, "VOK386EXR BIOS 23<VOK>");
    EXPECT_EQ(rig->ma->BiosVersion, 23);

    // Write an unaligned block into the image, then read the whole neighbourhood back.
    Bytes data(777);
    std::iota(data.begin(), data.end(), std::uint8_t{3});
    Bytes expected = Prefix(Image(), 0x1000);
    std::copy(data.begin(), data.end(), expected.begin() + 0x123);
    ASSERT_TRUE(rig->ma->WriteMemBlock(LinToFarPtr(kImageAt + 0x123), data, "block"));
    ASSERT_TRUE(rig->RunUntilIdle(5s)) << Report();
    EXPECT_EQ(ReadBack(kImageAt, 0x1000), expected) << "byte for byte, the bytes around untouched";

    // Checksums: a module whose bytes sum to 0 is intact, the written block is not.
    Bytes module(256, 0);
    module[0] = 0x80;
    module[255] = 0x80;
    ASSERT_TRUE(rig->ma->WriteMemBlock(LinToFarPtr(0x30000), module, "module"));
    ASSERT_TRUE(rig->RunUntilIdle(5s)) << Report();
    rig->dialogs->Texts.clear();
    rig->project.Modules = {{"ROM1", 0x3000, 256}, {"ROM2", kImageAt >> 4, 0x1000}};
    rig->ma->CheckSum();
    ASSERT_TRUE(rig->RunUntil([&] { return !rig->dialogs->Texts.empty() && rig->Idle(); }, 5s)) << Report();
    EXPECT_EQ(rig->dialogs->Values(), (std::vector<std::string>{"Checksum Error"}));

    // Go and Run: each ends when its frames have gone out; the board announces itself afterwards.
    rig->mainForm.Events.clear();
    rig->ma->GoAddr(MakeFarPtr(0, 0x3000));
    rig->ma->RunApp(MakeFarPtr(0, 0x3000));
    ASSERT_TRUE(rig->RunUntil([&] { return rig->mainForm.Events.size() == 2 && rig->Idle(); }, 5s))
        << Report();
    // The board's announcement after the run passes without harm, and it still answers.
    ASSERT_TRUE(ReadBack(kImageAt, 16).has_value());
    EXPECT_TRUE(rig->errors->Texts.empty()) << Report();
    EXPECT_EQ(rig->ma->Connected, kBoardConnected);
}

// At line timing: the board is told first, its BdRate leaving at the old rate, then the port reopens
// at the new one and the board answers there.
TEST_F(MaVoksimTest, NewComSettingsWhileConnectedChangeTheBoardsRateFirst) {
    Start({"--board", "188", "--baud", "4800"});
    ConnectAndIdentify(4800, DEV_Vok188);
    rig->ma->DefBd = rig->ma->BDLD = rig->ma->CurBaud = 115200;
    rig->ma->SetChnParam(kPort, 115200);
    ASSERT_TRUE(
        rig->RunUntil([this] { return ComBaud == 115200 && rig->ma->Connected == kBoardConnected; }, 10s))
        << Report();
    EXPECT_EQ(ReadBack(kImageAt, 0x400), Prefix(Image(), 0x400));
    EXPECT_TRUE(rig->errors->Texts.empty()) << Report();
}

// A new port and a new rate together: the board on the old port is told nothing, the board on the
// new one is searched at its rate as after a lost link and switched to the new rate, and no loss is
// reported.
TEST_F(MaVoksimTest, ANewPortAndRateTogetherLeaveTheOldBoardAloneAndFindTheNewOne) {
    const auto oldTrace = dir_.Path() / "old.txt";
    Start({"--board", "188", "--baud", "4800", "--trace", oldTrace.string()});
    ConnectAndIdentify(4800, DEV_Vok188);
    testing::VoksimOnCom other;
    ASSERT_TRUE(other.Start(kOtherPort, {"--board", "386", "--baud", "4800"}));
    rig->ma->DefBd = rig->ma->CurBaud = 4800;
    rig->ma->BDLD = 115200;
    rig->ma->SetChnParam(kOtherPort, 115200);
    ASSERT_TRUE(rig->RunUntil(
        [this] {
            return ComOpenPort == kOtherPort && ComBaud == 115200 && rig->ma->Device == DEV_Vok386 &&
                   rig->ma->Connected == kBoardConnected && rig->Idle();
        },
        20s))
        << Report();
    EXPECT_TRUE(rig->errors->Texts.empty()) << Report();
    const std::string old = dir_.Text("old.txt");
    EXPECT_NE(old.find("<- 255>254 Rqst"), std::string::npos) << "the old board was identified\n" << old;
    EXPECT_EQ(old.find("BdRate"), std::string::npos) << old;
    rig->ma->CloseComm();
    rig->RunUntil([this] { return rig->ma->LinkState == ravlost_Inactive; }, 3s);
    EXPECT_EQ(other.Stop(), 0);
}

// The program debug menu's frames at line timing, one operation each: what the board was sent (its
// trace) and what its memory holds afterwards.
TEST_F(MaVoksimTest, DebugFramesReachTheBoardOneOperationEach) {
    Start({"--board", "188", "--baud", "19200", "--trace", (dir_.Path() / "trace.txt").string(),
           "--memory-out", (dir_.Path() / "memory.bin").string()});
    ConnectAndIdentify(19200, DEV_Vok188);
    Bytes pattern(256);
    std::iota(pattern.begin(), pattern.end(), std::uint8_t{0});
    rig->ma->SendDebugFrame(0xE5);
    rig->ma->CheckSumBlock(0x3000, 0x10);
    rig->ma->LoadDebugBlock(MakeFarPtr(0, 0x3000), pattern, "LoadS256");
    rig->ma->LoadDebugBlock(MakeFarPtr(0, 0x3010), Prefix(pattern, 5), "LoadSRemain");
    rig->ma->ReadMemPage(MakeFarPtr(0, 0x3000), kNoWindow);
    rig->ma->GoAddr(MakeFarPtr(0x20, 0x3000));
    rig->ma->RunApp(MakeFarPtr(0x40, 0x3000));
    ASSERT_TRUE(rig->RunUntil([&] { return rig->Idle() && rig->ma->Active().Kind == cs_WaitForRun; }, 20s))
        << Report();
    EXPECT_EQ(rig->dialogs->Values().at(0), "Checksum OK");
    EXPECT_EQ(rig->errors->Values(),
              (std::vector<std::string>{"Frame $E5 (???_$E5) got no answer from Vok (Error)."}));
    StopBoard();
    const std::string trace = dir_.Text("trace.txt");
    for (const char* sent : {"???_$E5", "Chcksum 3000:0000 paragraphs=16", "Load 3000:0000 n=256",
                             "Load 3010:0000 n=5", "_Mem 3000:0000 n=256", "Go 3000:0020", "Run 3000:0040"}) {
        EXPECT_NE(trace.find(sent), std::string::npos) << sent << " in\n" << trace;
    }
    pattern.insert(pattern.end(), pattern.begin(), pattern.begin() + 5);
    EXPECT_EQ(dir_.Text("memory.bin").substr(0x30000, 0x105), std::string(pattern.begin(), pattern.end()));
}

} // namespace
} // namespace ravlo
