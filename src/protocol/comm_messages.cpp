#include "protocol/comm_messages.h"

#include "framework/le_bytes.h"

namespace ravlo {

std::array<std::uint8_t, TRavloChnParamRec::kSize> TRavloChnParamRec::Encode() const {
    std::array<std::uint8_t, kSize> out{};
    PutLE(std::span(out), 0, Port);
    PutLE(std::span(out), 1, Baud);
    return out;
}

std::optional<TRavloChnParamRec> TRavloChnParamRec::Decode(std::span<const std::uint8_t> data) {
    if (data.size() < kSize) {
        return std::nullopt;
    }
    return TRavloChnParamRec{GetLE<std::uint8_t>(data, 0), GetLE<std::uint32_t>(data, 1)};
}

std::array<std::uint8_t, TRavloCommStateRec::kSize> TRavloCommStateRec::Encode() const {
    std::array<std::uint8_t, kSize> out{};
    PutLE(std::span(out), 0, Code);
    PutLE(std::span(out), 2, Port);
    PutLE(std::span(out), 3, Baud);
    return out;
}

std::optional<TRavloCommStateRec> TRavloCommStateRec::Decode(std::span<const std::uint8_t> data) {
    if (data.size() < kSize) {
        return std::nullopt;
    }
    return TRavloCommStateRec{GetLE<std::uint16_t>(data, 0), GetLE<std::uint8_t>(data, 2),
                              GetLE<std::uint32_t>(data, 3)};
}

} // namespace ravlo
