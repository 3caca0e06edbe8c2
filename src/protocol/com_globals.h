#pragma once

#include <cstdint>

namespace ravlo {

// The COM port the communication process has open, program-wide: its baud rate (ComBaud, which
// also scales the answer time-outs) and its number (ComOpenPort); both 0 while no port is open.
// Only the communication process changes them, through the setters, which tell the windows with
// wm_VarChanged (the value's size and address).
extern std::uint32_t ComBaud;
extern std::uint8_t ComOpenPort;
// The port a new communication process starts with; the board master process sets it to 1 when it
// is created and the COM defaults command to the last port opened.
extern std::uint8_t ComDefaultPort;

void SetComBaud(std::uint32_t baud);
void SetComOpenPort(std::uint8_t port);

// Back to 0, 0 and 1 without notification (for tests).
void ResetComGlobals();

} // namespace ravlo
