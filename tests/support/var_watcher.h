#pragma once

#include "framework/broadcast.h"
#include "framework/main_window.h"
#include "platform/message_queue.h"
#include "platform/window_messages.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ravlo::testing {

// The main form as far as wm_VarChanged goes: keeps the size and the value behind the address of
// every announcement, and the event lines (size 256: the address of a text) it would add to the
// event log.
class VarWatcher : public MessageTarget {
public:
    static constexpr std::uint32_t kEventTextSize = 256;

    struct Change {
        std::uint32_t Size = 0;
        std::uintptr_t Address = 0;
        std::uint32_t Value = 0; // the first Size bytes (up to 4) at the address, when announced
    };

    VarWatcher() : registration_(AppMessageQueue(), *this) { SetMainFormWindow(registration_.Handle()); }
    ~VarWatcher() override { SetMainFormWindow(kNoWindow); }

    std::intptr_t HandleMessage(std::uint32_t msg, std::uintptr_t, std::intptr_t lParam) override {
        if (msg != wm_Broadcast || lParam == 0) {
            return 0;
        }
        const auto& inner = *reinterpret_cast<const TBroadcastMsg*>(lParam);
        if (inner.Msg == wm_VarChanged) {
            Change change{inner.WParam, inner.LParam, 0};
            const auto* bytes = reinterpret_cast<const std::uint8_t*>(inner.LParam);
            for (std::uint32_t i = 0; i < std::min<std::uint32_t>(inner.WParam, 4); ++i) {
                change.Value |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
            }
            Changes.push_back(change);
            if (inner.WParam == kEventTextSize) {
                Events.push_back(*reinterpret_cast<const std::string*>(inner.LParam));
            }
        }
        return 0;
    }

    // The values announced for one address, in order.
    std::vector<std::uint32_t> ValuesAt(const void* address) const {
        std::vector<std::uint32_t> values;
        for (const Change& change : Changes) {
            if (change.Address == reinterpret_cast<std::uintptr_t>(address)) {
                values.push_back(change.Value);
            }
        }
        return values;
    }

    // How many times the field at address was announced with size.
    std::size_t CountOf(const void* address, std::uint32_t size) const {
        return static_cast<std::size_t>(
            std::count_if(Changes.begin(), Changes.end(), [&](const Change& change) {
                return change.Address == reinterpret_cast<std::uintptr_t>(address) && change.Size == size;
            }));
    }

    std::vector<Change> Changes;
    std::vector<std::string> Events;

private:
    WindowRegistration registration_;
};

} // namespace ravlo::testing
