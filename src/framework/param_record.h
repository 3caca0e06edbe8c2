#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace ravlo {

class TCtrlBindings;
class TCtrlValidator;
class TValControl;

// The record of the byte, word and dword parameter dialogs, packed: Label (string[40], 41 bytes),
// Value, Min and Max (width bytes each: 1, 2 or 4, little-endian), Units (string[12], 13 bytes).
inline constexpr std::size_t kParLabelSize = 41;
inline constexpr std::size_t kParUnitsSize = 13;

constexpr std::size_t ParRecordSize(std::size_t width) {
    return kParLabelSize + 3 * width + kParUnitsSize;
}

// A record with label cut to 40 characters and units cut to 12.
std::vector<std::uint8_t> MakeParRecord(std::size_t width, std::string_view label, std::string_view units,
                                        std::uint32_t value, std::uint32_t min, std::uint32_t max);

std::uint32_t ParRecordValue(std::span<const std::uint8_t> record, std::size_t width);

// Adds the three validators of a parameter dialog: the label text, the value with the limits the
// record holds, and the unit text. Answers the value's validator, whose options the caller sets.
TCtrlValidator& AddParBindings(TCtrlBindings& bindings, std::size_t width, TValControl* label,
                               TValControl* value, TValControl* units);

} // namespace ravlo
