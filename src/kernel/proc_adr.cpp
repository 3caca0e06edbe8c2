#include "kernel/proc_adr.h"

#include "framework/number_parse.h"
#include "framework/number_text.h"

#include <optional>

namespace ravlo {
namespace {

// One field of the text form as a "$" number of at most `high`.
std::optional<std::uint32_t> HexField(std::string_view digits, std::uint32_t high) {
    const std::optional<std::uint32_t> value = ValDWord("$" + std::string(digits));
    if (!value || *value > high) {
        return std::nullopt;
    }
    return value;
}

} // namespace

void SetProcAdr(TProcAdr& adr, std::uint8_t ident, std::uint8_t xInst, std::uint16_t logA) {
    adr = TProcAdr{ident, xInst, logA};
}

void ClearProcAdr(TProcAdr& adr) {
    adr = TProcAdr{};
}

std::string ProcAdrStr(const TProcAdr& adr) {
    return "[" + HexByteStr(adr.Ident) + "," + HexByteStr(adr.XInst) + "," + HexWordStr(adr.LogA) + "]";
}

void StrToProcAdr(TProcAdr& adr, std::string_view text, bool& err) {
    err = false;
    if (text.size() != 12 || text[0] != '[' || text[3] != ',' || text[6] != ',' || text[11] != ']') {
        err = true;
        ClearProcAdr(adr);
        return;
    }
    const auto take = [&err](std::string_view digits, std::uint32_t high, auto& field) {
        if (const std::optional<std::uint32_t> value = HexField(digits, high)) {
            field = static_cast<std::remove_reference_t<decltype(field)>>(*value);
        } else {
            err = true;
        }
    };
    take(text.substr(1, 2), 0xFF, adr.Ident);
    take(text.substr(4, 2), 0xFF, adr.XInst);
    take(text.substr(7, 4), 0xFFFF, adr.LogA);
}

char HexNibChr(unsigned value) {
    return HexN(value);
}

std::string HexByteStr(std::uint8_t value) {
    return HexB(value);
}

std::string HexWordStr(std::uint16_t value) {
    return HexW(value);
}

TProcAdr ReadProcAdr(std::span<const std::uint8_t> bytes) {
    return TProcAdr{bytes[0], bytes[1], static_cast<std::uint16_t>(bytes[2] | (bytes[3] << 8))};
}

void WriteProcAdr(std::span<std::uint8_t> bytes, const TProcAdr& adr) {
    bytes[0] = adr.Ident;
    bytes[1] = adr.XInst;
    bytes[2] = static_cast<std::uint8_t>(adr.LogA & 0xFF);
    bytes[3] = static_cast<std::uint8_t>(adr.LogA >> 8);
}

} // namespace ravlo
