#pragma once

#include "framework/date_text.h"
#include "platform/message_target.h"
#include "protocol/frame_builders.h"
#include "protocol/ma_request.h"

#include <cstdint>
#include <memory>
#include <string>

namespace ravlo {

class TToolBoard;

// Whether a date is one the board's clock takes: the year within yearMin..yearMax, a month of
// 1..12 and a day the month has (29 February only in leap years of the Gregorian rule). With correct,
// each offending value is set to the bound it broke (the year to the nearer limit, month and day to
// 1, a day past the month's end to its last day). The time of day is not looked at.
bool CheckClockDate(TVokClockRec& time, int yearMin, int yearMax, bool correct);

// The clock window without its widgets: the PC clock, the board's clock as read and edited, and the
// status line with its lifetime. The board master answers with window messages to window.
class TVokRTC {
public:
    // Timer ticks (each a new PC second) a status stays.
    static constexpr std::uint8_t kStatusLife = 4;
    // The year limits of the spin edit until the board tells its own.
    static constexpr int kDesignYearMin = 1980;
    static constexpr int kDesignYearMax = 2099;

    TVokRTC(TToolBoard& board, WindowHandle window);

    // The window opens: the PC time shown, the board's clock asked for.
    void Open(const TDTRec& now);
    // The timer: a new PC second is shown and counts the status down. True when it was new.
    bool TimerTick(const TDTRec& now);

    // The spin edits: the time of day is taken as it is; the date is checked and corrected.
    void SetHour(int hour);
    void SetMinute(int minute);
    void SetSecond(int second);
    void SetDay(int day);
    void SetMonth(int month);
    void SetYear(int year);

    void GetTime();
    void SetTime();
    // The PC's time as the edited time, then sets it.
    void SetTimeAsPC();

    // wm_RTCRdOk, wm_RTCWrOk and wm_RTCErr; false for other messages.
    bool HandleMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam);

    const TVokClockRec& EditTime() const { return editTime_; }
    const TDTRec& PCTime() const { return pcTime_; }
    int YearMin() const { return yearMin_; }
    int YearMax() const { return yearMax_; }
    // "Reading..." shows until the first successful read.
    bool Reading() const { return reading_; }
    const std::string& Status() const { return status_; }

private:
    void ShowStatus(std::string text);
    void ReadDone();
    void Failed(std::uintptr_t error);

    TToolBoard& board_;
    WindowHandle window_;
    // The buffer of the latest read; an answer to an earlier one leaves it empty.
    std::shared_ptr<TClockBuffer> readBuf_;
    TVokClockRec editTime_{kDesignYearMin, 1, 1, 0, 0, 0};
    TDTRec pcTime_;
    int yearMin_ = kDesignYearMin;
    int yearMax_ = kDesignYearMax;
    bool reading_ = true;
    std::uint8_t statusLife_ = kStatusLife;
    std::string status_ = "Status: Wait for read Time";
};

} // namespace ravlo
