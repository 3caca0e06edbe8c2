#pragma once

// The simulated board of the soak over its lives: a board that dies (the simulator ended) and comes
// back at the same --link path carries its memory, IO ports and clock into its next life, as a board
// keeps them over a reset. Its state is read from the simulator's outputs, written on demand.

#include "support/scratch_dir.h"
#include "support/voksim_child.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ravlo::testing {

// What the board holds: its 1 MB of memory, the byte each IO port reads and its clock (stopped: it
// keeps what it was set to) as "YYYY-MM-DDThh:mm:ss".
struct SoakBoardState {
    std::string Memory;
    std::vector<std::uint8_t> Ports = std::vector<std::uint8_t>(0x10000, 0xFF);
    std::string Clock;
};

// How the board starts its first life: an image in its memory (beside the BIOS's own data), its
// ports and its clock.
struct SoakFirstLife {
    std::string Image;
    std::uint32_t ImageAt = 0;
    std::vector<std::uint8_t> Ports = std::vector<std::uint8_t>(0x10000, 0xFF);
    std::string Clock;
};

class SoakBoard {
public:
    // args: the board and its faults.
    SoakBoard(std::filesystem::path program, const ScratchDir& dir, std::vector<std::string> args,
              std::uint64_t seed, const SoakFirstLife& first);
    ~SoakBoard();
    SoakBoard(const SoakBoard&) = delete;
    SoakBoard& operator=(const SoakBoard&) = delete;

    // The path the program opens as the board's port.
    const std::filesystem::path& Link() const { return link_; }
    bool Alive() const { return sim_.has_value(); }
    // Starts a new life with what the last one left; false when the simulator did not come up.
    bool PlugIn();
    // Ends the life (its outputs are written); false when the simulator did not end cleanly.
    bool Pull();
    // What the board holds now; nothing when the simulator did not write it within a few seconds.
    std::optional<SoakBoardState> State();
    // The number of the current (or last) life.
    int Life() const { return life_; }
    // Whether a request the trace shows as request ("cIOWr port=$0300 value=$005A") reached the
    // board in a life from fromLife on: it came in and was heard, not muted.
    bool Heard(std::string_view request, int fromLife) const;
    // The end of the trace of the current (or last) life, for the report of a fault.
    std::string TraceTail(std::size_t lines = 40) const;

private:
    std::optional<SoakBoardState> ReadOutputs() const;
    std::filesystem::path File(std::string_view name) const { return dir_ / name; }

    std::filesystem::path program_;
    const ScratchDir& dir_;
    std::filesystem::path link_;
    std::vector<std::string> args_;
    std::uint64_t seed_;
    // The ports as the current life started; its IO log adds its writes.
    std::vector<std::uint8_t> presets_;
    std::string clock_;
    std::string firstImage_;
    int life_ = 0;
    std::optional<VoksimChild> sim_;
};

} // namespace ravlo::testing
