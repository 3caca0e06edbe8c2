#pragma once

// The board master process among fakes: a fake communication process with a fake board behind it
// and a fake clock.

#include "platform/tick.h"
#include "protocol/com_globals.h"
#include "protocol/comm_frame_rec.h"
#include "protocol/comm_messages.h"
#include "protocol/comm_state.h"
#include "support/fake_time_steps.h"
#include "support/ma_fake_board.h"
#include "support/ma_rig.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace ravlo::testing {

// One message the fake communication process received.
struct CommRequest {
    std::uint8_t Code = 0;
    Bytes Data;
    // The frame of a RAVLOCOMM_MA_TxD (empty for the other codes).
    Bytes Frame() const {
        const auto record = TRavloCommFrameRec::Decode(Data);
        return record.Ok() ? Bytes(record->Frame.Bytes().begin(), record->Frame.Bytes().end()) : Bytes{};
    }
};

// Stands in for the communication process: records every request and answers as the real one
// reports (State, Error, RxD), with the fake board giving the frames of each exchange.
class FakeComm : public TProcess {
public:
    using TProcess::TProcess;
    std::string_view ClassName() const override { return "FakeComm"; }

    void WorkProcMess(TProcMess& mess, bool& keep) override {
        keep = false;
        const auto data = mess.DataSpan();
        Requests.push_back({mess.GetCode(), Bytes(data.begin(), data.end())});
        switch (mess.GetCode()) {
        case RAVLOCOMM_MA_SetChnParam: {
            const auto param = TRavloChnParamRec::Decode(data).value();
            port_ = param.Port;
            baud_ = param.Baud;
            if (Open && FailReopen) {
                Open = false;
                SetComBaud(0);
                Report(RAVLOCOMM_MA_Error, CommErr_Open);
                break;
            }
            if (Open) {
                SetComOpenPort(port_);
                SetComBaud(baud_);
            }
            Report(RAVLOCOMM_MA_State, Open ? MAS_Connected : MAS_0);
            break;
        }
        case RAVLOCOMM_MA_CrOpCo:
            if (FailOpen) {
                Report(RAVLOCOMM_MA_Error, CommErr_Open);
                Report(RAVLOCOMM_MA_State, MAS_0);
                break;
            }
            Open = true;
            SetComOpenPort(port_);
            SetComBaud(baud_);
            Report(RAVLOCOMM_MA_State, MAS_Connected);
            break;
        case RAVLOCOMM_MA_DiClDe:
            Open = false;
            SetComBaud(0);
            SetComOpenPort(0);
            Report(RAVLOCOMM_MA_State, MAS_0);
            break;
        case RAVLOCOMM_MA_TxD:
            // Every frame passed up carries the tag of the last frame taken, as with the real one.
            tag_ = mess.GetPar1();
            Exchange(TRavloCommFrameRec::Decode(data).Value());
            break;
        default:
            break;
        }
    }

    // Frames the master handed over, in order.
    Frames SentFrames() const {
        Frames frames;
        for (const CommRequest& request : Requests) {
            if (request.Code == RAVLOCOMM_MA_TxD) {
                frames.push_back(request.Frame());
            }
        }
        return frames;
    }
    std::vector<std::uint8_t> Codes() const {
        std::vector<std::uint8_t> codes;
        for (const CommRequest& request : Requests) {
            codes.push_back(request.Code);
        }
        return codes;
    }
    // Posts the answers kept back while Hold was set (the first count of them). With retag each
    // carries the tag of the last frame taken by now, as the real process tags a late frame of an
    // earlier exchange that arrives after it took the next frame.
    void ReleaseHeld(std::size_t count = SIZE_MAX, bool retag = false) {
        count = std::min(count, held_.size());
        std::vector<TProcMess> released(
            std::make_move_iterator(held_.begin()),
            std::make_move_iterator(held_.begin() + static_cast<std::ptrdiff_t>(count)));
        held_.erase(held_.begin(), held_.begin() + static_cast<std::ptrdiff_t>(count));
        for (auto& mess : released) {
            if (retag && mess.GetCode() == RAVLOCOMM_MA_RxD) {
                const auto data = mess.DataSpan();
                TProcMess::Create(kCommUpwardAdr, ADR, 0, tag_, RAVLOCOMM_MA_RxD, data).SendProcMess();
            } else {
                mess.SendProcMess();
            }
        }
    }
    std::size_t HeldCount() const { return held_.size(); }
    // A frame of the board's that arrives now, tagged as the real process tags it: with the last
    // frame taken (a late answer to an earlier frame looks like this).
    void Arrives(std::span<const std::uint8_t> frame) { PostUp(RAVLOCOMM_MA_RxD, RxDRecord(frame)); }
    void Report(std::uint8_t code, std::uint16_t value) {
        PostUp(code, TRavloCommStateRec{value, port_, baud_}.Encode());
    }

    static Bytes RxDRecord(std::span<const std::uint8_t> frame) {
        Bytes record{0, 0, static_cast<std::uint8_t>(frame.size() & 0xFF),
                     static_cast<std::uint8_t>(frame.size() >> 8)};
        record.insert(record.end(), frame.begin(), frame.end());
        return record;
    }

    FakeBoard Board;
    std::vector<CommRequest> Requests;
    bool Open = false;
    bool FailOpen = false;
    // New channel parameters while open: the port does not open again.
    bool FailReopen = false;
    // A board that does not answer: no report at all (the master's time-out must act) instead of
    // the error the real process sends after its repetitions.
    bool Silent = false;
    // Keep the answers until ReleaseHeld.
    bool Hold = false;
    // Answers carry the tag of the frame before the last one taken: late answers of an earlier frame.
    bool StaleTag = false;

private:
    void Exchange(const TRavloCommFrameRec& record) {
        if (!Open) {
            return;
        }
        const auto frame = record.Frame.Bytes();
        if (record.NoAnswer == 1) {
            Board.Hear(frame, ComBaud);
            PostUp(RAVLOCOMM_MA_RxD, {});
            return;
        }
        const auto answer = Board.Answer(frame, ComBaud);
        if (!answer) {
            if (!Silent) {
                Report(RAVLOCOMM_MA_Error, CommErr_NoAnswer);
            }
            return;
        }
        for (const Bytes& reply : *answer) {
            PostUp(RAVLOCOMM_MA_RxD, RxDRecord(reply));
        }
    }
    void PostUp(std::uint8_t code, std::span<const std::uint8_t> data) {
        const std::uint8_t tag = code != RAVLOCOMM_MA_RxD ? 0
                                 : StaleTag               ? static_cast<std::uint8_t>(tag_ - 1)
                                                          : tag_;
        TProcMess mess = TProcMess::Create(kCommUpwardAdr, ADR, 0, tag, code, data);
        if (Hold) {
            held_.push_back(std::move(mess));
        } else {
            mess.SendProcMess();
        }
    }

    std::uint8_t port_ = 1;
    std::uint32_t baud_ = 4800;
    std::uint8_t tag_ = 0;
    std::vector<TProcMess> held_;
};

inline std::unique_ptr<TProcess> MakeFakeComm(const TProcLabel& label) {
    return std::make_unique<FakeComm>(&label);
}

// The rig with the fake communication process; time moves only when the test says so. The
// keep-alive is off unless the settings switch it on.
class MaRig : public MaRigBase {
public:
    explicit MaRig(std::string_view maSettings = "DWN=0 PER=0 RET=1000 AST=1")
        : MaRigBase(maSettings, MakeFakeComm),
          comm(dynamic_cast<FakeComm*>(coll->GetProcByIdent(PT_RavloComm))) {}

    FakeBoard& Board() { return comm->Board; }

    // ms of fake time pass in steps; due timed messages are posted and everything settles after
    // each step.
    void Advance(std::uint32_t ms, std::uint32_t step = 10) {
        AdvanceFakeTime(clock, ms, step, [this] { TickAndSettle(); });
    }
    // Advances until done() holds or limitMs passed; answers done().
    bool AdvanceUntil(const std::function<bool()>& done, std::uint32_t limitMs = 60000) {
        Settle();
        return AdvanceFakeTimeUntil(clock, done, limitMs, [this] { TickAndSettle(); });
    }
    // One step of the timer: the due timed messages are posted and everything settles.
    void TickAndSettle() {
        timed.SendProcMessages(TickMs());
        Settle();
    }

    // Opens the link at baud through the master's own path.
    void Connect(std::uint32_t baud = 4800) {
        ma->SetChnParam(1, baud);
        Settle();
        ma->OpenComm();
        Settle();
        ASSERT_EQ(ma->LinkState, ravlost_Connected);
    }
    // Opens the link and lets the master identify the board (the whole chain of reads).
    void ConnectAndIdentify(DEV_VokType kind = DEV_Vok188) {
        Board().Kind = kind;
        Board().PutIdentification();
        Connect(Board().Baud);
        ma->SendRqst();
        Settle();
        ASSERT_EQ(ma->Device, kind);
        ASSERT_EQ(ma->Connected, kBoardConnected);
        ASSERT_EQ(ma->ConState, cs_idle);
        comm->Requests.clear();
        ClearRecords();
    }

    ManualTickSource clock{1'000'000};
    ScopedTickSource tickGuard{clock};
    FakeComm* comm = nullptr;
};

} // namespace ravlo::testing
