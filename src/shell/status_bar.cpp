#include "shell/status_bar.h"

#include "protocol/board_answers.h"
#include "protocol/ma_states.h"
#include "shell/event_log.h"

namespace ravlo {
namespace {

template <class Watch, class Field>
std::unique_ptr<Watch> TypedWatch(const Field* field, Field noValue) {
    // Min and Max play no part: the range flag is off.
    return std::make_unique<Watch>(field, 0, 0, 0, noValue, noValue);
}

std::unique_ptr<TParamObj> PlainWatch(const void* field) {
    return std::make_unique<TParamObj>(field, 0, 0, 0);
}

// A plain watcher answers for its base alone; a missing field must not match a null address.
bool PlainChanged(TParamObj& watch, const void* address) {
    return watch.Base != nullptr && watch.Changed(address);
}

} // namespace

TPanelRgb PanelRgb(TPanelColour colour) {
    switch (colour) {
    case TPanelColour::Red:
        return {0xFF, 0x00, 0x00};
    case TPanelColour::Olive:
        return {0xA0, 0xA0, 0x00};
    case TPanelColour::Green:
        return {0x00, 0x80, 0x00};
    default:
        return {0xC0, 0xC0, 0xC0};
    }
}

TStatusBar::TStatusBar(const TStatusSources& sources)
    : sources_(sources), deviceWatch_(TypedWatch<TByteParamObj>(sources.Device, std::uint8_t{255})),
      bdRateWatch_(std::make_unique<TIntegerParamObj>(sources.Baud, 0, 0, 0, -1, -1)),
      connectedWatch_(TypedWatch<TByteParamObj>(sources.Connected, std::uint8_t{255})),
      msgCntWatch_(PlainWatch(sources.Counters)),
      comWatch_(TypedWatch<TByteParamObj>(sources.ComPort, std::uint8_t{255})),
      biosIdWatch_(PlainWatch(sources.BiosId)), eventWatch_(PlainWatch(sources.EventText)) {}

TStatusWatch TStatusBar::VarChanged(const void* address) {
    if (deviceWatch_->Changed(address)) {
        return TStatusWatch::Device;
    }
    if (bdRateWatch_->Changed(address)) {
        return TStatusWatch::BdRate;
    }
    if (connectedWatch_->Changed(address)) {
        return TStatusWatch::Connected;
    }
    if (PlainChanged(*msgCntWatch_, address)) {
        return TStatusWatch::MsgCnt;
    }
    if (comWatch_->Changed(address)) {
        return TStatusWatch::Com;
    }
    if (PlainChanged(*biosIdWatch_, address)) {
        return TStatusWatch::BiosId;
    }
    if (PlainChanged(*eventWatch_, address)) {
        return TStatusWatch::Event;
    }
    return TStatusWatch::None;
}

TStatusPanels TStatusBar::Panels() const {
    TStatusPanels panels;
    // A port number of 255 is the watcher's "no field": no port either.
    const std::uint8_t port = comWatch_->Last == 255 ? 0 : comWatch_->Last;
    panels.Texts = {ComPanelText(port),
                    BdRatePanelText(bdRateWatch_->Last),
                    ConnectedPanelText(connectedWatch_->Last),
                    MsgCntPanelText(sources_.Counters),
                    DevicePanelText(deviceWatch_->Last),
                    BiosIdPanelText(sources_.BiosId)};
    panels.ConnectedColour = ConnectedColour(port != 0, connectedWatch_->Last);
    return panels;
}

TStatusEvent TStatusBar::ConnectedEvent() const {
    switch (connectedWatch_->Last) {
    case kNotConnected:
        return {"- Communication Lost", kEventError};
    case kBoardConnected:
        return {"- Vok was connected", kEventInfo};
    default:
        return {};
    }
}

std::string ComPanelText(std::uint8_t port) {
    return "COM = " + (port == 0 ? std::string("x") : std::to_string(port));
}

std::string BdRatePanelText(std::int32_t baud) {
    // A watcher without its field holds -1: no rate either.
    return "BdRate = " + std::to_string(baud < 0 ? 0 : baud);
}

std::string ConnectedPanelText(std::uint8_t connected) {
    switch (connected) {
    case kNotConnected:
        return "Connected = NO";
    case kChangingBaud:
        return "Changing BdRate";
    case kBoardConnected:
        return "Connected = YES";
    default:
        return std::string(15, '?');
    }
}

std::string MsgCntPanelText(const TChnStat* counters) {
    const TChnStat shown = counters != nullptr ? *counters : TChnStat{};
    return "Msg.Cnt = " + std::to_string(shown.OK) + "/" + std::to_string(shown.e);
}

std::string DevicePanelText(std::uint8_t device) {
    const std::string_view name = DeviceName(device);
    return "Device = " + std::string(name.empty() ? "Unknown" : name);
}

std::string BiosIdPanelText(const std::string* biosId) {
    return "Bios ID = " + (biosId != nullptr ? *biosId : std::string());
}

TPanelColour ConnectedColour(bool portOpen, std::uint8_t connected) {
    if (!portOpen) {
        return TPanelColour::Silver;
    }
    switch (connected) {
    case kNotConnected:
        return TPanelColour::Red;
    case kChangingBaud:
        return TPanelColour::Olive;
    case kBoardConnected:
        return TPanelColour::Green;
    default:
        return TPanelColour::Silver;
    }
}

} // namespace ravlo
