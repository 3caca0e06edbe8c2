#pragma once

#include "kernel/proc_mess.h"

#include <cstddef>
#include <deque>
#include <optional>

namespace ravlo {

// An owning queue of postponed process messages, at most kMaxCount of them. When it is full the
// newest message goes: Add drops the one it is given, Push (which puts a message back at the head)
// drops the one at the tail, so a postponed message never loses its place to later ones.
class TSavedProcMessFIFO {
public:
    static constexpr std::size_t kMaxCount = 25;

    // Appends; false when the queue was full and the message was dropped.
    bool Add(TProcMess mess);
    // Inserts at the head; false when the queue was full and its newest message was dropped.
    bool Push(TProcMess mess);
    // Removes and answers the head; nullopt when empty.
    std::optional<TProcMess> Pop();

    std::size_t Count() const { return items_.size(); }
    bool Empty() const { return items_.empty(); }
    // The message at position index from the head; nullptr past the end.
    const TProcMess* At(std::size_t index) const { return index < items_.size() ? &items_[index] : nullptr; }
    void Clear() { items_.clear(); }

private:
    std::deque<TProcMess> items_;
};

} // namespace ravlo
