// The Debug menu's block read and the program debug menu's frame commands, from the menu to the board.
#include "main_form_test_support.h"
#include "shell/debug_commands.h"
#include "support/scoped_env.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using A = TMainAction;
using Texts = std::vector<std::string>;

class DebugCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        rig.Create();
        rig.core->Execute(A::CreateCom);
        ASSERT_TRUE(rig.AdvanceUntil([this] { return rig.core->MAProc->Device == DEV_Vok188 && Idle(); }));
        rig.Comm().Requests.clear();
        rig.presenter.Boxes.clear();
    }
    bool Idle() const { return rig.core->MAProc->ConState == cs_idle && rig.core->MAProc->QueueCount() == 0; }
    Texts Boxes() const {
        Texts texts;
        for (const auto& box : rig.presenter.Boxes) {
            texts.push_back(box.Text);
        }
        return texts;
    }

    testing::ShellRig rig;
    const testing::Bytes pattern = TDebugCommands::LoadPattern(256);
};

TEST_F(DebugCommandsTest, EachFrameCommandSendsItsFrameAsOneOperation) {
    rig.core->Execute(A::DbgLoadSRemain);
    rig.host.Numbers = {0xD7, 0xC800, 0x10, 5};
    rig.host.Addresses = {MakeFarPtr(0, 0xC800), MakeFarPtr(0x10, 0x2000), MakeFarPtr(0, 0xD),
                          MakeFarPtr(0, 0xE)};
    for (const A action : {A::DbgEmpty, A::DbgCheckSum, A::DbgLoadS256, A::DbgLoadSRemain, A::DbgMem,
                           A::DbgGo, A::DbgRun, A::DbgLoadS256}) {
        rig.core->Execute(action);
    }
    ASSERT_TRUE(
        rig.AdvanceUntil([this] { return Idle() && rig.host.HasEvent("- Application was started"); }));
    std::vector<int> sent;
    for (const testing::Bytes& frame : rig.Comm().SentFrames()) {
        sent.push_back(frame[0]);
    }
    EXPECT_EQ(sent, (std::vector<int>{ft_Rqst, ft_Chcksum, ft_Load, ft_Load, ft_Mem, ft_Go, ft_Run}));
    EXPECT_EQ(rig.host.NumberMaxima, (std::vector<std::uint32_t>{ft_Empt188, 0xFFFF, 0x3800, 512}));
    EXPECT_EQ(rig.Board().Read(0xC8000, 256), pattern);
    EXPECT_EQ(rig.Board().Read(0xC8100, 6), (testing::Bytes{0, 1, 2, 3, 4, 0})) << "right after the block";
    EXPECT_TRUE(rig.host.HasEvent("- 256 bytes have been read from $20010"))
        << "the page for the memory view";
    EXPECT_EQ(FarPtrToLin(rig.host.OfferedAddresses.back()), 0xC8100u) << "the next block is offered";
    rig.Comm().Silent = true;
    rig.host.Numbers = {0xE5};
    rig.core->Execute(A::DbgEmpty);
    ASSERT_TRUE(rig.AdvanceUntil([this] { return Idle(); }));
    EXPECT_EQ(rig.core->MAProc->Connected, kBoardConnected);
    rig.core->Execute(A::DestroyCom);
    rig.Settle();
    rig.core->Execute(A::DbgEmpty);
    EXPECT_EQ(Boxes(),
              (Texts{"At first send a LoadS256 block.",
                     "Frame $D7 (Rqst) answered with Empt188 ($FD)\r\nData: none", "Checksum OK",
                     "LoadS256: 256 bytes loaded at $C8000.", "LoadSRemain: 5 bytes loaded at $C8100.",
                     "Frame $E5 (???_$E5) got no answer from Vok (TimeOut).", "Device not connected!"}));
}

TEST_F(DebugCommandsTest, ReadChecksItsRangeAndReplacesTheFileWhenAllIsRead) {
    const testing::ScopedEnv home("HOME", rig.Dir().string());
    rig.host.SaveFile = rig.ini_.Dir().Write("block.bin", "OLD");
    rig.Board().Put(0xFFF00, pattern);
    rig.host.Addresses = {MakeFarPtr(0x0010, 0xFFFF), MakeFarPtr(0, 0xFFF0), MakeFarPtr(0, 0xFFF0)};
    rig.host.Numbers = {0x101, 0x100};
    for (int i = 0; i < 3; ++i) {
        rig.core->Execute(A::Read);
    }
    EXPECT_EQ(Boxes(), (Texts{"Incorrect address!", "Incorrect Len size!"}));
    EXPECT_EQ(rig.host.NumberMaxima.back(), 0x100u) << "no read past $FFFFF";
    EXPECT_EQ(rig.host.SaveSpecs.at(0).InitialDir / rig.host.SaveSpecs[0].FileName,
              rig.Dir() / "MEM_FFF00.BIN");
    EXPECT_EQ(rig.FileText("block.bin"), "OLD") << "nothing replaced before all is read";
    ASSERT_TRUE(rig.AdvanceUntil([this] { return Idle(); }));
    EXPECT_EQ(rig.FileText("block.bin"), std::string(pattern.begin(), pattern.end()));
}

} // namespace
} // namespace ravlo
