#include "framework/local_time.h"

#include <ctime>

namespace ravlo {

TDTRec LocalDTRec(std::chrono::system_clock::time_point time) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
    std::tm local{};
    localtime_r(&seconds, &local);
    TDTRec r;
    r.Year = static_cast<std::uint16_t>(local.tm_year + 1900);
    r.Month = static_cast<std::uint16_t>(local.tm_mon + 1);
    r.Day = static_cast<std::uint16_t>(local.tm_mday);
    r.Hour = static_cast<std::uint16_t>(local.tm_hour);
    r.Min = static_cast<std::uint16_t>(local.tm_min);
    r.Sec = static_cast<std::uint16_t>(local.tm_sec > 59 ? 59 : local.tm_sec);
    return r;
}

std::optional<std::chrono::system_clock::time_point> LocalDTRecToTime(const TDTRec& r) {
    if (r.Month < 1 || r.Month > 12 || r.Day < 1 || r.Day > 31 || r.Hour > 23 || r.Min > 59 || r.Sec > 59) {
        return std::nullopt;
    }
    std::tm local{};
    local.tm_year = r.Year - 1900;
    local.tm_mon = r.Month - 1;
    local.tm_mday = r.Day;
    local.tm_hour = r.Hour;
    local.tm_min = r.Min;
    local.tm_sec = r.Sec;
    local.tm_isdst = -1; // let the time zone rules decide on summer time
    const std::time_t seconds = std::mktime(&local);
    if (seconds == static_cast<std::time_t>(-1)) {
        return std::nullopt;
    }
    return std::chrono::system_clock::from_time_t(seconds);
}

} // namespace ravlo
