#pragma once

#include "kernel/proc_mess_coll.h"
#include "kernel/process.h"
#include "protocol/comm_channels.h"
#include "protocol/comm_stat.h"
#include "protocol/protocol_data.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ravlo {

// The communication process (ProcType 0x87): owns the serial channel "COMPORTX" and the link
// channel "PRTPROTX" over it, and turns the board master process's requests (comm_messages.h) into
// link frames and back. A cooperative state machine (the MAS_ states, comm_state.h) that every
// message and every scheduler tick advances; it never waits. One frame is exchanged at a time: it is
// sent, the answer awaited for RTF × 1000 / ComBaud ms, and the exchange repeated up to REP times
// before "Repeated no answer" (error 20) goes up. Frames that need no answer go out TxFlags + 1
// times and end with a RAVLOCOMM_MA_RxD without data.
//
// A frame counts as sent once it can have crossed the line: the line time of its link frame
// (stuffed bytes × 11 bits ÷ baud) has passed and the channel has nothing left to send; the
// answer's wait starts then. A link frame too short to be a board frame is no answer. After a
// frame had to go out more than once, the next one waits until the last copy's answer time has
// passed, so that a late answer of an earlier copy cannot pass for the next frame's.
//
// Watchers learn of changes through wm_VarChanged (NotifyForms): the state word (size 2), the
// pending-message count (size 4), the COM port (size 1) and the counters Stat (size 23); ComBaud and
// ComOpenPort (com_globals.h) announce themselves.
class TRavloComm_Process : public TProcess {
public:
    static constexpr std::string_view kClassName = "TRavloComm_Process";

    static constexpr std::uint16_t kDefaultLRB = 12287;
    static constexpr std::int32_t kDefaultTimeout = 1000;
    static constexpr std::int32_t kDefaultRTF = 4800;
    static constexpr std::uint8_t kDefaultREP = 2;
    static constexpr std::int32_t kDefaultEW = 20;
    static constexpr std::uint8_t kDefaultNOD = 255;
    static constexpr std::uint8_t kDefaultDNO = 254;
    static constexpr std::uint32_t kDefaultBaud = 4800;

    // Sizes of the wm_VarChanged notifications.
    static constexpr std::uint16_t kNotifyPort = 1;
    static constexpr std::uint16_t kNotifyState = 2;
    static constexpr std::uint16_t kNotifyPending = 4;
    static constexpr std::uint16_t kNotifyStat = static_cast<std::uint16_t>(TChnStat::kSize);

    // The defaults, the port from ComDefaultPort, state MAS_0. nullptr leaves the defaults and writes
    // an error line.
    explicit TRavloComm_Process(const TProcLabel* label);
    // Frees the pending messages and the channels (closing the port), writes the settings back.
    ~TRavloComm_Process() override;

    // The creator the process factory registers: builds the process, reads and applies its settings
    // with the creation traces.
    static std::unique_ptr<TProcess> CreateFromLabel(const TProcLabel& label);

    std::string_view ClassName() const override { return kClassName; }
    // "LRB|TOP|TIC|TID|TCL|RTF|REP|NOD|DNO|EW ", then the process keys. A value out of its key's
    // range is a keyword error and leaves the setting as it was.
    bool ParseKeyword(std::string_view keyword) override;
    // The keys whose values differ from the defaults; EW is never written.
    std::string ParamsToText() const override;
    // Queues the message (the process keeps it) and steps.
    void WorkProcMess(TProcMess& mess, bool& keep) override;
    void Tick() override { Step(); }
    // Now while a request or an exchange is under way; otherwise only when a held-back frame may
    // go, for a frame that arrives wakes the scheduler by itself.
    std::optional<std::uint64_t> NextTickDue(std::uint64_t now) const override;
    // The MAS_ state's text, e.g. "{Connected}".
    std::string StateStr() const override;
    // Asks the process to close down; true once it has reached MAS_Done.
    bool ProcessCanClose() override;

    // Runs the states one after another until one has to wait.
    void Step();
    // wm_VarChanged with size and address through the main form.
    void NotifyForms(std::uint16_t size, const void* address) const;

    // Where reports go: the board master process of the owning collection, found by its Ident, so
    // that they arrive whatever instance number and LogA it was given; kCommUpwardAdr without one.
    TProcAdr UpwardAddress() const;
    // Whether the port's device has gone from under the open channels.
    bool DeviceGone() const;
    // What the user is told of a lost link: the port, its device, and whether the device has gone.
    std::string LinkLostText() const;
    // RTF × 1000 / ComBaud ms (with the process's own baud while no port is open).
    double AnswerTimeoutMs() const;
    // The rate of the open port, or the process's own while none is open.
    std::uint32_t LineBaud() const;

    std::uint16_t LRB() const { return static_cast<std::uint16_t>(recBuffer_.size()); }
    std::size_t PendingCount() const { return pending_.Count(); }
    // The pending count that the size-4 notifications announce.
    const std::uint32_t* PendingCountField() const { return &pendingCount_; }
    const TCommChannels& Channels() const { return channels_; }
    std::uint16_t ResultWord() const { return result_; }

    // Settings (INI keys).
    std::int32_t TOP = kDefaultTimeout; // ms to wait for the open
    std::int32_t TIC = kDefaultTimeout; // ... the connect
    std::int32_t TID = kDefaultTimeout; // ... the disconnect
    std::int32_t TCL = kDefaultTimeout; // ... the close
    std::int32_t RTF = kDefaultRTF;     // answer time-out factor (ms at 1000 baud)
    std::uint8_t REP = kDefaultREP;     // repetitions of an exchange
    std::int32_t EW = kDefaultEW;       // ms to wait after a failed exchange
    std::uint8_t NOD = kDefaultNOD;     // own node
    std::uint8_t DNO = kDefaultDNO;     // board node
    // The line, set by RAVLOCOMM_MA_SetChnParam.
    std::uint8_t ComPort = 0;
    std::uint32_t Baud = kDefaultBaud;

    TChnStat Stat;
    // The Par1 of the last RAVLOCOMM_MA_TxD taken; the Par2 of every RAVLOCOMM_MA_RxD.
    std::uint8_t TxPar1 = 0;
    // Why the port did not open the last time, in words the user can act on (the device, how to
    // name another); empty after a good open or when the port gave no reason.
    std::string OpenFailure;

private:
    // The states; each answers whether the step goes on (false: wait for the next message or tick).
    bool RunState();
    bool StepIdle();
    bool StepClosed();
    bool StepOpen();
    bool StepOpenRdy();
    bool StepOpened();
    bool StepConnect();
    bool StepConnectRdy();
    bool StepConnected();
    bool StepBegin();
    bool StepSendBeg();
    bool StepSendRep();
    bool StepSend();
    bool StepRec();
    bool StepRecEnd();
    bool StepErrWait();
    bool StepDisConnect();
    bool StepDisConnectRdy();
    bool StepClose();
    bool StepCloseRdy();
    // After an exchange failed (result_ holds why): the same frame again, or error 20 up.
    bool RepeatDecision();

    // Builds the channels for a connect request; false (error up, requests cleared) on failure.
    bool BuildChannels();
    // Frees the channels; the port is closed with them.
    void FreeChannels();
    // Port and baud of a RAVLOCOMM_MA_SetChnParam; a record that is cut short is reported.
    void StoreChnParam(const TProcMess& mess);
    // Answers RAVLOCOMM_MA_State for a state that was asked for when it already holds.
    void AnswerHeld(std::uint8_t code, std::uint16_t state);
    void TakeFirstPending();
    void FreeCurrent();
    void SetStateWord(std::uint16_t state);
    void NotifyStat() { NotifyForms(kNotifyStat, &Stat); }
    // The link's operation error into the result word; answers it.
    std::uint16_t TakeOpErr();
    // Starts a link operation: on an error the error line, failState and the error up (false); else
    // the step start noted and waitState.
    bool StartLinkOp(void (TChnVirt::*operation)(), std::uint16_t error, std::uint16_t failState,
                     std::uint16_t waitState);
    // The link's CHReady; nullopt after an error (written as an error line, kept in the result word).
    std::optional<std::uint16_t> LinkReady();
    // Whether more than limitMs have passed since the step started waiting.
    bool StepTimedOut(std::int32_t limitMs) const;
    // A channel operation that did not finish in time: error line, next state, error up.
    bool TimedOut(std::string_view operation, std::uint16_t error, std::uint16_t next);
    // Copies len bytes of the receive buffer into the receive record.
    void StoreReceived(std::uint16_t len);
    bool LinkExchangeFailed(std::uint16_t result);

    void SendUp(std::uint8_t code, std::span<const std::uint8_t> data, std::uint8_t par2 = 0);
    void SendState(std::uint16_t state);
    void SendError(std::uint16_t code);
    // Name ":->" link ":" its text of the result.
    void LinkErrorLine(std::uint16_t result);
    // Name + text, as an error line.
    void ErrorLine(std::string_view text);
    void Trace(std::uint32_t bits, std::string_view text) const;
    // The result word's text; the word is cleared.
    std::string TakeResultText();
    // Reports address mismatches with the board master process once, at the first step.
    void CheckAddressesOnce();
    [[noreturn]] void InternalError(const std::string& text) const;
    std::uint32_t Elapsed(std::uint32_t since) const;

    std::vector<std::uint8_t> recBuffer_ = std::vector<std::uint8_t>(kDefaultLRB);
    TCommChannels channels_;
    TProtocolData sendRec_;
    TProtocolData recvRec_;
    TProcMessColl pending_;
    std::optional<TProcMess> current_;
    // The pending count as watchers read it.
    std::uint32_t pendingCount_ = 0;

    std::uint16_t repeatState_ = 0;
    std::uint16_t successState_ = 0;
    std::uint16_t waitTarget_ = 0;
    std::uint16_t returnState_ = 0;
    std::uint16_t result_ = 0;

    bool closeRq_ = false;
    bool connectRq_ = false;
    bool disconnectRq_ = false;
    bool reopenRq_ = false;

    std::uint32_t stepStart_ = 0;
    std::uint32_t waitStart_ = 0;
    std::uint32_t exchangeStart_ = 0;
    // Line time of the frame being sent, ms.
    std::uint32_t frameLineMs_ = 0;
    // After a repeated frame: the tick until which the next frame is held back.
    std::optional<std::uint32_t> holdUntil_;
    // The wait after an error has written its entry line.
    bool errWaitLogged_ = false;
    // The next open is of the same port again: an absent device does not fail it.
    bool quietReopen_ = false;
    // The last exchange was given up because the device had gone (its line is written).
    bool goneReported_ = false;
    bool addressesChecked_ = false;
};

} // namespace ravlo
