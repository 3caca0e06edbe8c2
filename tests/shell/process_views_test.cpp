// The process status windows' fields on the processes the main form's core creates, the real
// communication process among them.
#include "main_form_test_support.h"
#include "protocol/comm_process.h"
#include "shell/process_views.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

std::vector<std::string> Texts(const TProcessView& view) {
    std::vector<std::string> texts;
    for (const TProcViewField& field : view.Fields()) {
        texts.push_back(field.Text);
    }
    return texts;
}

TEST(ProcessViews, EachFieldFollowsItsOwnValueOnceItChanged) {
    testing::ShellRig rig;
    RegisterProcessType(PT_RavloComm, TRavloComm_Process::CreateFromLabel);
    rig.Create();
    TRavlo_MA_Process& ma = *rig.core->MAProc;
    TProcessView master = TProcessView::ForMaster(rig.core->ProcessColl.get());
    EXPECT_EQ(Texts(master)[2], "!!--UNDEFINED--!!");
    ma.Device = 7;
    ma.State = 0x12;
    ma.ConState = cs_WaitForBiosId;
    EXPECT_EQ(master.VarChanged(&ma.LinkState), -1) << "unchanged";
    EXPECT_EQ(master.VarChanged(&ma.Device), 2);
    EXPECT_EQ(master.VarChanged(&ma.Device), -1) << "a repeat";
    EXPECT_EQ(master.VarChanged(&ma.State), 1);
    EXPECT_EQ(master.VarChanged(&ma.ConState), 3);
    EXPECT_EQ(Texts(master), (std::vector<std::string>{TRavlo_MA_Process::RavloStateName(ravlost_Inactive),
                                                       "st_$12", std::string(17, '?'), "_WaitForBiosId"}));

    TRavloComm_Process& comm = *rig.core->CommProc;
    TProcessView view = TProcessView::ForComm(rig.core->ProcessColl.get());
    comm.State = MAS_Connected;
    comm.ComPort = 3;
    comm.Stat.S = 12;
    EXPECT_EQ(view.VarChanged(&comm.State), 0);
    EXPECT_EQ(view.VarChanged(&comm.ComPort), 1);
    EXPECT_EQ(view.VarChanged(&comm.Stat), 2);
    EXPECT_EQ(view.VarChanged(comm.PendingCountField()), 3);
    EXPECT_EQ(Texts(view), (std::vector<std::string>{"{Connected}", "3", comm.Stat.ToStr(), " 0"}));
}

TEST(ProcessViews, WithoutTheProcessTheFieldsStayEmptyAndNotificationsAreIgnored) {
    for (const auto make : {&TProcessView::ForMaster, &TProcessView::ForComm}) {
        TProcessView view = make(nullptr);
        EXPECT_FALSE(view.HasProcess());
        EXPECT_EQ(Texts(view), std::vector<std::string>(4));
        EXPECT_EQ(view.VarChanged(&view), -1);
    }
}

} // namespace
} // namespace ravlo
