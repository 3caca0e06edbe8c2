#pragma once

#include <cstdint>

namespace ravlo {

// The logged-in user's level (0 nobody, 1 may read the board, 2 may also write it, 254 and above
// see the program's debug menu). Nobody logs in yet, so it stays 0 unless set.
extern std::uint8_t UserLevel;
// UserLevel >= 2, published by the main form's menu update for the other windows.
extern bool HighAccess;

} // namespace ravlo
