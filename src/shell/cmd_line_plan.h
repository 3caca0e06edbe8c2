#pragma once

#include "shell/cmd_line_project.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string_view>

namespace ravlo {

// What the main form carries out for the command line, in the order the plan names the steps.
enum class TCmdLineStep : std::uint8_t {
    OpenFullProject,  // open the .EXE project quietly, refresh the project window, update the menus;
                      // ok: the .EXE and its .MAP were loaded
    OpenSmallProject, // the same for the .MEM project; ok: the .MEM was loaded
    RejectProject,    // beep and the error box BadProjectFileText
    LoadComDefaults,  // the COM defaults from "RTDW.INI"
    LoadUsers,        // load the users store
    OpenCom,          // what the Create COM tool button does
    Login,            // the login command with CmdLineUser proposed
    Generate,         // the Generate command; ok: GenerateOk
    EpromImage,       // the EPROM image command; ok: EpromImageOk
    AwaitBoard,       // DownloadOk := 0 when /L, RunOk := 0 when /R; the rest waits for the link
    Download,         // the download command; ok: every module was handed to the board
    Run,              // the run command; ok: the run was handed to the board
    Exit,             // Exit_ActionExecute; the program then ends with ExitCode()
};

std::string_view CmdLineStepName(TCmdLineStep step);

// The command-line run as data. The main form takes the steps one by one, carries each out and
// reports it with Done (at once, or later for a step that finishes asynchronously); the plan keeps
// the shared flags byte (CmdLineFlags) in step, clearing each step's bit once it ran, and decides
// from what was asked at the start, so code that clears the flags cannot turn a failure into
// success. A failed step drops every later step; with /X the run then ends at once with the step's
// exit code instead of staying open, so an unattended run never goes on after a failure.
class TCmdLinePlan {
public:
    // flags: the parsed flags, kept up to date for the code that reads them; projectKind: what the
    // project argument resolved to; userGiven: /U named a user; autoStartCom: the master process's
    // AST setting.
    TCmdLinePlan(std::uint8_t& flags, TCmdLineProjectKind projectKind, bool userGiven, bool autoStartCom);

    // The step to carry out now, which is then running; nullopt while a step runs, while waiting for
    // the board and once the run is over.
    std::optional<TCmdLineStep> Take();
    // Reports the running step; false (and nothing changes) for any other step.
    bool Done(TCmdLineStep step, bool ok);
    // The link to the board stands: the download and run steps become due. Counts only while
    // waiting for the board.
    void BoardReady();
    // Ends the run as failed from outside (the board answered as an unknown device, the link was
    // lost during the download): as a failed step with exitCode.
    void Abort(int exitCode);
    // Ends the run at once with exitCode, with or without /X: the running step cannot be done at all
    // (nobody can answer its dialog), so waiting would never end.
    void End(int exitCode);

    std::optional<TCmdLineStep> Running() const { return running_; }
    bool WaitingForBoard() const { return phase_ == Phase::Board; }
    // Nothing more will be asked.
    bool Finished() const { return phase_ == Phase::Over; }
    // The code the program ends with when it reaches Exit.
    int ExitCode() const { return exitCode_; }

private:
    enum class Phase : std::uint8_t { Project, Main, Board, Over };

    void PlanMain();
    void PlanBoard();
    // Drops the later steps; with /X the run ends with exitCode.
    void Fail(int exitCode);
    // A step's bit is cleared once it ran; a failure fails the run with failureCode.
    void Finish(std::uint8_t bit, bool ok, int failureCode);
    void Clear(std::uint8_t bits);
    // Plans the next phase once the steps of this one are used up.
    void Advance();

    std::uint8_t& flags_;
    bool noComGiven_;
    bool projectNamed_;
    bool userGiven_;
    bool autoStartCom_;
    bool exitAsked_;
    bool projectOpened_ = false;
    // The board steps asked for once the project phase was over.
    bool downloadAsked_ = false;
    bool runAsked_ = false;
    Phase phase_ = Phase::Project;
    std::deque<TCmdLineStep> steps_;
    std::optional<TCmdLineStep> running_;
    int exitCode_ = 0;
};

} // namespace ravlo
