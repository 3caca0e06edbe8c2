#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace ravlo {

// The text after its leading blanks: a number typed into a field may start with blanks, as the
// platform's Val allows; a blank after the number, or a tab anywhere, still makes it fail.
std::string_view SkipLeadingBlanks(std::string_view text);

// Number texts as the program's files and settings hold them: an optional sign, then decimal
// digits or "$" followed by hex digits of either case. Blanks or any other character anywhere make
// the text fail, as does a value the target type cannot hold; nothing is ever wrapped silently.
// What a user types into a dialog goes through SkipLeadingBlanks first.

// Any value of a signed 64-bit integer.
std::optional<std::int64_t> ValInt64(std::string_view text);

// A 32-bit integer: decimal -2147483648..2147483647; hex up to $FFFFFFFF is taken as the 32-bit
// pattern, so "$FFFFFFFF" is -1.
std::optional<std::int32_t> ValInt32(std::string_view text);

// An unsigned 32-bit value, decimal or hex, at most 4294967295 ($FFFFFFFF); no minus sign but "-0".
std::optional<std::uint32_t> ValDWord(std::string_view text);

// A real: optional sign, digits with an optional "." and fraction (at least one digit in all),
// then optionally "E" or "e", an optional sign and digits. Values a double cannot hold (too
// large, or so small that they would underflow) fail.
std::optional<double> ValReal(std::string_view text);

} // namespace ravlo
