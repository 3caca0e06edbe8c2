#include "framework/broadcast.h"

#include "framework/main_window.h"
#include "platform/message_queue.h"
#include "platform/window_messages.h"

namespace ravlo {
namespace {

// The guard every form applies before it reads the wrapped message.
const TBroadcastMsg* WrappedMessage(std::uintptr_t wParam, std::intptr_t lParam) {
    if (wParam != kBroadcastMsgSize || lParam == 0) {
        return nullptr;
    }
    return reinterpret_cast<const TBroadcastMsg*>(lParam);
}

// Self (unless skipped) and the controls; the local copy is what the MDI children unwrap next.
void DispatchLocally(BroadcastNode& form, TBroadcastMsg& message, bool skipSelf) {
    if (!skipSelf) {
        message.Result |= form.DispatchInner(message.Msg, message.WParam, message.LParam);
    }
    if (form.BroadcastToCtrls()) {
        message.Result |= form.DispatchToControls(message);
    }
}

std::uint32_t BroadcastTo(WindowHandle window, std::uint16_t msg, std::uint16_t wParam,
                          std::uintptr_t lParam) {
    TBroadcastMsg message{msg, wParam, lParam, 0};
    return SendBroadcastMsg(window, message);
}

} // namespace

std::uint32_t FormBroadcast(BroadcastNode& form, std::uintptr_t wParam, std::intptr_t lParam) {
    const TBroadcastMsg* wrapped = WrappedMessage(wParam, lParam);
    if (wrapped == nullptr) {
        return 0;
    }
    TBroadcastMsg message = *wrapped;
    DispatchLocally(form, message, false);
    return message.Result;
}

std::uint32_t MainFormFanOut(MainBroadcastNode& form, std::uintptr_t wParam, std::intptr_t lParam) {
    const TBroadcastMsg* wrapped = WrappedMessage(wParam, lParam);
    if (wrapped == nullptr) {
        return 0;
    }
    TBroadcastMsg message = *wrapped;
    DispatchLocally(form, message, form.SkipSelf());
    for (const WindowHandle child : form.MdiChildWindows()) {
        message.Result |= SendBroadcastMsg(child, message);
    }
    for (int index = 0;; ++index) {
        const WindowHandle extra = form.GetBroadcastWnd(index);
        if (extra == kNoWindow) {
            break;
        }
        message.Result |= SendBroadcastMsg(extra, message);
    }
    return message.Result;
}

std::uint32_t SendBroadcastMsg(WindowHandle window, TBroadcastMsg& message) {
    if (window == kNoWindow) {
        return 0;
    }
    const auto answer = AppMessageQueue().Send(window, wm_Broadcast, kBroadcastMsgSize,
                                               reinterpret_cast<std::intptr_t>(&message));
    return static_cast<std::uint32_t>(answer.value_or(0));
}

std::uint32_t MainFormBroadcast(std::uint16_t msg, std::uint16_t wParam, std::uintptr_t lParam) {
    return BroadcastTo(GetMainFormWindow(), msg, wParam, lParam);
}

std::uint32_t WndBroadcast(WindowHandle window, std::uint16_t msg, std::uint16_t wParam,
                           std::uintptr_t lParam) {
    return BroadcastTo(window, msg, wParam, lParam);
}

void TTransferBuffObj::Own(std::vector<std::uint8_t> data) {
    Clear();
    owned_ = std::move(data);
}

void TTransferBuffObj::Borrow(void* data, std::size_t size) {
    Clear();
    borrowed_ = data;
    borrowedSize_ = data != nullptr ? size : 0;
}

void TTransferBuffObj::Clear() {
    owned_.clear();
    owned_.shrink_to_fit();
    borrowed_ = nullptr;
    borrowedSize_ = 0;
}

void* TTransferBuffObj::Data() {
    if (borrowed_ != nullptr) {
        return borrowed_;
    }
    return owned_.empty() ? nullptr : owned_.data();
}

} // namespace ravlo
