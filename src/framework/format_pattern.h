#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace ravlo {

using FormatArg = std::variant<std::int64_t, std::uint64_t, double, std::string>;

// Shown in place of a conversion that has no argument left.
inline constexpr std::string_view kFormatMissingArg = "<?>";
// Shown in place of a conversion whose argument is of a kind it cannot print (a text for %d).
inline constexpr std::string_view kFormatWrongArg = "<?!>";

// printf-like formatting for patterns that come from texts, so a bad pattern never reads past the
// arguments. Conversions: %s %d %i %u %x %X %f %g %e %c and %%, with the flags "-" "0" "+" " ",
// a width and a .precision. Anything else after "%" (including "*") is copied as it stands.
// A number for %s prints in decimal; an integer for %f/%g/%e prints as a real; a negative value
// within 32 bits prints its 32-bit two's complement for %u/%x/%X. Extra arguments are ignored.
std::string FormatPattern(std::string_view pattern, std::span<const FormatArg> args);

} // namespace ravlo
