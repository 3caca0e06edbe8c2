#pragma once

#include "channels/line_time.h"

#include <cstddef>
#include <cstdint>

namespace ravlo {

// Answer time-outs of the board master process. They follow the baud rate of the open port; a
// closed port (rate 0) counts as 4800 baud, the line's default.

// The communication process's own repetition settings (its RTF, REP and EW keys), which bound how
// long it may take before it gives an exchange up.
struct TCommRetryParams {
    std::int32_t Rtf = 4800;
    std::uint8_t Rep = 2;
    std::int32_t Ew = 20;
};

// What one scheduler step may add to a wait that the communication process notices at step
// resolution (the slowest drive steps every 55 ms), and a margin for the message round trips.
inline constexpr std::uint32_t kStepSlackMs = 2 * 55;
inline constexpr std::uint32_t kRoundTripSlackMs = 100;
// How much later a busy host may hand on the rest of a piece whose first data it has had: a wait
// that ended on such a pause would ask for the piece again while its answer is still coming.
inline constexpr std::uint32_t kDataSlackMs = 400;

// The communication process's time-outs of the channel operations (its TOP, TIC, TID and TCL keys).
struct TCommChannelTimes {
    std::int32_t Open = 1000;
    std::int32_t Connect = 1000;
    std::int32_t Disconnect = 1000;
    std::int32_t Close = 1000;
};

// Commands to the communication process (open, close, channel parameters): RET, but never shorter
// than what the longest of them, a reopen, may take there: a disconnect, a close that lets queued
// output leave first, an open and a connect, each noticed at step resolution. A time-out that
// fired while the port was still being changed would leave the two processes disagreeing on it.
std::uint32_t CommandTimeOutMs(std::int32_t ret, const TCommChannelTimes& comm);

// The longest the communication process may take before it reports an exchange as failed, for a
// frame whose link frame takes wireBytes on the line (stuffing included): every try puts the frame
// on the line and then waits RTF * 1000 / baud for the answer, with EW between tries and step slack
// on each; before the first try it may hold the frame back for one such wait after a repeated one.
std::uint32_t CommRetryBudgetMs(std::uint32_t baud, std::size_t wireBytes, const TCommRetryParams& comm);

// A frame that awaits an answer: RET * 2000 div baud + 1000, but never shorter than the
// communication process's retry budget, so that a board that does not answer is reported by the
// communication process (which knows it repeated the frame) and not by a time-out of its own.
std::uint32_t FrameTimeOutMs(std::int32_t ret, std::uint32_t baud, std::size_t wireBytes,
                             const TCommRetryParams& comm);

// After an accepted MemD, while more data may follow: RET * 1000 div baud + 10, but never shorter
// than the line time of a full 256-byte data piece in its frames plus the data slack.
std::uint32_t DataTimeOutMs(std::int32_t ret, std::uint32_t baud);

// After a MemD whose address does not match during a block read or a write's head or tail read:
// 100 ms, or the data time-out when that is longer (the pieces still under way drain first).
std::uint32_t MismatchTimeOutMs(std::int32_t ret, std::uint32_t baud);

// After a MemE that arrived before all data of the piece: the data time-out. The MemE may end a
// late answer to an earlier request for the same piece (its repeat went out meanwhile), whose own
// answer is then still on its way; asking again at once would only add another late answer.
std::uint32_t EarlyEndTimeOutMs(std::int32_t ret, std::uint32_t baud);

} // namespace ravlo
