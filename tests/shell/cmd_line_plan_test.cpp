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

TEST(CmdLinePlan, ExeProjectGeneratesWritesTheImageAndExits) {
    PlanRun run(CL_Generate | CL_EpromImage | CL_Exit, Kind::Exe);
    EXPECT_EQ(Names(RunSteps(run.plan)), "OpenFullProject Generate EpromImage Exit");
    EXPECT_TRUE(run.plan.Finished());
    EXPECT_EQ(run.plan.ExitCode(), kExitOk);
    EXPECT_EQ(run.flags, CL_Exit) << "every step cleared its bit";
}

TEST(CmdLinePlan, FailedGenerateEndsAnUnattendedRunWithItsCode) {
    PlanRun run(CL_Generate | CL_EpromImage | CL_Download | CL_Exit, Kind::Exe);
    EXPECT_EQ(Names(RunSteps(run.plan, {S::Generate})), "OpenFullProject OpenCom Generate Exit");
    EXPECT_EQ(run.plan.ExitCode(), kExitGenerateFailed);
    EXPECT_EQ(run.flags & kProjectSteps, 0) << "the later steps are dropped for the board side too";
}

TEST(CmdLinePlan, FailureWithoutExitStopsTheStepsAndStaysOpen) {
    PlanRun run(CL_Generate | CL_EpromImage, Kind::Exe);
    EXPECT_EQ(Names(RunSteps(run.plan, {S::Generate})), "OpenFullProject Generate");
    EXPECT_TRUE(run.plan.Finished());
    EXPECT_EQ(run.flags, 0);

    PlanRun image(CL_EpromImage | CL_Run | CL_Exit, Kind::Mem);
    EXPECT_EQ(Names(RunSteps(image.plan, {S::EpromImage})), "OpenSmallProject OpenCom EpromImage Exit");
    EXPECT_EQ(image.plan.ExitCode(), kExitEpromImageFailed);
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

TEST(CmdLinePlan, MemProjectDropsGenerate) {
    PlanRun run(CL_Generate | CL_EpromImage, Kind::Mem);
    EXPECT_EQ(run.flags, CL_EpromImage);
    EXPECT_EQ(Names(RunSteps(run.plan)), "OpenSmallProject EpromImage");
}

TEST(CmdLinePlan, ProjectThatDoesNotOpenClearsAllButNoCom) {
    PlanRun run(CL_Generate | CL_NoCOM | CL_User, Kind::Exe, false, true);
    EXPECT_EQ(Names(RunSteps(run.plan, {S::OpenFullProject})), "OpenFullProject");
    EXPECT_EQ(run.flags, CL_NoCOM);
    EXPECT_TRUE(run.plan.Finished());

    PlanRun invalid(CL_Download, Kind::Invalid, true, true);
    EXPECT_EQ(Names(RunSteps(invalid.plan)), "RejectProject LoadComDefaults LoadUsers OpenCom Login")
        << "a named user still logs in and the port still opens";
    EXPECT_EQ(invalid.flags, 0);
}

TEST(CmdLinePlan, UnattendedRunWithoutAProjectEndsAtOnce) {
    PlanRun failed(CL_Generate | CL_Exit, Kind::Exe);
    EXPECT_EQ(Names(RunSteps(failed.plan, {S::OpenFullProject})), "OpenFullProject Exit");
    EXPECT_EQ(failed.plan.ExitCode(), kExitProjectFailed);

    PlanRun invalid(CL_Exit, Kind::Invalid);
    EXPECT_EQ(Names(RunSteps(invalid.plan)), "RejectProject LoadComDefaults Exit");
    EXPECT_EQ(invalid.plan.ExitCode(), kExitProjectFailed);

    PlanRun stepsWithoutProject(CL_Download | CL_Exit, Kind::None);
    EXPECT_EQ(Names(RunSteps(stepsWithoutProject.plan)), "LoadComDefaults Exit");
    EXPECT_EQ(stepsWithoutProject.plan.ExitCode(), kExitProjectFailed);

    PlanRun exitOnly(CL_Exit, Kind::None);
    EXPECT_EQ(Names(RunSteps(exitOnly.plan)), "LoadComDefaults Exit");
    EXPECT_EQ(exitOnly.plan.ExitCode(), kExitOk) << "nothing that was asked failed";
}

TEST(CmdLinePlan, UserAndPortStepsComeBeforeGenerate) {
    PlanRun run(CL_Generate, Kind::Exe, true, true);
    EXPECT_EQ(Names(RunSteps(run.plan)), "OpenFullProject LoadUsers OpenCom Login Generate");
    EXPECT_EQ(run.flags, 0) << "the login cleared CL_User";

    PlanRun noCom(CL_NoCOM, Kind::Exe, false, true);
    EXPECT_EQ(Names(RunSteps(noCom.plan)), "OpenFullProject");
}

TEST(CmdLinePlan, UnattendedBoardStepsOpenThePortEvenWithoutAutoStart) {
    PlanRun attended(CL_Download, Kind::Exe);
    EXPECT_EQ(Names(RunSteps(attended.plan)), "OpenFullProject AwaitBoard");
    PlanRun unattended(CL_Download | CL_Exit, Kind::Exe);
    EXPECT_EQ(Names(RunSteps(unattended.plan)), "OpenFullProject OpenCom AwaitBoard");
}

TEST(CmdLinePlan, BoardStepsWaitForTheLink) {
    PlanRun run(CL_Download | CL_Run | CL_Exit, Kind::Exe, false, true);
    EXPECT_EQ(Names(RunSteps(run.plan)), "OpenFullProject OpenCom AwaitBoard");
    EXPECT_TRUE(run.plan.WaitingForBoard());
    EXPECT_FALSE(run.plan.Finished());
    EXPECT_EQ(run.plan.Take(), std::nullopt);
    EXPECT_EQ(run.flags, CL_Download | CL_Run | CL_Exit) << "the master process reads them meanwhile";

    run.plan.BoardReady();
    EXPECT_EQ(Names(RunSteps(run.plan)), "Download Run Exit");
    EXPECT_EQ(run.plan.ExitCode(), kExitOk);
    EXPECT_TRUE(run.plan.Finished());
    run.plan.BoardReady();
    EXPECT_EQ(run.plan.Take(), std::nullopt) << "a second link does not repeat the steps";
}

TEST(CmdLinePlan, RefusedDownloadDropsTheRun) {
    PlanRun unattended(CL_Download | CL_Run | CL_Exit, Kind::Exe);
    RunSteps(unattended.plan);
    unattended.plan.BoardReady();
    EXPECT_EQ(Names(RunSteps(unattended.plan, {S::Download})), "Download Exit");
    EXPECT_EQ(unattended.plan.ExitCode(), kExitDownloadFailed);

    PlanRun attended(CL_Download | CL_Run, Kind::Exe);
    RunSteps(attended.plan);
    attended.plan.BoardReady();
    EXPECT_EQ(Names(RunSteps(attended.plan, {S::Download})), "Download");
    EXPECT_EQ(attended.flags, 0);
    EXPECT_TRUE(attended.plan.Finished());

    PlanRun run(CL_Run | CL_Exit, Kind::Mem);
    RunSteps(run.plan);
    run.plan.BoardReady();
    EXPECT_EQ(Names(RunSteps(run.plan, {S::Run})), "Run Exit");
    EXPECT_EQ(run.plan.ExitCode(), kExitRunFailed);
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
