#include "protocol/ma_request.h"

#include "framework/debug_mask.h"
#include "framework/message_box.h"
#include "framework/writer_channels.h"
#include "protocol/ma_debug.h"

#include <string>

namespace ravlo {
namespace {

void TraceCount(std::string_view operation, std::size_t count) {
    if (TestDebugMask(DM_Ravlo_MA_Debug)) {
        Writelnsys(0, std::string(operation) + std::to_string(count));
    }
}

} // namespace

bool TMaSavedMessFifo::Add(TProcMess mess) {
    if (items_.size() >= kMaxCount) {
        TrMessageBox("", "Internal error - too short queue SavedProcMessFifo for Ravlo_MA process",
                     MB_OK | MB_ICONHAND);
        return false;
    }
    items_.push_back(std::move(mess));
    TraceCount(".ADD Count=", items_.size());
    return true;
}

bool TMaSavedMessFifo::Push(TProcMess mess) {
    if (items_.size() >= kMaxCount) {
        return false;
    }
    items_.push_front(std::move(mess));
    TraceCount("TSavedProcMessFIFO.PUSH Count=", items_.size());
    return true;
}

std::optional<TProcMess> TMaSavedMessFifo::Pop() {
    if (items_.empty()) {
        return std::nullopt;
    }
    TProcMess mess = std::move(items_.front());
    items_.pop_front();
    TraceCount(".POP Count=", items_.size());
    return mess;
}

} // namespace ravlo
