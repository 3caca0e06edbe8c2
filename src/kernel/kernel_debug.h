#pragma once

#include <cstdint>

namespace ravlo {

// Debug-mask bits of the kernel's optional traces.
inline constexpr std::uint32_t DM_InitDone = 0x1;
inline constexpr std::uint32_t DM_ProcMess = 0x2;
inline constexpr std::uint32_t DM_DelayMess = 0x4;

} // namespace ravlo
