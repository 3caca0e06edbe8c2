#include "shell/user_level.h"

namespace ravlo {

std::string CurrentUser;
std::uint8_t UserLevel = 0;
std::uint16_t UserOpt = 0;
bool HighAccess = false;

std::uint8_t LoginLevel(std::uint8_t storedLevel) {
    constexpr std::uint8_t kHighestOrdinary = 2;
    constexpr std::uint8_t kDebugLevel = 254;
    return storedLevel > kHighestOrdinary && storedLevel != kDebugLevel ? kHighestOrdinary : storedLevel;
}

} // namespace ravlo
