#pragma once

#include "platform/message_target.h"
#include "platform/scoped_install.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ravlo {

// One window that hosts processes: the range of logical addresses it serves, and what the
// scheduler and the close check call for it.
struct TSysAddrMember {
    using TickMethod = std::function<void()>;
    using CanCloseMethod = std::function<bool()>;
    // When the member next needs a step (TickMs ms), nullopt when it waits for nothing by time.
    using NextDueMethod = std::function<std::optional<std::uint64_t>(std::uint64_t now)>;

    std::string Name; // at most 32 characters
    WindowHandle Handle = kNoWindow;
    std::uint16_t LogALo = 0;
    std::uint16_t LogAHi = 0;
    TickMethod Tick;
    CanCloseMethod CanClose;
    // Unassigned, a member with a Tick wants every step.
    NextDueMethod NextDue;

    bool InRange(std::uint16_t logA) const { return LogALo <= logA && logA <= LogAHi; }
};

// The registry of process windows, in registration order. Members are never removed.
class TSysAddrColl {
public:
    // The handle of the first member whose range holds logA; kNoWindow when none does.
    WindowHandle GetHandle(std::uint16_t logA) const;
    // One scheduler step: every member's Tick, in order.
    void TickAll() const;
    // The earliest time a member needs its next step; nullopt when none waits for anything by time.
    std::optional<std::uint64_t> NextStepDue(std::uint64_t now) const;
    // Asks every member that has a close check (all are asked); true when none objects.
    bool CanCloseAll() const;
    // Adds the range [lo, hi] for a window; answers false (and changes nothing) when the range
    // overlaps another window's, is empty (lo > hi) or the handle is kNoWindow. Overlapping ranges
    // of the same window are widened; a range that touches none of them gets a member of its own.
    bool Register(std::string_view name, WindowHandle handle, TSysAddrMember::CanCloseMethod canClose,
                  TSysAddrMember::TickMethod tick, std::uint16_t lo, std::uint16_t hi,
                  TSysAddrMember::NextDueMethod nextDue = {});

    const std::vector<TSysAddrMember>& Members() const { return members_; }

private:
    std::vector<TSysAddrMember> members_;
};

// The program's registry, set by the main form at start; nullptr when there is none. The setter
// answers the previous one (the registry is not owned here).
TSysAddrColl* GetSysAddrColl();
TSysAddrColl* SetSysAddrColl(TSysAddrColl* coll);
using ScopedSysAddrColl = ScopedInstall<TSysAddrColl, SetSysAddrColl>;

// The window serving logA in the program's registry; kNoWindow without a registry.
WindowHandle GetSysAddrHandle(std::uint16_t logA);
// Registers a window in the program's registry; err is set when there is none or Register refuses.
void RegisterSysAddr(std::string_view name, WindowHandle handle, bool& err,
                     TSysAddrMember::CanCloseMethod canClose, TSysAddrMember::TickMethod tick,
                     std::uint16_t lo, std::uint16_t hi, TSysAddrMember::NextDueMethod nextDue = {});
// The scheduler step over the program's registry; nothing without one.
void SysAddrTickAll();
// NextStepDue of the program's registry; nullopt without one.
std::optional<std::uint64_t> SysAddrNextStepDue(std::uint64_t now);

// The earlier of two due times; nullopt stands for never.
constexpr std::optional<std::uint64_t> EarlierDue(std::optional<std::uint64_t> a,
                                                  std::optional<std::uint64_t> b) {
    if (!a) {
        return b;
    }
    if (!b) {
        return a;
    }
    return *a < *b ? a : b;
}
// Whether every registered window allows closing; true without a registry.
bool SysAddrCanCloseAll();

} // namespace ravlo
