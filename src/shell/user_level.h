#pragma once

#include <cstdint>
#include <string>

namespace ravlo {

// Who is logged in: CurrentUser (empty for nobody), his level (0 nobody; 1 may read memory into a
// file and open the memory view, 2 may also write a file to the board and edit the memory view, 254
// also sees the program's debug menu) and his option bits.
extern std::string CurrentUser;
extern std::uint8_t UserLevel;
extern std::uint16_t UserOpt;
// UserLevel >= 2, published by the main form's menu update for the other windows.
extern bool HighAccess;

// The level a stored level gives at login: above 2 it counts as 2, except 254.
std::uint8_t LoginLevel(std::uint8_t storedLevel);

} // namespace ravlo
