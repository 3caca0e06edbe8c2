#pragma once

#include "kernel/proc_label.h"
#include "kernel/proc_mess.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace ravlo {

class TProcessColl;

// Window messages by which a process asks its window for a status-line position and gives it back.
inline constexpr std::uint32_t wm_GetStringPos = 0x7F3;
inline constexpr std::uint32_t wm_FreeStringPos = 0x7F5;
// The XYS value that asks the window for a position.
inline constexpr std::uint16_t kAskStringPos = 0xFFFF;

// Base of every process: a label come to life. A process works only when a message is delivered to
// it (WorkProcMess) and when the scheduler ticks it (Tick); it never blocks and never calls another
// process. Build processes with CreateFromLabel (process_factory.h), which reads the settings once
// the object is whole.
class TProcess : public TProcLabel {
public:
    static constexpr std::string_view kClassName = "TProcess";

    // Takes the label's settings; Name becomes the label's NAM. nullptr leaves the defaults and
    // writes an error line.
    explicit TProcess(const TProcLabel* label);
    // Writes the settings back when UPD asks for it. Only this class's keys reach the INI from
    // here; owners call WriteBackParams while the process is whole.
    ~TProcess() override;

    std::string_view ClassName() const override { return kClassName; }
    // Settles the status-line position (XYS) with the host window.
    TNameObject& ApplyParams() override;
    // Name up to its "^".
    std::string GetName() const override;
    // "DWN|XYS|", then the label's keys.
    bool ParseKeyword(std::string_view keyword) override;
    std::string ParamsToText() const override;

    // ADR.XInst := n; Name gets "^" and n in two hex digits.
    virtual void SetXInst(std::uint8_t n);
    // Handles one message. To keep it the process moves it away (e.g. into a queue of its own) and
    // sets keep; whatever is left in mess is freed by the deliverer. A broadcast stops at the process
    // that sets keep.
    virtual void WorkProcMess(TProcMess& mess, bool& keep);
    // One scheduler step.
    virtual void Tick() {}
    // When the process next needs a step, in TickMs milliseconds: now (or earlier) while it has work
    // under way, a later time for what it next waits for by the clock, nullopt when only a message
    // or input can give it work. The scheduler's worker pauses until the earliest of these, so a
    // process with a Tick of its own that rests must say so here; the default asks for every step.
    virtual std::optional<std::uint64_t> NextTickDue(std::uint64_t now) const { return now; }
    virtual void Test();
    // "{" + State in 4 hex digits + "}".
    virtual std::string StateStr() const;
    // GetLabelStr + " state=" + StateStr.
    virtual std::string ProcStr() const;
    // Whether the application may close now.
    virtual bool ProcessCanClose();

    // Writes the settings back (when UPD says so) and then no more; idempotent.
    void WriteBackParams();

    std::uint8_t DWN = 0;
    std::uint16_t State = 0;
    TProcessColl* Owner = nullptr;
    std::uint16_t XYS = 0;
    std::uint16_t HeldPos = 0;
};

} // namespace ravlo
