#include "shell/progress_model.h"

#include "framework/number_text.h"
#include "protocol/ma_process.h"

#include <cmath>
#include <limits>

namespace ravlo {
namespace {

// The 1 MB address space: a transfer that passes its end counts on above it.
constexpr std::int32_t kAddressSpace = 0x100000;
// Bytes per 100-ms tick into kB/s.
constexpr double kBytesPerTickToKBs = 102.4;

} // namespace

std::optional<TProgressRequest> TMaProgressSource::ActiveRequest() const {
    const tRequest& active = master_.Active();
    if (active.Done != 0) {
        return std::nullopt;
    }
    return TProgressRequest{active.Descr, active.Text, active.FirstAdr, active.EndAdr, active.DoneBytes};
}

const void* TMaProgressSource::WatchedAddress() const {
    return &master_.Active().CurAdr;
}

void TMaProgressSource::StopOperation() {
    master_.StopOperation();
}

void TProgressModel::Open(const std::optional<TProgressRequest>& request) {
    ticks_ = 0;
    UpdateProgress(request);
    lastPos_ = current_;
}

void TProgressModel::TimerTick() {
    if (ticks_ < std::numeric_limits<std::uint16_t>::max()) {
        ++ticks_;
    }
}

void TProgressModel::UpdateProgress(const std::optional<TProgressRequest>& request) {
    rate_ = 0;
    if (!request) {
        fileText_.clear();
        start_ = 0;
        end_ = 100;
        current_ = 100;
    } else {
        caption_ = request->Descr;
        fileText_ = request->Text.empty() ? std::string() : "File: " + request->Text;
        start_ = static_cast<std::int32_t>(FarPtrToLin(request->FirstAdr));
        end_ = static_cast<std::int32_t>(FarPtrToLin(request->EndAdr));
        if (end_ < start_) {
            end_ += kAddressSpace;
        }
        current_ = request->DoneBytes + start_;
        if (current_ < start_) {
            current_ += kAddressSpace;
        }
        // Once the last byte is in, the position lies one past the end: the gauge stays full.
        current_ = std::min(current_, end_);
        if (start_ < current_) {
            if (ticks_ >= kRateTicks) {
                rate_ = (current_ - lastPos_) / (ticks_ * kBytesPerTickToKBs);
                lastPos_ = current_;
                ticks_ = 0;
            }
        } else {
            ticks_ = 0;
        }
    }
    gauge_ = end_ > start_ ? static_cast<int>(std::lround((current_ - start_) * 100.0 / (end_ - start_))) : 0;
    if (rate_ > 0) {
        speedText_ = RealStr(rate_, 4, 1) + " kB/s";
    }
}

} // namespace ravlo
