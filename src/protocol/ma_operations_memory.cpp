#include "framework/app_names.h"
#include "framework/board_address.h"
#include "framework/number_text.h"
#include "kernel/dlg_process.h"
#include "platform/atomic_file.h"
#include "protocol/com_globals.h"
#include "protocol/ma_process.h"

#include <string>

namespace ravlo {
namespace {

constexpr std::uint32_t kPiece = 256;
constexpr std::size_t kShortStringMax = 255;
constexpr TSegOfsPtr kSetup188Adr = MakeFarPtr(0x0000, 0xFFE0);
constexpr TSegOfsPtr kSetup386Adr = MakeFarPtr(0x0000, 0xFFF0);

std::string ShortText(std::string_view text) {
    return std::string(text.substr(0, kShortStringMax));
}

// A request that reads length (at least 1) bytes from address into a fresh buffer.
tRequest ReadRequest(std::uint8_t kind, std::string_view descr, TSegOfsPtr address, std::uint32_t length) {
    tRequest request;
    request.Kind = kind;
    request.Descr = std::string(descr);
    request.Buffer.assign(length, 0);
    request.Size = request.Remaining = static_cast<std::int32_t>(length);
    const std::uint32_t lin = FarPtrToLin(address);
    request.FirstAdr = request.StartAdr = request.CurAdr = LinToFarPtr(lin);
    request.EndAdr = LinToFarPtr(lin + length - 1);
    return request;
}

constexpr std::string_view kPassesEndText = "passes the end of the address space ($FFFFF).";

std::string ReadEventText(std::int32_t size, TSegOfsPtr first) {
    return "- " + std::to_string(size) + " bytes have been read from " + LinToStr(FarPtrToLin(first));
}

} // namespace

void TRavlo_MA_Process::Enqueue(tRequest request, bool atHead) {
    request.Done = 0;
    if (atHead) {
        queue_.push_front(std::move(request));
    } else {
        queue_.push_back(std::move(request));
    }
}

bool TRavlo_MA_Process::WriteRomModule(TSegOfsPtr address, std::vector<std::uint8_t> data,
                                       std::string_view name) {
    const std::uint32_t lin = FarPtrToLin(address);
    const auto length = static_cast<std::uint32_t>(data.size());
    if (!WriteMemBlock(address, std::move(data), name)) {
        return false;
    }
    // The board sums whole paragraphs from segment:0000; a module starts on one.
    queue_.back().CheckSegment = static_cast<std::uint16_t>(lin >> 4);
    queue_.back().CheckLength = length;
    return true;
}

bool TRavlo_MA_Process::WriteMemBlock(TSegOfsPtr address, std::vector<std::uint8_t> data,
                                      std::string_view name) {
    if (data.empty()) {
        // A write of nothing would send no frame and wait for ever.
        Beep();
        ShowText("Nothing to write: the block \"" + ShortText(name) + "\" is empty.", kDlgWarning);
        return false;
    }
    if (PassesAddressSpaceEnd(address, data.size())) {
        Beep();
        ShowText("Nothing to write: the block \"" + ShortText(name) + "\" " + std::string(kPassesEndText),
                 kDlgWarning);
        return false;
    }
    tRequest request;
    request.Kind = cs_WaitForLd;
    request.Start = &TRavlo_MA_Process::StartWrite;
    request.Descr = "Writing Data to Vok";
    request.Text = ShortText(name);
    request.Size = request.Remaining = static_cast<std::int32_t>(data.size());
    request.Buffer = std::move(data);
    request.FirstAdr = request.StartAdr = request.CurAdr = LinToFarPtr(FarPtrToLin(address));
    Enqueue(std::move(request));
    return true;
}

bool TRavlo_MA_Process::ReadMemBlock(TSegOfsPtr address, std::uint32_t length,
                                     const std::filesystem::path& file, TReadFileMode mode) {
    if (length == 0) {
        Beep();
        ShowText("Nothing to read: the length is 0.", kDlgWarning);
        return false;
    }
    if (PassesAddressSpaceEnd(address, length)) {
        Beep();
        ShowText("Nothing to read: the block " + std::string(kPassesEndText), kDlgWarning);
        return false;
    }
    tRequest request = ReadRequest(cs_WaitForMem, "Reading Data from Vok", address, length);
    request.Start = &TRavlo_MA_Process::StartRead;
    request.ResultFile = file;
    request.FileMode = mode;
    request.Text = ShortText(PathText(file));
    Enqueue(std::move(request));
    return true;
}

bool TRavlo_MA_Process::ReadMemPage(TSegOfsPtr address, WindowHandle notify) {
    if (PassesAddressSpaceEnd(address, kPiece)) {
        Beep();
        ShowText("Nothing to read: the page at " + LinToStr(FarPtrToLin(address)) + " " +
                     std::string(kPassesEndText),
                 kDlgWarning);
        return false;
    }
    tRequest request = ReadRequest(cs_WaitForMemView, "Reading Data from Vok", address, kPiece);
    request.Start = &TRavlo_MA_Process::StartPage;
    request.Notify = notify;
    Enqueue(std::move(request));
    return true;
}

void TRavlo_MA_Process::ReadSetup188() {
    tRequest request = ReadRequest(cs_WaitForCfg188, "Reading Setup Vok188", kSetup188Adr, kPiece);
    request.Start = &TRavlo_MA_Process::StartPage;
    Enqueue(std::move(request));
}

void TRavlo_MA_Process::ReadSetup386() {
    tRequest request = ReadRequest(cs_WaitForCfg386, "Reading Setup Vok386", kSetup386Adr, kPiece);
    request.Start = &TRavlo_MA_Process::StartPage;
    Enqueue(std::move(request));
}

bool TRavlo_MA_Process::WriteSetup188(std::vector<std::uint8_t> data) {
    return WriteMemBlock(kSetup188Adr, std::move(data), "Setup Vok188");
}

bool TRavlo_MA_Process::WriteSetup386(std::vector<std::uint8_t> data) {
    return WriteMemBlock(kSetup386Adr, std::move(data), "Setup Vok386");
}

void TRavlo_MA_Process::StartPage() {
    RetryCount = 0;
    SendMem(active_.StartAdr, kPiece);
    Progress().ShowProgress();
}

void TRavlo_MA_Process::StartRead() {
    RetryCount = 0;
    while (active_.Remaining > static_cast<std::int32_t>(kPiece)) {
        SendMem(active_.StartAdr, kPiece);
        active_.Remaining -= kPiece;
        active_.StartAdr = LinToFarPtr(FarPtrToLin(active_.StartAdr) + kPiece);
    }
    if (active_.Remaining > 0) {
        SendMem(active_.StartAdr, static_cast<std::uint16_t>(active_.Remaining));
    }
    SetConState(cs_WaitForMem);
    Progress().ShowProgress();
}

void TRavlo_MA_Process::StartWrite() {
    RetryCount = 0;
    switch (Device) {
    case DEV_VokV40:
    case DEV_Vok188:
        writeBlock_ = 256;
        break;
    case DEV_Vok386:
        writeBlock_ = 512;
        break;
    default:
        throw EMaProtocolError("Internal error: frq_load and unknown DEV_VokType: dev_$" + HexB(Device));
    }
    WriteHeadStep();
    Progress().ShowProgress();
}

// Reads the board's bytes between the block boundary and the start, so that the first Load
// rewrites them as they are.
void TRavlo_MA_Process::WriteHeadStep() {
    const std::uint32_t start = FarPtrToLin(active_.StartAdr);
    const std::uint32_t head = start % writeBlock_;
    if (head == 0) {
        WriteTailStep();
        return;
    }
    active_.Buffer.insert(active_.Buffer.begin(), head, 0);
    active_.Size += static_cast<std::int32_t>(head);
    active_.CurAdr = LinToFarPtr(start - head);
    active_.Remaining = static_cast<std::int32_t>(head);
    active_.EndAdr = LinToFarPtr(start - 1);
    active_.DoneBytes = 0;
    SetConState(writeBlock_ == 256 ? cs_WaitForLdBeg256 : cs_WaitForLdBeg512);
    SendMem(active_.CurAdr, static_cast<std::uint16_t>(head));
}

// Reads the board's bytes between the end and the next block boundary.
void TRavlo_MA_Process::WriteTailStep() {
    const std::uint32_t base = FarPtrToLin(active_.StartAdr) / writeBlock_ * writeBlock_;
    active_.StartAdr = LinToFarPtr(base);
    const std::uint32_t dataEnd = base + static_cast<std::uint32_t>(active_.Size);
    const std::uint32_t blockEnd = (dataEnd + writeBlock_ - 1) / writeBlock_ * writeBlock_;
    const std::uint32_t tail = blockEnd - dataEnd;
    if (tail == 0) {
        WriteLoadStep();
        return;
    }
    active_.CurAdr = LinToFarPtr(dataEnd);
    active_.Buffer.resize(active_.Buffer.size() + tail, 0);
    active_.EndAdr = LinToFarPtr(blockEnd - 1);
    active_.DoneBytes = active_.Size;
    active_.Size += static_cast<std::int32_t>(tail);
    SetConState(writeBlock_ == 256 ? cs_WaitForLdEnd256 : cs_WaitForLdEnd512);
    SendMem(active_.CurAdr, static_cast<std::uint16_t>(tail));
}

// Every Load is posted at once; each waits for its acknowledgement before the next goes out.
void TRavlo_MA_Process::WriteLoadStep() {
    active_.Remaining = active_.Size;
    active_.FirstAdr = active_.StartAdr;
    active_.CurAdr = active_.StartAdr;
    active_.DoneBytes = 0;
    SetConState(cs_WaitForLd);
    std::size_t offset = 0;
    while (active_.Remaining >= static_cast<std::int32_t>(writeBlock_)) {
        PostFrame(BuildLoadFrame(active_.StartAdr, std::span(active_.Buffer).subspan(offset, writeBlock_)));
        active_.EndAdr = active_.StartAdr;
        active_.StartAdr = LinToFarPtr(FarPtrToLin(active_.StartAdr) + writeBlock_);
        active_.Remaining -= static_cast<std::int32_t>(writeBlock_);
        offset += writeBlock_;
    }
}

void TRavlo_MA_Process::AnswerWrite(std::span<const std::uint8_t> frame) {
    const std::uint8_t type = frame[0];
    if ((type != ft_EmptV40 && type != ft_Empt386 && type != ft_Empt188) ||
        CheckBareAnswer(frame, type) != TFrameFault::None) {
        Unexpected(type);
    }
    RetryCount = 0;
    active_.DoneBytes =
        static_cast<std::int32_t>(FarPtrToLin(LastFrameAdr) - FarPtrToLin(active_.FirstAdr)) + LastFrameLen;
    NotifyForms(4, &active_.CurAdr);
    if (FarPtrToLin(LastFrameAdr) != FarPtrToLin(active_.EndAdr)) {
        ContinueLink();
        Progress().UpdateProgress();
        return;
    }
    // The last Load is acknowledged; a module is done when the board's checksum confirms it.
    if (active_.CheckLength > 0) {
        ContinueLink();
        SetConState(cs_WaitForCheckSum);
        PostFrame(BuildChcksumFrame(active_.CheckSegment, active_.CheckLength));
        return;
    }
    CompleteWrite();
}

void TRavlo_MA_Process::AnswerWriteCheck(std::span<const std::uint8_t> frame) {
    const auto intact = ParseCheckAnswer(frame);
    if (!intact.Ok()) {
        Unexpected(frame[0]);
    }
    if (intact.Value()) {
        CompleteWrite();
        return;
    }
    const std::string name = active_.Text;
    SetEventText("- Error, \"" + name + "\" was not confirmed by the Vok's checksum", 1);
    EndOperation();
    ClearQueues();
    Beep();
    ReportError(0, "Loading \"" + name + "\" failed: the Vok's checksum of the module does not confirm it.",
                true);
}

void TRavlo_MA_Process::CompleteWrite() {
    active_.FreeBuffer();
    FinishOperation();
    Progress().CloseProgress();
    MainForm().SetDownloadOk(true);
    if (queue_.empty()) {
        if (active_.Text.find("Setup") != std::string::npos) {
            SetEventText("- Setup was written", 4);
            ShowText("Writing successfully completed\rChanges will be used after the Vok reset", 0);
        } else {
            SetEventText("- File \"" + active_.Text + "\" has been loaded", 4);
            ShowText("Writing successfully completed", 4);
        }
    }
    if (MainForm().RunOk() && (MainForm().CmdLineFlags() & TMaMainForm::CL_Exit) != 0) {
        MainForm().Exit_ActionExecute();
    }
}

void TRavlo_MA_Process::AnswerWriteRead(std::span<const std::uint8_t> frame) {
    if (!DataEnded(frame)) {
        return;
    }
    if (!PieceComplete()) {
        InsertTimeOutMess(EarlyEndTimeOutMs(RET, ComBaud));
        return;
    }
    ContinueLink();
    RetryCount = 0;
    if (ConState == cs_WaitForLdBeg256 || ConState == cs_WaitForLdBeg512) {
        WriteTailStep();
    } else {
        WriteLoadStep();
    }
}

void TRavlo_MA_Process::AnswerMemView(std::span<const std::uint8_t> frame) {
    if (frame[0] != ft_MemD && frame[0] != ft_MemE) {
        Beep();
    }
    if (!DataEnded(frame)) {
        return;
    }
    if (!PieceComplete()) {
        // Part of the page was lost: read it again (or give up after the repeats).
        Beep();
        RetryOrFail("Reading 256 byte of memory failed - no answer from Vok.", false);
        return;
    }
    Progress().CloseProgress();
    const std::int32_t size = active_.Size;
    Views().ShowMemPage(active_.Notify, active_.FirstAdr, active_.TakeBuffer());
    FinishOperation();
    SetEventText(ReadEventText(size, active_.FirstAdr), 4);
}

void TRavlo_MA_Process::AnswerSetup(std::span<const std::uint8_t> frame) {
    if (!DataEnded(frame)) {
        return;
    }
    if (!PieceComplete()) {
        // Part of the block was lost: its time-out reads it again.
        InsertTimeOutMess(EarlyEndTimeOutMs(RET, ComBaud));
        throw EMaProtocolError("Neocekavany konec dat v Mem256");
    }
    Progress().CloseProgress();
    const bool is188 = ConState == cs_WaitForCfg188;
    FinishOperation();
    SetEventText(is188 ? "- Bios Setup Vok188ER has been read" : "- Bios Setup Vok386EXR has been read", 4);
    // The block leaves the finished read: a time-out or a lost link while the dialog is open has
    // nothing of it to free.
    std::vector<std::uint8_t> block = active_.TakeBuffer();
    if (is188) {
        Views().EditConfig188(std::move(block));
    } else {
        Views().EditConfig386(std::move(block));
    }
}

void TRavlo_MA_Process::AnswerMem(std::span<const std::uint8_t> frame) {
    if (!DataEnded(frame)) {
        return;
    }
    // A piece is in when every byte its _Mem asked for is: a MemE alone says nothing of which.
    if (!PieceComplete()) {
        InsertTimeOutMess(EarlyEndTimeOutMs(RET, ComBaud));
        return;
    }
    if (DataStillDue()) {
        // The next piece goes out.
        SetConState(cs_WaitForMem);
        ContinueLink();
        RetryCount = 0;
        return;
    }
    FinishOperation();
    SaveReadBlock();
}

// Appends the block to the file the read window named, or puts it in the file's place. The file is
// replaced whole, so a write that fails leaves it as it was.
void TRavlo_MA_Process::SaveReadBlock() {
    const std::filesystem::path& file = active_.ResultFile;
    const std::int32_t size = active_.Size;
    std::string contents;
    if (active_.FileMode == TReadFileMode::Append) {
        contents = ReadFileBytes(file).value_or(std::string());
    }
    contents.append(active_.Buffer.begin(), active_.Buffer.begin() + size);
    const bool written = WriteFileAtomic(file, contents);
    active_.FreeBuffer();
    Progress().CloseProgress();
    if (!written) {
        SetEventText("- Error, file \"" + active_.Text + "\" can't be written", 1);
        Beep();
        ReportError(0, "Memory block was read, but file \"" + active_.Text + "\" can't be written.", true);
        return;
    }
    SetEventText(ReadEventText(size, active_.FirstAdr), 4);
    ShowText("Memory block successfully read.", 4);
}

} // namespace ravlo
