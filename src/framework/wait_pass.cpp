#include "framework/wait_pass.h"

#include "framework/message_box.h"
#include "platform/message_box_flags.h"
#include "platform/presenter.h"
#include "platform/tick.h"

namespace ravlo {
namespace {

constexpr std::uint32_t kDefaultPeriodMs = 100;

} // namespace

std::uint32_t GetElapsedTicks(std::uint32_t start) {
    return TickElapsed(GetTickCount(), start);
}

TWaitPass::TWaitPass(MessageQueue& queue) : queue_(queue), registration_(queue, *this) {}

void TWaitPass::Timer() {
    if (passPending_) {
        return;
    }
    if (!queue_.Post(registration_.Handle(), wm_WaitPass, 0, 0)) {
        ReportAppError(std::string(WaitClassName()) + ".Timer Post Msg Err");
        return;
    }
    passPending_ = true;
}

void TWaitPass::ShowText(std::string_view) {}

bool TWaitPass::IsBusy() {
    return false;
}

bool TWaitPass::GetText(std::string&) {
    return false;
}

std::uint32_t TWaitPass::GetPeriod() {
    return kDefaultPeriodMs;
}

void TWaitPass::Beep() {
    GetPresenter().Beep(MB_OK);
}

std::intptr_t TWaitPass::HandleMessage(std::uint32_t msg, std::uintptr_t, std::intptr_t) {
    if (msg != wm_WaitPass) {
        return 0;
    }
    const std::uint32_t start = GetTickCount();
    std::string text;
    while (IsBusy()) {
        if (GetText(text)) {
            ShowText(text);
        }
        if (GetElapsedTicks(start) >= GetPeriod()) {
            break;
        }
        PumpEvents();
    }
    passPending_ = false;
    if (!IsBusy() && !ModalResultSet()) {
        CloseSelf();
    }
    return 0;
}

} // namespace ravlo
