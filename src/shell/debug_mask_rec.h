#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace ravlo {

class TAppNameObject;

// The record of the debug-messages dialog ("TDebugDM_Dlg"), 5 bytes: the debug mask (u32) and the
// runtime-log switch of "APP" (u8, TXS: 1 on). The dialog binds one check box to each bit of the
// mask and one to bit 0 of the switch.
struct TDebugDMRec {
    static constexpr std::size_t kSize = 5;
    static constexpr std::size_t kMaskBits = 32;

    std::uint32_t Mask = 0;
    std::uint8_t WriteToTxs = 0;

    std::array<std::uint8_t, kSize> Encode() const;
    // The first kSize bytes of data (which must hold them).
    static TDebugDMRec Decode(std::span<const std::uint8_t> data);

    bool operator==(const TDebugDMRec&) const = default;
};

// The debug mask and TXS as they are now.
TDebugDMRec CurrentDebugDMRec();

// Puts an accepted record into effect: the debug mask, TXS (the runtime log stops or goes on being
// written at once), then "APP" writes itself back to the INI (when its UPD asks for it).
void ApplyDebugDMRec(const TDebugDMRec& record, TAppNameObject* app);

// The caption of the check box of a mask bit (0 to 31): its trace topic's name, or
// "DebugDM_Check_" + the bit number for a bit without one.
std::string DebugMaskBitName(std::size_t bit);

} // namespace ravlo
