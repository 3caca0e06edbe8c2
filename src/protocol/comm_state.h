#pragma once

#include "channels/chn_res_code.h"

#include <cstdint>
#include <string>

namespace ravlo {

class TChnVirt;

// States of the communication process (its state word).
inline constexpr std::uint16_t MAS_0 = 0;              // no channels; waiting for messages
inline constexpr std::uint16_t MAS_Closed = 16;        // channels made, port closed
inline constexpr std::uint16_t MAS_Open = 17;          // opening
inline constexpr std::uint16_t MAS_OpenRdy = 18;       // waiting until the link reports CHS_Open
inline constexpr std::uint16_t MAS_Opened = 19;        // open
inline constexpr std::uint16_t MAS_Connect = 20;       // connecting
inline constexpr std::uint16_t MAS_ConnectRdy = 21;    // waiting until the link reports CHS_Connect
inline constexpr std::uint16_t MAS_Connected = 22;     // idle and connected
inline constexpr std::uint16_t MAS_DisConnect = 23;    // disconnecting
inline constexpr std::uint16_t MAS_DisConnectRdy = 24; // waiting until the link reports CHS_Open
inline constexpr std::uint16_t MAS_Close = 25;         // closing
inline constexpr std::uint16_t MAS_CloseRdy = 26;      // waiting until the link reports CHS_Close
inline constexpr std::uint16_t MAS_Begin = 32;         // looking for a received frame or a message
inline constexpr std::uint16_t MAS_SendBeg = 33;       // taking the next message
inline constexpr std::uint16_t MAS_SendRep = 34;       // (re)sending the current frame
inline constexpr std::uint16_t MAS_Send = 35;          // waiting until the frame has left
inline constexpr std::uint16_t MAS_Rec = 49;           // waiting for the answer
inline constexpr std::uint16_t MAS_RecEnd = 50;        // passing a received frame up
inline constexpr std::uint16_t MAS_ErrWait = 81;       // waiting EW ms after an error
inline constexpr std::uint16_t MAS_Done = 82;          // finished; the process may close

// "{MAS_0}", "{Closed}", ...; any other value "{$" + 4 hex digits + "}".
std::string CommStateText(std::uint16_t state);

// Error codes of RAVLOCOMM_MA_Error.
inline constexpr std::uint16_t CommErr_ComSetParam = 1;
inline constexpr std::uint16_t CommErr_PrtSetParam = 2;
inline constexpr std::uint16_t CommErr_Open = 3;
inline constexpr std::uint16_t CommErr_OpenTimeout = 4;
inline constexpr std::uint16_t CommErr_Connect = 5;
inline constexpr std::uint16_t CommErr_ConnectTimeout = 6;
inline constexpr std::uint16_t CommErr_DisConnect = 7;
inline constexpr std::uint16_t CommErr_DisConnectTimeout = 8;
inline constexpr std::uint16_t CommErr_Close = 9;
inline constexpr std::uint16_t CommErr_CloseTimeout = 10;
inline constexpr std::uint16_t CommErr_NoAnswer = 20;

// "ChnCom.SetParam failed", ... "Repeated no answer"; any other code "Unknown err: $" + 4 hex digits.
std::string ChnErrText(std::uint16_t code);

// The process's own result codes (kind 1): no answer in time, frame not sent in time.
inline constexpr std::uint16_t kCommResRecTimeout = 0x101;
inline constexpr std::uint16_t kCommResSendTimeout = 0x102;

// The text of a result word for the error lines, at most 80 characters: ":MA\res_OK" for 0; a
// channel code, while the link exists, ":MA:->" + link name + ":" + its ResText; the process's own
// time-outs ":MA\TimeOut\RecRdy" and ":MA\TimeOut\SendRdy"; anything else by kind and detail.
std::string CommResultText(std::uint16_t result, const TChnVirt* link);

} // namespace ravlo
