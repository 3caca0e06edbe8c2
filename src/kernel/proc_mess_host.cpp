#include "kernel/proc_mess_host.h"

#include "kernel/proc_mess.h"
#include "kernel/process_coll.h"
#include "kernel/sys_addr.h"
#include "platform/window_messages.h"

namespace ravlo {

void HandleProcMess(TProcessColl* coll, std::uintptr_t wParam, std::intptr_t lParam) {
    if (coll != nullptr) {
        coll->WMProcMess(wParam, lParam);
    } else {
        TProcMess::FromPosted(wParam, lParam); // nobody to deliver to: the block is freed here
    }
}

bool ProcMessHost::Register(std::string_view name, std::uint16_t lo, std::uint16_t hi) {
    bool err = false;
    TProcessColl* coll = coll_;
    RegisterSysAddr(
        name, Handle(), err, [coll] { return coll == nullptr || coll->CanCloseAll(); },
        [coll] {
            if (coll != nullptr) {
                coll->TickAll();
            }
        },
        lo, hi,
        [coll](std::uint64_t now) { return coll != nullptr ? coll->NextTickDue(now) : std::nullopt; });
    return err;
}

std::intptr_t ProcMessHost::HandleMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) {
    if (msg == wm_ProcMess) {
        HandleProcMess(coll_, wParam, lParam);
    }
    return 0;
}

} // namespace ravlo
