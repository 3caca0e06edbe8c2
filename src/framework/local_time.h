#pragma once

#include "framework/date_text.h"

#include <chrono>
#include <optional>

namespace ravlo {

// A moment as the local wall-clock date and time (a leap second shows as 59).
TDTRec LocalDTRec(std::chrono::system_clock::time_point time);

// The moment a local date and time names; nullopt when the fields name no date.
std::optional<std::chrono::system_clock::time_point> LocalDTRecToTime(const TDTRec& r);

} // namespace ravlo
