#pragma once

#include "framework/name_object.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace ravlo {

// The program-wide settings of the "APP" entry (the debug mask lives in framework/debug_mask.h).
struct TAppSettings {
    std::uint8_t TXS = 1;  // 1: keep this run's runtime log; anything else: delete it at start
    std::uint8_t DXS = 0;  // 1: delete the archived runtime logs at start
    std::uint8_t THR = 5;  // scheduler drive, 0..7 (scheduler_drive.h)
    std::uint16_t SHR = 0; // worker-thread sleep in ms, 0..1000 (0 acts as 1)
    std::uint8_t TMA = 5;  // kept and written back only
    std::uint16_t SMA = 1; // kept and written back only
};

TAppSettings& AppSettings();
// Back to the defaults, for tests.
void ResetAppSettings();

// The application's settings entry ("DM |TXS|DXS|THR|SHR|TMA|SMA"). A number outside its key's
// range is ignored and the setting keeps its value; a word that is no number is a keyword error.
class TAppNameObject : public TNameObject {
public:
    static constexpr std::string_view kClassName = "TAppNameObject";
    static constexpr std::uint32_t kDefaultDebugMask = 0x7FFFFFFF;

    // Sets the debug mask to kDefaultDebugMask, so that it stays when the entry names none. Build it
    // with MakeAppNameObject to read the entry.
    explicit TAppNameObject(std::string_view name);
    // Writes the settings back when UPD asks for it.
    ~TAppNameObject() override;

    std::string_view ClassName() const override { return kClassName; }
    bool ParseKeyword(std::string_view keyword) override;
    std::string ParamsToText() const override;
};

// Builds the object and reads its entry, with the creation trace.
std::unique_ptr<TAppNameObject> MakeAppNameObject(std::string_view name = "APP");

} // namespace ravlo
