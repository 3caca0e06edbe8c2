// The command line: its parsing, the project it names, the plan of its steps, and the main form's
// core carrying it out against the fake board.
#include "framework/app_names.h"
#include "main_form_test_support.h"
#include "platform/cp1250.h"
#include "platform/file_time.h"
#include "platform/presenter.h"
#include "project/eprom_layout.h"
#include "shell/cmd_line.h"
#include "shell/cmd_line_plan.h"
#include "shell/cmd_line_project.h"
#include "shell/exit_codes.h"
#include "support/scoped_env.h"
#include "support/scratch_dir.h"

#include <gtest/gtest.h>
#include <set>
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

using S = TCmdLineStep;

std::string Names(const std::vector<S>& steps) {
    std::string text;
    for (const S step : steps) {
        text += (text.empty() ? "" : " ") + std::string(CmdLineStepName(step));
    }
    return text;
}

// Carries out every due step at once; the steps in failing report failure.
std::vector<S> RunSteps(TCmdLinePlan& plan, const std::set<S>& failing = {}) {
    std::vector<S> steps;
    while (const std::optional<S> step = plan.Take()) {
        steps.push_back(*step);
        EXPECT_TRUE(plan.Done(*step, failing.count(*step) == 0));
    }
    return steps;
}

struct PlanRun {
    std::uint8_t flags;
    TCmdLinePlan plan;
    PlanRun(std::uint8_t startFlags, Kind kind, bool user = false, bool ast = false)
        : flags(startFlags), plan(flags, kind, user, ast) {}
};

// The steps a command line takes, those in `failing` reporting failure; `board` the steps once the
// board is ready (nullptr: it never is); the exit code and the flags left (kAny: not checked).
constexpr std::uint8_t kAny = 0xFF;

std::set<S> Failing(std::optional<S> step) {
    return step ? std::set<S>{*step} : std::set<S>{};
}

TEST(CmdLinePlan, StepsInOrderAndWhatAFailureDrops) {
    const struct {
        std::uint8_t flags;
        Kind kind;
        bool user, ast;
        std::optional<S> failing;
        const char* steps;
        const char* board;
        int code;
        std::uint8_t flagsLeft;
    } cases[] = {
        {CL_Generate | CL_EpromImage | CL_Exit, Kind::Exe, false, false, std::nullopt,
         "OpenFullProject Generate EpromImage Exit", nullptr, kExitOk, CL_Exit},
        // The later steps are dropped for the board side too.
        {CL_Generate | CL_EpromImage | CL_Download | CL_Exit, Kind::Exe, false, false, S::Generate,
         "OpenFullProject OpenCom Generate Exit", nullptr, kExitGenerateFailed, CL_Exit},
        {CL_Generate | CL_EpromImage, Kind::Exe, false, false, S::Generate, "OpenFullProject Generate",
         nullptr, kAny, 0},
        {CL_EpromImage | CL_Run | CL_Exit, Kind::Mem, false, false, S::EpromImage,
         "OpenSmallProject OpenCom EpromImage Exit", nullptr, kExitEpromImageFailed, kAny},
        {CL_Generate | CL_EpromImage, Kind::Mem, false, false, std::nullopt, "OpenSmallProject EpromImage",
         nullptr, kAny, 0},
        {CL_Generate | CL_NoCOM | CL_User, Kind::Exe, false, true, S::OpenFullProject, "OpenFullProject",
         nullptr, kAny, CL_NoCOM},
        // A named user still logs in and the port still opens.
        {CL_Download, Kind::Invalid, true, true, std::nullopt,
         "RejectProject LoadComDefaults LoadUsers OpenCom Login", nullptr, kAny, 0},
        {CL_Generate | CL_Exit, Kind::Exe, false, false, S::OpenFullProject, "OpenFullProject Exit", nullptr,
         kExitProjectFailed, kAny},
        {CL_Exit, Kind::Invalid, false, false, std::nullopt, "RejectProject LoadComDefaults Exit", nullptr,
         kExitProjectFailed, kAny},
        {CL_Download | CL_Exit, Kind::None, false, false, std::nullopt, "LoadComDefaults Exit", nullptr,
         kExitProjectFailed, kAny},
        {CL_Exit, Kind::None, false, false, std::nullopt, "LoadComDefaults Exit", nullptr, kExitOk, kAny},
        {CL_User | CL_Exit, Kind::None, true, false, std::nullopt, "LoadComDefaults LoadUsers Login Exit",
         nullptr, kExitOk, kAny}, // headless, the login ends the run with 16
        {CL_Generate, Kind::Exe, true, true, std::nullopt, "OpenFullProject LoadUsers OpenCom Login Generate",
         nullptr, kAny, 0},
        {CL_NoCOM, Kind::Exe, false, true, std::nullopt, "OpenFullProject", nullptr, kAny, kAny},
        // Unattended board steps open the port even without auto-start.
        {CL_Download, Kind::Exe, false, false, std::nullopt, "OpenFullProject AwaitBoard", "Download", kAny,
         0},
        {CL_Download | CL_Run | CL_Exit, Kind::Exe, false, true, std::nullopt,
         "OpenFullProject OpenCom AwaitBoard", "Download Run Exit", kExitOk, kAny},
        {CL_Download | CL_Run | CL_Exit, Kind::Exe, false, false, S::Download,
         "OpenFullProject OpenCom AwaitBoard", "Download Exit", kExitDownloadFailed, kAny},
        {CL_Download | CL_Run, Kind::Exe, false, false, S::Download, "OpenFullProject AwaitBoard", "Download",
         kAny, 0},
        {CL_Run | CL_Exit, Kind::Mem, false, false, S::Run, "OpenSmallProject OpenCom AwaitBoard", "Run Exit",
         kExitRunFailed, kAny},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.steps);
        PlanRun run(c.flags, c.kind, c.user, c.ast);
        EXPECT_EQ(Names(RunSteps(run.plan, Failing(c.failing))), c.steps);
        if (c.board != nullptr) {
            EXPECT_TRUE(run.plan.WaitingForBoard());
            run.plan.BoardReady();
            EXPECT_EQ(Names(RunSteps(run.plan, Failing(c.failing))), c.board);
        }
        EXPECT_TRUE(run.plan.Finished());
        if (c.code != kAny) {
            EXPECT_EQ(run.plan.ExitCode(), c.code);
        }
        if (c.flagsLeft != kAny) {
            EXPECT_EQ(run.flags, c.flagsLeft);
        }
    }
}

TEST(CmdLinePlan, FailureCountsEvenWhenTheCommandClearedTheFlags) {
    PlanRun run(CL_Generate | CL_Exit, Kind::Exe);
    ASSERT_EQ(run.plan.Take(), S::OpenFullProject);
    run.plan.Done(S::OpenFullProject, true);
    ASSERT_EQ(run.plan.Take(), S::Generate);
    run.flags = 0; // the Generate command clears every flag when generation fails
    run.plan.Done(S::Generate, false);
    EXPECT_EQ(run.plan.Take(), S::Exit);
    EXPECT_EQ(run.plan.ExitCode(), kExitGenerateFailed);
}

TEST(CmdLinePlan, BoardStepsWaitForTheLinkOnce) {
    PlanRun run(CL_Download | CL_Run | CL_Exit, Kind::Exe, false, true);
    RunSteps(run.plan);
    EXPECT_FALSE(run.plan.Finished());
    EXPECT_EQ(run.plan.Take(), std::nullopt);
    EXPECT_EQ(run.flags, CL_Download | CL_Run | CL_Exit) << "the master process reads them meanwhile";
    run.plan.BoardReady();
    RunSteps(run.plan);
    run.plan.BoardReady();
    EXPECT_EQ(run.plan.Take(), std::nullopt) << "a second link does not repeat the steps";
}

TEST(CmdLinePlan, AbortWhileWaitingEndsTheRun) {
    PlanRun run(CL_Download | CL_Exit, Kind::Exe);
    RunSteps(run.plan);
    ASSERT_TRUE(run.plan.WaitingForBoard());
    run.plan.Abort(kExitDownloadFailed);
    EXPECT_EQ(Names(RunSteps(run.plan)), "Exit");
    EXPECT_EQ(run.plan.ExitCode(), kExitDownloadFailed);
    EXPECT_EQ(run.flags & CL_Download, 0);

    PlanRun attended(CL_Download, Kind::Exe);
    RunSteps(attended.plan);
    attended.plan.Abort(kExitDownloadFailed);
    EXPECT_TRUE(attended.plan.Finished());
    EXPECT_EQ(attended.plan.Take(), std::nullopt);
}

TEST(CmdLinePlan, AsynchronousStepBlocksUntilReportedAndWrongReportsAreRefused) {
    PlanRun run(CL_Generate, Kind::Exe);
    ASSERT_EQ(run.plan.Take(), S::OpenFullProject);
    EXPECT_EQ(run.plan.Take(), std::nullopt) << "one step at a time";
    EXPECT_EQ(run.plan.Running(), S::OpenFullProject);
    EXPECT_FALSE(run.plan.Done(S::Generate, true));
    EXPECT_TRUE(run.plan.Done(S::OpenFullProject, true));
    EXPECT_FALSE(run.plan.Done(S::OpenFullProject, true)) << "reported twice";
    run.plan.BoardReady();
    EXPECT_EQ(Names(RunSteps(run.plan)), "Generate") << "BoardReady before AwaitBoard changes nothing";
}

using testing::Bytes;
using testing::ShellRig;

constexpr std::uint32_t kRomLin = 0xC8000;

std::string Told(const ShellRig& rig) {
    return ::testing::PrintToString(rig.host.EventTexts());
}

void Prepare(ShellRig& rig) {
    rig.WriteDemo();
    rig.Create();
    rig.Board().PutIdentification();
}

class CmdLineRunTest : public ::testing::Test {
protected:
    CmdLineRunTest() { Prepare(rig); }

    std::string Exe() const { return (rig.Dir() / "DEMO.EXE").string(); }
    Bytes Rom() const {
        const std::string text = rig.FileText("ROM.BIN");
        return Bytes(text.begin(), text.end());
    }
    bool BoardHoldsTheRom() { return !Rom().empty() && rig.Board().Read(kRomLin, Rom().size()) == Rom(); }
    void Start(std::uint8_t flags) {
        CmdLineFlags = flags;
        CmdLineProject = Exe();
        rig.core->FormShow();
    }

    ShellRig rig;
};

TEST_F(CmdLineRunTest, GenerateDownloadRunAndExit) {
    Start(CL_Generate | CL_Download | CL_Run | CL_Exit);
    ASSERT_TRUE(rig.RunToClose()) << Told(rig);

    EXPECT_EQ(rig.core->ExitCode(), kExitOk);
    EXPECT_TRUE(BoardHoldsTheRom());
    EXPECT_EQ(rig.Board().Runs, 1);
    const TVokFrame run = BuildRunFrame(MakeFarPtr(0, 0xC800));
    EXPECT_EQ(rig.Comm().SentFrames().back(), Bytes(run.Bytes().begin(), run.Bytes().end()))
        << "the run starts the loader's module";
    EXPECT_EQ(rig.core->MAProc->QueueCount(), 0u);
    const std::vector<std::string> expected = {"- Project \"" + Exe() + "\" has been opened",
                                               "- Project succesfully generated",
                                               "- Vok was connected",
                                               "- File \"ROM.BIN\" has been loaded",
                                               "- Application was started",
                                               "- Project \"" + Exe() + "\" has been closed"};
    EXPECT_EQ(rig.host.EventTexts(), expected);
    for (const auto& box : rig.presenter.Boxes) {
        EXPECT_NE(box.Text, "Generation was succesfully completed.") << "no success box for /G";
    }
}

// Every way an unattended run ends early without a board step done: the exit code, what is told
// (an event or a box), and the bound within which it ends.
TEST(CmdLineRunEnds, EachFailureEndsWithItsCodeAndTellsWhy) {
    const auto noDesign = [](ShellRig& rig) {
        std::filesystem::remove(rig.Dir() / "DEMO.MEM");
    };
    const auto mute = [](ShellRig& rig) {
        rig.Board().Mute = 1'000'000;
    };
    const auto unknown = [](ShellRig& rig) {
        rig.Board().EmptHal = 1'000'000;
    };
    const auto stale = [](ShellRig& rig) {
        ASSERT_TRUE(rig.core->OpenFullProject(rig.Dir() / "DEMO.EXE", true));
        rig.core->Generate_MenuItemClick();
        ASSERT_TRUE(WriteFileWriteTime(rig.Dir() / "ROM.BIN", FileTime{ExeFileTime.ns + 5'000'000'000}));
        rig.core->CloseProject(false);
    };
    constexpr std::uint8_t kRoad = CL_Generate | CL_Download | CL_Run | CL_Exit;
    const struct {
        std::uint8_t flags;
        const char* project;
        std::function<void(ShellRig&)> prepare;
        int code;
        const char* told;
        std::uint32_t atLeastMs = 0, limitMs = 60000; // the bounds of its end
    } cases[] = {
        {kRoad, "DEMO.EXE", mute, kExitDownloadFailed, "- Error, the Vok didn't answer within 3 s", 3000,
         5100},
        {CL_Download | CL_Exit, "DEMO.EXE", stale, kExitDownloadFailed, "- Error, the download was refused"},
        {CL_Run | CL_Exit, "DEMO.EXE", mute, kExitRunFailed, "- Error, the Vok didn't answer within 3 s"},
        // No waiting for a board that will never do.
        {kRoad, "DEMO.EXE", unknown, kExitDownloadFailed, "- Error, unknown Vok answered", 0, 2999},
        {kRoad, "DEMO.EXE", noDesign, kExitGenerateFailed, "- At first place all units, then generate."},
        {CL_EpromImage | CL_Exit, "DEMO.EXE", nullptr, kExitEpromImageFailed,
         "At first generate application."},
        {CL_Generate | CL_Exit, "NONE.EXE", nullptr, kExitProjectFailed, ""},
        {CL_Exit, "DEMO.TXT", nullptr, kExitProjectFailed, "Only .EXE or .MEM file accepted."},
        {CL_Exit, nullptr, nullptr, kExitOk, "", 0, 100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.flags) + " " + (c.project ? c.project : "") + " " + c.told);
        ShellRig rig;
        Prepare(rig);
        if (c.prepare) {
            c.prepare(rig);
        }
        CmdLineFlags = c.flags;
        CmdLineProject = c.project ? (rig.Dir() / c.project).string() : "";
        const std::uint64_t start = TickMs();
        rig.core->FormShow();
        ASSERT_TRUE(rig.RunToClose(c.limitMs));
        EXPECT_GE(TickMs() - start, c.atLeastMs) << "the board had its time";
        EXPECT_EQ(rig.core->ExitCode(), c.code);
        const std::string told = c.told;
        const bool inBox =
            !told.empty() && std::any_of(rig.presenter.Boxes.begin(), rig.presenter.Boxes.end(),
                                         [&](const auto& box) { return box.Text.ends_with(told); });
        EXPECT_TRUE(told.empty() || rig.host.HasEvent(told) || inBox) << Told(rig);
        EXPECT_TRUE(!told.empty() || rig.presenter.Boxes.empty()) << "a project opens quietly";
        EXPECT_EQ(rig.Board().Loads + rig.Board().Runs + rig.host.EpromWindows, 0);
    }
}

TEST_F(CmdLineRunTest, ALinkLostDuringTheDownloadEndsTheRunWithoutRunning) {
    Start(CL_Generate | CL_Download | CL_Run | CL_Exit);
    // The board goes silent once the download has started writing.
    ASSERT_TRUE(rig.PumpUntil([this] { return rig.core->MAProc->ConState == cs_WaitForLd; }));
    rig.Board().Mute = 1'000'000;
    rig.Comm().Silent = true;
    ASSERT_TRUE(rig.RunToClose());
    EXPECT_EQ(rig.core->ExitCode(), kExitDownloadFailed);
    EXPECT_TRUE(rig.host.HasEvent("- Error, the link to the Vok was lost")) << Told(rig);
    EXPECT_EQ(rig.Board().Runs, 0);
}

TEST_F(CmdLineRunTest, ATimeOutThatARepeatRecoversDoesNotFailTheRun) {
    Start(CL_Generate | CL_Download | CL_Exit);
    // The identification, read while the download waits behind it, goes unanswered once: the master
    // times out, says the board is not connected, and reads again.
    ASSERT_TRUE(rig.PumpUntil([this] {
        return rig.core->MAProc->ConState == cs_WaitForBiosId &&
               rig.core->Plan()->Running() == TCmdLineStep::Download;
    }));
    rig.Board().Mute = 1;
    rig.Comm().Silent = true;
    ASSERT_TRUE(rig.RunToClose());
    EXPECT_EQ(rig.core->ExitCode(), kExitOk) << Told(rig);
    EXPECT_TRUE(BoardHoldsTheRom());
}

TEST_F(CmdLineRunTest, ARunWhoseReportNeverComesEndsAtTheStepWait) {
    Start(CL_Run | CL_Exit);
    ASSERT_TRUE(rig.PumpUntil([this] { return rig.core->MAProc->ConState == cs_WaitForRun; }));
    ASSERT_EQ(rig.core->Plan()->Running(), TCmdLineStep::Run);
    // The master's report is lost on its way: only the step's own limit can end the run.
    rig.core->MAProc->SetInterfaces({});
    const std::uint64_t start = TickMs();
    ASSERT_TRUE(rig.RunToClose(60000));
    EXPECT_EQ(rig.core->ExitCode(), kExitRunFailed);
    EXPECT_TRUE(rig.host.HasEvent("- Error, Run didn't finish within 20 s"));
    EXPECT_GE(TickMs() - start, 20000u);
    EXPECT_EQ(rig.Board().Runs, 1) << "the board did start it";
}

TEST_F(CmdLineRunTest, TheEpromImageIsWrittenUnattended) {
    Start(CL_Generate | CL_EpromImage | CL_Exit);
    ASSERT_TRUE(rig.RunToClose());
    EXPECT_EQ(rig.core->ExitCode(), kExitOk);
    EXPECT_EQ(rig.core->EpromImageOk, 1);
    const std::string image = rig.FileText("EPROM_HI.BIN");
    const std::optional<TEpromPlace> place = EpromPlace(TEpromChips{}, kRomLin);
    ASSERT_TRUE(place && image.size() >= place->Offset + Rom().size());
    EXPECT_EQ(Bytes(image.begin() + place->Offset, image.begin() + place->Offset + Rom().size()), Rom());
    EXPECT_EQ(rig.Board().Loads, 0) << "no board step was asked";
}

// The master sees the board steps only while they wait for the board; its reports from inside a
// handler act only after it.
TEST_F(CmdLineRunTest, WaitingForTheBoard) {
    rig.Board().Mute = 1'000'000;
    CmdLineFlags = CL_Download | CL_Run;
    EXPECT_EQ(rig.core->FlagsForMaster(), 0) << "no command line run yet";
    Start(CL_Download | CL_Run | CL_Exit);
    ASSERT_TRUE(rig.core->Plan()->WaitingForBoard());
    EXPECT_EQ(rig.core->FlagsForMaster(), CL_Download | CL_Run);
    EXPECT_EQ(rig.core->DownloadOk + rig.core->RunOk, 0);
    // As the master does after an unknown board answered.
    rig.core->MAProc->Connected = kBoardConnected;
    rig.core->MAProc->Device = DEV_Unknown;
    const std::size_t boxes = rig.presenter.Boxes.size();
    rig.core->BoardAnswered();
    EXPECT_TRUE(rig.core->Plan()->WaitingForBoard());
    EXPECT_EQ(rig.presenter.Boxes.size(), boxes);
    EXPECT_FALSE(rig.host.HasEvent("- Error, unknown Vok answered"));
    AppMessageQueue().PumpAll();
    EXPECT_FALSE(rig.core->Plan()->WaitingForBoard());
    EXPECT_TRUE(rig.host.HasEvent("- Error, unknown Vok answered"));
}

} // namespace
} // namespace ravlo
