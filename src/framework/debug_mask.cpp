#include "framework/debug_mask.h"

namespace ravlo {

void SetDebugMask(std::uint32_t mask) {
    DebugMask.store(mask, std::memory_order_relaxed);
}

bool TestDebugMask(std::uint32_t bits) {
    return bits != 0 && (GetDebugMask() & bits) == bits;
}

} // namespace ravlo
