#include "kernel/proc_mess.h"

#include "framework/number_text.h"
#include "framework/writer_channels.h"
#include "kernel/sys_addr.h"
#include "platform/exception.h"
#include "platform/message_queue.h"
#include "platform/window_messages.h"

#include <algorithm>
#include <memory>

namespace ravlo {
namespace {

constexpr std::size_t kTraceDataBytes = 50;
constexpr std::size_t kShortStringMax = 255;

std::string HexPairs(std::span<const std::uint8_t> bytes) {
    return HexBuf(bytes, std::min(bytes.size(), kShortStringMax / 2));
}

} // namespace

TProcMess TProcMess::Create(const TProcAdr& dest, const TProcAdr& src, std::uint8_t par1, std::uint8_t par2,
                            std::uint8_t code, std::span<const std::uint8_t> data) {
    if (data.size() > TProcMessHdr::kMaxDataLen) {
        throw ERangeError("process message data of " + std::to_string(data.size()) + " bytes exceeds " +
                          std::to_string(TProcMessHdr::kMaxDataLen));
    }
    const std::size_t length = TProcMessHdr::kSize + data.size();
    TProcMess mess(TMemL::Create(length));
    std::span<std::uint8_t> block = mess.GetSpan();
    block[TProcMessHdr::kResOffset] = 0;
    WriteProcAdr(block.subspan(TProcMessHdr::kDestOffset), dest);
    WriteProcAdr(block.subspan(TProcMessHdr::kSrcOffset), src);
    block[TProcMessHdr::kPar1Offset] = par1;
    block[TProcMessHdr::kPar2Offset] = par2;
    block[TProcMessHdr::kCodeOffset] = code;
    std::copy(data.begin(), data.end(), block.begin() + TProcMessHdr::kSize);
    return mess;
}

TProcMess TProcMess::FromPosted(std::uintptr_t wParam, std::intptr_t lParam) {
    // The block was made with make_unique<std::uint8_t[]> and released by SendProcMess.
    std::unique_ptr<std::uint8_t[]> block(reinterpret_cast<std::uint8_t*>(lParam));
    return TProcMess(TMem::CreateAttach(std::move(block), std::min<std::uintptr_t>(wParam, TMem::kMaxSize)));
}

std::uint8_t TProcMess::HeadByte(std::size_t offset) const {
    return HasHead() ? GetSpan()[offset] : 0;
}

TProcAdr TProcMess::GetDest() const {
    return HasHead() ? ReadProcAdr(GetSpan().subspan(TProcMessHdr::kDestOffset)) : TProcAdr{};
}

TProcAdr TProcMess::GetSrc() const {
    return HasHead() ? ReadProcAdr(GetSpan().subspan(TProcMessHdr::kSrcOffset)) : TProcAdr{};
}

void TProcMess::GetAddresses(TProcAdr& dest, TProcAdr& src) const {
    dest = GetDest();
    src = GetSrc();
}

std::uint16_t TProcMess::GetLen() const {
    return HasHead() ? static_cast<std::uint16_t>(GetSpan()[0] | (GetSpan()[1] << 8)) : 0;
}

std::uint8_t TProcMess::GetRes() const {
    return HeadByte(TProcMessHdr::kResOffset);
}

std::uint8_t TProcMess::GetPar1() const {
    return HeadByte(TProcMessHdr::kPar1Offset);
}

std::uint8_t TProcMess::GetPar2() const {
    return HeadByte(TProcMessHdr::kPar2Offset);
}

std::uint8_t TProcMess::GetCode() const {
    return HasHead() ? GetSpan()[TProcMessHdr::kCodeOffset] : kNoMessCode;
}

void TProcMess::SetCode(std::uint8_t code) {
    if (HasHead()) {
        GetSpan()[TProcMessHdr::kCodeOffset] = code;
    }
}

const std::uint8_t* TProcMess::GetData() const {
    return GetDataLen() == 0 ? nullptr : GetSpan().data() + TProcMessHdr::kSize;
}

std::size_t TProcMess::GetDataLen() const {
    // The smaller of the head's length and the block's: a block never claims bytes it lacks.
    const std::size_t length = std::min<std::size_t>(GetLen(), GetSize());
    return length > TProcMessHdr::kSize ? length - TProcMessHdr::kSize : 0;
}

bool TProcMess::SendProcMess() {
    const std::uint16_t logA = GetDest().LogA;
    const WindowHandle window = GetSysAddrHandle(logA);
    const std::uint16_t length = GetSize();
    if (window != kNoWindow && HasData()) {
        std::uint8_t* block = TMem::GetData();
        // The queue frees the block itself should the message never be delivered.
        const bool posted =
            AppMessageQueue().Post(window, wm_ProcMess, length, reinterpret_cast<std::intptr_t>(block),
                                   [block] { std::unique_ptr<std::uint8_t[]> dropped(block); });
        if (posted) {
            static_cast<void>(ReleaseData().release()); // the posted message owns the block now
            return true;
        }
    }
    WriteErrsys(0, "TProcMess.SendProcMess PostMessage Error LogA=$" + HexW(logA) + ",Hnd=$" + HexDW(window));
    Writelnsys(0, "disposed " + MessToStr());
    Clear();
    return false;
}

std::string TProcMess::ResStr() const {
    return HasHead() ? HexB(GetRes()) : kUndefText;
}

std::string TProcMess::DestStr() const {
    return HasHead() ? ProcAdrStr(GetDest()) : kUndefText;
}

std::string TProcMess::SrcStr() const {
    return HasHead() ? ProcAdrStr(GetSrc()) : kUndefText;
}

std::string TProcMess::CodeStr() const {
    return HasHead() ? HexB(GetCode()) : kUndefText;
}

std::string TProcMess::MessText() const {
    if (!HasHead()) {
        return kUndefText;
    }
    std::string text = DestStr() + "<-" + SrcStr();
    if (GetPar1() != 0 || GetPar2() != 0) {
        text += "(" + HexB(GetPar1()) + "," + HexB(GetPar2()) + ")";
    }
    text += " " + CodeStr();
    if (GetDataLen() != 0) {
        text += " " + DataStr();
    }
    return text.substr(0, kShortStringMax);
}

std::string TProcMess::DataStr() const {
    return HasHead() ? HexPairs(DataSpan()) : kUndefText;
}

std::string TProcMess::MessToStr() const {
    if (!HasHead()) {
        return std::string("(") + kUndefText + ")";
    }
    const std::span<const std::uint8_t> data = DataSpan();
    std::string text = HexW(GetLen()) + " " + ResStr() + " " + DestStr() + " " + SrcStr() + " (" +
                       HexB(GetPar1()) + "," + HexB(GetPar2()) + ") " + CodeStr() + " (" +
                       HexBuf(data, std::min(data.size(), kTraceDataBytes));
    if (data.size() > kTraceDataBytes) {
        text += "...";
    }
    return text + ")";
}

} // namespace ravlo
