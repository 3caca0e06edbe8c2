#include "protocol/saved_proc_mess_fifo.h"

#include <utility>

namespace ravlo {

bool TSavedProcMessFIFO::Add(TProcMess mess) {
    if (items_.size() >= kMaxCount) {
        return false;
    }
    items_.push_back(std::move(mess));
    return true;
}

bool TSavedProcMessFIFO::Push(TProcMess mess) {
    const bool room = items_.size() < kMaxCount;
    while (items_.size() >= kMaxCount) {
        items_.pop_back();
    }
    items_.push_front(std::move(mess));
    return room;
}

std::optional<TProcMess> TSavedProcMessFIFO::Pop() {
    if (items_.empty()) {
        return std::nullopt;
    }
    TProcMess head = std::move(items_.front());
    items_.pop_front();
    return head;
}

} // namespace ravlo
