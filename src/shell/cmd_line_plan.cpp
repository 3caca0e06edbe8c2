#include "shell/cmd_line_plan.h"

#include "shell/cmd_line.h"
#include "shell/exit_codes.h"

namespace ravlo {

std::string_view CmdLineStepName(TCmdLineStep step) {
    switch (step) {
    case TCmdLineStep::OpenFullProject:
        return "OpenFullProject";
    case TCmdLineStep::OpenSmallProject:
        return "OpenSmallProject";
    case TCmdLineStep::RejectProject:
        return "RejectProject";
    case TCmdLineStep::LoadComDefaults:
        return "LoadComDefaults";
    case TCmdLineStep::LoadUsers:
        return "LoadUsers";
    case TCmdLineStep::OpenCom:
        return "OpenCom";
    case TCmdLineStep::Login:
        return "Login";
    case TCmdLineStep::Generate:
        return "Generate";
    case TCmdLineStep::EpromImage:
        return "EpromImage";
    case TCmdLineStep::AwaitBoard:
        return "AwaitBoard";
    case TCmdLineStep::Download:
        return "Download";
    case TCmdLineStep::Run:
        return "Run";
    case TCmdLineStep::Exit:
        return "Exit";
    }
    return "?";
}

TCmdLinePlan::TCmdLinePlan(std::uint8_t& flags, TCmdLineProjectKind projectKind, bool userGiven,
                           bool autoStartCom)
    : flags_(flags), noComGiven_((flags & CL_NoCOM) != 0),
      projectNamed_(projectKind != TCmdLineProjectKind::None), userGiven_(userGiven),
      autoStartCom_(autoStartCom), exitAsked_((flags & CL_Exit) != 0) {
    switch (projectKind) {
    case TCmdLineProjectKind::Exe:
        steps_ = {TCmdLineStep::OpenFullProject};
        break;
    case TCmdLineProjectKind::Mem:
        // A memory design has nothing to generate.
        Clear(CL_Generate);
        steps_ = {TCmdLineStep::OpenSmallProject};
        break;
    case TCmdLineProjectKind::Invalid:
        steps_ = {TCmdLineStep::RejectProject, TCmdLineStep::LoadComDefaults};
        break;
    case TCmdLineProjectKind::None:
        steps_ = {TCmdLineStep::LoadComDefaults};
        break;
    }
}

std::optional<TCmdLineStep> TCmdLinePlan::Take() {
    if (running_ || steps_.empty()) {
        return std::nullopt;
    }
    running_ = steps_.front();
    steps_.pop_front();
    return running_;
}

bool TCmdLinePlan::Done(TCmdLineStep step, bool ok) {
    if (running_ != step) {
        return false;
    }
    running_.reset();
    switch (step) {
    case TCmdLineStep::OpenFullProject:
    case TCmdLineStep::OpenSmallProject:
        projectOpened_ = ok;
        break;
    case TCmdLineStep::Login:
        // A failed login only leaves the user out; the steps do not depend on it.
        Clear(CL_User);
        break;
    case TCmdLineStep::Generate:
        Finish(CL_Generate, ok, kExitGenerateFailed);
        break;
    case TCmdLineStep::EpromImage:
        Finish(CL_EpromImage, ok, kExitEpromImageFailed);
        break;
    case TCmdLineStep::AwaitBoard:
        phase_ = Phase::Board;
        return true;
    case TCmdLineStep::Download:
        Finish(CL_Download, ok, kExitDownloadFailed);
        break;
    case TCmdLineStep::Run:
        Finish(CL_Run, ok, kExitRunFailed);
        break;
    case TCmdLineStep::Exit:
        steps_.clear();
        phase_ = Phase::Over;
        return true;
    default:
        break;
    }
    Advance();
    return true;
}

void TCmdLinePlan::BoardReady() {
    if (phase_ == Phase::Board) {
        PlanBoard();
    }
}

void TCmdLinePlan::Abort(int exitCode) {
    if (phase_ != Phase::Over) {
        running_.reset();
        Fail(exitCode);
    }
}

void TCmdLinePlan::End(int exitCode) {
    running_.reset();
    exitAsked_ = true;
    Fail(exitCode);
}

void TCmdLinePlan::PlanMain() {
    phase_ = Phase::Main;
    if (!projectOpened_) {
        if (exitAsked_) {
            // Unattended: what needs a project cannot be done; a run that asked for nothing else ends
            // as a success, once a named user was asked to log in.
            const bool stepsAsked = projectNamed_ || (flags_ & kProjectSteps) != 0;
            Clear(kProjectSteps);
            steps_.clear();
            if (userGiven_ && !stepsAsked) {
                flags_ |= CL_User;
                steps_ = {TCmdLineStep::LoadUsers, TCmdLineStep::Login};
            }
            steps_.push_back(TCmdLineStep::Exit);
            exitCode_ = stepsAsked ? kExitProjectFailed : kExitOk;
            return;
        }
        flags_ = noComGiven_ ? CL_NoCOM : 0;
    }
    downloadAsked_ = (flags_ & CL_Download) != 0;
    runAsked_ = (flags_ & CL_Run) != 0;
    const bool boardSteps = downloadAsked_ || runAsked_;
    if (userGiven_) {
        flags_ |= CL_User;
        steps_.push_back(TCmdLineStep::LoadUsers);
    }
    // Nobody presses the connect button in an unattended run.
    if ((flags_ & CL_NoCOM) == 0 && (autoStartCom_ || (boardSteps && exitAsked_))) {
        steps_.push_back(TCmdLineStep::OpenCom);
    }
    if ((flags_ & CL_User) != 0) {
        steps_.push_back(TCmdLineStep::Login);
    }
    if ((flags_ & CL_Generate) != 0) {
        steps_.push_back(TCmdLineStep::Generate);
    }
    if ((flags_ & CL_EpromImage) != 0) {
        steps_.push_back(TCmdLineStep::EpromImage);
    }
    if (boardSteps) {
        steps_.push_back(TCmdLineStep::AwaitBoard);
    } else if (exitAsked_) {
        steps_.push_back(TCmdLineStep::Exit);
    }
    if (steps_.empty()) {
        phase_ = Phase::Over;
    }
}

void TCmdLinePlan::PlanBoard() {
    phase_ = Phase::Main;
    if (downloadAsked_) {
        steps_.push_back(TCmdLineStep::Download);
    }
    if (runAsked_) {
        steps_.push_back(TCmdLineStep::Run);
    }
    if (exitAsked_) {
        steps_.push_back(TCmdLineStep::Exit);
    }
    if (steps_.empty()) {
        phase_ = Phase::Over;
    }
}

void TCmdLinePlan::Fail(int exitCode) {
    steps_.clear();
    Clear(kProjectSteps);
    if (exitAsked_) {
        steps_ = {TCmdLineStep::Exit};
        exitCode_ = exitCode;
        phase_ = Phase::Main;
    } else {
        phase_ = Phase::Over;
    }
}

void TCmdLinePlan::Finish(std::uint8_t bit, bool ok, int failureCode) {
    Clear(bit);
    if (!ok) {
        Fail(failureCode);
    }
}

void TCmdLinePlan::Clear(std::uint8_t bits) {
    flags_ &= static_cast<std::uint8_t>(~bits);
}

void TCmdLinePlan::Advance() {
    if (!steps_.empty() || running_) {
        return;
    }
    if (phase_ == Phase::Project) {
        PlanMain();
    } else if (phase_ == Phase::Main) {
        phase_ = Phase::Over;
    }
}

} // namespace ravlo
