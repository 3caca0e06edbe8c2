#include "framework/number_text.h"
#include "platform/presenter.h"
#include "protocol/bios_id.h"
#include "protocol/board_answers.h"
#include "protocol/com_globals.h"
#include "protocol/comm_messages.h"
#include "protocol/comm_state.h"
#include "protocol/ma_process.h"
#include "protocol/ma_timeouts.h"

#include <algorithm>
#include <string>

namespace ravlo {
namespace {

constexpr TSegOfsPtr kId386Adr = MakeFarPtr(0x0040, 0x0050);
constexpr TSegOfsPtr kId386End = MakeFarPtr(0x0840, 0x0050);
constexpr TSegOfsPtr kBiosIdPtrAdr = MakeFarPtr(0x00CC, 0xFFF0);
constexpr TSegOfsPtr kBiosIdPtrEnd = MakeFarPtr(0x00D0, 0xFFF0);
constexpr TSegOfsPtr kFlashTypeAdr = MakeFarPtr(0x046B, 0x0000);
constexpr std::uint32_t kIdStringLen = 64;
constexpr std::size_t kIdStringBuffer = 256;

// The zero-terminated text at the start of the buffer (the whole buffer when no zero ends it).
std::string ZeroTerminated(const std::vector<std::uint8_t>& buffer) {
    const auto end = std::find(buffer.begin(), buffer.end(), std::uint8_t{0});
    return std::string(buffer.begin(), end);
}

std::string DeviceText(std::uint8_t device) {
    const std::string_view name = DeviceName(device);
    return name.empty() ? "Unknown Vok" : std::string(name);
}

} // namespace

std::string TRavlo_MA_Process::BiosVersionText() const {
    return ravlo::BiosVersionText(BiosVersion);
}

void TRavlo_MA_Process::ReadBiosId() {
    tRequest request;
    request.Start = &TRavlo_MA_Process::StartBiosId;
    request.Buffer.assign(kIdBufferSize, 0);
    if (Device == DEV_Vok386) {
        request.Kind = cs_WaitForId386;
        request.FirstAdr = request.StartAdr = request.CurAdr = kId386Adr;
        request.EndAdr = kId386End;
    } else {
        request.Kind = cs_WaitForBiosId;
        request.FirstAdr = request.StartAdr = request.CurAdr = kBiosIdPtrAdr;
        request.EndAdr = kBiosIdPtrEnd;
    }
    request.Size = static_cast<std::int32_t>(request.Buffer.size());
    Enqueue(std::move(request), true);
}

void TRavlo_MA_Process::ReadBiosIdString(TSegOfsPtr pointer) {
    tRequest request;
    request.Kind = cs_WaitForBiosIdString;
    request.Start = &TRavlo_MA_Process::StartBiosIdString;
    request.Buffer.assign(kIdStringBuffer, 0);
    request.Buffer[0] = '?';
    request.Size = static_cast<std::int32_t>(request.Buffer.size());
    request.FirstAdr = request.StartAdr = request.CurAdr = pointer;
    request.EndAdr = LinToFarPtr(FarPtrToLin(pointer) + kIdStringLen);
    Enqueue(std::move(request), true);
}

void TRavlo_MA_Process::ReadFlashType() {
    tRequest request;
    request.Kind = cs_WaitForBiosIdFlashType;
    request.Start = &TRavlo_MA_Process::StartFlashType;
    request.Buffer.assign(kIdBufferSize, 0);
    request.Size = static_cast<std::int32_t>(request.Buffer.size());
    request.FirstAdr = request.StartAdr = request.CurAdr = kFlashTypeAdr;
    request.EndAdr = kFlashTypeAdr;
    Enqueue(std::move(request), true);
}

void TRavlo_MA_Process::StartBiosId() {
    RetryCount = 0;
    if (ConState == cs_WaitForId386) {
        SendBareFrame(ft_GetID);
    } else {
        SendMem(active_.StartAdr, 4);
    }
}

void TRavlo_MA_Process::StartBiosIdString() {
    RetryCount = 0;
    SendMem(active_.StartAdr, kIdStringLen);
}

void TRavlo_MA_Process::StartFlashType() {
    RetryCount = 0;
    SendMem(active_.StartAdr, 1);
}

// The identification as the box shows it (the two boards' boxes align the ident line differently).
std::string TRavlo_MA_Process::IdentificationText(std::string_view identLabel, std::uint8_t flash,
                                                  bool vok386) const {
    return "BIOS version:   " + BiosVersionText() + "\r\n" + std::string(identLabel) + BiosIdText +
           "\r\nFLASH ident.:  $" + HexB(flash) + "\r\nFLASH type:     " + FlashTypeText(flash, vok386);
}

// Ends an identification: shows its text, or (after a board change) goes on with the baud change.
void TRavlo_MA_Process::FinishIdentification(const std::string& text, const std::string& caption) {
    active_.FreeBuffer();
    FinishOperation();
    if (IdFollowUp == 0) {
        GetPresenter().MessageBox(text, caption, MB_OK | MB_ICONASTERISK);
        return;
    }
    IdFollowUp = 0;
    if (CurBaud != BDLD) {
        ChangeBaud();
    }
}

bool TRavlo_MA_Process::IdentificationComplete() {
    bool complete = false;
    if (ConState == cs_WaitForId386) {
        // GetID names no length: the text, its zero and the flash code behind it.
        const std::vector<std::uint8_t>& buffer = active_.Buffer;
        const auto end =
            buffer.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(
                                 static_cast<std::size_t>(std::max(active_.DoneBytes, 0)), buffer.size()));
        const auto zero = std::find(buffer.begin(), end, std::uint8_t{0});
        complete = zero != end && zero + 1 != end;
    } else if (ConState == cs_WaitForBiosIdFlashType) {
        complete = active_.DoneBytes > 0;
    } else {
        complete = PieceComplete();
    }
    if (!complete) {
        InsertTimeOutMess(EarlyEndTimeOutMs(RET, ComBaud));
    }
    return complete;
}

void TRavlo_MA_Process::AnswerId386(std::span<const std::uint8_t> frame) {
    if (!DataEnded(frame, "Neocekavana zprava ve stavu _WaitForId386") || !IdentificationComplete()) {
        return;
    }
    Progress().CloseProgress();
    const std::vector<std::uint8_t>& buffer = active_.Buffer;
    if (buffer[0] == '?') {
        SetEventText("- Error while reading Bios Id", 1);
        ShowText("Error while reading Bios Id!", 1);
    }
    const std::string id = ZeroTerminated(buffer);
    const std::uint8_t flash = id.size() + 1 < buffer.size() ? buffer[id.size() + 1] : 0;
    SetBiosId(id);
    FinishIdentification(IdentificationText("BIOS  ident.:   ", flash, true),
                         "Bios identification of Vok386");
}

void TRavlo_MA_Process::AnswerBiosId(std::span<const std::uint8_t> frame) {
    if (!DataEnded(frame, "Neocekavana zprava ve stavu _WaitForBiosId") || !IdentificationComplete()) {
        return;
    }
    Progress().CloseProgress();
    const std::vector<std::uint8_t>& buffer = active_.Buffer;
    if (std::all_of(buffer.begin(), buffer.begin() + 4, [](std::uint8_t b) { return b == 0; })) {
        SetEventText("- Error while reading Bios Id", 1);
        ShowText("Error while reading Bios Id!", 1);
    } else {
        ReadBiosIdString(TSegOfsPtr::FromPacked(MakeDWord(buffer[0], buffer[1], buffer[2], buffer[3])));
    }
    active_.FreeBuffer();
    FinishOperation();
}

void TRavlo_MA_Process::AnswerBiosIdString(std::span<const std::uint8_t> frame) {
    if (!DataEnded(frame, "Neocekavana zprava ve stavu _WaitForBiosIdString") || !IdentificationComplete()) {
        return;
    }
    Progress().CloseProgress();
    if (active_.Buffer[0] == '?') {
        SetEventText("- Error while reading Bios Id", 1);
        ShowText("Error while reading Bios Id!", 1);
    }
    SetBiosId(ZeroTerminated(active_.Buffer));
    ReadFlashType();
    active_.FreeBuffer();
    FinishOperation();
}

void TRavlo_MA_Process::AnswerFlashType(std::span<const std::uint8_t> frame) {
    if (frame[0] == ft_MemD) {
        if (frame.size() < kBlockFrameHeaderLen) {
            throw EMaProtocolError("Neocekavana zprava ve stavu _WaitForBiosIdFlashType");
        }
        const TSegOfsPtr address = FrameFarPtr(frame, kBlockFrameAddressAt);
        if (FarPtrToLin(address) != FarPtrToLin(active_.CurAdr)) {
            throw EMaProtocolError(
                "Neshodne adresy ve WaiForBiosIdFlashType recv.adr=" + HexDW(address.Packed()) +
                " qq_addr2.adr=" + HexDW(active_.CurAdr.Packed()));
        }
        if (FrameU16(frame, kBlockFrameCountAt) > 0 && frame.size() > kBlockFrameHeaderLen) {
            active_.Buffer.back() = frame[kBlockFrameHeaderLen];
            active_.DoneBytes = 1;
        }
        InsertTimeOutMess(DataTimeOutMs(RET, ComBaud));
        return;
    }
    if (frame[0] != ft_MemE) {
        throw EMaProtocolError("Neocekavana zprava ve stavu _WaitForBiosIdFlashType");
    }
    if (!IdentificationComplete()) {
        return;
    }
    const std::uint8_t flash = active_.Buffer.back();
    FinishIdentification(IdentificationText("BIOS   ident.:   ", flash, Device == DEV_Vok386),
                         "Bios identification of " + DeviceText(Device));
}

} // namespace ravlo
