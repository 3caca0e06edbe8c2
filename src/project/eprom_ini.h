#pragma once

#include "framework/rtdw_ini.h"
#include "platform/ini_document.h"
#include "project/eprom_layout.h"
#include "project/eprom_module.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace ravlo {

inline constexpr std::string_view kEpromImageSection = "EPROMIMAGE";

// What the image window keeps in section EPROMIMAGE of "RTDW.INI".
struct TEpromImgIniData {
    TVokKind Kind = TVokKind::VokV40;
    std::vector<tRomModule> Modules; // in list order
    int HiKb = 256;
    int LoKb = 256;
    std::string HiFileName = "EPROM_HI.BIN";
    std::string LoFileName = "EPROM_LO.BIN";
};

// "VOKV40", "VOK386" or "VOK188"; another kind is stored as "VOKV40", which it reads back as.
std::string_view VokIniName(TVokKind kind);

// Reads the section. An entry that lacks one of its five keys (checked in the order Name, Addr,
// Size, Type, File), or whose address or size is not a number, is shown in an error box and left
// out; the others are read.
TEpromImgIniData ReadEpromImgSection(const IniDocument& ini);

// Writes the section: the keys of the entries that the section counted before are deleted, then
// every entry is written in list order. False when a value cannot be stored (a line end in it).
bool WriteEpromImgSection(IniDocument& ini, const TEpromImgIniData& data);

// The same on a settings file, by default the open project's "RTDW.INI". Saving changes the file at once,
// through a temporary file renamed into place; a file that exists but cannot be read is never overwritten
// (false).
TEpromImgIniData LoadEpromImgSettings(const std::filesystem::path& file = GetRtdwIniName());
bool SaveEpromImgSettings(const TEpromImgIniData& data, const std::filesystem::path& file = GetRtdwIniName());

} // namespace ravlo
