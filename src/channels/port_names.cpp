#include "channels/port_names.h"

#include "framework/rtdw_ini.h"
#include "platform/cp1250.h"
#include "platform/ini_file.h"

#include <cstdlib>
#include <cstring>

namespace ravlo {

std::string ComPortName(int port) {
    return "COM" + std::to_string(port);
}

std::string ComPortPath(int port) {
    const std::string name = ComPortName(port);
    if (const char* path = std::getenv(("RAVLO_" + name).c_str()); path != nullptr && *path != '\0') {
        return path;
    }
    const std::string stored = IniFile(GetRtdwIniName()).ReadString("PORTS", name);
    if (!stored.empty()) {
        return Cp1250ToUtf8(stored);
    }
    return "/dev/ttyS" + std::to_string(port - 1);
}

std::string PortGoneText(int port, const std::string& path) {
    return ComPortName(port) + " (" + path + "): the device has gone";
}

std::string LinkLostText(int port, const std::string& path, bool deviceGone) {
    const std::string head = ComPortName(port) + " (" + path + "): ";
    return head + (deviceGone ? "the device has gone; the link is made again as soon as it is back"
                              : "the board does not answer; the link is made again as soon as it answers");
}

std::string PortOpenFailureText(int port, const std::string& path, const PortOpenResult& result) {
    const std::string name = ComPortName(port);
    const std::string head = name + " (" + path + "): ";
    // Where the wrong device was named, the fix is naming the right one.
    const std::string mapping = "name the port's device in the environment variable RAVLO_" + name +
                                " or as " + name + "= in section [PORTS] of RTDW.INI";
    switch (result.Error) {
    case PortOpenError::None:
        return head + "open";
    case PortOpenError::Absent:
        return head + "no such device; connect the adapter, or " + mapping;
    case PortOpenError::Busy:
        return head + "the port is in use by another program; close that program and try again";
    case PortOpenError::NoPermission:
        return head + "permission denied; add your user to the dialout group (sudo usermod -aG dialout "
                      "$USER), then log out and in again";
    case PortOpenError::NotTerminal:
        return head + "this is not a serial port or terminal device; " + mapping;
    case PortOpenError::Other:
        break;
    }
    return head + (result.SystemError != 0 ? std::string(std::strerror(result.SystemError)) : "cannot open") +
           "; " + mapping;
}

} // namespace ravlo
