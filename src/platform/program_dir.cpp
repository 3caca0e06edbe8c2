#include "platform/program_dir.h"

#include <cstdlib>

namespace ravlo {

std::filesystem::path ProgramDir() {
    if (const char* home = std::getenv("RAVLO_HOME"); home != nullptr && *home != '\0') {
        return std::filesystem::path(home);
    }
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        return executable.parent_path();
    }
    // Without /proc (a restricted container) the working folder is the best remaining guess.
    return std::filesystem::current_path(error);
}

} // namespace ravlo
