#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

namespace ravlo {

// How long an unattended run (/X) waits for the board before it gives up: for the link to stand
// and the board to answer, for each download or run step, and for the board's request queue to run
// empty before the program ends. Milliseconds.
struct TBatchLimits {
    std::uint32_t BoardWaitMs = 30'000;
    std::uint32_t StepWaitMs = 600'000;
    std::uint32_t ExitWaitMs = 10'000;

    bool operator==(const TBatchLimits&) const = default;
};

// The section of the application INI that may change them: "BoardWait", "StepWait" and "ExitWait",
// in seconds.
inline constexpr std::string_view kBatchLimitsSection = "COMMANDLINE";
inline constexpr int kBatchLimitMaxSec = 24 * 3600;

// The limits of [COMMANDLINE]; a key that is missing keeps its default, and so does a value that is
// no number or lies outside 1..kBatchLimitMaxSec (an error line on writer channel 0 says so).
TBatchLimits ReadBatchLimits(const std::filesystem::path& appIni);

} // namespace ravlo
