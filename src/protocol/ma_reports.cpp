#include "framework/broadcast.h"
#include "framework/debug_mask.h"
#include "framework/writer_channels.h"
#include "kernel/dlg_process.h"
#include "kernel/process_factory.h"
#include "platform/presenter.h"
#include "platform/window_messages.h"
#include "protocol/bios_id.h"
#include "protocol/dlg_text_post.h"
#include "protocol/ma_process.h"
#include "protocol/tmp_err_debug.h"
#include "protocol/tmp_err_show_rec.h"

namespace ravlo {
namespace {

constexpr std::size_t kShortStringMax = 255;

// What the master reports to when the shell has given it nothing.
class NoProgress final : public TMaProgressView {
public:
    void ShowProgress() override {}
    void UpdateProgress() override {}
    void CloseProgress() override {}
};

class NoViews final : public TMaBoardViews {
public:
    void ShowMemPage(WindowHandle, TSegOfsPtr, std::vector<std::uint8_t>) override {}
    void EditConfig188(std::vector<std::uint8_t>) override {}
    void EditConfig386(std::vector<std::uint8_t>) override {}
};

class NoMainForm final : public TMaMainForm {
public:
    void SetDownloadOk(bool) override {}
    bool RunOk() const override { return true; }
    void SetRunOk(bool) override {}
    std::uint8_t CmdLineFlags() const override { return 0; }
    void SetCmdLineFlags(std::uint8_t) override {}
    void DownloadApp_MenuItemClick() override {}
    void RunApp_MenuItemClick() override {}
    void Exit_ActionExecute() override {}
    void PortNotOpened() override {}
};

class NoProject final : public TMaProject {
public:
    bool IsFullProject() const override { return false; }
    void DownloadProject() override {}
    std::vector<TMaRomModule> RomModules() const override { return {}; }
};

// The error-history process at the logical address of its label, else at the sender's.
TProcAdr TmpErrAddress(const TProcAdr& src) {
    TProcAdr dest{PT_TmpErr, 0, src.LogA};
    if (const TProcLabelColl* labels = GetProcLabelColl()) {
        if (const TProcLabel* label = labels->GetLabelByIdent(PT_TmpErr)) {
            dest.LogA = label->ADR.LogA;
        }
    }
    return dest;
}

} // namespace

TMaProgressView& TRavlo_MA_Process::Progress() const {
    static NoProgress none;
    return interfaces_.Progress != nullptr ? *interfaces_.Progress : none;
}

TMaBoardViews& TRavlo_MA_Process::Views() const {
    static NoViews none;
    return interfaces_.Views != nullptr ? *interfaces_.Views : none;
}

TMaMainForm& TRavlo_MA_Process::MainForm() const {
    static NoMainForm none;
    return interfaces_.MainForm != nullptr ? *interfaces_.MainForm : none;
}

TMaProject& TRavlo_MA_Process::Project() const {
    static NoProject none;
    return interfaces_.Project != nullptr ? *interfaces_.Project : none;
}

void TRavlo_MA_Process::NotifyForms(std::uint16_t size, const void* address) const {
    MainFormBroadcast(static_cast<std::uint16_t>(wm_VarChanged), size,
                      reinterpret_cast<std::uintptr_t>(address));
}

void TRavlo_MA_Process::SetRavloState(std::uint8_t state) {
    if (LinkState != state) {
        LinkState = state;
        NotifyForms(1, &LinkState);
    }
}

void TRavlo_MA_Process::SetConState(std::uint8_t state) {
    ConState = state;
    NotifyForms(1, &ConState);
}

void TRavlo_MA_Process::SetConnected(std::uint8_t value) {
    if (Connected != value) {
        Connected = value;
        NotifyForms(1, &Connected);
    }
}

void TRavlo_MA_Process::SetDevice(std::uint8_t value) {
    if (Device != value) {
        Device = value;
        NotifyForms(1, &Device);
    }
}

void TRavlo_MA_Process::SetBiosId(std::string_view text) {
    const TBiosId id = ParseBiosId(text);
    BiosIdText = id.Text;
    BiosVersion = id.Version;
    NotifyForms(4, &BiosIdText);
}

void TRavlo_MA_Process::SetEventText(std::string_view text, std::uint8_t kind) {
    EventText = std::string(text.substr(0, kShortStringMax));
    EventKind = kind;
    NotifyForms(256, &EventText);
}

void TRavlo_MA_Process::SendTmpErr(std::string_view text, bool msgBox) {
    TProcMess mess = TmpErrShowMess(TmpErrAddress(ADR), ADR, text, msgBox);
    if (TestDebugMask(DM_TmpErr_Mess)) {
        Writelnsys(DWN, Name + "-->" + mess.MessText());
    }
    if (TestDebugMask(DM_TmpErr_SymbMess)) {
        Writelnsys(DWN, Name + "++>" + TTMP_ERR_ProcMess::CopyOf(mess).MessText());
    }
    mess.SendProcMess();
}

void TRavlo_MA_Process::ReportError(int chn, std::string_view text, bool msgBox) {
    SendTmpErr(text, msgBox);
    WriteErrsys(chn, Name + " " + std::string(text));
}

void TRavlo_MA_Process::ShowText(std::string_view text, std::uint8_t kind) {
    PostDlgText(ADR, text, kind);
}

void TRavlo_MA_Process::Beep() const {
    GetPresenter().Beep(MB_OK);
}

void TRavlo_MA_Process::Trace(std::uint32_t bits, std::string_view text) const {
    if (TestDebugMask(bits)) {
        Writelnsys(DWN, Name + std::string(text));
    }
}

} // namespace ravlo
