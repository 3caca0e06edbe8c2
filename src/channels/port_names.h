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

// COMn at path has gone from under the open port.
std::string PortGoneText(int port, const std::string& path);

// What became of the link on COMn at path when the board stopped answering: the device has gone,
// or the board is silent; either way it is looked for again.
std::string LinkLostText(int port, const std::string& path, bool deviceGone);

// Why COMn at path did not open, in words a Linux user can act on.
std::string PortOpenFailureText(int port, const std::string& path, const PortOpenResult& result);

} // namespace ravlo
