#include "framework/number_text.h"
#include "platform/message_queue.h"
#include "protocol/board_answers.h"
#include "protocol/com_globals.h"
#include "protocol/comm_messages.h"
#include "protocol/comm_state.h"
#include "protocol/ma_messages.h"
#include "protocol/ma_process.h"

#include <algorithm>

namespace ravlo {
namespace {

constexpr std::uint8_t kByteWidth = 1;
constexpr std::uint8_t kWordWidth = 2;

void PostTo(WindowHandle window, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) {
    if (window != kNoWindow) {
        AppMessageQueue().Post(window, msg, wParam, lParam);
    }
}

// An answer of the expected type whose layout is wrong is a protocol fault.
[[noreturn]] void MalformedAnswer(std::uint8_t type, TFrameFault fault) {
    throw EMaProtocolError("Neocekavany typ zpravy: $" + HexB(type) + " (" + FrameFaultText(fault) + ")");
}

// The error value of the board's Err answer.
std::uint16_t ClockErrValue(std::span<const std::uint8_t> frame) {
    const auto error = ParseErr(frame);
    if (!error.Ok()) {
        MalformedAnswer(frame[0], error.Fault());
    }
    return error.Value();
}

// An IO request of the kind; the width follows from the access.
tRequest IORequest(std::uint8_t kind, tRequest::StartProc start, std::string descr, std::uint16_t port,
                   bool byteAccess, WindowHandle notify) {
    tRequest request;
    request.Kind = kind;
    request.Start = start;
    request.Descr = std::move(descr);
    request.Width = byteAccess ? kByteWidth : kWordWidth;
    request.Port = port;
    request.Notify = notify;
    return request;
}

} // namespace

void TRavlo_MA_Process::ReadIO(std::uint16_t port, bool byteAccess, WindowHandle notify) {
    Enqueue(IORequest(cs_WaitForIORead, &TRavlo_MA_Process::StartIORead, "Reading IO Data from Vok", port,
                      byteAccess, notify));
}

void TRavlo_MA_Process::WriteIO(std::uint16_t port, bool byteAccess, WindowHandle notify,
                                std::uint16_t value) {
    tRequest request = IORequest(cs_WaitForIOWrite, &TRavlo_MA_Process::StartIOWrite,
                                 "Writing IO Data to Vok", port, byteAccess, notify);
    request.Value = value;
    Enqueue(std::move(request));
}

void TRavlo_MA_Process::ReadRTC(WindowHandle notify, std::shared_ptr<TClockBuffer> buffer) {
    tRequest request;
    request.Kind = cs_WaitForGetRTC;
    request.Start = &TRavlo_MA_Process::StartGetRTC;
    request.Notify = notify;
    request.ClockBuffer = std::move(buffer);
    Enqueue(std::move(request));
}

void TRavlo_MA_Process::WriteRTC(WindowHandle notify, const TVokClockRec& time) {
    tRequest request;
    request.Kind = cs_WaitForSetRTC;
    request.Start = &TRavlo_MA_Process::StartSetRTC;
    request.Notify = notify;
    request.Clock = time;
    Enqueue(std::move(request));
}

void TRavlo_MA_Process::StartIORead() {
    RetryCount = 0;
    PostFrame(active_.Width == kByteWidth ? BuildIORdFrame(active_.Port) : BuildIORdWFrame(active_.Port));
}

void TRavlo_MA_Process::StartIOWrite() {
    RetryCount = 0;
    PostFrame(active_.Width == kByteWidth
                  ? BuildIOWrFrame(active_.Port, static_cast<std::uint8_t>(active_.Value & 0xFF))
                  : BuildIOWrWFrame(active_.Port, active_.Value));
    active_.Done = 1;
}

void TRavlo_MA_Process::StartGetRTC() {
    RetryCount = 0;
    PostFrame(BuildGetRTCFrame());
}

void TRavlo_MA_Process::StartSetRTC() {
    RetryCount = 0;
    PostFrame(BuildSetRTCFrame(active_.Clock));
}

void TRavlo_MA_Process::AnswerIORead(std::span<const std::uint8_t> frame) {
    const std::uint8_t type = frame[0];
    if (type == ft_MemE) {
        FinishIORead();
        return;
    }
    if (type != ft_cIORd && type != ft_cIORdW) {
        Unexpected(type);
    }
    const auto answer = ParseIORead(frame);
    if (!answer.Ok()) {
        MalformedAnswer(type, answer.Fault());
    }
    if (answer->Port != active_.Port) {
        throw EMaProtocolError("Neocekavana IO adresa pri cteni");
    }
    PostTo(active_.Notify, wm_IORdDone, answer->Value, answer->Width);
    ++dataSinceSend_;
    // MemE follows; should it be lost, the time-out ends the read.
    InsertTimeOutMess(DataTimeOutMs(RET, ComBaud));
}

void TRavlo_MA_Process::FinishIORead() {
    FinishOperation();
    SetEventText("- Data were read from IO address $" + HexW(active_.Port), 4);
}

void TRavlo_MA_Process::AnswerIOWrite(std::span<const std::uint8_t>) {
    PostTo(active_.Notify, wm_IOWrDone, 0, 0);
    FinishOperation();
    SetEventText("- Data were written to IO address $" + HexW(active_.Port), 4);
}

void TRavlo_MA_Process::AnswerGetRTC(std::span<const std::uint8_t> frame) {
    const std::uint8_t type = frame[0];
    if (type == ft_Err) {
        PostTo(active_.Notify, wm_RTCErr, ClockErrValue(frame), 0);
        active_.ClockBuffer.reset();
        FinishOperation();
        return;
    }
    if (type != ft_SetRTC) {
        Unexpected(type);
    }
    if (frame.size() < kClockAnswerLen) {
        // A clock answer too short to hold the time: the read failed.
        ClockFailed(kRTCErrReadFailed);
        return;
    }
    if (active_.ClockBuffer) {
        std::copy_n(frame.begin(), kClockAnswerLen, active_.ClockBuffer->begin());
    }
    PostTo(active_.Notify, wm_RTCRdOk, 0, 0);
    active_.ClockBuffer.reset();
    FinishOperation();
    SetEventText("- Real Time Clock were read", 4);
}

void TRavlo_MA_Process::AnswerSetRTC(std::span<const std::uint8_t> frame) {
    const std::uint8_t type = frame[0];
    if (type == ft_Err) {
        PostTo(active_.Notify, wm_RTCErr, ClockErrValue(frame), 0);
        FinishOperation();
        return;
    }
    if (type != ft_Empt386 && type != ft_Empt188) {
        Unexpected(type);
    }
    PostTo(active_.Notify, wm_RTCWrOk, 0, 0);
    FinishOperation();
    SetEventText("- Real Time Clock were written", 4);
}

} // namespace ravlo
