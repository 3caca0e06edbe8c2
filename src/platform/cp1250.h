#pragma once

#include <string>
#include <string_view>

namespace ravlo {

// Stored system texts are code page 1250 bytes, one byte a character; these convert at the edges
// (screen, logs, UTF-8 literals in the source).

// Every byte maps to a code point, so the conversion is lossless: the five bytes the code page
// leaves undefined come out as the C1 control of the same number.
std::string Cp1250ToUtf8(std::string_view text);

// Characters the code page cannot hold become "?"; malformed UTF-8 bytes are taken as code
// page 1250 bytes as they are, so a text that was never UTF-8 passes through unchanged.
std::string Utf8ToCp1250(std::string_view text);

// Whether every character of the UTF-8 text is one the code page holds (Utf8ToCp1250 then keeps
// it as it is).
bool FitsCp1250(std::string_view text);

} // namespace ravlo
