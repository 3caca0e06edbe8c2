#pragma once

#include "framework/app_exit.h"
#include "framework/app_names.h"
#include "framework/writer_channels.h"
#include "platform/message_queue.h"
#include "platform/window_messages.h"
#include "support/scoped_env.h"
#include "support/scratch_dir.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace ravlo::testing {

inline std::string ReadFileText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A writer window on channel 0 that keeps every line it is sent.
class CapturedWriter : public MessageTarget {
public:
    CapturedWriter() : registration_(AppMessageQueue(), *this) {
        SetSysWrChannel(0, true, registration_.Handle());
    }
    ~CapturedWriter() override { ClearSysWrChannels(); }

    std::intptr_t HandleMessage(std::uint32_t msg, std::uintptr_t, std::intptr_t lParam) override {
        if (msg == wm_SysWrWriteln && lParam != 0) {
            lines_.push_back(*reinterpret_cast<const std::string*>(lParam));
        }
        return SysWrAck;
    }

    const std::vector<std::string>& Lines() const { return lines_; }
    // The texts of the error lines, without their time-stamp prefix.
    std::vector<std::string> Errors() const {
        std::vector<std::string> errors;
        for (const std::string& line : lines_) {
            if (const auto at = line.find("]!Error-"); line.starts_with("[") && at != std::string::npos) {
                errors.push_back(line.substr(at + 8));
            }
        }
        return errors;
    }

private:
    WindowRegistration registration_;
    std::vector<std::string> lines_;
};

// What the program did instead of exiting.
struct ExitCalled {
    int code;
};

// Catches AppExit as an ExitCalled exception for the lifetime of the guard.
class CatchAppExit {
public:
    CatchAppExit() : previous_(SetAppExitHandler([](int code) { throw ExitCalled{code}; })) {}
    ~CatchAppExit() { SetAppExitHandler(previous_); }
    CatchAppExit(const CatchAppExit&) = delete;
    CatchAppExit& operator=(const CatchAppExit&) = delete;

private:
    AppExitHandler previous_;
};

// An application INI in a fresh folder, with the names and the check pointing at it; everything is
// reset afterwards.
class AppIniFixture {
public:
    explicit AppIniFixture(std::string_view iniText, const std::string& iniName = "TEST.INI") {
        const std::filesystem::path ini = dir_.Write(iniName, iniText);
        const std::vector<std::string> args{ini.string()};
        InitAppNames(dir_.Path() / "ravlo", args);
        CheckAppIni();
    }
    ~AppIniFixture() { ResetAppNames(); }
    AppIniFixture(const AppIniFixture&) = delete;
    AppIniFixture& operator=(const AppIniFixture&) = delete;

    const ScratchDir& Dir() const { return dir_; }

private:
    ScratchDir dir_;
    ScopedEnv home_{"RAVLO_HOME", dir_.Path().string()};
};

} // namespace ravlo::testing
