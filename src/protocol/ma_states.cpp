#include "protocol/ma_states.h"

#include "framework/number_text.h"

#include <array>

namespace ravlo {
namespace {

constexpr std::array<const char*, kLastConState + 1> kConStateNames = {"_idle",
                                                                       "_WaitForEmpt",
                                                                       "_WaitForPing",
                                                                       "_WaitForLd",
                                                                       "_WaitForLdBeg256",
                                                                       "_WaitForLdEnd256",
                                                                       "_WaitForLdBeg512",
                                                                       "_WaitForLdEnd512",
                                                                       "_WaitForMemView",
                                                                       "_WaitForCfg188",
                                                                       "_WaitForCfg386",
                                                                       "_WaitForId386",
                                                                       "_WaitForBiosId",
                                                                       "_WaitForBiosIdString",
                                                                       "_WaitForBiosIdFlashType",
                                                                       "_WaitForGo",
                                                                       "_WaitForRun",
                                                                       "_WaitForCheckSum",
                                                                       "_WaitForMem",
                                                                       "_WaitForIORead",
                                                                       "_WaitForIOWrite",
                                                                       "_WaitForGetRTC",
                                                                       "_WaitForSetRTC",
                                                                       "_WaitForDbgAnswer",
                                                                       "_WaitForDbgLoad"};

constexpr std::array<const char*, ravlost_Deb + 1> kLinkStateNames = {
    "Inactive ",    "ErrRec   ",    "IA_SetChnPar", "IA_WaFSetChn", "CrOpCo   ", "WaFCrOpCo", "Connected",
    "CO_SetChnPar", "CO_WaFSetChn", "SendMSG  ",    "WaFMsgRxD",    "DiClDe   ", "WaFDiClDe", "Deb"};

} // namespace

std::string ConStateText(std::uint8_t state) {
    if (state < kConStateNames.size()) {
        return kConStateNames[state];
    }
    return "qq_$" + HexB(state);
}

std::string RavloStateText(std::uint8_t state) {
    if (state < kLinkStateNames.size()) {
        return kLinkStateNames[state];
    }
    return "ravlost_$" + HexB(state);
}

std::string ProcStateText(std::uint16_t state) {
    switch (state) {
    case ma_st_Dc:
        return "Dc";
    case ma_st_Ia:
        return "Ia";
    case ma_st_Wr:
        return "Wr";
    default:
        return "st_$" + HexB(static_cast<std::uint8_t>(state));
    }
}

bool LinkActionPending(std::uint8_t linkState) {
    switch (linkState) {
    case ravlost_ErrRec:
    case ravlost_IA_SetChnPar:
    case ravlost_CrOpCo:
    case ravlost_CO_SetChnPar:
    case ravlost_SendMSG:
    case ravlost_DiClDe:
        return true;
    default:
        return false;
    }
}

bool IsReadState(std::uint8_t conState) {
    switch (conState) {
    case cs_WaitForLdBeg256:
    case cs_WaitForLdEnd256:
    case cs_WaitForLdBeg512:
    case cs_WaitForLdEnd512:
    case cs_WaitForMemView:
    case cs_WaitForCfg188:
    case cs_WaitForCfg386:
    case cs_WaitForId386:
    case cs_WaitForBiosId:
    case cs_WaitForBiosIdString:
    case cs_WaitForMem:
        return true;
    default:
        return false;
    }
}

bool IsWriteReadState(std::uint8_t conState) {
    return conState >= cs_WaitForLdBeg256 && conState <= cs_WaitForLdEnd512;
}

} // namespace ravlo
