#pragma once

#include <string_view>

namespace ravlo {

// Whether name matches a file-name mask with case ignored (code page 1250 letters): "*" stands for
// any run of characters, "?" for one character, "[...]" for one character of a set ("[a-c]" ranges,
// "[!...]" the characters not in the set). A mask with an unclosed "[" matches nothing.
bool MatchesMask(std::string_view name, std::string_view mask);

} // namespace ravlo
