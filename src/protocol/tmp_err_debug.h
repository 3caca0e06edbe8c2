#pragma once

#include <cstdint>

namespace ravlo {

// Debug-mask bits of the error-history traces (the process and those who post to it).
inline constexpr std::uint32_t DM_TmpErr_Debug = 0x80000;
inline constexpr std::uint32_t DM_TmpErr_Mess = 0x100000;
inline constexpr std::uint32_t DM_TmpErr_SymbMess = 0x200000;

} // namespace ravlo
