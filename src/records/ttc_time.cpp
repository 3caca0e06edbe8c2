#include "records/ttc_time.h"

#include "framework/padding.h"

#include <array>

namespace ravlo {
namespace {

constexpr std::uint32_t kCycleDays = 1461;
constexpr std::array<std::uint32_t, 4> kYearDays{366, 365, 365, 365};
constexpr std::array<std::uint16_t, 12> kMonthDays{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

std::uint32_t MonthLength(std::uint32_t month, bool leap) {
    return kMonthDays[month - 1] + ((leap && month == 2) ? 1 : 0);
}

} // namespace

std::optional<std::uint32_t> PackTTCTime(const TDTRec& rec) {
    if (rec.Year < kTTCFirstYear || rec.Year > kTTCLastYear || rec.Month < 1 || rec.Month > 12 ||
        rec.Hour > 23 || rec.Min > 59 || rec.Sec > 59) {
        return std::nullopt;
    }
    const std::uint32_t y = rec.Year - kTTCFirstYear;
    const bool leap = y % 4 == 0;
    if (rec.Day < 1 || rec.Day > MonthLength(rec.Month, leap)) {
        return std::nullopt;
    }
    std::uint32_t days = y / 4 * kCycleDays;
    for (std::uint32_t i = 0; i < y % 4; ++i) {
        days += kYearDays[i];
    }
    for (std::uint32_t m = 1; m < rec.Month; ++m) {
        days += MonthLength(m, leap);
    }
    days += rec.Day - 1u;
    const bool afternoon = rec.Hour > 11;
    const std::uint32_t low = days * 2 + (afternoon ? 1 : 0);
    const std::uint32_t high = (rec.Hour % 12) * 3600u + rec.Min * 60u + rec.Sec;
    return (high << 16) | low;
}

TDTRec UnpackTTCTime(std::uint32_t t) {
    const std::uint32_t days = (t & 0xFFFFu) >> 1;
    std::uint32_t rest = days % kCycleDays + 1;
    std::uint32_t year = 0;
    while (year < 3 && rest > kYearDays[year]) {
        rest -= kYearDays[year];
        ++year;
    }
    std::uint32_t month = 1;
    while (month < 12 && rest > MonthLength(month, year == 0)) {
        rest -= MonthLength(month, year == 0);
        ++month;
    }
    const std::uint32_t seconds = t >> 16;
    TDTRec rec;
    rec.Year = static_cast<std::uint16_t>(kTTCFirstYear + days / kCycleDays * 4 + year);
    rec.Month = static_cast<std::uint16_t>(month);
    rec.Day = static_cast<std::uint16_t>(rest);
    rec.Hour = static_cast<std::uint16_t>(seconds / 3600 + ((t & 1u) != 0 ? 12 : 0));
    rec.Min = static_cast<std::uint16_t>(seconds % 3600 / 60);
    rec.Sec = static_cast<std::uint16_t>(seconds % 60);
    return rec;
}

bool IsTTCTime(std::uint32_t t) {
    return PackTTCTime(UnpackTTCTime(t)) == t;
}

int CmpTTCTime(std::uint32_t a, std::uint32_t b) {
    const std::uint32_t dayA = a & 0xFFFFu;
    const std::uint32_t dayB = b & 0xFFFFu;
    if (dayA != dayB) {
        return dayA < dayB ? -1 : 1;
    }
    const std::uint32_t secA = a >> 16;
    const std::uint32_t secB = b >> 16;
    return secA < secB ? -1 : (secA > secB ? 1 : 0);
}

std::string TTCTimeStr(std::uint32_t t) {
    return CutToShort(DTRecStr(UnpackTTCTime(t)));
}

std::uint32_t GetTTCTimeNow() {
    const TDTRec now = FileDateToDTRec(DTRecToFileDate(NowDTRec()));
    return PackTTCTime(now).value_or(0);
}

} // namespace ravlo
