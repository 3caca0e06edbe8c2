#pragma once

#include "framework/board_address.h"
#include "kernel/process.h"
#include "kernel/time_mess.h"
#include "platform/exception.h"
#include "protocol/comm_frame_rec.h"
#include "protocol/comm_messages.h"
#include "protocol/frame_builders.h"
#include "protocol/ma_interfaces.h"
#include "protocol/ma_request.h"
#include "protocol/ma_states.h"
#include "protocol/ma_timeouts.h"

#include <cstdint>
#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ravlo {

class TRavloComm_Process;

// A protocol fault inside the master process (a message or frame its state cannot take). It ends
// the handling of that message; the time-out or failure handling then ends the operation.
class EMaProtocolError : public Exception {
public:
    using Exception::Exception;
};

// Set while the keep-alive searches the board's baud rate; cleared by the first answer that arrives.
extern std::uint8_t BaudSearch;

// The board master process: the one way to the board. Windows and the main form call its entry
// operations, which queue a request; the process starts the requests one at a time, sends board
// frames through the communication process, interprets the answers, handles time-outs, retries and
// the keep-alive, and reports through wm_VarChanged of its fields, window messages to the asking
// window, the interfaces of ma_interfaces.h, the error-history process and the dialog process.
// Everything runs on the thread that delivers process messages.
class TRavlo_MA_Process : public TProcess {
public:
    static constexpr std::string_view kClassName = "TRavlo_MA_Process";
    // Size of the buffers of the identification reads.
    static constexpr std::size_t kIdBufferSize = 2048;
    static constexpr std::uint8_t kMaxRetries = 3;
    // RetryCount while a stop runs: no repeat is made.
    static constexpr std::uint8_t kStopRetries = 0xFE;

    explicit TRavlo_MA_Process(const TProcLabel* label);
    ~TRavlo_MA_Process() override;

    std::string_view ClassName() const override { return kClassName; }
    // "PER|RET|AST": keep-alive period (ms, 0 or less: off), time-out base (>= 0), open at start.
    bool ParseKeyword(std::string_view keyword) override;
    std::string ParamsToText() const override;
    void WorkProcMess(TProcMess& mess, bool& keep) override;
    // Starts the next queued request, then the keep-alive.
    void Tick() override;
    // Now while a request can start or a wait has no time-out yet; the keep-alive's time while the
    // link rests; otherwise nothing (an operation under way goes on with the messages and
    // time-outs it gets).
    std::optional<std::uint64_t> NextTickDue(std::uint64_t now) const override;

    // The windows, main form and project the process reports to; absent ones are skipped.
    void SetInterfaces(const TMaInterfaces& interfaces);

    // ---- Entry operations: each queues a request (at the end unless said otherwise) ----
    // Writes data (its length is the block's) at address; name is shown in the progress window. An
    // empty block is refused with a message. The bytes belong to the write from now on.
    bool WriteMemBlock(TSegOfsPtr address, std::vector<std::uint8_t> data, std::string_view name);
    // The same for a ROM module of a download: the write ends only when the board's own checksum
    // of the module (whose bytes add up to 0 modulo 256) confirms it; a module it does not confirm
    // fails the write and drops what is queued behind it.
    bool WriteRomModule(TSegOfsPtr address, std::vector<std::uint8_t> data, std::string_view name);
    // Reads length bytes at address and appends them to file, or replaces the file with them. A
    // length of 0 is refused with a message.
    bool ReadMemBlock(TSegOfsPtr address, std::uint32_t length, const std::filesystem::path& file,
                      TReadFileMode mode = TReadFileMode::Append);
    // Reads the 256-byte page at address for the memory view whose window is notify; a page that
    // would pass the end of the address space is refused with a message.
    bool ReadMemPage(TSegOfsPtr address, WindowHandle notify);
    // Reads the setup block of the 188 (FFE0:0000) or the 386 board (FFF0:0000) for its dialog.
    void ReadSetup188();
    void ReadSetup386();
    // Writes a setup record, or the whole setup block, back from the setup address of the 188 or
    // the 386 board.
    bool WriteSetup188(std::vector<std::uint8_t> data);
    bool WriteSetup386(std::vector<std::uint8_t> data);
    // Identifies the BIOS (at the head of the queue).
    void ReadBiosId();
    void ReadBiosIdString(TSegOfsPtr pointer);
    void ReadFlashType();
    // Reads or writes an IO port, a byte (byteAccess) or a word; the result goes to notify.
    void ReadIO(std::uint16_t port, bool byteAccess, WindowHandle notify);
    void WriteIO(std::uint16_t port, bool byteAccess, WindowHandle notify, std::uint16_t value);
    // Reads the board clock into buffer (the first 14 bytes of the answer) or sets it.
    void ReadRTC(WindowHandle notify, std::shared_ptr<TClockBuffer> buffer);
    void WriteRTC(WindowHandle notify, const TVokClockRec& time);
    // Jumps to, or runs the application at, address.
    void GoAddr(TSegOfsPtr address);
    void RunApp(TSegOfsPtr address);
    // Compares the board's checksums with the project's ROM modules.
    void CheckSum();
    // Switches the board and the link to BDLD (at the head of the queue).
    void ChangeBaud();
    // The program's debug frames, each one operation. A frame of type without fields, sent awaiting
    // an answer: the board's first answer, or that none came, is shown (silence is no lost link).
    void SendDebugFrame(std::uint8_t type);
    // One Chcksum over paragraphs from segment:0000: "Checksum OK" or "Checksum Error".
    void CheckSumBlock(std::uint16_t segment, std::uint16_t paragraphs);
    // One Load of data at address, as given, acknowledged as every Load; name is the command shown
    // with the result. An empty block or one past the end of the address space is refused.
    bool LoadDebugBlock(TSegOfsPtr address, std::vector<std::uint8_t> data, std::string_view name);

    // ---- Immediate operations ----
    // Posts new channel parameters to the process itself (the port is remembered for the search).
    void SetChnParam(std::uint8_t port, std::uint32_t baud);
    // Posts the opening or the closing of the link to the process itself.
    void OpenComm();
    void CloseComm();
    // Stops the running operation (a beep when none runs).
    void StopOperation();
    // Identifies the board (refused while another operation runs).
    void SendRqst();
    // A keep-alive ping, or one step of the baud-rate search.
    void PingBoard();

    // ---- Texts ----
    static std::string RavloStateName(std::uint8_t state) { return RavloStateText(state); }
    static std::string ProcStateName(std::uint16_t state) { return ProcStateText(state); }
    static std::string ConStateName(std::uint8_t state) { return ConStateText(state); }
    std::string BiosVersionText() const;

    // ---- What the windows read (changes are announced with wm_VarChanged and the field's size) ----
    const tRequest& Active() const { return active_; }
    std::size_t QueueCount() const { return queue_.size(); }
    std::size_t SavedCount() const { return savedMess_.Count(); }
    bool TimeOutArmed() const { return activeTimeOut_.has_value(); }
    std::uint64_t ArmedTimeOutDue() const { return activeTimeOut_ ? activeTimeOut_->Due : 0; }

    TProcAdr CommAdr = kMACommAdr;
    std::int32_t PER = 1000;
    std::int32_t RET = 1000;
    std::uint8_t AST = 1;
    std::uint8_t LinkState = ravlost_Inactive;
    std::uint32_t LastRecvTick = 0;
    std::uint32_t LastSendTick = 0;
    std::uint8_t PingAnswered = 1;
    std::uint8_t Connected = kNotConnected;
    std::uint8_t Device = DEV_Unknown;
    std::string BiosIdText;
    std::uint8_t BiosVersion = 0;
    TSegOfsPtr LastFrameAdr;
    std::int32_t LastFrameDone = 0;
    std::uint16_t LastFrameLen = 0;
    std::uint32_t DefBd = 4800;
    std::uint32_t BDLD = 4800;
    std::uint32_t CurBaud = 4800;
    // The COM port of the main form's settings, used by the baud-rate search.
    std::uint8_t ComPort = 1;
    std::string EventText;
    std::uint8_t EventKind = 0;
    std::uint8_t ConState = cs_idle;
    std::uint8_t RetryCount = 0;
    std::uint8_t StopFlag = 0;
    std::uint8_t IdFollowUp = 0;

private:
    // Message dispatch.
    void WorkMessage(TProcMess& mess);
    void Epilogue();
    void ActRavlo_MA_Inactive(TProcMess& mess);
    void WaitingHandler(TProcMess& mess);
    // sender: the number of the operation whose frame the message carries (0: none).
    void RunOperation(std::span<const std::uint8_t> data, std::uint8_t sender);
    bool sendvokdata();
    void ReceiveRxD(const TProcMess& mess);
    void ReceiveCommState(std::span<const std::uint8_t> data);
    void OnTimeOutMess();
    void ReleaseSaved();
    void RunStop();
    void StartNextRequest();
    void KeepAlive();

    // Answers (one handler per operation family).
    void WorkBoardAnswer(std::span<const std::uint8_t> frame);
    void MemoryData(std::span<const std::uint8_t> frame);
    // Takes a MemD as memory data; true at the MemE that ends the data; another type is unexpected
    // (with the state's own text when it has one).
    bool DataEnded(std::span<const std::uint8_t> frame, std::string_view unexpectedText = {});
    bool DataStillDue() const;
    // The board address of the running read's first buffer byte.
    std::uint32_t BufferBase() const;
    // Whether every byte the last _Mem sent asked for has come.
    bool PieceComplete() const;
    // At the MemE of an identification read: whether all it asked for has come. When not (the MemE
    // came early), the time-out that reads it again is armed.
    bool IdentificationComplete();
    // A frame that cannot answer the frame awaited: a late answer to an earlier one.
    bool IsLateAnswer(std::span<const std::uint8_t> frame) const;
    // An operation under way always has a time-out armed: a wait whose frame or answer got lost
    // still ends.
    void EnsureWaitBounded();
    void AnswerRqst(std::span<const std::uint8_t> frame);
    void RunCmdLineSteps();
    void AnswerWrite(std::span<const std::uint8_t> frame);
    void CompleteWrite();
    void AnswerWriteCheck(std::span<const std::uint8_t> frame);
    void AnswerWriteRead(std::span<const std::uint8_t> frame);
    void AnswerMemView(std::span<const std::uint8_t> frame);
    void AnswerSetup(std::span<const std::uint8_t> frame);
    void AnswerId386(std::span<const std::uint8_t> frame);
    void AnswerBiosId(std::span<const std::uint8_t> frame);
    void AnswerBiosIdString(std::span<const std::uint8_t> frame);
    void AnswerFlashType(std::span<const std::uint8_t> frame);
    void AnswerGo(std::span<const std::uint8_t> frame);
    void AnswerCheckSum(std::span<const std::uint8_t> frame);
    void AnswerMem(std::span<const std::uint8_t> frame);
    void AnswerIORead(std::span<const std::uint8_t> frame);
    void FinishIORead();
    void AnswerIOWrite(std::span<const std::uint8_t> frame);
    void AnswerGetRTC(std::span<const std::uint8_t> frame);
    void AnswerSetRTC(std::span<const std::uint8_t> frame);
    void AnswerDebugFrame(std::span<const std::uint8_t> frame);
    void AnswerDebugLoad(std::span<const std::uint8_t> frame);
    // The board did not answer a debug frame (how: "TimeOut" or "Error"): the operation ends.
    void DebugFrameUnanswered(std::string_view how);
    [[noreturn]] void Unexpected(std::uint8_t type);
    std::string IdentificationText(std::string_view identLabel, std::uint8_t flash, bool vok386) const;
    void FinishIdentification(const std::string& text, const std::string& caption);
    void SaveReadBlock();

    // Start procedures.
    void StartWrite();
    void WriteHeadStep();
    void WriteTailStep();
    void WriteLoadStep();
    void StartRead();
    void StartPage();
    void StartBiosId();
    void StartBiosIdString();
    void StartFlashType();
    void StartIORead();
    void StartIOWrite();
    void StartGetRTC();
    void StartSetRTC();
    void StartGo();
    void StartRun();
    void StartCheckSum();
    void StartChangeBaud();
    void StartDebugFrame();
    void StartDebugCheckSum();
    void StartDebugLoad();
    void Enqueue(tRequest request, bool atHead = false);
    void QueueJump(std::uint8_t kind, tRequest::StartProc start, TSegOfsPtr address);

    // Time-outs and failures.
    void InsertTimeOutMess(std::uint32_t ms);
    void RemoveActiveTimeOutMess();
    void WorkTimeOut();
    void WorkCommError(std::span<const std::uint8_t> data);
    void CommErrorByOperation(std::uint16_t code);
    void InternalCommError(std::uint16_t code);
    // A failure beside a command to the communication process: the wait for its answer goes on.
    void KeepWaitingFor(std::uint16_t code);
    // The error history's text, and the box with the detail beside it when there is one.
    void ReportWithDetail(std::string_view text, const std::string& detail);
    // The port and its device, for the report of a lost link.
    std::string LinkLostDetail() const;
    // A clock operation the board does not support: kRTCErrReadFailed or kRTCErrSetFailed.
    void ClockFailed(std::uintptr_t which);
    bool RetryRead();
    void RetryOrFail(std::string_view text, bool clearQueue);
    void FailOperation(std::string_view text, bool clearQueue);
    void StopEnding();
    void LinkLost();
    void EndOperation();
    void FinishOperation();
    void ContinueLink();
    // Drops the queued requests (telling the main form of writes and starts that will not happen);
    // ClearQueues also drops the saved run messages.
    void DropQueue();
    void ClearQueues();
    void DropSavedFrames();
    // The communication process of the same collection, whose settings are those in force.
    const TRavloComm_Process* Comm() const;
    // The answer time-out of a frame, from its bytes on the line and the settings in force.
    std::uint32_t FrameTimeOut(std::span<const std::uint8_t> frame) const;
    // The time-out of a command to the communication process, from the settings in force.
    std::uint32_t CommandTimeOut() const;

    // Frames. Each run message of a frame carries the number of the operation that sent it, so
    // that no frame of an operation that has ended goes out.
    void BeginOperation();
    bool FrameOfEndedOperation(std::uint8_t operation) const;
    std::uint8_t NextTxTag();
    void PostFrame(TVokFrame frame);
    void PostRecord(const TRavloCommFrameRec& record);
    void PushFrame(TVokFrame frame);
    void SendBareFrame(std::uint8_t type);
    void SendMem(TSegOfsPtr address, std::uint16_t count);
    void SendBdRate(std::uint32_t baud);
    void PostRun(std::vector<std::uint8_t> data);
    void SendCommCmd(std::uint32_t ms, std::uint8_t code);
    void SendChnParam(std::uint32_t ms);
    void SendTxD(std::uint32_t ms);

    // Reports.
    void NotifyForms(std::uint16_t size, const void* address) const;
    void SetRavloState(std::uint8_t state);
    void SetConState(std::uint8_t state);
    void SetConnected(std::uint8_t value);
    void SetDevice(std::uint8_t value);
    void SetBiosId(std::string_view text);
    void SetEventText(std::string_view text, std::uint8_t kind);
    void SendTmpErr(std::string_view text, bool msgBox);
    void ReportError(int chn, std::string_view text, bool msgBox);
    void ShowText(std::string_view text, std::uint8_t kind);
    void Beep() const;
    void Trace(std::uint32_t bits, std::string_view text) const;
    TMaProgressView& Progress() const;
    TMaBoardViews& Views() const;
    TMaMainForm& MainForm() const;
    TMaProject& Project() const;

    TMaInterfaces interfaces_;
    std::optional<TTimeMess> activeTimeOut_;
    TSavedProcMessFIFO savedMess_{kMaSavedMessLimits};
    std::deque<tRequest> queue_;
    tRequest active_;
    // Block size of the running write (256 or 512).
    std::uint32_t writeBlock_ = 256;
    // The pending action of the link: channel parameters and the frame record to send.
    std::uint8_t pendingPort_ = 1;
    std::uint32_t pendingBaud_ = 4800;
    std::vector<std::uint8_t> pendingTxD_;
    // The last frame that awaits an answer, for re-arming its time-out.
    std::vector<std::uint8_t> lastAnsweredFrame_;
    // The number of the running operation (1..255), carried by its frames' run messages.
    std::uint8_t operation_ = 0;
    // The tag (Par1) of the last frame handed to the communication process, and of the one whose
    // answer is awaited: answers come back with it in Par2, so a late answer of an earlier frame is
    // told apart.
    std::uint8_t txTag_ = 0;
    std::uint8_t awaitedTag_ = 0;
    // Data frames of the running operation (MemD, the value of the port read) since it started or
    // its last frame awaiting an answer was sent: a MemE with none before it ends an earlier answer.
    // A port's value counts only once taken, so that an IO read ends as read only with its own.
    std::uint32_t dataSinceSend_ = 0;
    std::uint16_t stateBefore_ = 0;
};

} // namespace ravlo
