#pragma once

#include <filesystem>
#include <string>

namespace ravlo {

// Directory of the open project, ending with "/" (empty when none is open). The project code
// sets it; it is kept here because the location of "RTDW.INI" follows it. Tests assign it.
extern std::string ProjectDir;

// "RTDW.INI" in ProjectDir, or in the program directory when no project is open.
std::filesystem::path GetRtdwIniName();

} // namespace ravlo
