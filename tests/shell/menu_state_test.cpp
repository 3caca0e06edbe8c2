#include "platform/ini_file.h"
#include "shell/last_projects.h"
// The menus' states and the recent projects' list and captions.
#include "shell/menu_state.h"
#include "support/scratch_dir.h"

#include <gtest/gtest.h>
#include <vector>

namespace ravlo {
namespace {

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
