#pragma once

#include "framework/board_address.h"

#include <cstdint>
#include <optional>
#include <string>

namespace ravlo {

class TRavlo_MA_Process;

// What the progress window shows of the board master's running transfer.
struct TProgressRequest {
    std::string Descr; // the window caption
    std::string Text;  // the file or block name
    TSegOfsPtr FirstAdr;
    TSegOfsPtr EndAdr;
    std::int32_t DoneBytes = 0; // bytes moved from FirstAdr on
};

// Where the progress window reads the transfer from, and how it stops it.
class TProgressSource {
public:
    virtual ~TProgressSource() = default;
    // The running transfer; nothing while no request is active.
    virtual std::optional<TProgressRequest> ActiveRequest() const = 0;
    // The field whose wm_VarChanged announces that the transfer advanced.
    virtual const void* WatchedAddress() const = 0;
    virtual void StopOperation() = 0;
};

// The board master process's active request as a TProgressSource.
class TMaProgressSource final : public TProgressSource {
public:
    explicit TMaProgressSource(TRavlo_MA_Process& master) : master_(master) {}

    std::optional<TProgressRequest> ActiveRequest() const override;
    const void* WatchedAddress() const override;
    void StopOperation() override;

private:
    TRavlo_MA_Process& master_;
};

// The progress window without its widgets: the gauge between the first and the end address, and the
// transfer rate, recomputed at most once per kRateTicks ticks of the window's 100-ms timer however
// often the transfer reports.
class TProgressModel {
public:
    static constexpr int kTimerMs = 100;
    static constexpr std::uint16_t kRateTicks = 10;

    // The window opens on the request: the tick count and the rate's start position begin here.
    void Open(const std::optional<TProgressRequest>& request);
    // Recomputes from the request as it is now.
    void UpdateProgress(const std::optional<TProgressRequest>& request);
    // One tick of the timer.
    void TimerTick();

    // The request's description; nothing while no request is active (the caption stays).
    const std::optional<std::string>& Caption() const { return caption_; }
    const std::string& FileText() const { return fileText_; }
    // 0 to 100.
    int Gauge() const { return gauge_; }
    // The last rate computed, kept between computations; empty before the first.
    const std::string& SpeedText() const { return speedText_; }
    std::uint16_t Ticks() const { return ticks_; }

private:
    std::int32_t start_ = 0;
    std::int32_t end_ = 100;
    std::int32_t current_ = 100;
    double rate_ = 0; // kB/s
    std::uint16_t ticks_ = 0;
    std::int32_t lastPos_ = 0;
    std::optional<std::string> caption_;
    std::string fileText_;
    int gauge_ = 0;
    std::string speedText_;
};

} // namespace ravlo
