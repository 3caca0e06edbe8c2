// The Vok setup command: the connected board's setup read into its dialog and written back, a setup
// file opened in the dialog offline, and a link that falls while the dialog is open.
#include "main_form_test_support.h"
#include "support/scratch_dir.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using testing::Bytes;
using testing::ShellRig;
using A = TMainAction;

constexpr std::uint32_t kSetup386At = 0xFFF00;

std::vector<std::string> BoxTexts(const ShellRig& rig) {
    std::vector<std::string> texts;
    for (const auto& box : rig.presenter.Boxes) {
        texts.push_back(box.Text);
    }
    return texts;
}

// Connects the fake board of kind and waits until it is identified.
void Connect(ShellRig& rig, DEV_VokType kind, std::string idText) {
    rig.Board().Kind = kind;
    rig.Board().IdText = std::move(idText);
    rig.Board().PutIdentification();
    rig.core->Execute(A::CreateCom);
    const TRavlo_MA_Process& ma = *rig.core->MAProc;
    ASSERT_TRUE(rig.AdvanceUntil(
        [&] { return ma.Device == kind && !ma.BiosIdText.empty() && ma.ConState == cs_idle; }));
    rig.presenter.Boxes.clear();
}

TEST(SetupCommand, TheConnectedBoardDecidesWhichSetupIsRead) {
    const struct {
        DEV_VokType kind;
        const char* id;
        std::vector<std::string> boxes;
        std::optional<TSetupBoard> dialog;
    } cases[] = {
        {DEV_VokV40, "VOKV40 BIOS 14<QRN>", {"VokV40 has no Setup"}, std::nullopt},
        {DEV_Vok188, "ZQX09 188 BIOS -v23", {"ZQX09 has no Setup"}, std::nullopt},
        {DEV_Vok188, "VOK188 BIOS -v23", {}, TSetupBoard::Vok188},
        {DEV_Vok386, "VOK386 BIOS 23<VOK>", {}, TSetupBoard::Vok386},
    };
    for (const auto& c : cases) {
        ShellRig rig;
        rig.Create();
        Connect(rig, c.kind, c.id);
        rig.Board().Put(c.kind == DEV_Vok386 ? kSetup386At : 0xFFE00, Bytes(32, 0x5C));
        rig.core->Execute(A::VokSetup);
        rig.Settle();
        EXPECT_EQ(BoxTexts(rig), c.boxes) << c.id;
        ASSERT_EQ(rig.host.SetupEdits.size(), c.dialog ? 1u : 0u) << c.id;
        if (c.dialog) {
            EXPECT_EQ(rig.host.SetupEdits[0].Board, *c.dialog);
            EXPECT_EQ(rig.host.SetupEdits[0].Record, Bytes(SetupRecordSize(*c.dialog), 0x5C));
            EXPECT_TRUE(rig.host.SetupEdits[0].CanSave);
        }
    }
}

TEST(SetupCommand, ALinkThatFallsWhileTheDialogIsOpenHarmsNothingAndTheEditIsWrittenBack) {
    ShellRig rig;
    rig.Create();
    Connect(rig, DEV_Vok386, "VOK386 BIOS 23<VOK>");
    const Bytes block = rig.Board().Read(kSetup386At, 256);
    const TRavlo_MA_Process& ma = *rig.core->MAProc;
    bool lost = false;
    rig.host.OnEditSetup = [&](std::span<std::uint8_t> record) {
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
    rig.core->Execute(A::VokSetup);
    ASSERT_TRUE(rig.AdvanceUntil([&] { return rig.host.HasEvent("- Setup was written"); }));
    EXPECT_TRUE(lost);
    Bytes expected = block;
    expected[0] = 0xB6;
    EXPECT_EQ(rig.Board().Read(kSetup386At, 256), expected);
}

TEST(SetupCommand, OfflineTheFileSizeChoosesTheDialog) {
    testing::ScratchDir dir;
    const struct {
        const char* name;
        int size; // -1: no such file
        std::optional<TSetupBoard> dialog;
        const char* box;
    } cases[] = {
        {"a.c38", 13, TSetupBoard::Vok386, ""},
        {"a.bin", 13, TSetupBoard::Vok386, ""},
        {"a.c18", 32, TSetupBoard::Vok188, ""},
        {"b.c38", 12, std::nullopt, "File \"%\" doesn't contain valid BIOS setup!"},
        {"c.c38", 14, std::nullopt, "File \"%\" doesn't contain valid BIOS setup!"},
        {"none.c18", -1, std::nullopt, "Can't open file \"%\"!"},
    };
    for (const auto& c : cases) {
        ShellRig rig;
        rig.Create();
        const std::filesystem::path file = dir.Path() / c.name;
        if (c.size >= 0) {
            dir.Write(c.name, std::string(static_cast<std::size_t>(c.size), '\x11'));
        }
        rig.host.SetupFile = file;
        rig.core->Execute(A::VokSetup);
        ASSERT_EQ(rig.host.SetupEdits.size(), c.dialog ? 1u : 0u) << c.name;
        std::string box = c.box;
        if (const auto at = box.find('%'); at != std::string::npos) {
            box.replace(at, 1, file.string());
        }
        if (c.dialog) {
            EXPECT_EQ(rig.host.SetupEdits[0].Board, *c.dialog);
            EXPECT_EQ(rig.host.SetupEdits[0].Record, Bytes(static_cast<std::size_t>(c.size), 0x11));
            EXPECT_FALSE(rig.host.SetupEdits[0].CanSave) << "no board to save to";
        }
        EXPECT_EQ(BoxTexts(rig), box.empty() ? std::vector<std::string>{} : std::vector<std::string>{box});
    }
}

} // namespace
} // namespace ravlo
