#include "protocol/saved_proc_mess_fifo.h"

#include "framework/debug_mask.h"
#include "framework/message_box.h"
#include "framework/writer_channels.h"

#include <string>
#include <utility>

namespace ravlo {

bool TSavedProcMessFIFO::Add(TProcMess mess) {
    if (items_.size() >= limits_.MaxCount) {
        if (!limits_.FullText.empty()) {
            TrMessageBox("", limits_.FullText, MB_OK | MB_ICONHAND);
        }
        return false;
    }
    items_.push_back(std::move(mess));
    TraceCount(".ADD Count=");
    return true;
}

bool TSavedProcMessFIFO::Push(TProcMess mess) {
    const bool room = items_.size() < limits_.MaxCount;
    if (!room && !limits_.PushDropsNewest) {
        return false;
    }
    while (!items_.empty() && items_.size() >= limits_.MaxCount) {
        items_.pop_back();
    }
    items_.push_front(std::move(mess));
    TraceCount("TSavedProcMessFIFO.PUSH Count=");
    return room;
}

std::optional<TProcMess> TSavedProcMessFIFO::Pop() {
    if (items_.empty()) {
        return std::nullopt;
    }
    TProcMess head = std::move(items_.front());
    items_.pop_front();
    TraceCount(".POP Count=");
    return head;
}

void TSavedProcMessFIFO::TraceCount(std::string_view operation) const {
    if (TestDebugMask(limits_.TraceBits)) {
        Writelnsys(0, std::string(operation) + std::to_string(items_.size()));
    }
}

} // namespace ravlo
