#include "protocol/com_globals.h"

#include "framework/broadcast.h"
#include "platform/window_messages.h"

namespace ravlo {

std::uint32_t ComBaud = 0;
std::uint8_t ComOpenPort = 0;
std::uint8_t ComDefaultPort = 1;

void SetComBaud(std::uint32_t baud) {
    ComBaud = baud;
    MainFormBroadcast(wm_VarChanged, sizeof ComBaud, reinterpret_cast<std::uintptr_t>(&ComBaud));
}

void SetComOpenPort(std::uint8_t port) {
    ComOpenPort = port;
    MainFormBroadcast(wm_VarChanged, sizeof ComOpenPort, reinterpret_cast<std::uintptr_t>(&ComOpenPort));
}

void ResetComGlobals() {
    ComBaud = 0;
    ComOpenPort = 0;
    ComDefaultPort = 1;
}

} // namespace ravlo
