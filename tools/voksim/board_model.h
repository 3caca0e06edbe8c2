#pragma once

#include "voksim/board_clock.h"
#include "voksim/board_frames.h"
#include "voksim/board_memory.h"
#include "voksim/fault_injector.h"
#include "voksim/io_ports.h"
#include "voksim/personality.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace ravlo::voksim {

// What the board does with one request.
struct Reply {
    std::vector<std::vector<std::uint8_t>> frames;        // board frames, sent in this order
    Ns delay{0};                                          // before the first of them leaves
    std::optional<std::uint32_t> new_baud;                // the line rate from now on
    std::optional<std::vector<std::uint8_t>> after_quiet; // sent once the host has gone quiet
    std::vector<std::string> notes;                       // for the trace
};

struct Jump {
    std::uint8_t type = 0; // Go or Run
    FarPtr address;
    int copies = 1;
};

// The board: its memory, IO ports, clock and BIOS, answering one board frame at a time.
class BoardModel {
public:
    struct Settings {
        // Data bytes per MemD frame. 64 bytes (some 83 on the line) cross in about 190 ms at 4800
        // baud, inside the host's wait for the next MemD (1000 bit times + 10 ms).
        std::size_t memd_size = 64;
        bool strict_load = false; // refuse Loads that are not one aligned board block
    };

    BoardModel(const Personality& board, FaultInjector& faults, BoardClock clock, Settings settings);

    Reply Handle(std::span<const std::uint8_t> frame, Ns now);

    const Personality& Board() const { return board_; }
    BoardMemory& Memory() { return memory_; }
    const BoardMemory& Memory() const { return memory_; }
    IoPorts& Io() { return io_; }
    const IoPorts& Io() const { return io_; }
    const std::vector<Jump>& Jumps() const { return jumps_; }
    ClockTime ClockNow(Ns now) const { return clock_.Now(now); }

private:
    void SendMemory(Reply& reply, FarPtr address, std::size_t count);
    void OnMem(std::span<const std::uint8_t> f, Reply& reply);
    void OnGetID(Reply& reply);
    void OnIORead(std::span<const std::uint8_t> f, Reply& reply);
    void OnIOWrite(std::span<const std::uint8_t> f, Reply& reply);
    void OnChcksum(std::span<const std::uint8_t> f, Reply& reply);
    void OnBdRate(std::span<const std::uint8_t> f, Reply& reply);
    void OnJump(std::span<const std::uint8_t> f, Reply& reply, Ns now);
    void OnLoad(std::span<const std::uint8_t> f, Reply& reply);
    void OnSetRTC(std::span<const std::uint8_t> f, Reply& reply, Ns now);
    void OnGetRTC(Reply& reply, Ns now);
    bool ClockRefused(Reply& reply, std::uint16_t no_clock_value);

    const Personality& board_;
    FaultInjector& faults_;
    BoardClock clock_;
    Settings settings_;
    BoardMemory memory_;
    IoPorts io_;
    std::vector<Jump> jumps_;
    Ns last_jump_at_{0};
};

} // namespace ravlo::voksim
