#include "shell/vok_rtc.h"

#include "framework/message_box.h"
#include "framework/number_text.h"
#include "platform/message_box_flags.h"
#include "protocol/board_answers.h"
#include "protocol/ma_messages.h"
#include "shell/tool_board.h"

#include <algorithm>

namespace ravlo {
namespace {

// The lowest highest year a BIOS may report.
constexpr int kMinBiosMaxYear = 2070;
// Err values of the BIOS for a board without a clock.
constexpr std::uintptr_t kErrNoClockWrite = 0x30;
constexpr std::uintptr_t kErrNoClockRead = 0x31;

int FebruaryDays(int year) {
    const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
    return leap ? 29 : 28;
}

void ErrorBox(std::string_view text) {
    TrMessageBox("Error", text, MB_OK | MB_ICONHAND);
}

template <class Field>
Field Clamped(int value, int low, int high) {
    return static_cast<Field>(std::clamp(value, low, high));
}

} // namespace

bool CheckClockDate(TVokClockRec& time, int yearMin, int yearMax, bool correct) {
    bool valid = true;
    const auto broken = [&valid, correct](auto& field, int bound) {
        valid = false;
        if (correct) {
            field = static_cast<std::remove_reference_t<decltype(field)>>(bound);
        }
    };
    if (time.Year < yearMin) {
        broken(time.Year, yearMin);
    } else if (time.Year > yearMax) {
        broken(time.Year, yearMax);
    }
    if (time.Month == 0 || time.Month > 12) {
        broken(time.Month, 1);
    }
    const int month = time.Month;
    if (time.Day == 0 || time.Day > 31) {
        broken(time.Day, 1);
    } else if ((month == 4 || month == 6 || month == 9 || month == 11) && time.Day > 30) {
        broken(time.Day, 30);
    } else if (month == 2 && time.Day > FebruaryDays(time.Year)) {
        broken(time.Day, FebruaryDays(time.Year));
    }
    return valid;
}

TVokRTC::TVokRTC(TToolBoard& board, WindowHandle window) : board_(board), window_(window) {}

void TVokRTC::Open(const TDTRec& now) {
    statusLife_ = kStatusLife;
    pcTime_ = now;
    readBuf_ = std::make_shared<TClockBuffer>();
    board_.ReadRTC(window_, readBuf_);
}

bool TVokRTC::TimerTick(const TDTRec& now) {
    if (now.Sec == pcTime_.Sec) {
        return false;
    }
    pcTime_ = now;
    if (statusLife_ > 0 && --statusLife_ == 0) {
        status_.clear();
    }
    return true;
}

void TVokRTC::SetHour(int hour) {
    editTime_.Hour = Clamped<std::uint8_t>(hour, 0, 23);
}

void TVokRTC::SetMinute(int minute) {
    editTime_.Minute = Clamped<std::uint8_t>(minute, 0, 59);
}

void TVokRTC::SetSecond(int second) {
    editTime_.Second = Clamped<std::uint8_t>(second, 0, 59);
}

void TVokRTC::SetDay(int day) {
    editTime_.Day = Clamped<std::uint8_t>(day, 0, 0xFF);
    CheckClockDate(editTime_, yearMin_, yearMax_, true);
}

void TVokRTC::SetMonth(int month) {
    editTime_.Month = Clamped<std::uint8_t>(month, 0, 0xFF);
    CheckClockDate(editTime_, yearMin_, yearMax_, true);
}

void TVokRTC::SetYear(int year) {
    editTime_.Year = Clamped<std::uint16_t>(year, 0, 0xFFFF);
    CheckClockDate(editTime_, yearMin_, yearMax_, true);
}

void TVokRTC::GetTime() {
    if (ToolBoardReady(board_)) {
        // A buffer of its own for each read: an answer that comes late fills its own.
        readBuf_ = std::make_shared<TClockBuffer>();
        board_.ReadRTC(window_, readBuf_);
    }
}

void TVokRTC::SetTime() {
    if (ToolBoardReady(board_)) {
        board_.WriteRTC(window_, editTime_);
    }
}

void TVokRTC::SetTimeAsPC() {
    editTime_ = {pcTime_.Year,
                 static_cast<std::uint8_t>(pcTime_.Month),
                 static_cast<std::uint8_t>(pcTime_.Day),
                 static_cast<std::uint8_t>(pcTime_.Hour),
                 static_cast<std::uint8_t>(pcTime_.Min),
                 static_cast<std::uint8_t>(pcTime_.Sec)};
    // What the spin edits can show.
    CheckClockDate(editTime_, yearMin_, yearMax_, true);
    SetTime();
}

void TVokRTC::ShowStatus(std::string text) {
    status_ = std::move(text);
    statusLife_ = kStatusLife;
}

bool TVokRTC::HandleMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t) {
    switch (msg) {
    case wm_RTCRdOk:
        ReadDone();
        return true;
    case wm_RTCWrOk:
        ShowStatus("Status: Write Time Ok");
        return true;
    case wm_RTCErr:
        Failed(wParam);
        return true;
    default:
        return false;
    }
}

void TVokRTC::ReadDone() {
    if (!readBuf_ || (*readBuf_)[0] == 0) {
        return; // an earlier read's answer; the latest one's follows
    }
    const auto answer = ParseClockAnswer(*readBuf_);
    readBuf_.reset();
    if (!answer.Ok()) {
        ShowStatus("Status: Read Err");
        ErrorBox("Reading Time failed.\r\nThe Vok answered with no valid time.");
        return;
    }
    reading_ = false;
    editTime_ = answer->Time;
    const int low = answer->MinYear;
    const int high = answer->MaxYear;
    if (high < low || high < kMinBiosMaxYear) {
        ErrorBox("Incorrect Max Year (" + std::to_string(high) + ") in BIOS!");
    } else if (TVokClockRec time = editTime_; !CheckClockDate(time, low, high, false)) {
        TrMessageBox("Warning", "Incorrect Date, make correction!", MB_OK | MB_ICONEXCLAMATION);
    }
    yearMin_ = low;
    yearMax_ = high;
    // The spin edits hold what they can show.
    SetHour(editTime_.Hour);
    SetMinute(editTime_.Minute);
    SetSecond(editTime_.Second);
    CheckClockDate(editTime_, yearMin_, yearMax_, true);
    ShowStatus("Status: Read Time Ok");
}

void TVokRTC::Failed(std::uintptr_t error) {
    constexpr std::string_view kUnsupported = "Probably unsupported VOK\r\nfunction (upgrade BIOS).";
    constexpr std::string_view kNoClock = "Probably VOK without RTC.";
    const auto fail = [this](std::string status, std::string_view head, std::string_view reason) {
        ShowStatus(std::move(status));
        ErrorBox(std::string(head) + "\r\n" + std::string(reason));
    };
    switch (error) {
    case kRTCErrReadFailed:
        fail("Status: Read Err", "Reading Time failed.", kUnsupported);
        break;
    case kRTCErrSetFailed:
        fail("Status: Write Err", "Setting Time failed.", kUnsupported);
        break;
    case kErrNoClockWrite:
        fail("Status: Write Err", "Setting Time failed.", kNoClock);
        break;
    case kErrNoClockRead:
        fail("Status: Read Err", "Reading Time failed.", kNoClock);
        break;
    default: {
        const std::string number = "Unknown Err No " + HexW(static_cast<std::uint16_t>(error)) + "h";
        ShowStatus("Status: " + number);
        ErrorBox(number);
    }
    }
}

} // namespace ravlo
