#include "project/project_globals.h"
#include "shell/menu_state.h"

#include <gtest/gtest.h>
#include <map>
#include <set>
#include <string>

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
    std::map<A, bool> enabled;
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
         {{A::OpenExe, true},
          {A::ReOpen, false},
          {A::Place, false},
          {A::MemDesign, false},
          {A::Generate, false},
          {A::CrEpromImg, false},
          {A::Download, false},
          {A::DownloadApp, false},
          {A::BIOS, true},
          {A::VokSetup, true},
          {A::BIOSInfo, false},
          {A::RTC, false},
          {A::Debug, false},
          {A::UserLogin, true},
          {A::UserLogout, false},
          {A::CreateCom, true},
          {A::IO, true}}},
        {"full project, connected 386, level 2",
         Connected(2, 2),
         {{A::ReOpen, true},
          {A::MemDesign, true},
          {A::Generate, true},
          {A::FindErr, true},
          {A::CrEpromImg, true},
          {A::DownloadApp, true},
          {A::RunApp, true},
          {A::GenLoadRun, true},
          {A::WriteBin, true},
          {A::ReadBin, true},
          {A::BIOSInfo, true},
          {A::GO, true},
          {A::RUN, true},
          {A::RTC, true},
          {A::MemView, true},
          {A::Mem256, true},
          {A::UserLogout, true},
          {A::UsersDefine, true},
          {A::CheckSum, false}}},
        {"small project without images",
         small,
         {{A::Place, true},
          {A::Generate, false},
          {A::FindErr, false},
          {A::CrEpromImg, false},
          {A::DownloadApp, true},
          {A::WriteBin, false},
          {A::ReadBin, false},
          {A::MemView, false}}},
        {"changing the baud rate",
         changingRate,
         {{A::Download, false},
          {A::DownloadApp, false},
          {A::BIOSInfo, false},
          {A::GO, false},
          {A::RUN, false},
          {A::Debug, false},
          {A::MemView, false},
          {A::RTC, false},
          {A::VokSetup, true}}},
        {"small project with fresh images",
         Connected(2, 0, TProjectType::Small),
         {{A::CrEpromImg, true}, {A::Generate, false}, {A::FindErr, false}}},
        {"images without a read design file",
         [] {
             TMenuInputs in = Connected(2, 2);
             in.MemFileOK = false;
             return in;
         }(),
         {{A::CrEpromImg, false}, {A::Generate, true}}},
        {"V40 has no clock", Connected(1, 1), {{A::RTC, false}, {A::ReadBin, true}, {A::WriteBin, false}}},
        {"unknown device",
         Connected(0, 2),
         {{A::Download, false},
          {A::WriteBin, false},
          {A::BIOSInfo, true},
          {A::RTC, true},
          {A::MemView, true}}},
    };
    for (const MenuCase& c : cases) {
        const TMenuStates states = ComputeMenuStates(c.inputs);
        for (const auto& [action, enabled] : c.enabled) {
            EXPECT_EQ(states[action].Enabled, enabled) << c.name << ": " << MainActionInfo(action).Name;
        }
    }
}

TEST(MenuStates, UsersMenuAndDebugMenuVisibility) {
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
    EXPECT_FALSE(ComputeMenuStates(TMenuInputs{}).SetupConnected);
}

TEST(MenuStates, OpenViewsAreChecked) {
    TMenuInputs in;
    in.ErrHistoryOpen = true;
    in.SysWriterOpen = true;
    const TMenuStates states = ComputeMenuStates(in);
    EXPECT_TRUE(states[A::ErrHistory].Checked);
    EXPECT_TRUE(states[A::SysWriter].Checked);
    EXPECT_FALSE(states[A::MAView].Checked);
    EXPECT_FALSE(states[A::CommView].Checked);
}

TEST(MenuStates, ProjectInputsComeFromTheGlobals) {
    ResetProjectGlobals();
    ProjectType = TProjectType::Small;
    MemFileOK = true;
    TMenuInputs given;
    given.UserLevel = 2;
    const TMenuInputs in = MenuInputsFromProject(given);
    EXPECT_EQ(in.ProjectType, TProjectType::Small);
    EXPECT_TRUE(in.MemFileOK);
    EXPECT_FALSE(in.BinFilesOK);
    EXPECT_EQ(in.UserLevel, 2);
    ResetProjectGlobals();
}

TEST(MainActions, TableIsConsistent) {
    std::set<std::string_view> names;
    std::set<std::string_view> shortcuts;
    std::set<A> seen;
    for (const TMainActionInfo& info : MainActions()) {
        EXPECT_TRUE(names.insert(info.Name).second) << info.Name;
        EXPECT_FALSE(info.Caption.empty()) << info.Name;
        if (!info.Shortcut.empty()) {
            EXPECT_TRUE(shortcuts.insert(info.Shortcut).second) << info.Shortcut;
        }
        const TMainActionInfo& parent = MainActionInfo(info.Parent);
        EXPECT_TRUE(parent.IsMenu) << info.Name;
        EXPECT_TRUE(info.Parent == info.Id || seen.count(info.Parent) == 1)
            << info.Name << " before its menu";
        if (info.Parent == info.Id) {
            EXPECT_TRUE(info.IsMenu) << info.Name << " is top-level";
        }
        seen.insert(info.Id);
    }
    std::set<A> withTool;
    for (const TMainActionInfo& info : MainActions()) {
        if (!info.ToolName.empty()) {
            withTool.insert(info.Id);
        }
    }
    const std::set<A> buttons(MainToolButtons().begin(), MainToolButtons().end());
    EXPECT_EQ(buttons, withTool);
    EXPECT_EQ(MainToolButtons().size(), buttons.size());
}

} // namespace
} // namespace ravlo
