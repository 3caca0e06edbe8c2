#pragma once

#include <cstdint>

namespace ravlo {

// A window as the message queue sees it: 32 bits, never 0 for a registered target.
using WindowHandle = std::uint32_t;
inline constexpr WindowHandle kNoWindow = 0;

// Receives the window messages posted or sent to its handle, always on the queue's owner thread.
class MessageTarget {
public:
    virtual ~MessageTarget() = default;
    virtual std::intptr_t HandleMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) = 0;
};

} // namespace ravlo
