// The recent projects: their order as projects are opened, and their section of the INI.
#include "platform/ini_file.h"
#include "shell/last_projects.h"
#include "support/scratch_dir.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using Entries = std::array<std::string, TLastProjects::kCount>;

class LastProjectsTest : public ::testing::Test {
protected:
    // The list read from an INI whose section holds entries.
    TLastProjects ListOf(const Entries& entries) {
        IniFile file(ini_);
        for (std::size_t i = 0; i < entries.size(); ++i) {
            file.WriteString("LASTPROJECTS", "P" + std::to_string(i + 1), entries[i]);
        }
        TLastProjects list;
        list.Read(ini_);
        return list;
    }

    testing::ScratchDir dir_;
    std::filesystem::path ini_ = dir_.Path() / "app.ini";
};

TEST_F(LastProjectsTest, AnOpenedProjectComesFirstAndTheOthersMoveDownToItsOldPlace) {
    const Entries full = {"/p/A.EXE", "/p/B.EXE", "/p/C.MEM", "/p/D.EXE", "/p/E.EXE"};
    const struct {
        const char* opened;
        Entries after;
    } cases[] = {
        {"/p/C.MEM", {"/p/C.MEM", "/p/A.EXE", "/p/B.EXE", "/p/D.EXE", "/p/E.EXE"}},
        {"/p/F.EXE", {"/p/F.EXE", "/p/A.EXE", "/p/B.EXE", "/p/C.MEM", "/p/D.EXE"}},
        {"/p/d.exe", {"/p/d.exe", "/p/A.EXE", "/p/B.EXE", "/p/C.MEM", "/p/E.EXE"}},
        {"/p/A.EXE", full},
        {"", full},
    };
    for (const auto& c : cases) {
        TLastProjects list = ListOf(full);
        list.Add(c.opened, ini_);
        EXPECT_EQ(list.Entries(), c.after) << c.opened;
        TLastProjects reread;
        reread.Read(ini_);
        EXPECT_EQ(reread.Entries(), c.after) << "written back";
    }
}

TEST_F(LastProjectsTest, AnIniWithoutTheSectionGivesAnEmptyListThatFillsFromTheFront) {
    IniFile(ini_).WriteString("OTHER", "P1", "/p/X.EXE");
    TLastProjects list;
    list.Read(ini_);
    EXPECT_EQ(list.Entries(), Entries{});
    EXPECT_EQ(list.Get(0), "");
    list.Add("/p/A.EXE", ini_);
    list.Add("/p/B.EXE", ini_);
    EXPECT_EQ(list.Entries(), (Entries{"/p/B.EXE", "/p/A.EXE", "", "", ""}));
    EXPECT_EQ(list.Get(2), "/p/A.EXE");
    EXPECT_EQ(list.Get(6), "");
}

TEST(LastProjects, AMenuCaptionShortensThePathAndKeepsItsAmpersands) {
    EXPECT_EQ(TLastProjects::MenuCaption(2, "/p/R&D.EXE"), "&2 /p/R&&D.EXE");
    const std::string caption = TLastProjects::MenuCaption(1, "/home/engineer/projects/pump/PUMP.EXE");
    EXPECT_EQ(caption.size(), 3 + TLastProjects::kCaptionPathWidth);
    EXPECT_TRUE(caption.ends_with("/PUMP.EXE")) << caption;
}

} // namespace
} // namespace ravlo
