#pragma once

#include "platform/message_queue.h"
#include "platform/message_target.h"

#include <cstdint>
#include <optional>

namespace ravlo::testing {

// An IO or clock window as the program has it: its model behind a handle of the message queue, gone
// with the window.
template <class Model>
struct ModelWindow final : MessageTarget {
    std::intptr_t HandleMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) override {
        model->HandleMessage(msg, wParam, lParam);
        return 0;
    }
    WindowHandle Handle() const { return registration.Handle(); }
    WindowRegistration registration{AppMessageQueue(), *this};
    std::optional<Model> model;
};

} // namespace ravlo::testing
