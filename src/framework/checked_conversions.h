#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace ravlo {

// Options of the number conversions below.
inline constexpr std::uint32_t kChkMinExclusive = 0x400;
inline constexpr std::uint32_t kChkMaxExclusive = 0x800;

// Checked text-to-number conversions of the dialog validators. On success text becomes empty,
// value is set and the answer is true. On failure value is unchanged, text is replaced by the
// message (string-table text and a blank, for the caller to add a range text; cut to maxLen) and
// the answer is false. Numbers are decimal or "$" hex as a user types them: leading blanks are
// skipped (SkipLeadingBlanks), any other blank fails.

// 32-bit integer; messages 134 (syntax) and 135 (out of range).
bool StrToIntChk(std::string& text, std::size_t maxLen, std::int32_t& value, std::uint32_t options,
                 std::int32_t max, std::int32_t min);
// The same with message 138 for a syntax error.
bool StrToLongIntChk(std::string& text, std::size_t maxLen, std::int32_t& value, std::uint32_t options,
                     std::int32_t max, std::int32_t min);
// Unsigned 32-bit, compared unsigned; a number outside 0..$FFFFFFFF is out of range; 138 and 135.
bool StrToDWordChk(std::string& text, std::size_t maxLen, std::uint32_t& value, std::uint32_t options,
                   std::uint32_t max, std::uint32_t min);
// Real; 139 and 135.
bool StrToRealChk(std::string& text, std::size_t maxLen, double& value, std::uint32_t options, double max,
                  double min);

// Three digit groups in DateOrder (the first 40 characters of text); a missing group is 0. Day
// 1..31, month 1..12; a year of 3 or 4 digits 1980..2079, of 1 or 2 digits 2000 + y below 80,
// else 1900 + y. Each field is stored as it passes; the first failing one (also a group of more
// than 4 digits) stops the check with errText = message 135 + " " + its range, e.g. "< 1,31>".
bool StrToDateChk(std::string_view text, std::string& errText, std::uint16_t& year, std::uint16_t& month,
                  std::uint16_t& day);

// The years a date text may name: a year of 3 or 4 digits lies in first..last (the range text
// shows them), one of 1 or 2 digits is 2000 + y below pivot, else 1900 + y.
struct DateYearWindow {
    std::uint16_t first = 1980;
    std::uint16_t last = 2079;
    std::uint16_t pivot = 80;
};
bool StrToDateChk(std::string_view text, std::string& errText, std::uint16_t& year, std::uint16_t& month,
                  std::uint16_t& day, const DateYearWindow& window);

// Hour 0..23, minute and second 0..59, in the same way.
bool StrToTimeChk(std::string_view text, std::string& errText, std::uint16_t& hour, std::uint16_t& min,
                  std::uint16_t& sec);

} // namespace ravlo
