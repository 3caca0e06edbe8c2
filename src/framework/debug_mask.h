#pragma once

#include <atomic>
#include <cstdint>

namespace ravlo {

// One bit per optional trace topic; 0 (no optional traces) at start.
inline std::atomic<std::uint32_t> DebugMask{0};

inline std::uint32_t GetDebugMask() {
    return DebugMask.load(std::memory_order_relaxed);
}

void SetDebugMask(std::uint32_t mask);

// True when bits is not 0 and every one of its bits is set in DebugMask.
bool TestDebugMask(std::uint32_t bits);

} // namespace ravlo
