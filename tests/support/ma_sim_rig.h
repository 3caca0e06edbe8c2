#pragma once

// The board master process with the real communication process in real time, for the simulator.

#include "platform/tick.h"
#include "protocol/comm_process.h"
#include "support/channel_stack.h"
#include "support/ma_rig.h"

#include <chrono>
#include <functional>
#include <thread>

namespace ravlo::testing {

class SimRig : public MaRigBase {
public:
    explicit SimRig(std::string_view maSettings)
        : MaRigBase(maSettings, TRavloComm_Process::CreateFromLabel) {}

    // Runs the scheduler's work (due timed messages, deliveries, ticks) until done() holds.
    bool RunUntil(const std::function<bool()>& done,
                  std::chrono::milliseconds limit = std::chrono::seconds(20)) {
        const auto giveUp = std::chrono::steady_clock::now() + limit;
        while (!done() && std::chrono::steady_clock::now() < giveUp) {
            timed.SendProcMessages(TickMs());
            while (AppMessageQueue().PumpAll() > 0) {
            }
            coll->TickAll();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return done();
    }
    bool Idle() const { return ma->ConState == cs_idle && ma->QueueCount() == 0 && ma->State == ma_st_Ia; }
    bool RunUntilIdle(std::chrono::milliseconds limit = std::chrono::seconds(20)) {
        return RunUntil([this] { return Idle(); }, limit);
    }

    ChannelRegistry channels;
};

} // namespace ravlo::testing
