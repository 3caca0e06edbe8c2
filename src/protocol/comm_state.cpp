#include "protocol/comm_state.h"

#include "channels/chn_virt.h"
#include "framework/number_text.h"

#include <array>
#include <string_view>

namespace ravlo {
namespace {

constexpr std::size_t kResultTextMax = 80;

struct StateName {
    std::uint16_t State;
    std::string_view Text;
};

constexpr std::array<StateName, 20> kStateNames = {{{MAS_0, "{MAS_0}"},
                                                    {MAS_Closed, "{Closed}"},
                                                    {MAS_Open, "{Open}"},
                                                    {MAS_OpenRdy, "{OpenRdy}"},
                                                    {MAS_Opened, "{Opened}"},
                                                    {MAS_Connect, "{Connect}"},
                                                    {MAS_ConnectRdy, "{ConnectRdy}"},
                                                    {MAS_Connected, "{Connected}"},
                                                    {MAS_DisConnect, "{DisConnect}"},
                                                    {MAS_DisConnectRdy, "{DisConnectRdy}"},
                                                    {MAS_Close, "{Close}"},
                                                    {MAS_CloseRdy, "{CloseRdy}"},
                                                    {MAS_Begin, "{Begin}"},
                                                    {MAS_SendBeg, "{SendBeg}"},
                                                    {MAS_SendRep, "{SendRep}"},
                                                    {MAS_Send, "{Send}"},
                                                    {MAS_Rec, "{Rec}"},
                                                    {MAS_RecEnd, "{RecEnd}"},
                                                    {MAS_ErrWait, "{Wait}"},
                                                    {MAS_Done, "{Done}"}}};

constexpr std::array<std::string_view, 10> kLinkErrTexts = {
    "ChnCom.SetParam failed",     "ChnPrt.SetParam failed",        "ChnPrt.ChOpen failed",
    "ChnPrt.ChOpen - timeout",    "ChnPrt.ChConnect failed",       "ChnPrt.ChConnect - timeout",
    "ChnPrt.ChDisconnect failed", "ChnPrt.ChDisconnect - timeout", "ChnPrt.ChClose failed",
    "ChnPrt.ChClose - timeout"};

std::string OwnResultText(std::uint16_t result) {
    const std::uint8_t detail = ResDetail(result);
    if (ResTypeBits(result) == 0 && ResKind(result) == TChnResKind::ChState) {
        switch (result) {
        case kCommResRecTimeout:
            return ":MA\\TimeOut\\RecRdy";
        case kCommResSendTimeout:
            return ":MA\\TimeOut\\SendRdy";
        default:
            return ":MA\\TimeOut\\C$" + HexB(detail);
        }
    }
    return ":MA\\T$" + std::string(1, HexN(static_cast<unsigned>(ResKind(result)))) + "\\C$" + HexB(detail);
}

} // namespace

std::string CommStateText(std::uint16_t state) {
    for (const StateName& name : kStateNames) {
        if (name.State == state) {
            return std::string(name.Text);
        }
    }
    return "{$" + HexW(state) + "}";
}

std::string ChnErrText(std::uint16_t code) {
    if (code >= 1 && code <= kLinkErrTexts.size()) {
        return std::string(kLinkErrTexts[code - 1]);
    }
    if (code == CommErr_NoAnswer) {
        return "Repeated no answer";
    }
    return "Unknown err: $" + HexW(code);
}

std::string CommResultText(std::uint16_t result, const TChnVirt* link) {
    std::string text;
    if (result == 0) {
        text = ":MA\\res_OK";
    } else if (ResTypeBits(result) != 0 && link != nullptr) {
        text = ":MA:->" + link->Name + ":" + link->ResText(result);
    } else {
        text = OwnResultText(result);
    }
    if (text.size() > kResultTextMax) {
        text.resize(kResultTextMax);
    }
    return text;
}

} // namespace ravlo
