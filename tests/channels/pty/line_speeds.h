#pragma once

#include <cstdint>
#include <utility>

namespace ravlo::testing {

// The input and output rates a terminal runs at, as the kernel has them.
std::pair<std::uint32_t, std::uint32_t> LineSpeeds(int fd);

} // namespace ravlo::testing
