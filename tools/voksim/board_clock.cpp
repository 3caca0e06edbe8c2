#include "voksim/board_clock.h"

#include <charconv>
#include <cstdio>
#include <ctime>

namespace ravlo::voksim {

namespace {

using std::chrono::day;
using std::chrono::month;
using std::chrono::sys_days;
using std::chrono::year;
using std::chrono::year_month_day;

std::optional<int> Digits(std::string_view text, std::size_t at, std::size_t count) {
    if (at + count > text.size()) {
        return std::nullopt;
    }
    int value = 0;
    const char* first = text.data() + at;
    const auto [end, error] = std::from_chars(first, first + count, value);
    if (error != std::errc{} || end != first + count) {
        return std::nullopt;
    }
    return value;
}

} // namespace

bool IsValidClockTime(const ClockTime& t) {
    const year_month_day date{year{t.year}, month{static_cast<unsigned>(t.month)},
                              day{static_cast<unsigned>(t.day)}};
    return t.year >= kClockMinYear && t.year <= kClockMaxYear && t.month >= 1 && t.day >= 1 && date.ok() &&
           t.hour >= 0 && t.hour <= 23 && t.minute >= 0 && t.minute <= 59 && t.second >= 0 && t.second <= 59;
}

std::optional<ClockTime> ParseClockTime(std::string_view text) {
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || (text[10] != 'T' && text[10] != ' ') ||
        text[13] != ':' || text[16] != ':') {
        return std::nullopt;
    }
    const auto y = Digits(text, 0, 4);
    const auto mo = Digits(text, 5, 2);
    const auto d = Digits(text, 8, 2);
    const auto h = Digits(text, 11, 2);
    const auto mi = Digits(text, 14, 2);
    const auto s = Digits(text, 17, 2);
    if (!y || !mo || !d || !h || !mi || !s) {
        return std::nullopt;
    }
    const ClockTime time{*y, *mo, *d, *h, *mi, *s};
    if (!IsValidClockTime(time)) {
        return std::nullopt;
    }
    return time;
}

std::string ClockTimeText(const ClockTime& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                  t.minute, t.second);
    return text;
}

ClockTime LocalClockTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    ClockTime time{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                   local.tm_hour,        local.tm_min,     local.tm_sec};
    if (time.second > 59) { // a leap second
        time.second = 59;
    }
    return time;
}

std::uint8_t ToBcd(int value) {
    return static_cast<std::uint8_t>(((value / 10) % 10) << 4 | (value % 10));
}

ClockTime BoardClock::Now(Ns now) const {
    if (stopped_) {
        return set_to_;
    }
    const year_month_day date{year{set_to_.year}, month{static_cast<unsigned>(set_to_.month)},
                              day{static_cast<unsigned>(set_to_.day)}};
    const std::int64_t start = static_cast<std::int64_t>(sys_days{date}.time_since_epoch().count()) * 86400 +
                               set_to_.hour * 3600 + set_to_.minute * 60 + set_to_.second;
    const std::int64_t seconds =
        start + std::chrono::duration_cast<std::chrono::seconds>(now - set_at_).count();
    const std::int64_t days = seconds >= 0 ? seconds / 86400 : (seconds - 86399) / 86400;
    const std::int64_t in_day = seconds - days * 86400;
    const year_month_day today{sys_days{std::chrono::days{days}}};
    return {static_cast<int>(today.year()),
            static_cast<int>(static_cast<unsigned>(today.month())),
            static_cast<int>(static_cast<unsigned>(today.day())),
            static_cast<int>(in_day / 3600),
            static_cast<int>(in_day / 60 % 60),
            static_cast<int>(in_day % 60)};
}

void BoardClock::Set(const ClockTime& time, Ns now) {
    set_to_ = time;
    set_at_ = now;
}

} // namespace ravlo::voksim
