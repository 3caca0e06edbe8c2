// The main form's core with its recent projects, debug-messages command and runtime log.
#include "kernel/kernel_debug.h"
#include "main_form_test_support.h"
#include "platform/ini_file.h"
#include "shell/debug_mask_rec.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using testing::ShellIni;
using testing::ShellRig;

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
