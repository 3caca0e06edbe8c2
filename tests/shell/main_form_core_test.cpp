// The main form's core: what its creation builds from the INI, how it takes the master's reports,
// its queued calls and their exceptions, the menu update and the close check.
#include "framework/app_data.h"
#include "framework/name_object.h"
#include "kernel/app_name_object.h"
#include "kernel/dlg_process.h"
#include "kernel/exception_log.h"
#include "kernel/proc_label.h"
#include "kernel/proc_win_label.h"
#include "kernel/sys_addr.h"
#include "main_form_test_support.h"
#include "protocol/tmp_err_process.h"
#include "shell/err_history_source.h"
#include "shell/exit_codes.h"
#include "shell/main_form_setup.h"
#include "support/app_fixtures.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace ravlo {
namespace {

using testing::AppIniFixture;
using testing::CapturedWriter;
using testing::ScratchDir;
using testing::ShellIni;
using testing::ShellRig;
using A = TMainAction;

TEST(MainFormCore, CreationBuildsTheKernelAndFindsTheStaticProcesses) {
    ShellRig rig;
    rig.Create();
    TRavloMainFormCore& core = *rig.core;

    ASSERT_NE(AppExtension().AppData, nullptr);
    ASSERT_NE(GetProcLabelColl(), nullptr);
    ASSERT_NE(GetTimeMessColl(), nullptr);
    EXPECT_EQ(GetSysAddrHandle(0x2001), core.Handle()) << "the form's window serves its logical addresses";
    EXPECT_EQ(GetSysAddrHandle(0x2100), kNoWindow);
    ASSERT_NE(core.ProcessColl, nullptr);
    EXPECT_EQ(core.ProcessColl->Count(), 4);
    ASSERT_NE(core.MAProc, nullptr);
    EXPECT_EQ(core.MAProc->ADR, (TProcAdr{0x70, 1, 0x2001})) << "the address MAAddr names";
    EXPECT_EQ(core.CommProc, nullptr) << "the fake communication process is no TRavloComm_Process";
    ASSERT_TRUE(core.TmpErrProc != nullptr && core.DlgProc != nullptr);
    EXPECT_EQ(core.GenerateOk + core.EpromImageOk + core.DownloadOk + core.RunOk, 4);
    EXPECT_EQ(core.BatchLimits().BoardWaitMs, 3000u);
    EXPECT_TRUE(rig.presenter.Boxes.empty());
}

TEST(MainFormCore, GoingAwayTakesDownEveryGlobalItSet) {
    ShellRig rig;
    rig.Create();
    rig.core.reset();
    EXPECT_EQ(GetProcLabelColl(), nullptr);
    EXPECT_EQ(GetTimeMessColl(), nullptr);
    EXPECT_EQ(GetSysAddrColl(), nullptr);
    EXPECT_EQ(TNameObjectList::Global(), nullptr);
    // A second form can be created afterwards.
    rig.Create();
    EXPECT_NE(rig.core->MAProc, nullptr);
}

TEST(MainFormCore, WithoutGlbSysEntryThereAreNoProcessesAndCommandsDoNothing) {
    std::string ini = ShellIni();
    const std::string entry =
        "GS00=TYP=1 TNA=RAVLOMAIN CAP='Ravlo' LOG=$2000 HIL=$20FF PCO=MAINPC USR=$0\r\n";
    ini.erase(ini.find(entry), entry.size());
    ShellRig rig(ini);
    rig.Create();
    EXPECT_EQ(rig.presenter.Boxes.size(), 1u);
    EXPECT_EQ(rig.core->ProcessColl, nullptr);
    EXPECT_EQ(rig.core->MAProc, nullptr);
    rig.core->Execute(A::CreateCom);
    rig.core->Execute(A::BIOSInfo);
    EXPECT_FALSE(rig.core->RunApp_MenuItemClick());
    EXPECT_EQ(rig.core->ErrHistorySource(), nullptr);
}

TEST(MainFormCore, MsgIfNoUserIsReadFromTheIni) {
    std::string ini = ShellIni();
    ini.replace(ini.find("MsgIfNoUser=1"), 13, "MsgIfNoUser=0");
    ShellRig rig(ini);
    rig.Create();
    EXPECT_FALSE(MsgIfNoUser);
}

// The master's event text goes to the event log at once; its link changes update the menus only
// after the handler.
TEST(MainFormCore, TheMastersAnnouncements) {
    ShellRig rig;
    rig.Create();
    TRavlo_MA_Process& ma = *rig.core->MAProc;
    const auto announce = [](const void* field, std::uint16_t size) {
        MainFormBroadcast(static_cast<std::uint16_t>(wm_VarChanged), size,
                          reinterpret_cast<std::uintptr_t>(field));
    };
    ma.EventText = "- File \"ROM.BIN\" has been loaded";
    ma.EventKind = 4;
    announce(&ma.EventText, 256);
    ASSERT_EQ(rig.host.Events.size(), 1u);
    EXPECT_EQ(rig.host.Events[0].Text, "- File \"ROM.BIN\" has been loaded");
    EXPECT_EQ(rig.host.Events[0].Kind, 4);

    const int before = rig.host.MenuUpdates;
    ma.Connected = kBoardConnected;
    ma.Device = DEV_Vok188;
    announce(&ma.Connected, 1);
    announce(&ma.Device, 1);
    EXPECT_EQ(rig.host.MenuUpdates, before) << "nothing happens inside the sender's handler";
    while (AppMessageQueue().PumpAll() > 0) {
    }
    EXPECT_EQ(rig.host.MenuUpdates, before + 1) << "two changes, one update";
    EXPECT_TRUE(rig.host.Enabled(A::BIOSInfo));
    EXPECT_FALSE(rig.host.Enabled(A::DownloadApp)) << "no project";
}

TEST(MainFormCore, MenusFollowTheProjectAndTheUserLevel) {
    ShellRig rig;
    const auto paths = rig.WriteDemo();
    rig.Create();
    rig.core->UpdateMenus();
    EXPECT_FALSE(rig.host.Enabled(A::Generate));
    ASSERT_TRUE(rig.core->OpenFullProject(paths.exe, false));
    rig.core->UpdateMenus();
    EXPECT_TRUE(rig.host.Enabled(A::Generate));
    EXPECT_FALSE(rig.host.Enabled(A::CrEpromImg)) << "no .BIN yet";
    rig.core->Generate_MenuItemClick();
    EXPECT_TRUE(rig.host.Enabled(A::CrEpromImg));
    for (const std::uint8_t level : {2, 0}) {
        UserLevel = level;
        rig.core->UpdateMenus();
        EXPECT_EQ(HighAccess, level == 2);
    }
}

TEST(MainFormCore, QueuedCallsRunAfterTheCurrentHandlerAndTheirExceptionsAreLogged) {
    ShellRig rig;
    rig.Create();
    std::vector<int> order;
    rig.core->Defer([&order] { order.push_back(1); });
    rig.core->Defer([] { throw std::runtime_error("first fault"); });
    rig.core->Defer([] { throw std::runtime_error("second fault"); });
    rig.core->Defer([&order] { order.push_back(2); });
    EXPECT_TRUE(order.empty());
    while (AppMessageQueue().PumpAll() > 0) {
    }
    EXPECT_EQ(order, (std::vector<int>{1, 2})) << "the program goes on after an exception";
    const std::string log = testing::ReadFileText(ExceptionLogPath());
    EXPECT_NE(log.find("Exception: first fault in object TRavloMainForm at "), std::string::npos) << log;
    EXPECT_NE(log.find("Exception: second fault in object TRavloMainForm at "), std::string::npos) << log;
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2) << "one line per exception";
}

class Stubborn final : public TProcess {
public:
    using TProcess::TProcess;
    bool ProcessCanClose() override { return false; }
};

TEST(MainFormCore, ClosingWaitsForTheProcessesButOnlySoLong) {
    ShellRig rig;
    rig.Create();
    EXPECT_TRUE(rig.core->CanCloseNow(1000)) << "every process is ready";

    TProcLabel label;
    label.NAM = "STUBBORN";
    label.ADR = TProcAdr{0x55, 0, 0x2001};
    ASSERT_NE(rig.core->ProcessColl->AddProcess(std::make_unique<Stubborn>(&label)), nullptr);
    EXPECT_FALSE(rig.core->CanCloseNow(1000));
    rig.clock.Advance(999);
    EXPECT_FALSE(rig.core->CanCloseNow(1000));
    rig.clock.Advance(1);
    EXPECT_TRUE(rig.core->CanCloseNow(1000)) << "the wait is bounded";
}

TEST(MainFormCore, TheErrorHistorySourceIsTheProcessesHistory) {
    ShellRig rig;
    rig.Create();
    TErrHistorySource* source = rig.core->ErrHistorySource();
    ASSERT_NE(source, nullptr);
    TTMP_ERR_Process& process = *rig.core->TmpErrProc;
    process.History = {"12:00: one", "12:01: two"};
    EXPECT_EQ(source->HistoryLines(), process.History);
    EXPECT_EQ(source->HistoryAddress(), &process.History);
    rig.core->Execute(A::ErrHistory);
    ASSERT_EQ(rig.host.HistorySources.size(), 1u);
    EXPECT_EQ(rig.host.HistorySources[0], source);
    EXPECT_TRUE(rig.host.Menus->operator[](A::ErrHistory).Checked);
}

std::string GlbIni(const std::string& entries) {
    return "[SECTIONS]\r\nRD_SECTION=READ\r\n[READ]\r\nGLBSYSCOLL=PFX=GS\r\n" + entries;
}

TEST(GlbSysEntry, TheFirstEntryIsTakenAndAnyOtherNumberIsTold) {
    const struct {
        const char* entries;
        const char* problem;
        const char* tna; // nullptr: no entry
    } cases[] = {
        {"GS00=TNA='MAIN' LOG=$2000 HIL=$20FF PCO=mainpc\r\n", "", "MAIN"},
        {"GS00=TNA='FIRST' LOG=$10\r\nGS01=TNA='SECOND' LOG=$20\r\n",
         "Bad .INI file - more than one item in GLBSYSCOLL", "FIRST"},
        {"", "Bad .INI file - no item in GLBSYSCOLL", nullptr},
    };
    for (const auto& c : cases) {
        AppIniFixture ini(GlbIni(c.entries));
        CapturedWriter writer;
        const TGlbSysChoice choice = ChooseGlbSysEntry(*MakeNamed<TProcWinLabelColl>("GLBSYSCOLL"));
        EXPECT_EQ(choice.Problem, c.problem);
        ASSERT_EQ(choice.Entry.has_value(), c.tna != nullptr) << c.entries;
        if (c.tna != nullptr) {
            EXPECT_EQ(choice.Entry->TNA, c.tna);
            EXPECT_EQ(choice.Entry->PCO, std::string(c.tna) == "MAIN" ? "MAINPC" : "") << "upper case";
        }
    }
}

TEST(MsgIfNoUser, OnlyTheErrorMessagesSectionTurnsItOff) {
    ScratchDir dir;
    EXPECT_TRUE(ReadMsgIfNoUser(dir / "missing.ini"));
    EXPECT_TRUE(ReadMsgIfNoUser(dir.Write("a.ini", "[OTHER]\nMsgIfNoUser=0\n")));
    EXPECT_TRUE(ReadMsgIfNoUser(dir.Write("b.ini", "[ERRORMESSAGES]\nOther=0\n")));
    EXPECT_FALSE(ReadMsgIfNoUser(dir.Write("c.ini", "[ErrorMessages]\nmsgifnouser=0\n")));
    EXPECT_TRUE(ReadMsgIfNoUser(dir.Write("d.ini", "[ERRORMESSAGES]\nMsgIfNoUser=1\n")));
}

} // namespace
} // namespace ravlo
