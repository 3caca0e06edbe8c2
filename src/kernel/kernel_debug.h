#pragma once

#include "framework/debug_mask.h"
#include "framework/writer_channels.h"

#include <cstdint>
#include <string_view>

namespace ravlo {

// Debug-mask bits of the kernel's optional traces.
inline constexpr std::uint32_t DM_InitDone = 0x1;
inline constexpr std::uint32_t DM_ProcMess = 0x2;
inline constexpr std::uint32_t DM_DelayMess = 0x4;

// A creation or destruction trace line to channel 0, only while DM_InitDone is set.
inline void TraceInit(std::string_view text) {
    if (TestDebugMask(DM_InitDone)) {
        Writelnsys(0, text);
    }
}

} // namespace ravlo
