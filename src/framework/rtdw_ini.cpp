#include "framework/rtdw_ini.h"

#include "platform/program_dir.h"

namespace ravlo {

std::string ProjectDir;

std::filesystem::path GetRtdwIniName() {
    // Joined as paths, so a ProjectDir without its trailing separator still names its own file.
    const std::filesystem::path dir = ProjectDir.empty() ? ProgramDir() : std::filesystem::path(ProjectDir);
    return dir / "RTDW.INI";
}

} // namespace ravlo
