#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ravlo {

// Readers of one token of free text from pos (0-based). Each answers "" at once when pos is past
// the end, otherwise skips characters that cannot start its token, collects the characters that
// belong to it and leaves pos on the first character that does not.

// From "+", "-", "." or a digit: those and "E", "e".
std::string GetRealTok(std::size_t& pos, std::string_view text);

// As GetRealTok, also taking DecimalSep (or "," when DecimalSep is ".") and storing it as ".";
// exactly GetRealTok when FieldSep is ",".
std::string GetLocRealTok(std::size_t& pos, std::string_view text);

// From "$": "$" and hex digits; otherwise from "-" or a digit: "-" and digits.
std::string GetIntTok(std::size_t& pos, std::string_view text);

// Digits with DateSep / TimeSep; skipping stops at FieldSep, which then ends the token empty.
std::string GetDateTok(std::size_t& pos, std::string_view text);
std::string GetTimeTok(std::size_t& pos, std::string_view text);

// Decimal digits.
std::string GetDigitsTok(std::size_t& pos, std::string_view text);

// After blanks: everything up to the next blank.
std::string GetWordTok(std::size_t& pos, std::string_view text);

} // namespace ravlo
