#include "shell/cmd_line_project.h"
#include "support/scratch_dir.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using testing::ScratchDir;
using Kind = TCmdLineProjectKind;

TEST(CmdLineProject, NameWithoutExtensionPrefersTheExeThenTheMem) {
    ScratchDir dir;
    dir.Write("demo.mem", "");
    TCmdLineProjectFile found = ResolveCmdLineProject("DEMO", dir.Path());
    EXPECT_EQ(found.Kind, Kind::Mem);
    EXPECT_EQ(found.Path, dir / "demo.mem");

    dir.Write("DEMO.EXE", "");
    found = ResolveCmdLineProject("demo", dir.Path());
    EXPECT_EQ(found.Kind, Kind::Exe);
    EXPECT_EQ(found.Path, dir / "DEMO.EXE");

    found = ResolveCmdLineProject("other", dir.Path());
    EXPECT_EQ(found.Kind, Kind::Invalid) << "neither file exists";
    EXPECT_EQ(found.Path, dir / "other");
}

TEST(CmdLineProject, RelativeNamesAreMadeAbsoluteAndTheExtensionDecidesCaseBlind) {
    ScratchDir dir;
    dir.Write("Sub.mem", "");
    const TCmdLineProjectFile missing = ResolveCmdLineProject("./a/../demo.exe", dir.Path());
    EXPECT_EQ(missing.Kind, Kind::Exe) << "a missing file fails later, when it is opened";
    EXPECT_EQ(missing.Path, dir / "demo.exe");

    const TCmdLineProjectFile stored = ResolveCmdLineProject("SUB.MEM", dir.Path());
    EXPECT_EQ(stored.Kind, Kind::Mem);
    EXPECT_EQ(stored.Path, dir / "Sub.mem") << "the existing file whatever its case";

    const TCmdLineProjectFile absolute = ResolveCmdLineProject((dir / "x.Exe").string(), "/elsewhere");
    EXPECT_EQ(absolute.Path, dir / "x.Exe");
    EXPECT_EQ(absolute.Kind, Kind::Exe);

    EXPECT_EQ(ResolveCmdLineProject("notes.txt", dir.Path()).Kind, Kind::Invalid);
    EXPECT_EQ(ResolveCmdLineProject("", dir.Path()).Kind, Kind::None);
}

TEST(CmdLineProject, BackslashesSeparateFolders) {
    ScratchDir dir;
    std::filesystem::create_directory(dir / "prj");
    dir.Write("prj/demo.exe", "");
    const TCmdLineProjectFile found = ResolveCmdLineProject("prj\\demo", dir.Path());
    EXPECT_EQ(found.Kind, Kind::Exe);
    EXPECT_EQ(found.Path, dir / "prj" / "demo.exe");
}

} // namespace
} // namespace ravlo
