#pragma once

#include "framework/board_address.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace ravlo {

// Board frame types. "_Mem" is spelled ft_Mem: a leading underscore before a capital is reserved in
// C++, so every type carries the ft_ prefix.
inline constexpr std::uint8_t ft_Mem = 0xD0;
inline constexpr std::uint8_t ft_MemD = 0xD1;
inline constexpr std::uint8_t ft_cIORd = 0xD2;
inline constexpr std::uint8_t ft_cIORdW = 0xD3;
inline constexpr std::uint8_t ft_cIOWr = 0xD4;
inline constexpr std::uint8_t ft_cIOWrW = 0xD5;
inline constexpr std::uint8_t ft_MemE = 0xD6;
inline constexpr std::uint8_t ft_Rqst = 0xD7;
inline constexpr std::uint8_t ft_EmptV40 = 0xD8;
inline constexpr std::uint8_t ft_Chcksum = 0xD9;
inline constexpr std::uint8_t ft_Err = 0xDA;
inline constexpr std::uint8_t ft_ErrVal = 0xDB;
inline constexpr std::uint8_t ft_BdRate = 0xDC;
inline constexpr std::uint8_t ft_ActRq = 0xDD;
inline constexpr std::uint8_t ft_ActAck = 0xDE;
inline constexpr std::uint8_t ft_Go = 0xDF;
inline constexpr std::uint8_t ft_Run = 0xE0;
inline constexpr std::uint8_t ft_Load = 0xE1;
inline constexpr std::uint8_t ft_SetRTC = 0xE3;
inline constexpr std::uint8_t ft_GetRTC = 0xE4;
inline constexpr std::uint8_t ft_CheckOk = 0xF8;
inline constexpr std::uint8_t ft_CheckErr = 0xF9;
inline constexpr std::uint8_t ft_Empt386 = 0xFA;
inline constexpr std::uint8_t ft_GetID = 0xFB;
inline constexpr std::uint8_t ft_EmptHAL = 0xFC;
inline constexpr std::uint8_t ft_Empt188 = 0xFD;

// "_Mem", "MemD", ...; a type without a name gives "???_$" and two hex digits ("???_$E7").
std::string VokFrameName(std::uint8_t type);

// Why a frame or record was refused. Lengths that come from the board are never trusted: a frame
// that is shorter or longer than its layout says is refused, never read past its end.
enum class TFrameFault : std::uint8_t {
    None,
    Short,        // fewer bytes than the layout or a length field asks for
    Oversized,    // more bytes than the layout or a length field allows
    WrongType,    // not a frame of the type asked for
    NotBcd,       // a clock field with a nibble above 9
    NoTerminator, // an identification text without its closing zero byte
};

std::string FrameFaultText(TFrameFault fault);

// The outcome of reading a frame or record: a value, or the fault that refused it. Asking a refused
// result for its value raises Exception with the fault text.
template <typename T>
class TFrameParse {
public:
    TFrameParse(T value) : value_(std::move(value)) {}
    TFrameParse(TFrameFault fault) : fault_(fault) {}

    bool Ok() const { return value_.has_value(); }
    TFrameFault Fault() const { return fault_; }
    const T& Value() const {
        if (!value_) {
            ThrowFault();
        }
        return *value_;
    }
    const T* operator->() const { return &Value(); }

private:
    [[noreturn]] void ThrowFault() const;

    std::optional<T> value_;
    TFrameFault fault_ = TFrameFault::None;
};

[[noreturn]] void ThrowFrameFault(TFrameFault fault);

template <typename T>
void TFrameParse<T>::ThrowFault() const {
    ThrowFrameFault(fault_);
}

// A board frame: the type byte, two reserved zero bytes, then the fields of the type, every
// multi-byte field little-endian. Fields are appended and read one by one; the frame never holds
// more than kMaxLen bytes, the most a communication record can carry.
class TVokFrame {
public:
    static constexpr std::size_t kHeaderLen = 3;
    static constexpr std::size_t kMaxLen = 65531;

    // A frame of the type with its reserved bytes and no fields.
    explicit TVokFrame(std::uint8_t type);

    // A received frame taken as it is: Short below kHeaderLen bytes, Oversized above kMaxLen.
    static TFrameParse<TVokFrame> FromBytes(std::span<const std::uint8_t> bytes);

    // 0 only for a frame whose bytes were moved away.
    std::uint8_t Type() const { return bytes_.empty() ? 0 : bytes_[0]; }
    std::size_t Length() const { return bytes_.size(); }
    std::span<const std::uint8_t> Bytes() const { return bytes_; }

    // Each raises ERangeError when the frame would grow past kMaxLen.
    TVokFrame& PutU8(std::uint8_t value);
    TVokFrame& PutU16(std::uint16_t value);
    // Offset first, then segment.
    TVokFrame& PutFarPtr(TSegOfsPtr address);
    TVokFrame& PutBytes(std::span<const std::uint8_t> data);

    bool operator==(const TVokFrame&) const = default;

private:
    TVokFrame() = default;
    void CheckRoom(std::size_t count) const;

    std::vector<std::uint8_t> bytes_;
};

// The frames that carry a block of memory (_Mem, MemD, Load): the address at 3, the byte count u16 at
// 7, the data from 9 on.
inline constexpr std::size_t kBlockFrameAddressAt = TVokFrame::kHeaderLen;
inline constexpr std::size_t kBlockFrameCountAt = 7;
inline constexpr std::size_t kBlockFrameHeaderLen = 9;

// Little-endian field readers; a field that does not lie wholly inside the bytes raises ERangeError
// (parsers check lengths first, so this only guards against their own mistakes).
std::uint16_t FrameU16(std::span<const std::uint8_t> frame, std::size_t offset);
TSegOfsPtr FrameFarPtr(std::span<const std::uint8_t> frame, std::size_t offset);

} // namespace ravlo
