#include "shell/debug_mask_rec.h"

#include "framework/debug_mask.h"
#include "framework/le_bytes.h"
#include "framework/runtime_log.h"
#include "kernel/app_name_object.h"

#include <string_view>

namespace ravlo {
namespace {

// The named bits; the others are spare.
constexpr std::array<std::string_view, TDebugDMRec::kMaskBits> kBitNames = {
    "DM_InitDone",
    "DM_ProcMess",
    "DM_DelayMess",
    "",
    "DM_MAPRMess",
    "DM_MAPR",
    "DM_MAPRStep",
    "",
    "DM_L0RStepAll",
    "DM_L0Mess",
    "DM_Modem",
    "DM_ModemSMC",
    "DM_PARAM_Debug",
    "DM_PARAM_Mess",
    "DM_PARAM_SymbMess",
    "",
    "DM_Ravlo_MA_Debug",
    "DM_Ravlo_MA_Mess",
    "DM_RAVLOCOMM_MA_Debug",
    "DM_TmpErr_Debug",
    "DM_TmpErr_Mess",
    "DM_TmpErr_SymbMess",
};

} // namespace

std::array<std::uint8_t, TDebugDMRec::kSize> TDebugDMRec::Encode() const {
    std::array<std::uint8_t, kSize> bytes{};
    PutLE(std::span<std::uint8_t>(bytes), 0, Mask);
    bytes[4] = WriteToTxs;
    return bytes;
}

TDebugDMRec TDebugDMRec::Decode(std::span<const std::uint8_t> data) {
    return {GetLE<std::uint32_t>(data, 0), data[4]};
}

TDebugDMRec CurrentDebugDMRec() {
    return {GetDebugMask(), AppSettings().TXS};
}

void ApplyDebugDMRec(const TDebugDMRec& record, TAppNameObject* app) {
    SetDebugMask(record.Mask);
    AppSettings().TXS = record.WriteToTxs == 1 ? 1 : 0;
    SetTxsOn(AppSettings().TXS == 1);
    if (app != nullptr) {
        app->WriteParamToINI();
    }
}

std::string DebugMaskBitName(std::size_t bit) {
    if (bit < kBitNames.size() && !kBitNames[bit].empty()) {
        return std::string(kBitNames[bit]);
    }
    return "DebugDM_Check_" + std::to_string(bit);
}

} // namespace ravlo
