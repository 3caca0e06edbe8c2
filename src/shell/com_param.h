#pragma once

#include "framework/rtdw_ini.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace ravlo {

// The COM ports the program can map (COM1 to COM16), as the last detection found them: a port
// exists when its device opens or another program holds it; it is available when it opens, or when
// it is the port this program's link holds open.
struct TComPorts {
    static constexpr std::uint8_t kMaxPort = 16;
    std::array<bool, kMaxPort + 1> Existing{}; // indexed by port number; 0 unused
    std::array<bool, kMaxPort + 1> Available{};

    bool AnyExisting() const;
    bool AnyAvailable() const;
};

// Tries each port's device (ComPortPath) the way the serial channel opens it; ownPort is the port
// the link has open now (0 none).
TComPorts DetectComPorts(std::uint8_t ownPort);

// The transfer rates of the dialog, in item order.
inline constexpr std::array<std::uint32_t, 6> kComBauds = {4800, 9600, 19200, 38400, 57600, 115200};
// The item a rate selects: none (-1) for 0, 19 200 for a rate not in the list.
int ComBaudIndex(std::uint32_t baud);
// The rate of an item; 4800 for no item.
std::uint32_t ComBaudOfIndex(int index);

// The COM parameters dialog without its widgets: one radio button per existing port (at most six),
// enabled while the port is available, and the baud rate item.
class TComParam {
public:
    static constexpr std::size_t kMaxButtons = 6;
    struct Button {
        std::uint8_t Port = 0;
        bool Enabled = false;
        std::string Caption() const { return "COM" + std::to_string(Port); }
        bool operator==(const Button&) const = default;
    };

    // port and baud: the link's current choice; detect finds the ports (again for Detect ports).
    TComParam(std::uint8_t port, std::uint32_t baud, std::function<TComPorts()> detect);

    // Detect ports: the ports again, the buttons rebuilt.
    void Detect();
    const TComPorts& Ports() const { return ports_; }
    const std::vector<Button>& Buttons() const { return buttons_; }
    // 1-based index of the chosen button, 0 none.
    std::size_t SelPort() const { return selPort_; }
    void ClickPort(std::size_t index);
    int BaudIndex() const { return baudIndex_; }
    void SetBaudIndex(int index) { baudIndex_ = index; }

    // OK: true with a chosen port; else false after the warning "First choose COM port!", and the
    // focus goes to FocusButton().
    bool Ok() const;
    // 0-based index of the first enabled button; nothing when none is.
    std::optional<std::size_t> FocusButton() const;
    std::uint8_t ChosenPort() const;
    std::uint32_t ChosenBaud() const { return ComBaudOfIndex(baudIndex_); }

private:
    void BuildButtons();

    std::uint8_t currentPort_;
    std::function<TComPorts()> detect_;
    TComPorts ports_;
    std::vector<Button> buttons_;
    std::size_t selPort_ = 0;
    int baudIndex_;
};

// The COM settings command's dialog: finds the ports (none existing: the error box "There is no
// existing COM port!" and false; none available: a warning, then on), runs the dialog through run
// (true for OK) and on OK puts the choice into port and baud and into [COM] of file. False when
// cancelled; port, baud and the file are then unchanged.
bool ShowComParam(std::uint8_t& port, std::uint32_t& baud, const std::function<bool(TComParam&)>& run,
                  const std::function<TComPorts()>& detect,
                  const std::filesystem::path& file = GetRtdwIniName());

} // namespace ravlo
