#pragma once

// The setup record of the Vok386EXR board (13 bytes, also the whole of a .c38 file) as its dialog
// binds, reads and checks it: four memory sockets (memory type, chip size, operating size, access
// time; two bytes each), three ROM spaces (begin address and size, one byte each) and six
// configuration bits. Every bit no control covers is kept as it is.

#include "framework/record_validator.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace ravlo {

// The sizes of the size codes 0..7, kB.
inline constexpr std::array<std::int32_t, 8> kCfg386SizesKb{0, 16, 32, 64, 128, 256, 512, 1024};

// What the checks read from the combo boxes: item indexes, -1 for a box without a selection; the
// begin address of a ROM space is its box's text as a number, nothing when the text is none.
struct TCfg386Socket {
    int MemType = -1;
    int Chip = -1;
    int OperMem = -1;
    bool operator==(const TCfg386Socket&) const = default;
};
struct TCfg386RomSpace {
    std::optional<std::uint32_t> Address;
    int Size = -1;
    bool operator==(const TCfg386RomSpace&) const = default;
};
struct TCfg386Setting {
    std::array<TCfg386Socket, 4> Sockets;
    TCfg386RomSpace High, Cut, Low;
    bool operator==(const TCfg386Setting&) const = default;
};

// The setting that a record holds; nothing unless bytes is exactly one record.
std::optional<TCfg386Setting> DecodeCfg386(std::span<const std::uint8_t> bytes);

struct TCfg386Check {
    // The texts of the four Ext. disk labels.
    std::array<std::string, 4> ExtDisk;
    // "Ok" when every rule passes, else the message of the first rule that fails.
    std::string Status;
    bool Ok = false;
};
// The Ext. disk sizes and the rules of a usable setup, tested in their order.
TCfg386Check CheckSetting(const TCfg386Setting& setting);

// The 28 controls of the dialog.
struct TCfg386Controls {
    std::array<TValControl*, 4> cbxMT{};
    std::array<TValControl*, 4> cbxChip{};
    std::array<TValControl*, 4> cbxOM{};
    std::array<TValControl*, 4> cbxAT{};
    TValControl* cbxHAdr = nullptr;
    TValControl* cbxHSize = nullptr;
    TValControl* cbxCAdr = nullptr;
    TValControl* cbxCSize = nullptr;
    TValControl* cbxLAdr = nullptr;
    TValControl* cbxLSize = nullptr;
    TValControl* cbSMM = nullptr;
    TValControl* cbDMA2 = nullptr;
    TValControl* cbDMA1 = nullptr;
    TValControl* cbSSIO = nullptr;
    TValControl* cb25MHz = nullptr;
    TValControl* cbVideoWr = nullptr;
};

// The controls paired with validators that walk the record byte by byte, each writing only the bits
// of its field. The enumerations come from the application data (shell/main_enum_types.h).
TCtrlBindings Cfg386Bindings(const TCfg386Controls& controls);
// What the checks read from the combo boxes as they stand.
TCfg386Setting SettingOfControls(const TCfg386Controls& controls);

} // namespace ravlo
