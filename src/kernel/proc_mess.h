#pragma once

#include "framework/mem_block.h"
#include "kernel/proc_adr.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace ravlo {

// The 14-byte head of a process message block, little-endian:
// Len u16 (14 + data length), Res u8 (0), Dest 4 bytes, Src 4 bytes, Par1 u8, Par2 u8, Code u8.
struct TProcMessHdr {
    static constexpr std::size_t kLenOffset = 0;
    static constexpr std::size_t kResOffset = 2;
    static constexpr std::size_t kDestOffset = 3;
    static constexpr std::size_t kSrcOffset = 7;
    static constexpr std::size_t kPar1Offset = 11;
    static constexpr std::size_t kPar2Offset = 12;
    static constexpr std::size_t kCodeOffset = 13;
    static constexpr std::size_t kSize = 14;
    static constexpr std::size_t kMaxDataLen = 0xFFFF - kSize;
};

// What GetCode answers for a message without a block.
inline constexpr std::uint8_t kNoMessCode = 0xEE;

// A process message: one owned block with the head and the data behind it. Processes exchange them
// only by posting (SendProcMess); the block changes owner on the way, so each block is freed
// exactly once, by whoever holds it last. Descendants add no fields; they name their codes and data
// in the text operations.
class TProcMess : public TMemL {
public:
    TProcMess() = default;
    // Takes a block as it is (e.g. one that arrived with wm_ProcMess).
    explicit TProcMess(TMem&& block) : TMemL(std::move(block)) {}
    ~TProcMess() override = default;
    TProcMess(TProcMess&&) noexcept = default;
    TProcMess& operator=(TProcMess&&) noexcept = default;

    // Builds the block; more than kMaxDataLen data bytes raise ERangeError.
    static TProcMess Create(const TProcAdr& dest, const TProcAdr& src, std::uint8_t par1, std::uint8_t par2,
                            std::uint8_t code, std::span<const std::uint8_t> data = {});
    // Takes over the block of a wm_ProcMess (wParam its length, lParam its address) without copying.
    static TProcMess FromPosted(std::uintptr_t wParam, std::intptr_t lParam);
    // A copy with a block of its own.
    TProcMess Copy() const { return TProcMess(TMem::CreateCopy(*this)); }

    // Head fields; the null address, 0 and kNoMessCode for a message without a (whole) head.
    TProcAdr GetDest() const;
    TProcAdr GetSrc() const;
    void GetAddresses(TProcAdr& dest, TProcAdr& src) const;
    std::uint16_t GetLen() const;
    std::uint8_t GetRes() const;
    std::uint8_t GetPar1() const;
    std::uint8_t GetPar2() const;
    std::uint8_t GetCode() const;
    void SetCode(std::uint8_t code);
    bool HasHead() const { return GetSize() >= TProcMessHdr::kSize; }

    // The data behind the head; empty (GetData nullptr) while the block has no data byte.
    const std::uint8_t* GetData() const;
    std::size_t GetDataLen() const;
    std::span<const std::uint8_t> DataSpan() const { return {GetData(), GetDataLen()}; }

    // Posts the block as wm_ProcMess to the window that serves Dest.LogA. On success the block
    // belongs to the posted message; on failure (no window serves the address, or the post is
    // refused) an error line and the message text go to writer channel 0 and the block is freed.
    // Either way this object is empty afterwards. Answers whether the post succeeded.
    bool SendProcMess();

    // Text forms; descendants override CodeStr and DataStr to name their codes and data.
    virtual std::string ResStr() const;
    virtual std::string DestStr() const;
    virtual std::string SrcStr() const;
    virtual std::string CodeStr() const;
    // Destination, source, the parameters when either is set, code and data.
    virtual std::string MessText() const;
    virtual std::string DataStr() const;
    // The one-line trace form: length, Res, destination, source, "(" Par1 "," Par2 ")", code and
    // "(" + at most 50 data bytes in hex + "..." when there are more + ")".
    std::string MessToStr() const;

protected:
    std::uint8_t HeadByte(std::size_t offset) const;
};

// Text for a part of a message that has no value.
inline constexpr const char* kUndefText = "???undef";

} // namespace ravlo
