#pragma once

// Test doubles shared by the kernel's test programs: a process that records what reaches it, and
// a fixture that puts the kernel's program-wide objects in place and takes them away again.

#include "framework/debug_mask.h"
#include "kernel/app_name_object.h"
#include "kernel/proc_mess_host.h"
#include "kernel/process_coll.h"
#include "kernel/process_factory.h"
#include "kernel/sys_addr.h"
#include "kernel/time_mess.h"
#include "platform/message_queue.h"
#include "platform/tick.h"
#include "platform/window_messages.h"

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace ravlo::testing {

inline constexpr std::uint8_t kRecordingType = 0x50;

struct Delivery {
    std::string process; // its Name
    std::uint8_t code = 0;
    std::vector<std::uint8_t> data;
    std::uint32_t tick = 0; // GetTickCount when it arrived
};

inline std::vector<Delivery>& Deliveries() {
    static std::vector<Delivery> deliveries;
    return deliveries;
}

// Records every message and tick; codes below let a test make it keep a message or throw.
class RecordingProcess : public TProcess {
public:
    static constexpr std::uint8_t kKeepCode = 0x4B;  // 'K': keeps the message
    static constexpr std::uint8_t kThrowCode = 0x58; // 'X': throws from the handler

    using TProcess::TProcess;
    std::string_view ClassName() const override { return "RecordingProcess"; }

    void WorkProcMess(TProcMess& mess, bool& keep) override {
        Deliveries().push_back(
            {Name, mess.GetCode(), {mess.DataSpan().begin(), mess.DataSpan().end()}, GetTickCount()});
        if (mess.GetCode() == kThrowCode) {
            throw std::runtime_error("handler of " + Name + " failed");
        }
        if (mess.GetCode() == kKeepCode) {
            kept.push_back(std::move(mess));
            keep = true;
        }
    }
    void Tick() override {
        ++ticks;
        if (throwOnTick) {
            throw std::runtime_error("tick of " + Name + " failed");
        }
    }
    bool ProcessCanClose() override {
        ++closeAsked;
        return canClose;
    }

    int ticks = 0;
    int closeAsked = 0;
    bool canClose = true;
    bool throwOnTick = false;
    std::vector<TProcMess> kept;
};

inline std::unique_ptr<RecordingProcess> MakeRecorder(std::string_view name, const TProcAdr& adr,
                                                      std::uint8_t anyFlag = 0) {
    TProcLabel label;
    label.NAM = std::string(name);
    label.ADR = adr;
    label.AnyFlag = anyFlag;
    return std::make_unique<RecordingProcess>(&label);
}

// The kernel's globals for one test: a registry, a timed-message queue, the recording process type
// and (once the test reads one) a label collection; all put back afterwards.
class KernelGlobals {
public:
    KernelGlobals() {
        Deliveries().clear();
        RegisterProcessType(kRecordingType, CreateFromLabel<RecordingProcess>);
    }
    ~KernelGlobals() {
        SetProcLabelColl(nullptr);
        ResetProcessTypes();
        ResetAppSettings();
        SetDebugMask(0);
        AppMessageQueue().Clear();
        Deliveries().clear();
    }

    // Reads the labels of the application INI (the fixture must be in place) and makes them global.
    TRavloProcLabelColl& ReadLabels(std::string_view name = "LABELCOLL") {
        labels_ = MakeNamed<TRavloProcLabelColl>(name);
        SetProcLabelColl(labels_.get());
        return *labels_;
    }

    TSysAddrColl registry;
    TTimeMessColl timed;

private:
    ScopedSysAddrColl registryGuard_{registry};
    ScopedTimeMessColl timedGuard_{timed};
    std::unique_ptr<TRavloProcLabelColl> labels_;
};

// A registered window ($2000..$20FF) whose collection holds one recording process [60,01,2001].
class DrivenKernel {
public:
    DrivenKernel() {
        recorder =
            static_cast<RecordingProcess*>(coll.AddProcess(MakeRecorder("P", TProcAdr{0x60, 0, 0x2001})));
        if (host.Register("MAIN", 0x2000, 0x20FF)) {
            throw std::logic_error("the window range is taken");
        }
    }

    KernelGlobals kernel;
    TProcessColl coll;
    ProcMessHost host{&coll};
    RecordingProcess* recorder = nullptr;
};

// A window on the program's queue that keeps the process messages posted to it and answers other
// messages through an optional reaction.
class ProcMessWindow : public MessageTarget {
public:
    std::intptr_t HandleMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) override {
        if (msg == wm_ProcMess) {
            received.push_back(TProcMess::FromPosted(wParam, lParam));
            return 0;
        }
        return react ? react(msg, wParam) : 0;
    }
    std::vector<TProcMess> received;
    std::function<std::intptr_t(std::uint32_t, std::uintptr_t)> react;
    WindowRegistration registration{AppMessageQueue(), *this};
};

inline std::vector<std::string> DeliveredTo() {
    std::vector<std::string> names;
    for (const Delivery& delivery : Deliveries()) {
        names.push_back(delivery.process);
    }
    return names;
}

inline TProcAdr Adr(std::uint8_t ident, std::uint8_t xInst, std::uint16_t logA) {
    return TProcAdr{ident, xInst, logA};
}

inline TProcMess Mess(const TProcAdr& dest, std::uint8_t code, std::span<const std::uint8_t> data = {}) {
    return TProcMess::Create(dest, Adr(0x01, 0, 0x2001), 0, 0, code, data);
}

} // namespace ravlo::testing
