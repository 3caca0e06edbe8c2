#pragma once

#include "platform/message_queue.h"

#include <cstdint>
#include <string_view>

namespace ravlo {

class TProcessColl;

// Hands the wm_ProcMess blocks that reach a window to its process collection; a window without a
// collection frees them. The main form calls HandleProcMess from its own wm_ProcMess handler;
// headless runs and tests use ProcMessHost, a window of its own.
void HandleProcMess(TProcessColl* coll, std::uintptr_t wParam, std::intptr_t lParam);

// A window on AppMessageQueue() that hosts a process collection.
class ProcMessHost final : public MessageTarget {
public:
    explicit ProcMessHost(TProcessColl* coll = nullptr, MessageQueue& queue = AppMessageQueue())
        : coll_(coll), registration_(queue, *this) {}

    WindowHandle Handle() const { return registration_.Handle(); }
    void SetColl(TProcessColl* coll) { coll_ = coll; }
    // Registers the window for [lo, hi] in the program's registry with the collection's tick and
    // close check (which must outlive the registry's use of them); answers RegisterSysAddr's err.
    bool Register(std::string_view name, std::uint16_t lo, std::uint16_t hi);

    std::intptr_t HandleMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) override;

private:
    TProcessColl* coll_;
    WindowRegistration registration_;
};

} // namespace ravlo
