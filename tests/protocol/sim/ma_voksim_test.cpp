// The board master process with the real communication process, over a pseudo-terminal, against
// the board simulator: every board operation end to end for each board, a baud change, and the
// line faults the process must ride out or report.
#include "platform/tick.h"
#include "protocol/comm_process.h"
#include "support/ma_sim_rig.h"
#include "support/voksim_on_com.h"

#include <gtest/gtest.h>
#include <numeric>
#include <optional>
#include <thread>

namespace ravlo {
namespace {

using testing::SimRig;
using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

constexpr std::uint8_t kPort = 7;
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
    void TearDown() override {
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
        ASSERT_TRUE(rig->RunUntil([this, kind] {
            return rig->ma->Device == kind && !rig->ma->BiosIdText.empty() && rig->Idle();
        })) << Report();
        EXPECT_EQ(rig->ma->Connected, kBoardConnected);
        EXPECT_EQ(ComBaud, baud);
    }

    // Reads count bytes at lin into a fresh file and answers them.
    std::optional<Bytes> ReadBack(std::uint32_t lin, std::uint32_t count) {
        const auto file = dir_.Write("read.bin", "");
        if (!rig->ma->ReadMemBlock(LinToFarPtr(lin), count, file) || !rig->RunUntilIdle()) {
            return std::nullopt;
        }
        const auto text = dir_.Read("read.bin");
        if (!text) {
            return std::nullopt;
        }
        return Bytes(text->begin(), text->end());
    }

    std::string Report() const {
        std::string text = "errors:";
        for (const std::string& error : rig->errors->Values()) {
            text += " [" + error + "]";
        }
        for (const std::string& line : rig->writer.Errors()) {
            text += "\n  " + line;
        }
        text += " link=" + RavloStateText(rig->ma->LinkState) + " op=" + ConStateText(rig->ma->ConState) +
                " connected=" + std::to_string(rig->ma->Connected);
        return text;
    }

    std::optional<SimRig> rig;
    testing::ScratchDir dir_;

private:
    testing::VoksimOnCom voksim_;
};

struct Board {
    const char* Arg;
    DEV_VokType Kind;
    const char* IdText;
    std::uint8_t Version;
    bool HasClock;
};

class MaVoksimBoardTest : public MaVoksimTest, public ::testing::WithParamInterface<Board> {};

TEST_P(MaVoksimBoardTest, EveryOperationEndToEnd) {
    const Board board = GetParam();
    Start({"--no-throttle", "--board", board.Arg, "--strict-load", "--io", "300=5A", "--clock",
           "2024-02-29T23:59:58", "--clock-stopped"});
    ConnectAndIdentify(4800, board.Kind);
    EXPECT_EQ(rig->ma->BiosIdText, board.IdText);
    EXPECT_EQ(rig->ma->BiosVersion, board.Version);

    // Write an unaligned block, then read the whole neighbourhood back.
    const Bytes before = ReadBack(kImageAt, 0x1000).value_or(Bytes{});
    ASSERT_EQ(before, Prefix(Image(), 0x1000));
    Bytes data(777);
    std::iota(data.begin(), data.end(), std::uint8_t{3});
    ASSERT_TRUE(rig->ma->WriteMemBlock(LinToFarPtr(kImageAt + 0x123), data, "block"));
    ASSERT_TRUE(rig->RunUntilIdle()) << Report();
    EXPECT_EQ(rig->mainForm.Events.back(), "- File \"block\" has been loaded");
    Bytes expected = before;
    std::copy(data.begin(), data.end(), expected.begin() + 0x123);
    EXPECT_EQ(ReadBack(kImageAt, 0x1000), expected) << "byte for byte, the bytes around untouched";

    // IO: a preset port, then a write and the read of what was written.
    testing::NotifyWindow io;
    rig->ma->ReadIO(0x300, true, io.Handle());
    rig->ma->WriteIO(0x302, false, io.Handle(), 0xBEEF);
    rig->ma->ReadIO(0x302, false, io.Handle());
    ASSERT_TRUE(rig->RunUntil([&] { return io.Messages.size() == 3 && rig->Idle(); })) << Report();
    EXPECT_EQ(io.Messages[0], (testing::NotifyWindow::Message{wm_IORdDone, 0x5A, 1}));
    EXPECT_EQ(io.Messages[1], (testing::NotifyWindow::Message{wm_IOWrDone, 0, 0}));
    EXPECT_EQ(io.Messages[2], (testing::NotifyWindow::Message{wm_IORdDone, 0xBEEF, 2}));

    // Clock: read, set, read again; a board without a clock refuses with the BIOS's numbers.
    testing::NotifyWindow clock;
    auto buffer = std::make_shared<TClockBuffer>();
    if (!board.HasClock) {
        rig->ma->ReadRTC(clock.Handle(), buffer);
        rig->ma->WriteRTC(clock.Handle(), TVokClockRec{2031, 7, 4, 1, 2, 3});
        ASSERT_TRUE(rig->RunUntil([&] { return clock.Messages.size() == 2 && rig->Idle(); })) << Report();
        EXPECT_EQ(clock.Messages[0], (testing::NotifyWindow::Message{wm_RTCErr, 0x31, 0}));
        EXPECT_EQ(clock.Messages[1], (testing::NotifyWindow::Message{wm_RTCErr, 0x30, 0}));
        clock.Messages.clear();
        buffer.reset();
    }
    rig->ma->ReadRTC(clock.Handle(), buffer);
    if (board.HasClock) {
        ASSERT_TRUE(rig->RunUntil([&] { return clock.Messages.size() == 1 && rig->Idle(); })) << Report();
        EXPECT_EQ(clock.Messages[0].Msg, wm_RTCRdOk);
        EXPECT_EQ(ParseClockAnswer(*buffer)->Time, (TVokClockRec{2024, 2, 29, 23, 59, 58}));
        rig->ma->WriteRTC(clock.Handle(), TVokClockRec{2031, 7, 4, 1, 2, 3});
        rig->ma->ReadRTC(clock.Handle(), buffer);
        ASSERT_TRUE(rig->RunUntil([&] { return clock.Messages.size() == 3 && rig->Idle(); })) << Report();
        EXPECT_EQ(clock.Messages[1].Msg, wm_RTCWrOk);
        EXPECT_EQ(ParseClockAnswer(*buffer)->Time, (TVokClockRec{2031, 7, 4, 1, 2, 3}));
    } else {
        ASSERT_TRUE(rig->RunUntilIdle()) << Report();
    }

    // Checksums: a module whose bytes sum to 0 is intact, the written block is not.
    Bytes module(256, 0);
    module[0] = 0x80;
    module[255] = 0x80;
    ASSERT_TRUE(rig->ma->WriteMemBlock(LinToFarPtr(0x30000), module, "module"));
    ASSERT_TRUE(rig->RunUntilIdle()) << Report();
    rig->dialogs->Texts.clear();
    rig->project.Modules = {{"ROM1", 0x3000, 256}};
    rig->ma->CheckSum();
    ASSERT_TRUE(rig->RunUntil([&] { return !rig->dialogs->Texts.empty() && rig->Idle(); })) << Report();
    rig->project.Modules = {{"ROM1", 0x3000, 256}, {"ROM2", kImageAt >> 4, 0x1000}};
    rig->ma->CheckSum();
    ASSERT_TRUE(rig->RunUntil([&] { return rig->dialogs->Texts.size() == 2 && rig->Idle(); })) << Report();
    EXPECT_EQ(rig->dialogs->Values(), (std::vector<std::string>{"Checksum OK", "Checksum Error"}));

    // Go and Run: each ends when its frames have gone out; the board announces itself afterwards.
    rig->mainForm.Events.clear();
    rig->ma->GoAddr(MakeFarPtr(0, 0x3000));
    ASSERT_TRUE(rig->RunUntilIdle()) << Report();
    rig->ma->RunApp(MakeFarPtr(0, 0x3000));
    ASSERT_TRUE(rig->RunUntilIdle()) << Report();
    EXPECT_EQ(rig->mainForm.Events,
              (std::vector<std::string>{"- Application was started", "- Application was started"}));
    // The board's announcement after the run passes without harm, and it still answers.
    ASSERT_TRUE(ReadBack(kImageAt, 16).has_value());
    EXPECT_TRUE(rig->errors->Texts.empty()) << Report();
    EXPECT_EQ(rig->ma->Connected, kBoardConnected);
}

INSTANTIATE_TEST_SUITE_P(Boards, MaVoksimBoardTest,
                         ::testing::Values(Board{"v40", DEV_VokV40, "VOKV40 BIOS 14<QRN>", 14, false},
                                           Board{"386", DEV_Vok386, "VOK386EXR BIOS 23<VOK>", 23, true},
                                           Board{"188", DEV_Vok188, "VOK188ER BIOS-v31", 31, true}),
                         [](const ::testing::TestParamInfo<Board>& info) {
                             return std::string("Vok") + info.param.Arg;
                         });

TEST_F(MaVoksimTest, BaudChangeFrom4800To38400ThenTheComSettingsChangedWhileConnected) {
    Start({"--board", "188", "--baud", "4800"});
    rig->ma->DefBd = 4800;
    rig->ma->BDLD = 38400;
    rig->ma->CurBaud = 4800;
    rig->ma->SetChnParam(kPort, 4800);
    rig->ma->OpenComm();
    // The search tries 38400 (nobody), then 4800 finds the board; its identification is followed by
    // the change to 38400, which the next keep-alive finds.
    ASSERT_TRUE(rig->RunUntil(
        [this] {
            return rig->ma->Device == DEV_Vok188 && rig->ma->Connected == kBoardConnected &&
                   ComBaud == 38400 && rig->Idle();
        },
        30s))
        << Report();
    EXPECT_EQ(rig->ma->BiosIdText, "VOK188ER BIOS-v31");
    const auto read = ReadBack(kImageAt, 0x400);
    EXPECT_EQ(read, Prefix(Image(), 0x400));
    EXPECT_EQ(ComBaud, 38400u);

    // New COM settings while connected: the board is told first, its BdRate leaving at the old
    // rate, then the port reopens at the new one and the board answers there.
    rig->ma->DefBd = rig->ma->BDLD = rig->ma->CurBaud = 115200;
    rig->ma->SetChnParam(kPort, 115200);
    ASSERT_TRUE(
        rig->RunUntil([this] { return ComBaud == 115200 && rig->ma->Connected == kBoardConnected; }, 10s))
        << Report();
    EXPECT_EQ(ReadBack(kImageAt, 0x400), Prefix(Image(), 0x400));
    EXPECT_TRUE(rig->errors->Texts.empty()) << Report();
}

} // namespace
} // namespace ravlo
