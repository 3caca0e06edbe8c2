#include "kernel/sys_addr.h"

#include <algorithm>
#include <utility>

namespace ravlo {
namespace {

constexpr std::size_t kMemberNameMax = 32;

TSysAddrColl*& GlobalSysAddrColl() {
    static TSysAddrColl* coll = nullptr;
    return coll;
}

bool Overlaps(const TSysAddrMember& member, std::uint16_t lo, std::uint16_t hi) {
    return !(lo > member.LogAHi || hi < member.LogALo);
}

} // namespace

WindowHandle TSysAddrColl::GetHandle(std::uint16_t logA) const {
    const auto found = std::find_if(members_.begin(), members_.end(),
                                    [logA](const TSysAddrMember& member) { return member.InRange(logA); });
    return found == members_.end() ? kNoWindow : found->Handle;
}

void TSysAddrColl::TickAll() const {
    // By index: a step may register a further window.
    for (std::size_t i = 0; i < members_.size(); ++i) {
        if (const TSysAddrMember::TickMethod tick = members_[i].Tick) {
            tick();
        }
    }
}

std::optional<std::uint64_t> TSysAddrColl::NextStepDue(std::uint64_t now) const {
    std::optional<std::uint64_t> due;
    for (const TSysAddrMember& member : members_) {
        if (member.NextDue) {
            due = EarlierDue(due, member.NextDue(now));
        } else if (member.Tick) {
            due = EarlierDue(due, now);
        }
    }
    return due;
}

bool TSysAddrColl::CanCloseAll() const {
    bool all = true;
    for (std::size_t i = 0; i < members_.size(); ++i) {
        if (const TSysAddrMember::CanCloseMethod canClose = members_[i].CanClose) {
            all = canClose() && all;
        }
    }
    return all;
}

bool TSysAddrColl::Register(std::string_view name, WindowHandle handle,
                            TSysAddrMember::CanCloseMethod canClose, TSysAddrMember::TickMethod tick,
                            std::uint16_t lo, std::uint16_t hi, TSysAddrMember::NextDueMethod nextDue) {
    if (handle == kNoWindow || lo > hi) {
        return false;
    }
    // Every conflict is found before anything is widened, so a refused range leaves no trace.
    const bool conflict = std::any_of(members_.begin(), members_.end(), [&](const TSysAddrMember& member) {
        return member.Handle != handle && Overlaps(member, lo, hi);
    });
    if (conflict) {
        return false;
    }
    bool merged = false;
    for (TSysAddrMember& member : members_) {
        if (member.Handle == handle && Overlaps(member, lo, hi)) {
            member.LogALo = std::min(member.LogALo, lo);
            member.LogAHi = std::max(member.LogAHi, hi);
            merged = true;
        }
    }
    if (!merged) {
        members_.push_back(TSysAddrMember{std::string(name.substr(0, std::min(name.size(), kMemberNameMax))),
                                          handle, lo, hi, std::move(tick), std::move(canClose),
                                          std::move(nextDue)});
    }
    return true;
}

TSysAddrColl* GetSysAddrColl() {
    return GlobalSysAddrColl();
}

TSysAddrColl* SetSysAddrColl(TSysAddrColl* coll) {
    return std::exchange(GlobalSysAddrColl(), coll);
}

WindowHandle GetSysAddrHandle(std::uint16_t logA) {
    const TSysAddrColl* coll = GetSysAddrColl();
    return coll == nullptr ? kNoWindow : coll->GetHandle(logA);
}

void RegisterSysAddr(std::string_view name, WindowHandle handle, bool& err,
                     TSysAddrMember::CanCloseMethod canClose, TSysAddrMember::TickMethod tick,
                     std::uint16_t lo, std::uint16_t hi, TSysAddrMember::NextDueMethod nextDue) {
    TSysAddrColl* coll = GetSysAddrColl();
    err = coll == nullptr ||
          !coll->Register(name, handle, std::move(canClose), std::move(tick), lo, hi, std::move(nextDue));
}

void SysAddrTickAll() {
    if (const TSysAddrColl* coll = GetSysAddrColl()) {
        coll->TickAll();
    }
}

std::optional<std::uint64_t> SysAddrNextStepDue(std::uint64_t now) {
    const TSysAddrColl* coll = GetSysAddrColl();
    return coll == nullptr ? std::nullopt : coll->NextStepDue(now);
}

bool SysAddrCanCloseAll() {
    const TSysAddrColl* coll = GetSysAddrColl();
    return coll == nullptr || coll->CanCloseAll();
}

} // namespace ravlo
