#include "shell/event_log.h"

namespace ravlo {

TEventRgb EventKindColour(std::uint8_t kind) {
    switch (kind) {
    case 0:
        return {0x80, 0x80, 0x00};
    case 1:
        return {0xFF, 0x00, 0x00};
    case 2:
    case 3:
    case 4:
        return {0x00, 0x80, 0x00};
    default:
        return {};
    }
}

bool TEventLogModel::Add(std::string_view text, std::uint8_t kind) {
    if (text.empty()) {
        return false;
    }
    std::string line(text.substr(0, kMaxText));
    for (char& c : line) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    lines_.push_back(TEventLine{std::move(line), kind});
    const bool dropped = lines_.size() > kMaxLines;
    if (dropped) {
        lines_.pop_front();
    }
    if (observer_) {
        observer_(lines_.back(), dropped);
    }
    return true;
}

} // namespace ravlo
