#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ravlo {

// "$" and at least five upper-case hex digits (more when the value needs them).
std::string DollarHex5(std::uint32_t value);

// "$" and five hex digits, then " (" + value div 1024 + " KB)".
std::string SizeWithKb(std::uint32_t value);

// A hex number as typed into the module fields: blanks around it, an optional "-", an optional
// "$", then hex digits of either case. Nothing when it is not such a number or does not fit 32 bits.
std::optional<std::int64_t> ParseModuleHex(std::string_view text);

} // namespace ravlo
