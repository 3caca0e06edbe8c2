#include "framework/ini_access.h"

#include "framework/app_names.h"
#include "framework/writer_channels.h"
#include "platform/ini_file.h"

namespace ravlo {

std::string IniReadStr(const std::filesystem::path& file, std::string_view section, std::string_view key) {
    return IniFile(file).ReadString(section, key);
}

bool IniWriteStr(const std::filesystem::path& file, std::string_view section, std::string_view key,
                 std::string_view value) {
    if (section.empty()) {
        return true;
    }
    if (IniFile(file).WriteString(section, key, value)) {
        return true;
    }
    WriteErrsys(0, "IniWriteStr: " + PathText(file) + "[" + std::string(section) + "]," + std::string(key) +
                       " not written");
    return false;
}

std::size_t IniSectionKeyCount(const std::filesystem::path& file, std::string_view section) {
    return IniFile(file).KeyNames(section).size();
}

} // namespace ravlo
