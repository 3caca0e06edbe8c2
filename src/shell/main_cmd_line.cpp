// The main form's command-line run: the plan's steps carried out one by one, the board steps
// started when the link stands and reported when the board has done them, the deadlines of an
// unattended run and its end.
#include "framework/message_box.h"
#include "framework/runtime_log.h"
#include "kernel/exception_log.h"
#include "kernel/process_coll.h"
#include "kernel/sys_addr.h"
#include "platform/tick.h"
#include "project/project_messages.h"
#include "protocol/board_answers.h"
#include "protocol/ma_process.h"
#include "shell/cmd_line.h"
#include "shell/event_log.h"
#include "shell/exit_codes.h"
#include "shell/main_form_core.h"
#include "shell/main_form_host.h"

#include <string>

namespace ravlo {
namespace {

std::string Seconds(std::uint32_t ms) {
    return std::to_string(ms / 1000);
}

} // namespace

void TRavloMainFormCore::DoCmdLine() {
    cmdLineExit_ = (CmdLineFlags & CL_Exit) != 0;
    boardStepsAsked_ = (CmdLineFlags & (CL_Download | CL_Run)) != 0;
    const TCmdLineProjectFile project =
        ResolveCmdLineProject(CmdLineProject, std::filesystem::current_path());
    cmdLineProject_ = project.Path;
    plan_.emplace(CmdLineFlags, project.Kind, !CmdLineUser.empty(), MAProc != nullptr && MAProc->AST != 0);
    RunPlan();
}

void TRavloMainFormCore::RunPlan() {
    // A step's dialog may run queued calls that come back here; the outer loop goes on instead.
    if (!plan_ || runningPlan_) {
        return;
    }
    runningPlan_ = true;
    while (plan_) {
        const std::optional<TCmdLineStep> step = plan_->Take();
        if (!step) {
            break;
        }
        try {
            ExecuteStep(*step);
        } catch (...) {
            // A step that broke has failed: an unattended run must not wait for it.
            LogCaughtException("TRavloMainForm");
            if (plan_ && plan_->Running() == step) {
                plan_->Done(*step, false);
            }
        }
    }
    runningPlan_ = false;
}

void TRavloMainFormCore::ExecuteStep(TCmdLineStep step) {
    TxsWriteln("Command line: " + std::string(CmdLineStepName(step)));
    bool ok = true;
    switch (step) {
    case TCmdLineStep::OpenFullProject:
    case TCmdLineStep::OpenSmallProject:
        ok = step == TCmdLineStep::OpenFullProject ? OpenFullProject(cmdLineProject_, true)
                                                   : OpenSmallProject(cmdLineProject_, true);
        host_.RefreshProjectWindow();
        UpdateMenus();
        break;
    case TCmdLineStep::RejectProject:
        ProjectError(BadProjectFileText(cmdLineProject_));
        break;
    case TCmdLineStep::LoadComDefaults:
        LoadComDefaults();
        break;
    case TCmdLineStep::LoadUsers:
        LoadUsers();
        break;
    case TCmdLineStep::OpenCom:
        CreateCom_Click();
        break;
    case TCmdLineStep::Login:
        if (!UserLogin_MenuItemClick()) {
            EndRunWithoutLogin();
            return;
        }
        break;
    case TCmdLineStep::Generate:
        Generate_MenuItemClick();
        ok = GenerateOk != 0;
        break;
    case TCmdLineStep::EpromImage:
        CrEpromImg_MenuItemClick();
        ok = EpromImageOk != 0;
        break;
    case TCmdLineStep::AwaitBoard:
        if ((CmdLineFlags & CL_Download) != 0) {
            DownloadOk = 0;
        }
        if ((CmdLineFlags & CL_Run) != 0) {
            RunOk = 0;
        }
        plan_->Done(step, true);
        if (cmdLineExit_) {
            boardDeadline_ = TickMs() + limits_.BoardWaitMs;
        }
        // The board may have answered already.
        QueueBoardCheck();
        return;
    case TCmdLineStep::Download:
    case TCmdLineStep::Run:
        StartBoardStep(step);
        return;
    case TCmdLineStep::Exit:
        exitDeadline_ = TickMs() + limits_.ExitWaitMs;
        Defer([this] { ExitWhenBoardIdle(); });
        return;
    }
    plan_->Done(step, ok);
}

void TRavloMainFormCore::StartBoardStep(TCmdLineStep step) {
    stepDeadline_.reset();
    if (cmdLineExit_) {
        stepDeadline_ = TickMs() + limits_.StepWaitMs;
    }
    if (step == TCmdLineStep::Download) {
        downloadWritten_ = 0;
        downloadHanded_ = 0;
        if (!DownloadApp_MenuItemClick(cmdLineExit_)) {
            AddEvent("- Error, the download was refused", kEventError);
            plan_->Done(step, false);
            return;
        }
        // Done once the board has acknowledged every module.
        downloadHanded_ = lastDownloadHanded_;
        return;
    }
    if (!RunApp_MenuItemClick()) {
        AddEvent("- Error, the application can't be started", kEventError);
        plan_->Done(step, false);
    }
}

void TRavloMainFormCore::BoardAnswered() {
    QueueBoardCheck();
}

void TRavloMainFormCore::QueueBoardCheck() {
    if (!plan_ || boardCheckQueued_) {
        return;
    }
    boardCheckQueued_ = true;
    Defer([this] {
        boardCheckQueued_ = false;
        CheckBoardForPlan();
    });
}

void TRavloMainFormCore::BoardBlockWritten() {
    if (projectBlocksPending_ > 0) {
        --projectBlocksPending_;
    }
    if (!plan_ || plan_->Running() != TCmdLineStep::Download || downloadHanded_ == 0) {
        return;
    }
    if (++downloadWritten_ >= downloadHanded_) {
        FinishBoardStepLater(TCmdLineStep::Download);
    }
}

void TRavloMainFormCore::BoardRunStarted() {
    if (plan_ && plan_->Running() == TCmdLineStep::Run) {
        FinishBoardStepLater(TCmdLineStep::Run);
    }
}

void TRavloMainFormCore::BoardStepFailed(TCmdLineStep step) {
    Defer([this, step] {
        if (!plan_ || plan_->Running() != step) {
            return;
        }
        // The master has told why; a time-out it recovers from by a repeat is no failure.
        const bool lost = MAProc != nullptr && MAProc->Connected == kNotConnected;
        FailBoardStep(lost                             ? "- Error, the link to the Vok was lost"
                      : step == TCmdLineStep::Download ? "- Error, the download failed"
                                                       : "- Error, the application was not started",
                      {}, BoardFailureCode());
    });
}

void TRavloMainFormCore::PortNotOpened() {
    portNotOpened_ = true;
    QueueBoardCheck();
}

void TRavloMainFormCore::FinishBoardStepLater(TCmdLineStep step) {
    Defer([this, step] {
        // It may have failed meanwhile.
        if (plan_ && plan_->Running() == step) {
            stepDeadline_.reset();
            plan_->Done(step, true);
            RunPlan();
        }
    });
}

std::uint8_t TRavloMainFormCore::FlagsForMaster() const {
    if (!plan_ || !plan_->WaitingForBoard()) {
        return 0;
    }
    return CmdLineFlags & (CL_Download | CL_Run);
}

int TRavloMainFormCore::BoardFailureCode() const {
    const std::optional<TCmdLineStep> running = plan_ ? plan_->Running() : std::nullopt;
    if (running == TCmdLineStep::Run) {
        return kExitRunFailed;
    }
    if (running == TCmdLineStep::Download || (CmdLineFlags & CL_Download) != 0) {
        return kExitDownloadFailed;
    }
    return kExitRunFailed;
}

void TRavloMainFormCore::CheckBoardForPlan() {
    if (!plan_ || !plan_->WaitingForBoard()) {
        return;
    }
    if (MAProc == nullptr) {
        FailBoardStep("- Error, there is no Vok master process", {}, BoardFailureCode());
        return;
    }
    if (MAProc->Connected != kBoardConnected) {
        if (portNotOpened_ && MAProc->LinkState == ravlost_Inactive) {
            // The box has said why; waiting longer cannot help.
            FailBoardStep("- Error, the COM port can't be opened", {}, BoardFailureCode());
        }
        return;
    }
    portNotOpened_ = false;
    if (MAProc->Device == DEV_Unknown) {
        FailBoardStep("- Error, unknown Vok answered", {}, BoardFailureCode());
        return;
    }
    boardDeadline_.reset();
    plan_->BoardReady();
    RunPlan();
}

void TRavloMainFormCore::FailBoardStep(std::string_view event, std::string_view text, int exitCode) {
    boardDeadline_.reset();
    stepDeadline_.reset();
    downloadHanded_ = 0;
    AddEvent(event, kEventError);
    if (!text.empty()) {
        ProjectError(text);
    }
    plan_->Abort(exitCode);
    RunPlan();
}

void TRavloMainFormCore::OnTick() {
    if (!plan_) {
        return;
    }
    const std::uint64_t now = TickMs();
    if (boardDeadline_ && now >= *boardDeadline_) {
        boardDeadline_.reset();
        Defer([this] {
            if (plan_ && plan_->WaitingForBoard()) {
                FailBoardStep("- Error, the Vok didn't answer within " + Seconds(limits_.BoardWaitMs) + " s",
                              "The Vok didn't answer, the command line can't go on.", BoardFailureCode());
            }
        });
    }
    if (stepDeadline_ && now >= *stepDeadline_) {
        stepDeadline_.reset();
        Defer([this] {
            const std::optional<TCmdLineStep> running = plan_ ? plan_->Running() : std::nullopt;
            if (running == TCmdLineStep::Download || running == TCmdLineStep::Run) {
                FailBoardStep("- Error, " + std::string(CmdLineStepName(*running)) +
                                  " didn't finish within " + Seconds(limits_.StepWaitMs) + " s",
                              {}, BoardFailureCode());
            }
        });
    }
    // Checked here, so that a wait posts nothing until it ends.
    if (exitWaiting_ && !exitCheckQueued_ && (!BoardBusy() || (exitDeadline_ && now >= *exitDeadline_))) {
        exitCheckQueued_ = true;
        Defer([this] {
            exitCheckQueued_ = false;
            ExitWhenBoardIdle();
        });
    }
}

std::optional<std::uint64_t> TRavloMainFormCore::NextStepDue(std::uint64_t now) const {
    std::optional<std::uint64_t> due = ProcessColl != nullptr ? ProcessColl->NextTickDue(now) : std::nullopt;
    if (!plan_) {
        return due;
    }
    // A wait for the end checks the board at every step, as OnTick does.
    if (exitWaiting_) {
        return now;
    }
    return EarlierDue(EarlierDue(due, boardDeadline_), stepDeadline_);
}

bool TRavloMainFormCore::ProjectDownloadUnderWay() const {
    // A download the board dropped (the link fell, the operation was stopped) is over too.
    return projectBlocksPending_ > 0 && BoardBusy();
}

bool TRavloMainFormCore::BoardBusy() const {
    // A keep-alive ping is no request of the run.
    return MAProc != nullptr && (MAProc->QueueCount() > 0 || BoardOperationRuns());
}

void TRavloMainFormCore::ExitWhenBoardIdle() {
    if (!plan_ || plan_->Running() != TCmdLineStep::Exit) {
        return;
    }
    const bool waitForBoard = boardStepsAsked_ && BoardBusy();
    if (waitForBoard && exitDeadline_ && TickMs() < *exitDeadline_) {
        exitWaiting_ = true;
        return;
    }
    exitWaiting_ = false;
    int code = plan_->ExitCode();
    if (waitForBoard) {
        TxsWriteln("The Vok's requests were not done when the program ended");
        if (code == kExitOk) {
            code = (CmdLineFlags & CL_Run) != 0 || RunOk == 0 ? kExitRunFailed : kExitDownloadFailed;
        }
    }
    exitCode_ = code;
    TxsWriteln("Command line: exit code " + std::to_string(code));
    plan_->Done(TCmdLineStep::Exit, true);
    runEnds_ = true;
    Exit_ActionExecute();
}

void TRavloMainFormCore::Exit_ActionExecute() {
    if (ProjectType != TProjectType::None && !ProjectMayClose()) {
        return;
    }
    if (!BoardOperationMayStop()) {
        return;
    }
    if (ProjectType != TProjectType::None) {
        CloseProject(false);
    }
    host_.CloseMainForm();
}

} // namespace ravlo
