// A board that vanishes and comes back at the same device path (a USB adapter pulled and plugged
// back; here the simulator ended and a new one started behind the same link), at line timing.
#include "platform/tick.h"
#include "protocol/comm_process.h"
#include "support/ma_sim_rig.h"
#include "support/scoped_env.h"
#include "support/voksim_child.h"

#include <chrono>
#include <gtest/gtest.h>
#include <optional>

namespace ravlo {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t kPort = 5;

// What runs when the board is pulled.
enum class Moment { Idle, Download, BlockRead, PageRead };

struct LostCase {
    const char* Name;
    Moment When;
    std::uint32_t DownloadBaud; // the default is 4800
};

class MaLostBoardTest : public ::testing::TestWithParam<LostCase> {
protected:
    void SetUp() override {
        program_ = testing::FindBuiltProgram("voksim");
        if (!program_) {
            GTEST_SKIP() << "voksim is not built beside the test programs";
        }
    }
    void TearDown() override {
        rig.reset();
        board_.reset();
    }

    // A Vok188 behind the link, its memory kept from the last one that served there.
    void PlugIn() {
        std::vector<std::string> args{"--board",       "188",          "--link",
                                      Link().string(), "--memory-out", Memory().string()};
        if (std::filesystem::exists(Memory())) {
            args.insert(args.end(), {"--memory-in", Memory().string() + "@0"});
        }
        board_.emplace(*program_, args);
        ASSERT_TRUE(board_->Ok());
    }
    void Pull() { EXPECT_EQ(board_->Stop(), 0); }

    void Connect(std::uint32_t downloadBaud) {
        rig.emplace("DWN=0 PER=1000 RET=1000 AST=1");
        rig->ma->DefBd = rig->ma->CurBaud = 4800;
        rig->ma->BDLD = downloadBaud;
        rig->ma->SetChnParam(kPort, 4800);
        rig->ma->OpenComm();
        ASSERT_TRUE(Reconnected(downloadBaud)) << Report();
    }
    // Connected at the download rate with the board identified, within a few keep-alive periods.
    bool Reconnected(std::uint32_t baud) {
        return rig->RunUntil(
            [&] { return rig->ma->Connected == kBoardConnected && ComBaud == baud && rig->Idle(); }, 15s);
    }
    bool Download(const Bytes& module) {
        return rig->ma->WriteRomModule(LinToFarPtr(0x20000), module, "ROM1") &&
               rig->RunUntil([this] { return rig->Idle(); }, 20s) && rig->form.DownloadOk;
    }
    std::string Report() const {
        std::string text = "errors:";
        for (const std::string& line : rig->errors->Values()) {
            text += " [" + line + "]";
        }
        return text + " link " + std::to_string(rig->ma->LinkState) + " con " +
               std::to_string(rig->ma->ConState);
    }

    std::filesystem::path Link() const { return dir_ / "ttyVOK"; }
    std::filesystem::path Memory() const { return dir_ / "memory.bin"; }

    testing::ScratchDir dir_;
    testing::ScopedEnv port_{"RAVLO_COM5", (dir_ / "ttyVOK").string()};
    std::optional<std::filesystem::path> program_;
    std::optional<testing::VoksimChild> board_;
    std::optional<testing::SimRig> rig;
};

// A module whose bytes add up to 0, so that the board's checksum confirms it.
Bytes Module() {
    Bytes module(512);
    for (std::size_t i = 0; i + 1 < module.size(); ++i) {
        module[i] = static_cast<std::uint8_t>(i * 37 + 11);
        module.back() = static_cast<std::uint8_t>(module.back() - module[i]);
    }
    return module;
}

TEST_P(MaLostBoardTest, TheOperationEndsAndTheLinkComesBackOnItsOwn) {
    const LostCase& lost = GetParam();
    PlugIn();
    Connect(lost.DownloadBaud);

    // Start the operation, and pull the board once it is under way.
    const auto file = dir_.Write("read.bin", "before");
    std::string failure;
    switch (lost.When) {
    case Moment::Idle:
        break;
    case Moment::Download:
        ASSERT_TRUE(rig->ma->WriteRomModule(LinToFarPtr(0x30000), Bytes(8192, 0), "ROM2"));
        failure = "Writing block of memory failed";
        break;
    case Moment::BlockRead:
        ASSERT_TRUE(rig->ma->ReadMemBlock(LinToFarPtr(0x1000), 8192, file, TReadFileMode::Replace));
        failure = "Reading block of memory failed";
        break;
    case Moment::PageRead:
        ASSERT_TRUE(rig->ma->ReadMemPage(LinToFarPtr(0x1000), kNoWindow));
        failure = "Reading 256 byte";
        break;
    }
    if (lost.When != Moment::Idle) {
        ASSERT_TRUE(rig->RunUntil([this] { return rig->ma->Active().DoneBytes > 0 || !rig->Idle(); }, 5s));
    }
    Pull();
    const auto pulled = std::chrono::steady_clock::now();
    ASSERT_TRUE(rig->RunUntil([this] { return rig->ma->Connected != kBoardConnected && rig->Idle(); }, 30s))
        << Report();
    EXPECT_LT(std::chrono::steady_clock::now() - pulled, 20s);
    const std::vector<std::string> errors = rig->errors->Values();
    ASSERT_FALSE(errors.empty());
    if (failure.empty()) {
        EXPECT_EQ(errors.front(), "Communication lost!");
        // The box names the port's device.
        ASSERT_FALSE(rig->dialogs->Texts.empty());
        EXPECT_NE(rig->dialogs->Texts.back().Value.find(Link().string()), std::string::npos);
    } else {
        EXPECT_TRUE(errors.front().starts_with(failure)) << Report();
    }
    EXPECT_EQ(dir_.Text("read.bin"), "before") << "a read that failed leaves its file as it was";
    rig->RunUntil([] { return false; }, 1500ms); // the keep-alive looks for a board that is not there
    if (lost.When == Moment::Idle) {
        // Disconnect and Connect work after a loss.
        rig->ma->CloseComm();
        ASSERT_TRUE(
            rig->RunUntil([this] { return rig->ma->LinkState == ravlost_Inactive && rig->Idle(); }, 10s))
            << Report();
        EXPECT_EQ(ComOpenPort, 0);
        PlugIn();
        rig->ma->OpenComm();
    } else {
        PlugIn();
    }
    for (const std::string& line : rig->errors->Values()) {
        EXPECT_EQ(line.find("Internal error"), std::string::npos) << line;
    }
    ASSERT_TRUE(Reconnected(lost.DownloadBaud)) << Report();
    EXPECT_TRUE(Download(Module())) << Report();
}

INSTANTIATE_TEST_SUITE_P(Moments, MaLostBoardTest,
                         ::testing::Values(LostCase{"IdleAt4800", Moment::Idle, 4800},
                                           LostCase{"IdleAt115200", Moment::Idle, 115200},
                                           LostCase{"DownloadAt4800", Moment::Download, 4800},
                                           LostCase{"DownloadAt115200", Moment::Download, 115200},
                                           LostCase{"BlockReadAt4800", Moment::BlockRead, 4800},
                                           LostCase{"BlockReadAt115200", Moment::BlockRead, 115200},
                                           LostCase{"PageReadAt4800", Moment::PageRead, 4800},
                                           LostCase{"PageReadAt115200", Moment::PageRead, 115200}),
                         [](const ::testing::TestParamInfo<LostCase>& info) {
                             return std::string(info.param.Name);
                         });

} // namespace
} // namespace ravlo
