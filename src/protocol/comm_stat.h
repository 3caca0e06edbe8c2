#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace ravlo {

// The counters of the communication process, shown by the status bar and the communication view.
// On the wire (the 23 bytes a watcher is told of): u8 Rep, i32 OK, S, R, r, e, u16 LastErr.
struct TChnStat {
    static constexpr std::size_t kSize = 23;

    std::uint8_t Rep = 0;      // repetitions of the current frame
    std::int32_t OK = 0;       // exchanges completed: frames sent without answer, answers received
    std::int32_t S = 0;        // frames whose sending completed
    std::int32_t R = 0;        // frames passed up
    std::int32_t r = 0;        // repetitions
    std::int32_t e = 0;        // exchanges given up
    std::uint16_t LastErr = 0; // the last failure code met (a channel code or the process's own)

    void Clear() { *this = TChnStat{}; }
    // "[OK" n ",S" n ",R" n ",r" n ",e" n ",L$" hhhh "]".
    std::string ToStr() const;

    std::array<std::uint8_t, kSize> Encode() const;
    static std::optional<TChnStat> Decode(std::span<const std::uint8_t> data);

    bool operator==(const TChnStat&) const = default;
};

} // namespace ravlo
