#include "project/eprom_module.h"

#include "framework/app_names.h"
#include "framework/rtdw_ini.h"
#include "platform/cp1250.h"
#include "platform/file_names.h"
#include "platform/text_case.h"
#include "project/project_globals.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace ravlo {
namespace {

namespace fs = std::filesystem;

constexpr std::array<std::string_view, 4> kTypeNames = {"Application", "BIOS", "BIOS Setup", "User BIN file"};

int CompareByAddr(const tRomModule& a, const tRomModule& b) {
    return a.Addr < b.Addr ? -1 : (a.Addr > b.Addr ? 1 : 0);
}

} // namespace

std::string_view RomModuleTypeName(TRomModuleType type) {
    const auto index = static_cast<std::size_t>(type);
    return index < kTypeNames.size() ? kTypeNames[index] : kTypeNames.back();
}

TRomModuleType RomModuleTypeOfName(std::string_view name) {
    for (std::size_t i = 0; i + 1 < kTypeNames.size(); ++i) {
        if (SameTextNoCase(name, kTypeNames[i])) {
            return static_cast<TRomModuleType>(i);
        }
    }
    return TRomModuleType::UserBin;
}

void tRomModule::Clip() {
    Name = Name.substr(0, kRomModuleNameMax);
    File = File.substr(0, kRomModuleFileMax);
}

tRomModuleList::tRomModuleList() : tqSortedCollection<tRomModule>(CompareByAddr) {}

std::string AddrText(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "$%05X", static_cast<unsigned>(value));
    return text;
}

std::string RomModuleNameOfFile(const fs::path& file) {
    const std::string name = PathText(file.filename());
    return name.substr(0, std::min(name.find('.'), kRomModuleNameMax));
}

fs::path ResolveProjectFile(std::string_view stored) {
    std::string name = NormalizeStoredPath(Cp1250ToUtf8(stored));
    if (fs::path(name).is_absolute() || ProjectDir.empty()) {
        return name;
    }
    fs::path base = ProjectDirPath();
    if (name.starts_with("./")) {
        name.erase(0, 2);
    }
    while (name.starts_with("../")) {
        name.erase(0, 3);
        // ProjectDir ends with "/": its last level is the parent of its empty last part.
        base = base.parent_path().parent_path() / "";
    }
    if (std::optional<fs::path> found = FindFileNoCase(base, name)) {
        return *found;
    }
    return base / name;
}

std::string ProjectRelativeName(const fs::path& file) {
    if (ProjectDir.empty() || !file.is_absolute()) {
        return PathText(file.generic_string());
    }
    fs::path base = fs::path(ProjectDir).lexically_normal();
    if (!base.has_filename()) {
        base = base.parent_path(); // no empty last part, which would count as a level
    }
    const fs::path relative = file.lexically_normal().lexically_relative(base);
    return PathText(relative.empty() ? file.generic_string() : relative.generic_string());
}

} // namespace ravlo
