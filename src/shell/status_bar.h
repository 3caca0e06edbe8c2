#pragma once

#include "framework/param_obj.h"
#include "protocol/comm_stat.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace ravlo {

// The fields the status bar watches; a field that does not exist (no such process) is nullptr and
// is never reported as changed.
struct TStatusSources {
    const std::uint8_t* ComPort = nullptr;   // the open COM port, 0 when none
    const std::uint32_t* Baud = nullptr;     // its baud rate, 0 while closed
    const std::uint8_t* Connected = nullptr; // the board master's Connected (0, 1, 2)
    const TChnStat* Counters = nullptr;      // the communication process's counters
    const std::uint8_t* Device = nullptr;    // the board master's Device
    const std::string* BiosId = nullptr;     // the board master's BIOS id text
    const std::string* EventText = nullptr;  // the board master's last event line
};

// Which watcher took a wm_VarChanged.
enum class TStatusWatch : std::uint8_t { None, Device, BdRate, Connected, MsgCnt, Com, BiosId, Event };

// The background of the connection panel.
enum class TPanelColour : std::uint8_t { Silver, Red, Olive, Green };

struct TPanelRgb {
    std::uint8_t R = 0;
    std::uint8_t G = 0;
    std::uint8_t B = 0;
};
TPanelRgb PanelRgb(TPanelColour colour);

// What the bar shows: the six panel texts (code page 1250) and the connection panel's colour.
struct TStatusPanels {
    static constexpr std::size_t kCount = 6;
    static constexpr std::size_t kConnectedPanel = 2;
    static constexpr std::size_t kCountersPanel = 3;

    std::array<std::string, kCount> Texts;
    TPanelColour ConnectedColour = TPanelColour::Silver;
};

// An event line the bar writes when the connection changes.
struct TStatusEvent {
    std::string Text;
    std::uint8_t Kind = 0;
};

// The main form's status bar without its widget: COM port, baud rate, connection state, message
// counters, board type and BIOS id, each a watched value that is shown again only when a
// wm_VarChanged names its field and the field really changed; the master's event text goes the same
// way into the event log.
class TStatusBar {
public:
    explicit TStatusBar(const TStatusSources& sources);

    // The first watcher (Device, BdRate, Connected, MsgCnt, Com, BiosId, Event) whose field is at
    // address and changed; None when none is.
    TStatusWatch VarChanged(const void* address);

    // The panels as the watchers last saw their fields.
    TStatusPanels Panels() const;
    // The event line of the connection state the watcher last saw: "- Communication Lost" for 0,
    // "- Vok was connected" for 2; none (empty text) otherwise.
    TStatusEvent ConnectedEvent() const;

private:
    TStatusSources sources_;
    // Watch order of VarChanged.
    std::unique_ptr<TByteParamObj> deviceWatch_;
    std::unique_ptr<TIntegerParamObj> bdRateWatch_;
    std::unique_ptr<TByteParamObj> connectedWatch_;
    std::unique_ptr<TParamObj> msgCntWatch_;
    std::unique_ptr<TByteParamObj> comWatch_;
    std::unique_ptr<TParamObj> biosIdWatch_;
    std::unique_ptr<TParamObj> eventWatch_;
};

// The panel texts.
std::string ComPanelText(std::uint8_t port);
std::string BdRatePanelText(std::int32_t baud);
std::string ConnectedPanelText(std::uint8_t connected);
// The exchanges completed and the exchanges given up: the first grows while the board answers, the
// second while it does not.
std::string MsgCntPanelText(const TChnStat* counters);
std::string DevicePanelText(std::uint8_t device);
std::string BiosIdPanelText(const std::string* biosId);
// Silver without an open port, else by the connection state.
TPanelColour ConnectedColour(bool portOpen, std::uint8_t connected);

} // namespace ravlo
