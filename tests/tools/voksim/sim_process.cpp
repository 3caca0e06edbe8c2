#include "tools/voksim/sim_process.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace ravlo::voksim::testing {

using Clock = std::chrono::steady_clock;

Finished RunVoksim(const std::vector<std::string>& args) {
    const ravlo::testing::ScratchDir dir;
    std::string command = VOKSIM_PATH;
    for (const std::string& arg : args) {
        command += " '" + arg + "'";
    }
    command += " >" + (dir / "out.txt").string() + " 2>" + (dir / "err.txt").string() + " </dev/null";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, dir.Text("out.txt"), dir.Text("err.txt")};
}

SimProcess::SimProcess(const std::vector<std::string>& args) {
    child_.emplace(VOKSIM_PATH, args, dir_ / "stderr.txt");
    if (!child_->Ok()) {
        throw std::runtime_error("voksim printed no slave path");
    }
    port_ = open(SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (port_ < 0) {
        throw std::runtime_error("cannot open " + SlavePath());
    }
}

SimProcess::~SimProcess() {
    child_->Stop(SIGKILL);
    close(port_);
}

void SimProcess::Send(const std::vector<std::uint8_t>& board_frame) {
    const std::vector<std::uint8_t> line = ToBoard(board_frame);
    std::size_t done = 0;
    const auto deadline = Clock::now() + 5s;
    while (done < line.size() && Clock::now() < deadline) {
        const ssize_t count = write(port_, line.data() + done, line.size() - done);
        if (count > 0) {
            done += static_cast<std::size_t>(count);
        } else {
            pollfd poll_fd{port_, POLLOUT, 0};
            poll(&poll_fd, 1, 20);
        }
    }
    ASSERT_EQ(done, line.size());
}

bool SimProcess::ReadSome(std::vector<std::uint8_t>& line) {
    pollfd poll_fd{port_, POLLIN, 0};
    std::array<std::uint8_t, 4096> buffer{};
    const ssize_t got = poll(&poll_fd, 1, 10) > 0 ? read(port_, buffer.data(), buffer.size()) : 0;
    line.insert(line.end(), buffer.begin(), buffer.begin() + std::max<ssize_t>(got, 0));
    return got > 0;
}

std::vector<LinkFrame> SimProcess::Receive(std::size_t count, std::chrono::milliseconds limit) {
    std::vector<std::uint8_t> line;
    std::vector<LinkFrame> frames;
    for (const auto deadline = Clock::now() + limit; frames.size() < count && Clock::now() < deadline;) {
        if (ReadSome(line)) {
            frames = ParseFrames(line);
        }
    }
    return frames;
}

std::vector<std::uint8_t> SimProcess::ReadFor(std::chrono::milliseconds time) {
    std::vector<std::uint8_t> line;
    for (const auto deadline = Clock::now() + time; Clock::now() < deadline;) {
        ReadSome(line);
    }
    return line;
}

void SimProcess::SetLine(speed_t speed, bool odd_parity) {
    termios line{};
    ASSERT_EQ(tcgetattr(port_, &line), 0);
    cfmakeraw(&line);
    line.c_cflag &= ~static_cast<tcflag_t>(PARENB | PARODD);
    line.c_cflag |= CS8 | (odd_parity ? PARENB | PARODD : 0);
    cfsetispeed(&line, speed);
    cfsetospeed(&line, speed);
    ASSERT_EQ(tcsetattr(port_, TCSANOW, &line), 0);
}

} // namespace ravlo::voksim::testing
