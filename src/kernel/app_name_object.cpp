#include "kernel/app_name_object.h"

#include "framework/debug_mask.h"
#include "framework/keyword_lexer.h"
#include "framework/number_text.h"
#include "framework/writer_channels.h"
#include "kernel/kernel_debug.h"

#include <optional>

namespace ravlo {
namespace {

// A number is required; one outside [low, high] leaves the setting as it is.
template <class T>
bool ReadRanged(T& setting, std::int32_t low, std::int32_t high) {
    const std::optional<std::int32_t> value = LexGetNum();
    if (!value) {
        return true;
    }
    if (*value >= low && *value <= high) {
        setting = static_cast<T>(*value);
    }
    return false;
}

// 1 means on; any other number off.
bool ReadSwitch(std::uint8_t& setting) {
    const std::optional<std::int32_t> value = LexGetNum();
    if (!value) {
        return true;
    }
    setting = *value == 1 ? 1 : 0;
    return false;
}

} // namespace

TAppSettings& AppSettings() {
    static TAppSettings settings;
    return settings;
}

void ResetAppSettings() {
    AppSettings() = TAppSettings{};
}

TAppNameObject::TAppNameObject(std::string_view name) : TNameObject(name) {
    SetDebugMask(kDefaultDebugMask);
}

TAppNameObject::~TAppNameObject() {
    WriteParamToINI();
    UPD = 0;
}

bool TAppNameObject::ParseKeyword(std::string_view keyword) {
    TAppSettings& settings = AppSettings();
    switch (LexKeyIndex(keyword, "DM |TXS|DXS|THR|SHR|TMA|SMA")) {
    case 1:
        if (const std::optional<std::int32_t> mask = LexGetNum()) {
            SetDebugMask(static_cast<std::uint32_t>(*mask));
            return false;
        }
        return true;
    case 2:
        return ReadSwitch(settings.TXS);
    case 3:
        return ReadSwitch(settings.DXS);
    case 4:
        return ReadRanged(settings.THR, 0, 7);
    case 5:
        return ReadRanged(settings.SHR, 0, 1000);
    case 6:
        return ReadRanged(settings.TMA, 0, 7);
    case 7:
        return ReadRanged(settings.SMA, 0, 1000);
    default:
        return TNameObject::ParseKeyword(keyword);
    }
}

std::string TAppNameObject::ParamsToText() const {
    const TAppSettings& settings = AppSettings();
    return TNameObject::ParamsToText() + " DM=$" + HexDW(GetDebugMask()) +
           " TXS=" + std::to_string(settings.TXS) + " DXS=" + std::to_string(settings.DXS) +
           " THR=" + std::to_string(settings.THR) + " SHR=" + std::to_string(settings.SHR) +
           " TMA=" + std::to_string(settings.TMA) + " SMA=" + std::to_string(settings.SMA);
}

std::unique_ptr<TAppNameObject> MakeAppNameObject(std::string_view name) {
    auto app = std::make_unique<TAppNameObject>(name);
    const bool failed = app->ReadInitialParams();
    if (TestDebugMask(DM_InitDone)) {
        Writelnsys(0,
                   std::string("/TAppNameObject.Create ") + (failed ? "ERROR" : "OK") + app->ParamsToText());
    }
    return app;
}

} // namespace ravlo
