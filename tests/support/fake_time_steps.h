#pragma once

// Moving a test's fake clock in small steps, so timed messages fall due one step at a time the way
// they would under the real timer.

#include "platform/tick.h"

#include <algorithm>
#include <cstdint>
#include <functional>

namespace ravlo::testing {

// ms of fake time pass in steps of at most step ms; after each step afterStep() runs (posting the
// due timed messages and settling the rig).
template <typename AfterStep>
void AdvanceFakeTime(ManualTickSource& clock, std::uint32_t ms, std::uint32_t step, AfterStep&& afterStep) {
    for (std::uint32_t passed = 0; passed < ms;) {
        const std::uint32_t now = std::min(step, ms - passed);
        clock.Advance(now);
        passed += now;
        afterStep();
    }
}

// Advances 10 ms at a time until done() holds or limitMs passed; answers done(). The caller settles
// first, so what is already pending counts before any time passes.
template <typename AfterStep>
bool AdvanceFakeTimeUntil(ManualTickSource& clock, const std::function<bool()>& done, std::uint32_t limitMs,
                          AfterStep&& afterStep) {
    for (std::uint32_t ms = 0; ms < limitMs && !done(); ms += 10) {
        AdvanceFakeTime(clock, 10, 10, afterStep);
    }
    return done();
}

} // namespace ravlo::testing
