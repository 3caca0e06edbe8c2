#pragma once

#include "protocol/ma_debug.h" // DM_Ravlo_MA_Mess also traces every message this process posts

#include <cstdint>

namespace ravlo {

// Debug-mask bits of the communication process's traces.
inline constexpr std::uint32_t DM_MAPRMess = 0x10; // every message that arrives
inline constexpr std::uint32_t DM_MAPR = 0x20;     // queueing and freeing of messages
inline constexpr std::uint32_t DM_MAPRStep = 0x40; // exchanges completed and given up

} // namespace ravlo
