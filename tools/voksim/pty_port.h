#pragma once

#include "voksim/board_session.h"

#include <filesystem>
#include <optional>
#include <string>

namespace ravlo::voksim {

// A pseudo-terminal whose slave end stands for the board's serial port. The simulator keeps the
// slave open itself, so the terminal survives the host closing and reopening the port, and reads
// the host's line settings from it.
class PtyPort {
public:
    // Opens the terminal and sets its slave end raw at baud, 8 data bits, odd parity.
    explicit PtyPort(std::uint32_t baud);
    ~PtyPort();
    PtyPort(const PtyPort&) = delete;
    PtyPort& operator=(const PtyPort&) = delete;

    int MasterFd() const { return master_; }
    const std::string& SlavePath() const { return slave_path_; }
    // The rate and parity the host has set on its end; none when they cannot be read.
    std::optional<HostLine> ReadHostLine() const;

private:
    int master_ = -1;
    int slave_ = -1;
    std::string slave_path_;
    bool parity_enable_visible_ = false;
};

// A symbolic link to the slave end, made through a temporary name and removed again at the end
// when it still points there. An existing symbolic link is replaced; any other file is refused.
class SlaveLink {
public:
    SlaveLink(std::filesystem::path link, const std::string& target);
    ~SlaveLink();
    SlaveLink(const SlaveLink&) = delete;
    SlaveLink& operator=(const SlaveLink&) = delete;

private:
    std::filesystem::path link_;
    std::string target_;
};

} // namespace ravlo::voksim
