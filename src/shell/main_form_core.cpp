#include "shell/main_form_core.h"

#include "framework/app_data.h"
#include "framework/app_names.h"
#include "framework/broadcast.h"
#include "framework/debug_mask.h"
#include "framework/dialog_registry.h"
#include "framework/message_box.h"
#include "framework/name_object.h"
#include "framework/runtime_log.h"
#include "framework/writer_channels.h"
#include "kernel/app_name_object.h"
#include "kernel/dlg_process.h"
#include "kernel/exception_log.h"
#include "kernel/kernel_debug.h"
#include "kernel/proc_mess_host.h"
#include "kernel/proc_win_label.h"
#include "kernel/process_coll.h"
#include "kernel/process_factory.h"
#include "kernel/sys_addr.h"
#include "kernel/time_mess.h"
#include "platform/presenter.h"
#include "platform/tick.h"
#include "platform/window_messages.h"
#include "protocol/com_globals.h"
#include "protocol/comm_process.h"
#include "protocol/ma_process.h"
#include "protocol/tmp_err_process.h"
#include "shell/debug_mask_rec.h"
#include "shell/main_enum_types.h"
#include "shell/main_form_host.h"
#include "shell/main_form_setup.h"
#include "shell/menu_state.h"
#include "shell/password_store.h"
#include "shell/user_level.h"

namespace ravlo {
namespace {

// The core's own message: run the next queued call.
constexpr std::uint32_t wm_RunDeferred = WM_USER + 0x3A0;

constexpr std::size_t kShortStringMax = 255;

} // namespace

std::intptr_t TRavloMainFormCore::TCoreWindow::HandleMessage(std::uint32_t msg, std::uintptr_t wParam,
                                                             std::intptr_t lParam) {
    switch (msg) {
    case wm_ProcMess:
        core_.WMProcMess(wParam, lParam);
        return 0;
    case wm_RunDeferred:
        core_.RunDeferred();
        return 0;
    case wm_VarChanged:
        core_.WMVarChanged(wParam, lParam);
        return 0;
    case wm_Broadcast:
        // The core's window is the main form only where no Qt form is (tests, headless hosts).
        if (wParam == kBroadcastMsgSize && lParam != 0) {
            const auto& inner = *reinterpret_cast<const TBroadcastMsg*>(lParam);
            if (inner.Msg == wm_VarChanged) {
                core_.WMVarChanged(inner.WParam, static_cast<std::intptr_t>(inner.LParam));
            }
        }
        return 0;
    default:
        return 0;
    }
}

TRavloMainFormCore::TRavloMainFormCore(TMainFormHost& host) : host_(host), window_(*this) {}

TRavloMainFormCore::~TRavloMainFormCore() {
    Closing = 1;
    plan_.reset();
    deferred_.clear();
    if (MAProc != nullptr) {
        MAProc->SetInterfaces({});
    }
    errHistory_.reset();
    toolBoard_ = TMaToolBoard(nullptr);
    // The processes go while the registry, the timed messages and the labels they use still exist.
    ProcessColl.reset();
    CommProc = nullptr;
    MAProc = nullptr;
    TmpErrProc = nullptr;
    DlgProc = nullptr;
    if (GetSysAddrColl() == sysAddr_.get()) {
        SetSysAddrColl(nullptr);
    }
    sysAddr_.reset();
    if (GetTimeMessColl() == timeMess_.get()) {
        SetTimeMessColl(nullptr);
    }
    timeMess_.reset();
    GlbSysColl.reset();
    WinColl.reset();
    if (GetProcLabelColl() == labels_.get()) {
        SetProcLabelColl(nullptr);
    }
    labels_.reset();
    AppObj.reset();
    if (GetUsersStore() == users_.get()) {
        SetUsersStore(nullptr);
    }
    users_.reset();
    nameList_.reset();
}

void TRavloMainFormCore::WriteStartBanner(const std::filesystem::path& programPath,
                                          std::span<const std::string> args) {
    TxsWriteln("**** " + PathText(programPath) + " " + MainCaption());
    std::string line = PathText(programPath);
    for (std::size_t i = 0; i < args.size() && i < 3; ++i) {
        line += " " + args[i];
    }
    TxsWriteln(line.substr(0, kShortStringMax));
}

void TRavloMainFormCore::FormCreate() {
    Closing = 0;
    AppExtension().AppData = std::make_unique<TAppData>();
    CreateMainEnumTypes(*AppExtension().AppData);
    AppObj = MakeAppNameObject("APP");
    if (AppSettings().DXS == 1) {
        DelOldTxsFiles();
    }
    if (AppSettings().TXS != 1) {
        DelTxsFile();
        // Else the next line would bring the log back.
        SetTxsOn(false);
    }
    nameList_ = std::make_unique<TNameObjectList>("GlobalNameObjectList");
    labels_ = MakeNamed<TRavloProcLabelColl>("LABELCOLL");
    SetProcLabelColl(labels_.get());
    timeMess_ = std::make_unique<TTimeMessColl>();
    SetTimeMessColl(timeMess_.get());
    sysAddr_ = std::make_unique<TSysAddrColl>();
    SetSysAddrColl(sysAddr_.get());
    if (TestDebugMask(DM_InitDone)) {
        Writelnsys(0, "TRavloMainForm.FormCreate  Entry");
    }

    WinColl = MakeNamed<TProcWinLabelColl>("WINCOLL");
    GlbSysColl = MakeNamed<TProcWinLabelColl>("GLBSYSCOLL");
    const TGlbSysChoice choice = ChooseGlbSysEntry(*GlbSysColl);
    if (!choice.Problem.empty()) {
        TrMessageBox("Error", choice.Problem, MB_OK | MB_ICONHAND);
    }
    MsgIfNoUser = ReadMsgIfNoUser(AppIniName());
    limits_ = ReadBatchLimits(AppIniName());

    if (choice.Entry) {
        SysPCO = choice.Entry->PCO;
        SysTNA = choice.Entry->TNA;
        SysLOG = choice.Entry->LOG;
        SysHIL = choice.Entry->HIL;
        ProcessColl = MakeNamed<TProcessColl>(SysPCO);
        RegisterSysAddr(
            SysTNA, Handle(), SysAddrErr,
            [this] { return ProcessColl == nullptr || ProcessColl->CanCloseAll(); },
            [this] {
                if (ProcessColl != nullptr) {
                    ProcessColl->TickAll();
                }
                OnTick();
            },
            SysLOG, SysHIL, [this](std::uint64_t now) { return NextStepDue(now); });
        if (SysAddrErr) {
            WriteErrsys(0, "TRavloMainForm: the logical addresses $" + std::to_string(SysLOG) + "..$" +
                               std::to_string(SysHIL) + " of " + SysTNA + " could not be registered");
        }
        ProcessColl->CreateStaticProcesses();
        CommProc = dynamic_cast<TRavloComm_Process*>(ProcessColl->GetProcByIdent(PT_RavloComm));
        MAProc = dynamic_cast<TRavlo_MA_Process*>(ProcessColl->GetProcByIdent(PT_RavloMA));
        TmpErrProc = dynamic_cast<TTMP_ERR_Process*>(ProcessColl->GetProcByIdent(PT_TmpErr));
        DlgProc = dynamic_cast<TDLGPROC_Process*>(ProcessColl->GetProcByIdent(PT_DlgProc));
        if (MAProc != nullptr) {
            MAProc->SetInterfaces({host_.BoardProgress(*MAProc), &maViews_, &maForm_, &maProject_});
        }
        toolBoard_ = TMaToolBoard(MAProc);
        if (TmpErrProc != nullptr) {
            errHistory_ = std::make_unique<TTmpErrHistorySource>(*TmpErrProc);
        }
    }
    CreateStatusBar();
    lastProjects_.Read(AppIniName());
    host_.ShowLastProjects(lastProjects_.Entries());
    GenerateOk = 1;
    EpromImageOk = 1;
    DownloadOk = 1;
    RunOk = 1;
}

void TRavloMainFormCore::CreateStatusBar() {
    TStatusSources sources;
    sources.ComPort = &ComOpenPort;
    sources.Baud = &ComBaud;
    if (MAProc != nullptr) {
        sources.Connected = &MAProc->Connected;
        sources.Device = &MAProc->Device;
        sources.BiosId = &MAProc->BiosIdText;
        sources.EventText = &MAProc->EventText;
    }
    if (CommProc != nullptr) {
        sources.Counters = &CommProc->Stat;
    }
    statusBar_ = std::make_unique<TStatusBar>(sources);
    host_.ShowStatusPanels(statusBar_->Panels());
}

void TRavloMainFormCore::StatusBarDblClick(std::size_t panel) {
    if (panel == TStatusPanels::kCountersPanel && CommProc != nullptr) {
        CommProc->Stat.Clear();
        CommProc->NotifyForms(TRavloComm_Process::kNotifyStat, &CommProc->Stat);
    }
}

void TRavloMainFormCore::DebugMode_Action() {
    std::array<std::uint8_t, TDebugDMRec::kSize> record = CurrentDebugDMRec().Encode();
    if (host_.ExecuteDialog("TDebugDM_Dlg", record) == mrOk) {
        ApplyDebugDMRec(TDebugDMRec::Decode(record), AppObj.get());
    }
}

void TRavloMainFormCore::FormShow() {
    DoCmdLine();
    // Once: the command line may have loaded them for /U already.
    if (!usersLoadTried_) {
        LoadUsers();
    }
    UpdateMenus();
}

bool TRavloMainFormCore::CanCloseNow(std::uint32_t limitMs) {
    if (ProcessColl == nullptr) {
        return true;
    }
    std::string refusing;
    for (std::int32_t i = 0; i < ProcessColl->Count(); ++i) {
        if (TProcess* process = ProcessColl->ProcAt(i); process != nullptr && !process->ProcessCanClose()) {
            refusing += " " + process->GetName();
        }
    }
    // A queued operation may have started meanwhile: it is stopped as well.
    if (stopAtExit_ && BoardOperationRuns()) {
        StopBoardOperation();
        refusing += " " + MAProc->GetName();
    }
    if (refusing.empty()) {
        return true;
    }
    const std::uint64_t now = TickMs();
    if (!closeDeadline_) {
        closeDeadline_ = now + limitMs;
    }
    if (now < *closeDeadline_) {
        return false;
    }
    TxsWriteln("Closing although these processes are not ready:" + refusing);
    return true;
}

void TRavloMainFormCore::FormDestroy() {
    Closing = 1;
    CloseProject(true);
}

void TRavloMainFormCore::WMProcMess(std::uintptr_t wParam, std::intptr_t lParam) {
    HandleProcMess(ProcessColl.get(), wParam, lParam);
}

void TRavloMainFormCore::WMVarChanged(std::uintptr_t, std::intptr_t address) {
    if (MAProc == nullptr || statusBar_ == nullptr) {
        return;
    }
    switch (statusBar_->VarChanged(reinterpret_cast<const void*>(address))) {
    case TStatusWatch::None:
        return;
    case TStatusWatch::Event:
        AddEvent(MAProc->EventText, MAProc->EventKind);
        return;
    case TStatusWatch::Connected: {
        const TStatusEvent event = statusBar_->ConnectedEvent();
        AddEvent(event.Text, event.Kind);
        QueueMenuUpdate();
        break;
    }
    case TStatusWatch::Device:
        QueueMenuUpdate();
        break;
    default:
        break;
    }
    host_.ShowStatusPanels(statusBar_->Panels());
}

void TRavloMainFormCore::QueueMenuUpdate() {
    if (!menusQueued_) {
        menusQueued_ = true;
        Defer([this] {
            menusQueued_ = false;
            UpdateMenus();
        });
    }
}

void TRavloMainFormCore::Defer(std::function<void()> work) {
    deferred_.push_back(std::move(work));
    AppMessageQueue().Post(Handle(), wm_RunDeferred, 0, 0);
}

void TRavloMainFormCore::RunDeferred() {
    if (deferred_.empty()) {
        return;
    }
    std::function<void()> work = std::move(deferred_.front());
    deferred_.pop_front();
    try {
        work();
    } catch (...) {
        // As every handler of the running program: logged, and the program goes on.
        LogCaughtException("TRavloMainForm");
    }
}

void TRavloMainFormCore::UpdateMenus() {
    TMenuInputs inputs;
    if (MAProc != nullptr) {
        inputs.Connected = MAProc->Connected;
        inputs.Device = MAProc->Device;
    }
    inputs.UserLevel = UserLevel;
    inputs.UsersLoaded = usersLoaded_;
    inputs.ErrHistoryOpen = host_.ErrHistoryOpen();
    inputs.SysWriterOpen = host_.SysWriterOpen();
    inputs.MAViewOpen = host_.ProcessViewOpen(TMainAction::MAView);
    inputs.CommViewOpen = host_.ProcessViewOpen(TMainAction::CommView);
    TMenuStates states = ComputeMenuStates(MenuInputsFromProject(inputs));
    states.SetupConnected = states.SetupConnected && SetupCanSave();
    HighAccess = states.HighAccess;
    host_.ApplyMenuStates(states);
}

void TRavloMainFormCore::AddEvent(std::string_view text, std::uint8_t kind) {
    if (text.empty()) {
        return;
    }
    TxsWriteln("Event: " + std::string(text.substr(0, kShortStringMax)));
    host_.AddEvent(text, kind);
}

void TRavloMainFormCore::Execute(TMainAction action) {
    using A = TMainAction;
    if (TDebugCommands::Handles(action)) {
        debugCommands_.Execute(action, MAProc);
        UpdateMenus();
        return;
    }
    switch (action) {
    case A::OpenExe:
        OpenProject_MenuItemClick(TProjectType::Full);
        break;
    case A::OpenMem:
        OpenProject_MenuItemClick(TProjectType::Small);
        break;
    case A::ReOpen:
        ReOpen_MenuItemClick();
        break;
    case A::CloseProject:
        if (ProjectMayClose()) {
            CloseProject(false);
            host_.RefreshProjectWindow();
        }
        break;
    case A::Exit:
        Exit_ActionExecute();
        break;
    case A::MemDesign:
        MemDesign_MenuItemClick();
        break;
    case A::Generate:
        Generate_MenuItemClick();
        break;
    case A::CrEpromImg:
        CrEpromImg_MenuItemClick();
        break;
    case A::FindErr:
        FindErr_MenuItemClick();
        break;
    case A::CreateCom:
        CreateCom_Click();
        break;
    case A::DestroyCom:
        DestroyCom_Click();
        break;
    case A::ComSettings:
        ComSettings_Click();
        break;
    case A::IO:
        host_.ShowIOAccess(toolBoard_);
        break;
    case A::RTC:
        host_.ShowVokRTC(toolBoard_);
        break;
    case A::DownloadApp:
        DownloadApp_MenuItemClick();
        break;
    case A::RunApp:
        RunApp_MenuItemClick();
        break;
    case A::GenLoadRun:
        GenLoadRun_MenuItemClick();
        break;
    case A::BIOSInfo:
        BIOSInfo_Click();
        break;
    case A::GO:
        GoAddress_Click();
        break;
    case A::RUN:
        RunAddress_Click();
        break;
    case A::CheckSum:
        CheckSum_Click();
        break;
    case A::Request:
        Request_Click();
        break;
    case A::WriteBin:
        host_.ShowBinWriter();
        break;
    case A::ReadBin:
        host_.ShowBinReader();
        break;
    case A::Mem256:
    case A::MemView:
        MemView_MenuItemClick();
        break;
    case A::UserLogin:
        UserLogin_MenuItemClick();
        break;
    case A::UserLogout:
        UserLogout_MenuItemClick();
        break;
    case A::UsersDefine:
        UsersDefine_MenuItemClick();
        break;
    case A::VokSetup:
        VokSetup_MenuItemClick();
        break;
    case A::ErrHistory:
        host_.ShowErrHistory(ErrHistorySource());
        break;
    case A::SysWriter:
        host_.ShowSysWriter();
        break;
    case A::MAView:
    case A::CommView:
        host_.ShowProcessView(action);
        break;
    case A::DebugMode:
        DebugMode_Action();
        break;
    case A::About:
        host_.ShowAbout();
        break;
    default:
        return;
    }
    UpdateMenus();
}

std::optional<TVokKind> TRavloMainFormCore::ConnectedBoardKind() const {
    if (MAProc == nullptr || MAProc->Connected != kBoardConnected) {
        return std::nullopt;
    }
    switch (MAProc->Device) {
    case DEV_VokV40:
        return TVokKind::VokV40;
    case DEV_Vok386:
        return TVokKind::Vok386EXR;
    case DEV_Vok188:
        return TVokKind::Vok188ER;
    default:
        return std::nullopt;
    }
}

TSchedulerDrive TRavloMainFormCore::SchedulerDrive() const {
    return CurrentSchedulerDrive();
}

TErrHistorySource* TRavloMainFormCore::ErrHistorySource() {
    return errHistory_.get();
}

} // namespace ravlo
