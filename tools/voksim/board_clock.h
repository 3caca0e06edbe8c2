#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ravlo::voksim {

// Simulator time: nanoseconds on a monotonic clock from an arbitrary start.
using Ns = std::chrono::nanoseconds;

struct ClockTime {
    int year = 2000;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    bool operator==(const ClockTime&) const = default;
};

// The years the board's BIOS accepts (it reports them with every clock reading).
inline constexpr int kClockMinYear = 1980;
inline constexpr int kClockMaxYear = 2099;

// A real date and time within the BIOS years.
bool IsValidClockTime(const ClockTime& time);
// "YYYY-MM-DDThh:mm:ss" (a blank may stand for the T).
std::optional<ClockTime> ParseClockTime(std::string_view text);
// "YYYY-MM-DDThh:mm:ss", as ParseClockTime reads it.
std::string ClockTimeText(const ClockTime& time);
// The computer's local time now.
ClockTime LocalClockTime();
std::uint8_t ToBcd(int value);

// The board's battery clock: runs on from the time it was last set, or stands still when stopped.
class BoardClock {
public:
    BoardClock(const ClockTime& start, bool stopped, Ns now)
        : set_to_(start), set_at_(now), stopped_(stopped) {}

    ClockTime Now(Ns now) const;
    void Set(const ClockTime& time, Ns now);

private:
    ClockTime set_to_;
    Ns set_at_;
    bool stopped_;
};

} // namespace ravlo::voksim
