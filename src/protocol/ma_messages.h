#pragma once

#include "kernel/proc_mess.h"
#include "protocol/comm_frame_rec.h"
#include "protocol/comm_messages.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace ravlo {

// Message codes the board master process handles besides those of the communication process.
inline constexpr std::uint8_t Ravlo_MA_RUN = 0x50;      // data: a run record
inline constexpr std::uint8_t Ravlo_MA_USER_CMD = 0x51; // name only
inline constexpr std::uint8_t wcmd_Result = 3;
inline constexpr std::uint8_t wcmd_TimeOut = 5; // one data byte 0: the process's own answer time-out

// Operations of a run record (its first byte).
inline constexpr std::uint8_t ravlo_ma_run_Act = 2;
inline constexpr std::uint8_t ravlo_ma_run_SetChnParam = 3;
inline constexpr std::uint8_t ravlo_ma_run_CrOpCo = 4;
inline constexpr std::uint8_t ravlo_ma_run_DiClDe = 5;
inline constexpr std::uint8_t ravlo_ma_run_TxD = 6;

// Window messages posted to the window that asked for an IO or clock operation.
inline constexpr std::uint32_t wm_IORdDone = 0x414; // wParam the value, lParam the width (1 or 2)
inline constexpr std::uint32_t wm_IOWrDone = 0x415;
inline constexpr std::uint32_t wm_RTCRdOk = 0x41E;
inline constexpr std::uint32_t wm_RTCWrOk = 0x41F;
inline constexpr std::uint32_t wm_RTCErr = 0x420;      // wParam the board's error value, or one of:
inline constexpr std::uintptr_t kRTCErrReadFailed = 1; // the clock could not be read
inline constexpr std::uintptr_t kRTCErrSetFailed = 2;  // the clock could not be set

// The run record (data of Ravlo_MA_RUN), built zero-filled:
//   0 u8 operation; SetChnParam: 1 u8 COM port, 2 u32 baud; TxD: 1 a communication record.
// Its length from its first byte: 6 for SetChnParam, 1 + the communication record for TxD, 1
// otherwise. For a TxD record too short to name its frame length, the length it would need to.
std::size_t Ravlo_MA_RunLen(std::span<const std::uint8_t> data);

std::vector<std::uint8_t> RunRecOperation(std::uint8_t operation);
std::vector<std::uint8_t> RunRecChnParam(std::uint8_t port, std::uint32_t baud);
std::vector<std::uint8_t> RunRecTxD(const TRavloCommFrameRec& record);

// The text of a master-process message code: "Ravlo_MA_RUN", "RAVLOCOMM_MA_TxD:", "TimeOut", ...;
// other codes as two hex digits.
std::string MaCodeText(std::uint8_t code);

// A message as the master process traces it: its codes by name and the frame it carries by name.
class TRavlo_MA_ProcMess : public TProcMess {
public:
    using TProcMess::TProcMess;
    static TRavlo_MA_ProcMess CopyOf(const TProcMess& mess) {
        return TRavlo_MA_ProcMess(TMem::CreateCopy(mess));
    }

    std::string CodeStr() const override;
    std::string DataStr() const override;
};

} // namespace ravlo
