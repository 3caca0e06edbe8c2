// The board operations as the windows start them, against the simulated board at line timing
// through its faults (bytes dropped and corrupted, requests not heard, late answers, wrong addresses,
// early ends of data, clock and checksum errors) and through its deaths (the simulator ended and
// started again behind the same --link path during a run). Every run ends in bounded time; a
// success leaves the board and the files exactly as asked, a failure leaves them as they were or,
// for each board block, the port and the clock, as asked; the link comes back on its own; and no
// operation waits without a time-out. A few seeds here, any number through scripts/soak.
#include "soak_plan.h"
#include "soak_session.h"
#include "support/built_program.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <iostream>
#include <random>

namespace ravlo {
namespace {

using testing::SoakOp;
using testing::SoakRun;
using testing::SoakVerdict;

// Runs every seed from first to last, each operation once in an order of the seed's, and adds a line
// per run to the file RAVLO_SOAK_RESULTS names; prints how often the board died.
void Soak(int first, int last, const std::vector<SoakOp>& ops) {
    const auto voksim = testing::FindBuiltProgram("voksim");
    if (!voksim) {
        GTEST_SKIP() << "voksim is not built beside the test programs";
    }
    std::ofstream results;
    if (const char* file = std::getenv("RAVLO_SOAK_RESULTS"); file != nullptr) {
        results.open(file, std::ios::app);
    }
    int deaths = 0;
    for (int seed = first; seed <= last; ++seed) {
        const testing::SoakPlan plan = testing::PlanOfSeed(seed);
        testing::SoakSession session(*voksim, plan);
        if (const std::optional<std::string> failed = session.Connect()) {
            ADD_FAILURE() << plan.Text() << ": " << *failed;
            continue;
        }
        std::vector<SoakOp> order = ops;
        std::shuffle(order.begin(), order.end(), std::mt19937(static_cast<std::uint32_t>(seed)));
        for (const SoakOp op : order) {
            const SoakRun run = session.Run(op);
            if (results.is_open()) {
                results << testing::SoakResultLine(run) << std::endl;
            }
            EXPECT_NE(run.Verdict, SoakVerdict::Fault) << run.Why;
            if (run.Verdict == SoakVerdict::Unheard) {
                std::cout << run.Why << "\n";
            }
        }
        deaths += session.Deaths();
    }
    std::cout << "the board died " << deaths << " times during the runs\n" << std::flush;
}

class BoardSoakTest : public ::testing::TestWithParam<int> {};

TEST_P(BoardSoakTest, EveryOperationEndsInTimeWithTheBoardAndFilesAsAskedOrAsTheyWere) {
    Soak(GetParam(), GetParam(), *testing::SoakOpsNamed(""));
}

// A Vok188 and a Vok386 at 115200 baud through faults and deaths, and a Vok386 at 19200 on a clean
// line, where every run must succeed.
INSTANTIATE_TEST_SUITE_P(Seeds, BoardSoakTest, ::testing::Values(6, 7, 10));

// scripts/soak: RAVLO_SOAK_SEEDS="FIRST-LAST", RAVLO_SOAK_OPS="io-read,clock-set" (default: all);
// RAVLO_SOAK_VERBOSE=1 also shows every run that ended well, with the frames the board saw last.
TEST(BoardSoakByHandTest, TheSeedsAndOperationsTheEnvironmentNames) {
    const char* seeds = std::getenv("RAVLO_SOAK_SEEDS");
    if (seeds == nullptr) {
        GTEST_SKIP() << "scripts/soak names the seeds";
    }
    int first = 1;
    int last = 1;
    ASSERT_EQ(std::sscanf(seeds, "%d-%d", &first, &last), 2) << seeds;
    const char* names = std::getenv("RAVLO_SOAK_OPS");
    const auto ops = testing::SoakOpsNamed(names != nullptr ? names : "");
    ASSERT_TRUE(ops) << "no such operation in " << names;
    Soak(first, last, *ops);
}

} // namespace
} // namespace ravlo
