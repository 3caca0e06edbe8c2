#include "shell/com_param.h"

#include "channels/port_names.h"
#include "channels/termios_port_driver.h"
#include "framework/message_box.h"
#include "platform/cp1250.h"
#include "platform/ini_file.h"
#include "platform/message_box_flags.h"

#include <algorithm>

namespace ravlo {

bool TComPorts::AnyExisting() const {
    return std::find(Existing.begin(), Existing.end(), true) != Existing.end();
}

bool TComPorts::AnyAvailable() const {
    return std::find(Available.begin(), Available.end(), true) != Available.end();
}

TComPorts DetectComPorts(std::uint8_t ownPort) {
    TComPorts ports;
    for (std::uint8_t n = 1; n <= TComPorts::kMaxPort; ++n) {
        switch (ProbeTermiosPort(ComPortPath(n)).Error) {
        case PortOpenError::None:
            ports.Existing[n] = true;
            ports.Available[n] = true;
            break;
        case PortOpenError::Busy:
        case PortOpenError::NoPermission:
            // Held by a program, perhaps by this one's link.
            ports.Existing[n] = true;
            ports.Available[n] = n == ownPort;
            break;
        default:
            break; // absent, or no port at all
        }
    }
    return ports;
}

int ComBaudIndex(std::uint32_t baud) {
    if (baud == 0) {
        return -1;
    }
    const auto found = std::find(kComBauds.begin(), kComBauds.end(), baud);
    return found == kComBauds.end() ? 2 : static_cast<int>(found - kComBauds.begin());
}

std::uint32_t ComBaudOfIndex(int index) {
    return index >= 0 && index < static_cast<int>(kComBauds.size())
               ? kComBauds[static_cast<std::size_t>(index)]
               : kComBauds[0];
}

TComParam::TComParam(std::uint8_t port, std::uint32_t baud, std::function<TComPorts()> detect)
    : currentPort_(port), detect_(std::move(detect)), baudIndex_(ComBaudIndex(baud)) {
    Detect();
}

void TComParam::Detect() {
    ports_ = detect_();
    BuildButtons();
}

void TComParam::BuildButtons() {
    buttons_.clear();
    selPort_ = 0;
    for (std::uint8_t n = 1; n <= TComPorts::kMaxPort && buttons_.size() < kMaxButtons; ++n) {
        if (ports_.Existing[n]) {
            buttons_.push_back({n, ports_.Available[n]});
            if (n == currentPort_ && ports_.Available[n]) {
                selPort_ = buttons_.size();
            }
        }
    }
}

void TComParam::ClickPort(std::size_t index) {
    if (index >= 1 && index <= buttons_.size() && buttons_[index - 1].Enabled) {
        selPort_ = index;
    }
}

bool TComParam::Ok() const {
    if (selPort_ != 0) {
        return true;
    }
    TrMessageBox("Warning", "First choose COM port!", MB_OK | MB_ICONEXCLAMATION);
    return false;
}

std::optional<std::size_t> TComParam::FocusButton() const {
    const auto found =
        std::find_if(buttons_.begin(), buttons_.end(), [](const Button& b) { return b.Enabled; });
    if (found == buttons_.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(found - buttons_.begin());
}

std::uint8_t TComParam::ChosenPort() const {
    return selPort_ == 0 ? 0 : buttons_[selPort_ - 1].Port;
}

bool ShowComParam(std::uint8_t& port, std::uint32_t& baud, const std::function<bool(TComParam&)>& run,
                  const std::function<TComPorts()>& detect, const std::filesystem::path& file) {
    TComParam dialog(port, baud, detect);
    if (!dialog.Ports().AnyExisting()) {
        TrMessageBox("Error", "There is no existing COM port!", MB_OK | MB_ICONHAND);
        return false;
    }
    if (!dialog.Ports().AnyAvailable()) {
        TrMessageBox("Warning", "There is no available COM port", MB_OK | MB_ICONEXCLAMATION);
    }
    if (!run(dialog)) {
        return false;
    }
    port = dialog.ChosenPort();
    baud = dialog.ChosenBaud();
    IniFile ini(file);
    if (!ini.WriteInteger("COM", "COM", port) || !ini.WriteInteger("COM", "BDLD", static_cast<int>(baud))) {
        TrMessageBox("Error", "The COM settings could not be stored in " + Utf8ToCp1250(file.string()) + ".",
                     MB_OK | MB_ICONHAND);
    }
    return true;
}

} // namespace ravlo
