#include "protocol/ma_timeouts.h"

#include "channels/chn_com.h"

#include <algorithm>

namespace ravlo {
namespace {

constexpr std::size_t kLinkOverhead = 10;
// A data piece of 256 bytes, as the board may send it: MemD frames with their headers, every data
// byte a doubled DLE at worst.
constexpr std::size_t kPieceWireBytes = 2 * 256 + 4 * (9 + kLinkOverhead);
constexpr std::uint32_t kMismatchMs = 100;

std::uint64_t RateOf(std::uint32_t baud) {
    return baud == 0 ? kLineDefaultBaud : baud;
}

std::uint32_t Clamp32(std::uint64_t value) {
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(value, 0xFFFFFFFFu));
}

std::uint64_t NonNegative(std::int32_t value) {
    return value < 0 ? 0 : static_cast<std::uint64_t>(value);
}

} // namespace

std::uint32_t CommandTimeOutMs(std::int32_t ret, const TCommChannelTimes& comm) {
    const std::uint64_t reopen = NonNegative(comm.Disconnect) + NonNegative(comm.Close) + kComCloseWaitMaxMs +
                                 NonNegative(comm.Open) + NonNegative(comm.Connect) + 4 * kStepSlackMs +
                                 kRoundTripSlackMs;
    return Clamp32(std::max(NonNegative(ret), reopen));
}

std::uint32_t CommRetryBudgetMs(std::uint32_t baud, std::size_t wireBytes, const TCommRetryParams& comm) {
    const std::uint64_t tries = static_cast<std::uint64_t>(comm.Rep) + 1;
    const std::uint64_t answerWait = NonNegative(comm.Rtf) * 1000 / RateOf(baud) + 1;
    const std::uint64_t perTry = LineTimeMs(wireBytes, baud) + answerWait + kStepSlackMs;
    return Clamp32(answerWait + tries * perTry + comm.Rep * NonNegative(comm.Ew) + kRoundTripSlackMs);
}

std::uint32_t FrameTimeOutMs(std::int32_t ret, std::uint32_t baud, std::size_t wireBytes,
                             const TCommRetryParams& comm) {
    const std::uint64_t own = NonNegative(ret) * 2000 / RateOf(baud) + 1000;
    return std::max(Clamp32(own), CommRetryBudgetMs(baud, wireBytes, comm));
}

std::uint32_t DataTimeOutMs(std::int32_t ret, std::uint32_t baud) {
    const std::uint64_t own = NonNegative(ret) * 1000 / RateOf(baud) + 10;
    const std::uint32_t piece = LineTimeMs(kPieceWireBytes, baud) + kDataSlackMs;
    return std::max(Clamp32(own), piece);
}

std::uint32_t EarlyEndTimeOutMs(std::int32_t ret, std::uint32_t baud) {
    return DataTimeOutMs(ret, baud);
}

std::uint32_t MismatchTimeOutMs(std::int32_t ret, std::uint32_t baud) {
    return std::max(kMismatchMs, DataTimeOutMs(ret, baud));
}

} // namespace ravlo
