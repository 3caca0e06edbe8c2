#include "framework/app_names.h"
#include "platform/cp1250.h"
#include "platform/presenter.h"
#include "shell/cmd_line.h"
#include "shell/cmd_line_project.h"
#include "shell/exit_codes.h"
#include "support/scoped_env.h"
#include "support/scratch_dir.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace ravlo {
namespace {

using testing::ScopedEnv;
using testing::ScratchDir;

TCmdLineArgs Parse(std::vector<std::string> args) {
    return ParseCmdLineArgs(args);
}

TEST(CmdLineSwitch, OnlySlashLetterWithoutFurtherSlashIsASwitch) {
    for (const char* arg : {"/L", "/l", "/Xyz", "/U", "/Ujohn.doe", "/q"}) {
        EXPECT_TRUE(IsCmdLineSwitch(arg)) << arg;
    }
    for (const char* arg :
         {"/usr/share/demo.exe", "/run/user/1000/app.ini", "/", "/1", "L", "//X", "", "/L/", "demo.exe"}) {
        EXPECT_FALSE(IsCmdLineSwitch(arg)) << arg;
    }
}

TEST(CmdLineParse, EverySwitchSetsItsBitAndLOrRDropsN) {
    const TCmdLineArgs all = Parse({"app.ini", "proj.exe", "/Ujohn", "/g", "/E", "/l", "/r", "/n", "/x"});
    ASSERT_EQ(all.IniArg, "app.ini");
    EXPECT_EQ(all.Project, "proj.exe");
    EXPECT_EQ(all.User, "john");
    EXPECT_EQ(all.Flags, CL_User | CL_Generate | CL_EpromImage | CL_Download | CL_Run | CL_Exit);
    EXPECT_EQ(all.Issue, TCmdLineIssue::None);

    EXPECT_EQ(Parse({"app.ini", "/N", "/G"}).Flags, CL_NoCOM | CL_Generate) << "N stays without L and R";
    EXPECT_EQ(Parse({"app.ini", "/N", "/R"}).Flags, CL_Run);
    EXPECT_EQ(Parse({"app.ini", "/N", "/L"}).Flags, CL_Download);
    EXPECT_EQ(Parse({"app.ini", "/Xyz"}).Flags, CL_Exit) << "only the letter counts";
    const TCmdLineArgs bareUser = Parse({"app.ini", "/u"});
    EXPECT_EQ(bareUser.Flags, CL_User);
    EXPECT_EQ(bareUser.User, "");
}

TEST(CmdLineParse, ASwitchFirstMeansNoIniArgument) {
    const TCmdLineArgs args = Parse({"/X", "demo.mem"});
    EXPECT_FALSE(args.IniArg.has_value());
    EXPECT_EQ(args.Project, "demo.mem");
    EXPECT_EQ(args.Flags, CL_Exit);
    EXPECT_FALSE(Parse({}).IniArg.has_value());
    const TCmdLineArgs paths = Parse({"/etc/ravlo/app.ini", "/run/media/u/demo.exe", "/G"});
    EXPECT_EQ(paths.IniArg, "/etc/ravlo/app.ini") << "Linux paths are file names";
    EXPECT_EQ(paths.Project, "/run/media/u/demo.exe");
}

TEST(CmdLineParse, SecondProjectOrUnknownSwitchStopsTheParsing) {
    const TCmdLineArgs two = Parse({"app.ini", "a.exe", "/G", "b.mem", "/X"});
    EXPECT_EQ(two.Issue, TCmdLineIssue::SecondProject);
    EXPECT_EQ(two.Rejected, "b.mem");
    EXPECT_EQ(two.Project, "a.exe");
    EXPECT_EQ(two.Flags, CL_Generate) << "the switches after the second name are ignored";

    const TCmdLineArgs unknown = Parse({"app.ini", "a.exe", "/Q", "/X"});
    EXPECT_EQ(unknown.Issue, TCmdLineIssue::UnknownSwitch);
    EXPECT_EQ(unknown.Rejected, "/Q");
    EXPECT_EQ(unknown.Flags, 0);
}

TEST(CmdLineParse, UserNameIsStoredTextCutTo255AndEmptyArgumentsAreSkipped) {
    const TCmdLineArgs czech = Parse({"app.ini", "", "/UJiří", ""});
    EXPECT_EQ(czech.User, Utf8ToCp1250("Jiří"));
    EXPECT_EQ(czech.Project, "");
    EXPECT_EQ(czech.Issue, TCmdLineIssue::None);
    EXPECT_EQ(Parse({"app.ini", "/U" + std::string(300, 'a')}).User.size(), 255u);
}

class ParseCmdLineTest : public ::testing::Test {
protected:
    ParseCmdLineTest() { ResetCmdLine(); }
    ~ParseCmdLineTest() override {
        ResetCmdLine();
        ResetAppNames();
    }

    std::filesystem::path Program() const { return dir_ / "ravlo"; }
    std::filesystem::path WriteIni(const std::string& name) const {
        return dir_.Write(name, "[SECTIONS]\nRD_SECTION=RAVLO\n[RAVLO]\nAPP=THR=0\n");
    }

    ScratchDir dir_;
    ScopedEnv home_{"RAVLO_HOME", dir_.Path().string()};
    ScriptedPresenter presenter_;
    ScopedPresenter installed_{presenter_};
};

TEST_F(ParseCmdLineTest, MissingOrBadIniShowsTheUsageAsErrorAndAnswersTen) {
    for (int i = 0; i < 3; ++i) {
        presenter_.QueueAnswer(IDOK);
    }
    const std::vector<std::string> missing{(dir_ / "nothere.ini").string(), "/X"};
    EXPECT_EQ(ParseCmdLine(Program(), missing), kExitCmdLine);
    dir_.Write("bad.ini", "[SECTIONS]\n");
    const std::vector<std::string> bad{(dir_ / "bad.ini").string()};
    EXPECT_EQ(ParseCmdLine(Program(), bad), kExitCmdLine);
    EXPECT_EQ(ParseCmdLine(Program(), {}), kExitCmdLine) << "no argument and no ravlo.ini";
    ASSERT_EQ(presenter_.Boxes().size(), 3u);
    for (const ScriptedPresenter::Box& box : presenter_.Boxes()) {
        EXPECT_TRUE(box.text.starts_with("Invalid command line parameters!\r\n")) << box.text;
        EXPECT_EQ(box.flags & MB_ICONMASK, MB_ICONHAND);
    }
    EXPECT_TRUE(presenter_.Faults().empty());
    EXPECT_EQ(CmdLineFlags, 0) << "nothing is set for a run that ends";
}

TEST_F(ParseCmdLineTest, TheIniGivenOrTheProgramsOwnAndTheGlobalsSet) {
    const std::vector<std::string> args{WriteIni("app.ini").string(), "demo.exe", "/Ujoe", "/G", "/X"};
    EXPECT_EQ(ParseCmdLine(Program(), args), kExitOk);
    EXPECT_TRUE(presenter_.Boxes().empty());
    EXPECT_EQ(CmdLineFlags, CL_User | CL_Generate | CL_Exit);
    EXPECT_EQ(CmdLineUser, "joe");
    EXPECT_EQ(CmdLineProject, "demo.exe");
    EXPECT_EQ(RdSection(), "RAVLO");

    WriteIni("RAVLO.INI");
    EXPECT_EQ(ParseCmdLine(Program(), std::vector<std::string>{"/X"}), kExitOk);
    EXPECT_EQ(AppIniName(), dir_ / "RAVLO.INI") << "the program's own when the first argument is a switch";
    EXPECT_EQ(CmdLineFlags, CL_Exit);
}

TEST_F(ParseCmdLineTest, ASecondProjectWarnsAndGoesOnUnlessTheRunIsUnattended) {
    const std::string ini = WriteIni("app.ini").string();
    presenter_.QueueAnswer(IDOK);
    EXPECT_EQ(ParseCmdLine(Program(), std::vector<std::string>{ini, "a.exe", "b.exe", "/L"}), kExitOk);
    ASSERT_EQ(presenter_.Boxes().size(), 1u);
    EXPECT_EQ(presenter_.Boxes()[0].text, CmdLineHelpText(true));
    EXPECT_EQ(presenter_.Boxes()[0].flags & MB_ICONMASK, MB_ICONEXCLAMATION);
    EXPECT_EQ(CmdLineProject, "a.exe");
    EXPECT_EQ(CmdLineFlags, 0);
    for (const std::string stop : {"/Q", "b.exe"}) {
        presenter_.QueueAnswer(IDOK);
        EXPECT_EQ(ParseCmdLine(Program(), std::vector<std::string>{ini, "a.exe", stop, "/G", "/x"}),
                  kExitCmdLine);
    }
    EXPECT_EQ(presenter_.Boxes().size(), 3u);
    EXPECT_TRUE(presenter_.Faults().empty());
}

using Kind = TCmdLineProjectKind;

TEST(CmdLineProject, TheNameGivesTheFileAndTheExtensionTheKind) {
    ScratchDir dir;
    std::filesystem::create_directory(dir / "prj");
    for (const char* file : {"only.mem", "both.mem", "BOTH.EXE", "Sub.mem", "prj/demo.exe"}) {
        dir.Write(file, "");
    }
    const struct {
        std::string name;
        Kind kind;
        std::filesystem::path path; // empty: not checked
    } cases[] = {
        {"ONLY", Kind::Mem, dir / "only.mem"},
        {"both", Kind::Exe, dir / "BOTH.EXE"},
        {"other", Kind::Invalid, dir / "other"},
        {"./a/../demo.exe", Kind::Exe, dir / "demo.exe"}, // a missing file fails when it is opened
        {"SUB.MEM", Kind::Mem, dir / "Sub.mem"},
        {(dir / "x.Exe").string(), Kind::Exe, dir / "x.Exe"},
        {"prj\\demo", Kind::Exe, dir / "prj" / "demo.exe"},
        {"notes.txt", Kind::Invalid, {}},
        {"", Kind::None, {}},
    };
    for (const auto& c : cases) {
        const TCmdLineProjectFile found = ResolveCmdLineProject(c.name, dir.Path());
        EXPECT_EQ(found.Kind, c.kind) << c.name;
        EXPECT_TRUE(c.path.empty() || found.Path == c.path) << c.name << " " << found.Path;
    }
}

} // namespace
} // namespace ravlo
