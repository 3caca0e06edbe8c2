#pragma once

// The setup record of the Vok188ER board (32 bytes, also the whole of a .c18 file) and the edit
// record its dialog edits: the raw record is decoded into the edit record (bad values replaced by
// their defaults, each with its message) and encoded back, keeping every raw bit no field covers.

#include "shell/setup_files.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace ravlo {

using TCfg188Rec = std::array<std::uint8_t, kCfg188RecSize>;

// One field per control of the dialog.
struct TCfg188Edit {
    std::uint8_t RunFromCF = 0;
    std::uint8_t RunInRam = 0;
    // The start of code memory as one bit: 1 << code, code 0..4 for $40000..$80000.
    std::uint8_t CodeStartBit = 0;
    // Indexes of the high bank (64 .. 512 kB) and the low bank (0 .. 256 kB).
    std::uint8_t BankHigh = 0;
    std::uint8_t BankLow = 0;
    std::uint8_t WaitStates = 0;
    std::uint8_t ExtAccess = 0;
    // Bit 0: NMI on a write to protected memory; bit 1: NMI on power fail.
    std::uint8_t NmiBits = 0;
    std::string BootName;
    std::string BootExt;
    std::uint16_t BootSeg = 0;

    bool operator==(const TCfg188Edit&) const = default;
};

// The edit record as the dialog's validators walk it, field by field: the flags, the start bit,
// the banks, each combo's value followed by its enumeration's index (u32), the NMI bits, the boot
// name and extension as short strings of 9 and 4 bytes, and the segment (u16).
inline constexpr std::size_t kCfg188EditSize = 31;
using TCfg188EditRec = std::array<std::uint8_t, kCfg188EditSize>;
TCfg188EditRec PackCfg188Edit(const TCfg188Edit& edit);
TCfg188Edit UnpackCfg188Edit(const TCfg188EditRec& rec);

inline constexpr std::uint16_t kBootSegMin = 0x00B0;
inline constexpr std::uint16_t kBootSegMax = 0xFD00;

// The longest extended access time the board takes with a wait-states code: shorter than the wait
// states, and none without them. Reading a record and choosing in the dialog share this one bound:
// a looser one for the combo boxes (up to twice the code, as the wait states' texts count) would let
// the dialog save pairs that its next read of the record refuses and resets with an error box. This
// bound is the stricter of the two, so every pair it allows passes the looser one as well.
std::uint8_t MaxExtAccess(std::uint8_t waitStates);

struct TCfg188Decoded {
    // The record with every bad value replaced by its default.
    TCfg188Rec Raw{};
    TCfg188Edit Edit;
    // One message per replaced value, in the order of the fields.
    std::vector<std::string> Errors;
};
// Nothing unless bytes is exactly one record.
std::optional<TCfg188Decoded> DecodeCfg188(std::span<const std::uint8_t> bytes);
// Writes the edit record's fields into raw; every other bit of raw stays, bytes 27 and 28 become 0.
void EncodeCfg188(const TCfg188Edit& edit, TCfg188Rec& raw);

} // namespace ravlo
