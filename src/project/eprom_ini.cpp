#include "project/eprom_ini.h"

#include "framework/number_parse.h"
#include "platform/atomic_file.h"
#include "platform/ini_file.h"
#include "platform/text_case.h"
#include "project/project_messages.h"

#include <algorithm>
#include <array>
#include <optional>

namespace ravlo {
namespace {

constexpr std::string_view kRtdwIni = "RTDW.INI";
constexpr std::array<std::string_view, 5> kModuleKeys = {"Name", "Addr", "Size", "Type", "File"};

std::string ModuleKey(std::size_t index, std::string_view part) {
    return "Module" + std::to_string(index) + "_" + std::string(part);
}

// The entry index of a key "Module<i>_<part>" (case ignored); nothing for another key.
std::optional<std::size_t> ModuleKeyIndex(std::string_view key) {
    constexpr std::string_view kPrefix = "Module";
    if (key.size() <= kPrefix.size() || !SameTextNoCase(key.substr(0, kPrefix.size()), kPrefix)) {
        return std::nullopt;
    }
    key.remove_prefix(kPrefix.size());
    const std::size_t bar = key.find('_');
    const bool knownPart = bar != std::string_view::npos &&
                           std::any_of(kModuleKeys.begin(), kModuleKeys.end(), [&](std::string_view part) {
                               return SameTextNoCase(key.substr(bar + 1), part);
                           });
    const std::string_view digits = key.substr(0, bar);
    if (!knownPart || digits.empty() || digits.size() > 9 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    return std::stoul(std::string(digits));
}

std::size_t HighestModuleIndex(const IniDocument& ini) {
    std::size_t highest = 0;
    for (const std::string& key : ini.KeyNames(kEpromImageSection)) {
        highest = std::max(highest, ModuleKeyIndex(key).value_or(0));
    }
    return highest;
}

// One entry of the section; nothing after its message when it is incomplete or malformed.
std::optional<tRomModule> ReadModule(const IniDocument& ini, std::size_t index) {
    std::array<std::string, kModuleKeys.size()> values;
    for (std::size_t k = 0; k < kModuleKeys.size(); ++k) {
        std::optional<std::string> value =
            ini.FindValue(kEpromImageSection, ModuleKey(index, kModuleKeys[k]));
        if (!value) {
            ProjectError("Module " + std::to_string(index) + " " + std::string(kModuleKeys[k]) +
                         " is not defined in " + std::string(kRtdwIni));
            return std::nullopt;
        }
        values[k] = std::move(*value);
    }
    const std::optional<std::uint32_t> addr = ValDWord(values[1]);
    const std::optional<std::uint32_t> size = ValDWord(values[2]);
    if (!addr || !size) {
        ProjectError("Module " + std::to_string(index) + (addr ? " Size" : " Addr") + " is not a number in " +
                     std::string(kRtdwIni));
        return std::nullopt;
    }
    tRomModule module{values[0], *addr, *size, RomModuleTypeOfName(values[3]), values[4]};
    module.Clip();
    return module;
}

} // namespace

std::string_view VokIniName(TVokKind kind) {
    switch (kind) {
    case TVokKind::Vok386EXR:
        return "VOK386";
    case TVokKind::Vok188ER:
        return "VOK188";
    default:
        return "VOKV40";
    }
}

TEpromImgIniData ReadEpromImgSection(const IniDocument& ini) {
    TEpromImgIniData data;
    const std::string vok = Cp1250ToUpper(ini.ReadString(kEpromImageSection, "VOK", "VOKV40"));
    data.Kind =
        vok == "VOK386" ? TVokKind::Vok386EXR : (vok == "VOK188" ? TVokKind::Vok188ER : TVokKind::VokV40);
    const int count = std::max(ini.ReadInteger(kEpromImageSection, "MODULECOUNT", 0), 0);
    // Past the highest index the section holds every entry lacks its keys: the first one tells.
    const std::size_t readable =
        std::min<std::size_t>(static_cast<std::size_t>(count), HighestModuleIndex(ini) + 1);
    for (std::size_t i = 1; i <= readable; ++i) {
        if (std::optional<tRomModule> module = ReadModule(ini, i)) {
            data.Modules.push_back(std::move(*module));
        }
    }
    data.HiKb = ini.ReadInteger(kEpromImageSection, "EPROM_HI", 256);
    data.LoKb = ini.ReadInteger(kEpromImageSection, "EPROM_LO", 256);
    data.HiFileName = ini.ReadString(kEpromImageSection, "FILENAME_HI", "EPROM_HI.BIN");
    data.LoFileName = ini.ReadString(kEpromImageSection, "FILENAME_LO", "EPROM_LO.BIN");
    return data;
}

bool WriteEpromImgSection(IniDocument& ini, const TEpromImgIniData& data) {
    const std::string section(kEpromImageSection);
    bool written = ini.WriteString(section, "VOK", VokIniName(data.Kind));
    const int oldCount = std::max(ini.ReadInteger(section, "MODULECOUNT", 0), 0);
    for (const std::string& key : ini.KeyNames(section)) {
        const std::optional<std::size_t> index = ModuleKeyIndex(key);
        if (index && *index >= 1 && *index <= static_cast<std::size_t>(oldCount)) {
            ini.DeleteKey(section, key);
        }
    }
    written = ini.WriteString(section, "MODULECOUNT", std::to_string(data.Modules.size())) && written;
    for (std::size_t i = 0; i < data.Modules.size(); ++i) {
        const tRomModule& m = data.Modules[i];
        const std::array<std::string, kModuleKeys.size()> values = {
            m.Name, AddrText(m.Addr), AddrText(m.Size), std::string(RomModuleTypeName(m.Type)), m.File};
        for (std::size_t k = 0; k < kModuleKeys.size(); ++k) {
            written = ini.WriteString(section, ModuleKey(i + 1, kModuleKeys[k]), values[k]) && written;
        }
    }
    written = ini.WriteString(section, "EPROM_HI", std::to_string(data.HiKb)) && written;
    written = ini.WriteString(section, "EPROM_LO", std::to_string(data.LoKb)) && written;
    written = ini.WriteString(section, "FILENAME_HI", data.HiFileName) && written;
    return ini.WriteString(section, "FILENAME_LO", data.LoFileName) && written;
}

TEpromImgIniData LoadEpromImgSettings(const std::filesystem::path& path) {
    return ReadEpromImgSection(IniFile(path).Read());
}

bool SaveEpromImgSettings(const TEpromImgIniData& data, const std::filesystem::path& path) {
    const IniFile file(path);
    std::optional<std::string> bytes = ReadFileBytes(file.Path());
    if (!bytes && file.Exists()) {
        return false;
    }
    IniDocument ini = IniDocument::Parse(bytes.value_or(std::string()));
    // Every value is written, even when one was refused, so that the others are kept.
    const bool complete = WriteEpromImgSection(ini, data);
    return WriteFileAtomic(file.Path(), ini.Serialize()) && complete;
}

} // namespace ravlo
