#pragma once

// One seed of the soak: the board master with the real communication process against the simulated
// board of the seed's plan, the operations run one after another through their windows' models.

#include "shell/board_memory.h"
#include "shell/tool_board.h"
#include "soak_board.h"
#include "soak_operations.h"
#include "soak_plan.h"
#include "support/ma_sim_rig.h"
#include "support/scoped_env.h"
#include "support/scratch_dir.h"

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>

namespace ravlo::testing {

class SoakSession {
public:
    // A run that has not ended by then is a fault.
    static constexpr std::chrono::seconds kRunLimit{90};

    SoakSession(const std::filesystem::path& voksim, const SoakPlan& plan);
    ~SoakSession();
    SoakSession(const SoakSession&) = delete;
    SoakSession& operator=(const SoakSession&) = delete;

    // Opens the link and waits for the board to be identified at the transfer rate; what went
    // wrong, or nothing.
    std::optional<std::string> Connect();
    SoakRun Run(SoakOp op);
    // How many times the board died during the runs.
    int Deaths() const { return deaths_; }

private:
    // The link is up, the board identified at the transfer rate and nothing under way.
    bool LinkReady() const;
    // One look while the rig runs: the board dies or comes back when its time has come, and no
    // operation waits without a time-out.
    void Watch();
    SoakRun Fault(SoakOp op, std::chrono::milliseconds took, const std::string& why) const;
    // Whether the board heard the write of a port that change holds (any other change: true).
    bool Heard(const SoakChange& change, int fromLife) const;
    // The texts the master and the windows showed during the run, for a report.
    std::string Shown() const;

    SoakPlan plan_;
    ScratchDir dir_;
    SoakBoard board_;
    // The COM port the master opens is the board's link.
    ScopedEnv port_;
    std::uint8_t oldUserLevel_;
    std::optional<SimRig> rig_;
    std::optional<TMaBoardMemory> memory_;
    std::optional<TMaToolBoard> tools_;
    // The death and return of the board during the current run.
    std::optional<std::chrono::steady_clock::time_point> pullAt_;
    std::optional<std::chrono::steady_clock::time_point> plugAt_;
    std::chrono::milliseconds awayFor_{0};
    // The tick at which the board last came back.
    std::uint32_t plugTick_ = 0;
    std::string watchFault_;
    int deaths_ = 0;
};

} // namespace ravlo::testing
