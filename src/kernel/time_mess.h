#pragma once

#include "kernel/proc_mess.h"
#include "platform/scoped_install.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>

namespace ravlo {

// A process message to be posted when the 64-bit millisecond clock (TickMs) reaches Due.
class TTimeMess : public TProcMess {
public:
    TTimeMess() = default;
    TTimeMess(std::uint64_t due, TProcMess&& mess) : TProcMess(std::move(mess)), Due(due) {}

    static TTimeMess Create(std::uint64_t due, const TProcAdr& dest, const TProcAdr& src, std::uint8_t par1,
                            std::uint8_t par2, std::uint8_t code, std::span<const std::uint8_t> data = {});
    TTimeMess Copy() const { return TTimeMess(Due, TProcMess::Copy()); }

    std::uint64_t Due = 0;
};

// The queue of timed messages, ordered by due time; messages with the same due time keep the order
// they were queued in. Due times are 64-bit milliseconds of TickMs, which never wrap, so a message
// due across the wrap of the 32-bit tick count comes neither early nor late. Main thread only.
class TTimeMessColl {
public:
    TTimeMessColl() = default;
    ~TTimeMessColl();
    TTimeMessColl(const TTimeMessColl&) = delete;
    TTimeMessColl& operator=(const TTimeMessColl&) = delete;

    // -1, 0 or 1 by due time.
    static int Compare(const TTimeMess& a, const TTimeMess& b);

    // Queues the message (a message without a block is dropped).
    void InsertMess(TTimeMess mess);
    // Frees the earliest queued message that matches the pattern: the same due time (any when the
    // pattern's Due is 0), both with a block, the same destination and code. Answers whether one went.
    bool RemoveMess(const TTimeMess& pattern);
    // Posts every message due at now (TickMs), earliest first.
    void SendProcMessages(std::uint64_t now);
    // "*** Coll of TimeMess: Count=" and one "t=" line per message to a writer channel; a due time
    // shows as the 32-bit tick count.
    void WriteColl(int chn) const;

    std::size_t Count() const { return queue_.size(); }
    // The message at position index in due order; nullptr past the end.
    const TTimeMess* At(std::size_t index) const;

private:
    std::multimap<std::uint64_t, TTimeMess> queue_;
};

// The program's queue, set by the main form at start; nullptr when there is none.
TTimeMessColl* GetTimeMessColl();
TTimeMessColl* SetTimeMessColl(TTimeMessColl* coll);
using ScopedTimeMessColl = ScopedInstall<TTimeMessColl, SetTimeMessColl>;

} // namespace ravlo
