#include "shell/cfg386_setup.h"

#include "framework/bit_validators.h"
#include "framework/enum_validators.h"
#include "framework/number_parse.h"
#include "shell/main_enum_types.h"
#include "shell/setup_files.h"

namespace ravlo {
namespace {

constexpr std::uint32_t kAddressStep = 0x8000;
constexpr std::int64_t kRomSpaceLowest = 0x80000;
constexpr std::int64_t kAddressSpaceEnd = 0x100000;

std::int32_t SizeKb(int code) {
    return code >= 0 && code < static_cast<int>(kCfg386SizesKb.size()) ? kCfg386SizesKb[code] : 0;
}

// The chip size counts only in a socket that has memory.
std::int32_t ChipKb(const TCfg386Socket& socket) {
    return socket.MemType != 0 ? SizeKb(socket.Chip) : 0;
}

std::int64_t SpaceBytes(const TCfg386RomSpace& space) {
    return std::int64_t{SizeKb(space.Size)} * 1024;
}

TCfg386RomSpace RomSpaceOf(std::uint8_t byte) {
    return {std::uint32_t{static_cast<std::uint32_t>(byte >> 3) * kAddressStep}, byte & 0x07};
}

// The chip sizes (c) and operating sizes (o) of the four sockets, kB.
struct SocketSizes {
    std::array<std::int32_t, 4> c{};
    std::array<std::int32_t, 4> o{};
};

SocketSizes SizesOf(const TCfg386Setting& s) {
    SocketSizes sizes;
    for (std::size_t i = 0; i < s.Sockets.size(); ++i) {
        sizes.c[i] = ChipKb(s.Sockets[i]);
        sizes.o[i] = SizeKb(s.Sockets[i].OperMem);
    }
    return sizes;
}

// The message of the first rule that fails, empty when all pass.
std::string FirstFailure(const TCfg386Setting& s) {
    const auto& k = s.Sockets;
    const auto [c, o] = SizesOf(s);
    const std::int32_t c1 = c[0], c2 = c[1], c3 = c[2], c4 = c[3];
    const std::int32_t o1 = o[0], o2 = o[1], o3 = o[2], o4 = o[3];
    if (k[0].MemType < 2) {
        return "Invalid memory type in Socket1 (only FLASH or ROM)";
    }
    if (k[1].MemType != 1) {
        return "Invalid memory type in Socket2 (only RAM)";
    }
    if (k[2].MemType < 0 || k[2].MemType == 1) {
        return "Invalid memory type in Socket3 (only None or FLASH or ROM)";
    }
    if (k[3].MemType < 0 || k[3].MemType > 1) {
        return "Invalid memory type in Socket4 (only None or RAM)";
    }
    if (c3 != 0 && c1 != c3) {
        return "Chip 1 size differs from Chip 3 size";
    }
    if (c4 != 0 && c2 != c4) {
        return "Chip 2 size differs from Chip 4 size";
    }
    if (c1 + c3 < o1) {
        return "Operation ROM memory is higher then Chip ROM size";
    }
    if (c2 + c4 < o2) {
        return "Operation RAM memory is higher then Chip RAM size";
    }
    if (c3 != 0 && o1 != o3) {
        return "Operation ROM memory 1 differs from Operation ROM memory 3";
    }
    if (c4 != 0 && o2 != o4) {
        return "Operation ROM memory 2 differs from Operation ROM memory 4";
    }
    if (!s.High.Address) {
        return "Invalid numeric value High ROM space";
    }
    if (!s.Low.Address) {
        return "Invalid numeric value Low ROM space";
    }
    if (!s.Cut.Address) {
        return "Invalid numeric value Cut ROM space";
    }
    const std::int64_t high = *s.High.Address, low = *s.Low.Address, cut = *s.Cut.Address;
    if (high < kRomSpaceLowest) {
        return "High ROM space address is too low";
    }
    if (high >= kAddressSpaceEnd) {
        return "High ROM space address is too high";
    }
    if (high + SpaceBytes(s.High) > kAddressSpaceEnd) {
        return "High ROM space exceeds 1MB";
    }
    if (low < kRomSpaceLowest) {
        return "Low ROM space address is too low";
    }
    if (low + SpaceBytes(s.Low) > high) {
        return "Low ROM space overlaps High ROM space";
    }
    if (cut < kRomSpaceLowest) {
        return "Cut ROM space address is too low";
    }
    if (cut >= kAddressSpaceEnd) {
        return "Cut ROM space address is too high";
    }
    if (cut + SpaceBytes(s.Cut) > kAddressSpaceEnd) {
        return "Cut ROM space exceeds 1MB";
    }
    return {};
}

std::string KbText(std::int32_t kb) {
    return std::to_string(kb) + " kB";
}

int SelectedIndex(const TValControl* control) {
    return control != nullptr ? control->ItemIndex() : -1;
}

// A begin address box: the selected entry's text, or what is typed, as a number.
std::optional<std::uint32_t> AddressOf(const TValControl* control) {
    if (control == nullptr) {
        return std::nullopt;
    }
    const int index = control->ItemIndex();
    const std::vector<std::string> items = control->Items();
    const std::string text =
        index >= 0 && index < static_cast<int>(items.size()) ? items[index] : control->Text();
    return ValDWord(SkipLeadingBlanks(text));
}

void AddSizeCombo(TCtrlBindings& bindings, TValControl* control, std::uint16_t options, std::uint8_t mask) {
    bindings.Add<TTrMskEnumRunCombo_Validator>(control).Setup(options, kEnumSizeKb, mask);
}

} // namespace

std::optional<TCfg386Setting> DecodeCfg386(std::span<const std::uint8_t> bytes) {
    if (bytes.size() != kCfg386RecSize) {
        return std::nullopt;
    }
    TCfg386Setting setting;
    for (std::size_t i = 0; i < setting.Sockets.size(); ++i) {
        const std::uint8_t byte = bytes[2 * i];
        setting.Sockets[i] = {byte >> 6, (byte >> 3) & 0x07, byte & 0x07};
    }
    setting.High = RomSpaceOf(bytes[8]);
    setting.Cut = RomSpaceOf(bytes[9]);
    setting.Low = RomSpaceOf(bytes[10]);
    return setting;
}

TCfg386Check CheckSetting(const TCfg386Setting& setting) {
    // Sockets 1 and 3 hold the ROM, 2 and 4 the RAM; a second chip halves what each one gives.
    const auto [c, o] = SizesOf(setting);
    TCfg386Check check;
    check.ExtDisk[0] = KbText(c[2] == 0 ? c[0] - o[0] : (c[0] + c[2] - o[0]) / 2);
    check.ExtDisk[1] = KbText(c[3] == 0 ? c[1] - o[1] : (c[1] + c[3] - o[1]) / 2);
    check.ExtDisk[2] = KbText(c[2] == 0 ? 0 : (c[0] + c[2] - o[2]) / 2);
    check.ExtDisk[3] = KbText(c[3] == 0 ? 0 : (c[1] + c[3] - o[3]) / 2);
    check.Status = FirstFailure(setting);
    check.Ok = check.Status.empty();
    if (check.Ok) {
        check.Status = "Ok";
    }
    return check;
}

TCtrlBindings Cfg386Bindings(const TCfg386Controls& c) {
    TCtrlBindings bindings;
    for (std::size_t i = 0; i < c.cbxMT.size(); ++i) {
        bindings.Add<TTrMskEnumRunCombo_Validator>(c.cbxMT[i]).Setup(kValNoRoom, kEnumMemType, 0xC0);
        AddSizeCombo(bindings, c.cbxChip[i], kValNoRoom, 0x38);
        AddSizeCombo(bindings, c.cbxOM[i], 0, 0x07);
        bindings.Add<TTrMskEnumRunCombo_Validator>(c.cbxAT[i]).Setup(0, kEnumFreq, 0x07);
    }
    const std::array<std::pair<TValControl*, TValControl*>, 3> spaces{
        {{c.cbxHAdr, c.cbxHSize}, {c.cbxCAdr, c.cbxCSize}, {c.cbxLAdr, c.cbxLSize}}};
    for (const auto& [address, size] : spaces) {
        bindings.Add<TTrMskEnumRunCombo_Validator>(address).Setup(kValNoRoom, kEnumBankAddress, 0xF8);
        AddSizeCombo(bindings, size, 0, 0x07);
    }
    bindings.Add<TTrByteChecks_Validator>(c.cbSMM).Setup(0, 0x08, false);
    bindings.Add<TTrByteChecks_Validator>(c.cbDMA2).Setup(0, 0x04, false);
    bindings.Add<TTrByteChecks_Validator>(c.cbDMA1).Setup(0, 0x02, false);
    bindings.Add<TTrByteChecks_Validator>(c.cbSSIO).Setup(0, 0x01, true);
    bindings.Add<TTrByteChecks_Validator>(c.cb25MHz).Setup(0, 0x40, false);
    bindings.Add<TTrByteChecks_Validator>(c.cbVideoWr).Setup(0, 0x01, true);
    return bindings;
}

TCfg386Setting SettingOfControls(const TCfg386Controls& c) {
    TCfg386Setting setting;
    for (std::size_t i = 0; i < setting.Sockets.size(); ++i) {
        setting.Sockets[i] = {SelectedIndex(c.cbxMT[i]), SelectedIndex(c.cbxChip[i]),
                              SelectedIndex(c.cbxOM[i])};
    }
    setting.High = {AddressOf(c.cbxHAdr), SelectedIndex(c.cbxHSize)};
    setting.Cut = {AddressOf(c.cbxCAdr), SelectedIndex(c.cbxCSize)};
    setting.Low = {AddressOf(c.cbxLAdr), SelectedIndex(c.cbxLSize)};
    return setting;
}

} // namespace ravlo
