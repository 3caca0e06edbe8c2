#pragma once

#include "platform/message_target.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace ravlo {

// The inner message that wm_Broadcast carries. Its layout on the wire is 16 bytes (four u32), and
// wm_Broadcast says so in its wParam; in memory LParam is an address, so it is held pointer-sized
// here and the struct may be larger than those 16 bytes.
struct TBroadcastMsg {
    std::uint32_t Msg = 0;
    std::uint32_t WParam = 0;
    std::uintptr_t LParam = 0;
    std::uint32_t Result = 0;
};

// The wParam a wm_Broadcast must carry: the size of the message's four fields.
inline constexpr std::uintptr_t kBroadcastMsgSize = 16;

// A form that takes part in the broadcast, as the fan-out sees it.
class BroadcastNode {
public:
    virtual ~BroadcastNode() = default;
    // Dispatches the inner message to the form itself and answers its result.
    virtual std::uint32_t DispatchInner(std::uint32_t msg, std::uint32_t wParam, std::uintptr_t lParam) = 0;
    // Whether the inner message also goes to the form's child controls.
    virtual bool BroadcastToCtrls() const = 0;
    // Passes the inner message to every child control; answers their results ORed.
    virtual std::uint32_t DispatchToControls(const TBroadcastMsg& message) = 0;
};

// The main form: it may skip itself and hands the wrapped message on to its MDI children and to the
// extra windows it names.
class MainBroadcastNode : public BroadcastNode {
public:
    virtual bool SkipSelf() const = 0;
    // The MDI children that take part, in index order.
    virtual std::vector<WindowHandle> MdiChildWindows() const = 0;
    // Extra windows that receive the broadcast, asked for with index 0, 1, ... until kNoWindow.
    virtual WindowHandle GetBroadcastWnd(int index) const = 0;
};

// The answer of a form to wm_Broadcast (wParam, lParam): 0 unless wParam is 16 and lParam names a
// TBroadcastMsg; otherwise its Result ORed with the form's own answer and, when asked, its controls'.
std::uint32_t FormBroadcast(BroadcastNode& form, std::uintptr_t wParam, std::intptr_t lParam);

// The main form's answer to wm_Broadcast: as FormBroadcast (unless SkipSelf, without the form's own
// answer), then every MDI child and every GetBroadcastWnd window unwraps the same message in turn.
std::uint32_t MainFormFanOut(MainBroadcastNode& form, std::uintptr_t wParam, std::intptr_t lParam);

// Sends wm_Broadcast wrapping {msg, wParam, lParam} synchronously on AppMessageQueue() and answers
// the ORed result; 0 when there is no main form (MainFormBroadcast) or the window is kNoWindow or
// gone (WndBroadcast).
std::uint32_t MainFormBroadcast(std::uint16_t msg, std::uint16_t wParam, std::uintptr_t lParam);
std::uint32_t WndBroadcast(WindowHandle window, std::uint16_t msg, std::uint16_t wParam,
                           std::uintptr_t lParam);

// Sends wm_Broadcast (16, &message) to a window; 0 for kNoWindow or a window that is gone.
std::uint32_t SendBroadcastMsg(WindowHandle window, TBroadcastMsg& message);

// A data block the main form hands between windows: owned (freed on Clear) or borrowed.
class TTransferBuffObj {
public:
    void Own(std::vector<std::uint8_t> data);
    void Borrow(void* data, std::size_t size);
    // Frees the data unless it is borrowed; afterwards Data() is nullptr and Size() 0.
    void Clear();

    void* Data();
    std::size_t Size() const { return borrowed_ != nullptr ? borrowedSize_ : owned_.size(); }
    bool Borrowed() const { return borrowed_ != nullptr; }

private:
    std::vector<std::uint8_t> owned_;
    void* borrowed_ = nullptr;
    std::size_t borrowedSize_ = 0;
};

} // namespace ravlo
