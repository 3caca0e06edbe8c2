#include "framework/log_names.h"
#include "framework/runtime_log.h"
#include "shell/start_log.h"
#include "support/scoped_env.h"
#include "support/scratch_dir.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using testing::ScopedEnv;
using testing::ScratchDir;

class StartLogTest : public ::testing::Test {
protected:
    StartLogTest() { ResetRuntimeLog(); }
    ~StartLogTest() override { ResetRuntimeLog(); }

    std::string LogName() const { return TxsBaseName("ravlo") + ".TXS"; }

    ScratchDir dir_;
    ScopedEnv home_{"RAVLO_HOME", dir_.Path().string()};
};

TEST_F(StartLogTest, SecondInstanceAppendsItsMarkAndNeverMovesTheLiveLog) {
    WriteSecondInstanceMark(dir_ / "ravlo");
    EXPECT_EQ(dir_.Listing(), "") << "no log, no mark";
    dir_.Write(LogName(), "first instance line\n");
    WriteSecondInstanceMark(dir_ / "ravlo");
    EXPECT_TRUE(SecondInstance());
    EXPECT_EQ(dir_.Listing(), LogName()) << "no archive was made";
    const std::string log = dir_.Text(LogName());
    ASSERT_TRUE(log.starts_with("first instance line\n")) << log;
    const std::string mark = log.substr(20);
    EXPECT_TRUE(mark.starts_with(TxsSecondInstanceLine("").substr(0, 8))) << mark;
    EXPECT_EQ(mark.find('\n'), mark.size() - 1) << "one line";
}

TEST_F(StartLogTest, HaltedRunLeavesThreeLines) {
    TxsStartup(dir_ / "ravlo", "app.ini");
    LogApplicationHalted("bad thing");
    const std::string log = dir_.Text(TxsPath().filename().string());
    EXPECT_TRUE(log.ends_with("\nException:\nbad thing\n!!Application HALTED!!\n")) << log;
}

} // namespace
} // namespace ravlo
