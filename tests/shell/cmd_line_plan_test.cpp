#include "shell/cmd_line.h"
#include "shell/cmd_line_plan.h"
#include "shell/exit_codes.h"

#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace ravlo {
namespace {

using Kind = TCmdLineProjectKind;
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

} // namespace
} // namespace ravlo
