#include "framework/number_text.h"
#include "framework/writer_channels.h"
#include "platform/tick.h"
#include "protocol/board_answers.h"
#include "protocol/com_globals.h"
#include "protocol/comm_messages.h"
#include "protocol/comm_state.h"
#include "protocol/ma_debug.h"
#include "protocol/ma_process.h"

#include <algorithm>
#include <cstring>

namespace ravlo {
namespace {

const char* MismatchText(std::uint8_t conState) {
    switch (conState) {
    case cs_WaitForMemView:
        return "Neshodne adresy v MemView, recv.adr=";
    case cs_WaitForCfg188:
        return "Neshodne adresy v Cfg188, recv.adr=";
    case cs_WaitForCfg386:
        return "Neshodne adresy v Cfg386, recv.adr=";
    case cs_WaitForId386:
        return "Neshodne adresy v Id386, recv.adr=";
    case cs_WaitForBiosId:
        return "Neshodne adresy ve WaiForBiosId  recv.adr=";
    case cs_WaitForBiosIdString:
        return "Neshodne adresy ve WaiForBiosIdString recv.adr=";
    default:
        return "Neshodne adresy ve WaiForBiosIdFlashType recv.adr=";
    }
}

} // namespace

void TRavlo_MA_Process::Unexpected(std::uint8_t type) {
    throw EMaProtocolError("Neocekavany typ zpravy: $" + HexB(type));
}

void TRavlo_MA_Process::WorkBoardAnswer(std::span<const std::uint8_t> frame) {
    LastRecvTick = GetTickCount();
    if (frame.empty()) {
        // A frame without answer has gone out: only the operations that wait for the next frame of
        // any kind end with it.
        switch (ConState) {
        case cs_WaitForGo:
        case cs_WaitForRun:
            AnswerGo(frame);
            break;
        case cs_WaitForIOWrite:
            AnswerIOWrite(frame);
            break;
        default:
            break;
        }
        return;
    }
    switch (ConState) {
    case cs_idle:
        Trace(DM_Ravlo_MA_Debug, "Warning: msg in _idle - no action");
        // An answer with no operation to take it still ends the wait: the master stays ready.
        if (LinkState == ravlost_WaFMsgRxD) {
            ContinueLink();
        }
        break;
    case cs_WaitForEmpt:
    case cs_WaitForPing:
        AnswerRqst(frame);
        break;
    case cs_WaitForLd:
        AnswerWrite(frame);
        break;
    case cs_WaitForLdBeg256:
    case cs_WaitForLdEnd256:
    case cs_WaitForLdBeg512:
    case cs_WaitForLdEnd512:
        AnswerWriteRead(frame);
        break;
    case cs_WaitForMemView:
        AnswerMemView(frame);
        break;
    case cs_WaitForCfg188:
    case cs_WaitForCfg386:
        AnswerSetup(frame);
        break;
    case cs_WaitForId386:
        AnswerId386(frame);
        break;
    case cs_WaitForBiosId:
        AnswerBiosId(frame);
        break;
    case cs_WaitForBiosIdString:
        AnswerBiosIdString(frame);
        break;
    case cs_WaitForBiosIdFlashType:
        AnswerFlashType(frame);
        break;
    case cs_WaitForGo:
    case cs_WaitForRun:
        AnswerGo(frame);
        break;
    case cs_WaitForCheckSum:
        AnswerCheckSum(frame);
        break;
    case cs_WaitForMem:
        AnswerMem(frame);
        break;
    case cs_WaitForIORead:
        AnswerIORead(frame);
        break;
    case cs_WaitForIOWrite:
        AnswerIOWrite(frame);
        break;
    case cs_WaitForGetRTC:
        AnswerGetRTC(frame);
        break;
    case cs_WaitForSetRTC:
        AnswerSetRTC(frame);
        break;
    case cs_WaitForDbgAnswer:
        AnswerDebugFrame(frame);
        break;
    case cs_WaitForDbgLoad:
        AnswerDebugLoad(frame);
        break;
    default:
        Beep();
        ReportError(0, "Unwanted message arrived - Ignored.", false);
        break;
    }
}

void TRavlo_MA_Process::MemoryData(std::span<const std::uint8_t> frame) {
    if (frame.size() < kBlockFrameHeaderLen) {
        throw EMaProtocolError("Neocekavany typ zpravy: $" + HexB(frame[0]) + " (short MemD)");
    }
    const TSegOfsPtr address = FrameFarPtr(frame, kBlockFrameAddressAt);
    const std::uint32_t cur = FarPtrToLin(active_.CurAdr);
    if (FarPtrToLin(address) != cur) {
        if (IsWriteReadState(ConState) || ConState == cs_WaitForMem) {
            InsertTimeOutMess(MismatchTimeOutMs(RET, ComBaud));
            return;
        }
        throw EMaProtocolError(MismatchText(ConState) + HexDW(address.Packed()) +
                               " qq_addr2.adr=" + HexDW(active_.CurAdr.Packed()));
    }
    // The bytes go where their address puts them in the buffer, so that what was received and
    // where the next byte is expected never disagree, whatever repeats came between. The board's
    // count is clamped to the bytes the frame carries, the room left in the buffer and the bytes
    // still expected.
    const std::size_t offset =
        std::min<std::size_t>(cur - std::min(cur, BufferBase()), active_.Buffer.size());
    std::size_t count =
        std::min<std::size_t>(FrameU16(frame, kBlockFrameCountAt), frame.size() - kBlockFrameHeaderLen);
    count = std::min(count, active_.Buffer.size() - offset);
    const std::uint32_t end = FarPtrToLin(active_.EndAdr);
    count = std::min<std::size_t>(count, end >= cur ? end - cur + 1 : 0);
    std::copy_n(frame.begin() + kBlockFrameHeaderLen, count,
                active_.Buffer.begin() + static_cast<std::ptrdiff_t>(offset));
    active_.CurAdr = LinToFarPtr(cur + static_cast<std::uint32_t>(count));
    if (IsWriteReadState(ConState) || ConState == cs_WaitForMem) {
        NotifyForms(4, &active_.CurAdr);
    }
    active_.DoneBytes = static_cast<std::int32_t>(offset + count);
    if (!IsWriteReadState(ConState)) {
        Progress().UpdateProgress();
    }
    InsertTimeOutMess(DataTimeOutMs(RET, ComBaud));
}

bool TRavlo_MA_Process::DataEnded(std::span<const std::uint8_t> frame, std::string_view unexpectedText) {
    switch (frame[0]) {
    case ft_MemD:
        MemoryData(frame);
        return false;
    case ft_MemE:
        return true;
    default:
        if (!unexpectedText.empty()) {
            throw EMaProtocolError(std::string(unexpectedText));
        }
        Unexpected(frame[0]);
    }
}

std::uint32_t TRavlo_MA_Process::BufferBase() const {
    // A write's head and tail reads fill the buffer that starts at the write's first board block.
    if (IsWriteReadState(ConState)) {
        return FarPtrToLin(active_.StartAdr) / writeBlock_ * writeBlock_;
    }
    return FarPtrToLin(active_.FirstAdr);
}

bool TRavlo_MA_Process::PieceComplete() const {
    // By buffer offsets: the address after the last byte of the address space wraps round to 0.
    const std::int64_t pieceEnd =
        static_cast<std::int64_t>(FarPtrToLin(LastFrameAdr)) - BufferBase() + LastFrameLen;
    return active_.DoneBytes >= pieceEnd;
}

bool TRavlo_MA_Process::DataStillDue() const {
    return FarPtrToLin(active_.CurAdr) <= FarPtrToLin(active_.EndAdr) && active_.DoneBytes < active_.Size;
}

void TRavlo_MA_Process::AnswerRqst(std::span<const std::uint8_t> frame) {
    const std::uint8_t type = frame[0];
    const auto answer = ParseRqstAnswer(frame);
    const DEV_VokType board = answer.Ok() ? answer.Value() : DEV_Unknown;
    if (board != DEV_Unknown) {
        const bool changed = Device != board;
        SetDevice(board);
        if (changed) {
            IdFollowUp = 1;
            ReadBiosId();
        }
    } else {
        SetDevice(DEV_Unknown);
        SetBiosId("???");
        Beep();
        ReportError(0, "Unknown Vok answered, Empt_$" + HexB(type), true);
        if ((MainForm().CmdLineFlags() & TMaMainForm::CL_Download) != 0) {
            MainForm().SetCmdLineFlags(0);
        }
    }
    SetConState(cs_idle);
    ContinueLink();
    PingAnswered = 1;
    // The identification ends a baud change that waited for it.
    active_.Done = 1;
    RunCmdLineSteps();
}

void TRavlo_MA_Process::RunCmdLineSteps() {
    if ((MainForm().CmdLineFlags() & TMaMainForm::CL_Download) != 0) {
        if (Project().IsFullProject()) {
            Project().DownloadProject();
            MainForm().SetCmdLineFlags(MainForm().CmdLineFlags() & ~TMaMainForm::CL_Download);
        } else {
            MainForm().DownloadApp_MenuItemClick();
        }
    }
    if ((MainForm().CmdLineFlags() & TMaMainForm::CL_Run) != 0) {
        MainForm().RunApp_MenuItemClick();
        MainForm().SetCmdLineFlags(MainForm().CmdLineFlags() & ~TMaMainForm::CL_Run);
    }
}

} // namespace ravlo
