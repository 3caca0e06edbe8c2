#include "tools/voksim/sim_process.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace ravlo::voksim::testing {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kStartLimit = 5s;
constexpr auto kEndLimit = 10s;

struct Spawned {
    pid_t pid = -1;
    int out = -1;
    int err = -1;
};

Spawned Spawn(const std::vector<std::string>& args) {
    std::array<int, 2> out{};
    std::array<int, 2> err{};
    if (pipe(out.data()) != 0 || pipe(err.data()) != 0) {
        throw std::runtime_error("pipe failed");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, err[0]);
    std::vector<std::string> words{VOKSIM_PATH};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int error = posix_spawn(&pid, VOKSIM_PATH, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    close(err[1]);
    if (error != 0) {
        throw std::runtime_error("cannot start " VOKSIM_PATH);
    }
    return {pid, out[0], err[0]};
}

// Reads fd until end of file or the deadline.
std::string Drain(int fd, Clock::time_point deadline) {
    std::string text;
    std::array<char, 4096> buffer{};
    while (Clock::now() < deadline) {
        pollfd poll_fd{fd, POLLIN, 0};
        if (poll(&poll_fd, 1, 50) <= 0) {
            continue;
        }
        const ssize_t count = read(fd, buffer.data(), buffer.size());
        if (count <= 0) {
            break;
        }
        text.append(buffer.data(), static_cast<std::size_t>(count));
    }
    return text;
}

int WaitExit(pid_t pid, Clock::time_point deadline) {
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (Clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        usleep(5000);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

Finished RunVoksim(const std::vector<std::string>& args) {
    const Spawned child = Spawn(args);
    Finished result;
    const auto deadline = Clock::now() + kEndLimit;
    result.out = Drain(child.out, deadline);
    result.err = Drain(child.err, deadline);
    result.exit_code = WaitExit(child.pid, deadline);
    close(child.out);
    close(child.err);
    return result;
}

SimProcess::SimProcess(const std::vector<std::string>& args) {
    const Spawned child = Spawn(args);
    pid_ = child.pid;
    out_fd_ = child.out;
    err_fd_ = child.err;
    const auto deadline = Clock::now() + kStartLimit;
    while (slave_path_.find('\n') == std::string::npos && Clock::now() < deadline) {
        pollfd poll_fd{out_fd_, POLLIN, 0};
        if (poll(&poll_fd, 1, 50) <= 0) {
            continue;
        }
        char c = 0;
        if (read(out_fd_, &c, 1) != 1) {
            break;
        }
        slave_path_ += c;
    }
    if (slave_path_.empty() || slave_path_.back() != '\n') {
        throw std::runtime_error("voksim printed no slave path");
    }
    slave_path_.pop_back();
    port_ = open(slave_path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (port_ < 0) {
        throw std::runtime_error("cannot open " + slave_path_);
    }
}

SimProcess::~SimProcess() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    for (const int fd : {port_, out_fd_, err_fd_}) {
        if (fd >= 0) {
            close(fd);
        }
    }
}

void SimProcess::SendRaw(const std::vector<std::uint8_t>& line) {
    std::size_t done = 0;
    const auto deadline = Clock::now() + kStartLimit;
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
    if (poll(&poll_fd, 1, 10) <= 0) {
        return false;
    }
    std::array<std::uint8_t, 4096> buffer{};
    const ssize_t got = read(port_, buffer.data(), buffer.size());
    if (got <= 0) {
        return false;
    }
    line.insert(line.end(), buffer.begin(), buffer.begin() + got);
    return true;
}

std::vector<RawFrame> SimProcess::Receive(std::size_t count, std::chrono::milliseconds limit) {
    std::vector<std::uint8_t> line;
    std::vector<RawFrame> frames;
    const auto deadline = Clock::now() + limit;
    while (frames.size() < count && Clock::now() < deadline) {
        if (ReadSome(line)) {
            frames = ParseRawFrames(line);
        }
    }
    return frames;
}

std::vector<std::uint8_t> SimProcess::ReadFor(std::chrono::milliseconds time) {
    return ReadUntilQuiet(time, time);
}

std::vector<std::uint8_t> SimProcess::ReadUntilQuiet(std::chrono::milliseconds quiet,
                                                     std::chrono::milliseconds limit) {
    std::vector<std::uint8_t> line;
    const auto deadline = Clock::now() + limit;
    auto quiet_from = Clock::now();
    while (Clock::now() < deadline && Clock::now() - quiet_from < quiet) {
        if (ReadSome(line)) {
            quiet_from = Clock::now();
        }
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

int SimProcess::Stop(int signal) {
    kill(pid_, signal);
    const auto deadline = Clock::now() + kEndLimit;
    stderr_text_ = Drain(err_fd_, deadline);
    const int code = WaitExit(pid_, deadline);
    pid_ = -1;
    return code;
}

} // namespace ravlo::voksim::testing
