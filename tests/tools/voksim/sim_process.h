#pragma once

// Starts the real voksim program and talks to it through its pseudo-terminal.

#include "tools/voksim_core/raw_frames.h"

#include <chrono>
#include <string>
#include <sys/types.h>
#include <termios.h>
#include <vector>

namespace ravlo::voksim::testing {

using namespace std::chrono_literals;

struct Finished {
    int exit_code = -1;
    std::string out;
    std::string err;
};

// Runs voksim to its end (for --help and bad command lines); bounded by a time limit.
Finished RunVoksim(const std::vector<std::string>& args);

class SimProcess {
public:
    explicit SimProcess(const std::vector<std::string>& args);
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    const std::string& SlavePath() const { return slave_path_; }
    pid_t Pid() const { return pid_; }

    // Sends a board frame in a link frame from node 255 to node 254.
    void Send(const std::vector<std::uint8_t>& board_frame) { SendRaw(ToBoard(board_frame)); }
    void SendRaw(const std::vector<std::uint8_t>& line);
    // Waits until at least `count` good frames have arrived or the limit has passed.
    std::vector<RawFrame> Receive(std::size_t count, std::chrono::milliseconds limit = 3s);
    // Everything that arrives within the time.
    std::vector<std::uint8_t> ReadFor(std::chrono::milliseconds time);
    // Everything that arrives until the line has been quiet for `quiet` (at most `limit`).
    std::vector<std::uint8_t> ReadUntilQuiet(std::chrono::milliseconds quiet,
                                             std::chrono::milliseconds limit = 5s);
    // Sets the host's end of the line as a serial port would be set.
    void SetLine(speed_t speed, bool odd_parity);
    // Sends the signal and waits for the end; the exit code, or -1 when it did not exit normally.
    int Stop(int signal);
    const std::string& Stderr() const { return stderr_text_; }

private:
    // Appends what the port has within a short wait; false when nothing came.
    bool ReadSome(std::vector<std::uint8_t>& line);

    pid_t pid_ = -1;
    int out_fd_ = -1;
    int err_fd_ = -1;
    int port_ = -1;
    std::string slave_path_;
    std::string stderr_text_;
};

} // namespace ravlo::voksim::testing
