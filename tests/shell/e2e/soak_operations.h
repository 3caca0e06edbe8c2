#pragma once

// The board operations of the soak, each started as its window starts it (through the window's
// model where the program has one), with what it may change on the board and how its result is
// told and checked.

#include "shell/board_memory.h"
#include "shell/tool_board.h"
#include "soak_board.h"
#include "soak_plan.h"
#include "support/ma_sim_rig.h"
#include "support/scratch_dir.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace ravlo::testing {

struct SoakContext {
    SimRig& Rig;
    TMaBoardMemory& Memory;
    TMaToolBoard& Tools;
    const ScratchDir& Dir;
    bool Vok386 = false;
    // The most bytes one operation moves (about a second of the line at the transfer rate).
    std::uint32_t MaxLength = 256;
};

// Bytes an operation writes at a linear address.
struct SoakWrite {
    std::uint32_t Lin = 0;
    std::vector<std::uint8_t> Data;
};

// What an operation may change on the board: a success leaves exactly this, a failure this in part
// (each board block of a write, the port, the clock either as before or as asked) and nothing else.
struct SoakChange {
    std::vector<SoakWrite> Memory;
    // The board's write block (256, or 512 on a Vok386): a write's unit on the board.
    std::uint32_t Block = 256;
    struct Port {
        std::uint16_t Number = 0;
        bool Word = false;
        std::uint16_t Value = 0;
    };
    std::optional<Port> PortWrite;
    std::optional<std::string> Clock;
};

enum class SoakOutcome : std::uint8_t { Pending, Succeeded, Failed };

class SoakOperation {
public:
    virtual ~SoakOperation() = default;
    // Starts it; false when its window or the master refused it.
    virtual bool Start() = 0;
    // What it has reported so far besides the master's error texts (each of which is a failure).
    virtual SoakOutcome Reported() const = 0;
    // What the host side shows, against the board as it was: a problem, or nothing.
    virtual std::optional<std::string> CheckResult(const SoakBoardState& /*before*/,
                                                   bool /*succeeded*/) const {
        return std::nullopt;
    }
    const SoakChange& Change() const { return change_; }

protected:
    SoakChange change_;
};

std::unique_ptr<SoakOperation> MakeSoakOperation(SoakOp op, SoakContext& context,
                                                 const SoakBoardState& before, std::mt19937& random);

// The board after an operation against the board before and what it may change: a problem, or
// nothing.
std::optional<std::string> CheckBoard(const SoakBoardState& before, const SoakBoardState& after,
                                      const SoakChange& change, bool succeeded);

} // namespace ravlo::testing
