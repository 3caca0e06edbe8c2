#include "platform/program_dir.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

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

std::filesystem::path HomeDir() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        return std::filesystem::path(home);
    }
    if (const passwd* user = ::getpwuid(::getuid()); user != nullptr && user->pw_dir != nullptr) {
        return std::filesystem::path(user->pw_dir);
    }
    std::error_code error;
    return std::filesystem::current_path(error);
}

} // namespace ravlo
