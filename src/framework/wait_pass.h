#pragma once

#include "platform/message_queue.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace ravlo {

// Milliseconds since start on the wrapping 32-bit tick count (GetTickCount), right across one wrap.
std::uint32_t GetElapsedTicks(std::uint32_t start);

// The private message that starts a pass of a wait dialog.
inline constexpr std::uint32_t wm_WaitPass = 0x7F6;

// What a wait dialog does while some work runs: each Timer tick posts wm_WaitPass to itself (unless
// a pass is still under way); a pass shows every new text GetText delivers while IsBusy holds, for
// at most GetPeriod milliseconds, letting the program work in between (PumpEvents). Once the work
// is no longer busy the dialog closes itself, unless a modal result is set already.
class TWaitPass : public MessageTarget {
public:
    explicit TWaitPass(MessageQueue& queue = AppMessageQueue());
    ~TWaitPass() override = default;

    void Timer();
    virtual void ShowText(std::string_view text);
    virtual bool IsBusy();
    // A new text to show; false when there is none.
    virtual bool GetText(std::string& text);
    virtual std::uint32_t GetPeriod();
    virtual void Beep();

    std::intptr_t HandleMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) override;

    // Stops further posts of wm_WaitPass (to a closing dialog, say).
    void Unregister() { registration_.Reset(); }

protected:
    virtual std::string_view WaitClassName() const { return "TWait_Dlg"; }
    // Lets other work run for a moment within a pass.
    virtual void PumpEvents() = 0;
    virtual bool ModalResultSet() const = 0;
    virtual void CloseSelf() = 0;

private:
    MessageQueue& queue_;
    WindowRegistration registration_;
    bool passPending_ = false;
};

} // namespace ravlo
