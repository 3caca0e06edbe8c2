#pragma once

#include "support/built_program.h"
#include "support/scoped_env.h"
#include "support/voksim_child.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace ravlo::testing {

// The simulator for a test fixture: found once, started on a pseudo-terminal that the program finds
// as COM<port> (RAVLO_COM<port>), stopped before the fixture ends.
class VoksimOnCom {
public:
    VoksimOnCom() : program_(FindBuiltProgram("voksim")) {}

    // False when voksim is not built beside the test programs (the test skips).
    bool Found() const { return program_.has_value(); }
    // Starts it with the arguments; false when it did not come up with its terminal.
    bool Start(std::uint8_t port, const std::vector<std::string>& args) {
        sim_.emplace(*program_, args);
        if (!sim_->Ok()) {
            return false;
        }
        envName_ = "RAVLO_COM" + std::to_string(port);
        env_.emplace(envName_.c_str(), sim_->SlavePath());
        return true;
    }
    // Stops it: its exit code, 0 when it was not started.
    int Stop() {
        env_.reset();
        const int code = sim_ ? sim_->Stop() : 0;
        sim_.reset();
        return code;
    }

private:
    std::optional<std::filesystem::path> program_;
    std::optional<VoksimChild> sim_;
    std::string envName_;
    std::optional<ScopedEnv> env_;
};

} // namespace ravlo::testing
