#pragma once

#include "platform/scoped_install.h"

#include <atomic>
#include <cstdint>

namespace ravlo {

// A source of monotonic milliseconds. The program reads time only through TickMs, so tests can put
// a manual clock in place of the real one.
class TickSource {
public:
    virtual ~TickSource() = default;
    virtual std::uint64_t NowMs() const = 0;
};

// Milliseconds of std::chrono::steady_clock (on Linux: since boot, like the tick count of the
// boards' host platform).
class SteadyTickSource final : public TickSource {
public:
    std::uint64_t NowMs() const override;
};

// A clock that moves only when told to. Safe to read from any thread.
class ManualTickSource final : public TickSource {
public:
    explicit ManualTickSource(std::uint64_t startMs = 0) : nowMs_(startMs) {}

    std::uint64_t NowMs() const override { return nowMs_.load(); }
    void Advance(std::uint64_t ms) { nowMs_.fetch_add(ms); }
    void Set(std::uint64_t ms) { nowMs_.store(ms); }

private:
    std::atomic<std::uint64_t> nowMs_;
};

// 64-bit milliseconds of the current source; use these for due times and time-outs, they never wrap.
std::uint64_t TickMs();

// The low 32 bits of TickMs: the wrapping tick count that stored time stamps and timed messages use.
std::uint32_t GetTickCount();

// Installs a source (nullptr restores the steady clock) and answers the previous one. The source
// must outlive its use; prefer ScopedTickSource.
TickSource* SetTickSource(TickSource* source);

// Installs a source for the lifetime of the guard and restores the previous one afterwards.
using ScopedTickSource = ScopedInstall<TickSource, SetTickSource>;

// Milliseconds from `then` to `now` on the wrapping 32-bit count; right across the wrap as long as
// less than 2^32 ms (49.7 days) lie between them.
constexpr std::uint32_t TickElapsed(std::uint32_t now, std::uint32_t then) {
    return static_cast<std::uint32_t>(now - then);
}

// Whether the wrapping count `now` has reached `due`, for due times less than 2^31 ms away.
constexpr bool TickReached(std::uint32_t now, std::uint32_t due) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(now - due)) >= 0;
}

// The 64-bit due time `timeoutMs` from now; saturates instead of wrapping.
std::uint64_t DueTickMs(std::uint64_t timeoutMs);

// Whether the 64-bit due time has come.
bool TickDue(std::uint64_t dueMs);

// Blocks the calling thread for real milliseconds, whatever the tick source.
void SleepMs(std::uint32_t ms);

} // namespace ravlo
