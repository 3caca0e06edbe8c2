#pragma once

#include "framework/board_address.h"
#include "protocol/frame_builders.h"
#include "protocol/vok_frame.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace ravlo {

// Readers of the frames the board answers with. Every reader takes the whole received frame and
// checks its length against the layout of its type before reading a field: lengths and counts the
// board sends are never trusted.

// The board kind a Rqst answer names.
enum DEV_VokType : std::uint8_t {
    DEV_Unknown = 0,
    DEV_VokV40 = 1,
    DEV_Vok386 = 2,
    DEV_Vok188 = 3,
};

// "VokV40", "Vok386" or "Vok188"; empty for a value that names no board.
std::string_view DeviceName(std::uint8_t device);

// A frame without fields (MemE, CheckOk, CheckErr, Empt*): exactly 3 bytes of the type.
TFrameFault CheckBareAnswer(std::span<const std::uint8_t> frame, std::uint8_t type);

// MemD: address u32 at 3, count u16 at 7, then exactly count bytes. Data views the frame's bytes.
struct TMemDAnswer {
    TSegOfsPtr Address;
    std::span<const std::uint8_t> Data;
};
TFrameParse<TMemDAnswer> ParseMemD(std::span<const std::uint8_t> frame);

// The answer to Rqst: EmptV40, Empt386 and Empt188 name their board; any other type (EmptHAL
// included) names no board the host knows, DEV_Unknown. A known answer must be a bare frame.
TFrameParse<DEV_VokType> ParseRqstAnswer(std::span<const std::uint8_t> frame);

// The answer to Chcksum: true for CheckOk (the module is intact), false for CheckErr.
TFrameParse<bool> ParseCheckAnswer(std::span<const std::uint8_t> frame);

// cIORd (8 bytes: port u16 at 3, width at 5, value u8 at 7) or cIORdW (9 bytes: value u16 at 7).
// Width follows from the type: 1 or 2.
struct TIOReadAnswer {
    std::uint16_t Port = 0;
    std::uint8_t Width = 0;
    std::uint16_t Value = 0;
};
TFrameParse<TIOReadAnswer> ParseIORead(std::span<const std::uint8_t> frame);

// Err: the error value u16 at 3; 5 bytes.
TFrameParse<std::uint16_t> ParseErr(std::span<const std::uint8_t> frame);

// The answer to GetRTC, a SetRTC frame in packed BCD: year u16 at 3, month, day, hour, minute,
// second at 5..9, the lowest and the highest year the BIOS takes (u16 each) at 10 and 12. The frame
// may carry more than these 14 bytes; the rest is not read. Raw keeps the 14 bytes as received (the
// caller's clock buffer); a nibble above 9 refuses the frame.
inline constexpr std::size_t kClockAnswerLen = 14;
struct TVokClockAnswer {
    std::array<std::uint8_t, kClockAnswerLen> Raw{};
    TVokClockRec Time;
    std::uint16_t MinYear = 0;
    std::uint16_t MaxYear = 0;
};
TFrameParse<TVokClockAnswer> ParseClockAnswer(std::span<const std::uint8_t> frame);

// The BIOS identification gathered from MemD data: a zero-terminated text; for a Vok386 (GetID)
// the flash code is the byte after the terminating zero.
TFrameParse<std::string> ParseBiosIdText(std::span<const std::uint8_t> data);
struct TBiosIdData {
    std::string Text;
    std::uint8_t FlashCode = 0;
};
TFrameParse<TBiosIdData> ParseBiosId386(std::span<const std::uint8_t> data);

// Whether a frame of type answer can answer a request of type request. A frame that cannot is a late
// answer to an earlier request (or one the board sent unasked). Rqst takes every type but the
// answers of the other requests: an unknown type there names a board the host does not know.
bool AnswersRequest(std::uint8_t request, std::uint8_t answer);

// "ATMEL 29C010" .. "ATMEL 29C040A" for the known codes, else "Eprom xxx" on a Vok386 and
// "Eprom ???" on other boards.
std::string FlashTypeText(std::uint8_t code, bool vok386);

} // namespace ravlo
