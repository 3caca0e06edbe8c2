#pragma once

#include <chrono>
#include <functional>
#include <thread>

namespace ravlo::testing {

// How long a test waits for what takes milliseconds when the code is right. Past it the test fails
// at once instead of hanging until the test runner's own time-out.
inline constexpr std::chrono::seconds kWaitLimit{5};

// Runs step (by default a yield) until done holds; false when kWaitLimit passed first.
inline bool WaitUntil(const std::function<bool()>& done, const std::function<void()>& step = {}) {
    const auto giveUp = std::chrono::steady_clock::now() + kWaitLimit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > giveUp) {
            return false;
        }
        step ? step() : std::this_thread::yield();
    }
    return true;
}

// A stop condition for loops that take one: done, or kWaitLimit passed.
inline std::function<bool()> DoneOrGiveUp(std::function<bool()> done) {
    const auto giveUp = std::chrono::steady_clock::now() + kWaitLimit;
    return [done = std::move(done), giveUp] {
        return done() || std::chrono::steady_clock::now() > giveUp;
    };
}

} // namespace ravlo::testing
