#include "framework/board_address.h"

#include "framework/number_parse.h"
#include "framework/number_text.h"
#include "platform/exception.h"

#include <optional>

namespace ravlo {
namespace {

// Blanks and control characters off both ends.
std::string_view Trim(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') {
        text.remove_suffix(1);
    }
    return text;
}

// A trimmed part read as hex ("" is 0), when it is at most max.
std::optional<std::uint32_t> HexPart(std::string_view text, std::uint32_t max) {
    text = Trim(text);
    std::string hex = text.empty() ? "$0" : std::string(text);
    if (hex.front() != '$') {
        hex.insert(0, 1, '$');
    }
    const auto value = ValDWord(hex);
    if (!value || *value > max) {
        return std::nullopt;
    }
    return value;
}

} // namespace

TSegOfsPtr LinToFarPtrChk(std::uint32_t lin) {
    if (lin > kBoardAddressMax) {
        throw ERangeError("Range check error: linear address $" + HexDW(lin) + " is beyond $FFFFF");
    }
    return LinToFarPtr(lin);
}

TSegOfsPtr StrToFarPtr(std::string_view text, bool& err) {
    err = false;
    if (text.empty()) {
        return {};
    }
    const std::size_t colon = text.find(':');
    if (colon != std::string_view::npos) {
        const auto segment = HexPart(text.substr(0, colon), 0xFFFF);
        const auto offset = segment ? HexPart(text.substr(colon + 1), 0xFFFF) : std::nullopt;
        if (!offset) {
            err = true;
            return {};
        }
        return MakeFarPtr(static_cast<std::uint16_t>(*offset), static_cast<std::uint16_t>(*segment));
    }
    const auto linear = HexPart(text, kBoardAddressMax);
    if (!linear) {
        err = true;
        return {};
    }
    return LinToFarPtr(*linear);
}

std::string FarPtrToStr(TSegOfsPtr p) {
    return "$" + HexW(p.Seg) + ":" + HexW(p.Ofs);
}

std::string LinToStr(std::uint32_t lin) {
    return "$" + HexDW(lin).substr(3);
}

bool PassesAddressSpaceEnd(TSegOfsPtr address, std::size_t length) {
    const std::uint32_t lin = FarPtrToLin(address);
    return lin > kBoardAddressMax || length - 1 > kBoardAddressMax - lin;
}

std::uint32_t HexStrToDWord(std::string_view text, bool& err) {
    const auto value = HexPart(text, 0xFFFFFFFFu);
    err = !value;
    return value.value_or(0);
}

} // namespace ravlo
