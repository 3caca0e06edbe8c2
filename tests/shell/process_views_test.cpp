// The process status windows' fields on the processes the main form's core creates, the real
// communication process among them.
#include "main_form_test_support.h"
#include "protocol/comm_process.h"
#include "shell/process_views.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using testing::ShellRig;

std::vector<std::string> Texts(const TProcessView& view) {
    std::vector<std::string> texts;
    for (const TProcViewField& field : view.Fields()) {
        texts.push_back(field.Text);
    }
    return texts;
}

class ProcessViewsTest : public ::testing::Test {
protected:
    ProcessViewsTest() {
        RegisterProcessType(PT_RavloComm, TRavloComm_Process::CreateFromLabel);
        rig_.Create();
    }
    TRavlo_MA_Process& Ma() const { return *rig_.core->MAProc; }
    TRavloComm_Process& Comm() const { return *rig_.core->CommProc; }

    ShellRig rig_;
};

TEST_F(ProcessViewsTest, EachFieldOfTheMastersWindowFollowsItsOwnValue) {
    TProcessView view = TProcessView::ForMaster(rig_.core->ProcessColl.get());
    ASSERT_TRUE(view.HasProcess());
    const std::vector<std::string> before = Texts(view);
    EXPECT_EQ(before[2], "!!--UNDEFINED--!!");

    Ma().Device = 7;
    EXPECT_EQ(view.VarChanged(&Ma().LinkState), -1) << "unchanged";
    EXPECT_EQ(view.VarChanged(&Ma().Device), 2);
    EXPECT_EQ(view.VarChanged(&Ma().Device), -1) << "a repeat";
    EXPECT_EQ(view.Fields()[2].Text, std::string(17, '?'));
    Ma().LinkState = ravlost_Connected;
    Ma().State = 0x12;
    Ma().ConState = cs_WaitForBiosId;
    EXPECT_EQ(view.VarChanged(&Ma().LinkState), 0);
    EXPECT_EQ(view.VarChanged(&Ma().State), 1);
    EXPECT_EQ(view.VarChanged(&Ma().ConState), 3);
    EXPECT_EQ(Texts(view), (std::vector<std::string>{TRavlo_MA_Process::RavloStateName(ravlost_Connected),
                                                     "st_$12", std::string(17, '?'), "_WaitForBiosId"}));
}

TEST_F(ProcessViewsTest, TheCommunicationWindowShowsStatePortCountersAndPendingMessages) {
    TProcessView view = TProcessView::ForComm(rig_.core->ProcessColl.get());
    ASSERT_TRUE(view.HasProcess());
    EXPECT_EQ(Texts(view)[3], " 0");
    Comm().State = MAS_Connected;
    Comm().ComPort = 3;
    Comm().Stat.S = 12;
    EXPECT_EQ(view.VarChanged(&Comm().State), 0);
    EXPECT_EQ(view.VarChanged(&Comm().ComPort), 1);
    EXPECT_EQ(view.VarChanged(&Comm().Stat), 2);
    EXPECT_EQ(view.VarChanged(Comm().PendingCountField()), 3);
    EXPECT_EQ(Texts(view), (std::vector<std::string>{"{Connected}", "3", Comm().Stat.ToStr(), " 0"}));
}

TEST(ProcessViews, WithoutTheProcessTheFieldsStayEmptyAndNotificationsAreIgnored) {
    for (const auto make : {&TProcessView::ForMaster, &TProcessView::ForComm}) {
        TProcessView view = make(nullptr);
        EXPECT_FALSE(view.HasProcess());
        EXPECT_EQ(Texts(view), std::vector<std::string>(4));
        EXPECT_EQ(view.VarChanged(nullptr), -1);
        EXPECT_EQ(view.VarChanged(&view), -1);
    }
}

} // namespace
} // namespace ravlo
