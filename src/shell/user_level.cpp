#include "shell/user_level.h"

namespace ravlo {

std::uint8_t UserLevel = 0;
bool HighAccess = false;

} // namespace ravlo
