// The Vok setup command: the connected board's setup read into its dialog and written back, a setup
// file opened in the dialog offline, and a link that falls while the dialog is open.
#include "main_form_test_support.h"
#include "support/scratch_dir.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using testing::Bytes;
using testing::ShellRig;

TEST(SetupCommand, ALinkThatFallsWhileTheDialogIsOpenHarmsNothingAndTheEditIsWrittenBack) {
    ShellRig rig;
    rig.Create();
    rig.Board().Kind = DEV_Vok386;
    rig.Board().IdText = "VOK386 BIOS 23<VOK>";
    rig.Board().PutIdentification();
    rig.core->Execute(TMainAction::CreateCom);
    const Bytes block = rig.Board().Read(0xFFF00, 256);
    const TRavlo_MA_Process& ma = *rig.core->MAProc;
    ASSERT_TRUE(rig.AdvanceUntil([&] { return ma.Device == DEV_Vok386 && ma.ConState == cs_idle; }));
    bool lost = false;
    rig.host.OnEditSetup = [&](std::span<std::uint8_t> record) {
        EXPECT_TRUE(std::equal(record.begin(), record.end(), block.begin()) && record.size() == 13);
        // The read has ended and the dialog has the block; no handler of the master runs below us.
        EXPECT_EQ(ma.ConState, cs_idle);
        EXPECT_TRUE(ma.Active().Buffer.empty());
        rig.Board().Mute = 1'000'000;
        rig.Advance(3000);
        lost = ma.Connected != kBoardConnected && !rig.host.Menus->SetupConnected;
        rig.Board().Mute = 0;
        EXPECT_TRUE(rig.AdvanceUntil([&] { return ma.Device == DEV_Vok386 && ma.ConState == cs_idle; }));
        EXPECT_TRUE(rig.host.Menus->SetupConnected) << "the open dialog is told the board is back";
        record[0] = 0xB6;
        return true;
    };
    rig.core->Execute(TMainAction::VokSetup);
    ASSERT_TRUE(rig.AdvanceUntil([&] { return rig.host.HasEvent("- Setup was written"); }));
    EXPECT_TRUE(lost);
    Bytes expected = block;
    expected[0] = 0xB6;
    EXPECT_EQ(rig.Board().Read(0xFFF00, 256), expected);
}

TEST(SetupCommand, OfflineTheFileSizeChoosesTheDialog) {
    testing::ScratchDir dir;
    const struct {
        const char* name;
        int size; // -1: no such file
        const char* box;
    } cases[] = {
        {"a.c38", 13, ""},
        {"a.bin", 13, ""},
        {"a.c18", 32, ""},
        {"c.c38", 14, "File \"%\" doesn't contain valid BIOS setup!"},
        {"none.c18", -1, "Can't open file \"%\"!"},
    };
    for (const auto& c : cases) {
        ShellRig rig;
        rig.Create();
        rig.host.SetupFile = dir.Path() / c.name;
        if (c.size >= 0) {
            dir.Write(c.name, std::string(static_cast<std::size_t>(c.size), '\x11'));
        }
        rig.core->Execute(TMainAction::VokSetup);
        std::string box = c.box;
        if (const auto at = box.find('%'); at != std::string::npos) {
            box.replace(at, 1, rig.host.SetupFile->string());
        }
        ASSERT_EQ(rig.presenter.Boxes.size(), box.empty() ? 0u : 1u) << c.name;
        EXPECT_EQ(box.empty() ? "" : rig.presenter.Boxes[0].Text, box);
        ASSERT_EQ(rig.host.SetupEdits.size(), box.empty() ? 1u : 0u) << c.name;
        if (box.empty()) {
            EXPECT_EQ(rig.host.SetupEdits[0].Record, Bytes(static_cast<std::size_t>(c.size), 0x11));
            EXPECT_FALSE(rig.host.SetupEdits[0].CanSave) << "no board to save to";
        }
    }
}

} // namespace
} // namespace ravlo
