#pragma once

// Starts the real voksim program and talks to it through its pseudo-terminal.

#include "support/scratch_dir.h"
#include "support/voksim_child.h"
#include "tools/voksim_core/raw_frames.h"

#include <chrono>
#include <csignal>
#include <optional>
#include <string>
#include <termios.h>
#include <vector>

namespace ravlo::voksim::testing {

using namespace std::chrono_literals;

struct Finished {
    int exit_code = -1;
    std::string out;
    std::string err;
};

// Runs voksim to its end (for --help and bad command lines).
Finished RunVoksim(const std::vector<std::string>& args);

class SimProcess {
public:
    explicit SimProcess(const std::vector<std::string>& args);
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    const std::string& SlavePath() const { return child_->SlavePath(); }

    // Sends a board frame in a link frame from node 255 to node 254.
    void Send(const std::vector<std::uint8_t>& board_frame);
    // Waits until at least `count` good frames have arrived or the limit has passed.
    std::vector<LinkFrame> Receive(std::size_t count, std::chrono::milliseconds limit = 3s);
    // Everything that arrives within the time.
    std::vector<std::uint8_t> ReadFor(std::chrono::milliseconds time);
    // Sets the host's end of the line as a serial port would be set.
    void SetLine(speed_t speed, bool odd_parity);
    // Sends the signal and waits for the end; the exit code, or -1 when it did not exit normally.
    int Stop(int signal) { return child_->Stop(signal); }
    void Signal(int signal) const { child_->Signal(signal); }
    // What it wrote to its error output (its summary once stopped).
    std::string Stderr() const { return dir_.Text("stderr.txt"); }

private:
    // Appends what the port has within a short wait; false when nothing came.
    bool ReadSome(std::vector<std::uint8_t>& line);

    ravlo::testing::ScratchDir dir_;
    std::optional<ravlo::testing::VoksimChild> child_;
    int port_ = -1;
};

} // namespace ravlo::voksim::testing
