#pragma once

#include "channels/port_driver.h"

#include <string>

namespace ravlo {

// "COM" followed by the port number.
std::string ComPortName(int port);

// The device path of port COMn, looked up in this order: the environment variable RAVLO_COMn, the
// key COMn in section [PORTS] of "RTDW.INI", then /dev/ttyS(n-1). A pseudo-terminal path works like
// any port.
std::string ComPortPath(int port);

// Why COMn at path did not open, in words a Linux user can act on.
std::string PortOpenFailureText(int port, const std::string& path, const PortOpenResult& result);

} // namespace ravlo
