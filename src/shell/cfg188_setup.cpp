#include "shell/cfg188_setup.h"

#include "framework/le_bytes.h"
#include "framework/short_string_field.h"
#include "shell/main_enum_types.h"

#include <algorithm>
#include <bit>

namespace ravlo {
namespace {

constexpr std::uint8_t kDefaultStartCode = 4;
constexpr std::uint8_t kDefaultFlashCode = 8;
constexpr std::uint16_t kDefaultBootSeg = 0x0100;
constexpr std::size_t kNameAt = 16;
constexpr std::size_t kNameLen = 8;
constexpr std::size_t kExtAt = 24;
constexpr std::size_t kExtLen = 3;
constexpr std::size_t kSegAt = 29;
constexpr std::string_view kDefaultBootFile = "KERNEL  SYS";

// Flash size codes (total size / 64 kB) by high bank, then low bank.
constexpr std::array<std::pair<std::uint8_t, std::pair<std::uint8_t, std::uint8_t>>, 7> kFlashCodes{{
    {1, {0, 0}},
    {2, {1, 0}},
    {4, {2, 0}},
    {8, {3, 0}},
    {9, {3, 1}},
    {10, {3, 2}},
    {12, {3, 3}},
}};

// Offsets in the packed edit record.
enum EditAt : std::size_t {
    atRunFromCF = 0,
    atRunInRam = 1,
    atCodeStartBit = 2,
    atBankHigh = 3,
    atBankLow = 4,
    atWaitStates = 5,
    atExtAccess = 10,
    atNmiBits = 15,
    atBootName = 16,
    atBootExt = 25,
    atBootSeg = 29,
};

bool IsBootNameChar(std::uint8_t c) {
    return c == ' ' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || c == '_' || c == '~';
}

// Raw bytes up to the first blank.
std::string TextUpToBlank(std::span<const std::uint8_t> bytes) {
    const auto end = std::find(bytes.begin(), bytes.end(), std::uint8_t{' '});
    return std::string(bytes.begin(), end);
}

std::string DefaultText(std::string_view field, std::string_view value) {
    return "Error in \"" + std::string(field) + "\"!\rDefault value " + std::string(value) + " is used";
}

} // namespace

TCfg188EditRec PackCfg188Edit(const TCfg188Edit& edit) {
    TCfg188EditRec rec{};
    rec[atRunFromCF] = edit.RunFromCF;
    rec[atRunInRam] = edit.RunInRam;
    rec[atCodeStartBit] = edit.CodeStartBit;
    rec[atBankHigh] = edit.BankHigh;
    rec[atBankLow] = edit.BankLow;
    rec[atWaitStates] = edit.WaitStates;
    PutLE<std::uint32_t>(rec, atWaitStates + 1, kEnumWaitStates);
    rec[atExtAccess] = edit.ExtAccess;
    PutLE<std::uint32_t>(rec, atExtAccess + 1, kEnumExtAccess);
    rec[atNmiBits] = edit.NmiBits;
    PutShortString(std::span(rec).subspan(atBootName, kNameLen + 1), edit.BootName);
    PutShortString(std::span(rec).subspan(atBootExt, kExtLen + 1), edit.BootExt);
    PutLE<std::uint16_t>(rec, atBootSeg, edit.BootSeg);
    return rec;
}

TCfg188Edit UnpackCfg188Edit(const TCfg188EditRec& rec) {
    TCfg188Edit edit;
    edit.RunFromCF = rec[atRunFromCF];
    edit.RunInRam = rec[atRunInRam];
    edit.CodeStartBit = rec[atCodeStartBit];
    edit.BankHigh = rec[atBankHigh];
    edit.BankLow = rec[atBankLow];
    edit.WaitStates = rec[atWaitStates];
    edit.ExtAccess = rec[atExtAccess];
    edit.NmiBits = rec[atNmiBits];
    edit.BootName = GetShortString(std::span(rec).subspan(atBootName, kNameLen + 1));
    edit.BootExt = GetShortString(std::span(rec).subspan(atBootExt, kExtLen + 1));
    edit.BootSeg = GetLE<std::uint16_t>(rec, atBootSeg);
    return edit;
}

std::uint8_t MaxExtAccess(std::uint8_t waitStates) {
    return waitStates == 0 ? 0 : static_cast<std::uint8_t>(std::min(3, waitStates - 1));
}

std::optional<TCfg188Decoded> DecodeCfg188(std::span<const std::uint8_t> bytes) {
    if (bytes.size() != kCfg188RecSize) {
        return std::nullopt;
    }
    TCfg188Decoded decoded;
    TCfg188Rec& raw = decoded.Raw;
    std::copy(bytes.begin(), bytes.end(), raw.begin());
    TCfg188Edit& edit = decoded.Edit;

    edit.RunFromCF = (raw[0] >> 4) & 1;
    edit.RunInRam = (raw[0] >> 3) & 1;
    std::uint8_t start = raw[0] & 0x07;
    if (start > kDefaultStartCode) {
        decoded.Errors.push_back(DefaultText("Start of code memory", "$80000"));
        start = kDefaultStartCode;
        raw[0] = static_cast<std::uint8_t>((raw[0] & ~0x07) | start);
    }
    edit.CodeStartBit = static_cast<std::uint8_t>(1u << start);

    const std::uint8_t flash = raw[1] & 0x0F;
    const auto* banks = std::find_if(kFlashCodes.begin(), kFlashCodes.end(),
                                     [flash](const auto& entry) { return entry.first == flash; });
    if (banks == kFlashCodes.end()) {
        decoded.Errors.push_back(DefaultText("Flash chip memory size", "512KB"));
        raw[1] = static_cast<std::uint8_t>((raw[1] & 0xF0) | kDefaultFlashCode);
        banks = std::find_if(kFlashCodes.begin(), kFlashCodes.end(),
                             [](const auto& entry) { return entry.first == kDefaultFlashCode; });
    }
    edit.BankHigh = banks->second.first;
    edit.BankLow = banks->second.second;

    edit.WaitStates = raw[2] & 0x0F;
    std::uint8_t access = (raw[2] >> 4) & 0x03;
    if (access > MaxExtAccess(edit.WaitStates)) {
        access = std::min<std::uint8_t>(1, MaxExtAccess(edit.WaitStates));
        decoded.Errors.push_back(DefaultText("Extended access time", std::to_string(access)));
        raw[2] = static_cast<std::uint8_t>((raw[2] & ~0x30) | (access << 4));
    }
    edit.ExtAccess = access;
    edit.NmiBits = raw[3] & 0x03;

    const auto file = std::span(raw).subspan(kNameAt, kExtAt + kExtLen - kNameAt);
    if (!std::all_of(file.begin(), file.end(), IsBootNameChar)) {
        decoded.Errors.push_back(
            "Error in \"CF Boot | Boot file name\"!\rDafault value \"KERNEL.SYS\" is used");
        std::copy(kDefaultBootFile.begin(), kDefaultBootFile.end(), file.begin());
    }
    edit.BootName = TextUpToBlank(std::span(raw).subspan(kNameAt, kNameLen));
    edit.BootExt = TextUpToBlank(std::span(raw).subspan(kExtAt, kExtLen));

    edit.BootSeg = GetLE<std::uint16_t>(raw, kSegAt);
    if (edit.BootSeg < kBootSegMin || edit.BootSeg > kBootSegMax) {
        decoded.Errors.push_back(DefaultText("CF Booting | Segment", "$0100"));
        edit.BootSeg = kDefaultBootSeg;
        PutLE<std::uint16_t>(raw, kSegAt, edit.BootSeg);
    }
    return decoded;
}

void EncodeCfg188(const TCfg188Edit& edit, TCfg188Rec& raw) {
    // The highest set bit; a start bit of none stands for the default start.
    const std::uint8_t start = edit.CodeStartBit == 0
                                   ? kDefaultStartCode
                                   : static_cast<std::uint8_t>(std::bit_width(edit.CodeStartBit) - 1);
    raw[0] = static_cast<std::uint8_t>((raw[0] & 0xE0) | start | (edit.RunInRam & 1) << 3 |
                                       (edit.RunFromCF & 1) << 4);
    const unsigned flash =
        (1u << (edit.BankHigh & 3)) + (edit.BankLow > 0 ? 1u << ((edit.BankLow - 1) & 3) : 0);
    raw[1] = static_cast<std::uint8_t>((raw[1] & 0xF0) | (flash & 0x0F));
    raw[2] =
        static_cast<std::uint8_t>((raw[2] & 0xC0) | (edit.WaitStates & 0x0F) | (edit.ExtAccess & 0x03) << 4);
    raw[3] = static_cast<std::uint8_t>((raw[3] & 0xFC) | (edit.NmiBits & 0x03));
    std::fill(raw.begin() + kNameAt, raw.begin() + kExtAt + kExtLen, std::uint8_t{' '});
    const std::string name = edit.BootName.substr(0, kNameLen);
    const std::string ext = edit.BootExt.substr(0, kExtLen);
    std::copy(name.begin(), name.end(), raw.begin() + kNameAt);
    std::copy(ext.begin(), ext.end(), raw.begin() + kExtAt);
    raw[27] = 0;
    raw[28] = 0;
    PutLE<std::uint16_t>(raw, kSegAt, edit.BootSeg);
}

} // namespace ravlo
