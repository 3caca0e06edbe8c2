#include "protocol/comm_stat.h"

#include "framework/le_bytes.h"
#include "framework/number_text.h"

namespace ravlo {

std::string TChnStat::ToStr() const {
    return "[OK" + std::to_string(OK) + ",S" + std::to_string(S) + ",R" + std::to_string(R) + ",r" +
           std::to_string(r) + ",e" + std::to_string(e) + ",L$" + HexW(LastErr) + "]";
}

std::array<std::uint8_t, TChnStat::kSize> TChnStat::Encode() const {
    std::array<std::uint8_t, kSize> out{};
    const std::span<std::uint8_t> bytes(out);
    PutLE(bytes, 0, Rep);
    PutLE(bytes, 1, OK);
    PutLE(bytes, 5, S);
    PutLE(bytes, 9, R);
    PutLE(bytes, 13, r);
    PutLE(bytes, 17, e);
    PutLE(bytes, 21, LastErr);
    return out;
}

std::optional<TChnStat> TChnStat::Decode(std::span<const std::uint8_t> data) {
    if (data.size() < kSize) {
        return std::nullopt;
    }
    TChnStat stat;
    stat.Rep = GetLE<std::uint8_t>(data, 0);
    stat.OK = GetLE<std::int32_t>(data, 1);
    stat.S = GetLE<std::int32_t>(data, 5);
    stat.R = GetLE<std::int32_t>(data, 9);
    stat.r = GetLE<std::int32_t>(data, 13);
    stat.e = GetLE<std::int32_t>(data, 17);
    stat.LastErr = GetLE<std::uint16_t>(data, 21);
    return stat;
}

} // namespace ravlo
