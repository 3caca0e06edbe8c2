#pragma once

#include "kernel/proc_mess.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace ravlo {

// A plain list of process messages in the order they were added, without due times (those are
// TTimeMessColl's). It owns the messages, blocks included; a descendant of TProcMess keeps its own
// text forms in the dump.
class TProcMessColl {
public:
    TProcMessColl() = default;
    TProcMessColl(const TProcMessColl&) = delete;
    TProcMessColl& operator=(const TProcMessColl&) = delete;

    // Appends the message; nullptr is ignored.
    void Insert(std::unique_ptr<TProcMess> mess);
    void Insert(TProcMess mess) { Insert(std::make_unique<TProcMess>(std::move(mess))); }
    // Takes the message at index out of the list; nullptr past the end.
    std::unique_ptr<TProcMess> AtDelete(std::size_t index);
    // Frees every message.
    void FreeAll() { items_.clear(); }

    std::size_t Count() const { return items_.size(); }
    bool Empty() const { return items_.empty(); }
    // nullptr past the end.
    const TProcMess* At(std::size_t index) const;

    // "*** Coll of ProcMess: Count=" and one MessToStr line per message to a writer channel.
    void WriteColl(int chn) const;

private:
    std::vector<std::unique_ptr<TProcMess>> items_;
};

} // namespace ravlo
