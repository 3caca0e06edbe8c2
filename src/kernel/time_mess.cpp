#include "kernel/time_mess.h"

#include "framework/debug_mask.h"
#include "framework/writer_channels.h"
#include "kernel/kernel_debug.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <utility>

namespace ravlo {
namespace {

TTimeMessColl*& GlobalTimeMessColl() {
    static TTimeMessColl* coll = nullptr;
    return coll;
}

// The due time as the 32-bit tick count that traces show.
std::string DueLine(const TTimeMess& mess) {
    const auto tick = static_cast<std::uint32_t>(mess.Due);
    return "t=" + std::to_string(tick / 1000) + "." + std::to_string(tick % 1000) + "," + mess.MessToStr();
}

} // namespace

TTimeMess TTimeMess::Create(std::uint64_t due, const TProcAdr& dest, const TProcAdr& src, std::uint8_t par1,
                            std::uint8_t par2, std::uint8_t code, std::span<const std::uint8_t> data) {
    return TTimeMess(due, TProcMess::Create(dest, src, par1, par2, code, data));
}

TTimeMessColl::~TTimeMessColl() {
    queue_.clear();
    if (TestDebugMask(DM_InitDone)) {
        Writelnsys(0, "TTimeMessColl.Destroy OK");
    }
}

int TTimeMessColl::Compare(const TTimeMess& a, const TTimeMess& b) {
    return a.Due < b.Due ? -1 : (a.Due > b.Due ? 1 : 0);
}

void TTimeMessColl::InsertMess(TTimeMess mess) {
    if (!mess.HasData()) {
        return;
    }
    const std::uint64_t due = mess.Due;
    // A multimap puts an equal key after those already there: first in, first out.
    queue_.emplace(due, std::move(mess));
}

bool TTimeMessColl::RemoveMess(const TTimeMess& pattern) {
    if (!pattern.HasHead()) {
        return false;
    }
    const TProcAdr dest = pattern.GetDest();
    const std::uint8_t code = pattern.GetCode();
    const auto found = std::find_if(queue_.begin(), queue_.end(), [&](const auto& entry) {
        const TTimeMess& queued = entry.second;
        return (pattern.Due == 0 || pattern.Due == queued.Due) && queued.HasHead() &&
               queued.GetDest() == dest && queued.GetCode() == code;
    });
    if (found == queue_.end()) {
        return false;
    }
    queue_.erase(found);
    return true;
}

void TTimeMessColl::SendProcMessages(std::uint64_t now) {
    while (!queue_.empty() && queue_.begin()->first <= now) {
        auto node = queue_.extract(queue_.begin());
        TTimeMess& mess = node.mapped();
        if (TestDebugMask(DM_DelayMess)) {
            Writelnsys(0, "(dly) %%>" + DueLine(mess));
        }
        mess.SendProcMess();
    }
}

void TTimeMessColl::WriteColl(int chn) const {
    Writelnsys(chn, "*** Coll of TimeMess: Count=" + std::to_string(queue_.size()));
    for (const auto& entry : queue_) {
        Writelnsys(chn, DueLine(entry.second));
    }
}

const TTimeMess* TTimeMessColl::At(std::size_t index) const {
    if (index >= queue_.size()) {
        return nullptr;
    }
    return &std::next(queue_.begin(), static_cast<std::ptrdiff_t>(index))->second;
}

TTimeMessColl* GetTimeMessColl() {
    return GlobalTimeMessColl();
}

TTimeMessColl* SetTimeMessColl(TTimeMessColl* coll) {
    return std::exchange(GlobalTimeMessColl(), coll);
}

} // namespace ravlo
