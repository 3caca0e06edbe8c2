#pragma once

#include "framework/date_text.h"

#include <cstdint>
#include <optional>
#include <string>

namespace ravlo {

// The packed TTC time stamp: bit 0 the afternoon flag (hour 12..23), bits 1..15 the day number
// since 1 January 1992, bits 16..31 the seconds since the start of the half day. Years run from
// 1992 to 2080; every fourth year from 1992 is a leap year.
inline constexpr std::uint16_t kTTCFirstYear = 1992;
inline constexpr std::uint16_t kTTCLastYear = 2080;

// The stamp of a date and time; nullopt for a year outside 1992..2080, a month outside 1..12, a
// day the month does not have, or an hour, minute or second out of range.
std::optional<std::uint32_t> PackTTCTime(const TDTRec& rec);

// The date and time of a stamp.
TDTRec UnpackTTCTime(std::uint32_t t);

// Whether t lies in the packed range: its date and time pack back to it. A day beyond 2080 or
// seconds beyond the half day do not (such a stamp unpacks to an impossible time of day).
bool IsTTCTime(std::uint32_t t);

// -1, 0 or 1: the day and half-day word first (unsigned), then the seconds. Not the order of the
// two 32-bit values as numbers.
int CmpTTCTime(std::uint32_t a, std::uint32_t b);

// The stamp as DTRecStr text.
std::string TTCTimeStr(std::uint32_t t);

// The current local time as a stamp, with even seconds as a DOS file time has them; 0 when the
// clock shows a year outside the stamp's range.
std::uint32_t GetTTCTimeNow();

} // namespace ravlo
