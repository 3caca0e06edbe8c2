#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ravlo {

// The BIOS identification text of a board and the two-digit version found in it.
struct TBiosId {
    std::string Text;
    std::uint8_t Version = 0; // 0 when the text names none
};

// The version is taken by the first rule that applies:
//  1. the text holds "386" and "<VOK>": the two characters just before "<VOK>";
//  2. it holds "188" and "-v": the two characters just after "-v";
//  3. it holds "<QRN>", else "<Y47>", else "<Y58>": the two characters just before it.
// Characters that are not two decimal digits (or are missing) give version 0.
TBiosId ParseBiosId(std::string_view text);

// The version with "." after its first digit (23 gives "2.3"); "?.?" for version 0.
std::string BiosVersionText(std::uint8_t version);

} // namespace ravlo
