#include "protocol/comm_process.h"

#include "channels/chn_com.h"
#include "channels/port_names.h"
#include "framework/broadcast.h"
#include "framework/debug_mask.h"
#include "framework/keyword_lexer.h"
#include "framework/writer_channels.h"
#include "kernel/kernel_debug.h"
#include "kernel/process_coll.h"
#include "kernel/process_factory.h"
#include "platform/exception.h"
#include "platform/tick.h"
#include "platform/window_messages.h"
#include "protocol/com_globals.h"
#include "protocol/comm_address.h"
#include "protocol/comm_debug.h"
#include "protocol/comm_messages.h"
#include "protocol/comm_state.h"

#include <algorithm>
#include <limits>

namespace ravlo {
namespace {

constexpr std::string_view kKeywords = "LRB|TOP|TIC|TID|TCL|RTF|REP|NOD|DNO|EW ";
constexpr std::int32_t kMaxInt = std::numeric_limits<std::int32_t>::max();
// A state machine whose states keep handing on to each other without waiting would hang the main
// thread; no sound sequence comes near this many states in one step.
constexpr int kMaxStatesPerStep = 100;

} // namespace

TRavloComm_Process::TRavloComm_Process(const TProcLabel* label) : TProcess(label), ComPort(ComDefaultPort) {
    if (label == nullptr) {
        WriteErrsys(DWN, std::string(kClassName) + ".CreateFromLabel - PL=nil!");
    }
    State = MAS_0;
}

TRavloComm_Process::~TRavloComm_Process() {
    if (TestDebugMask(DM_InitDone)) {
        Writelnsys(DWN, Name + ".Destroy Entry");
        for (std::size_t i = 0; i < pending_.Count(); ++i) {
            Writelnsys(DWN, "  " + pending_.At(i)->MessToStr());
        }
    }
    pending_.FreeAll();
    current_.reset();
    FreeChannels();
    WriteBackParams();
    if (TestDebugMask(DM_InitDone)) {
        Writelnsys(DWN, Name + ".Destroy Exit");
    }
}

std::unique_ptr<TProcess> TRavloComm_Process::CreateFromLabel(const TProcLabel& label) {
    const bool verbose = TestDebugMask(DM_InitDone);
    auto process = std::make_unique<TRavloComm_Process>(&label);
    if (verbose) {
        Writelnsys(process->DWN, process->Name + ".CreateFromLabel  Entry");
    }
    const bool failed = process->ReadParamFromINI(verbose);
    process->ApplyParams();
    if (verbose) {
        Writelnsys(process->DWN, "/TRavloCommProcess.CreateFromLabel Exit " +
                                     std::string(failed ? "ERROR" : "OK") + " " + process->Name + "=[" +
                                     process->ParamsToText() + "]");
    }
    return process;
}

bool TRavloComm_Process::ParseKeyword(std::string_view keyword) {
    switch (LexKeyIndex(keyword, kKeywords)) {
    case 1: {
        std::uint16_t size = 0;
        if (LexGetField(size, 0, 0xFFFF)) {
            return true;
        }
        recBuffer_.assign(size, 0);
        // The link delivers into this buffer: it must never keep the one just freed.
        if (TChnVirt* link = channels_.Link()) {
            link->SetRecBuf(recBuffer_);
        }
        return false;
    }
    case 2:
        return LexGetField(TOP, 0, kMaxInt);
    case 3:
        return LexGetField(TIC, 0, kMaxInt);
    case 4:
        return LexGetField(TID, 0, kMaxInt);
    case 5:
        return LexGetField(TCL, 0, kMaxInt);
    case 6:
        return LexGetField(RTF, 0, kMaxInt);
    case 7:
        return LexGetField(REP, 0, 0xFF);
    case 8:
        return LexGetField(NOD, 0, 0xFF);
    case 9:
        return LexGetField(DNO, 0, 0xFF);
    case 10:
        return LexGetField(EW, 0, kMaxInt);
    default:
        return TProcess::ParseKeyword(keyword);
    }
}

std::string TRavloComm_Process::ParamsToText() const {
    std::string text = TProcess::ParamsToText();
    const auto add = [&text](std::string_view key, bool differs, std::int64_t value) {
        if (differs) {
            text += " " + std::string(key) + "=" + std::to_string(value);
        }
    };
    add("LRB", LRB() != kDefaultLRB, LRB());
    add("TOP", TOP != kDefaultTimeout, TOP);
    add("TIC", TIC != kDefaultTimeout, TIC);
    add("TID", TID != kDefaultTimeout, TID);
    add("TCL", TCL != kDefaultTimeout, TCL);
    add("RTF", RTF != kDefaultRTF, RTF);
    add("REP", REP != kDefaultREP, REP);
    add("NOD", NOD < kDefaultNOD, NOD);
    add("DNO", DNO != kDefaultDNO, DNO);
    return text;
}

void TRavloComm_Process::WorkProcMess(TProcMess& mess, bool& keep) {
    Trace(DM_MAPRMess, " %%<" + mess.MessText());
    const std::string text = mess.MessText();
    if (!pending_.Empty()) {
        Writelnsys(DWN, Name + " !!--Vic nez 1,ADD: %%<" + text);
    }
    pending_.Insert(std::move(mess));
    keep = true;
    pendingCount_ = static_cast<std::uint32_t>(pending_.Count());
    NotifyForms(kNotifyPending, &pendingCount_);
    Trace(DM_MAPR, " Message inserted " + text);
    Step();
}

std::string TRavloComm_Process::StateStr() const {
    return CommStateText(State);
}

bool TRavloComm_Process::ProcessCanClose() {
    closeRq_ = true;
    const bool allowed = TProcess::ProcessCanClose() && State == MAS_Done;
    Trace(DM_InitDone, ".ProcessCanClose=" + std::string(allowed ? "1" : "0") + " State=" + StateStr());
    return allowed;
}

void TRavloComm_Process::Step() {
    CheckAddressesOnce();
    for (int states = 0; states < kMaxStatesPerStep; ++states) {
        if (!RunState()) {
            return;
        }
    }
    ErrorLine(".Step - no state waited after " + std::to_string(kMaxStatesPerStep) + " states, now " +
              StateStr());
}

bool TRavloComm_Process::RunState() {
    switch (State) {
    case MAS_0:
        return StepIdle();
    case MAS_Closed:
        return StepClosed();
    case MAS_Open:
        return StepOpen();
    case MAS_OpenRdy:
        return StepOpenRdy();
    case MAS_Opened:
        return StepOpened();
    case MAS_Connect:
        return StepConnect();
    case MAS_ConnectRdy:
        return StepConnectRdy();
    case MAS_Connected:
        return StepConnected();
    case MAS_Begin:
        return StepBegin();
    case MAS_SendBeg:
        return StepSendBeg();
    case MAS_SendRep:
        return StepSendRep();
    case MAS_Send:
        return StepSend();
    case MAS_Rec:
        return StepRec();
    case MAS_RecEnd:
        return StepRecEnd();
    case MAS_ErrWait:
        return StepErrWait();
    case MAS_DisConnect:
        return StepDisConnect();
    case MAS_DisConnectRdy:
        return StepDisConnectRdy();
    case MAS_Close:
        return StepClose();
    case MAS_CloseRdy:
        return StepCloseRdy();
    default: // MAS_Done and values no step sets
        return false;
    }
}

std::optional<std::uint64_t> TRavloComm_Process::NextTickDue(std::uint64_t now) const {
    if (!pending_.Empty() || closeRq_ || connectRq_ || disconnectRq_ || reopenRq_) {
        return now;
    }
    // now + the ms left until `ms` have passed since `since` (the steps' own tests use ">").
    const auto after = [this, now](std::uint32_t since, std::uint32_t ms) {
        const std::uint32_t elapsed = Elapsed(since);
        return now + (elapsed > ms ? 0 : ms - elapsed + 1);
    };
    switch (State) {
    case MAS_0:
    case MAS_Done:
        return std::nullopt;
    case MAS_Connected:
        if (holdUntil_) {
            const auto left = static_cast<std::int32_t>(*holdUntil_ - GetTickCount());
            return now + static_cast<std::uint64_t>(std::max(left, 0));
        }
        return std::nullopt;
    case MAS_Send:
        // The frame cannot have crossed the line before its line time; then the driver is asked.
        // The port's buffer takes a whole frame at once, so no step is needed to push it out
        // meanwhile (were it to hold bytes back, they would go with the steps after that time).
        return frameLineMs_ == 0 ? now : after(exchangeStart_, frameLineMs_ - 1);
    case MAS_Rec:
        // The answer's bytes wake the scheduler as they come; the time-out needs a step of its own.
        return after(exchangeStart_, static_cast<std::uint32_t>(AnswerTimeoutMs()));
    case MAS_ErrWait:
        return after(waitStart_, static_cast<std::uint32_t>(EW));
    default:
        return now;
    }
}

void TRavloComm_Process::NotifyForms(std::uint16_t size, const void* address) const {
    MainFormBroadcast(wm_VarChanged, size, reinterpret_cast<std::uintptr_t>(address));
}

TProcAdr TRavloComm_Process::UpwardAddress() const {
    if (Owner != nullptr) {
        if (const TProcess* master = Owner->GetProcByIdent(PT_RavloMA)) {
            return master->ADR;
        }
    }
    return kCommUpwardAdr;
}

std::uint32_t TRavloComm_Process::LineBaud() const {
    return ComBaud != 0 ? ComBaud : Baud;
}

bool TRavloComm_Process::DeviceGone() const {
    const auto* com = dynamic_cast<const TComChannel*>(channels_.Com());
    return com != nullptr && com->DeviceGone();
}

std::string TRavloComm_Process::LinkLostText() const {
    const auto* com = dynamic_cast<const TComChannel*>(channels_.Com());
    if (com == nullptr) {
        return ravlo::LinkLostText(ComPort, ComPortPath(ComPort), false);
    }
    return ravlo::LinkLostText(com->Port(), com->DevicePath(), com->DeviceGone());
}

double TRavloComm_Process::AnswerTimeoutMs() const {
    const std::uint32_t baud = LineBaud();
    return static_cast<double>(RTF) * 1000.0 / static_cast<double>(baud == 0 ? 1 : baud);
}

void TRavloComm_Process::CheckAddressesOnce() {
    if (addressesChecked_ || Owner == nullptr) {
        return;
    }
    addressesChecked_ = true;
    const std::vector<std::string> problems = CheckCommAddresses(*Owner);
    if (!problems.empty()) {
        ErrorLine(": reports go to " + ProcAdrStr(UpwardAddress()) +
                  ", the board master process found by Ident");
    }
}

void TRavloComm_Process::SetStateWord(std::uint16_t state) {
    if (State != state) {
        State = state;
        NotifyForms(kNotifyState, &State);
    }
}

void TRavloComm_Process::TakeFirstPending() {
    FreeCurrent();
    current_ = std::move(*pending_.AtDelete(0));
    pendingCount_ = static_cast<std::uint32_t>(pending_.Count());
    NotifyForms(kNotifyPending, &pendingCount_);
}

void TRavloComm_Process::FreeCurrent() {
    current_.reset();
}

void TRavloComm_Process::StoreChnParam(const TProcMess& mess) {
    const std::optional<TRavloChnParamRec> rec = TRavloChnParamRec::Decode(mess.DataSpan());
    if (!rec) {
        ErrorLine(": RAVLOCOMM_MA_SetChnParam with " + std::to_string(mess.GetDataLen()) +
                  " data bytes instead of 5 - port and baud rate kept");
        return;
    }
    ComPort = rec->Port;
    NotifyForms(kNotifyPort, &ComPort);
    Baud = rec->Baud;
}

void TRavloComm_Process::AnswerHeld(std::uint8_t code, std::uint16_t state) {
    Writelnsys(DWN, Name + ": " + CommStateText(state) + " already, " +
                        (code == RAVLOCOMM_MA_CrOpCo ? "RAVLOCOMM_MA_CrOpCo" : "RAVLOCOMM_MA_DiClDe") +
                        " answered at once");
    FreeCurrent();
    SendState(state);
}

std::uint16_t TRavloComm_Process::TakeOpErr() {
    result_ = channels_.Link()->GetOpErr();
    return result_;
}

void TRavloComm_Process::StoreReceived(std::uint16_t len) {
    const std::size_t count = std::min<std::size_t>(len, recBuffer_.size());
    recvRec_.SetFrameSize(count);
    recvRec_.SetFrameData(std::span<const std::uint8_t>(recBuffer_).first(count));
}

void TRavloComm_Process::SendUp(std::uint8_t code, std::span<const std::uint8_t> data, std::uint8_t par2) {
    TProcMess mess = TProcMess::Create(UpwardAddress(), ADR, 0, par2, code, data);
    Trace(DM_Ravlo_MA_Mess, " %%>" + mess.MessText());
    mess.SendProcMess();
}

void TRavloComm_Process::SendState(std::uint16_t state) {
    SendUp(RAVLOCOMM_MA_State, TRavloCommStateRec{state, ComPort, Baud}.Encode());
}

void TRavloComm_Process::SendError(std::uint16_t code) {
    SendUp(RAVLOCOMM_MA_Error, TRavloCommStateRec{code, ComPort, Baud}.Encode());
}

void TRavloComm_Process::LinkErrorLine(std::uint16_t result) {
    Stat.LastErr = result;
    const TChnVirt* link = channels_.Link();
    WriteErrsys(DWN,
                Name + ":->" +
                    (link != nullptr ? link->Name + ":" + link->ResText(result)
                                     : std::string(TCommChannels::kLinkName) + ":$" + HexWordStr(result)));
}

void TRavloComm_Process::ErrorLine(std::string_view text) {
    WriteErrsys(DWN, Name + std::string(text));
}

void TRavloComm_Process::Trace(std::uint32_t bits, std::string_view text) const {
    if (TestDebugMask(bits)) {
        Writelnsys(DWN, Name + std::string(text));
    }
}

std::string TRavloComm_Process::TakeResultText() {
    if (result_ != 0) {
        Stat.LastErr = result_;
    }
    std::string text = CommResultText(result_, channels_.Link());
    result_ = 0;
    return text;
}

void TRavloComm_Process::InternalError(const std::string& text) const {
    throw Exception(text);
}

std::uint32_t TRavloComm_Process::Elapsed(std::uint32_t since) const {
    return TickElapsed(GetTickCount(), since);
}

} // namespace ravlo
