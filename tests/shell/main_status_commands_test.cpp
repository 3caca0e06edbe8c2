// The main form's core with its status bar, recent projects and debug-messages command.
#include "kernel/kernel_debug.h"
#include "main_form_test_support.h"
#include "platform/ini_file.h"
#include "shell/debug_mask_rec.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using testing::ShellIni;
using testing::ShellRig;

void Announce(const void* field, std::uint16_t size) {
    MainFormBroadcast(static_cast<std::uint16_t>(wm_VarChanged), size,
                      reinterpret_cast<std::uintptr_t>(field));
}

TEST(MainFormStatus, TheLinkIsShownAndEachChangeOfItWrittenOnce) {
    ShellRig rig;
    rig.Create();
    TRavlo_MA_Process& ma = *rig.core->MAProc;
    const TStatusPanels first = rig.host.Panels;
    EXPECT_EQ(first.Texts[0], "COM = x") << "painted at creation";

    int stranger = 0;
    Announce(&stranger, 1);
    EXPECT_EQ(rig.host.Panels.Texts, first.Texts);
    EXPECT_EQ(AppMessageQueue().PendingCount(), 0u) << "nothing queued";

    for (const std::uint8_t connected : {kBoardConnected, kBoardConnected, kNotConnected, kNotConnected}) {
        ma.Connected = connected;
        Announce(&ma.Connected, 1);
    }
    EXPECT_EQ(rig.host.EventTexts(),
              (std::vector<std::string>{"- Vok was connected", "- Communication Lost"}));
    EXPECT_EQ(rig.host.Panels.Texts[TStatusPanels::kConnectedPanel], "Connected = NO");
}

TEST(MainFormStatus, RecentProjectsFollowWhatIsOpenedAndOpenAgain) {
    ShellRig rig(ShellIni("[LASTPROJECTS]\r\nP1=/nowhere/A.BIN\r\nP2=/nowhere/GONE.EXE\r\n"));
    const auto demo = rig.WriteDemo();
    rig.Create();
    rig.core->OpenLastProject(1);
    rig.core->OpenLastProject(2);
    ASSERT_EQ(rig.presenter.Boxes.size(), 2u);
    EXPECT_EQ(rig.presenter.Boxes[0].Text, "Incorrect file extension !");
    EXPECT_EQ(rig.presenter.Boxes[1].Text, "Project \"/nowhere/GONE.EXE\" does not exist!");
    EXPECT_EQ(ProjectType, TProjectType::None);

    ASSERT_TRUE(rig.core->OpenFullProject(demo.exe, false));
    const std::vector<std::string> after{demo.exe.string(), "/nowhere/A.BIN", "/nowhere/GONE.EXE", "", ""};
    EXPECT_EQ(rig.host.LastProjects, after);
    EXPECT_EQ(IniFile(AppIniName()).ReadString("LASTPROJECTS", "P1"), demo.exe.string());
    rig.core->CloseProject(false);
    rig.core->OpenLastProject(1);
    EXPECT_EQ(ProjectType, TProjectType::Full);
    EXPECT_EQ(rig.host.LastProjects, after) << "already first";
}

// The debug-messages dialog as a user answers it: DM_ProcMess alone and no runtime log.
class ProcMessOnly final : public TModalDialog {
public:
    void BindRecord(std::span<std::uint8_t> data) override { data_ = data; }
    int ShowModal() override {
        EXPECT_EQ(TDebugDMRec::Decode(data_), (TDebugDMRec{DM_DelayMess, 1}));
        const auto edited = TDebugDMRec{DM_ProcMess, 0}.Encode();
        std::copy(edited.begin(), edited.end(), data_.begin());
        return mrOk;
    }

private:
    std::span<std::uint8_t> data_;
};

TEST(MainFormStatus, TheDebugMessagesDialogSetsTheMaskAndTheLogAndWritesApp) {
    std::string ini = ShellIni();
    ini.replace(ini.find("APP="), 4, "APP=UPD=1 ");
    ShellRig rig(ini);
    rig.Create();
    SetDebugMask(DM_DelayMess);
    rig.host.CanAnswerDialogs = false;
    rig.core->Execute(TMainAction::DebugMode);
    EXPECT_EQ(GetDebugMask(), DM_DelayMess) << "nobody answered";
    EXPECT_EQ(IniFile(AppIniName()).ReadString(WrSection(), "APP"), "");

    RegisterDialog("TDebugDM_Dlg", [](TPlatformWindow*) { return std::make_unique<ProcMessOnly>(); });
    rig.host.CanAnswerDialogs = true;
    rig.core->Execute(TMainAction::DebugMode);
    EXPECT_EQ(GetDebugMask(), DM_ProcMess);
    EXPECT_FALSE(TxsOn());
    const std::string written = IniFile(AppIniName()).ReadString(WrSection(), "APP");
    EXPECT_NE(written.find("DM=$00000002 TXS=0"), std::string::npos) << written;
}

TEST(MainFormStatus, ARuntimeLogOffAtStartStaysOff) {
    ShellRig rig(ShellIni().replace(ShellIni().find("TXS=1"), 5, "TXS=0"));
    rig.Create();
    EXPECT_FALSE(TxsOn()) << "the log deleted at start is not written again";
}

} // namespace
} // namespace ravlo
