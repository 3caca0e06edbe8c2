#include "channels/chn_res_code.h"

#include "framework/number_text.h"

#include <array>
#include <string_view>

namespace ravlo {

std::string ChnKindText(TChnResKind kind) {
    switch (kind) {
    case TChnResKind::T_Ok:
        return "T_Ok";
    case TChnResKind::ChState:
        return "ChState";
    case TChnResKind::OpOpen:
        return "OpOpen";
    case TChnResKind::OpConnect:
        return "OpConnect";
    case TChnResKind::OpDisConnect:
        return "OpDisConnect";
    case TChnResKind::OpClose:
        return "OpClose";
    case TChnResKind::Rec:
        return "Rec";
    case TChnResKind::Tra:
        return "Tra";
    case TChnResKind::Spec:
        return "Spec";
    case TChnResKind::Err:
        return "Err";
    }
    return "T$" + HexB(static_cast<std::uint8_t>(kind));
}

std::string ChnStateDetailText(std::uint8_t detail) {
    static constexpr std::array<std::string_view, 13> kTexts = {
        "NoClose",    "NoOpen", "NoConnect",   "NoReceiveReady", "NoSendReady",    "Open",    "Connect",
        "DisConnect", "Close",  "IllegalUnit", "NoNextChannel",  "ChannelNoExist", "ParamStr"};
    if (detail >= 1 && detail <= kTexts.size()) {
        return std::string(kTexts[detail - 1]);
    }
    return DetailHexText(detail);
}

std::string DetailHexText(std::uint8_t detail) {
    return "C$" + HexB(detail);
}

} // namespace ravlo
