#pragma once

#include <cstdint>
#include <string>

namespace ravlo {

// The board operation in progress and the answer it waits for. The names carry the cs_ prefix
// (their texts begin with "_", which the language reserves before a capital).
enum tConState : std::uint8_t {
    cs_idle = 0,
    cs_WaitForEmpt = 1,
    cs_WaitForPing = 2,
    cs_WaitForLd = 3,
    cs_WaitForLdBeg256 = 4,
    cs_WaitForLdEnd256 = 5,
    cs_WaitForLdBeg512 = 6,
    cs_WaitForLdEnd512 = 7,
    cs_WaitForMemView = 8,
    cs_WaitForCfg188 = 9,
    cs_WaitForCfg386 = 10,
    cs_WaitForId386 = 11,
    cs_WaitForBiosId = 12,
    cs_WaitForBiosIdString = 13,
    cs_WaitForBiosIdFlashType = 14,
    cs_WaitForGo = 15,
    cs_WaitForRun = 16,
    cs_WaitForCheckSum = 17,
    cs_WaitForMem = 18,
    cs_WaitForIORead = 19,
    cs_WaitForIOWrite = 20,
    cs_WaitForGetRTC = 21,
    cs_WaitForSetRTC = 22,
    // The program's debug frames: the first answer to a frame without fields, and the
    // acknowledgement of a single Load.
    cs_WaitForDbgAnswer = 23,
    cs_WaitForDbgLoad = 24,
};
inline constexpr std::uint8_t kLastConState = cs_WaitForDbgLoad;

// How far the link to the communication process and the board is set up.
enum : std::uint8_t {
    ravlost_Inactive = 0,
    ravlost_ErrRec = 1,
    ravlost_IA_SetChnPar = 2,
    ravlost_IA_WaFSetChn = 3,
    ravlost_CrOpCo = 4,
    ravlost_WaFCrOpCo = 5,
    ravlost_Connected = 6,
    ravlost_CO_SetChnPar = 7,
    ravlost_CO_WaFSetChn = 8,
    ravlost_SendMSG = 9,
    ravlost_WaFMsgRxD = 10,
    ravlost_DiClDe = 11,
    ravlost_WaFDiClDe = 12,
    ravlost_Deb = 13,
};

// The process state word: 0 disconnected, 1 ready (run operations are executed), 2 a request to
// the communication process is outstanding (run operations are saved).
inline constexpr std::uint16_t ma_st_Dc = 0;
inline constexpr std::uint16_t ma_st_Ia = 1;
inline constexpr std::uint16_t ma_st_Wr = 2;

// Values of Connected.
inline constexpr std::uint8_t kNotConnected = 0;
inline constexpr std::uint8_t kChangingBaud = 1;
inline constexpr std::uint8_t kBoardConnected = 2;

// "_idle", "_WaitForEmpt", ...; another value "qq_$" and two hex digits.
std::string ConStateText(std::uint8_t state);
// "Inactive ", "ErrRec   ", ... padded as the status view shows them; another value "ravlost_$" + hex.
std::string RavloStateText(std::uint8_t state);
// "Dc", "Ia", "Wr"; another value "st_$" + two hex digits.
std::string ProcStateText(std::uint16_t state);

// The states in which an action of the link is pending (sendvokdata has work to do).
bool LinkActionPending(std::uint8_t linkState);
// A read that fills the request's buffer from MemD frames.
bool IsReadState(std::uint8_t conState);
// The head and tail reads of an unaligned write.
bool IsWriteReadState(std::uint8_t conState);

} // namespace ravlo
