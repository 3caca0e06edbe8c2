#pragma once

#include <string>
#include <string_view>

namespace ravlo {

// Case of code page 1250 letters: ASCII and the accented Latin letters of the code page
// (Czech, Slovak, Polish, Hungarian and the like). Other bytes are left as they are.
char Cp1250ToLower(char c);
char Cp1250ToUpper(char c);
std::string Cp1250ToUpper(std::string_view text);

// Equality of two code page 1250 texts with case ignored.
bool SameTextNoCase(std::string_view a, std::string_view b);

// Case-ignoring order of two code page 1250 texts, byte by byte after folding to lower case: -1, 0
// or 1. Letters compare by their byte values, so accented letters sort after "z"; there is no
// national collation.
int CompareTextNoCase(std::string_view a, std::string_view b);

// Case of the ASCII letters only; every other byte stays exactly as it is, so stored texts that
// are not letters (encoded values, bytes above $7F) never change.
std::string AsciiToUpper(std::string_view text);
bool SameAsciiNoCase(std::string_view a, std::string_view b);

} // namespace ravlo
