#include "framework/date_text.h"

#include "framework/local_time.h"
#include "framework/number_text.h"
#include "framework/padding.h"
#include "framework/text_settings.h"

#include <array>
#include <chrono>

namespace ravlo {
namespace {

// At least two digits, more when the value needs them.
std::string AtLeastTwoDigits(std::uint64_t value) {
    return PadLChr(std::to_string(value), 2, '0');
}

std::string TimeText(std::uint64_t hours, std::uint64_t minutes, std::uint64_t seconds) {
    return AtLeastTwoDigits(hours) + TimeSep + AtLeastTwoDigits(minutes) + TimeSep +
           AtLeastTwoDigits(seconds);
}

std::string YearText(std::uint16_t year) {
    if (Year4) {
        return year == 0 ? "????" : PadLChr(std::to_string(year), 4, ' ');
    }
    return year == 0 ? "??" : TwoDigits(year);
}

std::uint64_t Magnitude(std::int64_t value) {
    // Unsigned negation keeps the most negative value representable.
    return value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
}

} // namespace

std::string TimeRecStr(const TDTRec& r) {
    return TimeText(r.Hour, r.Min, r.Sec);
}

std::string DateRecStr(const TDTRec& r) {
    const std::string day = (r.Day >= 1 && r.Day <= 31) ? TwoDigits(r.Day) : "??";
    const std::string month = (r.Month >= 1 && r.Month <= 12) ? TwoDigits(r.Month) : "??";
    const std::string year = YearText(r.Year);
    std::array<const std::string*, 3> fields{&day, &month, &year};
    if (DateOrder == kDateOrderMonthDayYear) {
        fields = {&month, &day, &year};
    } else if (DateOrder == kDateOrderYearMonthDay) {
        fields = {&year, &month, &day};
    }
    return *fields[0] + DateSep + *fields[1] + DateSep + *fields[2];
}

std::string DTRecStr(const TDTRec& r) {
    return DateRecStr(r) + " " + TimeRecStr(r);
}

TDTRec FileDateToDTRec(std::int32_t fileDate) {
    const auto packed = static_cast<std::uint32_t>(fileDate);
    const std::uint32_t date = packed >> 16;
    const std::uint32_t time = packed & 0xFFFFu;
    TDTRec r;
    r.Year = static_cast<std::uint16_t>(1980 + (date >> 9));
    r.Month = static_cast<std::uint16_t>((date >> 5) & 0x0Fu);
    r.Day = static_cast<std::uint16_t>(date & 0x1Fu);
    r.Hour = static_cast<std::uint16_t>(time >> 11);
    r.Min = static_cast<std::uint16_t>((time >> 5) & 0x3Fu);
    r.Sec = static_cast<std::uint16_t>((time & 0x1Fu) * 2);
    return r;
}

std::int32_t DTRecToFileDate(const TDTRec& r) {
    if (r.Year < 1980 || r.Year > 2107 || r.Month < 1 || r.Month > 12 || r.Day < 1 || r.Day > 31 ||
        r.Hour > 23 || r.Min > 59 || r.Sec > 59) {
        return 0;
    }
    const std::uint32_t date = (static_cast<std::uint32_t>(r.Year - 1980) << 9) | (r.Month << 5) | r.Day;
    const std::uint32_t time = (static_cast<std::uint32_t>(r.Hour) << 11) | (r.Min << 5) | (r.Sec / 2u);
    return static_cast<std::int32_t>((date << 16) | time);
}

std::string FileDateStr(std::int32_t fileDate) {
    return DTRecStr(FileDateToDTRec(fileDate));
}

std::string SecsToTimeStr(std::int64_t secs) {
    const std::uint64_t s = Magnitude(secs);
    return TimeText(s / 3600, s % 3600 / 60, s % 60);
}

std::string SgnSecsToStr(std::int64_t secs) {
    return (secs < 0 ? "-" : "+") + SecsToTimeStr(secs);
}

TDTRec NowDTRec() {
    return LocalDTRec(std::chrono::system_clock::now());
}

std::string NowStr() {
    return DTRecStr(NowDTRec());
}

} // namespace ravlo
