#pragma once

#include "framework/runtime_log.h"
#include "framework/writer_channels.h"
#include "support/scoped_env.h"
#include "support/scratch_dir.h"

#include <chrono>
#include <gtest/gtest.h>
#include <string>

namespace ravlo::test {

// A scratch folder that stands in for the program folder (RAVLO_HOME) while the object lives.
class LogHome {
public:
    testing::ScratchDir& Dir() { return dir_; }
    const testing::ScratchDir& Dir() const { return dir_; }

private:
    testing::ScratchDir dir_;
    testing::ScopedEnv home_{"RAVLO_HOME", dir_.Path().string()};
};

// The log's clock, moved by hand.
inline std::chrono::system_clock::time_point& FakeNow() {
    static std::chrono::system_clock::time_point now;
    return now;
}

// Every test starts and ends with the log, its settings and the writer channels as at program start.
class RuntimeLogTest : public ::testing::Test {
protected:
    RuntimeLogTest() {
        Reset();
        FakeNow() = std::chrono::system_clock::now();
        SetTxsClock([] { return FakeNow(); });
    }
    ~RuntimeLogTest() override {
        SetTxsClock(nullptr);
        Reset();
    }
    static void Reset() {
        ResetRuntimeLog();
        ClearSysWrChannels();
        SysWrErrFlag() = false;
    }

    std::string Log() const { return home_.Dir().Read(TxsPath().filename().string()).value_or("<no log>"); }

    LogHome home_;
};

} // namespace ravlo::test
