// The program's debug frames: single frames sent through the queue as operations of their own, so
// that tags, time-outs and the keep-alive hold for them as for every other operation.
#include "framework/number_text.h"
#include "kernel/dlg_process.h"
#include "protocol/board_answers.h"
#include "protocol/ma_process.h"

#include <algorithm>
#include <string>

namespace ravlo {
namespace {

// What a box has room for of an answer's fields (three characters a byte).
constexpr std::size_t kShownDataBytes = 48;
constexpr std::uint32_t kParagraph = 16;

// "$D7 (Rqst)".
std::string TypeText(std::uint8_t type) {
    return "$" + HexB(type) + " (" + VokFrameName(type) + ")";
}

std::string AnswerText(std::uint8_t sent, std::span<const std::uint8_t> answer) {
    std::string text = "Frame " + TypeText(sent) + " answered with " + VokFrameName(answer[0]) + " ($" +
                       HexB(answer[0]) + ")\r\nData: ";
    const auto data = answer.subspan(std::min(answer.size(), TVokFrame::kHeaderLen));
    if (data.empty()) {
        return text + "none";
    }
    text += std::to_string(data.size()) + " bytes:";
    for (std::size_t i = 0; i < std::min(data.size(), kShownDataBytes); ++i) {
        text += " " + HexB(data[i]);
    }
    if (data.size() > kShownDataBytes) {
        text += " ...";
    }
    return text;
}

} // namespace

void TRavlo_MA_Process::SendDebugFrame(std::uint8_t type) {
    tRequest request;
    request.Kind = cs_WaitForDbgAnswer;
    request.Start = &TRavlo_MA_Process::StartDebugFrame;
    request.FrameType = type;
    Enqueue(std::move(request));
}

void TRavlo_MA_Process::CheckSumBlock(std::uint16_t segment, std::uint16_t paragraphs) {
    tRequest request;
    request.Kind = cs_WaitForCheckSum;
    request.Start = &TRavlo_MA_Process::StartDebugCheckSum;
    request.Text = "Checksum OK";
    request.StartAdr = MakeFarPtr(0, segment);
    request.CheckParagraphs = paragraphs;
    Enqueue(std::move(request));
}

bool TRavlo_MA_Process::LoadDebugBlock(TSegOfsPtr address, std::vector<std::uint8_t> data,
                                       std::string_view name) {
    if (data.empty() || PassesAddressSpaceEnd(address, data.size())) {
        // Nothing would go out, or the board's far pointers would wrap round to address 0.
        Beep();
        ShowText("Nothing to load: " + std::to_string(data.size()) + " bytes at " +
                     LinToStr(FarPtrToLin(address)) + " do not fit the address space ($00000 to $FFFFF).",
                 kDlgWarning);
        return false;
    }
    tRequest request;
    request.Kind = cs_WaitForDbgLoad;
    request.Start = &TRavlo_MA_Process::StartDebugLoad;
    request.Text = std::string(name);
    request.Size = static_cast<std::int32_t>(data.size());
    request.Buffer = std::move(data);
    request.FirstAdr = request.StartAdr = request.EndAdr = address;
    Enqueue(std::move(request));
    return true;
}

void TRavlo_MA_Process::StartDebugFrame() {
    RetryCount = 0;
    // Sent awaiting an answer whatever its type: what the board says to it is the point.
    PostRecord(TRavloCommFrameRec{0, 0, BuildBareFrame(active_.FrameType)});
}

void TRavlo_MA_Process::StartDebugCheckSum() {
    RetryCount = 0;
    active_.Remaining = 1;
    PostFrame(BuildChcksumFrame(active_.StartAdr.Seg, std::uint32_t{active_.CheckParagraphs} * kParagraph));
}

void TRavlo_MA_Process::StartDebugLoad() {
    RetryCount = 0;
    PostFrame(BuildLoadFrame(active_.StartAdr, active_.Buffer));
}

void TRavlo_MA_Process::AnswerDebugFrame(std::span<const std::uint8_t> frame) {
    // The first answer ends it; the rest of a longer answer finds the master idle.
    ShowText(AnswerText(active_.FrameType, frame), kDlgInformation);
    FinishOperation();
}

void TRavlo_MA_Process::AnswerDebugLoad(std::span<const std::uint8_t> frame) {
    const auto ack = ParseRqstAnswer(frame);
    if (!ack.Ok() || ack.Value() == DEV_Unknown) {
        Unexpected(frame[0]);
    }
    const std::string text = active_.Text + ": " + std::to_string(active_.Size) + " bytes loaded at " +
                             LinToStr(FarPtrToLin(active_.StartAdr));
    active_.FreeBuffer();
    FinishOperation();
    SetEventText("- " + text, 4);
    ShowText(text + ".", kDlgInformation);
}

void TRavlo_MA_Process::DebugFrameUnanswered(std::string_view how) {
    const std::string text =
        "Frame " + TypeText(active_.FrameType) + " got no answer from Vok (" + std::string(how) + ").";
    EndOperation();
    Beep();
    ReportError(0, text, true);
}

} // namespace ravlo
