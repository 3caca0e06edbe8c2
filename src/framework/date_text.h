#pragma once

#include <cstdint>
#include <string>

namespace ravlo {

// A date and time as six words; texts follow the settings of framework/text_settings.h.
struct TDTRec {
    std::uint16_t Year = 0;
    std::uint16_t Month = 0;
    std::uint16_t Day = 0;
    std::uint16_t Hour = 0;
    std::uint16_t Min = 0;
    std::uint16_t Sec = 0;

    bool operator==(const TDTRec&) const = default;
};

// "hh:mm:ss" with TimeSep, each field at least two digits.
std::string TimeRecStr(const TDTRec& r);

// Day, month and year joined with DateSep in DateOrder; an impossible day or month shows "??",
// year 0 "????" (Year4) or "??".
std::string DateRecStr(const TDTRec& r);

// DateRecStr + " " + TimeRecStr.
std::string DTRecStr(const TDTRec& r);

// Between a DOS file date-time (date in the high word, time in the low word, seconds in
// two-second steps) and TDTRec. A record the DOS form cannot hold (year outside 1980..2107 or a
// field out of its range) packs to 0, never to a wrapped date.
TDTRec FileDateToDTRec(std::int32_t fileDate);
std::int32_t DTRecToFileDate(const TDTRec& r);
std::string FileDateStr(std::int32_t fileDate);

// Seconds as hours (beyond 24 if need be), minutes and seconds in the TimeRecStr form; the sign
// of a negative count is dropped. SgnSecsToStr puts "+" or "-" in front.
std::string SecsToTimeStr(std::int64_t secs);
std::string SgnSecsToStr(std::int64_t secs);

// The current local date and time, and its DTRecStr text.
TDTRec NowDTRec();
std::string NowStr();

} // namespace ravlo
