#pragma once

// The board master process at work among stand-ins: recording processes in place of the
// error-history and dialog processes, a main form that keeps every wm_VarChanged, a presenter that
// records boxes, and fakes of the windows, main form and project interfaces. The communication
// process is the caller's choice (a fake for unit tests, the real one against the simulator).

#include "framework/debug_mask.h"
#include "kernel/dlg_process.h"
#include "kernel/proc_mess_host.h"
#include "kernel/process_coll.h"
#include "kernel/process_factory.h"
#include "kernel/sys_addr.h"
#include "kernel/time_mess.h"
#include "platform/message_queue.h"
#include "platform/presenter.h"
#include "platform/tick.h"
#include "protocol/com_globals.h"
#include "protocol/ma_messages.h"
#include "protocol/ma_process.h"
#include "protocol/tmp_err_show_rec.h"
#include "support/app_fixtures.h"
#include "support/default_app_ini.h"
#include "support/var_watcher.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace ravlo::testing {

// Keeps what reaches the error-history or dialog process.
class SinkProcess : public TProcess {
public:
    struct Text {
        std::string Value;
        std::uint8_t Kind = 0; // MsgBox for error texts, DlgType for dialog texts
    };
    using TProcess::TProcess;
    std::string_view ClassName() const override { return "SinkProcess"; }
    void WorkProcMess(TProcMess& mess, bool& keep) override {
        keep = false;
        if (ADR.Ident == 0x73) {
            if (const auto rec = TTmpErrShowRec::FromBytes(mess.DataSpan())) {
                Texts.push_back({rec->Text, rec->MsgBox});
            }
        } else {
            const auto rec = TDlgProcTextRec::FromBytes(mess.DataSpan());
            Texts.push_back({rec.Text, rec.DlgType});
        }
    }
    std::vector<std::string> Values() const {
        std::vector<std::string> values;
        for (const Text& text : Texts) {
            values.push_back(text.Value);
        }
        return values;
    }
    std::vector<Text> Texts;
};

// A window that asked for an IO or clock operation.
class NotifyWindow : public MessageTarget {
public:
    struct Message {
        std::uint32_t Msg = 0;
        std::uintptr_t WParam = 0;
        std::intptr_t LParam = 0;
        bool operator==(const Message&) const = default;
    };
    NotifyWindow() : registration_(AppMessageQueue(), *this) {}
    std::intptr_t HandleMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) override {
        Messages.push_back({msg, wParam, lParam});
        return 0;
    }
    WindowHandle Handle() const { return registration_.Handle(); }
    std::vector<Message> Messages;

private:
    WindowRegistration registration_;
};

class RecordingPresenter : public Presenter {
public:
    struct Box {
        std::string Text;
        std::string Caption;
    };
    int MessageBox(std::string_view text, std::string_view caption, unsigned flags) override {
        Boxes.push_back({std::string(text), std::string(caption)});
        return DefaultMessageBoxAnswer(flags);
    }
    int MessageDlg(std::string_view text, std::string_view caption, MessageBoxKind, TMsgDlgButtons buttons,
                   TMsgDlgBtn defaultButton) override {
        Boxes.push_back({std::string(text), std::string(caption)});
        return MsgDlgDefaultAnswer(buttons, defaultButton);
    }
    void Beep(unsigned) override { ++Beeps; }
    std::vector<Box> Boxes;
    int Beeps = 0;
};

class FakeProgress : public TMaProgressView {
public:
    void ShowProgress() override { ++Shown; }
    void UpdateProgress() override { ++Updated; }
    void CloseProgress() override { ++Closed; }
    int Shown = 0;
    int Updated = 0;
    int Closed = 0;
};

class FakeViews : public TMaBoardViews {
public:
    struct Page {
        WindowHandle Notify = kNoWindow;
        TSegOfsPtr Address;
        std::vector<std::uint8_t> Data;
    };
    void ShowMemPage(WindowHandle notify, TSegOfsPtr address, std::vector<std::uint8_t> page) override {
        Pages.push_back({notify, address, std::move(page)});
    }
    void EditConfig188(std::vector<std::uint8_t> block) override {
        Setups.push_back({188, std::move(block)});
    }
    void EditConfig386(std::vector<std::uint8_t> block) override {
        Setups.push_back({386, std::move(block)});
    }

    struct Setup {
        int Board = 0;
        std::vector<std::uint8_t> Block;
    };
    std::vector<Page> Pages;
    // The setup blocks handed over for editing.
    std::vector<Setup> Setups;
};

class FakeMainForm : public TMaMainForm {
public:
    void SetDownloadOk(bool ok) override { DownloadOk = ok; }
    bool RunOk() const override { return RunOkFlag; }
    void SetRunOk(bool ok) override { RunOkFlag = ok; }
    std::uint8_t CmdLineFlags() const override { return Flags; }
    void SetCmdLineFlags(std::uint8_t flags) override { Flags = flags; }
    void DownloadApp_MenuItemClick() override {
        ++DownloadClicks;
        Flags &= static_cast<std::uint8_t>(~CL_Download);
    }
    void RunApp_MenuItemClick() override { ++RunClicks; }
    void Exit_ActionExecute() override { ++Exits; }
    void PortNotOpened() override { ++PortFailures; }

    bool DownloadOk = true;
    bool RunOkFlag = true;
    std::uint8_t Flags = 0;
    int DownloadClicks = 0;
    int RunClicks = 0;
    int Exits = 0;
    int PortFailures = 0;
};

class FakeProject : public TMaProject {
public:
    bool IsFullProject() const override { return Full; }
    void DownloadProject() override {
        ++Downloads;
        if (OnDownload) {
            OnDownload();
        }
    }
    std::vector<TMaRomModule> RomModules() const override { return Modules; }

    bool Full = false;
    int Downloads = 0;
    std::function<void()> OnDownload;
    std::vector<TMaRomModule> Modules;
};

inline std::string MaIni(std::string_view maSettings) {
    std::string ini(kDefaultAppIni);
    const std::string from = "MA=DWN=0 PER=1000 RET=1000 AST=1";
    ini.replace(ini.find(from), from.size(), "MA=" + std::string(maSettings));
    return ini;
}

inline std::unique_ptr<TProcess> MakeSink(const TProcLabel& label) {
    return std::make_unique<SinkProcess>(&label);
}

// The process classes of the rig in place of the real ones, and back afterwards.
class MaRigProcessTypes {
public:
    explicit MaRigProcessTypes(ProcessCreator comm) {
        RegisterProcessType(PT_RavloMA, CreateFromLabel<TRavlo_MA_Process>);
        RegisterProcessType(PT_RavloComm, std::move(comm));
        RegisterProcessType(PT_TmpErr, MakeSink);
        RegisterProcessType(PT_DlgProc, MakeSink);
    }
    ~MaRigProcessTypes() { ResetProcessTypes(); }
    MaRigProcessTypes(const MaRigProcessTypes&) = delete;
    MaRigProcessTypes& operator=(const MaRigProcessTypes&) = delete;
};

// The master process and its neighbours built from the default application INI (with the master's
// keys given), in a window that serves $2000..$20FF, with the fakes as its interfaces.
class MaRigBase {
public:
    MaRigBase(std::string_view maSettings, ProcessCreator comm)
        : ini_(MaIni(maSettings)), types_(std::move(comm)) {
        BaudSearch = 0;
        ResetComGlobals();
        labels_ = MakeNamed<TRavloProcLabelColl>("LABELCOLL");
        SetProcLabelColl(labels_.get());
        coll = MakeNamed<TProcessColl>("MAINPC");
        coll->Name = "MAINPC";
        host.SetColl(coll.get());
        host.Register("MAIN", 0x2000, 0x20FF);
        coll->CreateStaticProcesses();
        ma = dynamic_cast<TRavlo_MA_Process*>(coll->GetProcByIdent(PT_RavloMA));
        errors = dynamic_cast<SinkProcess*>(coll->GetProcByIdent(PT_TmpErr));
        dialogs = dynamic_cast<SinkProcess*>(coll->GetProcByIdent(PT_DlgProc));
        ma->SetInterfaces({&progress, &views, &form, &project});
    }
    ~MaRigBase() {
        coll.reset();
        SetProcLabelColl(nullptr);
        AppMessageQueue().Clear();
        ResetComGlobals();
        BaudSearch = 0;
        SetDebugMask(0);
    }
    MaRigBase(const MaRigBase&) = delete;
    MaRigBase& operator=(const MaRigBase&) = delete;

    // Delivers messages and ticks the processes until nothing is left to deliver.
    void Settle() {
        for (int round = 0; round < 100000; ++round) {
            while (AppMessageQueue().PumpAll() > 0) {
            }
            coll->TickAll();
            if (AppMessageQueue().PendingCount() == 0) {
                return;
            }
        }
        ADD_FAILURE() << "the rig did not settle";
    }
    // Forgets what the stand-ins and fakes recorded so far.
    void ClearRecords() {
        errors->Texts.clear();
        dialogs->Texts.clear();
        presenter.Boxes.clear();
        mainForm.Events.clear();
    }

    AppIniFixture ini_;
    TSysAddrColl registry;
    ScopedSysAddrColl registryGuard{registry};
    TTimeMessColl timed;
    ScopedTimeMessColl timedGuard{timed};
    RecordingPresenter presenter;
    ScopedPresenter presenterGuard{presenter};
    CapturedWriter writer;
    VarWatcher mainForm;
    MaRigProcessTypes types_;
    FakeProgress progress;
    FakeViews views;
    FakeMainForm form;
    FakeProject project;
    ProcMessHost host;
    std::unique_ptr<TRavloProcLabelColl> labels_;
    std::unique_ptr<TProcessColl> coll;
    TRavlo_MA_Process* ma = nullptr;
    SinkProcess* errors = nullptr;
    SinkProcess* dialogs = nullptr;
};

} // namespace ravlo::testing
