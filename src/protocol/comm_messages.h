#pragma once

#include "kernel/proc_adr.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace ravlo {

// Process messages between the board master process and the communication process.
// Requests to the communication process:
inline constexpr std::uint8_t RAVLOCOMM_MA_CrOpCo = 0x60;      // no data: build, open and connect
inline constexpr std::uint8_t RAVLOCOMM_MA_DiClDe = 0x61;      // no data: disconnect, close, free
inline constexpr std::uint8_t RAVLOCOMM_MA_SetChnParam = 0x62; // TRavloChnParamRec
inline constexpr std::uint8_t RAVLOCOMM_MA_TxD = 0x67;         // TRavloCommFrameRec: send a frame
// Reports of the communication process:
inline constexpr std::uint8_t RAVLOCOMM_MA_RxD = 0x68;   // TRavloCommFrameRec, or no data
inline constexpr std::uint8_t RAVLOCOMM_MA_State = 0x6B; // TRavloCommStateRec with a MAS_ state
inline constexpr std::uint8_t RAVLOCOMM_MA_Error = 0x6C; // TRavloCommStateRec with an error code

// The addresses the two processes use for each other. The process collection numbers instances in
// creation order, so they meet when the master's label comes first and the communication
// process's second, and (unless the collection ignores LogA, AT=2) the labels carry these LogA.
inline constexpr TProcAdr kCommUpwardAdr{0x70, 1, 0x2000}; // where the communication process reports
inline constexpr TProcAdr kMACommAdr{0x87, 2, 0x2001};     // where the board master process sends

// The data of RAVLOCOMM_MA_SetChnParam: u8 COM port, u32 baud rate.
struct TRavloChnParamRec {
    static constexpr std::size_t kSize = 5;

    std::uint8_t Port = 0;
    std::uint32_t Baud = 0;

    std::array<std::uint8_t, kSize> Encode() const;
    // nullopt for data shorter than kSize; bytes behind the record are not read.
    static std::optional<TRavloChnParamRec> Decode(std::span<const std::uint8_t> data);

    bool operator==(const TRavloChnParamRec&) const = default;
};

// The data of RAVLOCOMM_MA_State and RAVLOCOMM_MA_Error: u16 state or error code, u8 COM port,
// u32 baud rate.
struct TRavloCommStateRec {
    static constexpr std::size_t kSize = 7;

    std::uint16_t Code = 0;
    std::uint8_t Port = 0;
    std::uint32_t Baud = 0;

    std::array<std::uint8_t, kSize> Encode() const;
    static std::optional<TRavloCommStateRec> Decode(std::span<const std::uint8_t> data);

    bool operator==(const TRavloCommStateRec&) const = default;
};

} // namespace ravlo
