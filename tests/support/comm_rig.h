#pragma once

// A communication process at work, with a stand-in for the board master process that records every
// report, on a fake serial port with a fake clock.

#include "support/fake_port_driver.h"
#include "channels/link_deframer.h"
#include "channels/link_frame_builder.h"
#include "framework/debug_mask.h"
#include "kernel/proc_mess_host.h"
#include "kernel/process_coll.h"
#include "kernel/sys_addr.h"
#include "platform/tick.h"
#include "protocol/com_globals.h"
#include "protocol/comm_frame_rec.h"
#include "protocol/comm_messages.h"
#include "protocol/comm_process.h"
#include "protocol/comm_state.h"
#include "protocol/frame_builders.h"
#include "support/app_fixtures.h"
#include "support/channel_stack.h"
#include "support/var_watcher.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ravlo::testing {

using Bytes = std::vector<std::uint8_t>;

// One message that reached the stand-in.
struct Report {
    std::uint8_t Code = 0;
    std::uint8_t Par2 = 0;
    TProcAdr Src;
    Bytes Data;

    // The record of a state or error report.
    TRavloCommStateRec StateRec() const {
        return TRavloCommStateRec::Decode(Data).value_or(TRavloCommStateRec{0xFFFF});
    }
};

// Records what the communication process reports upwards.
class MasterStandIn : public TProcess {
public:
    using TProcess::TProcess;
    std::string_view ClassName() const override { return "MasterStandIn"; }
    void WorkProcMess(TProcMess& mess, bool& keep) override {
        Reports.push_back({mess.GetCode(), mess.GetPar2(), mess.GetSrc(),
                           Bytes(mess.DataSpan().begin(), mess.DataSpan().end())});
        keep = false;
    }

    // The codes (and for state and error reports the codes they carry), in arrival order.
    std::vector<std::uint16_t> StateCodes() const { return Carried(RAVLOCOMM_MA_State); }
    std::vector<std::uint16_t> ErrorCodes() const { return Carried(RAVLOCOMM_MA_Error); }
    std::vector<Report> Received() const {
        std::vector<Report> received;
        for (const Report& report : Reports) {
            if (report.Code == RAVLOCOMM_MA_RxD) {
                received.push_back(report);
            }
        }
        return received;
    }

    std::vector<Report> Reports;

private:
    std::vector<std::uint16_t> Carried(std::uint8_t code) const {
        std::vector<std::uint16_t> carried;
        for (const Report& report : Reports) {
            if (report.Code == code) {
                carried.push_back(report.StateRec().Code);
            }
        }
        return carried;
    }
};

inline std::unique_ptr<TProcess> MakeStandIn(const TProcLabel& label) {
    return std::make_unique<MasterStandIn>(&label);
}

inline std::string CommIni(std::string_view commSettings) {
    return "[SECTIONS]\r\nRD_SECTION=READ\r\nWR_SECTION=WRITE\r\n[READ]\r\nCOMM=" +
           std::string(commSettings) + "\r\n";
}

// A window serving $2000..$20FF whose collection holds the stand-in [70,01,2001] and the
// communication process [87,02,2001], built from the INI entry COMM=commSettings.
class CommRig {
public:
    explicit CommRig(std::string_view commSettings = "DWN=0") : ini_(CommIni(commSettings)) {
        port->Clock = &clock;
        host.Register("MAIN", 0x2000, 0x20FF);
        TProcLabel masterLabel;
        masterLabel.NAM = "MA";
        masterLabel.ADR = TProcAdr{0x70, 0, 0x2001};
        master = static_cast<MasterStandIn*>(coll.AddProcess(MakeStandIn(masterLabel)));
        TProcLabel commLabel;
        commLabel.NAM = "COMM";
        commLabel.ADR = TProcAdr{0x87, 0, 0x2001};
        commLabel.ProcType = 0x87;
        comm =
            static_cast<TRavloComm_Process*>(coll.AddProcess(TRavloComm_Process::CreateFromLabel(commLabel)));
    }
    ~CommRig() {
        AppMessageQueue().Clear();
        ResetComGlobals();
        SetDebugMask(0);
    }
    CommRig(const CommRig&) = delete;
    CommRig& operator=(const CommRig&) = delete;

    // Posts a message from the stand-in to the communication process and delivers what follows.
    void Post(std::uint8_t code, std::span<const std::uint8_t> data = {}, std::uint8_t par1 = 0) {
        Queue(code, data, par1);
        Pump();
    }
    // Posts without delivering.
    void Queue(std::uint8_t code, std::span<const std::uint8_t> data = {}, std::uint8_t par1 = 0) {
        TProcMess::Create(kMACommAdr, master->ADR, par1, 0, code, data).SendProcMess();
    }
    void Pump() {
        while (AppMessageQueue().PumpAll() > 0) {
        }
    }
    void PostTxD(const TRavloCommFrameRec& record, std::uint8_t par1 = 0) {
        Post(RAVLOCOMM_MA_TxD, record.Encode(), par1);
    }
    void PostChnParam(std::uint8_t port, std::uint32_t baud) {
        Post(RAVLOCOMM_MA_SetChnParam, TRavloChnParamRec{port, baud}.Encode());
    }
    // Opens and connects; the test fails when State 22 does not come.
    void Connect() {
        Post(RAVLOCOMM_MA_CrOpCo);
        ASSERT_EQ(comm->State, MAS_Connected);
        ASSERT_FALSE(master->StateCodes().empty());
        ASSERT_EQ(master->StateCodes().back(), MAS_Connected);
    }
    // ms of fake time pass, then one scheduler tick.
    void Tick(std::uint32_t ms = 1) {
        clock.Advance(ms);
        coll.TickAll();
        Pump();
    }
    // Ticks once per ms until done() holds or limitMs have passed; answers done().
    bool TickUntil(const std::function<bool()>& done, std::uint32_t limitMs = 10000) {
        for (std::uint32_t ms = 0; ms < limitMs && !done(); ++ms) {
            Tick(1);
        }
        return done();
    }

    // The board answers: a link frame from its node to the host.
    void BoardSends(std::span<const std::uint8_t> boardFrame, std::uint8_t from = 254,
                    std::uint8_t to = 255) {
        LinkFrameBuilder builder(0xFFFF);
        port->Feed(*builder.Build(to, from, boardFrame));
    }
    // The data of every link frame the host has put on the line so far.
    std::vector<Bytes> LineFrames() const {
        MemoryByteSource source;
        source.Append(port->Output);
        LinkDeframer deframer;
        deframer.Restart();
        std::vector<Bytes> frames;
        Bytes buffer(0xFFFF);
        for (;;) {
            deframer.Poll(source, buffer, 0);
            if (deframer.State() != LinkDeframer::kComplete) {
                return frames;
            }
            frames.emplace_back(buffer.begin(), buffer.begin() + deframer.FrameLength());
            deframer.Resume();
        }
    }
    // The state words announced so far.
    std::vector<std::uint32_t> States() const { return watcher.ValuesAt(&comm->State); }

    AppIniFixture ini_;
    ManualTickSource clock{100000};
    ScopedTickSource tickGuard{clock};
    std::shared_ptr<FakePort> port = std::make_shared<FakePort>();
    ScopedPortDriverFactory drivers{FakePortDriverFactory(port)};
    ChannelRegistry channels;
    TSysAddrColl registry;
    ScopedSysAddrColl registryGuard{registry};
    CapturedWriter writer;
    VarWatcher watcher;
    TProcessColl coll;
    ProcMessHost host{&coll};
    MasterStandIn* master = nullptr;
    TRavloComm_Process* comm = nullptr;
};

// A frame record as the board master process sends it.
inline TRavloCommFrameRec RqstRecord() {
    return TRavloCommFrameRec::ForFrame(BuildBareFrame(ft_Rqst));
}

// The receive record of a frame as RAVLOCOMM_MA_RxD carries it: two empty bytes, length, frame.
inline Bytes RxDRecord(std::span<const std::uint8_t> frame) {
    Bytes record{0, 0, static_cast<std::uint8_t>(frame.size() & 0xFF),
                 static_cast<std::uint8_t>(frame.size() >> 8)};
    record.insert(record.end(), frame.begin(), frame.end());
    return record;
}

inline Bytes Empt386Frame() {
    return {ft_Empt386, 0, 0};
}

} // namespace ravlo::testing
