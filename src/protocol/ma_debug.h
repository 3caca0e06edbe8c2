#pragma once

#include <cstdint>

namespace ravlo {

// Debug-mask bits of the board master process's traces.
inline constexpr std::uint32_t DM_Ravlo_MA_Debug = 0x10000;
inline constexpr std::uint32_t DM_Ravlo_MA_Mess = 0x20000;

} // namespace ravlo
