#pragma once

#include "kernel/proc_mess.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string_view>

namespace ravlo {

// How a queue of postponed messages behaves at its limit.
struct TSavedProcMessLimits {
    std::size_t MaxCount = 0;
    // A Push on a full queue drops the newest message to make room at the head (true), so a
    // postponed message never loses its place to later ones; otherwise the pushed message goes.
    bool PushDropsNewest = false;
    // Shown when Add finds the queue full; empty: the message is dropped silently.
    std::string_view FullText;
    // Debug-mask bits that trace the count after each change; 0: never traced.
    std::uint32_t TraceBits = 0;
};

// An owning queue of postponed process messages, oldest first, at most Limits().MaxCount of them.
// Add drops the message it is given when the queue is full.
class TSavedProcMessFIFO {
public:
    explicit TSavedProcMessFIFO(const TSavedProcMessLimits& limits) : limits_(limits) {}

    // Appends; false when the queue was full and the message was dropped.
    bool Add(TProcMess mess);
    // Inserts at the head; false when the queue was full and a message was dropped.
    bool Push(TProcMess mess);
    // Removes and answers the head; nullopt when empty.
    std::optional<TProcMess> Pop();

    const TSavedProcMessLimits& Limits() const { return limits_; }
    std::size_t Count() const { return items_.size(); }
    bool Empty() const { return items_.empty(); }
    // The message at position index from the head; nullptr past the end.
    const TProcMess* At(std::size_t index) const { return index < items_.size() ? &items_[index] : nullptr; }
    void Clear() { items_.clear(); }
    // Drops the messages drop answers true for, keeping the order of the others.
    template <class Predicate>
    void RemoveIf(Predicate drop) {
        std::erase_if(items_, drop);
    }

private:
    void TraceCount(std::string_view operation) const;

    TSavedProcMessLimits limits_;
    std::deque<TProcMess> items_;
};

} // namespace ravlo
