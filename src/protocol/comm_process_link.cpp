// The states that build, open, connect, disconnect, close and free the channel stack.
#include "channels/chn_com.h"
#include "framework/writer_channels.h"
#include "platform/tick.h"
#include "protocol/com_globals.h"
#include "protocol/comm_messages.h"
#include "protocol/comm_process.h"
#include "protocol/comm_state.h"

#include <optional>

namespace ravlo {

bool TRavloComm_Process::StepIdle() {
    while (!closeRq_) {
        if (!connectRq_) {
            if (pending_.Empty()) {
                return false;
            }
            TakeFirstPending();
            switch (current_->GetCode()) {
            case RAVLOCOMM_MA_SetChnParam:
                StoreChnParam(*current_);
                FreeCurrent();
                SendState(MAS_0);
                return false;
            case RAVLOCOMM_MA_CrOpCo:
                connectRq_ = true;
                disconnectRq_ = false;
                break;
            case RAVLOCOMM_MA_DiClDe:
                // Closed already: say so, or the sender would wait for an answer that never comes.
                AnswerHeld(RAVLOCOMM_MA_DiClDe, MAS_0);
                return false;
            default:
                Writelnsys(DWN, "Ravlo_CommMA.Step - unknown/undesired msg in MAS_0 - ignored.");
                FreeCurrent();
                return false;
            }
        }
        // A connect request (just taken, or left by a reopen) builds the channels.
        if (BuildChannels()) {
            return true;
        }
    }
    SetStateWord(MAS_Done);
    return false;
}

bool TRavloComm_Process::BuildChannels() {
    const TCommChannels::BuildResult built = channels_.Build(ComPort, Baud, NOD, DNO);
    if (built == TCommChannels::BuildResult::Ok) {
        FreeCurrent();
        SetStateWord(MAS_Closed);
        return true;
    }
    const bool comFailed = built == TCommChannels::BuildResult::ComParamsFailed;
    Writelnsys(0, comFailed ? "!Err - ChnCom.SetParam Failed"
                            : "!Err - ChnPRT.SetParam Failed, destroying PRT and COM");
    FreeCurrent();
    connectRq_ = false;
    disconnectRq_ = false;
    reopenRq_ = false;
    SendError(comFailed ? CommErr_ComSetParam : CommErr_PrtSetParam);
    return false;
}

void TRavloComm_Process::FreeChannels() {
    if (!channels_.Exists()) {
        return;
    }
    channels_.Free();
    // Freeing closes the port, whichever way the close went before.
    SetComOpenPort(0);
    if (ComBaud != 0) {
        SetComBaud(0);
    }
}

bool TRavloComm_Process::StepClosed() {
    if (closeRq_ || disconnectRq_) {
        FreeChannels();
        SetStateWord(MAS_0);
        if (!reopenRq_) {
            SendState(MAS_0);
        }
        connectRq_ = false;
        disconnectRq_ = false;
        if (reopenRq_) {
            connectRq_ = true;
            reopenRq_ = false;
        }
        return true;
    }
    if (!connectRq_) {
        // The link was found closed when an exchange was given up: open it again.
        ErrorLine(": Ravlo_CommMA: zadny rq ve stavu " + StateStr() + " - reopening");
        connectRq_ = true;
    }
    SetStateWord(MAS_Open);
    return true;
}

bool TRavloComm_Process::StepOpen() {
    TChnVirt* link = channels_.Link();
    if (link == nullptr) {
        disconnectRq_ = true;
        SetStateWord(MAS_Closed);
        InternalError("Ravlo_CommMA: !Err: trying to open when MA_ChnPRT=nil");
    }
    link->SetRecBuf(recBuffer_);
    OpenFailure.clear();
    if (auto* com = dynamic_cast<TComChannel*>(channels_.Com())) {
        com->KeepOpenWhenAbsent(std::exchange(quietReopen_, false));
    }
    if (!StartLinkOp(&TChnVirt::CHOpen, CommErr_Open, MAS_Closed, MAS_OpenRdy)) {
        disconnectRq_ = true;
        // Kept for the report: the channels are freed before it is read.
        if (const auto* com = dynamic_cast<const TComChannel*>(channels_.Com())) {
            OpenFailure = com->OpenFailureText();
        }
    }
    return true;
}

bool TRavloComm_Process::StepOpenRdy() {
    const std::optional<std::uint16_t> ready = LinkReady();
    if (!ready) {
        disconnectRq_ = true;
        SetStateWord(MAS_Closed);
        return true;
    }
    if (*ready == CHS_Open) {
        SetStateWord(MAS_Opened);
        SetComOpenPort(ComPort);
        SetComBaud(Baud);
        return true;
    }
    if (StepTimedOut(TOP)) {
        disconnectRq_ = true;
        return TimedOut("CHOpen", CommErr_OpenTimeout, MAS_Closed);
    }
    return false;
}

bool TRavloComm_Process::StepOpened() {
    if (closeRq_ || disconnectRq_) {
        SetStateWord(MAS_Close);
        return true;
    }
    if (!connectRq_) {
        // The link lost its connection when an exchange was given up: connect again, so that the
        // messages still pending go out.
        ErrorLine(": RAVLO_COMMMA Err: zadny rq ve stavu " + StateStr() + " - reconnecting");
        connectRq_ = true;
    }
    SetStateWord(MAS_Connect);
    return true;
}

bool TRavloComm_Process::StepConnect() {
    if (!StartLinkOp(&TChnVirt::CHConnect, CommErr_Connect, MAS_Opened, MAS_ConnectRdy)) {
        disconnectRq_ = true;
    }
    return true;
}

bool TRavloComm_Process::StepConnectRdy() {
    const std::optional<std::uint16_t> ready = LinkReady();
    if (!ready) {
        // Give the connection up, so that a link that keeps failing is not connected anew on every tick.
        disconnectRq_ = true;
        SetStateWord(MAS_Opened);
        InternalError("Ravlo_CommMA: Err: step ve stavu MAS_ConnectRdy, step vratil resErr.");
    }
    if (*ready == CHS_Connect) {
        channels_.Link()->CHReceFlush();
        SetStateWord(MAS_Connected);
        SendState(MAS_Connected);
        return true;
    }
    if (*ready == CHS_Open) {
        disconnectRq_ = true;
        SetStateWord(MAS_Opened);
        InternalError("Ravlo_CommMA: Err: step ve stavu MAS_ConnectRdy je vysledek kroku spodniho automatu "
                      "CHS_Disconnect");
    }
    if (StepTimedOut(TIC)) {
        disconnectRq_ = true;
        return TimedOut("CHConnect", CommErr_ConnectTimeout, MAS_DisConnect);
    }
    if (closeRq_ || disconnectRq_) {
        SetStateWord(MAS_DisConnect);
        return true;
    }
    return false;
}

bool TRavloComm_Process::StepDisConnect() {
    StartLinkOp(&TChnVirt::CHDisConnect, CommErr_DisConnect, MAS_Opened, MAS_DisConnectRdy);
    return true;
}

bool TRavloComm_Process::StepDisConnectRdy() {
    const std::optional<std::uint16_t> ready = LinkReady();
    if (!ready) {
        SetStateWord(MAS_Opened);
        InternalError("Ravlo_CommMA: Err: step v mas_disconnectrdy vratil CHready res_err");
    }
    if (*ready == CHS_Open) {
        SetStateWord(MAS_Opened);
        return true;
    }
    return StepTimedOut(TID) && TimedOut("CHDisConnect", CommErr_DisConnectTimeout, MAS_Opened);
}

bool TRavloComm_Process::StepClose() {
    StartLinkOp(&TChnVirt::CHClose, CommErr_Close, MAS_Closed, MAS_CloseRdy);
    return true;
}

bool TRavloComm_Process::StepCloseRdy() {
    const std::optional<std::uint16_t> ready = LinkReady();
    if (!ready) {
        SetStateWord(MAS_Closed);
        return true;
    }
    if (*ready == CHS_Close) {
        SetStateWord(MAS_Closed);
        SetComOpenPort(0);
        SetComBaud(0);
        return true;
    }
    return StepTimedOut(TCL) && TimedOut("CHClose", CommErr_CloseTimeout, MAS_Closed);
}

bool TRavloComm_Process::StartLinkOp(void (TChnVirt::*operation)(), std::uint16_t error,
                                     std::uint16_t failState, std::uint16_t waitState) {
    (channels_.Link()->*operation)();
    if (const std::uint16_t result = TakeOpErr(); result != 0) {
        LinkErrorLine(result);
        SetStateWord(failState);
        SendError(error);
        return false;
    }
    stepStart_ = GetTickCount();
    SetStateWord(waitState);
    return true;
}

std::optional<std::uint16_t> TRavloComm_Process::LinkReady() {
    const std::uint16_t ready = channels_.Link()->CHReady();
    if (const std::uint16_t result = TakeOpErr(); result != 0) {
        LinkErrorLine(result);
        return std::nullopt;
    }
    return ready;
}

bool TRavloComm_Process::StepTimedOut(std::int32_t limitMs) const {
    return Elapsed(stepStart_) > static_cast<std::uint32_t>(limitMs);
}

bool TRavloComm_Process::TimedOut(std::string_view operation, std::uint16_t error, std::uint16_t next) {
    ErrorLine(": " + std::string(operation) + " Timeout Err");
    SetStateWord(next);
    SendError(error);
    return true;
}

} // namespace ravlo
