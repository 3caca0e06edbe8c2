#include "platform/tick.h"

#include <chrono>
#include <limits>
#include <thread>

namespace ravlo {
namespace {

SteadyTickSource& SteadyClock() {
    static SteadyTickSource clock;
    return clock;
}

std::atomic<TickSource*>& CurrentSource() {
    static std::atomic<TickSource*> source{&SteadyClock()};
    return source;
}

} // namespace

std::uint64_t SteadyTickSource::NowMs() const {
    const auto sinceEpoch = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch).count());
}

std::uint64_t TickMs() {
    return CurrentSource().load()->NowMs();
}

std::uint32_t GetTickCount() {
    return static_cast<std::uint32_t>(TickMs());
}

TickSource* SetTickSource(TickSource* source) {
    return CurrentSource().exchange(source != nullptr ? source : &SteadyClock());
}

std::uint64_t DueTickMs(std::uint64_t timeoutMs) {
    const std::uint64_t now = TickMs();
    const std::uint64_t room = std::numeric_limits<std::uint64_t>::max() - now;
    return timeoutMs > room ? std::numeric_limits<std::uint64_t>::max() : now + timeoutMs;
}

bool TickDue(std::uint64_t dueMs) {
    return TickMs() >= dueMs;
}

void SleepMs(std::uint32_t ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

} // namespace ravlo
