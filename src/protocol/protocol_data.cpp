#include "protocol/protocol_data.h"

#include "protocol/comm_frame_rec.h"

namespace ravlo {
namespace {

constexpr std::size_t kLengthAt = 2;
constexpr std::size_t kFrameAt = TRavloCommFrameRec::kHeaderLen;

} // namespace

std::uint16_t TProtocolData::Length() const {
    const auto block = GetSpan();
    if (block.size() <= kFrameAt) {
        return 0;
    }
    return FrameU16(block, kLengthAt);
}

std::span<const std::uint8_t> TProtocolData::FrameData() const {
    const auto block = GetSpan();
    if (block.size() < kFrameAt || Length() > block.size() - kFrameAt) {
        return {};
    }
    return block.subspan(kFrameAt, Length());
}

bool TProtocolData::SetFrameData(std::span<const std::uint8_t> bytes) {
    if (GetSize() < kFrameAt || bytes.size() > GetSize() - kFrameAt) {
        return false;
    }
    const auto n = static_cast<std::uint16_t>(bytes.size());
    const std::uint8_t length[] = {static_cast<std::uint8_t>(n & 0xFFu), static_cast<std::uint8_t>(n >> 8)};
    PutData(length, kLengthAt);
    PutData(bytes, kFrameAt);
    return true;
}

void TProtocolData::SetFrameSize(std::size_t n) {
    static_cast<TMem&>(*this) = TMem::CreateSize(Ravlo_MA_TxDLen(n));
}

} // namespace ravlo
