// The recent projects: their order as projects are opened, and their section of the INI.
#include "platform/ini_file.h"
#include "shell/last_projects.h"
#include "support/scratch_dir.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

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
