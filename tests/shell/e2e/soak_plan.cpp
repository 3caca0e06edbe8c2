#include "soak_plan.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <random>

namespace ravlo::testing {
namespace {

constexpr std::array<std::string_view, kSoakOpCount> kNames = {
    "binary-write", "binary-read", "view-read",  "view-write",  "io-read",  "io-write",
    "clock-get",    "clock-set",   "setup-read", "setup-write", "identify", "download"};

// Percent chances: a clean seed in six; each fault on in half of the others; a death in a run.
constexpr std::uint32_t kPullPercent = 15;

std::string Rate(std::uint32_t perTenThousand) {
    char text[16];
    std::snprintf(text, sizeof text, "0.%04u", perTenThousand);
    return text;
}

} // namespace

std::string_view SoakOpName(SoakOp op) {
    return kNames[static_cast<std::size_t>(op)];
}

std::optional<std::vector<SoakOp>> SoakOpsNamed(std::string_view filter) {
    std::vector<SoakOp> ops;
    while (!filter.empty()) {
        const std::size_t comma = filter.find(',');
        const std::string_view name = filter.substr(0, comma);
        filter = comma == std::string_view::npos ? std::string_view() : filter.substr(comma + 1);
        if (name.empty()) {
            continue;
        }
        const auto found = std::find(kNames.begin(), kNames.end(), name);
        if (found == kNames.end()) {
            return std::nullopt;
        }
        ops.push_back(static_cast<SoakOp>(found - kNames.begin()));
    }
    if (ops.empty()) {
        for (std::size_t i = 0; i < kSoakOpCount; ++i) {
            ops.push_back(static_cast<SoakOp>(i));
        }
    }
    return ops;
}

SoakPlan PlanOfSeed(int seed) {
    std::mt19937 random(static_cast<std::uint32_t>(seed));
    SoakPlan plan;
    plan.Seed = seed;
    plan.Vok386 = seed % 2 == 0;
    constexpr std::array<std::uint32_t, 3> kRates = {19200, 115200, 4800};
    plan.TransferBaud = kRates[static_cast<std::size_t>(seed) % kRates.size()];
    if (seed % 6 == 0) {
        return plan; // a clean line and a board that stays: every run must succeed
    }
    const auto on = [&random] {
        return random() % 2 == 0;
    };
    if (on()) {
        plan.Faults.insert(plan.Faults.end(), {"--drop-rate", Rate(2 + random() % 5)});
    }
    if (on()) {
        plan.Faults.insert(plan.Faults.end(), {"--corrupt-rate", Rate(2 + random() % 5)});
    }
    if (on()) {
        plan.Faults.insert(plan.Faults.end(), {"--mute", "0.03"});
    }
    if (on()) {
        // Short, longer than the line's own wait, and longer than the keep-alive period.
        constexpr std::array<const char*, 3> kDelays = {"60", "400", "1300"};
        plan.Faults.insert(plan.Faults.end(), {"--delay", std::string(kDelays[random() % 3]) + ":0.05"});
    }
    if (on()) {
        plan.Faults.insert(plan.Faults.end(), {"--wrong-address", "0.04"});
    }
    if (on()) {
        plan.Faults.insert(plan.Faults.end(), {"--early-meme", "0.04"});
    }
    if (on()) {
        plan.Faults.insert(plan.Faults.end(), {"--clock-err", "0.2"});
    }
    if (on()) {
        plan.Faults.insert(plan.Faults.end(), {"--check-err", "0.1"});
    }
    plan.PullChance = kPullPercent / 100.0;
    return plan;
}

std::string SoakPlan::Text() const {
    std::string text = "seed " + std::to_string(Seed) + ": " + (Vok386 ? "Vok386EXR" : "Vok188ER") + " at " +
                       std::to_string(TransferBaud) + " baud,";
    for (const std::string& word : Faults) {
        text += " " + word;
    }
    if (Faults.empty()) {
        text += " no faults";
    }
    if (PullChance > 0) {
        text += ", pulled in some runs";
    }
    return text;
}

std::string SoakResultLine(const SoakRun& run) {
    constexpr std::array<std::string_view, 4> kVerdicts = {"success", "clean-failure", "unheard", "fault"};
    return std::string(SoakOpName(run.Op)) + "\t" +
           std::string(kVerdicts[static_cast<std::size_t>(run.Verdict)]) + "\t" +
           std::to_string(run.Took.count()) + "\t" + std::to_string(run.Seed);
}

} // namespace ravlo::testing
