#pragma once

#include "framework/name_coll.h"
#include "kernel/process.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace ravlo {

// The running processes of one window: it numbers their instances, creates the static ones at
// start and the dynamic ones on demand, delivers each process message that reaches the window, and
// ticks them. INI key "AT |": the address-matching mode, 1 (by the whole address) or 2 (LogA is
// left out). Main thread only.
class TProcessColl : public TNameColl {
public:
    static constexpr std::string_view kClassName = "TProcessColl";
    // Instance numbers run 1..254.
    static constexpr std::uint8_t kMaxInstance = 254;

    explicit TProcessColl(std::string_view name = {});
    // Writes back every process's settings while it is whole, then frees them.
    ~TProcessColl() override;

    std::string_view ClassName() const override { return kClassName; }
    // Reads the collection's key (at creation), between the creation traces.
    bool ReadParamFromINI(bool verbose) override;
    bool ParseKeyword(std::string_view keyword) override;
    std::string ParamsToText() const override;

    TProcess* ProcAt(std::int32_t index) const { return dynamic_cast<TProcess*>(At(index)); }

    // Numbers the process with the next free instance, makes this collection its owner and keeps it.
    // With every instance number taken the process is refused (error line) and nullptr answered.
    TProcess* AddProcess(std::unique_ptr<TProcess> process);
    // Creates the process of a static label of this collection (PCO equal to Name).
    void CreateStaticProcess(const TProcLabel& label);
    // CreateStaticProcess for every label of the program's label collection, in order.
    void CreateStaticProcesses();
    TProcess* GetProcByIdent(std::uint8_t ident) const;

    // The wm_ProcMess handler: takes over the posted block and delivers it.
    void WMProcMess(std::uintptr_t wParam, std::intptr_t lParam);
    // Delivers one message to the process(es) its destination names; the message is freed
    // afterwards unless a process keeps it. An exception out of a handler is logged (RAVLO.ERR) and
    // ends that handler only.
    void Deliver(TProcMess mess);

    // Every process's Tick, in order; an exception ends only that process's step.
    void TickAll();
    // The earliest NextTickDue of the processes; nullopt when none needs a step.
    std::optional<std::uint64_t> NextTickDue(std::uint64_t now) const;
    // Asks every process; true when all allow closing.
    bool CanCloseAll();

    std::uint8_t XInstCounter = 0;
    std::uint8_t AT = 1;

private:
    TProcess* FindReceiver(const TProcMess& mess);
    TProcess* ReceiverForIdent(const TProcAdr& dest);
    TProcess* FirstAny() const;
    bool InstanceTaken(std::uint8_t xInst) const;
    void Trace(const std::string& text) const;
    // Runs the handler; answers keep. Exceptions are logged here.
    bool DeliverTo(TProcess& process, TProcMess& mess);
};

} // namespace ravlo
