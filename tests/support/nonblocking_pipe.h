#pragma once

// A non-blocking pipe for tests that need a descriptor they can make readable at will.

#include <array>
#include <fcntl.h>
#include <unistd.h>

namespace ravlo::testing {

class NonBlockingPipe {
public:
    NonBlockingPipe() {
        if (::pipe2(fds_.data(), O_NONBLOCK | O_CLOEXEC) != 0) {
            fds_ = {-1, -1};
        }
    }
    ~NonBlockingPipe() {
        for (const int fd : fds_) {
            if (fd >= 0) {
                ::close(fd);
            }
        }
    }
    NonBlockingPipe(const NonBlockingPipe&) = delete;
    NonBlockingPipe& operator=(const NonBlockingPipe&) = delete;

    bool Ok() const { return fds_[0] >= 0; }
    int ReadEnd() const { return fds_[0]; }
    // Makes the read end readable; answers whether the byte went in.
    bool Put() const { return ::write(fds_[1], "x", 1) == 1; }
    // Reads everything there is.
    void Drain() const {
        char buffer[64];
        while (::read(fds_[0], buffer, sizeof buffer) > 0) {
        }
    }

private:
    std::array<int, 2> fds_{-1, -1};
};

} // namespace ravlo::testing
