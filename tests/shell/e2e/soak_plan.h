#pragma once

// What the soak of the board operations runs: the operations, the board and faults of each seed,
// and the tally of the runs.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ravlo::testing {

enum class SoakOp : std::uint8_t {
    BinaryWrite,
    BinaryRead,
    ViewRead,
    ViewWrite,
    IoRead,
    IoWrite,
    ClockGet,
    ClockSet,
    SetupRead,
    SetupWrite,
    Identify,
    Download
};
inline constexpr std::size_t kSoakOpCount = 12;

// "binary-write", "view-read", "clock-set", ...: the names of the table and of the filter.
std::string_view SoakOpName(SoakOp op);
// The operations a filter names ("io-read,clock-get"; empty: every one); nothing when it names one
// that does not exist.
std::optional<std::vector<SoakOp>> SoakOpsNamed(std::string_view filter);

// The board and the faults of one seed.
struct SoakPlan {
    int Seed = 0;
    bool Vok386 = false;
    // The default rate is 4800; the master switches the board to this one once it is identified.
    std::uint32_t TransferBaud = 4800;
    // The simulator's fault options.
    std::vector<std::string> Faults;
    // How likely the board dies during a run, and comes back at the same path.
    double PullChance = 0.0;

    // "seed 7: Vok188ER at 19200, faults ..." for the report.
    std::string Text() const;
};
SoakPlan PlanOfSeed(int seed);

// Unheard: a write reported done whose every copy was lost on the line; the board answers none (an
// IO write), so nothing can tell the host.
enum class SoakVerdict : std::uint8_t { Success, CleanFailure, Unheard, Fault };

// One operation run: how it ended, how long it took to end, and what was wrong with a fault.
struct SoakRun {
    SoakOp Op = SoakOp::BinaryWrite;
    SoakVerdict Verdict = SoakVerdict::Fault;
    std::chrono::milliseconds Took{0};
    int Seed = 0;
    std::string Why;
};

// One line of the results file: "op verdict ms seed", tab-separated (scripts/soak adds them up into
// its table).
std::string SoakResultLine(const SoakRun& run);

} // namespace ravlo::testing
