#pragma once

#include "framework/board_address.h"
#include "kernel/proc_adr.h"
#include "kernel/scheduler_drive.h"
#include "platform/message_queue.h"
#include "project/eprom_composer.h"
#include "project/project_globals.h"
#include "shell/batch_limits.h"
#include "shell/cmd_line_plan.h"
#include "shell/debug_commands.h"
#include "shell/last_projects.h"
#include "shell/main_actions.h"
#include "shell/main_form_links.h"
#include "shell/setup_files.h"
#include "shell/status_bar.h"
#include "shell/tool_board.h"

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace ravlo {

class TAppNameObject;
class TDLGPROC_Process;
class TMainFormHost;
class TNameObjectList;
class TPasswordLabelColl;
struct TLoginRecord;
class TProcessColl;
class TProcWinLabelColl;
class TRavloComm_Process;
class TRavloProcLabelColl;
class TRavlo_MA_Process;
class TSysAddrColl;
class TTimeMessColl;
class TTMP_ERR_Process;

// The main form without its widgets: it owns the process kernel (label collections, timed
// messages, address registry, process collection with the static processes), runs the menu
// commands and the command line, and tells its windows what to show through a TMainFormHost. The Qt
// main form wraps it; tests drive it directly. Main thread only.
//
// It has a window of its own on AppMessageQueue(): the one registered for the main form's logical
// addresses (process messages arrive there) and the one its queued calls run from. Whatever a
// process reports from inside a message handler (wm_VarChanged, the master's calls) is only noted
// there and acted on in a queued call, so that no box or dialog opens inside a handler.
class TRavloMainFormCore final : public TEpromImgHost {
public:
    explicit TRavloMainFormCore(TMainFormHost& host);
    ~TRavloMainFormCore() override;
    TRavloMainFormCore(const TRavloMainFormCore&) = delete;
    TRavloMainFormCore& operator=(const TRavloMainFormCore&) = delete;

    // The banner lines of the runtime log: the program and its version, then the program and the
    // first three arguments. Written before the command line is parsed.
    static void WriteStartBanner(const std::filesystem::path& programPath, std::span<const std::string> args);

    // The creation after the command line was parsed: application data with its nine enumerations,
    // "APP", the name list, the label collection, timed messages, address registry, window labels,
    // the process collection with the static processes, the step flags. The program's types must be
    // registered (RegisterProgramTypes). The host starts the scheduler drive (SchedulerDrive())
    // afterwards.
    void FormCreate();
    // After the host has opened its windows (the event log): the command line, then the menus.
    void FormShow();
    // Whether the main form may close now: every process is asked; after limitMs of asking it may
    // close anyway (the refusals are logged). The first call starts the wait. A board operation
    // that runs after the user chose to stop it at the exit is stopped, and waited for.
    bool CanCloseNow(std::uint32_t limitMs = kCloseWaitMs);
    // Whether the program may end while a board operation runs or waits to: the user is asked
    // (default No); Yes stops it as the progress window's Stop does and tells the event log. Once
    // answered Yes, it is not asked again. An unattended run (/X, or the command line ending the
    // run) is not asked: it ends as it always does.
    bool BoardOperationMayStop();
    // The form goes: the project is closed for good.
    void FormDestroy();

    static constexpr std::uint32_t kCloseWaitMs = 3000;

    // ---- Messages ----
    WindowHandle Handle() const { return window_.Handle(); }
    // A wm_ProcMess that reached the main form's window: handed on to the process collection.
    void WMProcMess(std::uintptr_t wParam, std::intptr_t lParam);
    // A wm_VarChanged the main form received (wParam the size, lParam the address).
    void WMVarChanged(std::uintptr_t size, std::intptr_t address);
    // Runs work after the current message handler, from the core's window.
    void Defer(std::function<void()> work);
    // The scheduler step's part of the main form: deadlines of an unattended run, a pending exit.
    void OnTick();
    // When the form's window next needs a step: its processes' due time, or a deadline of OnTick.
    std::optional<std::uint64_t> NextStepDue(std::uint64_t now) const;

    // ---- Commands ----
    void Execute(TMainAction action);
    void UpdateMenus();
    // A line for the event log and the runtime log.
    void AddEvent(std::string_view text, std::uint8_t kind) override;

    bool OpenFullProject(const std::filesystem::path& name, bool quiet);
    bool OpenSmallProject(const std::filesystem::path& name, bool quiet);
    // Closes the open project; forGood when the form goes.
    void CloseProject(bool forGood);
    // Whether the open project may close: a design edited since it was saved is offered for saving
    // first (Yes saves it, No drops the edits, Cancel keeps the project open). An unattended run is
    // not asked.
    bool ProjectMayClose();
    void OpenProject_MenuItemClick(TProjectType type);
    void ReOpen_MenuItemClick();
    void Generate_MenuItemClick();
    void MemDesign_MenuItemClick();
    void CrEpromImg_MenuItemClick();
    void FindErr_MenuItemClick();
    void LoadComDefaults();
    void CreateCom_Click();
    void DestroyCom_Click();
    // COM settings: the dialog, then the link reopened (or opened) with the chosen port and rate.
    void ComSettings_Click();
    // Hands the project's ROM modules to the board; true when every one was handed over. Unattended,
    // nobody is asked whether to send a design or images that may be stale: they are not sent.
    bool DownloadApp_MenuItemClick(bool unattended = false);
    // Answers whether a run was handed to the board.
    bool RunApp_MenuItemClick();
    void GenLoadRun_MenuItemClick();
    void GoAddress_Click();
    void RunAddress_Click();
    void CheckSum_Click();
    void BIOSInfo_Click();
    void Request_Click();
    // Asks for an address and reads the page there into a new memory view.
    void MemView_MenuItemClick();
    // The connected board's setup is read for its dialog; without a connection a setup file is
    // opened in it.
    void VokSetup_MenuItemClick();
    // A memory page the board master read: its view shows it, after the handler that told it.
    void ShowMemPage(WindowHandle notify, TSegOfsPtr address, std::vector<std::uint8_t> page);
    // Closes the open project and then the main form.
    void Exit_ActionExecute();
    // Opens entry n (1 to 5) of the recent projects, as the Open commands do.
    void OpenLastProject(int n);
    // The debug-messages dialog; on OK the debug mask and TXS change and "APP" is written back.
    void DebugMode_Action();
    // A double click on a status panel: the counters panel clears the communication counters.
    void StatusBarDblClick(std::size_t panel);

    // ---- Users (main_commands_users.cpp) ----
    // Loads RAVLO.PSW from the program's folder. Without users, when MsgIfNoUser asks for it, the
    // user may create the first one (level 254); a damaged file is only reported.
    void LoadUsers();
    // The login dialog, with the command line's user proposed while CL_User is set. Answers false
    // when nobody can answer the dialog.
    bool UserLogin_MenuItemClick();
    void UserLogout_MenuItemClick();
    // The user-management dialog; after its OK the store is saved beside the application INI and
    // as RAVLO.PSW.
    void UsersDefine_MenuItemClick();
    bool UsersLoaded() const { return usersLoaded_; }

    // ---- The command line ----
    void DoCmdLine();
    const std::optional<TCmdLinePlan>& Plan() const { return plan_; }
    // The code the program ends with.
    int ExitCode() const { return exitCode_; }
    const TBatchLimits& BatchLimits() const { return limits_; }

    // ---- Reports of the board master process (through its interfaces), all from its handlers ----
    // An identification answered and the master wants the command-line board steps done.
    void BoardAnswered();
    // The board has confirmed a block of the download.
    void BoardBlockWritten();
    // A Go or Run went out.
    void BoardRunStarted();
    // The master gave up a write (of the download) or a start: the step it belongs to has failed.
    void BoardStepFailed(TCmdLineStep step);
    // The serial port did not open: a run that waits for the board will never get it.
    void PortNotOpened();
    // The flags the master may see: the board steps only while the command line waits for them.
    std::uint8_t FlagsForMaster() const;
    // A setup block was read: its dialog opens after the current handler.
    void EditBoardSetup(TSetupBoard board, std::vector<std::uint8_t> block);
    // Blocks of a project download the board has not yet confirmed (the download is under way).
    bool ProjectDownloadUnderWay() const;

    // ---- TEpromImgHost ----
    std::optional<TVokKind> ConnectedBoardKind() const override;
    void SetEpromImageOk(bool ok) override { EpromImageOk = ok ? 1 : 0; }
    bool EpromImageFromCmdLine() const override;

    // The drive the "APP" settings choose; valid after FormCreate.
    TSchedulerDrive SchedulerDrive() const;
    // The error-history source for a new window; nullptr without an error-history process.
    TErrHistorySource* ErrHistorySource();

    // ---- What other windows read ----
    std::unique_ptr<TProcessColl> ProcessColl;
    TRavloComm_Process* CommProc = nullptr;
    TRavlo_MA_Process* MAProc = nullptr;
    TTMP_ERR_Process* TmpErrProc = nullptr;
    TDLGPROC_Process* DlgProc = nullptr;
    TProcAdr MAAddr{0x70, 0x01, 0x2001};
    std::unique_ptr<TProcWinLabelColl> WinColl;
    std::unique_ptr<TProcWinLabelColl> GlbSysColl;
    std::string SysPCO;
    std::string SysTNA;
    std::uint16_t SysLOG = 0;
    std::uint16_t SysHIL = 0;
    // Set when the registry refused the main form's range.
    bool SysAddrErr = false;
    std::unique_ptr<TAppNameObject> AppObj;
    std::uint8_t GenerateOk = 1;
    std::uint8_t EpromImageOk = 1;
    std::uint8_t DownloadOk = 1;
    std::uint8_t RunOk = 1;
    std::uint8_t Closing = 0;

private:
    class TCoreWindow final : public MessageTarget {
    public:
        explicit TCoreWindow(TRavloMainFormCore& core)
            : core_(core), registration_(AppMessageQueue(), *this) {}
        WindowHandle Handle() const { return registration_.Handle(); }
        std::intptr_t HandleMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) override;

    private:
        TRavloMainFormCore& core_;
        WindowRegistration registration_;
    };

    void RunDeferred();
    bool ProjectOpen() const;
    // The open-file part shared by both project kinds; false when nothing was opened.
    bool OpenProject(const std::filesystem::path& name, TProjectType type, bool quiet);
    // Opens a project file of either kind after closing the open one (the Open and ReOpen commands).
    void OpenFromMenu(const std::filesystem::path& name, TProjectType type);
    // Whether every unit is placed, the modules exist and pass their check, and no .BIN is old.
    bool ProjectBinFilesFresh() const;
    // Refuses a command that rewrites the project's images while they are being downloaded.
    bool RefusedDuringDownload(bool withEvent);
    bool AskAddressFor(std::string_view caption, TSegOfsPtr& address);
    void CreateFirstUser();
    // Logs the typed user in when the store knows him with that password.
    bool LogIn(const TLoginRecord& typed);
    // /U where nobody can answer the login dialog.
    void EndRunWithoutLogin();
    // Shows the setup dialog over the record at the start of data; what the user chose to save goes
    // to the board.
    void EditSetupData(TSetupBoard board, std::vector<std::uint8_t> data);
    // Whether "Save to Vok" can write the open setup dialog's record: its board is connected.
    bool SetupCanSave() const;
    // The menus again after the current handler, once however often asked.
    void QueueMenuUpdate();
    void CreateStatusBar();
    void AddLastProject(const std::filesystem::path& name);

    // The command line.
    void RunPlan();
    void ExecuteStep(TCmdLineStep step);
    void StartBoardStep(TCmdLineStep step);
    // The board has done the step: reported after the handler that told it.
    void FinishBoardStepLater(TCmdLineStep step);
    void QueueBoardCheck();
    void CheckBoardForPlan();
    void FailBoardStep(std::string_view event, std::string_view text, int exitCode);
    void ExitWhenBoardIdle();
    bool BoardBusy() const;
    // The master runs an operation (a keep-alive ping is none).
    bool BoardOperationRuns() const;
    // Stops the operation the master runs, as Stop does; once until it has stopped.
    void StopBoardOperation();
    int BoardFailureCode() const;

    TMainFormHost& host_;
    TCoreWindow window_;
    TDebugCommands debugCommands_{host_};
    std::deque<std::function<void()>> deferred_;

    std::unique_ptr<TNameObjectList> nameList_;
    std::unique_ptr<TRavloProcLabelColl> labels_;
    std::unique_ptr<TTimeMessColl> timeMess_;
    std::unique_ptr<TSysAddrColl> sysAddr_;
    TMaFormLink maForm_{*this};
    TMaProjectLink maProject_{*this};
    // The master as the board tool windows see it.
    TMaToolBoard toolBoard_{nullptr};
    TMaViewsLink maViews_{*this};
    // The board of the open setup dialog.
    std::optional<TSetupBoard> setupOpen_;
    std::unique_ptr<TTmpErrHistorySource> errHistory_;
    std::unique_ptr<TStatusBar> statusBar_;
    TLastProjects lastProjects_;

    TBatchLimits limits_;
    std::optional<TCmdLinePlan> plan_;
    std::filesystem::path cmdLineProject_;
    bool cmdLineExit_ = false;
    bool runningPlan_ = false;
    // Whether the command line asked for board steps.
    bool boardStepsAsked_ = false;
    // The board step under way and what it expects.
    int lastDownloadHanded_ = 0;
    // Of every project download, menu or command line.
    int projectBlocksPending_ = 0;
    int downloadHanded_ = 0;
    int downloadWritten_ = 0;
    std::optional<std::uint64_t> boardDeadline_;
    std::optional<std::uint64_t> stepDeadline_;
    std::optional<std::uint64_t> exitDeadline_;
    bool boardCheckQueued_ = false;
    // The port failed to open since the board last answered.
    bool portNotOpened_ = false;
    bool exitCheckQueued_ = false;
    bool exitWaiting_ = false;
    // The command line ends the run: its exit asks nothing.
    bool runEnds_ = false;
    // The user chose to stop the board's operation and exit.
    bool stopAtExit_ = false;
    bool menusQueued_ = false;
    int exitCode_ = 0;
    std::optional<std::uint64_t> closeDeadline_;
    // What the address dialogs offer next.
    TSegOfsPtr goAddress_ = MakeFarPtr(0, 0xC800);
    TSegOfsPtr runAddress_ = MakeFarPtr(0, 0xC800);
    TSegOfsPtr lastErrAddress_;
    std::unique_ptr<TPasswordLabelColl> users_;
    bool usersLoaded_ = false;
    bool usersLoadTried_ = false;
    // The name the login dialog offers next.
    std::string loginName_;
};

} // namespace ravlo
