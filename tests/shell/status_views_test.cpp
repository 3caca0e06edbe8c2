// The main window's views without widgets: the status bar on fields of the test's own, the event
// log, the process status windows on the core's processes, the menus' states and recent projects.
#include "main_form_test_support.h"
#include "platform/ini_file.h"
#include "protocol/comm_process.h"
#include "shell/event_log.h"
#include "shell/last_projects.h"
#include "shell/menu_state.h"
#include "shell/process_views.h"
#include "shell/status_bar.h"
#include "support/scratch_dir.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace ravlo {
namespace {

using W = TStatusWatch;

struct Fields {
    std::uint8_t port = 0;
    std::uint32_t baud = 0;
    std::uint8_t connected = 0;
    TChnStat counters;
    std::uint8_t device = 0;
    std::string biosId;
    std::string event;

    TStatusSources Sources() const { return {&port, &baud, &connected, &counters, &device, &biosId, &event}; }
};

TEST(StatusBar, AWatcherAnswersForItsFieldOnceItChangedAndATextOrCountersEveryTime) {
    Fields fields;
    TStatusBar bar(fields.Sources());
    int stranger = 0;
    EXPECT_EQ(bar.VarChanged(&stranger), W::None);
    EXPECT_EQ(bar.VarChanged(&fields.port), W::None) << "unchanged";
    fields.port = 3;
    fields.baud = 9600;
    EXPECT_EQ(bar.VarChanged(&fields.port), W::Com);
    EXPECT_EQ(bar.VarChanged(&fields.port), W::None) << "a repeat";
    EXPECT_EQ(bar.Panels().Texts[1], "BdRate = 0") << "the rate is shown once it is announced";
    EXPECT_EQ(bar.VarChanged(&fields.baud), W::BdRate);
    EXPECT_EQ(bar.Panels().Texts[0] + " " + bar.Panels().Texts[1], "COM = 3 BdRate = 9600");
    EXPECT_EQ(bar.VarChanged(&fields.event), W::Event);
    EXPECT_EQ(bar.VarChanged(&fields.event), W::Event);
    fields.counters.OK = 7;
    fields.counters.e = 2;
    EXPECT_EQ(bar.VarChanged(&fields.counters), W::MsgCnt);
    EXPECT_EQ(bar.Panels().Texts[3], "Msg.Cnt = 7/2");
}

TEST(StatusBar, TheConnectionPanelIsSilverWithoutAnOpenPort) {
    const struct {
        std::uint8_t port;
        std::uint8_t connected;
        TPanelColour colour;
    } cases[] = {{0, 0, TPanelColour::Silver}, {0, 2, TPanelColour::Silver}, {1, 0, TPanelColour::Red},
                 {1, 1, TPanelColour::Olive},  {4, 2, TPanelColour::Green},  {4, 9, TPanelColour::Silver}};
    for (const auto& c : cases) {
        Fields fields;
        fields.port = c.port;
        fields.connected = c.connected;
        EXPECT_EQ(TStatusBar(fields.Sources()).Panels().ConnectedColour, c.colour)
            << int(c.port) << int(c.connected);
    }
    EXPECT_EQ(DevicePanelText(4), "Device = Unknown") << "past the known boards";
}

TEST(EventLogColour, KindSelectsTheColour) {
    const std::pair<std::uint8_t, TEventRgb> cases[] = {{0, {0x80, 0x80, 0x00}},
                                                        {1, {0xFF, 0x00, 0x00}},
                                                        {2, {0x00, 0x80, 0x00}},
                                                        {4, {0x00, 0x80, 0x00}},
                                                        {5, {}},
                                                        {255, {}}};
    for (const auto& [kind, colour] : cases) {
        EXPECT_EQ(EventKindColour(kind), colour) << int(kind);
    }
}

TEST(EventLogModel, KeepsTheLast50LinesWithTheirKinds) {
    TEventLogModel model;
    std::vector<bool> drops;
    model.SetObserver([&drops](const TEventLine&, bool dropped) { drops.push_back(dropped); });
    for (int i = 1; i <= 51; ++i) {
        ASSERT_TRUE(model.Add("- event " + std::to_string(i), static_cast<std::uint8_t>(i % 5)));
    }
    ASSERT_EQ(model.Lines().size(), 50u);
    EXPECT_EQ(model.Lines().front().Text, "- event 2");
    EXPECT_EQ(model.Lines().front().Kind, 2);
    EXPECT_EQ(model.Lines().back().Text, "- event 51");
    EXPECT_EQ(model.Lines().back().Kind, 1);
    ASSERT_EQ(drops.size(), 51u);
    EXPECT_FALSE(drops[49]);
    EXPECT_TRUE(drops[50]);
}

TEST(EventLogModel, EmptyTextAddsNothingAndLongOrBrokenTextsStayOneShortLine) {
    TEventLogModel model;
    int calls = 0;
    model.SetObserver([&calls](const TEventLine&, bool) { ++calls; });
    EXPECT_FALSE(model.Add("", 1));
    EXPECT_EQ(calls, 0);
    EXPECT_TRUE(model.Add(std::string(300, 'x'), 4));
    EXPECT_EQ(model.Lines().back().Text.size(), TEventLogModel::kMaxText);
    EXPECT_TRUE(model.Add("- File changed.\r\nReload?\n", 1));
    EXPECT_EQ(model.Lines().back().Text, "- File changed.  Reload? ");
}

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

using A = TMainAction;

TMenuInputs Connected(std::uint8_t device, std::uint8_t level, TProjectType type = TProjectType::Full) {
    TMenuInputs in;
    in.ProjectType = type;
    in.MemFileOK = true;
    in.BinFilesOK = true;
    in.Connected = 2;
    in.Device = device;
    in.UserLevel = level;
    in.UsersLoaded = true;
    return in;
}

struct MenuCase {
    const char* name;
    TMenuInputs inputs;
    std::vector<A> enabled;
    std::vector<A> disabled;
};

TEST(MenuStates, EnableRules) {
    TMenuInputs idle;
    idle.UsersLoaded = true;
    TMenuInputs small = Connected(2, 0, TProjectType::Small);
    small.BinFilesOK = false;
    TMenuInputs changingRate = Connected(2, 2);
    changingRate.Connected = 1;
    const MenuCase cases[] = {
        {"nothing open",
         idle,
         {A::OpenExe, A::BIOS, A::VokSetup, A::UserLogin, A::CreateCom, A::IO},
         {A::ReOpen, A::Place, A::MemDesign, A::Generate, A::CrEpromImg, A::Download, A::DownloadApp,
          A::BIOSInfo, A::RTC, A::Debug, A::UserLogout}},
        {"full project, connected 386, level 2",
         Connected(2, 2),
         {A::ReOpen, A::MemDesign, A::Generate, A::FindErr, A::CrEpromImg, A::DownloadApp, A::RunApp,
          A::GenLoadRun, A::WriteBin, A::ReadBin, A::BIOSInfo, A::GO, A::RUN, A::RTC, A::MemView, A::Mem256,
          A::UserLogout, A::UsersDefine},
         {A::CheckSum}},
        {"small project without images",
         small,
         {A::Place, A::DownloadApp},
         {A::Generate, A::FindErr, A::CrEpromImg, A::WriteBin, A::ReadBin, A::MemView}},
        {"changing the baud rate",
         changingRate,
         {A::VokSetup},
         {A::Download, A::DownloadApp, A::BIOSInfo, A::GO, A::RUN, A::Debug, A::MemView, A::RTC}},
        {"small project with fresh images",
         Connected(2, 0, TProjectType::Small),
         {A::CrEpromImg},
         {A::Generate, A::FindErr}},
        {"images without a read design file",
         [] {
             TMenuInputs in = Connected(2, 2);
             in.MemFileOK = false;
             return in;
         }(),
         {A::Generate},
         {A::CrEpromImg}},
        {"V40 has no clock", Connected(1, 1), {A::ReadBin}, {A::RTC, A::WriteBin}},
        {"unknown device", Connected(0, 2), {A::BIOSInfo, A::RTC, A::MemView}, {A::Download, A::WriteBin}},
    };
    for (const MenuCase& c : cases) {
        const TMenuStates states = ComputeMenuStates(c.inputs);
        for (const bool enabled : {true, false}) {
            for (const A action : enabled ? c.enabled : c.disabled) {
                EXPECT_EQ(states[action].Enabled, enabled) << c.name << ": " << MainActionInfo(action).Name;
            }
        }
    }
}

TEST(MenuStates, VisibilityByUsersAndLevelAndOpenViewsChecked) {
    TMenuInputs noUsers = Connected(2, 2);
    noUsers.UsersLoaded = false;
    const TMenuStates hidden = ComputeMenuStates(noUsers);
    for (const A action : {A::UsersMenu, A::UserLogin, A::UserLogout, A::UsersDefine}) {
        EXPECT_FALSE(hidden[action].Visible) << MainActionInfo(action).Name;
        EXPECT_FALSE(hidden[action].Enabled) << MainActionInfo(action).Name;
    }
    EXPECT_FALSE(hidden[A::ProgramDebug].Visible);
    EXPECT_FALSE(hidden[A::DbgEmpty].Visible) << "items of a hidden menu are hidden";
    EXPECT_TRUE(hidden.HighAccess);

    const TMenuStates debug = ComputeMenuStates(Connected(2, 254));
    EXPECT_TRUE(debug[A::ProgramDebug].Visible);
    EXPECT_TRUE(debug[A::ProgramDebug].Enabled);
    EXPECT_TRUE(debug[A::DbgLoadSRemain].Enabled);
    EXPECT_FALSE(ComputeMenuStates(Connected(2, 253))[A::ProgramDebug].Visible);

    const TMenuStates level1 = ComputeMenuStates(Connected(2, 1));
    EXPECT_FALSE(level1.HighAccess);
    EXPECT_TRUE(level1.SetupConnected);
    TMenuInputs views;
    views.ErrHistoryOpen = views.SysWriterOpen = true;
    const TMenuStates checked = ComputeMenuStates(views);
    EXPECT_FALSE(checked.SetupConnected);
    EXPECT_TRUE(checked[A::ErrHistory].Checked && checked[A::SysWriter].Checked);
    EXPECT_FALSE(checked[A::MAView].Checked);
}

using Entries = std::array<std::string, TLastProjects::kCount>;

TEST(LastProjects, AnOpenedProjectComesFirstAndTheOthersMoveDownToItsOldPlace) {
    const testing::ScratchDir dir;
    const std::filesystem::path ini = dir.Write("app.ini", "[LASTPROJECTS]\nP1=/p/A.EXE\nP2=/p/B.EXE\n"
                                                           "P3=/p/C.MEM\nP4=/p/D.EXE\nP5=/p/E.EXE\n");
    const Entries full = {"/p/A.EXE", "/p/B.EXE", "/p/C.MEM", "/p/D.EXE", "/p/E.EXE"};
    const std::pair<const char*, Entries> cases[] = {
        {"/p/C.MEM", {"/p/C.MEM", "/p/A.EXE", "/p/B.EXE", "/p/D.EXE", "/p/E.EXE"}},
        {"/p/F.EXE", {"/p/F.EXE", "/p/A.EXE", "/p/B.EXE", "/p/C.MEM", "/p/D.EXE"}},
        {"/p/d.exe", {"/p/d.exe", "/p/A.EXE", "/p/B.EXE", "/p/C.MEM", "/p/E.EXE"}},
        {"/p/A.EXE", full},
        {"", full},
    };
    for (const auto& [opened, after] : cases) {
        TLastProjects list;
        list.Read(ini);
        list.Add(opened, ini);
        EXPECT_EQ(list.Entries(), after) << opened;
        list.Read(ini);
        EXPECT_EQ(list.Entries(), after) << "written back";
        for (std::size_t i = 0; i < full.size(); ++i) {
            IniFile(ini).WriteString("LASTPROJECTS", "P" + std::to_string(i + 1), full[i]);
        }
    }
}

TEST(LastProjects, AnIniWithoutTheSectionGivesAnEmptyListAndCaptionsKeepTheirAmpersands) {
    const testing::ScratchDir dir;
    const std::filesystem::path ini = dir.Write("app.ini", "[OTHER]\nP1=/p/X.EXE\n");
    TLastProjects list;
    list.Read(ini);
    EXPECT_EQ(list.Entries(), Entries{});
    list.Add("/p/A.EXE", ini);
    EXPECT_EQ(list.Get(1), "/p/A.EXE");
    EXPECT_EQ(list.Get(6), "");
    EXPECT_EQ(TLastProjects::MenuCaption(2, "/p/R&D.EXE"), "&2 /p/R&&D.EXE");
    EXPECT_EQ(TLastProjects::MenuCaption(1, "/home/engineer/projects/pump/PUMP.EXE"),
              "&1 /...ts/pump/PUMP.EXE");
}

} // namespace
} // namespace ravlo
