#pragma once

#include "kernel/process.h"
#include "kernel/time_mess.h"
#include "platform/message_target.h"
#include "protocol/saved_proc_mess_fifo.h"
#include "protocol/tmp_err_show_rec.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ravlo {

// Records waiting while another one is shown, at most 25; one put back keeps its place before the
// newer ones.
inline constexpr TSavedProcMessLimits kTmpErrSavedLimits{25, true, {}, 0};

// The error-history process (ProcType 0x73): shows each error text it is posted as the current
// record for EST ms, postpones texts that arrive meanwhile and shows them in turn, and keeps a
// history of the last lines for the error-history window. Senders post TMP_ERR_SHOW messages
// (TmpErrShowMess); nobody calls it.
//
// Watchers learn of changes through wm_VarChanged (wParam the size, lParam the field's address),
// sent as ATR says: Current (size 134), State (size 2) and, while an error-history window is open
// (tmp_err_hist_windows.h), History (size 4) after every message.
class TTMP_ERR_Process : public TProcess {
public:
    static constexpr std::string_view kClassName = "TTMP_ERR_Process";
    static constexpr std::uint32_t kDefaultEST = 5000;
    static constexpr std::size_t kMaxLines = 12;

    // States.
    static constexpr std::uint16_t kIdle = 0;
    static constexpr std::uint16_t kShowing = 1;

    // ATR bits: how changes are announced (only the lowest of the first three that is set counts),
    // and whether records stay until a reset.
    static constexpr std::uint16_t kAtrSendToHost = 0x01;
    static constexpr std::uint16_t kAtrBroadcastToHost = 0x02;
    static constexpr std::uint16_t kAtrBroadcastMainForm = 0x04;
    static constexpr std::uint16_t kAtrNoTimeOut = 0x10;

    // Sizes the notifications carry.
    static constexpr std::uint16_t kStateNotifySize = 2;
    static constexpr std::uint16_t kHistoryNotifySize = 4;

    // nullptr leaves the defaults and writes an error line. HostWnd is looked up here.
    explicit TTMP_ERR_Process(const TProcLabel* label);
    // Cancels the pending time-out.
    ~TTMP_ERR_Process() override;

    std::string_view ClassName() const override { return kClassName; }
    // Messages and its timed message drive it; it has no step.
    std::optional<std::uint64_t> NextTickDue(std::uint64_t) const override { return std::nullopt; }
    // "EST|ATR", then the process keys. A value that is no number (or too large) is reported and
    // leaves the field as it was; the keys after it are still read.
    bool ParseKeyword(std::string_view keyword) override;
    std::string ParamsToText() const override;
    void WorkProcMess(TProcMess& mess, bool& keep) override;

    std::uint32_t EST = kDefaultEST; // ms a record stays current
    std::uint16_t ATR = 0;
    WindowHandle HostWnd = kNoWindow;
    // A copy of the queued time-out of the current record; none while nothing waits.
    std::optional<TTimeMess> TimeOutMess;
    // The record shown now; all zero when none.
    TTmpErrShowRec Current;
    TSavedProcMessFIFO Saved{kTmpErrSavedLimits};
    // "<date time>: <text>" lines, oldest first, code page 1250; at most MaxLines - 1 of them.
    std::vector<std::string> History;
    std::size_t MaxLines = kMaxLines;

protected:
    // The date-time text a history line starts with.
    virtual std::string ArrivalTimeText() const;

private:
    void IdleHandler(TProcMess& mess);
    void ShowingHandler(TProcMess& mess);
    void MakeCurrent(const TTmpErrShowRec& rec, bool addToHistory);
    void HideCurrent();
    void AddHistoryLine(const std::string& text);
    // The record bytes of a show message, addressed to this process as TMP_ERR_SHOW_REP.
    TProcMess PostponedCopy(const TProcMess& mess) const;
    void ReleaseSaved();
    void ArmTimeOut();
    void CancelTimeOut();
    // Whether a TMP_ERR_TIMEOUT belongs to the record shown now (and not to one already gone).
    bool IsPendingTimeOut(const TProcMess& mess) const;
    void Notify(std::uint16_t size, const void* address) const;
    void Trace(const std::string& text) const;

    // Numbers the time-outs, so that one already posted when its record went is recognised.
    std::uint16_t timeOutSerial_ = 0;
};

} // namespace ravlo
