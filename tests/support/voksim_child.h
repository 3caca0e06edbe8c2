#pragma once

// The board simulator as a child process of a test: started from the build folder, its
// pseudo-terminal's path read from its first line, stopped with a signal (SIGTERM unless told).

#include "built_program.h"

#include <array>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace ravlo::testing {

class VoksimChild {
public:
    // Starts the simulator with the arguments, its error output going to errors; Ok() tells whether
    // it came up with its terminal.
    VoksimChild(const std::filesystem::path& program, const std::vector<std::string>& args,
                const std::filesystem::path& errors = "/dev/null") {
        std::array<int, 2> out{};
        if (::pipe(out.data()) != 0) {
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errors.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        std::vector<std::string> words{program.string()};
        words.insert(words.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& word : words) {
            argv.push_back(word.data());
        }
        argv.push_back(nullptr);
        const int failed = ::posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        out_ = out[0];
        if (failed != 0) {
            pid_ = -1;
            return;
        }
        slavePath_ = ReadFirstLine(std::chrono::seconds(5));
    }
    ~VoksimChild() { Stop(); }
    VoksimChild(const VoksimChild&) = delete;
    VoksimChild& operator=(const VoksimChild&) = delete;

    bool Ok() const { return pid_ > 0 && !slavePath_.empty(); }
    const std::string& SlavePath() const { return slavePath_; }

    // Sends the signal and goes on (SIGUSR1 has the outputs written while the board serves on).
    void Signal(int signal) const {
        if (pid_ > 0) {
            ::kill(pid_, signal);
        }
    }

    // The signal and the exit code (-1 when it did not exit normally or was not running). One that
    // has not ended 5 s after the signal is killed: a failure, not a wait.
    int Stop(int signal = SIGTERM) {
        int code = -1;
        if (pid_ > 0) {
            ::kill(pid_, signal);
            int status = 0;
            pid_t ended = 0;
            for (int i = 0; i < 500 && (ended = ::waitpid(pid_, &status, WNOHANG)) == 0; ++i) {
                ::usleep(10'000);
            }
            if (ended == 0) {
                ::kill(pid_, SIGKILL);
                ::waitpid(pid_, &status, 0);
            } else if (ended == pid_ && WIFEXITED(status)) {
                code = WEXITSTATUS(status);
            }
            pid_ = -1;
        }
        if (out_ >= 0) {
            ::close(out_);
            out_ = -1;
        }
        return code;
    }

private:
    std::string ReadFirstLine(std::chrono::milliseconds limit) {
        std::string line;
        const auto giveUp = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < giveUp) {
            pollfd readable{out_, POLLIN, 0};
            if (::poll(&readable, 1, 50) <= 0) {
                continue;
            }
            char c = 0;
            if (::read(out_, &c, 1) != 1) {
                break;
            }
            if (c == '\n') {
                return line;
            }
            line += c;
        }
        return {};
    }

    pid_t pid_ = -1;
    int out_ = -1;
    std::string slavePath_;
};

} // namespace ravlo::testing
