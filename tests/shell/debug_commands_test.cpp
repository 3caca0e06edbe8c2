// The Debug menu's block read and the program debug menu's frame commands, from the menu to the
// board.
#include "main_form_test_support.h"
#include "shell/debug_commands.h"
#include "support/scoped_env.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using testing::Bytes;
using A = TMainAction;

class DebugCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        rig.Create();
        rig.core->Execute(A::CreateCom);
        ASSERT_TRUE(rig.AdvanceUntil([this] { return Idle() && rig.core->MAProc->Device == DEV_Vok188; }));
        rig.Comm().Requests.clear();
    }
    bool Idle() const { return rig.core->MAProc->ConState == cs_idle && rig.core->MAProc->QueueCount() == 0; }
    bool Showed(std::string_view text) const {
        return std::any_of(rig.presenter.Boxes.begin(), rig.presenter.Boxes.end(),
                           [text](const auto& box) { return box.Text == text; });
    }
    // Type and linear address of each frame that went to the board.
    std::vector<std::pair<int, std::uint32_t>> Sent() const {
        std::vector<std::pair<int, std::uint32_t>> sent;
        for (const Bytes& frame : rig.Comm().SentFrames()) {
            sent.emplace_back(frame[0], frame.size() >= 7 ? FarPtrToLin(FrameFarPtr(frame, 3)) : 0);
        }
        return sent;
    }

    testing::ShellRig rig;
};

TEST_F(DebugCommandsTest, EachFrameCommandSendsItsFrameAsOneOperation) {
    rig.host.Numbers = {0xD7, 0xC800, 0x10, 5};
    rig.host.Addresses = {MakeFarPtr(0, 0xC800), MakeFarPtr(0x10, 0x2000), MakeFarPtr(0, 0xD000),
                          MakeFarPtr(0, 0xE000)};
    for (const A action :
         {A::DbgEmpty, A::DbgCheckSum, A::DbgLoadS256, A::DbgLoadSRemain, A::DbgMem, A::DbgGo, A::DbgRun}) {
        rig.core->Execute(action);
    }
    ASSERT_TRUE(
        rig.AdvanceUntil([this] { return Idle() && rig.host.HasEvent("- Application was started"); }));
    EXPECT_EQ(Sent(), (std::vector<std::pair<int, std::uint32_t>>{{ft_Rqst, 0},
                                                                  {ft_Chcksum, 0xC8000},
                                                                  {ft_Load, 0xC8000},
                                                                  {ft_Load, 0xC8100},
                                                                  {ft_Mem, 0x20010},
                                                                  {ft_Go, 0xD0000},
                                                                  {ft_Run, 0xE0000}}));
    EXPECT_EQ(
        rig.host.NumberLabels,
        (std::vector<std::string>{"Empt mess:", "Checksum segment:", "Checksum len:", "LoadSRemain: "}));
    EXPECT_EQ(rig.host.NumberQuestions[0].Min, ft_Mem);
    EXPECT_EQ(rig.host.NumberQuestions[3].Max, 512u);
    EXPECT_EQ(
        rig.host.AddressCaptions,
        (std::vector<std::string>{"LoadS256 address: ", "Mem address: ", "Go address: ", "Run address: "}));
    Bytes loaded = TDebugCommands::LoadPattern(256);
    loaded.insert(loaded.end(), {0, 1, 2, 3, 4});
    EXPECT_EQ(rig.Board().Read(0xC8000, 261), loaded) << "the counting pattern, the remainder right after";
    EXPECT_TRUE(rig.host.HasEvent("- 256 bytes have been read from $20010"))
        << "the page for the memory view";

    rig.core->Execute(A::DbgLoadS256);
    EXPECT_EQ(FarPtrToLin(rig.host.OfferedAddresses.back()), 0xC8100u) << "the next block is offered";
}

TEST_F(DebugCommandsTest, ReadChecksItsRangeAndReplacesTheFileWhenAllIsRead) {
    const testing::ScopedEnv home("HOME", rig.Dir().string());
    const std::filesystem::path file = rig.ini_.Dir().Write("block.bin", "OLD");
    rig.Board().Put(0xFFF00, TDebugCommands::LoadPattern(256));
    rig.host.Addresses = {MakeFarPtr(0x0010, 0xFFFF), MakeFarPtr(0, 0xFFF0), MakeFarPtr(0, 0xFFF0)};
    rig.host.Numbers = {0x101, 0x100};
    rig.host.SaveFiles = {file};
    for (int i = 0; i < 3; ++i) {
        rig.core->Execute(A::Read);
    }
    EXPECT_TRUE(Showed("Incorrect address!"));
    EXPECT_TRUE(Showed("Incorrect Len size!"));
    EXPECT_EQ(rig.host.NumberQuestions.back().Max, 0x100u) << "no read past $FFFFF";
    ASSERT_EQ(rig.host.SaveSpecs.size(), 1u);
    EXPECT_EQ(rig.host.SaveSpecs[0].Title, "Reading memory block");
    EXPECT_EQ(rig.host.SaveSpecs[0].InitialDir, rig.Dir()) << "no project: the home folder";
    EXPECT_EQ(rig.host.SaveSpecs[0].FileName, "MEM_FFF00.BIN");
    EXPECT_EQ(rig.FileText("block.bin"), "OLD") << "nothing replaced before all is read";
    ASSERT_TRUE(rig.AdvanceUntil([this] { return Idle(); }));
    const Bytes pattern = TDebugCommands::LoadPattern(256);
    EXPECT_EQ(rig.FileText("block.bin"), std::string(pattern.begin(), pattern.end()));
}

TEST_F(DebugCommandsTest, CommandsThatCannotGoOutSaySo) {
    rig.core->Execute(A::DbgLoadSRemain);
    EXPECT_TRUE(Showed("At first send a LoadS256 block."));
    rig.core->Execute(A::DestroyCom);
    rig.Settle();
    rig.core->Execute(A::DbgEmpty);
    EXPECT_TRUE(Showed("Device not connected!"));
    EXPECT_TRUE(rig.host.NumberLabels.empty()) << "nothing asked";
}

} // namespace
} // namespace ravlo
